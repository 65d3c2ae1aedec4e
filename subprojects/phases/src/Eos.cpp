#include "velta/phases/Eos.h"

#include "velta/utility/Error.h"
#include "velta/utility/SharedEnumerations.h"

#include <algorithm>
#include <string>

namespace Phase {

using Velta::Utility::PhaseType;

namespace {

template <class C> const char *engineName();
template <> const char *engineName<EosCubic::KwongRedlichSoave>() {
  return "class Phase::EosCubic::KwongRedlichSoave";
}
template <> const char *engineName<EosCubic::PengRobinson>() {
  return "class Phase::EosCubic::PengRobinson";
}
template <> const char *engineName<EosCubic::VanDerWaals>() {
  return "class Phase::EosCubic::VanDerWaals";
}

// The lowest and highest packing fraction a restored phase starts from.
constexpr double restoredFloor = 1e-6;
constexpr double restoredCeiling = 0.99;

} // namespace

template <class C> Eos<C>::Eos() = default;

template <class C> Eos<C>::~Eos() = default;

template <class C> std::string Eos<C>::qualified(const char *operation) {
  return std::string("Phase::Eos<") + engineName<C>() + ">::" + operation;
}

template <class C>
void Eos<C>::initializeNonPersistents(Vector x, const Value &rho, const Value &MW) {
  static const std::string text = qualified("initializeNonPersistents");
  const char *const name = text.c_str();
  VELTA_TRACE_BEGIN
  sumx = x.sum();
  // The covolume depends on x only; before this the engine may never have
  // been prepared, and its B_ would still be 0. The mixture parameters no
  // longer belong to one state.
  this->Bmix(x);
  precomputedAt_.forget();
  this->beta = this->B_ * (rho / MW) / sumx;
  double lowest = restoredFloor;
  double highest = restoredCeiling;
  if (phaseType() == static_cast<int>(PhaseType::liquid))
    lowest = std::max(lowest, 1.01 * this->betamin_);
  else if (phaseType() == static_cast<int>(PhaseType::vapor))
    highest = std::min(highest, 0.99 * this->betamax_);
  if (this->beta.value() > highest)
    this->beta = highest;
  // Not above the floor also catches an empty composition (NaN).
  if (!(this->beta.value() >= lowest))
    this->beta = lowest;
  VELTA_TRACE_END(name)
}

template <class C> void Eos<C>::prepare(const Value &T, Vector x) {
  static const std::string name = qualified("prepare");
  VELTA_LOG(verbosity(), 1, name.c_str(), "Entered");
  this->precompute(T, x);
  sumx = x.sum();
}

template <class C>
void Eos<C>::preparefugacity(const Value &P, const Value &T, Vector x, const Value &sumx) {
  static const std::string text = qualified("preparefugacity");
  const char *const name = text.c_str();
  VELTA_LOG(verbosity(), 1, name, "Entered");
  VELTA_TRACE_BEGIN
  // A liquid's coefficients read the uncorrected pressure of its state.
  if (!pressureAt_.matches({&T, &this->beta}, x))
    calculate_P_(P, T, x, sumx);
  ensurePrecomputed(T, x);
  this->preparefugacity_eos(P, T, x, sumx, phaseType(), lnphi_);
  VELTA_TRACE_END(name)
}

template <class C>
const Value &Eos<C>::calculate_P_(const Value &, const Value &T, Vector x, const Value &sumx) {
  static const std::string text = qualified("calculate_P_");
  const char *const name = text.c_str();
  VELTA_LOG(verbosity(), 1, name, "Entered");
  VELTA_TRACE_BEGIN
  this->calculatePressureEos_(T, x, sumx, phaseType(), P_);
  pressureAt_.record({&T, &this->beta}, x);
  return P_;
  VELTA_TRACE_END(name)
}

template <class C> void Eos<C>::precompute(const Value &T, Vector x) {
  // The stream prepares a phase and then asks for its pressure, whose step
  // precomputes at the same state again: the parameters of that state are
  // kept (a logging object computes them again to write its lines).
  if (!Velta::Utility::logEnabled(verbosity(), 1) && precomputedAt_.matches({&T}, x))
    return;
  C::precompute(T, x);
  precomputedAt_.record({&T}, x);
  ++precomputations_;
}

template <class C>
void Eos<C>::calculateResiduals(const Value &P, const Value &T, const Value &sumx) {
  C::calculateResiduals(P, T, sumx);
  residualsAt_.record({&P, &T, &this->beta, &sumx});
  residualsAfter_ = precomputations_;
}

template <class C> void Eos<C>::ensurePrecomputed(const Value &T, Vector x) {
  if (!precomputedAt_.matches({&T}, x))
    precompute(T, x);
}

template <class C> void Eos<C>::ensureResiduals(const Value &P, const Value &T, Vector x) {
  ensurePrecomputed(T, x);
  const Value amount = x.sum();
  if (residualsAfter_ != precomputations_ ||
      !residualsAt_.matches({&P, &T, &this->beta, &amount}))
    calculateResiduals(P, T, amount);
}

template <class C> const Value &Eos<C>::calculate_rho_(const Value &P, const Value &T, Vector x) {
  static const std::string text = qualified("calculate_rho_");
  const char *const name = text.c_str();
  VELTA_LOG(verbosity(), 1, name, "Entered");
  VELTA_TRACE_BEGIN
  ensurePrecomputed(T, x);
  rhomol_ = this->rho_(this->beta, x.sum());
  VELTA_LOG(verbosity(), 2, name, "rho = " << rhomol_ << " at P = " << P);
  return rhomol_;
  VELTA_TRACE_END(name)
}

template <class C> const Value &Eos<C>::calculate_H_(const Value &P, const Value &T, Vector x) {
  static const std::string text = qualified("calculate_H_");
  const char *const name = text.c_str();
  VELTA_TRACE_BEGIN
  ensureResiduals(P, T, x);
  enthalpyAs_(static_cast<int>(PhaseType::vapor), P, T, x, name);
  hmol_ += this->hResidual_;
  return hmol_;
  VELTA_TRACE_END(name)
}

template <class C> const Value &Eos<C>::calculate_S_(const Value &P, const Value &T, Vector x) {
  static const std::string text = qualified("calculate_S_");
  const char *const name = text.c_str();
  VELTA_LOG(verbosity(), 1, name, "Entered");
  VELTA_TRACE_BEGIN
  ensureResiduals(P, T, x);
  entropyAs_(static_cast<int>(PhaseType::vapor), P, T, x, name);
  smol_ += this->sResidual_;
  VELTA_LOG(verbosity(), 2, name, "smol_ = " << smol_.activeValue().toString());
  return smol_;
  VELTA_TRACE_END(name)
}

template <class C> const Value &Eos<C>::calculate_Cp_(const Value &P, const Value &T, Vector x) {
  static const std::string text = qualified("calculate_Cp_");
  const char *const name = text.c_str();
  VELTA_TRACE_BEGIN
  ensureResiduals(P, T, x);
  heatCapacityAs_(static_cast<int>(PhaseType::vapor), P, T, x, name);
  cpmol_ += this->cpResidual_;
  return cpmol_;
  VELTA_TRACE_END(name)
}

template class Eos<EosCubic::KwongRedlichSoave>;
template class Eos<EosCubic::PengRobinson>;
template class Eos<EosCubic::VanDerWaals>;

} // namespace Phase
