// Cost of the water Helmholtz energy by number type against plain doubles
// evaluating the same 56 residual terms: first derivatives over (delta,
// tau), first and second derivatives (nested gradients), the active
// instance of the template (no outer directions, 5 dense ones) and the
// property model's evaluation, which gets the same numbers by the chain
// rule from the plain second derivatives.
// Then the density solve at (T, P) from the model's own starting estimate,
// over a grid of 275-1000 K and 1 kPa-100 MPa, with the number of phir
// evaluations per solve as counters.

#include "velta/phases/Iapws.h"
#include "velta/phases/IapwsHelmholtz.h"
#include "velta/value/DerivativeContext.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

using namespace Phase;

const double delta0 = 838.025 / 322.0, tau0 = 647.096 / 500.0;

void PhirPlainDouble(benchmark::State &state) {
  double delta = delta0, tau = tau0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(delta);
    benchmark::DoNotOptimize(tau);
    double r = iapwsPhir(delta, tau);
    benchmark::DoNotOptimize(r);
  }
}
BENCHMARK(PhirPlainDouble);

void PhirFirstDerivatives(benchmark::State &state) {
  using G = IapwsGradient<double>;
  G delta = G::variable(delta0, 0), tau = G::variable(tau0, 1);
  for (auto _ : state) {
    benchmark::DoNotOptimize(delta);
    benchmark::DoNotOptimize(tau);
    G r = iapwsPhir(delta, tau);
    benchmark::DoNotOptimize(r);
  }
}
BENCHMARK(PhirFirstDerivatives);

void PhirFirstAndSecondDerivatives(benchmark::State &state) {
  using G = IapwsGradient<double>;
  using S = IapwsGradient<G>;
  S delta(G::variable(delta0, 0), G(1.0, 0.0, 0.0), G(0.0));
  S tau(G::variable(tau0, 1), G(0.0), G(1.0, 0.0, 0.0));
  for (auto _ : state) {
    benchmark::DoNotOptimize(delta);
    benchmark::DoNotOptimize(tau);
    S r = iapwsPhir(delta, tau);
    benchmark::DoNotOptimize(r);
  }
}
BENCHMARK(PhirFirstAndSecondDerivatives);

template <bool model> void activeGradient(benchmark::State &state, int directions) {
  pushDerivativeContext(directions);
  {
    using G = IapwsGradient<Active>;
    Active d(delta0), t(tau0);
    for (int i = 0; i < directions; ++i) {
      d.setDerivative(i, 1.0 + i);
      t.setDerivative(i, 0.5 - i);
    }
    G delta = G::variable(d, 0), tau = G::variable(t, 1);
    for (auto _ : state) {
      benchmark::DoNotOptimize(delta);
      benchmark::DoNotOptimize(tau);
      G r;
      if constexpr (model)
        Iapws::phir(r, delta, tau);
      else
        r = iapwsPhir(delta, tau);
      benchmark::DoNotOptimize(r);
    }
  }
  popDerivativeContext();
}
void PhirActiveTemplateNoDirections(benchmark::State &state) { activeGradient<false>(state, 0); }
BENCHMARK(PhirActiveTemplateNoDirections);
void PhirActiveTemplate5Directions(benchmark::State &state) { activeGradient<false>(state, 5); }
BENCHMARK(PhirActiveTemplate5Directions);
void PhirModelNoDirections(benchmark::State &state) { activeGradient<true>(state, 0); }
BENCHMARK(PhirModelNoDirections);
void PhirModel5Directions(benchmark::State &state) { activeGradient<true>(state, 5); }
BENCHMARK(PhirModel5Directions);

// The model's starting delta (vapour: ideal gas; otherwise the liquid
// correlation), with the phase chosen by the auxiliary saturation-pressure
// equation of Wagner and Pruss (IAPWS SR1-86) below the critical point and
// by the critical pressure above it.
double startingDelta(double P, double T) {
  const double Tc = 647.096, pc = 22.064e6;
  bool vapour = P < pc;
  if (T < Tc) {
    const double th = 1.0 - T / Tc;
    const double lnRatio = Tc / T *
                           (-7.85951783 * th + 1.84408259 * std::pow(th, 1.5) -
                            11.7866497 * std::pow(th, 3) + 22.6807411 * std::pow(th, 3.5) -
                            15.9618719 * std::pow(th, 4) + 1.80122502 * std::pow(th, 7.5));
    vapour = P < pc * std::exp(lnRatio);
  }
  if (vapour)
    return P / T / 461.51805 / 322.0;
  double rho = 322.0;
  if (T < 275.0)
    rho = 1000.0;
  else if (T <= Tc) {
    const double x = 275.0 / T;
    rho = x * (-35652.2 +
               x * (236737.0 + x * (-592369.0 + x * (731265.0 + x * (-448252.0 + x * 109273.0)))));
  }
  return rho / 322.0;
}

struct GridState {
  double P, T;
};
std::vector<GridState> grid() {
  std::vector<GridState> states;
  for (double T = 275.0; T <= 1000.0; T += 25.0)
    for (double logP = 3.0; logP <= 8.0 + 1e-9; logP += 0.25)
      states.push_back({std::pow(10.0, logP), T});
  return states;
}

void DensitySolveFromEstimate(benchmark::State &state) {
  const std::vector<GridState> states = grid();
  int worst = 0, failures = 0;
  long total = 0, solves = 0;
  std::size_t k = 0;
  for (auto _ : state) {
    const GridState &s = states[k++ % states.size()];
    const IapwsDensitySolution solution = solveIapwsDelta(s.P, s.T, startingDelta(s.P, s.T));
    benchmark::DoNotOptimize(solution);
    worst = std::max(worst, solution.evaluations);
    total += solution.evaluations;
    ++solves;
    failures += solution.converged ? 0 : 1;
  }
  state.counters["maxEvaluations"] = worst;
  state.counters["meanEvaluations"] = static_cast<double>(total) / static_cast<double>(solves);
  state.counters["failures"] = failures;
  state.counters["states"] = static_cast<double>(states.size());
}
BENCHMARK(DensitySolveFromEstimate);

} // namespace
