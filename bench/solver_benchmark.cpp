// Newton solver on a large banded system: the discrete Bratu problem
// u'' + exp(u) = 0 on (0, 1), u(0) = u(1) = 0, with n interior points
// (3 non-zeros per Jacobian row). Reports the Jacobian assembly by automatic
// differentiation, the sparse LU step and whole solves with their iteration
// counts, for 1,000, 10,000 and 50,000 unknowns.

#include "velta/core/ObjectiveNleAd.h"
#include "velta/core/Scaler.h"
#include "velta/core/SolverNleRecipes.h"

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

namespace {

class Bratu : public ObjectiveNleAd {
public:
  explicit Bratu(int n) : ObjectiveNleAd("bratu"), u_(static_cast<std::size_t>(n), Value(0.0)) {
    const Scaler scaler(Velta::Utility::ScalingMode::linear, 0, 1, 0, 10);
    for (int i = 0; i < n; ++i)
      addUnknown(&u_[i], scaler, "u[" + std::to_string(i) + "]");
  }

  unsigned calculateResiduals(std::vector<Value> &y, unsigned start) override {
    const std::size_t n = u_.size();
    const double h = 1.0 / static_cast<double>(n + 1);
    const double scale = 1.0 / (h * h);
    for (std::size_t i = 0; i < n; ++i) {
      Value second = -2.0 * u_[i];
      if (i > 0)
        second += u_[i - 1];
      if (i + 1 < n)
        second += u_[i + 1];
      y[start + i] = second * scale + exp(u_[i]);
    }
    return static_cast<unsigned>(n);
  }

  void reset() {
    for (Value &u : u_)
      u.activeValue() = 0.0;
  }

private:
  std::vector<Value> u_;
};

// One Jacobian (residuals with sparse derivatives, column fill) at u = 0.
void BM_JacobianAssembly(benchmark::State &state) {
  const int n = static_cast<int>(state.range(0));
  Bratu system(n);
  SolverNleRecipesAutomatic solver(n, &system);
  system.init(solver.x());
  system.scalex(solver.x());
  for (auto _ : state)
    benchmark::DoNotOptimize(solver.calculateFJ());
  state.counters["nonzeros"] = solver.jacobian().storedEntries();
  state.SetComplexityN(n);
}

// One Newton step J p = -F: symbolic analysis, sparse LU and triangular solves.
void BM_Factorisation(benchmark::State &state) {
  const int n = static_cast<int>(state.range(0));
  Bratu system(n);
  SolverNleRecipesAutomatic solver(n, &system);
  system.init(solver.x());
  system.scalex(solver.x());
  solver.calculateFJ();
  std::vector<double> step(static_cast<std::size_t>(n));
  for (auto _ : state) {
    for (int i = 0; i < n; ++i)
      step[i] = -solver.F()[i];
    const int code = solver.jacobian().solve(step.data());
    if (code != 0)
      state.SkipWithError("singular step");
    benchmark::DoNotOptimize(step.data());
  }
  state.SetComplexityN(n);
}

// A whole solve from u = 0; the time per iteration should grow linearly.
void BM_NewtonSolve(benchmark::State &state) {
  const int n = static_cast<int>(state.range(0));
  Bratu system(n);
  SolverNleRecipesAutomatic solver(n, &system);
  int code = 0;
  for (auto _ : state) {
    system.reset();
    system.init(solver.x());
    code = solver.solve();
  }
  if (code != 0)
    state.SkipWithError(solver.statusText(code).c_str());
  state.counters["iterations"] = solver.iterations() + 1; // the last one ended the solve
  state.counters["jacobians"] = solver.statistics().automaticJacobians;
  state.counters["residualEvaluations"] = solver.statistics().residualEvaluations;
  state.SetComplexityN(n);
}

} // namespace

BENCHMARK(BM_JacobianAssembly)->Arg(1000)->Arg(10000)->Arg(50000)->Unit(benchmark::kMillisecond)->Complexity();
BENCHMARK(BM_Factorisation)->Arg(1000)->Arg(10000)->Arg(50000)->Unit(benchmark::kMillisecond)->Complexity();
BENCHMARK(BM_NewtonSolve)->Arg(1000)->Arg(10000)->Arg(50000)->Unit(benchmark::kMillisecond)->Complexity();
