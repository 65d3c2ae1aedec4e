// Cost of one flash drum calculation (two inlets mixed, outlet pressure,
// the outlet flash solved by the drum's own solver, duty and entropy
// power) under "PT" and "PH" on a 10-component Peng-Robinson vapour-liquid
// stream, as a multiple of one PT flash of the same stream measured in the
// same run (counter "PT flashes").
//
// "warm": a drum calculated again with its set point moved a little (T by
// 1 K, the duty by 1 %) at every calculation, as in the passes of a
// flowsheet after the first (the solver starts from the previous outlet).
// "cold": a
// pristine drum each time (estimate, then solve), like the reference flash,
// which starts from a fresh estimate and an ideal pre-solve.
//
// Components: closed-form routes (constant heat capacities) with critical
// constants spread between a methane-like and a decane-like fluid, and
// Wilson's vapour pressures psat = Pc exp(5.373 (1 + omega)(1 - Tc/T)) for
// the ideal K-values.

#include "TestPhases.h"

#include "velta/persistency/NodeFactory.h"
#include "velta/phases/PhaseTypes.h"
#include "velta/streams/Stream.h"
#include "velta/streams/StreamTypes.h"
#include "velta/units/FlashDrum.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <memory>
#include <string>

using namespace phasetest;

namespace {

class BenchComponent : public LinearComponent {
public:
  BenchComponent(const std::string &name, const PureData &data, double Tc, double Pc,
                 double omega)
      : LinearComponent(name, data), Tc_(Tc, "K"), Pc_(Pc, "Pa"), omega_(omega) {}
  const Value &Tc() const override { return Tc_; }
  const Value &Pc() const override { return Pc_; }
  const Value &omega() const override { return omega_; }
  Value psat(const Value &T, double *dpsatdT = nullptr,
             double *d2psatdT2 = nullptr) const override {
    const double a = 5.373 * (1.0 + omega_.value()), tc = Tc_.value(), t = T.value();
    const double p = Pc_.value() * std::exp(a * (1.0 - tc / t));
    if (dpsatdT)
      *dpsatdT = p * a * tc / (t * t);
    if (d2psatdT2)
      *d2psatdT2 = p * (a * tc / (t * t)) * (a * tc / (t * t)) - 2.0 * p * a * tc / (t * t * t);
    return Pc_ * exp(Value(a) * (dimensionlessOne - Tc_ / T));
  }

private:
  Value Tc_, Pc_, omega_;
};

constexpr int nComponents = 10;
constexpr double Tdrum = 330.0, Pdrum = 10e5;

void fillComponents() {
  components.clear();
  for (int i = 0; i < nComponents; ++i) {
    const double s = static_cast<double>(i) / (nComponents - 1);
    PureData d;
    d.mw = 16.0 + 126.0 * s;
    d.cpv = 35000.0 + 200000.0 * s;
    components.add(new BenchComponent(std::string("C").append(std::to_string(i)), d,
                                      190.6 + 427.0 * s, 46e5 - 25e5 * s, 0.011 + 0.48 * s));
  }
}

std::unique_ptr<Stream> makeStream(const std::string &tag, double T, double P) {
  Velta::Phases::registerPhaseTypes();
  Velta::Streams::registerStreamTypes();
  std::unique_ptr<Node> node = NodeFactory().create(
      "StreamPengRobinsonLiquidVapor", Defaults(tag, "bench"), 0, nullptr, nullptr, nullptr);
  std::unique_ptr<Stream> s(dynamic_cast<Stream *>(node.release()));
  std::vector<double> x(nComponents, 1.0 / nComponents);
  setComposition(dynamic_cast<Phase::MassMolar &>(*s->Tphase), x, 1.0);
  s->T = Value(T, "K");
  s->P = Value(P, "Pa");
  return s;
}

// Seconds of one PT flash of the drum's outlet state from a fresh
// estimate, averaged.
double ptFlashSeconds() {
  auto s = makeStream("PT", Tdrum, Pdrum);
  s->go(1);
  const int repetitions = 50;
  const auto start = std::chrono::steady_clock::now();
  for (int k = 0; k < repetitions; ++k) {
    s->setPristine();
    s->T = Value(Tdrum, "K");
    s->go(1);
  }
  const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
  return elapsed.count() / repetitions;
}

void BM_FlashPT(benchmark::State &state) {
  verbosityGlobal = 0;
  fillComponents();
  {
    auto s = makeStream("PT", Tdrum, Pdrum);
    s->go(1);
    for (auto _ : state) {
      s->setPristine();
      s->T = Value(Tdrum, "K");
      s->go(1);
    }
    state.counters["alfa"] = s->phases()[0]->fraction.value();
    state.counters["iterations"] = s->NITER_NLEFlash.value();
  }
  components.clear();
}

// option "PT" or "PH"; cold: a pristine drum at every calculation.
void drumBenchmark(benchmark::State &state, const char *option, bool cold) {
  verbosityGlobal = 0;
  fillComponents();
  {
    const double flash = ptFlashSeconds();
    auto gas = makeStream("GAS", 360.0, 12e5);
    auto oil = makeStream("OIL", 300.0, 11e5);
    gas->go(1);
    oil->go(1);
    auto out = makeStream("OUT", Tdrum, Pdrum);
    FlashDrum drum(Defaults("D1", "drum"), 0, nullptr, nullptr, nullptr);
    for (Stream *in : {gas.get(), oil.get()}) {
      std::string port = "in";
      drum.attach(in, port);
    }
    std::string port = "out";
    drum.attach(out.get(), port);
    drum.option = "PT";
    drum.T = Value(Tdrum, "K");
    drum.P = Value(Pdrum, "Pa");
    drum.setup();
    drum.go(1, 0);
    // The PH drum is given the PT drum's duty, so both reach the same outlet.
    drum.option = option;
    drum.go(1, 0);
    const double duty = drum.duty.value();
    double total = 0.0;
    bool moved = false;
    for (auto _ : state) {
      if (cold) {
        drum.setPristine();
        out->T = Value(Tdrum, "K");
      } else {
        moved = !moved;
        drum.T = Value(Tdrum + (moved ? 1.0 : 0.0), "K");
        drum.duty = Value(duty * (moved ? 1.01 : 1.0), "W");
      }
      const auto start = std::chrono::steady_clock::now();
      drum.go(1, 0);
      total += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }
    if (state.iterations())
      state.counters["PT flashes"] = total / static_cast<double>(state.iterations()) / flash;
    state.counters["T out"] = drum.T.value();
    state.counters["alfa"] = drum.alfa.value();
    state.counters["drum iterations"] = drum.NITER.value();
    state.counters["errors"] = static_cast<double>(drum.errors.value().size());
  }
  components.clear();
}

void BM_DrumPT(benchmark::State &state) { drumBenchmark(state, "PT", false); }
void BM_DrumPH(benchmark::State &state) { drumBenchmark(state, "PH", false); }
void BM_DrumPTCold(benchmark::State &state) { drumBenchmark(state, "PT", true); }
void BM_DrumPHCold(benchmark::State &state) { drumBenchmark(state, "PH", true); }

} // namespace

BENCHMARK(BM_FlashPT)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_DrumPT)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_DrumPH)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_DrumPTCold)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_DrumPHCold)->Unit(benchmark::kMicrosecond);
