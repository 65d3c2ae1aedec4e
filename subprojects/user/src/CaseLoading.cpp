#include "CaseLoading.h"

#include "velta/core/Model.h"
#include "velta/persistency/PersistencyOdbc.h"
#include "velta/user/Case.h"
#include "velta/user/DataSource.h"
#include "velta/user/StoreConnection.h"
#include "velta/utility/Diagnostic.h"

namespace Velta::User {

std::unique_ptr<Model> loadCase(const Handle &handle, const char *caller) {
  StoreConnection persistency;
  VELTA_LOG_FREE(1, caller,
                 "Retrieving " << handle.uuid() << " of type " << handle.type()
                               << " from persistent storage database");
  return loadModel(*persistency, handle.id(), handle.type(), caller);
}

} // namespace Velta::User
