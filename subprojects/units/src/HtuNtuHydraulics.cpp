// The loading and flooding points of the packed column: the resistance
// coefficients of the packing at the present liquid-to-gas load, and the
// two small systems solved for the gas velocity at the loading point and
// for the gas velocity and hold-up at the flooding point.

#include "velta/units/HtuNtu.h"

#include "velta/utility/Assert.h"
#include "velta/utility/Diagnostic.h"
#include "velta/utility/Error.h"

#include <cmath>

namespace {
constexpr double g = 9.806; // m/s2

// Coefficient C and exponent n of a resistance correlation: the low-load
// branch up to a flow parameter of 0.4, else the high-load one.
struct Branch {
  Value C;
  double n;
};
} // namespace

// ------------------------------------------------------------ ObjectiveLoad

ObjectiveLoad::ObjectiveLoad(HtuNtu *unit)
    : unit_(unit), scaler_(Velta::Utility::ScalingMode::rational, 0.0, 100.0, 1.0, 10.0) {}

double ObjectiveLoad::uVScalc(double v) const {
  const HtuNtu &u = *unit_;
  const double rhov = u.rhov.value(), rhol = u.rhol.value(), mul = u.mul.value();
  const double ap = u.ap.value(), epsilon = u.epsilon.value();
  const double uLS = v * rhov * u.massRatio_().value() / rhol;
  const double t = 12.0 * mul * uLS / (g * rhol);
  return std::sqrt(g / u.psiS.value()) *
         (epsilon / std::pow(ap, 1.0 / 6.0) - std::sqrt(ap) * std::cbrt(t)) *
         std::pow(t, 1.0 / 6.0) * std::sqrt(rhol / rhov);
}

void ObjectiveLoad::operator()(double *x, double *y, Jacobian *J) {
  VELTA_ASSERT(J == nullptr);
  const double v = scaler_.x(x[0]);
  y[0] = uVScalc(v) - v;
}

void ObjectiveLoad::scalex(double *x) { x[0] = scaler_.X(x[0]); }

void ObjectiveLoad::unscalex(double *x) { x[0] = scaler_.x(x[0]); }

// ----------------------------------------------------------- ObjectiveFlood

ObjectiveFlood::ObjectiveFlood(HtuNtu *unit) : unit_(unit) {}

void ObjectiveFlood::operator()(double *x, double *y, Jacobian *J) {
  VELTA_ASSERT(J == nullptr);
  const HtuNtu &u = *unit_;
  const double velocity = x[0] / 10.0, h = x[1];
  const double epsilon = u.epsilon.value();
  y[0] = std::pow(epsilon - h, 1.5) *
             std::sqrt(2.0 * g * h * u.rhol.value() /
                       (u.psiFl.value() * epsilon * u.ap.value() * u.rhov.value())) -
         velocity;
  y[1] = h * h * h * (3.0 * h - epsilon) - velocity / u.uVzero.value();
}

void ObjectiveFlood::scalex(double *x) { x[0] *= 10.0; }

void ObjectiveFlood::unscalex(double *x) { x[0] /= 10.0; }

// ------------------------------------------------------------------- HtuNtu

Value HtuNtu::massRatio_() const { return liquidMassFlow_ / gasMassFlow_; }

Value HtuNtu::flowParameter_() const { return massRatio_() * sqrt(rhov / rhol); }

void HtuNtu::calculateLoad_() {
  static const char *const name = "HtuNtu::calculateLoad_";
  VELTA_TRACE_BEGIN
  const Value LV = flowParameter_();
  VELTA_LOG(verbosity(), 2, name, "LV = " << LV);
  const Value viscosityRatio = mul / muv;
  const Branch branch = LV.value() <= 0.4
                            ? Branch{CS, -0.326}
                            : Branch{0.695 * CS * pow(viscosityRatio, 0.1588), -0.723};
  VELTA_LOG(verbosity(), 2, name, "CSactual = " << branch.C);
  psiS = Value(g, "m/s2") / (branch.C * branch.C) *
         pow(LV * pow(viscosityRatio, 0.4), -2.0 * branch.n);

  double u0 = uVFl.value() > 0.0 ? 0.5 * (2.0 * uV.value() + uVFl.value())
                                 : objectiveLoad_.uVScalc(2.0 * uV.value());
  uVS = Value(u0, "m/s");
  const double start = objectiveLoad_.uVScalc(u0);
  if (std::isnan(start) || std::fabs(start) > 1e5) {
    double v = 1e-4;
    do {
      const double value = objectiveLoad_.uVScalc(v);
      VELTA_LOG(verbosity(), 2, name, "guess: uVS = " << v << " value = " << value);
      if (std::fabs(value) < 1000.0) {
        u0 = v;
        break;
      }
      v *= 1.01;
    } while (v < 100.0);
    uVS = Value(u0, "m/s");
  }
  VELTA_LOG(verbosity(), 2, name,
            "initial estimate: uVS = " << u0 << " initial value = " << objectiveLoad_.uVScalc(u0));
  objectiveLoad_.setOwnVerbosity(0);
  solverLoad_.x()[0] = u0;
  const int status = solverLoad_.solve();
  recordSolve(solverLoad_, status, "load convergence failure in HtuNtu::calculateLoad_;");
  uVS = Value(solverLoad_.x()[0], "m/s");
  NITER_load = solverLoad_.iterations();
  VELTA_TRACE_END(name)
}

void HtuNtu::calculateFlood_() {
  static const char *const name = "HtuNtu::calculateFlood_";
  VELTA_TRACE_BEGIN
  const Value LV = flowParameter_();
  VELTA_LOG(verbosity(), 2, name, "LV = " << LV);
  const Value viscosityRatio = mul / muv;
  const Branch branch = LV.value() <= 0.4
                            ? Branch{CFl, -0.194}
                            : Branch{0.6244 * CFl * pow(viscosityRatio, 0.1028), -0.708};
  psiFl = Value(g, "m/s2") / (branch.C * branch.C) *
          pow(LV * pow(viscosityRatio, 0.2), -2.0 * branch.n);
  VELTA_LOG(verbosity(), 2, name, "psiFl = " << psiFl);
  objectiveFlood_.setOwnVerbosity(0);
  solverFlood_.x()[0] = uVFl.value();
  solverFlood_.x()[1] = hLFl.value();
  const int status = solverFlood_.solve();
  recordSolve(solverFlood_, status, "flood convergence failure;");
  uVFl = Value(solverFlood_.x()[0], "m/s");
  hLFl = Value(solverFlood_.x()[1]);
  NITER_flood = solverFlood_.iterations();
  VELTA_TRACE_END(name)
}
