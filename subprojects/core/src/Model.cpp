#include "velta/core/Model.h"

#include "velta/core/SolverNleInterface.h"

#include "velta/components/ListComponents.h"
#include "velta/persistency/Quantity.h"
#include "velta/persistency/QuantityMatrix.h"
#include "velta/persistency/QuantityVector.h"
#include "velta/utility/Diagnostic.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace {

// Marks the location part of a gathered message: "e @ U1:S01".
const std::string messageMarker = " @ ";

// Whether path is a ":"-joined run of tags that leads from node down to one
// of its descendants.
bool isDescendantPath(const Node &node, const std::string &path) {
  if (path.empty())
    return false;
  const Node *current = &node;
  std::size_t start = 0;
  for (;;) {
    const std::size_t colon = path.find(':', start);
    const std::string tag =
        path.substr(start, colon == std::string::npos ? std::string::npos : colon - start);
    if (!current->hasChild(tag))
      return false;
    current = &current->child(tag);
    if (colon == std::string::npos)
      return true;
    start = colon + 1;
  }
}

// The copy of a message of child for its parent. A message that child
// gathered from below ends with the marker and a tag path into child's
// subtree: child's tag and ":" go in front of that path. Any other message,
// whatever "@" it may hold, gets the marker and child's tag appended.
std::string gatheredCopy(const std::string &message, const Node &child) {
  const std::size_t marker = message.rfind(messageMarker);
  if (marker != std::string::npos) {
    const std::size_t pathStart = marker + messageMarker.size();
    if (isDescendantPath(child, message.substr(pathStart))) {
      std::string copy = message;
      copy.insert(pathStart, child.tag() + ":");
      return copy;
    }
  }
  return message + messageMarker + child.tag();
}

const std::string notComputedPrefix = "value not computed (NaN), stored as 0: ";

// Number of NaN elements of a vector or matrix of quantities.
template <class Vector> std::size_t nanElements(const Vector &vector) {
  return static_cast<std::size_t>(
      std::count_if(vector.value().begin(), vector.value().end(),
                    [](const Value &element) { return std::isnan(element.value()); }));
}

// Files a warning for each registered vector or matrix with NaN elements.
template <class Registry> void reportNanElements(Model &model, const Registry &registry) {
  for (const auto &[tag, vector] : registry)
    if (const std::size_t count = nanElements(*vector); count > 0)
      model.reportWarning("values not computed (NaN), stored as 0: " + std::to_string(count) +
                          " of the " + std::to_string(vector->size()) + " elements of " + tag);
}

} // namespace

Model::Model(Defaults defaults, int id, Persistency *persistency, Node *parent, Node *root)
    : Object(std::move(defaults), id, persistency, parent, root),
      nCalculations("nCalculations", "Number of times the model has been calculated", 0, this),
      errors("errors", "Errors from the last computation", 0, std::string(), this),
      warnings("warnings", "Warnings from the last computation", 0, std::string(), this) {
  addVariable(nCalculations);
  addVariable(errors);
  addVariable(warnings);
}

Model::~Model() = default;

// ---------------------------------------------------------------- counter

void Model::setPristine() {
  VELTA_LOG(logVerbosity(), 1, "Model::setPristine",
            "Now setting pristine for block " << fullTag());
  nCalculations = 0;
}

void Model::setPristineRecursive() {
  VELTA_LOG(logVerbosity(), 1, "Model::setPristineRecursive",
            "Now setting pristine for block " << fullTag() << " and for all its contained objects");
  setPristine();
  for (const auto &[tag, child] : children())
    my_cast<Model *>(child.get(), "Model::setPristineRecursive")->setPristineRecursive();
}

// ---------------------------------------------------------------- messages

void Model::reportError(std::string message) {
  if (ProvisionalErrors::depth_ > 0) {
    VELTA_LOG(verbosity(), 2, "Model::reportError",
              "===== Recording provisional error " << message << " in " << fullTag());
    unloggedErrors_.push_back(errors.size());
  } else
    VELTA_LOG(verbosity() + 9, 2, "Model::reportError",
              "===== Logging error " << message << " in " << fullTag());
  errors.value().push_back(std::move(message));
}

void Model::reportWarning(std::string message) {
  if (ProvisionalErrors::depth_ > 0) {
    VELTA_LOG(verbosity(), 2, "Model::reportWarning",
              "===== Recording provisional warning " << message << " in " << fullTag());
    unloggedWarnings_.push_back(warnings.size());
  } else
    VELTA_LOG(verbosity() + 9, 0, "Model::reportWarning",
              "===== Logging warning " << message << " in " << fullTag());
  warnings.value().push_back(std::move(message));
}

void Model::setError(std::string message) {
  if (!message.empty())
    reportError(std::move(message));
}

void Model::setWarning(std::string message) {
  if (!message.empty())
    reportWarning(std::move(message));
}

void Model::recordSolve(const SolverNleInterface &solver, int status, const std::string &failure) {
  if (status < 0)
    setWarning(solver.statusText(status));
  else if (status > 0)
    setError(solver.statusText(status));
  if (solver.notConverged())
    setError(failure);
}

std::string Model::notComputedWarning(const std::string &tag) { return notComputedPrefix + tag; }

bool Model::notComputed(const Quantity &quantity) const {
  if (std::isnan(quantity.value()))
    return true;
  const std::vector<std::string> &filed = warnings.value();
  return std::find(filed.begin(), filed.end(), notComputedWarning(quantity.tag())) != filed.end();
}

void Model::reportMessages() {
  VELTA_LOG(logVerbosity(), 1, "Model::reportMessages", "Entered for " << fullTag());
  for (const auto &[tag, quantity] : quantities())
    if (std::isnan(quantity->value()))
      reportWarning(notComputedWarning(tag));
  reportNanElements(*this, quantityVectors());
  reportNanElements(*this, quantityMatrices());
  for (const auto &[tag, node] : children()) {
    Model *child = my_cast<Model *>(node.get(), "Model::reportMessages");
    child->reportMessages();
    for (const std::string &message : child->errors.value())
      reportError(gatheredCopy(message, *child));
    for (const std::string &message : child->warnings.value())
      reportWarning(gatheredCopy(message, *child));
  }
  if (isRoot()) {
    for (std::size_t i : unloggedErrors_)
      if (i < errors.size())
        VELTA_LOG(verbosity() + 9, 2, "Model::reportError",
                  "===== Logging error " << errors.value()[i] << " in " << fullTag());
    for (std::size_t i : unloggedWarnings_)
      if (i < warnings.size())
        VELTA_LOG(verbosity() + 9, 0, "Model::reportWarning",
                  "===== Logging warning " << warnings.value()[i] << " in " << fullTag());
    unloggedErrors_.clear();
    unloggedWarnings_.clear();
  }
  VELTA_LOG(logVerbosity(), 2, "Model::reportMessages",
            "errors = " << errors.size() << " warnings = " << warnings.size() << " for "
                        << fullTag());
}

void Model::resetErrors() {
  VELTA_LOG(logVerbosity(), 1, "Model::resetErrors",
            "Now resetting errors for block " << fullTag());
  errors.value().clear();
  warnings.value().clear();
  unloggedErrors_.clear();
  unloggedWarnings_.clear();
  for (const auto &[tag, child] : children())
    my_cast<Model *>(child.get(), "Model::resetErrors")->resetErrors();
  VELTA_LOG(logVerbosity(), 2, "Model::resetErrors",
            "errors = " << errors.size() << " warnings = " << warnings.size() << " for "
                        << fullTag());
}

// ---------------------------------------------------------------- input flags

void Model::unSetInput() {
  for (const auto &[tag, quantity] : quantities())
    quantity->unSetInput();
  for (const auto &[tag, child] : children())
    my_cast<Model *>(child.get(), "Model::unSetInput")->unSetInput();
}

// ---------------------------------------------------------------- components

Value &Model::componentQ(const std::string &tag, int i, std::string component) {
  return Q(tag, i, components.lookup(component));
}

Value &Model::componentQ(const std::string &tag, std::string component) {
  return Q(tag, components.lookup(component));
}
