#include "velta/phases/PcsaftEngine.h"

#include "velta/core/ValueHelpers.h"
#include "velta/utility/Error.h"

#include <cmath>
#include <iostream>
#include <string>

namespace Phase {

namespace {

const UnitArray &pascal() {
  static const UnitArray units = Value(0.0, "Pa").units();
  return units;
}
const UnitArray &molarDensity() {
  static const UnitArray units = Value(0.0, "kmol/m3").units();
  return units;
}
const UnitArray &molarVolume() {
  static const UnitArray units = Value(0.0, "m3/kmol").units();
  return units;
}

// m3/kmol per cubic angstrom per molecule.
constexpr double kmolVolume = pcsaft::cubicAngstrom * pcsaft::NA * 1000.0;

// The critical packing fraction of a pure component of m segments.
double criticalPacking(double m) {
  return std::pow(10.0, -0.240371 * std::log10(m) - 0.705191) - 0.08333636 * std::pow(0.5119087, m) -
         0.0123;
}

} // namespace

EosPcsaft::EosPcsaft() = default;

EosPcsaft::~EosPcsaft() = default;

Value &EosPcsaft::betac(const Value &sumx) {
  static const char *const name = "Phase::EosPcsaft::betac";
  VELTA_LOG(verbosity(), 1, name, "Entered");
  betac_ = 0.0;
  for (int i = 0; i < ncomp && i < PcsaftParameters::n; ++i) {
    const double critical = criticalPacking(PcsaftParameters::m[i]);
    std::cout << "betac[" << i << "] = " << critical << std::endl;
    betac_ += Value(state_.x[i], dimensionless) * critical;
  }
  betac_ = betac_ / sumx;
  VELTA_LOG(verbosity(), 1, name, "betac = " << betac_);
  return betac_;
}

void EosPcsaft::estimate(const Value &, const Value &, Vector, int phaseType) {
  static const char *const name = "Phase::EosPcsaft::estimate";
  VELTA_LOG(verbosity(), 1, name, "Entered");
  VELTA_TRACE_BEGIN
  beta = phaseType == 1 ? 1e-5 : 0.5;
  VELTA_TRACE_END(name)
}

void EosPcsaft::precompute(const Value &T, Vector x) {
  static const char *const name = "Phase::EosPcsaft::precompute";
  VELTA_LOG(verbosity(), 1, name, "Entered with T = " << T << " ncomp = " << ncomp);
  VELTA_TRACE_BEGIN
  if (x.size() < ncomp)
    throw ErrorRunTime(name, "the composition has fewer entries than the PC-SAFT components");
  load(name);
  state_.T = T.activeValue();
  for (int i = 0; i < ncomp; ++i) {
    state_.x[i] = x[i].activeValue();
    VELTA_LOG(verbosity(), 2, name, "x[" << i << "] = " << x[i].value());
  }
  state_.precompute(*this);
  precomputed_ = true;
  VELTA_TRACE_END(name)
}

Value EosPcsaft::rho_(const Value &beta, const Value &) {
  static const char *const name = "Phase::EosPcsaft::rho_";
  if (!precomputed_)
    throw ErrorRunTime(name, "no PC-SAFT state: precompute first");
  return Value(state_.density(beta.activeValue()), molarDensity());
}

Value EosPcsaft::eos(const Value &, const Value &beta, const Value &) { return pressure(beta); }

Value EosPcsaft::deosdbeta(const Value &, const Value &, const Value &) {
  requirePressure("Phase::EosPcsaft::deosdbeta");
  return Value(state_.dPdeta, pascal());
}

Value EosPcsaft::deosdv(const Value &, const Value &, const Value &) {
  notProvided("Phase::EosPcsaft::deosdv");
}
Value EosPcsaft::deosdT(const Value &, const Value &, const Value &) {
  notProvided("Phase::EosPcsaft::deosdT");
}
Value EosPcsaft::Tcm(const Value &) { notProvided("Phase::EosPcsaft::Tcm"); }
Value EosPcsaft::helmholtzT(const Value &, const Value &, const Value &) {
  notProvided("Phase::EosPcsaft::helmholtzT");
}
Value EosPcsaft::helmholtzT2(const Value &, const Value &, const Value &) {
  notProvided("Phase::EosPcsaft::helmholtzT2");
}

void EosPcsaft::notProvided(const char *function) const {
  throw ErrorRunTime(function, "not provided by the PC-SAFT engine");
}

void EosPcsaft::requirePressure(const char *function) const {
  if (!evaluated_)
    throw ErrorRunTime(function, "no PC-SAFT state: evaluate a pressure first");
}

Value EosPcsaft::pressure(const Value &dens) {
  static const char *const name = "Phase::EosPcsaft::pressure";
  VELTA_LOG(verbosity(), 1, name, "Entered with dens = " << dens);
  VELTA_TRACE_BEGIN
  if (!precomputed_)
    throw ErrorRunTime(name, "no PC-SAFT state: precompute first");
  state_.pressure(*this, dens.activeValue());
  // A negative pressure is not an error: it is kept positive for the
  // flash residual and for Z in ln phi.
  state_.P = regularizePositive(state_.P);
  evaluated_ = true;
  return Value(state_.P, pascal());
  VELTA_TRACE_END(name)
}

void EosPcsaft::calculatePressureEos_(const Value &T, Vector x, const Value &, int,
                                      Value &result) {
  static const char *const name = "Phase::EosPcsaft::calculatePressureEos_";
  VELTA_LOG(verbosity(), 1, name, "Entered with beta_ = " << beta);
  VELTA_TRACE_BEGIN
  precompute(T, x);
  result = pressure(beta);
  VELTA_LOG(verbosity(), 2, name, "P = " << result);
  VELTA_TRACE_END(name)
}

Value EosPcsaft::density() {
  requirePressure("Phase::EosPcsaft::density");
  return Value(state_.density(state_.eta), molarDensity());
}

void EosPcsaft::setbeta(const Value &density) {
  static const char *const name = "Phase::EosPcsaft::setbeta";
  VELTA_LOG(verbosity(), 1, name, "Entered with density = " << density);
  VELTA_TRACE_BEGIN
  if (!precomputed_)
    throw ErrorRunTime(name, "no PC-SAFT state: precompute first");
  beta = density * Value(state_.zetat[3] * kmolVolume, molarVolume());
  VELTA_TRACE_END(name)
}

void EosPcsaft::preparefugacity_eos(const Value &, const Value &, Vector, const Value &, int,
                                    std::vector<Value> &lnphi) {
  static const char *const name = "Phase::EosPcsaft::preparefugacity_eos";
  VELTA_LOG(verbosity(), 1, name, "Entered");
  VELTA_TRACE_BEGIN
  requirePressure(name);
  state_.lnphi(*this, lnphiEngine_);
  const int count = std::min(state_.n, static_cast<int>(lnphi.size()));
  for (int k = 0; k < state_.n; ++k)
    phi_[k] = exp(lnphiEngine_[k]);
  for (int k = 0; k < count; ++k)
    lnphi[static_cast<std::size_t>(k)] = Value(lnphiEngine_[k], dimensionless);
  VELTA_LOG(verbosity(), 2, name, "Done");
  VELTA_TRACE_END(name)
}

Value EosPcsaft::helmholtz(const Value &n, const Value &, const Value &beta) {
  static const char *const name = "Phase::EosPcsaft::helmholtz";
  if (!precomputed_)
    throw ErrorRunTime(name, "no PC-SAFT state: precompute first");
  PcsaftEquations<Active> at = state_;
  at.pressure(*this, beta.activeValue());
  return n * Value(at.helmholtz(*this), dimensionless);
}

Value EosPcsaft::helmholtzi(const Value &, const Value &, const Value &beta, int i) {
  static const char *const name = "Phase::EosPcsaft::helmholtzi";
  if (!precomputed_)
    throw ErrorRunTime(name, "no PC-SAFT state: precompute first");
  if (i < 0 || i >= state_.n)
    throw ErrorRunTime(name, "component index outside the PC-SAFT components");
  PcsaftEquations<Active> at = state_;
  at.pressure(*this, beta.activeValue());
  Active lnphi[NC];
  at.lnphi(*this, lnphi);
  // ln phi_i + ln Z is the derivative of n a_res in the amount of i.
  return Value(lnphi[i] + log(at.Z), dimensionless);
}

} // namespace Phase
