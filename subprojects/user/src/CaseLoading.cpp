#include "CaseLoading.h"

#include "velta/core/Model.h"
#include "velta/flowsheet/FlowSheet.h"
#include "velta/persistency/NodeFactory.h"
#include "velta/persistency/PersistencyOdbc.h"
#include "velta/user/DataSource.h"
#include "velta/utility/Diagnostic.h"
#include "velta/utility/Error.h"

namespace Velta::User {

std::unique_ptr<Model> loadCase(const Handle &handle, const char *caller) {
  PersistencyOdbc persistency(dataSourceName);
  VELTA_LOG_FREE(1, caller,
                 "Retrieving " << handle.uuid() << " of type " << handle.type()
                               << " from persistent storage database");
  std::unique_ptr<Node> node =
      NodeFactory().create(handle.type(), Defaults(), handle.id(), &persistency, nullptr, nullptr);
  std::unique_ptr<Model> model(my_cast<Model *>(node.get(), caller));
  node.release();
  // The cut table is not stored: a flowsheet rebuilds it from its streams.
  if (auto *flowsheet = dynamic_cast<FlowSheet *>(model.get())) {
    VELTA_LOG_FREE(2, caller, "Define cut streams convergence");
    flowsheet->restoreCuts();
  }
  VELTA_LOG_FREE(2, caller, "initializeNonPersistents");
  model->initializeNonPersistents();
  VELTA_LOG_FREE(2, caller, "Done");
  return model;
}

} // namespace Velta::User
