#include "velta/user/Case.h"

#include "CaseLoading.h"

#include "velta/core/Model.h"
#include "velta/flowsheet/FlowSheet.h"
#include "velta/persistency/NodeFactory.h"
#include "velta/persistency/PersistencyOdbc.h"
#include "velta/user/DataSource.h"
#include "velta/user/StoreConnection.h"
#include "velta/utility/Diagnostic.h"
#include "velta/utility/Error.h"

#include <iostream>
#include <sstream>

namespace Velta::User {

struct Case::Record {
  std::unique_ptr<Model> model;
  bool test = false;
  bool check = false;
  // The result of an operation on the case without a model: -81 when the
  // id names no stored object, -84 when the store or the case could not be
  // read (the verb fails; the case is not said to be missing).
  int withoutModel = -81;
};

namespace {

const std::string rule(80, '=');
const std::string thinRule(80, '-');

std::string json(const Model &model) {
  std::ostringstream text;
  text << model;
  return text.str();
}

// Number of errors filed anywhere in the tree.
std::size_t errorsInTree(const Model &model) {
  std::size_t count = model.errors.size();
  for (const auto &[tag, child] : model.children())
    if (const Model *childModel = dynamic_cast<const Model *>(child.get()))
      count += errorsInTree(*childModel);
  return count;
}

// The calculation of a check: at verbosity + 10, so that the models and
// solvers write their detailed lines.
void calculateVerbosely(Model &model) {
  verbosityGlobal += 10;
  try {
    model.calculate(0);
  } catch (...) {
    verbosityGlobal -= 10;
    throw;
  }
  verbosityGlobal -= 10;
}

int reportErrors(const char *function, std::size_t errors) {
  std::cerr << function << ": the calculation ended with " << errors << " error"
            << (errors == 1 ? "" : "s") << " in the model" << std::endl;
  return -84;
}

} // namespace

std::unique_ptr<Model> loadModel(Persistency &persistency, int id, const std::string &type,
                                 const char *logName) {
  std::unique_ptr<Node> node =
      NodeFactory().create(type, Defaults(), id, &persistency, nullptr, nullptr);
  std::unique_ptr<Model> model(my_cast<Model *>(node.get(), logName));
  node.release();
  // The cut table is not stored: a flowsheet rebuilds it from its streams.
  if (auto *flowsheet = dynamic_cast<FlowSheet *>(model.get())) {
    VELTA_LOG_FREE(2, logName, "Define cut streams convergence");
    flowsheet->restoreCuts();
  }
  VELTA_LOG_FREE(2, logName, "initializeNonPersistents");
  model->initializeNonPersistents();
  VELTA_LOG_FREE(2, logName, "Done");
  return model;
}

std::unique_ptr<Model> loadModel(Persistency &persistency, int id) {
  std::string uuid, tag, description, type;
  int parent = 0, root = 0;
  double createdAt = 0, updatedAt = 0;
  persistency.retrieveObject(id, uuid, tag, description, type, parent, root, createdAt,
                             updatedAt);
  return loadModel(persistency, id, type);
}

Case::Case(const Handle &handle) : record_(std::make_unique<Record>()) {
  const char *const name = "Velta::User::Case::Case";
  if (!handle.isValid()) {
    record_->withoutModel = handle.namesNoObject() ? -81 : -84;
    return;
  }
  try {
    record_->model = loadCase(handle, name);
  } catch (Error &error) {
    record_->model.reset();
    record_->withoutModel = -84;
    error.append(name);
    std::cerr << error.message() << std::endl
              << name << ": case " << handle.id() << " could not be loaded" << std::endl;
  }
}

Case::~Case() = default;

int Case::setTest() {
  record_->test = true;
  return 0;
}

int Case::setCheck() {
  record_->check = true;
  return 0;
}

bool Case::hasModel() const { return record_->model != nullptr; }

const Model *Case::model() const { return record_->model.get(); }

Model *Case::mutableModel() const { return record_->model.get(); }

int Case::withoutModel() const { return record_->withoutModel; }

int Case::calculateSync() {
  const char *const name = "Velta::User::Case::calculateSync";
  Model *model = record_->model.get();
  if (!model)
    return withoutModel();
  try {
    // The report covers this calculation, not the messages stored before.
    model->resetErrors();
    model->calculate(0);
    model->reportMessages();
    const std::size_t errors = model->errors.size();
    VELTA_LOG_FREE(-1, name,
                   "Computation complete with " << errors << " errors and "
                                                << model->warnings.size() << " warnings");
    VELTA_LOG_FREE(-1, name, "Updating results to persistent storage");
    {
      StoreConnection persistency;
      model->update(*persistency);
    }
    VELTA_LOG_FREE(-1, name, "Updated results to persistent storage");
    if (record_->test) {
      VELTA_LOG_FREE(-1, name, rule);
      VELTA_LOG_FREE(-1, name, json(*model));
      VELTA_LOG_FREE(-1, name, rule);
    }
    if (record_->check) {
      VELTA_LOG_FREE(-1, name, rule);
      VELTA_LOG_FREE(-1, name, json(*model));
      VELTA_LOG_FREE(-1, name, thinRule);
      calculateVerbosely(*model);
      VELTA_LOG_FREE(-1, name, rule);
    }
    if (record_->test)
      VELTA_LOG_FREE(-1, name, "Now verifying solution");
    return errors > 0 ? reportErrors(name, errors) : 0;
  } catch (Error &error) {
    error.append(name);
    std::cerr << error.message() << std::endl;
    return -84;
  }
}

int Case::check() {
  const char *const name = "Velta::User::Case::check";
  Model *model = record_->model.get();
  if (!model)
    return withoutModel();
  try {
    VELTA_LOG_FREE(-1, name, rule);
    VELTA_LOG_FREE(-1, name, json(*model));
    VELTA_LOG_FREE(-1, name, thinRule);
    model->resetErrors();
    calculateVerbosely(*model);
    VELTA_LOG_FREE(-1, name, rule);
    const std::size_t errors = errorsInTree(*model);
    return errors > 0 ? reportErrors(name, errors) : 0;
  } catch (Error &error) {
    error.append(name);
    std::cerr << error.message() << std::endl;
    return -84;
  }
}

} // namespace Velta::User
