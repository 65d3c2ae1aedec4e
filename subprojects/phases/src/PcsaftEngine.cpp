#include "velta/phases/PcsaftEngine.h"

#include "CarriesDerivatives.h"

#include "velta/utility/Error.h"
#include "velta/value/DerivativeContext.h"

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

const UnitArray &molarEnthalpy() {
  static const UnitArray units = Value(0.0, "J/kmol").units();
  return units;
}
const UnitArray &molarEntropy() {
  static const UnitArray units = Value(0.0, "J/(kmol*K)").units();
  return units;
}

// m3/kmol per cubic angstrom per molecule.
constexpr double kmolVolume = pcsaft::cubicAngstrom * pcsaft::NA * 1000.0;

// The critical packing fraction of a pure component of m segments.
double criticalPacking(double m) {
  return std::pow(10.0, -0.240371 * std::log10(m) - 0.705191) -
         0.08333636 * std::pow(0.5119087, m) - 0.0123;
}

// The positive regularisation of a pressure (velta/core/ValueHelpers.h) on
// the plain partials: unchanged from 2e-5 Pa up, eps (P - 4 eps)/(P - 3 eps)
// below, and 4 eps / 3 with the partials divided by 9 for P < 0.
template <class D> D keptPositive(const D &P) {
  constexpr double eps = 1e-5;
  if (P.value() < 0.0) {
    D result = P / 9.0;
    result.value() = eps * 4.0 / 3.0;
    return result;
  }
  if (P.value() < 2.0 * eps)
    return eps * (P - 4.0 * eps) / (P - 3.0 * eps);
  return P;
}

} // namespace

EosPcsaft::EosPcsaft() = default;

EosPcsaft::~EosPcsaft() = default;

Active EosPcsaft::chain(const PcsaftDual &r) const {
  if (numdir == 0)
    return Active(r.value());
  if (!Active::sparseMode()) {
    Active result(r.value());
    for (int d = 0; d < numdir; ++d)
      result.setDerivative(d,
                           temperature_.derivative(d) * r.dT() + packing_.derivative(d) * r.deta());
    return result;
  }
  Active result = temperature_ * r.dT();
  result += packing_ * r.deta();
  result.value() = r.value();
  return result;
}

Active EosPcsaft::chain(const PcsaftGradient &r) const {
  if (numdir == 0)
    return Active(r.value());
  const int n = general_.n;
  if (!Active::sparseMode()) {
    Active result(r.value());
    for (int d = 0; d < numdir; ++d) {
      double sum =
          temperature_.derivative(d) * r.partial(0) + packing_.derivative(d) * r.partial(1);
      for (int i = 0; i < n; ++i)
        sum += state_.x[i].derivative(d) * r.partial(2 + i);
      result.setDerivative(d, sum);
    }
    return result;
  }
  Active result = temperature_ * r.partial(0);
  result += packing_ * r.partial(1);
  for (int i = 0; i < n; ++i)
    if (r.partial(2 + i) != 0.0)
      result += state_.x[i] * r.partial(2 + i);
  result.value() = r.value();
  return result;
}

void EosPcsaft::completeState() {
  if (stateFilled_)
    return;
  // The plain path kept only what the operations return; the rest is
  // evaluated again on derivative-carrying numbers.
  state_.precompute(*this);
  if (evaluated_) {
    const Active P = state_.P;
    state_.pressure(*this, packing_);
    state_.P = P;
    if (fugacityEvaluated_) {
      Active lnphi[NC];
      state_.lnphi(*this, lnphi);
    }
  }
  stateFilled_ = true;
}

const PcsaftEquations<Active> &EosPcsaft::state() {
  if (precomputed_)
    completeState();
  return state_;
}

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
  temperature_ = T.activeValue();
  state_.T = temperature_;
  plainPath_ = true;
  for (int i = 0; i < ncomp; ++i) {
    state_.x[i] = x[i].activeValue();
    if (plainPath_ && carriesDerivatives(state_.x[i]))
      plainPath_ = false;
    VELTA_LOG(verbosity(), 2, name, "x[" << i << "] = " << x[i].value());
  }
  fugacityEvaluated_ = false;
  if (plainPath_) {
    plain_.T = PcsaftDual(T.value(), 1.0, 0.0);
    for (int i = 0; i < ncomp; ++i)
      plain_.x[i] = x[i].value();
    plain_.precompute(*this);
    state_.n = plain_.n;
    state_.zetat[3] = chain(plain_.zetat[3]);
  } else {
    PcsaftGradient::count = 2 + ncomp;
    general_.T = PcsaftGradient::variable(T.value(), 0);
    for (int i = 0; i < ncomp; ++i)
      general_.x[i] = PcsaftGradient::variable(x[i].value(), 2 + i);
    general_.precompute(*this);
    state_.n = general_.n;
    state_.zetat[3] = chain(general_.zetat[3]);
  }
  stateFilled_ = false;
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
  // A negative pressure is not an error: it is kept positive for the
  // flash residual and for Z in ln phi.
  if (plainPath_) {
    packing_ = dens.activeValue();
    plain_.pressure(*this, PcsaftDual(dens.value(), 0.0, 1.0));
    plain_.P = keptPositive(plain_.P);
    state_.eta = packing_;
    state_.P = chain(plain_.P);
    state_.dPdeta = chain(plain_.dPdeta);
    stateFilled_ = false;
  } else {
    packing_ = dens.activeValue();
    PcsaftGradient::count = 2 + general_.n;
    general_.pressure(*this, PcsaftGradient::variable(dens.value(), 1));
    general_.P = keptPositive(general_.P);
    state_.eta = packing_;
    state_.P = chain(general_.P);
    state_.dPdeta = chain(general_.dPdeta);
    stateFilled_ = false;
  }
  evaluated_ = true;
  return Value(state_.P, pascal());
  VELTA_TRACE_END(name)
}

void EosPcsaft::calculatePressureEos_(const Value &T, Vector x, const Value &, int, Value &result) {
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

void EosPcsaft::caloricResiduals(const Value &P, const Value &T, Vector x, const Value &sumx) {
  static const char *const name = "Phase::EosPcsaft::caloricResiduals";
  VELTA_LOG(verbosity(), 1, name, "Entered");
  VELTA_TRACE_BEGIN
  using Jet = TaylorJet<Active>;
  precompute(T, x);
  // a_res and Z as functions of T and the number density around the state.
  PcsaftEquations<Jet> at;
  const Active &t = T.activeValue();
  at.T = Jet::variable(t, 0);
  for (int i = 0; i < ncomp; ++i)
    at.x[i] = Jet(x[i].activeValue());
  at.precompute(*this);
  const Active number = beta.activeValue() / at.zetat[3].v; // molecules per angstrom^3
  at.pressure(*this, at.zetat[3] * Jet::variable(number, 1));
  const Jet a = at.helmholtz(*this);
  const Jet &Z = at.Z;
  const double R = pcsaft::R * 1000.0;
  const Active molar = number / kmolVolume; // kmol/m3
  const Active Pv = P.activeValue() / molar;
  const Active kT = t * (pcsaft::kB / pcsaft::cubicAngstrom);
  const Active dPdT = number * (pcsaft::kB / pcsaft::cubicAngstrom) * (Z.v + t * Z.t);
  // dP/dv = -rho^2 dP/drho on the molar density, dP/drho = kmolVolume dP/dnumber.
  const Active dPdv = -(molar * molar) * kmolVolume * (kT * (Z.v + number * Z.r));
  const Active &n = sumx.activeValue();
  hResidual_ = Value(n * (-R * t * t * a.t + Pv - R * t), molarEnthalpy());
  sResidual_ = Value(n * (-R * (t * a.t + a.v) + R * log(Pv / (R * t))), molarEntropy());
  cpResidual_ =
      Value(n * (-R * t * (t * a.tt + 2.0 * a.t) - t * dPdT * dPdT / dPdv - R), molarEntropy());
  VELTA_LOG(verbosity(), 2, name,
            "hResidual_ = " << hResidual_ << " sResidual_ = " << sResidual_
                            << " cpResidual_ = " << cpResidual_);
  VELTA_TRACE_END(name)
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
  fugacityEvaluated_ = true;
  if (plainPath_) {
    PcsaftDual plain[NC];
    plain_.lnphi(*this, plain);
    for (int k = 0; k < plain_.n; ++k)
      lnphiEngine_[k] = chain(plain[k]);
    stateFilled_ = false;
  } else {
    PcsaftGradient::count = 2 + general_.n;
    PcsaftGradient partials[NC];
    general_.lnphi(*this, partials);
    for (int k = 0; k < general_.n; ++k)
      lnphiEngine_[k] = chain(partials[k]);
    stateFilled_ = false;
  }
  const int count = std::min(state_.n, static_cast<int>(lnphi.size()));
  for (int k = 0; k < count; ++k)
    lnphi[static_cast<std::size_t>(k)] = Value(lnphiEngine_[k], dimensionless);
  VELTA_LOG(verbosity(), 2, name, "Done");
  VELTA_TRACE_END(name)
}

Value EosPcsaft::helmholtz(const Value &n, const Value &, const Value &beta) {
  static const char *const name = "Phase::EosPcsaft::helmholtz";
  if (!precomputed_)
    throw ErrorRunTime(name, "no PC-SAFT state: precompute first");
  completeState();
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
  completeState();
  PcsaftEquations<Active> at = state_;
  at.pressure(*this, beta.activeValue());
  Active lnphi[NC];
  at.lnphi(*this, lnphi);
  // ln phi_i + ln Z is the derivative of n a_res in the amount of i.
  return Value(lnphi[i] + log(at.Z), dimensionless);
}

} // namespace Phase
