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
  // been prepared, and its B_ would still be 0.
  this->Bmix(x);
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
  return P_;
  VELTA_TRACE_END(name)
}

template <class C> const Value &Eos<C>::calculate_rho_(const Value &P, const Value &T, Vector) {
  static const std::string text = qualified("calculate_rho_");
  const char *const name = text.c_str();
  VELTA_LOG(verbosity(), 1, name, "Entered");
  VELTA_TRACE_BEGIN
  rhomol_ = this->rho_(this->beta, sumx);
  VELTA_LOG(verbosity(), 2, name, "rho = " << rhomol_);
  this->calculateResiduals(P, T, sumx);
  return rhomol_;
  VELTA_TRACE_END(name)
}

template <class C> const Value &Eos<C>::calculate_H_(const Value &P, const Value &T, Vector x) {
  Ideal::calculate_H_(P, T, x);
  hmol_ += this->hResidual_;
  return hmol_;
}

template <class C> const Value &Eos<C>::calculate_S_(const Value &P, const Value &T, Vector x) {
  static const std::string text = qualified("calculate_S_");
  const char *const name = text.c_str();
  VELTA_LOG(verbosity(), 1, name, "Entered");
  VELTA_TRACE_BEGIN
  Ideal::calculate_S_(P, T, x);
  smol_ += this->sResidual_;
  VELTA_LOG(verbosity(), 2, name, "smol_ = " << smol_.activeValue().toString());
  return smol_;
  VELTA_TRACE_END(name)
}

template <class C> const Value &Eos<C>::calculate_Cp_(const Value &P, const Value &T, Vector x) {
  Ideal::calculate_Cp_(P, T, x);
  cpmol_ += this->cpResidual_;
  return cpmol_;
}

template class Eos<EosCubic::KwongRedlichSoave>;
template class Eos<EosCubic::PengRobinson>;
template class Eos<EosCubic::VanDerWaals>;

} // namespace Phase
