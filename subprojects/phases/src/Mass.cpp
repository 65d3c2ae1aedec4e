#include "velta/phases/Mass.h"

#include "velta/components/ComponentGeneric.h"
#include "velta/components/ListComponents.h"
#include "velta/persistency/NodeFactory.h"
#include "velta/utility/Assert.h"
#include "velta/utility/Diagnostic.h"
#include "velta/utility/Error.h"
#include "velta/value/Constants.h"

#include <stdexcept>
#include <string>

namespace Phase {

using Velta::Utility::massBalanceModeName;

namespace {

const Value &kgPerSecond() {
  static const Value unit(1.0, "kg/s");
  return unit;
}

double molarMass(int i) { return components[i]->MW().value(); }

} // namespace

MassBalanceMode flowonly(MassBalanceMode mode) {
  switch (mode) {
  case MassBalanceMode::Mx:
  case MassBalanceMode::Mw:
  case MassBalanceMode::M:
    return MassBalanceMode::M;
  case MassBalanceMode::Nx:
  case MassBalanceMode::Nw:
  case MassBalanceMode::N:
    return MassBalanceMode::N;
  }
  throw ErrorSmartEnum("Phase::flowonly", "massbalance", massBalanceModeName(mode).c_str());
}

// ---------------------------------------------------------------- lifetime

Mass::Mass(Defaults defaults, int id, Persistency *persistency, Node *parent, Node *root)
    : Model(defaults, id, persistency, parent, root),
      fraction("fraction", "phase fraction", Value(1.0), this),
      mdot("mdot", "mass flow", 10000.0, "kg/h", this) {
  if (NCOMPONENTS == 0)
    throw ErrorRunTime("Phase::Mass::Mass", "no components defined");
  initializeMassVariables();
  retrieveIntegersAndStrings(persistency);
}

Mass::~Mass() = default;

void Mass::initializeMassVariables() {
  addVariable(fraction);
  addVariable(mdot);
  const double share = 1.0 / NCOMPONENTS;
  addComponentVector(w, "w", "mass fraction", Value(share));
  addComponentVector(mdotcomps, "mdotcomps", "mass flow", Value(10000.0 * share, "kg/h"));
  fraction.setOutput();
  mdot.setOutput();
  for (Quantity &fractionOfComponent : w)
    fractionOfComponent.setOutput();
}

Defaults Mass::optionSet() const {
  if (NodeFactory().isRegistered(type()))
    return defaults();
  return Defaults(tag(), description());
}

// ---------------------------------------------------------------- checks

void Mass::requireComponents(const char *function) {
  if (NCOMPONENTS <= 0)
    throw ErrorRunTime(function, "No components defined");
}

void Mass::requireKey(const char *function, int key) {
  if (key < 0 || key >= NCOMPONENTS)
    throw ErrorRunTime(function, std::to_string(key).c_str());
}

void Mass::throwMode(const char *function, MassBalanceMode mode) {
  throw ErrorSmartEnum(function, "massbalance", massBalanceModeName(mode).c_str());
}

bool Mass::massMode(const char *function, MassBalanceMode mode) {
  if (mode == MassBalanceMode::Mw)
    return true;
  if (mode != MassBalanceMode::M)
    throwMode(function, mode);
  return false;
}

const Quantity &Mass::checkedAt(const std::vector<Quantity> &vector, int i) {
  if (i < 0 || static_cast<std::size_t>(i) >= vector.size())
    throw std::out_of_range("invalid vector subscript");
  return vector[static_cast<std::size_t>(i)];
}

// ---------------------------------------------------------------- Model

void Mass::calculate(int) {
  requireComponents("Phase::Mass::calculate");
  VELTA_TRACE_BEGIN
  Mass::calculateMw_();
  VELTA_TRACE_END("Phase::Mass::calculate")
}

void Mass::setup() { requireComponents("Phase::Mass::setup"); }

// ---------------------------------------------------------------- balances

void Mass::calculateM_() {
  VELTA_TRACE_BEGIN
  mdot.setZero();
  for (const Quantity &flowOfComponent : mdotcomps)
    mdot += flowOfComponent;
  const bool empty = mdot.value() == 0.0;
  for (std::size_t i = 0; i < w.size(); ++i) {
    if (empty)
      w[i] = dimensionlessZero;
    else
      w[i] = mdotcomps[i] / mdot;
  }
  VELTA_TRACE_END("Phase::Mass::calculateM_")
}

void Mass::calculateMw_() {
  VELTA_TRACE_BEGIN
  Value sum(dimensionlessZero);
  for (const Quantity &fractionOfComponent : w)
    sum += fractionOfComponent;
  if (sum.value() != 0.0) {
    for (std::size_t i = 0; i < w.size(); ++i) {
      w[i] = w[i] / sum;
      mdotcomps[i] = w[i] * mdot;
    }
  } else {
    for (Quantity &flowOfComponent : mdotcomps)
      flowOfComponent.setZero();
  }
  VELTA_TRACE_END("Phase::Mass::calculateMw_")
}

void Mass::calculateX(MassBalanceMode mode) {
  static const char *const name = "Phase::Mass::calculateX";
  requireComponents(name);
  VELTA_LOG(verbosity(), 1, name, "Entered with " << massBalanceModeName(mode));
  const bool fractionsGiven = massMode(name, mode);
  VELTA_TRACE_BEGIN
  if (fractionsGiven)
    calculateMw_();
  else
    calculateM_();
  VELTA_TRACE_END(name)
}

// ---------------------------------------------------------------- type and index

void Mass::setPhaseType(int type) { phaseType_ = type; }

void Mass::setPhaseIndex(Velta::Utility::PhaseIndex base, int offset) {
  phaseIndex_ = static_cast<int>(base);
  Velta::Utility::advanceIndex(phaseIndex_, offset);
}

// ---------------------------------------------------------------- access

MassBalanceMode Mass::representation() const { return MassBalanceMode::Mw; }

const Value &Mass::totalFlow() const { return mdot; }

const Value &Mass::flow(int i) const {
  requireComponents("Phase::Mass::flow");
  return checkedAt(mdotcomps, i);
}

Value &Mass::flow(int i) {
  requireComponents("Phase::Mass::flow");
  return mdotcomps[static_cast<std::size_t>(i)];
}

Value &Mass::frac(int i) {
  requireComponents("Phase::Mass::frac");
  return w[static_cast<std::size_t>(i)];
}

std::vector<Quantity> &Mass::fracs() {
  requireComponents("Phase::Mass::fracs");
  return w;
}

void Mass::calculateProperties(const Value &, const Value &, bool writeH) {
  requireComponents("Phase::Mass::calculateProperties");
  VELTA_LOG(verbosity(), 1, "Phase::Mass::calculateProperties",
            "Entered with writeH = " << (writeH ? "true" : "false"));
}

// ---------------------------------------------------------------- composition

void Mass::clearComposition(MassBalanceMode mode) {
  static const char *const name = "Phase::Mass::clearComposition";
  requireComponents(name);
  const bool fractionsGiven = massMode(name, mode);
  VELTA_TRACE_BEGIN
  for (int i = 0; i < NCOMPONENTS; ++i) {
    if (fractionsGiven)
      w[i] = dimensionlessZero;
    else
      mdotcomps[i] = kgPerSecond() * 0.0;
  }
  VELTA_TRACE_END(name)
}

void Mass::setEquimass(MassBalanceMode mode) {
  static const char *const name = "Phase::Mass::setEquimass";
  requireComponents(name);
  const bool fractionsGiven = massMode(name, mode);
  VELTA_TRACE_BEGIN
  for (int i = 0; i < NCOMPONENTS; ++i) {
    if (fractionsGiven)
      w[i] = dimensionlessOne / static_cast<double>(NCOMPONENTS);
    else
      mdotcomps[i] = kgPerSecond();
  }
  VELTA_TRACE_END(name)
}

void Mass::setEquimassNoKey(MassBalanceMode mode, int key) {
  static const char *const name = "Phase::Mass::setEquimassNoKey";
  requireComponents(name);
  requireKey(name, key);
  const bool fractionsGiven = massMode(name, mode);
  VELTA_TRACE_BEGIN
  if (fractionsGiven) {
    // With one component the key is the only one: its share stays 0.
    for (int i = 0; i < NCOMPONENTS; ++i)
      w[i] = dimensionlessOne / static_cast<double>(NCOMPONENTS - 1);
    w[key] = dimensionlessZero;
  } else {
    for (int i = 0; i < NCOMPONENTS; ++i)
      mdotcomps[i] = kgPerSecond();
    mdotcomps[key] = kgPerSecond() * 0.0;
  }
  VELTA_TRACE_END(name)
}

void Mass::setEquimolar(MassBalanceMode mode) {
  static const char *const name = "Phase::Mass::setEquimolar";
  requireComponents(name);
  const bool fractionsGiven = massMode(name, mode);
  VELTA_TRACE_BEGIN
  if (fractionsGiven) {
    Value sum(dimensionlessZero);
    for (int i = 0; i < NCOMPONENTS; ++i) {
      w[i] = Value(molarMass(i));
      sum += w[i];
    }
    for (int i = 0; i < NCOMPONENTS; ++i)
      w[i] = w[i] / sum;
  } else {
    for (int i = 0; i < NCOMPONENTS; ++i)
      mdotcomps[i] = kgPerSecond() * molarMass(i);
  }
  VELTA_TRACE_END(name)
}

void Mass::setEquimolarNoKey(MassBalanceMode mode, int key) {
  static const char *const name = "Phase::Mass::setEquimolarNoKey";
  requireComponents(name);
  requireKey(name, key);
  const bool fractionsGiven = massMode(name, mode);
  VELTA_TRACE_BEGIN
  if (fractionsGiven) {
    Value sum(dimensionlessZero);
    for (int i = 0; i < NCOMPONENTS; ++i) {
      w[i] = i == key ? Value(dimensionlessZero) : Value(molarMass(i));
      sum += w[i];
    }
    for (int i = 0; i < NCOMPONENTS; ++i)
      w[i] = w[i] / sum;
  } else {
    for (int i = 0; i < NCOMPONENTS; ++i)
      mdotcomps[i] = kgPerSecond() * (i == key ? 0.0 : molarMass(i));
  }
  VELTA_TRACE_END(name)
}

void Mass::setImpure(MassBalanceMode mode, int key, double impurity) {
  static const char *const name = "Phase::Mass::setImpure";
  requireComponents(name);
  requireKey(name, key);
  const bool fractionsGiven = massMode(name, mode);
  VELTA_TRACE_BEGIN
  const double keyShare = 1.0 - (NCOMPONENTS - 1) * impurity;
  if (fractionsGiven) {
    for (int i = 0; i < NCOMPONENTS; ++i)
      w[i] = Value(impurity);
    w[key] = dimensionlessOne - (NCOMPONENTS - 1) * impurity;
  } else {
    for (int i = 0; i < NCOMPONENTS; ++i)
      mdotcomps[i] = kgPerSecond() * impurity;
    mdotcomps[key] = kgPerSecond() * keyShare;
  }
  VELTA_TRACE_END(name)
}

void Mass::setPure(MassBalanceMode mode, int key) {
  static const char *const name = "Phase::Mass::setPure";
  requireComponents(name);
  requireKey(name, key);
  const bool fractionsGiven = massMode(name, mode);
  VELTA_TRACE_BEGIN
  if (fractionsGiven) {
    for (int i = 0; i < NCOMPONENTS; ++i)
      w[i] = dimensionlessZero;
    w[key] = dimensionlessOne;
  } else {
    for (int i = 0; i < NCOMPONENTS; ++i)
      mdotcomps[i] = kgPerSecond() * 0.0;
    mdotcomps[key] = kgPerSecond();
  }
  VELTA_TRACE_END(name)
}

bool Mass::isPure() {
  requireComponents("Phase::Mass::isPure");
  bool pure = false;
  for (const Quantity &fractionOfComponent : w) {
    const double value = fractionOfComponent.value();
    if (value == 1.0) {
      if (pure)
        return false;
      pure = true;
    } else if (value != 0.0) {
      return false;
    }
  }
  return pure;
}

// ---------------------------------------------------------------- arithmetic

Mass &Mass::operator*=(const Value &factor) {
  static const char *const name = "Phase::Mass::operator *=";
  requireComponents(name);
  VELTA_LOG(verbosity(), 1, name, "Entered with factor = " << factor);
  VELTA_TRACE_BEGIN
  mdot *= factor;
  for (Quantity &flowOfComponent : mdotcomps)
    flowOfComponent *= factor;
  VELTA_TRACE_END(name)
  return *this;
}

Mass &Mass::operator+=(const Mass &rhs) {
  static const char *const name = "Phase::Mass::operator +=";
  requireComponents(name);
  VELTA_TRACE_BEGIN
  for (int i = 0; i < NCOMPONENTS; ++i)
    mdotcomps[i] += checkedAt(rhs.mdotcomps, i);
  calculateM_();
  VELTA_TRACE_END(name)
  return *this;
}

Mass &Mass::operator-=(const Mass &rhs) {
  static const char *const name = "Phase::Mass::operator -=";
  requireComponents(name);
  VELTA_TRACE_BEGIN
  for (int i = 0; i < NCOMPONENTS; ++i) {
    const Quantity &subtrahend = checkedAt(rhs.mdotcomps, i);
    if (mdotcomps[i] < subtrahend)
      mdotcomps[i] = kgPerSecond() * 0.0;
    else
      mdotcomps[i] -= subtrahend;
  }
  calculateM_();
  VELTA_TRACE_END(name)
  return *this;
}

void Mass::addComponents(const Mass &rhs, int from, int to) {
  static const char *const name = "Phase::Mass::addComponents";
  requireComponents(name);
  VELTA_ASSERT_AS(representation() == rhs.representation(),
                  "representation() == rhs.representation()", "subprojects/phases/src/Mass",
                  __LINE__);
  VELTA_TRACE_BEGIN
  for (int a = from; a < to; ++a)
    flow(a) += rhs.flow(a);
  calculateX(flowonly(representation()));
  VELTA_TRACE_END(name)
}

} // namespace Phase
