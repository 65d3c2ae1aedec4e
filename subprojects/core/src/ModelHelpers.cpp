// Helpers of derived models: numbered sub-objects, per-component quantity
// vectors and the pressure option of units.

#include "velta/core/Model.h"

#include "velta/components/ComponentGeneric.h"
#include "velta/components/ListComponents.h"
#include "velta/persistency/Quantity.h"
#include "velta/utility/Error.h"
#include "velta/value/Constants.h"

#include <cmath>

namespace {

// "[i]", the index part of a sub-object's tag and option name.
std::string subObjectKey(int i) {
  // Appended piecewise: "[" + std::string&& draws a false -Wrestrict
  // report from GCC 12.
  std::string key = "[";
  key += std::to_string(i);
  key += ']';
  return key;
}

} // namespace

Node *Model::subObjectChild(const std::string &tagPrefix, int i) {
  const auto found = children().find(tagPrefix + subObjectKey(i));
  return found == children().end() ? nullptr : found->second.get();
}

Node &Model::addSubObject(int verbosityOffset, const Defaults &defaults, int i,
                          const std::string &optionKeyPrefix, const std::string &typeKey,
                          const std::string &tagPrefix, const std::string &description) {
  const std::string key = subObjectKey(i);
  const std::string tag = tagPrefix + key;
  const std::string type = defaults.getString(optionKeyPrefix + key);
  if (type.empty())
    throw ErrorRunTime(("Model::addSubObjects<" + typeKey + ">").c_str(),
                       ("type unspecified for " + tag).c_str());
  VELTA_LOG(verbosity() + verbosityOffset + 1, 2, "Model::addSubObjects",
            "allocating a " << type << " with tag = " << tag);
  return addChild(type, defaults.relay(tag, description));
}

// Stored trees come from outside the process, so a count that does not match
// the stored children is an error of the data, not a broken invariant.
void Model::throwSubObjectMismatch(const std::string &typeKey, int found, int count) const {
  throw ErrorRunTime(("Model::addSubObjects<" + typeKey + ">").c_str(),
                     ("inconsistency while adding sub-Objects of type " + typeKey +
                      ", i = " + std::to_string(found) + " count = " + std::to_string(count))
                         .c_str());
}

void Model::addComponentVector(std::vector<Quantity> &vector, const std::string &tag,
                               const std::string &description, Value value) {
  const unsigned n = static_cast<unsigned>(NCOMPONENTS);
  const bool fresh = vector.size() != n;
  // Object::addVector builds, rebuilds and registers the elements without
  // ever leaving a registry entry on a moved element; only the descriptions
  // name the components instead of the item numbers.
  addVector(vector, tag, description, n, value);
  if (fresh)
    for (unsigned i = 0; i < n; ++i)
      vector[i].setDescription(description + " of " + components[static_cast<int>(i)]->name());
}

void Model::pressureDrop(const std::string &option, Value &deltaP, const Value &deltaPMax,
                         const Value &beta, const Value &inP, Value &P, Value &flowcoefficient,
                         const Value &Q, const std::string &caller) {
  const Value limit = deltaPMax * beta;
  if (option == "D") {
    if (deltaP > limit) {
      P = inP - limit;
      setWarning("DeltaP clipped");
    } else {
      P = inP - deltaP;
    }
    flowcoefficient = deltaP / Q / Q;
  } else if (option == "P") {
    deltaP = inP - P;
    flowcoefficient = deltaP / Q / Q;
  } else if (option == "K") {
    deltaP = Q * Q * flowcoefficient;
    if (deltaP > limit) {
      // Beyond the clipping flow the drop rises towards deltaPMax as Q grows;
      // at Q = sqrt(beta * deltaPMax / flowcoefficient) both forms agree.
      const Value X = (dimensionlessOne - beta) * sqrt(beta * deltaPMax / flowcoefficient) / beta;
      P = inP - deltaPMax * Q / (Q + X);
      setWarning("DeltaP clipped");
    } else {
      P = inP - deltaP;
    }
  } else {
    throw ErrorBrowsing("pressureDrop", caller.c_str(), "pressure option", option.c_str());
  }
  VELTA_LOG(logVerbosity(), 2, "pressureDrop",
            "deltaP = " << deltaP << " deltaPMax = " << deltaPMax << " inP = " << inP
                        << " P = " << P);
}
