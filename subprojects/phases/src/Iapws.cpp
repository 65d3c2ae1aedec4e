#include "velta/phases/Iapws.h"

#include "velta/components/ComponentGeneric.h"
#include "velta/components/ListComponents.h"
#include "velta/core/ValueHelpers.h"
#include "velta/phases/IapwsHelmholtz.h"
#include "velta/phases/StateKey.h"
#include "velta/utility/Error.h"
#include "velta/utility/SharedEnumerations.h"
#include "velta/value/Constants.h"

#include <algorithm>
#include <cmath>

namespace Phase {

using Velta::Utility::PhaseType;
namespace c = IapwsCoefficients;

namespace {

// The formulation's constants as values with units, built on first use.
const Value &specificGasConstant() {
  static const Value value(c::gasConstant * 1000.0, "J/(kg*K)");
  return value;
}
const Value &criticalDensity() {
  static const Value value(c::criticalDensity, "kg/m3");
  return value;
}
const Value &molarGasConstant() {
  static const Value value(c::gasConstant * c::molarMass * 1000.0, "J/(kmol*K)");
  return value;
}
const Value &molarCriticalDensity() {
  static const Value value(c::criticalDensity / c::molarMass, "kmol/m3");
  return value;
}

Value dimensionlessValue(Active number) { return Value(std::move(number), dimensionless); }

Active tauOf(const Value &T) { return c::criticalTemperature / T.activeValue(); }

// Specific internal energy (kJ/kg) and pressure (Pa) of an evaluation.
struct EnergyPressure {
  Active u;
  Active p;
};
EnergyPressure energyPressure(const Iapws::ActiveGradient &phi0, const Iapws::ActiveGradient &phir,
                              const Active &delta, const Active &tau, const Active &T) {
  return {c::gasConstant * tau * (phi0.dTau() + phir.dTau()) * T,
          (c::gasConstant * 1000.0) * (1.0 + delta * phir.dDelta()) * c::criticalDensity * delta *
              T};
}

} // namespace

Iapws::Iapws()
    : phi0_(std::make_unique<ActiveGradient>()), phir_(std::make_unique<ActiveGradient>()),
      deltaVar_(std::make_unique<ActiveGradient>(ActiveGradient::variable(Active(0.0), 0))),
      tauVar_(std::make_unique<ActiveGradient>(ActiveGradient::variable(Active(0.0), 1))) {}

Iapws::~Iapws() = default;

const double &Iapws::deltac() {
  static const double one = 1.0;
  return one;
}

std::pair<const double *, const double *> Iapws::deltaBounds(int phaseType) {
  static const double zero = 0.0, ceiling = 4.0;
  if (phaseType == static_cast<int>(PhaseType::vapor))
    return {&zero, &deltac()};
  if (phaseType == static_cast<int>(PhaseType::liquid))
    return {&deltac(), &ceiling};
  return {&zero, &ceiling};
}

namespace {

using SecondOrder = IapwsGradient<IapwsGradient<double>>;

// One part of the Helmholtz energy on active gradients, by the chain rule
// over its plain first and second derivatives: the same numbers as the
// active instance of the template, evaluated at the cost of plain doubles.
// With f_d, f_t the first and f_dd, f_dt, f_tt the second derivatives:
//   result        = f          with d f   = f_d d(delta) + f_t d(tau)
//   f_d (active)  = f_d        with d f_d = f_dd d(delta) + f_dt d(tau)
//   f_t (active)  = f_t        with d f_t = f_dt d(delta) + f_tt d(tau)
//   result.gradient[j] = f_d * delta.gradient[j] + f_t * tau.gradient[j].
template <class Part>
void chainRule(Part part, Iapws::ActiveGradient &result, const Iapws::ActiveGradient &delta,
               const Iapws::ActiveGradient &tau) {
  using First = IapwsGradient<double>;
  const SecondOrder d(First::variable(delta.value.value(), 0), First(1.0, 0.0, 0.0), First(0.0));
  const SecondOrder t(First::variable(tau.value.value(), 1), First(0.0), First(1.0, 0.0, 0.0));
  const SecondOrder f = part(d, t);
  const double fd = f.value.gradient[0], ft = f.value.gradient[1];
  const double fdd = f.gradient[0].gradient[0], fdt = f.gradient[0].gradient[1];
  const double ftt = f.gradient[1].gradient[1];
  const auto linear = [&](double value, double byDelta, double byTau) {
    Active number = byDelta * delta.value + byTau * tau.value;
    number.value() = value;
    return number;
  };
  const Active activeFd = linear(fd, fdd, fdt);
  const Active activeFt = linear(ft, fdt, ftt);
  result.value = linear(f.value.value, fd, ft);
  for (std::size_t j = 0; j < 2; ++j)
    result.gradient[j] = activeFd * delta.gradient[j] + activeFt * tau.gradient[j];
}

} // namespace

void Iapws::phi0(ActiveGradient &result, const ActiveGradient &delta, const ActiveGradient &tau) {
  chainRule([](const SecondOrder &d, const SecondOrder &t) { return iapwsPhi0(d, t); }, result,
            delta, tau);
}

void Iapws::phir(ActiveGradient &result, const ActiveGradient &delta, const ActiveGradient &tau) {
  chainRule([](const SecondOrder &d, const SecondOrder &t) { return iapwsPhir(d, t); }, result,
            delta, tau);
}

// ---------------------------------------------------------------- caches

void Iapws::evaluateCaches() {
  phi0(*phi0_, *deltaVar_, *tauVar_);
  phir(*phir_, *deltaVar_, *tauVar_);
}

double Iapws::spinodal(double T) {
  const bool vapor = phaseType() == static_cast<int>(PhaseType::vapor);
  if (!vapor && phaseType() != static_cast<int>(PhaseType::liquid))
    return std::numeric_limits<double>::quiet_NaN();
  if (T != spinodalT_) {
    spinodalDelta_ = iapwsSpinodalDelta(T, vapor);
    // Without a spinodal (at and above the critical temperature, or where
    // the isotherm rises up to the critical density) the phase still lacks
    // a state for the pressures beyond that of its bound: it is continued
    // from 1 % inside the bound, so that those pressures have a root too.
    // Of the states themselves only those within 1 % of the critical
    // density are lost (a fluid there is found at 0.99 or 1.01 of it).
    if (std::isnan(spinodalDelta_))
      spinodalDelta_ = vapor ? 1.0 - 1e-2 : 1.0 + 1e-2;
    spinodalT_ = T;
  }
  return spinodalDelta_;
}

Active Iapws::evaluationDelta(const Value &T, bool &continued) {
  const double star = spinodal(T.value());
  continued = phaseType() == static_cast<int>(PhaseType::vapor) ? delta.value() > star
                                                                : delta.value() < star;
  return continued ? Active(star) : delta.activeValue();
}

void Iapws::evaluate(const Value &T) {
  deltaVar_->value = evaluationDelta(T, continued_);
  tauVar_->value = tauOf(T);
  evaluateCaches();
  deltaPhirDelta_ = deltaVar_->value * phir_->dDelta();
}

void Iapws::ensureEvaluated(const Value &T) {
  bool continued = false;
  if (!sameNumber(deltaVar_->value, evaluationDelta(T, continued)) ||
      !sameNumber(tauVar_->value, tauOf(T)) || continued != continued_)
    evaluate(T);
}

Value Iapws::cachedPressure(const Value &T) const {
  const Value evaluated = dimensionlessValue(deltaVar_->value);
  Value pressure = specificGasConstant() * dimensionlessValue(1.0 + deltaPhirDelta_) *
                   criticalDensity() * evaluated * T;
  if (continued_) {
    // Monotonic beyond the spinodal, with a pole at the critical density;
    // on the bound itself the pole sits 1e-10 away (the distance keeps its
    // derivatives, so that the solver still sees the slope there).
    const double star = deltaVar_->value.value();
    const Value idealSlope = specificGasConstant() * criticalDensity() * T;
    const bool vapor = phaseType() == static_cast<int>(PhaseType::vapor);
    Value distance = vapor ? 1.0 - delta : delta - 1.0;
    if (distance.value() < 1e-10)
      distance.activeValue().value() = 1e-10;
    if (vapor)
      pressure += idealSlope * (1.0 - star) * (delta - star) / distance;
    else
      pressure -= idealSlope * (star - 1.0) * (star - delta) / distance;
  }
  return pressure;
}

Value Iapws::waterLnPhi(const Value &pressure, const Value &T) const {
  const Value rhoRT =
      specificGasConstant() * criticalDensity() * dimensionlessValue(deltaVar_->value) * T;
  if (continued_) {
    // The spinodal state's Gibbs energy carried to the pressure at its volume.
    const Value Pi = regularizePositive(pressure) / rhoRT;
    return dimensionlessValue(phir_->value) + Pi - 1.0 - log(Pi);
  }
  const Value lnZ = log(regularizePositive(pressure) / rhoRT);
  return dimensionlessValue(phir_->value + deltaPhirDelta_) - lnZ;
}

double Iapws::waterLnPhiAt(const Value &P, const Value &T) {
  ensureEvaluated(T);
  const double Pi = P.value() / (c::gasConstant * 1000.0 * c::criticalDensity *
                                 deltaVar_->value.value() * T.value());
  return phir_->value.value() + Pi - 1.0 - std::log(Pi);
}

// ---------------------------------------------------------------- state

void Iapws::initializeNonPersistents(Vector, const Value &rho, const Value &) {
  static const char *const name = "Phase::Iapws::initializeNonPersistents";
  VELTA_LOG(verbosity(), 1, name, "Entered");
  VELTA_TRACE_BEGIN
  delta = rho / criticalDensity();
  VELTA_LOG(verbosity(), 2, name, "Done, delta = " << delta);
  VELTA_TRACE_END(name)
}

void Iapws::prepare(const Value &T, Vector) { evaluate(T); }

void Iapws::estimate(const Value &P, const Value &T, int phaseType) {
  static const char *const name = "Phase::Iapws::estimate";
  VELTA_LOG(verbosity(), 1, name, "Entered with T = " << T);
  VELTA_TRACE_BEGIN
  if (phaseType == static_cast<int>(PhaseType::vapor)) {
    delta = P / T / specificGasConstant() / criticalDensity();
  } else {
    const double t = T.value();
    double rho = c::criticalDensity;
    if (t < 275.0) {
      rho = 1000.0;
    } else if (t <= c::criticalTemperature) {
      // Saturated-liquid density fit in x = 275 K / T, kg/m3.
      const double x = 275.0 / t;
      rho =
          x * (-35652.2 +
               x * (236737.0 + x * (-592369.0 + x * (731265.0 + x * (-448252.0 + x * 109273.0)))));
    }
    delta = Value(rho / c::criticalDensity);
  }
  VELTA_LOG(verbosity(), 2, name, "Done, delta = " << delta.value());
  VELTA_TRACE_END(name)
}

// ---------------------------------------------------------------- volumetric

const Value &Iapws::calculate_P_(const Value &, const Value &T, Vector, const Value &) {
  static const char *const name = "Phase::Iapws::calculate_P_";
  VELTA_LOG(verbosity(), 1, name, "Entered");
  VELTA_TRACE_BEGIN
  evaluate(T);
  P_ = cachedPressure(T);
  VELTA_LOG(verbosity(), 2, name, "Done, P = " << P_);
  return P_;
  VELTA_TRACE_END(name)
}

const Value &Iapws::calculate_rho_(const Value &, const Value &, Vector) {
  rhomol_ = molarCriticalDensity() * delta;
  return rhomol_;
}

// ---------------------------------------------------------------- caloric

const Value &Iapws::calculate_H_(const Value &, const Value &T, Vector) {
  static const char *const name = "Phase::Iapws::calculate_H_";
  VELTA_LOG(verbosity(), 1, name, "Entered");
  VELTA_TRACE_BEGIN
  ensureEvaluated(T);
  const Active &tau = tauVar_->value;
  hTau_ = molarGasConstant() * dimensionlessValue(tau * (phi0_->dTau() + phir_->dTau())) * T;
  hmol_ = hTau_ + molarGasConstant() * dimensionlessValue(1.0 + deltaPhirDelta_) * T;
  VELTA_LOG(verbosity(), 2, name, "Done, hmol_ = " << hmol_.activeValue().toString());
  return hmol_;
  VELTA_TRACE_END(name)
}

const Value &Iapws::calculate_S_(const Value &, const Value &T, Vector) {
  static const char *const name = "Phase::Iapws::calculate_S_";
  VELTA_LOG(verbosity(), 1, name, "Entered");
  VELTA_TRACE_BEGIN
  ensureEvaluated(T);
  const Active &tau = tauVar_->value;
  smol_ = molarGasConstant() *
          dimensionlessValue(tau * (phi0_->dTau() + phir_->dTau()) - phi0_->value - phir_->value);
  VELTA_LOG(verbosity(), 2, name, "Done, smol_ = " << smol_.activeValue().toString());
  return smol_;
  VELTA_TRACE_END(name)
}

const Value &Iapws::calculate_Cp_(const Value &, const Value &T, Vector) {
  static const char *const name = "Phase::Iapws::calculate_Cp_";
  VELTA_LOG(verbosity(), 1, name, "Entered");
  VELTA_TRACE_BEGIN
  ensureEvaluated(T);
  const double step = 1e-6;
  const ActiveGradient phi0Base = *phi0_, phirBase = *phir_;
  const Active deltaBase = deltaVar_->value, tauBase = tauVar_->value;
  const Active &t = T.activeValue();
  const EnergyPressure base = energyPressure(*phi0_, *phir_, deltaBase, tauBase, t);
  // Temperature step at constant volume.
  const Active t1 = t + step * t;
  tauVar_->value = c::criticalTemperature / t1;
  evaluateCaches();
  const EnergyPressure hot = energyPressure(*phi0_, *phir_, deltaBase, tauVar_->value, t1);
  // Volume step at the base temperature.
  tauVar_->value = tauBase;
  const Active v = 1.0 / (c::criticalDensity * deltaBase);
  const Active vs = v + step * v;
  deltaVar_->value = (1.0 / vs) / c::criticalDensity;
  evaluateCaches();
  const EnergyPressure wide = energyPressure(*phi0_, *phir_, deltaVar_->value, tauBase, t);
  // Back to the unperturbed state, so that later calls read its caches.
  deltaVar_->value = deltaBase;
  *phi0_ = phi0Base;
  *phir_ = phirBase;
  const Active dPdT = (hot.p - base.p) / (step * t);
  const Active dPdv = (wide.p - base.p) / (step * v);
  const Active cv = (hot.u - base.u) / (step * t);
  const Active cp = 1000.0 * cv - t * dPdT * dPdT / dPdv;
  cpmol_ = Value(cp * c::molarMass, molarGasConstant().units());
  VELTA_LOG(verbosity(), 2, name, "Done, cpmol_ = " << cpmol_.activeValue().toString());
  return cpmol_;
  VELTA_TRACE_END(name)
}

// ---------------------------------------------------------------- fugacity

void Iapws::preparefugacity(const Value &P, const Value &T, Vector, const Value &) {
  static const char *const name = "Phase::Iapws::preparefugacity";
  VELTA_LOG(verbosity(), 1, name, "Entered");
  VELTA_TRACE_BEGIN
  if (lnphi_.size() != static_cast<std::size_t>(NCOMPONENTS))
    throw ErrorRunTime(name, "the component list has changed since the model was built");
  ensureEvaluated(T);
  const Value pressure = cachedPressure(T);
  Value correction = dimensionlessZero;
  if (phaseType() == static_cast<int>(PhaseType::liquid)) {
    const Value ratio = pressure.value() > P.value()
                            ? regularizePositive(pressure) / regularizePositive(P)
                            : dimensionlessOne;
    VELTA_LOG(verbosity(), 2, name, "P / Pres = " << (pressure / P) << " ratio = " << ratio);
    correction = log(ratio);
  }
  const Value water = waterLnPhi(pressure, T) + correction;
  for (int i = 0; i < NCOMPONENTS; ++i)
    lnphi_[static_cast<std::size_t>(i)] =
        components[i]->name() == "H2O" ? water : dimensionlessZero;
  VELTA_TRACE_END(name)
}

} // namespace Phase
