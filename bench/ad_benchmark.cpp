// Cost of automatic-differentiation arithmetic against the plain double
// operations it replaces: r = a * b + c, value only (no directions), with 5
// dense directions and with 50 sparse directions; then a few functions,
// quotients and powers, and the same multiply-add on physical values.

#include "velta/value/Active.h"
#include "velta/value/Value.h"

#include <benchmark/benchmark.h>

namespace {

void PlainMultiplyAdd(benchmark::State &state) {
  double a = 1.1, b = 0.9, c = 0.3, r = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(a);
    benchmark::DoNotOptimize(b);
    benchmark::DoNotOptimize(c);
    r = a * b + c;
    benchmark::DoNotOptimize(r);
  }
}
BENCHMARK(PlainMultiplyAdd);

// Numbers a, b, c with derivatives in every direction of a context of n.
void activeMultiplyAdd(benchmark::State &state, int n) {
  pushDerivativeContext(n);
  {
    Active a(1.1), b(0.9), c(0.3), r;
    for (int i = 0; i < n; ++i) {
      a.setDerivative(i, 0.5 + i);
      b.setDerivative(i, 1.0 - 0.1 * i);
      c.setDerivative(i, 0.25 * i);
    }
    for (auto _ : state) {
      benchmark::DoNotOptimize(a);
      benchmark::DoNotOptimize(b);
      benchmark::DoNotOptimize(c);
      r = a * b + c;
      benchmark::DoNotOptimize(r);
    }
  }
  popDerivativeContext();
}

void ActiveValueOnlyMultiplyAdd(benchmark::State &state) { activeMultiplyAdd(state, 0); }
BENCHMARK(ActiveValueOnlyMultiplyAdd);

void ActiveDense5MultiplyAdd(benchmark::State &state) { activeMultiplyAdd(state, 5); }
BENCHMARK(ActiveDense5MultiplyAdd);

void ActiveSparse50MultiplyAdd(benchmark::State &state) { activeMultiplyAdd(state, 50); }
BENCHMARK(ActiveSparse50MultiplyAdd);

// Sparse operands whose directions only partly overlap (entries inserted by
// the merge): a holds the even directions, b the multiples of three.
void ActiveSparse50PartialOverlap(benchmark::State &state) {
  pushDerivativeContext(50);
  {
    Active a(1.1), b(0.9), r;
    for (int i = 0; i < 50; i += 2)
      a.setDerivative(i, 0.5 + i);
    for (int i = 0; i < 50; i += 3)
      b.setDerivative(i, 1.0 - 0.1 * i);
    for (auto _ : state) {
      benchmark::DoNotOptimize(a);
      benchmark::DoNotOptimize(b);
      r = a * b + a;
      benchmark::DoNotOptimize(r);
    }
  }
  popDerivativeContext();
}
BENCHMARK(ActiveSparse50PartialOverlap);

void ActiveDense5Functions(benchmark::State &state) {
  pushDerivativeContext(5);
  {
    Active a(0.7), r;
    for (int i = 0; i < 5; ++i)
      a.setDerivative(i, 0.5 + i);
    for (auto _ : state) {
      benchmark::DoNotOptimize(a);
      r = exp(a) + log(a) * sqrt(a);
      benchmark::DoNotOptimize(r);
    }
  }
  popDerivativeContext();
}
BENCHMARK(ActiveDense5Functions);

// Quotients and powers with a varying exponent, the rules with the most
// work per direction.
void activeQuotientPower(benchmark::State &state, int n) {
  pushDerivativeContext(n);
  {
    Active a(1.1), b(0.9), r;
    for (int i = 0; i < n; ++i) {
      a.setDerivative(i, 0.5 + i);
      b.setDerivative(i, 1.0 - 0.1 * i);
    }
    for (auto _ : state) {
      benchmark::DoNotOptimize(a);
      benchmark::DoNotOptimize(b);
      r = a / b + pow(a, b) + pow(b, 2.5);
      benchmark::DoNotOptimize(r);
    }
  }
  popDerivativeContext();
}

void ActiveDense5QuotientPower(benchmark::State &state) { activeQuotientPower(state, 5); }
BENCHMARK(ActiveDense5QuotientPower);

void ActiveSparse50QuotientPower(benchmark::State &state) { activeQuotientPower(state, 50); }
BENCHMARK(ActiveSparse50QuotientPower);

void PlainFunctions(benchmark::State &state) {
  double a = 0.7, r = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(a);
    r = std::exp(a) + std::log(a) * std::sqrt(a);
    benchmark::DoNotOptimize(r);
  }
}
BENCHMARK(PlainFunctions);

// The same with physical values (unit checks on top of the numbers).
void ValueDense5MultiplyAdd(benchmark::State &state) {
  pushDerivativeContext(5);
  {
    Value a(1.1, "m2"), b(0.9, "Pa"), c(0.3, "N"), r;
    for (int i = 0; i < 5; ++i) {
      a.activeValue().setDerivative(i, 0.5 + i);
      b.activeValue().setDerivative(i, 1.0 - 0.1 * i);
      c.activeValue().setDerivative(i, 0.25 * i);
    }
    for (auto _ : state) {
      benchmark::DoNotOptimize(a);
      benchmark::DoNotOptimize(b);
      benchmark::DoNotOptimize(c);
      r = a * b + c;
      benchmark::DoNotOptimize(r);
    }
  }
  popDerivativeContext();
}
BENCHMARK(ValueDense5MultiplyAdd);

} // namespace
