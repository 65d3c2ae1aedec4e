// The mixer, the divider and multiplier, and the selector on single-phase
// ideal-gas streams.

#include "UnitTestSupport.h"

#include <gtest/gtest.h>

#include <vector>

using namespace unittest;

namespace {

// Pure heavy component (18 kg/kmol, vapour cp 30000 J/(kmol*K), ideal gas):
// the molar enthalpy is linear in T and independent of P.
class SimpleUnits : public ComponentsFixture {
protected:
  void SetUp() override { use(lightAndHeavy()); }
  std::unique_ptr<Stream> gas(const std::string &tag, double kgPerS, double T, double P) {
    auto s = makeStreamOne("PhaseIdeal<vapor>", tag);
    setFeed(*s, {0.0, 1.0}, T, P, kgPerS / 18.0);
    s->go(1);
    return s;
  }
  static void join(Connectivity &unit, Stream &s, std::string port) { unit.attach(&s, port); }
};

TEST_F(SimpleUnits, MixerTakesTheLowestPressureAndTheMassWeightedTemperature) {
  auto mixer = makeUnit<Mixer>("Mixer");
  auto a = gas("A", 1.0, 300.0, 3e5), b = gas("B", 3.0, 400.0, 2e5), idle = gas("Z", 0.0, 900.0, 1e3);
  auto out = makeStreamOne("PhaseIdeal<vapor>", "OUT");
  join(*mixer, *a, "in");
  join(*mixer, *b, "in");
  join(*mixer, *idle, "in");
  join(*mixer, *out, "out");
  mixer->go(1, 0);
  ASSERT_TRUE(mixer->errors.value().empty()) << mixer->errors.value().front();
  EXPECT_NEAR(mixer->Tavg.value(), 375.0, 1e-12);
  EXPECT_DOUBLE_EQ(out->P.value(), 2e5);
  // Constant cp: the mixed enthalpy sits at (1 * 300 + 3 * 400) / 4 K.
  EXPECT_NEAR(out->T.value(), 375.0, 1e-6);
  EXPECT_NEAR(out->Tphase->mdot.value(), 4.0, 1e-12);
  EXPECT_GT(mixer->NITER.value(), -1);
  EXPECT_EQ(mixer->nCalculations.value(), 1);
  EXPECT_EQ(mixer->objectiveFunction(), out->objectiveFunction());
  // A simultaneous step leaves NITER alone.
  mixer->NITER = 77;
  mixer->go(2, 0);
  EXPECT_EQ(mixer->NITER.value(), 77);

  auto lonely = makeUnit<Mixer>("Mixer");
  lonely->go(1, 0);
  EXPECT_TRUE(has(lonely->errors, "no outlet connected, nothing to do"));
  EXPECT_EQ(lonely->nCalculations.value(), 0);
}

TEST_F(SimpleUnits, MixerFlashesAMassOnlyOutletAtTheMeanTemperature) {
  auto mixer = makeUnit<Mixer>("Mixer");
  std::unique_ptr<Stream> ins[2];
  const double mdot[] = {1.0, 3.0}, T[] = {300.0, 400.0};
  for (int i = 0; i < 2; ++i) {
    ins[i] = makeStream("StreamSimpleLiquid", "I" + std::to_string(i));
    ins[i]->Tphase->mdot = Value(mdot[i], "kg/s");
    ins[i]->Tphase->w[0] = Value(0.5);
    ins[i]->Tphase->w[1] = Value(0.5);
    ins[i]->T = Value(T[i], "K");
    ins[i]->go(1);
    join(*mixer, *ins[i], "in");
  }
  auto out = makeStream("StreamSimpleLiquid", "OUT");
  join(*mixer, *out, "out");
  mixer->go(1, 0);
  ASSERT_TRUE(mixer->errors.value().empty()) << mixer->errors.value().front();
  EXPECT_EQ(out->flashoption.value(), "PT");
  EXPECT_NEAR(out->T.value(), 375.0, 1e-9);
  EXPECT_NEAR(out->Tphase->mdot.value(), 4.0, 1e-12);
}

struct SplitCase {
  const char *name;
  std::vector<double> given;
  std::vector<double> expected;
};

class DividerFractions : public SimpleUnits, public testing::WithParamInterface<SplitCase> {};

TEST_P(DividerFractions, OutletsCarryTheEffectiveFractions) {
  const SplitCase &c = GetParam();
  Defaults options("D1", "divider");
  options.setInteger("nOutlets", static_cast<int>(c.given.size()));
  auto divider = makeUnit<Divider>("Divider", options);
  auto in = gas("IN", 18.0, 350.0, 2e5);
  std::vector<std::unique_ptr<Stream>> outs;
  join(*divider, *in, "in");
  for (std::size_t i = 0; i < c.given.size(); ++i) {
    outs.push_back(makeStreamOne("PhaseIdeal<vapor>", "O" + std::to_string(i)));
    join(*divider, *outs.back(), "out");
    if (!c.given.empty() && c.given[0] != -9.0)
      divider->outSplit[i] = Value(c.given[i]);
  }
  divider->go(1, 0);
  ASSERT_TRUE(divider->errors.value().empty()) << divider->errors.value().front();
  for (std::size_t i = 0; i < outs.size(); ++i) {
    flash(*outs[i]);
    EXPECT_NEAR(outs[i]->Tphase->totalFlow().value(), c.expected[i], 1e-14) << i;
    EXPECT_NEAR(outs[i]->T.value(), 350.0, 1e-6);
    EXPECT_EQ(outs[i]->flashoption.value(), "PH");
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DividerFractions,
    testing::Values(SplitCase{"DefaultThirds", {-9.0, 0, 0}, {1.0 / 3, 1.0 / 3, 1.0 / 3}},
                    SplitCase{"LastTakesTheRemainder", {0.2, 0.3, 0.9}, {0.2, 0.3, 0.5}},
                    SplitCase{"ScaledAboveOne", {0.8, 0.6, 0.0}, {0.8 / 1.4, 0.6 / 1.4, 0.0}},
                    SplitCase{"ZeroSumGivesEqualShares", {0.5, -0.5}, {0.5, 0.5}},
                    SplitCase{"NegativeCountsAsZero", {-0.2, 0.7, 0.1}, {0.0, 0.7, 0.3}},
                    SplitCase{"SingleOutletCopies", {0.3}, {1.0}}),
    [](const auto &info) { return std::string(info.param.name); });

TEST_F(SimpleUnits, DividerWithAnOutletCountOtherThanDeclaredDoesNotCalculate) {
  auto divider = makeUnit<Divider>("Divider");
  auto in = gas("IN", 1.0, 350.0, 2e5);
  auto out = makeStreamOne("PhaseIdeal<vapor>", "O1");
  join(*divider, *in, "in");
  join(*divider, *out, "out");
  divider->go(1, 0);
  EXPECT_TRUE(has(divider->errors, "1 outlets connected, 2 expected, nothing to do"));
  EXPECT_EQ(divider->nCalculations.value(), 0);
}

TEST_F(SimpleUnits, MultiplierCopiesAndDeclaresTheCreatedMass) {
  auto multiplier = makeUnit<Multiplier>("Multiplier");
  auto in = gas("IN", 2.0, 350.0, 2e5);
  std::vector<std::unique_ptr<Stream>> outs;
  join(*multiplier, *in, "in");
  for (int i = 0; i < 3; ++i) {
    outs.push_back(makeStreamOne("PhaseIdeal<vapor>", "O" + std::to_string(i)));
    join(*multiplier, *outs.back(), "out");
  }
  multiplier->go(1, 0);
  for (auto &out : outs) {
    flash(*out);
    EXPECT_NEAR(out->Tphase->mdot.value(), 2.0, 1e-12);
  }
  EXPECT_NEAR(multiplier->massBalance().value(), -4.0, 1e-12);
  multiplier->calculateBalance();
  EXPECT_NEAR(multiplier->cmdot.value(), -4.0, 1e-12);
  EXPECT_NEAR(multiplier->energyBalance().value(), multiplier->cduty.value(), 1e-6);
  multiplier->checkBalance();
  EXPECT_TRUE(multiplier->warnings.value().empty());
}

TEST_F(SimpleUnits, SelectorPassesTheChosenInletAndDeclaresTheOthers) {
  auto selector = makeUnit<Selector>("Selector");
  auto a = gas("A", 1.0, 300.0, 2e5), b = gas("B", 2.0, 400.0, 3e5), c = gas("C", 4.0, 500.0, 4e5);
  auto out = makeStreamOne("PhaseIdeal<vapor>", "OUT");
  for (Stream *s : {a.get(), b.get(), c.get()})
    join(*selector, *s, "in");
  join(*selector, *out, "out");
  // The initial -1 selects nothing: an error of the unit, no abort.
  selector->go(1, 0);
  EXPECT_TRUE(has(selector->errors, "selected inlet -1 is not a connected inlet, nothing to do"));
  EXPECT_EQ(selector->nCalculations.value(), 0);
  selector->selectedInlet = 1;
  selector->go(1, 0);
  flash(*out);
  EXPECT_NEAR(out->Tphase->mdot.value(), 2.0, 1e-12);
  EXPECT_NEAR(out->T.value(), 400.0, 1e-6);
  EXPECT_DOUBLE_EQ(out->P.value(), 3e5);
  EXPECT_NEAR(selector->massBalance().toDouble("kg/s"), 5.0, 1e-12);
  selector->calculateBalance();
  EXPECT_NEAR(selector->cmdot.value(), selector->massBalance().value(), 1e-12);
  EXPECT_NEAR(selector->cduty.value(), selector->energyBalance().value(), 1e-3);
}

} // namespace
