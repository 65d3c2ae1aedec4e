// Calculation of a distillation column from its own start-up (sequential
// passes until the profile stops changing, then Newton's method with
// adiabatic stages), with the benchmark registry's wall time per calculation
// and as counters: the sequential passes ("passes"), the Newton iterations
// of the column ("newton"), the errors it reports ("errors") and the time of
// one calculation in ms ("ms"). Three cases:
//   - 20 stages (feed stage 10), a binary of constant relative volatility
//     2.5 (the column tests' pair);
//   - 40 stages (feed stage 20), five components with vapour pressures
//     2.4, 1.8, 1.3, 1 and 0.75 bar at 298.15 K on one Clausius-Clapeyron
//     slope (the column tests' five components).
// Both at RR = BR = 2, 1 kmol/s of subcooled equimolar feed at 1 bar, on
// the ideal vapour-liquid stream type;
//   - 30 stages (feed stage 15) of the kernel's water and Chemical1
//     (0.3/0.7), 0.01 kmol/s subcooled at 300 K and 1 atm, RR = BR = 3.
// Every iteration builds and sets up a fresh column outside the timed
// region.
//
// The share of the time spent in flashes comes from a profile of the same
// run: perf record -g ./column_benchmark, then perf report --children and
// the inclusive share of the flash solver (FlashVl::solveFlash and the
// stream calculations below the stages).

#include "ColumnTestSupport.h"

#include "velta/user/KernelComponents.h"
#include "velta/user/KernelInitialization.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

using namespace columntest;

namespace {

std::unique_ptr<Column> preparedColumn(int stages, int n) {
  auto column = makeColumn(columnOptions(stages, stages / 2));
  column->P1 = Value(1e5, "Pa");
  Stream &feed = streamOf(*column, "F");
  setFeed(feed, std::vector<double>(static_cast<std::size_t>(n), 1.0 / n), 250.0, 1e5, 1.0);
  feed.go(1);
  column->setup();
  return column;
}

std::unique_ptr<Column> waterChemical1Column() {
  auto column = makeColumn(columnOptions(30, 15));
  column->Q("F.T").activeValue() = 300.0;
  column->Q("F.P").activeValue() = 101325.0;
  column->Q("F:Tphase.ndot").activeValue() = 0.01;
  for (int i = 0; i < components.count(); ++i) {
    const std::string name = components[i]->name();
    column->Q("F:Tphase.x[" + name + "]").activeValue() =
        name == "H2O" ? 0.3 : name == "Chemical1" ? 0.7 : 0.0;
  }
  column->RR.activeValue() = 3.0;
  column->BR.activeValue() = 3.0;
  column->setup();
  return column;
}

// n components of the tests, or the kernel's (n = 0).
void calculate(benchmark::State &state, int stages, int n) {
  if (n == 0) {
    initializeKernel();
    addKernelComponents();
  }
  verbosityGlobal = -20;
  flashdrumtest::registerDrumTypes();
  registerFlowsheetTypes();
  if (n == 2)
    useConstantVolatilityPair();
  else if (n == 5)
    useFiveComponents();
  double seconds = 0.0;
  int newton = 0;
  int passes = 0;
  std::size_t errors = 0;
  for (auto _ : state) {
    state.PauseTiming();
    auto column = n == 0 ? waterChemical1Column() : preparedColumn(stages, n);
    state.ResumeTiming();
    const auto start = std::chrono::steady_clock::now();
    // The calculation's own sequence, split to read the passes between.
    column->go(1, 0);
    passes = column->NITER.value();
    column->calculate(0);
    seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    state.PauseTiming();
    newton = column->NITER.value();
    column->reportMessages();
    errors = column->errors.value().size();
    column.reset();
    state.ResumeTiming();
  }
  state.counters["passes"] = passes;
  state.counters["newton"] = newton;
  state.counters["errors"] = static_cast<double>(errors);
  state.counters["ms"] = 1e3 * seconds / static_cast<double>(state.iterations());
  components.clear();
  for (const char *f : {"ENRICH_Q1.dot", "ENRICH_Q2.dot", "STRIP_Q1.dot", "STRIP_Q2.dot"})
    std::remove(f);
}

void Binary20(benchmark::State &state) { calculate(state, 20, 2); }
void FiveComponents40(benchmark::State &state) { calculate(state, 40, 5); }
void WaterChemical1Thirty(benchmark::State &state) { calculate(state, 30, 0); }

BENCHMARK(Binary20)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(FiveComponents40)->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK(WaterChemical1Thirty)->Unit(benchmark::kMillisecond)->Iterations(2);

} // namespace
