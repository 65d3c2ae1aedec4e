// The isentropic compressor and expander against the ideal-gas formula,
// the pressure options, and a Peng-Robinson gas against its own PS flash.

#include "UnitTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace unittest;
using Velta::Utility::FlashMode;

namespace {

// Air as an ideal gas with constant cp = 3.5 R (R = 8314.4 J/(kmol*K)),
// 1 kmol/s. Hand calculation (python3):
//   T2s = 300 K * 10^(R/cp) = 300 * 10^(1/3.5) = 579.2093186649751 K
//   Wfis = cp (T2s - 300 K) = 8125102.85687824 W
//   with theta = 0.8: Wf = Wfis / 0.8, T2 = 300 + (T2s - 300) / 0.8 = 649.0116483312188 K
class IdealAir : public ComponentsFixture {
protected:
  void SetUp() override {
    PureData air;
    air.mw = 28.96;
    air.cpv = cp;
    use({{"Air", air}});
  }
  std::unique_ptr<Stream> air(const std::string &tag, double T, double P) {
    auto s = makeStreamOne("PhaseIdeal<vapor>", tag);
    setFeed(*s, {1.0}, T, P, 1.0);
    s->go(1);
    return s;
  }
  std::unique_ptr<Compressor> connect(Stream &in, Stream &out) {
    auto c = makeUnit<Compressor>("Compressor");
    std::string port = "in";
    c->attach(&in, port);
    port = "out";
    c->attach(&out, port);
    return c;
  }
  static constexpr double cp = 3.5 * 8314.4;
  static constexpr double T2s = 579.2093186649751;
  static constexpr double Wis = 8125102.85687824;
};

TEST_F(IdealAir, CompressionFromOneToTenBarFollowsTheIsentropicFormula) {
  auto in = air("IN", 300.0, 1e5);
  auto out = makeStreamOne("PhaseIdeal<vapor>", "OUT");
  auto c = connect(*in, *out);
  c->P = Value(1e6, "Pa");
  c->theta = Value(0.8);
  c->go(1, 0);
  ASSERT_TRUE(c->errors.value().empty()) << c->errors.value().front();
  EXPECT_NEAR(c->Tis.value(), T2s, 1e-4);
  EXPECT_NEAR(c->Wfis.value() / Wis, 1.0, 1e-7);
  EXPECT_NEAR(c->Wf.value(), c->Wfis.value() / 0.8, 1e-6);
  EXPECT_NEAR(c->Wm.value(), c->Wf.value() / 0.9, 1e-6);
  EXPECT_NEAR(c->We.value(), c->Wm.value() / 0.9, 1e-6);
  EXPECT_NEAR(c->duty.value(), -c->Wf.value(), 1e-6);
  EXPECT_NEAR(c->T.value(), 649.0116483312188, 1e-4);
  EXPECT_NEAR(out->T.value(), c->T.value(), 0.0);
  EXPECT_DOUBLE_EQ(out->P.value(), 1e6);
  EXPECT_DOUBLE_EQ(c->deltaP.value(), -9e5);
  EXPECT_DOUBLE_EQ(c->cr.value(), 10.0);
  EXPECT_NEAR(c->i.value(), c->We.value() / (380.0 * 0.9 * std::sqrt(3.0)), 1e-6);
  EXPECT_DOUBLE_EQ(c->alfa.value(), 1.0);
  // The entropy produced by the losses: cp ln(T2 / T2s) per kmol.
  EXPECT_NEAR(c->deltas.value(), -cp * std::log(649.0116483312188 / T2s), 1e-2);
  c->checkBalance();
  EXPECT_NEAR(c->cduty.value() / c->duty.value(), 1.0, 1e-8);
  EXPECT_TRUE(c->warnings.value().empty());
  EXPECT_EQ(c->nCalculations.value(), 1);
  EXPECT_EQ(c->locationFromPort("out1"), 1);
  EXPECT_EQ(c->locationFromPort("in1"), 0);
  // A second set-up registers the two flash systems only once.
  const unsigned size = c->size();
  c->setup_of();
  EXPECT_EQ(c->size(), size);
  EXPECT_EQ(size, out->objectiveFunction()->size() + c->isentropic()->objectiveFunction()->size());
}

TEST_F(IdealAir, ExpanderMultipliesByTheEfficiencies) {
  auto in = air("IN", T2s, 1e6);
  auto out = makeStreamOne("PhaseIdeal<vapor>", "OUT");
  auto c = connect(*in, *out);
  c->P = Value(1e5, "Pa");
  c->theta = Value(0.8);
  c->go(1, 0);
  ASSERT_TRUE(c->errors.value().empty()) << c->errors.value().front();
  EXPECT_NEAR(c->Tis.value(), 300.0, 1e-4);
  EXPECT_NEAR(c->Wfis.value() / -Wis, 1.0, 1e-7);
  EXPECT_NEAR(c->Wf.value(), 0.8 * c->Wfis.value(), 1e-6);
  EXPECT_NEAR(c->Wm.value(), 0.9 * c->Wf.value(), 1e-6);
  EXPECT_NEAR(c->We.value(), 0.9 * c->Wm.value(), 1e-6);
  EXPECT_GT(c->duty.value(), 0.0);
  EXPECT_NEAR(out->T.value(), T2s - 0.8 * (T2s - 300.0), 1e-4);
}

TEST_F(IdealAir, PressureDropOptionClipsAndUnknownOptionsStop) {
  auto in = air("IN", 300.0, 1e6);
  auto out = makeStreamOne("PhaseIdeal<vapor>", "OUT");
  auto c = connect(*in, *out);
  c->option = "D";
  c->deltaP = Value(9.5e5, "Pa");
  c->go(1, 0);
  EXPECT_TRUE(has(c->warnings, "DeltaP clipped"));
  EXPECT_NEAR(c->P.value(), 1e5, 1e-6);
  EXPECT_NEAR(out->P.value(), 1e5, 1e-6);

  auto idle = makeStreamOne("PhaseIdeal<vapor>", "IDLE");
  auto d = connect(*in, *idle);
  d->option = "K";
  d->go(1, 0);
  EXPECT_TRUE(has(d->errors, "pressure option K unsupported, P or D expected, nothing to do"));
  EXPECT_EQ(d->nCalculations.value(), 0);
  EXPECT_DOUBLE_EQ(idle->T.value(), 298.15);
}

// Methane-propane 60/40 as a Peng-Robinson vapour, compressed without
// losses: the outlet is the state of an independent PS flash at the outlet
// pressure and the inlet's molar entropy.
class PengRobinsonGas : public ComponentsFixture {
protected:
  void SetUp() override { useMethanePropane(); }
};

TEST_F(PengRobinsonGas, CompressorFollowsTheIsentropicFlash) {
  auto in = makeStreamOne("PhasePengRobinson<vapor>", "IN");
  setFeed(*in, {0.6, 0.4}, 350.0, 2e5);
  in->go(1);
  auto out = makeStreamOne("PhasePengRobinson<vapor>", "OUT");
  auto c = makeUnit<Compressor>("Compressor");
  std::string port = "in";
  c->attach(in.get(), port);
  port = "out";
  c->attach(out.get(), port);
  c->P = Value(1e6, "Pa");
  for (Quantity *eta : {&c->theta, &c->etaM, &c->etaE})
    *eta = Value(1.0);
  c->go(1, 0);
  ASSERT_TRUE(c->errors.value().empty()) << c->errors.value().front();

  auto reference = makeStreamOne("PhasePengRobinson<vapor>", "REF");
  setFeed(*reference, {0.6, 0.4}, 400.0, 1e6);
  props(*reference).S = props(*in).S;
  reference->flashoption = "PS";
  reference->go(1);
  ASSERT_TRUE(reference->errors.value().empty());
  EXPECT_NEAR(c->Tis.value(), reference->T.value(), 1e-6);
  EXPECT_NEAR(c->T.value(), c->Tis.value(), 1e-5);
  EXPECT_NEAR(props(*out).S.value(), props(*in).S.value(), 1e-3);
  const double ndot = props(*in).ndot.value();
  EXPECT_NEAR(c->Wfis.value(), ndot * (props(*reference).H.value() - props(*in).H.value()), 1.0);
  EXPECT_DOUBLE_EQ(c->We.value(), c->Wfis.value());
  EXPECT_GT(c->T.value(), 350.0);
}

} // namespace
