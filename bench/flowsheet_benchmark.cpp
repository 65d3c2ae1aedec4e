// First calculation of a chain of mixer/divider pairs, each divider
// returning 60 % of its flow to its own mixer through a cut recycle: 10, 100
// and 1000 units, from the flowsheet's own start. Reported per size: the
// time of the whole calculation per unit and of its steps as calculate runs
// them (the sequential passes, the recycles passed round alone, the
// simultaneous solve), the Newton iterations of the solve, the time per
// iteration and per evaluation of the residuals alone and with the
// Jacobian, the stored entries of the Jacobian (with the intermediates its
// extended form folds in from 300 unknowns on), and the shares of the solve
// spent in the units' residuals (plain evaluations and, shown apart too,
// the evaluations with derivatives), in the assembly of the Jacobian
// (seeding the unknowns and building the sparse matrix from the
// derivatives) and in the factorisation with its triangular solves; the
// rest is the Newton and line-search bookkeeping.

#include "StreamTestSupport.h"

#include "velta/core/Jacobian.h"
#include "velta/flowsheet/FlowSheet.h"
#include "velta/flowsheet/FlowSheetPrivate.h"
#include "velta/flowsheet/Terminator.h"
#include "velta/persistency/NodeFactory.h"
#include "velta/streams/Stream.h"
#include "velta/units/Divider.h"
#include "velta/units/Mixer.h"
#include "velta/utility/Diagnostic.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <climits>
#include <iostream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

using namespace streamtest;

namespace {

// A tag made of a prefix and a number (appended, not joined with +: GCC 12
// warns wrongly about joining two temporaries).
std::string numbered(const char *prefix, int i) {
  std::string tag(prefix);
  tag += std::to_string(i);
  return tag;
}

Defaults gas(const std::string &tag) {
  Defaults options(tag, "stream");
  options.setString("embeddedTypePhase", "PhaseIdeal<vapor>");
  return options;
}

class Chain : public FlowSheet {
public:
  Chain(Defaults defaults, int id, Persistency *persistency, Node *parent, Node *root)
      : Object(defaults, id, persistency, parent, root),
        Model(defaults, id, persistency, parent, root),
        VertexBase(defaults, id, persistency, parent, root),
        FlowSheet(defaults, id, persistency, parent, root) {
    setType("Chain");
    const int pairs = defaults.getInteger("pairs");
    for (int i = 0; i < pairs; ++i) {
      addUnit("Mixer", Defaults(numbered("M", i), "mixer"));
      addUnit("Divider", Defaults(numbered("D", i), "divider"));
    }
    for (int i = 0; i < pairs; ++i) {
      const std::string m = numbered("M", i), d = numbered("D", i);
      addStream("StreamOne", gas(i == 0 ? std::string("F") : numbered("X", i)),
                i == 0 ? std::string("source") : numbered("D", i - 1), "out", m, "in");
      addStream("StreamOne", gas(numbered("S", i)), m, "out", d, "in");
      addStream("StreamOne", gas(numbered("R", i)), d, "out", m, "in");
    }
    addStream("StreamOne", gas("P"), numbered("D", pairs - 1), "out", "sink", "in");
  }
  void pre(int, int) override {}
  void post(int, int) override {}
  void makeUserEquations(Position &) override {}
};

void registerTypes() {
  static const bool done = [] {
    registerStreamTypes();
    NodeFactory f;
    f.registerType<Mixer>("Mixer", "Mixer", "unit", false, {}, {}, {}, "Mixer", 60, 60);
    f.registerType<Divider>(
        "Divider", "Divider", "unit", false,
        {IntegerOption("nOutlets", "Number of streams connected at outlet", 2, 1, INT_MAX)}, {}, {},
        "Divider", 60, 60);
    f.registerType<Terminator>("Terminator", "Source or sink of all streams entering a flowsheet",
                               "unit", false, {}, {}, {}, "", 100, 100);
    return true;
  }();
  (void)done;
}

double seconds(std::chrono::steady_clock::duration d) {
  return std::chrono::duration<double>(d).count();
}

void BM_RecycleChain(benchmark::State &state) {
  const int units = static_cast<int>(state.range(0));
  components.clear();
  PureData light, heavy;
  light.mw = 2.0;
  heavy.mw = 18.0;
  components.add(new LinearComponent("Light", light));
  components.add(new LinearComponent("Heavy", heavy));
  registerTypes();
  verbosityGlobal = 0;
  for (auto _ : state) {
    Defaults options("FS", "chain");
    options.setInteger("pairs", units / 2);
    Chain fs(options, 0, nullptr, nullptr, nullptr);
    Stream &feed = dynamic_cast<Stream &>(fs.child("F"));
    setFeed(feed, {0.3, 0.7}, 350.0, 1e5, 1.0);
    feed.setFlash(static_cast<int>(Velta::Utility::FlashMode::PT));
    for (int i = 0; i < units / 2; ++i) {
      auto &d = dynamic_cast<Divider &>(fs.child(numbered("D", i)));
      d.outSplit[0] = Value(0.6);
      d.outSplit[1] = Value(0.4);
    }
    for (int i = 0; i < units / 2; ++i)
      fs.addCut(numbered("R", i));
    std::ostringstream sink;
    auto *old = std::cout.rdbuf(sink.rdbuf());
    const auto begin = std::chrono::steady_clock::now();
    fs.go(1, 0);
    const auto passesEnd = std::chrono::steady_clock::now();
    fs.convergeRecycles(0);
    const double assemblyBefore = fs.assemblySeconds();
    const auto start = std::chrono::steady_clock::now();
    fs.go(2, 0);
    const auto end = std::chrono::steady_clock::now();
    const double solve = seconds(end - start);
    const double assembly = fs.assemblySeconds() - assemblyBefore;
    const SolverNleInterface::Statistics &statistics = fs.privatePart().solver_.statistics();
    const int jacobians = std::max(statistics.automaticJacobians, 1);
    // The last Jacobian's stored entries, at the solution.
    const unsigned n = fs.size();
    std::vector<double> x(n), y(n);
    fs.init(x.data());
    fs.scalex(x.data());
    Jacobian J;
    J.resize(n);
    J.allowIntermediates(fs.size() >= FlowSheet::minimumUnknownsToFold);
    fs(x.data(), y.data(), &J);
    std::cout.rdbuf(old);
    // The units' residuals: the plain evaluations of the line search and
    // the evaluations with derivatives inside the Jacobian evaluations.
    const double derivativeResiduals = statistics.jacobianSeconds - assembly;
    const double residuals = statistics.residualSeconds + derivativeResiduals;
    auto share = [solve](double part) { return solve > 0.0 ? 100.0 * part / solve : 0.0; };
    state.counters["unknowns"] = n;
    int entries = J.storedEntries();
    if (!J.isSparse())
      for (int r = 0; r < J.size(); ++r)
        for (int c = 0; c < J.size(); ++c)
          entries += J.element(r, c) != 0.0;
    state.counters["jacobian_entries"] = entries;
    state.counters["intermediates"] = J.intermediates();
    state.counters["newton_iterations"] = fs.NITER.value();
    state.counters["calculate_per_unit_s"] = seconds(end - begin) / units;
    state.counters["passes_s"] = seconds(passesEnd - begin);
    state.counters["recycles_s"] = seconds(start - passesEnd);
    state.counters["solve_s"] = solve;
    state.counters["per_iteration_s"] = solve / jacobians;
    // One evaluation of the residuals alone, and one with the Jacobian.
    state.counters["residual_evaluation_s"] =
        statistics.residualSeconds / std::max(statistics.residualEvaluations, 1);
    state.counters["jacobian_evaluation_s"] = statistics.jacobianSeconds / jacobians;
    state.counters["residuals_%"] = share(residuals);
    state.counters["residuals_with_derivatives_%"] = share(derivativeResiduals);
    state.counters["assembly_%"] = share(assembly);
    state.counters["factorisation_%"] = share(statistics.factorisationSeconds);
    state.counters["other_%"] =
        share(solve - residuals - assembly - statistics.factorisationSeconds);
    state.counters["errors"] = static_cast<double>(fs.errors.value().size());
  }
  components.clear();
}

BENCHMARK(BM_RecycleChain)->Arg(10)->Arg(100)->Arg(1000)->Iterations(1)->Unit(benchmark::kSecond);

} // namespace
