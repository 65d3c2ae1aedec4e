// Cost of one GERG-2004 evaluation of N alpha = N (alpha0 + alphar) with its
// 20-entry gradient over (V, T, n_0 ... n_17), for a mixture of all 18
// components: on plain doubles, and on automatic-differentiation numbers
// with no directions (values only) and with 3 dense directions (the
// temperature, pressure and packing fraction of a one-phase flash).

#include "velta/phases/Gerg2004Helmholtz.h"
#include "velta/value/DerivativeContext.h"

#include <benchmark/benchmark.h>

namespace {

using namespace Phase;
using namespace Phase::Gerg2004Helmholtz;

const double fractions[gerg2004Components] = {0.67, 0.04, 0.03, 0.05, 0.03, 0.02, 0.02, 0.01, 0.01,
                                              0.01, 0.01, 0.01, 0.03, 0.01, 0.02, 0.01, 0.01, 0.01};

template <class N> void evaluate(benchmark::State &state) {
  GenericDeriv<N> V{N(1 / 9.0)}, T{N(300.0)};
  V.seed(0);
  T.seed(1);
  // With directions, the state carries derivatives in each of them.
  for (int k = 0; k < numdir; ++k) {
    if constexpr (!std::is_same_v<N, double>) {
      V.value().setDerivative(k, 0.1 * (k + 1));
      T.value().setDerivative(k, 1.0 - 0.2 * k);
    }
  }
  Fractions<N> n;
  for (int i = 0; i < gerg2004Components; ++i) {
    n[i].value() = fractions[i];
    n[i].seed(i + 2);
  }
  for (auto _ : state) {
    GenericDeriv<N> alpha = helmholtzIdealTotal(V, T, n);
    alpha += helmholtzResidualTotal(V, T, n);
    benchmark::DoNotOptimize(alpha);
  }
}

void GergPlainDouble(benchmark::State &state) { evaluate<double>(state); }
BENCHMARK(GergPlainDouble)->Unit(benchmark::kMicrosecond);

void GergActiveValueOnly(benchmark::State &state) { evaluate<Active>(state); }
BENCHMARK(GergActiveValueOnly)->Unit(benchmark::kMicrosecond);

void GergActiveDense3(benchmark::State &state) {
  pushDerivativeContext(3);
  evaluate<Active>(state);
  popDerivativeContext();
}
BENCHMARK(GergActiveDense3)->Unit(benchmark::kMicrosecond);

} // namespace
