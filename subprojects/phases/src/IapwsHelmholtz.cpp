#include "velta/phases/IapwsHelmholtz.h"

#include <algorithm>
#include <cmath>

namespace Phase {

namespace {

using Second = IapwsGradient<IapwsGradient<double>>;

struct PressureSlope {
  double reduced; // p / (rhoc R T) = delta (1 + delta phir_delta)
  double slope;   // its derivative over delta
};

// phir to second order in delta at constant tau.
PressureSlope reducedPressure(double delta, double tau) {
  const Second d(IapwsGradient<double>::variable(delta, 0), IapwsGradient<double>(1.0),
                 IapwsGradient<double>(0.0));
  const Second t(IapwsGradient<double>(tau), IapwsGradient<double>(0.0),
                 IapwsGradient<double>(0.0));
  const Second phir = iapwsPhir(d, t);
  const double phirD = phir.value.gradient[0];
  const double phirDD = phir.gradient[0].gradient[0];
  return {delta + delta * delta * phirD, 1.0 + 2.0 * delta * phirD + delta * delta * phirDD};
}

constexpr double deltaCeiling = 4.5;

} // namespace

IapwsDensitySolution solveIapwsDelta(double P, double T, double delta0, int maxEvaluations) {
  namespace c = IapwsCoefficients;
  const double tau = c::criticalTemperature / T;
  const double target = P / (c::criticalDensity * c::gasConstant * 1000.0 * T);
  IapwsDensitySolution solution;
  double delta = delta0;
  while (solution.evaluations < maxEvaluations) {
    const PressureSlope at = reducedPressure(delta, tau);
    ++solution.evaluations;
    // Newton on p; an increase is capped at 30 %, since near the critical
    // temperature the flat isotherm would throw a liquid-side start far
    // into the stiff compressed region.
    double step = std::min((target - at.reduced) / at.slope, 0.3 * delta);
    if (!(at.slope > 0.0) || !std::isfinite(step))      // unstable or broken point:
      step = delta0 > 1.0 ? 0.1 * delta : -0.5 * delta; // away, on the start's side
    double next = delta + step;
    while (!(next > 0.0 && next <= deltaCeiling)) {
      step *= 0.5;
      next = delta + step;
    }
    delta = next;
    if (std::fabs(step) <= 1e-13 * delta) {
      solution.converged = true;
      break;
    }
  }
  solution.delta = delta;
  return solution;
}

} // namespace Phase
