// Cost of one compressor calculation (mixing, an isentropic PS flash and
// the outlet PH flash) and of one separator calculation (mixing and two
// outlet PT flashes) on a 10-component Peng-Robinson vapour, each also as
// a multiple of one PT flash of the same stream measured in the same run
// (counter "PT flashes").
//
// Components: closed-form routes (constant heat capacities) with critical
// constants spread between a methane-like and a decane-like fluid.

#include "TestPhases.h"

#include "velta/phases/PhaseTypes.h"
#include "velta/streams/StreamTypes.h"
#include "velta/persistency/NodeFactory.h"
#include "velta/phases/MassMolarProperties.h"
#include "velta/phases/PhaseTypes.h"
#include "velta/streams/StreamOne.h"
#include "velta/units/Compressor.h"
#include "velta/units/Separator.h"

#include <benchmark/benchmark.h>

#include <chrono>
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

private:
  Value Tc_, Pc_, omega_;
};

constexpr int nComponents = 10;

void fillComponents() {
  components.clear();
  for (int i = 0; i < nComponents; ++i) {
    const double s = static_cast<double>(i) / (nComponents - 1);
    PureData d;
    d.mw = 16.0 + 126.0 * s;
    d.cpv = 35000.0 + 200000.0 * s;
    components.add(new BenchComponent(std::string("C").append(std::to_string(i)), d, 190.6 + 427.0 * s,
                                      46e5 - 25e5 * s, 0.011 + 0.48 * s));
  }
}

std::unique_ptr<StreamOne> makeStream(const std::string &tag) {
  Velta::Phases::registerPhaseTypes();
  Velta::Streams::registerStreamTypes();
  Defaults options(tag, "bench");
  options.setString("embeddedTypePhase", "PhasePengRobinson<vapor>");
  std::unique_ptr<Node> node =
      NodeFactory().create("StreamOne", options, 0, nullptr, nullptr, nullptr);
  std::unique_ptr<StreamOne> s(dynamic_cast<StreamOne *>(node.release()));
  std::vector<double> x(nComponents, 1.0 / nComponents);
  setComposition(dynamic_cast<Phase::MassMolar &>(*s->Tphase), x, 1.0);
  s->P = Value(5e5, "Pa");
  s->T = Value(450.0, "K");
  return s;
}

// Seconds of one PT flash of the feed from a fresh estimate, averaged.
double ptFlashSeconds() {
  auto s = makeStream("PT");
  s->go(1);
  const int repetitions = 200;
  const auto start = std::chrono::steady_clock::now();
  for (int k = 0; k < repetitions; ++k) {
    s->setPristine();
    s->T = Value(450.0, "K");
    s->go(1);
  }
  const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
  return elapsed.count() / repetitions;
}

void reportMultiple(benchmark::State &state, double unitSeconds, double flashSeconds) {
  state.counters["PT flashes"] = unitSeconds / flashSeconds;
}

template <class Unit> double timeUnit(benchmark::State &state, Unit &unit) {
  double total = 0.0;
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
    unit.go(1, 0);
    total += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  }
  return state.iterations() ? total / static_cast<double>(state.iterations()) : 0.0;
}

void BM_FlashPT(benchmark::State &state) {
  fillComponents();
  {
    auto s = makeStream("PT");
    s->go(1);
    for (auto _ : state) {
      s->setPristine();
      s->T = Value(450.0, "K");
      s->go(1);
    }
    state.counters["iterations"] = s->iterations();
  }
  components.clear();
}

void BM_Compressor(benchmark::State &state) {
  fillComponents();
  {
    const double flash = ptFlashSeconds();
    auto in = makeStream("IN");
    in->go(1);
    auto out = makeStream("OUT");
    Compressor compressor(Defaults("K1", "compressor"), 0, nullptr, nullptr, nullptr);
    std::string port = "in";
    compressor.attach(in.get(), port);
    port = "out";
    compressor.attach(out.get(), port);
    compressor.P = Value(20e5, "Pa");
    compressor.theta = Value(0.8);
    reportMultiple(state, timeUnit(state, compressor), flash);
    state.counters["T out"] = compressor.T.value();
  }
  components.clear();
}

void BM_Separator(benchmark::State &state) {
  fillComponents();
  {
    const double flash = ptFlashSeconds();
    auto in = makeStream("IN");
    in->go(1);
    auto top = makeStream("TOP");
    auto bottom = makeStream("BOTTOM");
    Defaults options("X1", "separator");
    options.setInteger("nOutlets", 2);
    Separator separator(options, 0, nullptr, nullptr, nullptr);
    std::string port = "in";
    separator.attach(in.get(), port);
    for (Stream *out : {static_cast<Stream *>(top.get()), static_cast<Stream *>(bottom.get())}) {
      port = "out";
      separator.attach(out, port);
    }
    for (int j = 0; j < nComponents; ++j)
      separator.outSplit[0][static_cast<std::size_t>(j)] = Value(1.0 - 0.1 * j);
    separator.T = Value(440.0, "K");
    separator.P = Value(4e5, "Pa");
    reportMultiple(state, timeUnit(state, separator), flash);
  }
  components.clear();
}

} // namespace

BENCHMARK(BM_FlashPT)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Compressor)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Separator)->Unit(benchmark::kMicrosecond);
