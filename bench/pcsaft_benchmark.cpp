// Cost of one PC-SAFT evaluation of a liquid mixture of n components (2 and
// 9): precompute at T and x, the pressure and dP/deta at the packing
// fraction, and every ln phi. In the same run: the equations alone on plain
// doubles, on plain partials in T and eta, and on derivative-carrying
// numbers; and the engine on physical values, without directions, with the
// three directions of a single-phase flash (T, P, beta: dense store) and
// with T, P, beta and every mole fraction (n + 3: sparse for 9 components).

#include "velta/phases/PcsaftEngine.h"
#include "velta/phases/PcsaftEquations.h"
#include "velta/phases/PcsaftParameters.h"
#include "velta/value/DerivativeContext.h"

#include <benchmark/benchmark.h>

#include <vector>

namespace {

constexpr double temperature = 300.0;
constexpr double packing = 0.4;

// n chain molecules growing from methane-like to heavier ones.
void fillTables(int n) {
  for (int k = 0; k < n; ++k) {
    Phase::pcsaftM[k] = 1.0 + 0.35 * k;
    Phase::pcsaftSigma[k] = 3.70 + 0.02 * k;
    Phase::pcsaftEpsilon[k] = 150.0 + 12.0 * k;
  }
  Phase::pcsaftSetNcomp(n);
}

// The equations alone on another number type.
template <class N, class X = N> void equationsOn(benchmark::State &state, N T, N eta) {
  const int n = static_cast<int>(state.range(0));
  fillTables(n);
  Phase::PcsaftParameters p;
  Phase::PcsaftEquations<N, X> eq;
  N lnphi[Phase::NC];
  for (auto _ : state) {
    p.load("equationsOn");
    eq.T = T;
    for (int i = 0; i < n; ++i)
      eq.x[i] = 1.0 / n;
    eq.precompute(p);
    eq.pressure(p, eta);
    eq.lnphi(p, lnphi);
    benchmark::DoNotOptimize(eq.P);
    benchmark::DoNotOptimize(lnphi[n - 1]);
  }
}
void PlainDoubles(benchmark::State &state) { equationsOn(state, temperature, packing); }
// Partials in T and eta, as the engine evaluates a composition without
// derivatives.
void PartialsInTAndEta(benchmark::State &state) {
  equationsOn<Phase::PcsaftDual, double>(state, Phase::PcsaftDual(temperature, 1.0, 0.0),
                                         Phase::PcsaftDual(packing, 0.0, 1.0));
}
// Derivative-carrying numbers without directions.
void DerivativeCarryingNumbers(benchmark::State &state) {
  equationsOn(state, Active(temperature), Active(packing));
}
BENCHMARK(PlainDoubles)->Arg(2)->Arg(9);
BENCHMARK(PartialsInTAndEta)->Arg(2)->Arg(9);
BENCHMARK(DerivativeCarryingNumbers)->Arg(2)->Arg(9);

// The engine's pass; directions 0, 3 (T, P, beta) or n + 3.
void enginePass(benchmark::State &state, int flashDirections, bool withComposition) {
  const int n = static_cast<int>(state.range(0));
  fillTables(n);
  const int directions = flashDirections + (withComposition ? n : 0);
  pushDerivativeContext(directions);
  {
    Phase::EosPcsaft engine;
    Value T(temperature, "K"), P(1e6, "Pa"), sumx(1.0), result(0.0, "Pa");
    std::vector<Value> x(static_cast<std::size_t>(n), Value(1.0 / n));
    std::vector<Value> lnphi(static_cast<std::size_t>(n));
    engine.beta = Value(packing);
    if (directions > 0) {
      T.activeValue().setActive(0);
      P.activeValue().setActive(1);
      engine.beta.activeValue().setActive(2);
      for (int i = 0; withComposition && i < n; ++i)
        x[static_cast<std::size_t>(i)].activeValue().setActive(3 + i);
    }
    for (auto _ : state) {
      engine.calculatePressureEos_(T, Vector(&x), sumx, 2, result);
      engine.preparefugacity_eos(P, T, Vector(&x), sumx, 2, lnphi);
      benchmark::DoNotOptimize(result);
      benchmark::DoNotOptimize(lnphi);
    }
    if (directions > 0) {
      T.activeValue().setInactive(0);
      P.activeValue().setInactive(1);
      engine.beta.activeValue().setInactive(2);
      for (int i = 0; withComposition && i < n; ++i)
        x[static_cast<std::size_t>(i)].activeValue().setInactive(3 + i);
    }
  }
  popDerivativeContext();
}

void ValuesWithoutDirections(benchmark::State &state) { enginePass(state, 0, false); }
void ValuesFlashDirections(benchmark::State &state) { enginePass(state, 3, false); }
void ValuesFlashAndComposition(benchmark::State &state) { enginePass(state, 3, true); }
BENCHMARK(ValuesWithoutDirections)->Arg(2)->Arg(9);
BENCHMARK(ValuesFlashDirections)->Arg(2)->Arg(9);
BENCHMARK(ValuesFlashAndComposition)->Arg(2)->Arg(9);

} // namespace
