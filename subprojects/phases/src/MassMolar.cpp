#include "velta/phases/MassMolar.h"

#include "velta/components/ComponentGeneric.h"
#include "velta/components/ListComponents.h"
#include "velta/utility/Diagnostic.h"
#include "velta/utility/Error.h"
#include "velta/value/Constants.h"

#include <string>

namespace Phase {

using Velta::Utility::massBalanceModeName;

namespace {

const Value &kgPerSecond() {
  static const Value unit(1.0, "kg/s");
  return unit;
}

const Value &kmolPerSecond() {
  static const Value unit(1.0, "kmol/s");
  return unit;
}

const Value &molarMass(int i) { return components[i]->MW(); }

// Ten times the machine epsilon: mole fractions this close to 0 or 1 count
// as 0 or 1 in isPure.
constexpr double isPureTolerance = 2.220446049250313e-15;

} // namespace

// ---------------------------------------------------------------- lifetime

MassMolar::MassMolar(Defaults defaults, int id, Persistency *persistency, Node *parent,
                     Node *root)
    : Model(defaults, id, persistency, parent, root),
      Mass(defaults, id, persistency, parent, root),
      AMW("AMW", "Average molecular weight", 18.0, "kg/kmol", this),
      ndot("ndot", "Molar flow", 555.5555555555555, "kmol/h", this), mw_(0.0, "kg/kmol"),
      sumwOverMw_(0.0, "kmol/kg") {
  addVariable(AMW);
  addVariable(ndot);
  const double share = 1.0 / NCOMPONENTS;
  addComponentVector(x, "x", "molar fraction", Value(share));
  addComponentVector(ndotcomps, "ndotcomps", "molar flow",
                     Value(555.5555555555555 * share, "kmol/s"));
  retrieveIntegersAndStrings(persistency);
}

MassMolar::~MassMolar() = default;

void MassMolar::calculate(int) {
  requireComponents("Phase::MassMolar::calculate");
  VELTA_TRACE_BEGIN
  calculateNx_();
  VELTA_TRACE_END("Phase::MassMolar::calculate")
}

// ---------------------------------------------------------------- helpers

void MassMolar::zero(std::vector<Quantity> &vector) {
  for (Quantity &element : vector)
    element.setZero();
}

bool MassMolar::normalise(std::vector<Quantity> &fractions, bool logSum) {
  Value sum(dimensionlessZero);
  for (const Quantity &fractionOfComponent : fractions)
    sum += fractionOfComponent;
  if (logSum)
    VELTA_LOG(verbosity(), 2, "Phase::MassMolar::calculateNx_", "sumx = " << sum);
  if (sum.value() == 0.0)
    return false;
  for (Quantity &fractionOfComponent : fractions)
    fractionOfComponent = fractionOfComponent / sum;
  return true;
}

void MassMolar::molarFlowFromMass() {
  if (AMW.value() != 0.0)
    ndot = mdot / AMW;
  else
    ndot.setZero();
}

const Value &MassMolar::mww() {
  sumwOverMw_.setZero();
  for (int i = 0; i < NCOMPONENTS; ++i)
    sumwOverMw_ += checkedAt(w, i) / molarMass(i);
  if (sumwOverMw_.value() != 0.0)
    mw_ = dimensionlessOne / sumwOverMw_;
  else
    mw_.setZero();
  return mw_;
}

const Value &MassMolar::mwx() {
  mw_.setZero();
  for (int i = 0; i < NCOMPONENTS; ++i)
    mw_ += checkedAt(x, i) * molarMass(i);
  VELTA_LOG(verbosity(), 2, "Phase::MassMolar::mwx",
            "Done, mw_ = " << mw_.activeValue().toString());
  return mw_;
}

// ---------------------------------------------------------------- balances

void MassMolar::calculateNx_() {
  VELTA_TRACE_BEGIN
  if (!normalise(x, true)) {
    mdot.setZero();
    zero(mdotcomps);
    zero(ndotcomps);
    zero(w);
    return;
  }
  AMW = mwx();
  mdot = ndot * AMW;
  VELTA_LOG(verbosity(), 2, "Phase::MassMolar::calculateNx_", "mdot = " << mdot);
  componentFlowsFromMoleFractions();
  VELTA_TRACE_END("Phase::MassMolar::calculateNx_")
}

void MassMolar::componentFlowsFromMoleFractions() {
  const bool noMass = mdot.value() == 0.0;
  for (int i = 0; i < NCOMPONENTS; ++i) {
    ndotcomps[i] = ndot * x[i];
    mdotcomps[i] = ndotcomps[i] * molarMass(i);
    w[i] = noMass ? Value(dimensionlessZero) : mdotcomps[i] / mdot;
  }
}

void MassMolar::componentFlowsFromMassFractions() {
  const bool noMoles = ndot.value() == 0.0;
  for (int i = 0; i < NCOMPONENTS; ++i) {
    mdotcomps[i] = w[i] * mdot;
    ndotcomps[i] = mdotcomps[i] / molarMass(i);
    x[i] = noMoles ? Value(dimensionlessZero) : ndotcomps[i] / ndot;
  }
}

void MassMolar::calculateMx_() {
  VELTA_TRACE_BEGIN
  if (!normalise(x, false)) {
    ndot.setZero();
    zero(mdotcomps);
    zero(ndotcomps);
    zero(w);
    return;
  }
  AMW = mwx();
  molarFlowFromMass();
  componentFlowsFromMoleFractions();
  VELTA_TRACE_END("Phase::MassMolar::calculateMx_")
}

void MassMolar::calculateNw_() {
  VELTA_TRACE_BEGIN
  if (!normalise(w, false)) {
    mdot.setZero();
    zero(mdotcomps);
    zero(ndotcomps);
    zero(x);
    return;
  }
  AMW = mww();
  mdot = ndot * AMW;
  componentFlowsFromMassFractions();
  VELTA_TRACE_END("Phase::MassMolar::calculateNw_")
}

void MassMolar::calculateMw_() {
  VELTA_TRACE_BEGIN
  if (!normalise(w, false)) {
    ndot.setZero();
    zero(mdotcomps);
    zero(ndotcomps);
    zero(x);
    return;
  }
  AMW = mww();
  molarFlowFromMass();
  componentFlowsFromMassFractions();
  VELTA_TRACE_END("Phase::MassMolar::calculateMw_")
}

void MassMolar::calculateN_() {
  VELTA_TRACE_BEGIN
  ndot = kmolPerSecond() * 0.0;
  for (int i = 0; i < NCOMPONENTS; ++i) {
    VELTA_LOG(verbosity(), 2, "Phase::MassMolar::calculateN_",
              "ndotcomps[" << i << "] = " << ndotcomps[i].activeValue().toString());
    ndot += ndotcomps[i];
  }
  if (ndot.value() == 0.0) {
    // An empty phase keeps equal fractions, so that it can be filled again
    // in a fraction mode. The totals are zeroed with their derivatives: the
    // sum of zero flows may still carry some.
    ndot.setZero();
    mdot.setZero();
    zero(mdotcomps);
    const Value equal(1.0 / NCOMPONENTS);
    for (int i = 0; i < NCOMPONENTS; ++i) {
      w[i] = equal;
      x[i] = equal;
    }
    return;
  }
  for (int i = 0; i < NCOMPONENTS; ++i) {
    x[i] = ndotcomps[i] / ndot;
    mdotcomps[i] = ndotcomps[i] * molarMass(i);
  }
  AMW = mwx();
  mdot = ndot * AMW;
  const bool noMass = mdot.value() == 0.0;
  for (int i = 0; i < NCOMPONENTS; ++i)
    w[i] = noMass ? Value(dimensionlessZero) : mdotcomps[i] / mdot;
  VELTA_TRACE_END("Phase::MassMolar::calculateN_")
}

void MassMolar::calculateM_() {
  VELTA_TRACE_BEGIN
  mdot = kgPerSecond() * 0.0;
  for (const Quantity &flowOfComponent : mdotcomps)
    mdot += flowOfComponent;
  if (mdot.value() == 0.0) {
    mdot.setZero();
    ndot.setZero();
    zero(ndotcomps);
    zero(w);
    zero(x);
    return;
  }
  for (int i = 0; i < NCOMPONENTS; ++i) {
    w[i] = mdotcomps[i] / mdot;
    ndotcomps[i] = mdotcomps[i] / molarMass(i);
  }
  AMW = mww();
  molarFlowFromMass();
  const bool noMoles = ndot.value() == 0.0;
  for (int i = 0; i < NCOMPONENTS; ++i)
    x[i] = noMoles ? Value(dimensionlessZero) : ndotcomps[i] / ndot;
  VELTA_TRACE_END("Phase::MassMolar::calculateM_")
}

void MassMolar::calculateX(MassBalanceMode mode) {
  static const char *const name = "Phase::MassMolar::calculateX";
  requireComponents(name);
  VELTA_LOG(verbosity(), 1, name, "Entered with " << massBalanceModeName(mode));
  VELTA_TRACE_BEGIN
  switch (mode) {
  case MassBalanceMode::Nx:
    calculateNx_();
    return;
  case MassBalanceMode::Mx:
    calculateMx_();
    return;
  case MassBalanceMode::Nw:
    calculateNw_();
    return;
  case MassBalanceMode::Mw:
    calculateMw_();
    return;
  case MassBalanceMode::N:
    calculateN_();
    return;
  case MassBalanceMode::M:
    calculateM_();
    return;
  }
  VELTA_TRACE_END(name)
  throwMode(name, mode);
}

// ---------------------------------------------------------------- access

MassBalanceMode MassMolar::representation() const { return MassBalanceMode::Nx; }

const Value &MassMolar::totalFlow() const { return ndot; }

const Value &MassMolar::flow(int i) const {
  requireComponents("Phase::MassMolar::flow");
  return checkedAt(ndotcomps, i);
}

Value &MassMolar::flow(int i) {
  requireComponents("Phase::MassMolar::flow");
  return ndotcomps[static_cast<std::size_t>(i)];
}

Value &MassMolar::frac(int i) {
  requireComponents("Phase::MassMolar::frac");
  return x[static_cast<std::size_t>(i)];
}

std::vector<Quantity> &MassMolar::fracs() {
  requireComponents("Phase::MassMolar::fracs");
  return x;
}

// ---------------------------------------------------------------- composition

MassMolar::Target MassMolar::targetOf(const char *function, MassBalanceMode mode) {
  switch (mode) {
  case MassBalanceMode::Nx:
  case MassBalanceMode::Mx:
    return Target::x;
  case MassBalanceMode::Nw:
  case MassBalanceMode::Mw:
    return Target::w;
  case MassBalanceMode::N:
    return Target::ndotcomps;
  case MassBalanceMode::M:
    return Target::mdotcomps;
  }
  throwMode(function, mode);
}

void MassMolar::clearComposition(MassBalanceMode mode) {
  static const char *const name = "Phase::MassMolar::clearComposition";
  requireComponents(name);
  const Target target = targetOf(name, mode);
  switch (target) {
  case Target::x:
  case Target::w:
    for (Quantity &fractionOfComponent : fractionsOf(target))
      fractionOfComponent = dimensionlessZero;
    break;
  case Target::ndotcomps:
    zero(ndotcomps);
    break;
  case Target::mdotcomps:
    zero(mdotcomps);
    break;
  }
}

void MassMolar::setEquimass(MassBalanceMode mode) {
  static const char *const name = "Phase::MassMolar::setEquimass";
  requireComponents(name);
  const Target target = targetOf(name, mode);
  VELTA_TRACE_BEGIN
  switch (target) {
  case Target::x: {
    Value sum(dimensionlessZero);
    for (int i = 0; i < NCOMPONENTS; ++i) {
      x[i] = dimensionlessOne / molarMass(i).value();
      sum += x[i];
    }
    for (Quantity &fractionOfComponent : x)
      fractionOfComponent = fractionOfComponent / sum;
    break;
  }
  case Target::w:
    for (Quantity &fractionOfComponent : w)
      fractionOfComponent = dimensionlessOne / static_cast<double>(NCOMPONENTS);
    break;
  case Target::ndotcomps:
    for (int i = 0; i < NCOMPONENTS; ++i)
      ndotcomps[i] = kgPerSecond() / molarMass(i);
    break;
  case Target::mdotcomps:
    for (Quantity &flowOfComponent : mdotcomps)
      flowOfComponent = kgPerSecond();
    break;
  }
  VELTA_TRACE_END(name)
}

void MassMolar::setEquimassNoKey(MassBalanceMode mode, int key) {
  static const char *const name = "Phase::MassMolar::setEquimassNoKey";
  requireComponents(name);
  requireKey(name, key);
  const Target target = targetOf(name, mode);
  VELTA_TRACE_BEGIN
  switch (target) {
  case Target::x: {
    Value sum(dimensionlessZero);
    for (int i = 0; i < NCOMPONENTS; ++i) {
      x[i] = i == key ? Value(dimensionlessZero) : dimensionlessOne / molarMass(i).value();
      sum += x[i];
    }
    for (Quantity &fractionOfComponent : x)
      fractionOfComponent = fractionOfComponent / sum;
    break;
  }
  case Target::w:
    for (Quantity &fractionOfComponent : w)
      fractionOfComponent = dimensionlessOne / static_cast<double>(NCOMPONENTS - 1);
    w[key] = dimensionlessZero;
    break;
  case Target::ndotcomps:
    for (int i = 0; i < NCOMPONENTS; ++i)
      if (i != key)
        ndotcomps[i] = kgPerSecond() / molarMass(i);
    ndotcomps[key].setZero();
    break;
  case Target::mdotcomps:
    for (Quantity &flowOfComponent : mdotcomps)
      flowOfComponent = kgPerSecond();
    mdotcomps[key].setZero();
    break;
  }
  VELTA_TRACE_END(name)
}

void MassMolar::setEquimolar(MassBalanceMode mode) {
  static const char *const name = "Phase::MassMolar::setEquimolar";
  requireComponents(name);
  const Target target = targetOf(name, mode);
  VELTA_TRACE_BEGIN
  switch (target) {
  case Target::x:
    for (Quantity &fractionOfComponent : x)
      fractionOfComponent = dimensionlessOne / static_cast<double>(NCOMPONENTS);
    break;
  case Target::w: {
    Value sum(dimensionlessZero);
    for (int i = 0; i < NCOMPONENTS; ++i) {
      w[i] = Value(molarMass(i).value());
      sum += w[i];
    }
    for (Quantity &fractionOfComponent : w)
      fractionOfComponent = fractionOfComponent / sum;
    break;
  }
  case Target::ndotcomps:
    for (Quantity &flowOfComponent : ndotcomps)
      flowOfComponent = kmolPerSecond();
    break;
  case Target::mdotcomps:
    for (int i = 0; i < NCOMPONENTS; ++i)
      mdotcomps[i] = kgPerSecond() * molarMass(i).value();
    break;
  }
  VELTA_TRACE_END(name)
}

void MassMolar::setEquimolarNoKey(MassBalanceMode mode, int key) {
  static const char *const name = "Phase::MassMolar::setEquimolarNoKey";
  requireComponents(name);
  requireKey(name, key);
  const Target target = targetOf(name, mode);
  VELTA_TRACE_BEGIN
  switch (target) {
  case Target::x:
    for (Quantity &fractionOfComponent : x)
      fractionOfComponent = dimensionlessOne / static_cast<double>(NCOMPONENTS - 1);
    x[key] = dimensionlessZero;
    break;
  case Target::w: {
    Value sum(dimensionlessZero);
    for (int i = 0; i < NCOMPONENTS; ++i) {
      w[i] = i == key ? Value(dimensionlessZero) : Value(molarMass(i).value());
      sum += w[i];
    }
    for (Quantity &fractionOfComponent : w)
      fractionOfComponent = fractionOfComponent / sum;
    break;
  }
  case Target::ndotcomps:
    for (Quantity &flowOfComponent : ndotcomps)
      flowOfComponent = kmolPerSecond();
    ndotcomps[key].setZero();
    break;
  case Target::mdotcomps:
    for (int i = 0; i < NCOMPONENTS; ++i)
      mdotcomps[i] = kgPerSecond() * (i == key ? 0.0 : molarMass(i).value());
    break;
  }
  VELTA_TRACE_END(name)
}

void MassMolar::setImpure(MassBalanceMode mode, int key, double impurity) {
  static const char *const name = "Phase::MassMolar::setImpure";
  requireComponents(name);
  requireKey(name, key);
  const Target target = targetOf(name, mode);
  VELTA_TRACE_BEGIN
  const double keyShare = 1.0 - (NCOMPONENTS - 1) * impurity;
  switch (target) {
  case Target::x:
  case Target::w: {
    std::vector<Quantity> &fractions = fractionsOf(target);
    for (Quantity &fractionOfComponent : fractions)
      fractionOfComponent = Value(impurity);
    fractions[key] = dimensionlessOne - (NCOMPONENTS - 1) * impurity;
    break;
  }
  case Target::ndotcomps:
    for (Quantity &flowOfComponent : ndotcomps)
      flowOfComponent = kmolPerSecond() * impurity;
    ndotcomps[key] = kmolPerSecond() * keyShare;
    break;
  case Target::mdotcomps:
    for (Quantity &flowOfComponent : mdotcomps)
      flowOfComponent = kgPerSecond() * impurity;
    mdotcomps[key] = kgPerSecond() * keyShare;
    break;
  }
  VELTA_TRACE_END(name)
}

void MassMolar::setPure(MassBalanceMode mode, int key) {
  static const char *const name = "Phase::MassMolar::setPure";
  requireComponents(name);
  if (key < 0 || key >= NCOMPONENTS)
    throw ErrorRunTime(name, ("Wrong component index = " + std::to_string(key) +
                              "  NCOMPONENTS = " + std::to_string(NCOMPONENTS))
                                 .c_str());
  const Target target = targetOf(name, mode);
  VELTA_TRACE_BEGIN
  switch (target) {
  case Target::x:
  case Target::w: {
    std::vector<Quantity> &fractions = fractionsOf(target);
    for (Quantity &fractionOfComponent : fractions)
      fractionOfComponent = dimensionlessZero;
    fractions[key] = dimensionlessOne;
    break;
  }
  case Target::ndotcomps:
    for (Quantity &flowOfComponent : ndotcomps)
      flowOfComponent = kmolPerSecond() * 0.0;
    ndotcomps[key] = kmolPerSecond();
    break;
  case Target::mdotcomps:
    for (Quantity &flowOfComponent : mdotcomps)
      flowOfComponent = kgPerSecond() * 0.0;
    mdotcomps[key] = kgPerSecond();
    break;
  }
  VELTA_TRACE_END(name)
}

bool MassMolar::isPure() {
  requireComponents("Phase::MassMolar::isPure");
  bool pure = false;
  for (const Quantity &fractionOfComponent : x) {
    const double value = fractionOfComponent.value();
    if (value > 1.0 - isPureTolerance) {
      if (pure)
        return false;
      pure = true;
    } else if (value > isPureTolerance) {
      return false;
    }
  }
  return pure;
}

// ---------------------------------------------------------------- arithmetic

Mass &MassMolar::operator*=(const Value &factor) {
  static const char *const name = "Phase::MassMolar::operator *=";
  VELTA_LOG(verbosity(), 1, name, "Entered with factor = " << factor);
  VELTA_TRACE_BEGIN
  ndot *= factor;
  mdot *= factor;
  for (Quantity &flowOfComponent : ndotcomps)
    flowOfComponent *= factor;
  for (Quantity &flowOfComponent : mdotcomps)
    flowOfComponent *= factor;
  VELTA_TRACE_END(name)
  return *this;
}

Mass &MassMolar::operator+=(const Mass &rhs) {
  static const char *const name = "Phase::MassMolar::operator +=";
  VELTA_TRACE_BEGIN
  const auto *molar = dynamic_cast<const MassMolar *>(&rhs);
  std::vector<Quantity> &flows = molar ? ndotcomps : mdotcomps;
  const std::vector<Quantity> &added = molar ? molar->ndotcomps : rhs.mdotcomps;
  for (int i = 0; i < NCOMPONENTS; ++i) {
    const Quantity &term = checkedAt(added, i);
    VELTA_LOG(verbosity(), 2, name,
              "Summing " << i << "-th component " << term << " to " << flows[i]);
    flows[i] += term;
  }
  if (molar)
    calculateN_();
  else
    calculateM_();
  VELTA_LOG(verbosity(), 2, name, "Done");
  VELTA_TRACE_END(name)
  return *this;
}

Mass &MassMolar::operator-=(const Mass &rhs) {
  static const char *const name = "Phase::MassMolar::operator -=";
  VELTA_TRACE_BEGIN
  const auto *molar = dynamic_cast<const MassMolar *>(&rhs);
  std::vector<Quantity> &flows = molar ? ndotcomps : mdotcomps;
  const std::vector<Quantity> &subtracted = molar ? molar->ndotcomps : rhs.mdotcomps;
  for (int i = 0; i < NCOMPONENTS; ++i) {
    const Quantity &term = checkedAt(subtracted, i);
    if (flows[i] < term)
      flows[i].setZero();
    else
      flows[i] -= term;
  }
  if (molar)
    calculateN_();
  else
    calculateM_();
  VELTA_TRACE_END(name)
  return *this;
}

} // namespace Phase
