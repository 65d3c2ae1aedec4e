#include "velta/phases/Pcsaft.h"

#include "velta/components/ListComponents.h"
#include "velta/utility/Error.h"
#include "velta/utility/SharedEnumerations.h"

#include <numbers>
#include <sstream>

namespace Phase {

using Velta::Utility::PhaseType;

namespace {

// The component count checked before the tables are touched.
int checkedCount(const char *function) {
  if (NCOMPONENTS > NC) {
    std::ostringstream text;
    text << "a PC-SAFT phase holds at most " << NC << " components; the component list has "
         << NCOMPONENTS;
    throw ErrorRunTime(function, text.str().c_str());
  }
  return NCOMPONENTS;
}

} // namespace

Pcsaft::Pcsaft() {
  static const char *const name = "Phase::Pcsaft::Pcsaft";
  VELTA_LOG(verbosity(), 1, name, "Entered");
  VELTA_TRACE_BEGIN
  // Close packing of equal spheres, with the double-precision pi.
  betamax_ = std::numbers::pi / (3.0 * std::numbers::sqrt2);
  betamin_ = 0.0;
  pcsaftSetNcomp(checkedCount(name));
  VELTA_TRACE_END(name)
}

Pcsaft::~Pcsaft() = default;

void Pcsaft::initializeNonPersistents(Vector, const Value &, const Value &) {}

void Pcsaft::prepare(const Value &T, Vector x) {
  static const char *const name = "Phase::Pcsaft::prepare";
  VELTA_LOG(verbosity(), 1, name, "Entered");
  VELTA_TRACE_BEGIN
  precompute(T, x);
  VELTA_TRACE_END(name)
}

void Pcsaft::preparefugacity(const Value &P, const Value &T, Vector x, const Value &sumx) {
  static const char *const name = "Phase::Pcsaft::preparefugacity";
  VELTA_LOG(verbosity(), 1, name, "Entered");
  VELTA_TRACE_BEGIN
  // The coefficients read the last pressure and precompute: both at (T, x).
  if (!pressureAt_.matches({&T, &beta}, x) || !precomputedAt_.matches({&T}, x)) {
    requirePacking(name);
    calculate_P_(P, T, x, sumx);
  }
  preparefugacity_eos(P, T, x, sumx, phaseType(), lnphi_);
  VELTA_TRACE_END(name)
}

const Value &Pcsaft::calculate_P_(const Value &, const Value &T, Vector x, const Value &sumx) {
  static const char *const name = "Phase::Pcsaft::calculate_P_";
  VELTA_LOG(verbosity(), 1, name, "Entered");
  VELTA_TRACE_BEGIN
  calculatePressureEos_(T, x, sumx, phaseType(), P_);
  pressureAt_.record({&T, &beta}, x);
  return P_;
  VELTA_TRACE_END(name)
}

const Value &Pcsaft::calculate_rho_(const Value &, const Value &T, Vector x) {
  static const char *const name = "Phase::Pcsaft::calculate_rho_";
  VELTA_LOG(verbosity(), 1, name, "Entered");
  VELTA_TRACE_BEGIN
  // The density of the current packing fraction at the given T and x, not
  // that of the last pressure evaluation: a stream flashing at a set
  // density (RT, RH) asks for it before any pressure at the new state.
  requirePacking(name);
  precompute(T, x);
  rhomol_ = rho_(beta, Value(1.0));
  VELTA_LOG(verbosity(), 2, name, "rho = " << rhomol_);
  return rhomol_;
  VELTA_TRACE_END(name)
}

void Pcsaft::estimate(const Value &P, const Value &T, Vector x, int) {
  static const char *const name = "Phase::Pcsaft::estimate";
  VELTA_LOG(verbosity(), 1, name, "Entered");
  VELTA_TRACE_BEGIN
  precompute(T, x);
  setbeta(Ideal::calculate_rho_(P, T, x));
  VELTA_TRACE_END(name)
}

void Pcsaft::requirePacking(const char *function) const {
  if (beta.units().isInvalid())
    throw ErrorRunTime(function, "no PC-SAFT packing fraction: estimate first");
}

void Pcsaft::precompute(const Value &T, Vector x) {
  EosPcsaft::precompute(T, x);
  precomputedAt_.record({&T}, x);
}

void Pcsaft::calculateResiduals(const Value &, const Value &, const Value &) {}

void Pcsaft::ensureResiduals(const Value &P, const Value &T, Vector x) {
  if (residualsAt_.matches({&P, &T, &beta}, x))
    return;
  caloricResiduals(P, T, x, x.sum());
  residualsAt_.record({&P, &T, &beta}, x);
}

const Value &Pcsaft::calculate_H_(const Value &P, const Value &T, Vector x) {
  static const char *const name = "Phase::Pcsaft::calculate_H_";
  VELTA_TRACE_BEGIN
  ensureResiduals(P, T, x);
  enthalpyAs_(static_cast<int>(PhaseType::vapor), P, T, x, name);
  hmol_ += hResidual_;
  return hmol_;
  VELTA_TRACE_END(name)
}

const Value &Pcsaft::calculate_S_(const Value &P, const Value &T, Vector x) {
  static const char *const name = "Phase::Pcsaft::calculate_S_";
  VELTA_TRACE_BEGIN
  ensureResiduals(P, T, x);
  entropyAs_(static_cast<int>(PhaseType::vapor), P, T, x, name);
  smol_ += sResidual_;
  return smol_;
  VELTA_TRACE_END(name)
}

const Value &Pcsaft::calculate_Cp_(const Value &P, const Value &T, Vector x) {
  static const char *const name = "Phase::Pcsaft::calculate_Cp_";
  VELTA_TRACE_BEGIN
  ensureResiduals(P, T, x);
  heatCapacityAs_(static_cast<int>(PhaseType::vapor), P, T, x, name);
  cpmol_ += cpResidual_;
  return cpmol_;
  VELTA_TRACE_END(name)
}

} // namespace Phase
