// Equation-of-state phases in a stream with two of them: their unknowns,
// bounds and pressure residuals.

#include "StreamTestSupport.h"

#include "velta/core/MyCast.h"
#include "velta/phases/EosInterface.h"
#include "velta/phases/Generic.h"
#include "velta/streams/Flash.h"

#include <gtest/gtest.h>

using namespace streamtest;
using Velta::Utility::FlashMode;

namespace {

// A vapour and a liquid Peng-Robinson phase under a molar total phase, each
// flashed at its own composition (the stream's two sides).
class TwoEosStream : public Stream, public Flash {
public:
  explicit TwoEosStream(Defaults d)
      : Object(d, -1, nullptr, nullptr, nullptr), Model(d, -1, nullptr, nullptr, nullptr),
        Stream(d, -1, nullptr, nullptr, nullptr) {
    phases_.assign(2, nullptr);
    Tphase = addPhase("PhaseTotal", "Tphase", "Total phase", -1, nullptr);
    my_cast<Phase::Total *>(Tphase, "TwoEosStream")->setStream(this);
    addPhase("PhasePengRobinson<vapor>", "Vphase", "Vapor phase", 0, nullptr);
    addPhase("PhasePengRobinson<liquid>", "Lphase", "Liquid phase", 1, nullptr);
    postconstruct_(-1);
  }
  Stream &assign(const Stream &) override { return *this; }
  Stream &assignFrom(const Stream &) override { return *this; }
  MassBalanceMode representation() const override { return MassBalanceMode::Nx; }
  std::unique_ptr<Node> clone() const override { return nullptr; }
  ObjectiveNleAd *objectiveFunction() override { return this; }
  int calculateResidualsEquilibrium(std::vector<Value> &, unsigned) override { return 0; }
  Vector X(int pi) override { return Vector(&generic(pi).x); }
  const Value &sumx(int) override { return one; }
  void prepare_residuals() override {
    for (Phase::Mass *p : phases_)
      dynamic_cast<Phase::Generic &>(*p).prepare(FlashBase::T);
  }
  Phase::Generic &generic(int pi) { return dynamic_cast<Phase::Generic &>(*findPhase(pi)); }

  Value one = Value(1.0);
};

class StreamEos : public ComponentsFixture {
protected:
  void SetUp() override {
    Velta::Phases::registerPhaseTypes();
    useMethanePropane();
  }
};

TEST_F(StreamEos, EveryFurtherPhaseIsAtTheFlashPressure) {
  TwoEosStream s(Defaults("S", "two phases"));
  ASSERT_EQ(s.size(), 4u);
  EXPECT_EQ(s.unknownTag(3), "beta[1]");
  for (Phase::Mass *p : s.phases())
    EXPECT_DOUBLE_EQ(p->fraction.value(), 0.5);
  auto &liquid =
      dynamic_cast<Phase::EosInterface &>(s.generic(2).model());
  EXPECT_EQ(s.scaler(3).xmin(), liquid.betamin());
  for (int pi : {1, 2})
    setComposition(dynamic_cast<Phase::MassMolar &>(*s.findPhase(pi)), {0.3, 0.7});

  s.setFlash_(static_cast<int>(FlashMode::RT), Value(10.0, "kmol/m3"), Value(300.0, "K"), true);
  s.FlashBase::T = Value(300.0, "K");
  s.FlashBase::P = Value(2e6, "Pa");
  s.Pset_ = Value(1e5, "Pa"); // RT has no pressure set point: never compared with
  s.estimateEos(s.FlashBase::P, s.FlashBase::T);
  s.prepare_residuals();
  std::vector<Value> y(4);
  EXPECT_EQ(s.calculateResidualsEos(y, 2), 2);
  const Value &Pliquid = s.generic(2).model().calculate_P_(Value(1.0, "kmol/m3"),
                                                           s.FlashBase::T, s.X(2), s.one);
  EXPECT_NEAR(y[3].value(), Pliquid.value() / 2e6 - 1.0, 1e-12);
  // The first phase carries the density specification.
  EXPECT_NEAR(y[2].value(), s.calculateTotalRho().value() / 10.0 - 1.0, 1e-12);
}

} // namespace
