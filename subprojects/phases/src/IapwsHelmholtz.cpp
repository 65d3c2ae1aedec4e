#include "velta/phases/IapwsHelmholtz.h"

#include <algorithm>
#include <cmath>
#include <limits>

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

namespace {

double theta(double T) { return 1.0 - T / IapwsCoefficients::criticalTemperature; }

} // namespace

double iapwsSaturatedLiquidDelta(double T) {
  if (!(T < IapwsCoefficients::criticalTemperature))
    return 1.0;
  const double b[] = {1.99274064,  1.09965342,  -0.510839303,
                      -1.75493479, -45.5170352, -6.74694450e5};
  const double e[] = {1.0 / 3.0, 2.0 / 3.0, 5.0 / 3.0, 16.0 / 3.0, 43.0 / 3.0, 110.0 / 3.0};
  double delta = 1.0;
  for (int k = 0; k < 6; ++k)
    delta += b[k] * std::pow(theta(T), e[k]);
  return delta;
}

double iapwsSaturatedVaporDelta(double T) {
  if (!(T < IapwsCoefficients::criticalTemperature))
    return 1.0;
  const double c[] = {-2.03150240, -2.68302940, -5.38626492, -17.2991605, -44.7586581, -63.9201063};
  const double e[] = {2.0 / 6.0, 4.0 / 6.0, 8.0 / 6.0, 18.0 / 6.0, 37.0 / 6.0, 71.0 / 6.0};
  double lnDelta = 0.0;
  for (int k = 0; k < 6; ++k)
    lnDelta += c[k] * std::pow(theta(T), e[k]);
  return std::exp(lnDelta);
}

double iapwsSpinodalDelta(double T, bool vapor) {
  const double none = std::numeric_limits<double>::quiet_NaN();
  if (!(T > 0.0 && T < IapwsCoefficients::criticalTemperature))
    return none;
  const double tau = IapwsCoefficients::criticalTemperature / T;
  const double start = vapor ? iapwsSaturatedVaporDelta(T) : iapwsSaturatedLiquidDelta(T);
  const double saturatedSlope = reducedPressure(start, tau).slope;
  if (!(saturatedSlope > 0.0))
    return none;
  // The spinodal proper has dp/ddelta = 0, where a phase's heat capacity is
  // infinite; the state where the slope has fallen to a thousandth of its
  // value at saturation is as deep in the metastable region and finite.
  const auto stable = [tau, floor = 1e-3 * saturatedSlope](double delta) {
    return reducedPressure(delta, tau).slope > floor;
  };
  // From the saturated state towards the critical density in 32 steps,
  // geometric for the vapour (whose densities span decades), even for the
  // liquid; the loop between the spinodals is wider than a step away from
  // the critical point, so the first unstable point brackets the spinodal.
  const int steps = 32;
  double inside = start;
  for (int k = 1; k <= steps; ++k) {
    const double f = static_cast<double>(k) / steps;
    const double next = vapor ? start * std::pow(1.0 / start, f) : start + (1.0 - start) * f;
    if (!stable(next)) {
      double outside = next;
      // Bisection to the resolution of the doubles.
      for (int i = 0; i < 60 && std::fabs(outside - inside) > 1e-14 * inside; ++i) {
        const double middle = 0.5 * (inside + outside);
        (stable(middle) ? inside : outside) = middle;
      }
      return inside;
    }
    inside = next;
  }
  return none;
}

} // namespace Phase
