// Flash cost of single-phase streams (ideal and Peng-Robinson vapour) and
// of the vapour-liquid Rachford-Rice flash with correlation K-values, for
// 2, 10 and 50 components. Each flash is reported with its Newton
// iterations and beside the cost of one property pass of the same stream
// (density, enthalpy, entropy, heat capacity at the solved state), so that
// "flashes / property pass" reads as property passes per flash.
//
// Components: closed-form routes (constant heat capacities) with critical
// constants spread between a methane-like and a decane-like fluid.

#include "TestPhases.h"

#include "velta/persistency/NodeFactory.h"
#include "velta/phases/MassMolarProperties.h"
#include "velta/phases/PhaseTypes.h"
#include "velta/streams/FlashVlT.h"
#include "velta/streams/StreamOne.h"
#include "velta/streams/StreamTypes.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>
#include <string>

using namespace phasetest;

namespace {

class BenchComponent : public LinearComponent {
public:
  BenchComponent(const std::string &name, const PureData &data, double Tc, double Pc,
                 double omega, double a, double b)
      : LinearComponent(name, data), Tc_(Tc, "K"), Pc_(Pc, "Pa"), omega_(omega), a_(a),
        b_(b, "K") {}
  const Value &Tc() const override { return Tc_; }
  const Value &Pc() const override { return Pc_; }
  const Value &omega() const override { return omega_; }
  // ln(psat / Pa) = a - b / T
  Value psat(const Value &T, double * = nullptr, double * = nullptr) const override {
    return exp(a_ - b_ / T) * Value(1.0, "Pa");
  }

private:
  Value Tc_, Pc_, omega_, a_, b_;
};

void fillComponents(int n) {
  components.clear();
  for (int i = 0; i < n; ++i) {
    const double s = n > 1 ? static_cast<double>(i) / (n - 1) : 0.0;
    PureData d;
    d.mw = 16.0 + 126.0 * s;
    d.cpv = 35000.0 + 200000.0 * s;
    components.add(new BenchComponent(std::string("C").append(std::to_string(i)), d, 190.6 + 427.0 * s,
                                      46e5 - 25e5 * s, 0.011 + 0.48 * s, 21.0 + s,
                                      1200.0 + 3200.0 * s));
  }
}

std::unique_ptr<StreamOne> makeStream(const std::string &phase, int n) {
  Velta::Streams::registerStreamTypes();
  Velta::Phases::registerPhaseTypes();
  Defaults options("S", "bench");
  options.setString("embeddedTypePhase", phase);
  std::unique_ptr<Node> node =
      NodeFactory().create("StreamOne", options, 0, nullptr, nullptr, nullptr);
  std::unique_ptr<StreamOne> s(dynamic_cast<StreamOne *>(node.release()));
  std::vector<double> x(static_cast<std::size_t>(n), 1.0 / n);
  setComposition(dynamic_cast<Phase::MassMolar &>(*s->Tphase), x, 1.0);
  s->P = Value(5e5, "Pa");
  s->T = Value(450.0, "K");
  return s;
}

const char *phaseOf(int model) { return model == 0 ? "PhaseIdeal<vapor>" : "PhasePengRobinson<vapor>"; }

// One property pass at the state of a solved PT flash.
void BM_PropertyPass(benchmark::State &state) {
  const int n = static_cast<int>(state.range(0));
  fillComponents(n);
  auto s = makeStream(phaseOf(static_cast<int>(state.range(1))), n);
  s->go(1);
  for (auto _ : state)
    s->Tphase->calculateProperties(s->P, s->T, true);
  state.SetLabel(phaseOf(static_cast<int>(state.range(1))));
  s.reset();
  components.clear();
}

// A flash from the estimates (a fresh estimate in every repetition):
// PT at 450 K, PH at the enthalpy of that state from a 400 K estimate.
void flash(benchmark::State &state, bool ph) {
  const int n = static_cast<int>(state.range(0));
  fillComponents(n);
  auto s = makeStream(phaseOf(static_cast<int>(state.range(1))), n);
  s->go(1);
  const Value H = dynamic_cast<Phase::MassMolarProperties &>(*s->Tphase).H;
  if (ph)
    s->flashoption = "PH";
  unsigned iterations = 0;
  for (auto _ : state) {
    s->setPristine();
    s->T = Value(ph ? 400.0 : 450.0, "K");
    dynamic_cast<Phase::MassMolarProperties &>(*s->Tphase).H = H;
    s->go(1);
    iterations = s->iterations();
  }
  state.counters["iterations"] = iterations;
  state.SetLabel(phaseOf(static_cast<int>(state.range(1))));
  state.SetComplexityN(n);
  s.reset();
  components.clear();
}

void BM_FlashPT(benchmark::State &state) { flash(state, false); }
void BM_FlashPH(benchmark::State &state) { flash(state, true); }

// The Rachford-Rice flash at P and T with correlation K-values, as a
// two-phase stream drives it (no phase properties).
class FeedFlash : public FlashVlT {
public:
  explicit FeedFlash(int n) : z(static_cast<std::size_t>(n), Value(1.0 / n)) {
    vaporIndex_ = 1;
    liquidIndex_ = 2;
    addUnknowns({}, {}, {});
  }
  const Value &calculateTotalP(const Value &) override { return none; }
  const Value &calculateTotalRho() override { return none; }
  const Value &calculateTotalH() override { return none; }
  const Value &calculateTotalS() override { return none; }
  void prepare_residuals() override {
    prepare_Flash_residuals();
    calculateSplit(Vector(&z));
  }
  int calculateResidualsEos(std::vector<Value> &, unsigned) override { return 0; }
  void estimateEos(const Value &, const Value &) override {}
  int calculateResidualsEquilibrium(std::vector<Value> &y, unsigned start) override {
    y[start] = calculateResidualsRrg();
    return 1;
  }
  void estimateEquilibrium(const Value &, const Value &) override {
    computealfaminmax(Vector(&z));
    centeralfa();
    calculateSplit(Vector(&z));
  }
  std::vector<Value> z;
  Value none;
};

void BM_RachfordRicePT(benchmark::State &state) {
  const int n = static_cast<int>(state.range(0));
  fillComponents(n);
  {
    FeedFlash f(n);
    const Value P(5e5, "Pa"), T(350.0, "K");
    f.setFlash_(1, P, T, true);
    unsigned iterations = 0;
    for (auto _ : state) {
      f.estimate(P, T);
      f.solveFlash(false, false);
      iterations = f.iterations();
    }
    state.counters["iterations"] = iterations;
    state.counters["alfa"] = f.alfa.value();
    state.SetComplexityN(n);
  }
  components.clear();
}

void sizes(benchmark::internal::Benchmark *b) {
  for (int model : {0, 1})
    for (int n : {2, 10, 50})
      b->Args({n, model});
}

} // namespace

BENCHMARK(BM_PropertyPass)->Apply(sizes)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_FlashPT)->Apply(sizes)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_FlashPH)->Apply(sizes)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RachfordRicePT)->Arg(2)->Arg(10)->Arg(50)->Unit(benchmark::kMicrosecond);
