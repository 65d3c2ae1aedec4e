// PT flash of a 10-component vapour-liquid stream over Peng-Robinson
// phases ("StreamVlTx": K-values are unknowns, equal fugacities), from the
// estimates in every repetition, against its ideal pre-solve alone (the
// same estimate followed only by the solve with the components' own
// K-values) in the same run. The full flash includes that pre-solve; its
// "iterations" counter is the non-ideal solve's, "preSolveIterations" the
// ideal one's.
//
// Components: DIPPR components with critical constants spread between a
// methane-like and a decane-like fluid and Edmister vapour pressures
// log10(Pc / psat) = 7/3 (1 + omega) (Tc / T - 1); an equimolar feed at
// 350 K and 20 bar splits into two phases.

#include "velta/phases/PhaseTypes.h"
#include "velta/streams/StreamTypes.h"
#include "velta/components/ComponentDippr.h"
#include "velta/components/ListComponents.h"
#include "velta/persistency/NodeFactory.h"
#include "velta/phases/MassMolar.h"
#include "velta/phases/PhaseTypes.h"
#include "velta/streams/StreamTwo.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>
#include <string>

namespace {

void fillComponents(int n) {
  components.clear();
  for (int i = 0; i < n; ++i) {
    const double s = n > 1 ? static_cast<double>(i) / (n - 1) : 0.0;
    const double mw = 16.0 + 126.0 * s, Tc = 190.6 + 427.0 * s, Pc = 46e5 - 25e5 * s;
    const double omega = 0.011 + 0.48 * s, zc = 0.27;
    const double vc = zc * 8314.4 * Tc / Pc;
    // ln psat = ln Pc + b / Tc - b / T.
    const double b = std::log(10.0) * 7.0 / 3.0 * (1.0 + omega) * Tc;
    components.add(new ComponentDippr(
        std::string("C").append(std::to_string(i)), Value(mw, "kg/kmol"), Value(Pc, "Pa"), Value(Tc, "K"),
        Value(mw / vc, "kg/m3"), Value(0.0), Value(0.5 * vc, "m3/kmol"), Value(0.0, "J/kmol"),
        Value(0.0, "J/kmol"), Value(3e7, "J/kmol"), Value(zc), Value(omega),
        ParametersAntoine(std::log(Pc) + b / Tc, -b, 0, 0, 0, 0, 0, 50.0, Tc),
        ParametersDippr(33363, 26790, 2610.5, 8896, 1169, 100, 2273.15),
        ParametersDippr(5.459, 0.30542, 647.13, 0.081, 0, 280, 600),
        ParametersDippr(-0.432, 0.0057255, -8.078e-6, 1.861e-9, 0, 273.16, 633.15),
        ParametersDippr(0.0021606, 0.76839, 3940.5, -445340, 0, 300, 600),
        ParametersDippr(-52.843, 3703.6, 5.866, -5.879e-29, 10, 273.16, 646.15),
        ParametersDippr(6.1839e-7, 0.67779, 847.23, -73930, 0, 300, 600),
        ParametersDippr(0.18548, 2.717, -3.554, 2.047, 0, 273.16, 647.13), ParametersHenry()));
  }
}

std::unique_ptr<StreamVlTx> makeStream(int n) {
  Velta::Phases::registerPhaseTypes();
  Velta::Streams::registerStreamTypes();
  Defaults options("S", "bench");
  options.setString("embeddedTypePhase[0]", "PhasePengRobinson<vapor>");
  options.setString("embeddedTypePhase[1]", "PhasePengRobinson<liquid>");
  std::unique_ptr<Node> node =
      NodeFactory().create("StreamVlTx", options, 0, nullptr, nullptr, nullptr);
  std::unique_ptr<StreamVlTx> s(dynamic_cast<StreamVlTx *>(node.release()));
  auto &total = dynamic_cast<Phase::MassMolar &>(*s->Tphase);
  total.ndot = Value(1.0, "kmol/s");
  for (int i = 0; i < n; ++i)
    total.x[static_cast<std::size_t>(i)] = Value(1.0 / n);
  total.calculateX(Phase::MassBalanceMode::Nx);
  s->P = Value(20e5, "Pa");
  s->T = Value(350.0, "K");
  s->flashoption = "PT";
  return s;
}

// Both benchmarks start every repetition from the estimates.
void BM_StreamVlTxPT(benchmark::State &state) {
  const int n = static_cast<int>(state.range(0));
  fillComponents(n);
  {
    auto s = makeStream(n);
    unsigned iterations = 0;
    for (auto _ : state) {
      s->setPristine();
      s->go(1);
      iterations = s->iterations();
    }
    if (!s->errors.value().empty())
      state.SkipWithError(s->errors.value().front().c_str());
    state.counters["alfa"] = s->alfa.value();
    // The pre-solve's count, from one more estimate and pre-solve.
    s->setFlash(0);
    s->estimate(s->P, s->T);
    s->precompute_isIdeal();
    state.counters["preSolveIterations"] = s->iterations();
    state.counters["iterations"] = iterations;
  }
  components.clear();
}

void BM_StreamVlTxIdealPreSolve(benchmark::State &state) {
  const int n = static_cast<int>(state.range(0));
  fillComponents(n);
  {
    auto s = makeStream(n);
    s->go(1);
    unsigned iterations = 0;
    for (auto _ : state) {
      s->setFlash(0);
      s->estimate(s->P, s->T);
      s->precompute_isIdeal();
      iterations = s->iterations();
    }
    state.counters["iterations"] = iterations;
    state.counters["alfa"] = s->alfa.value();
  }
  components.clear();
}

} // namespace

BENCHMARK(BM_StreamVlTxPT)->Arg(10)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_StreamVlTxIdealPreSolve)->Arg(10)->Unit(benchmark::kMicrosecond);
