// The component splitter: normalisation of the splits, outlet flows and
// compositions, the outlet temperature and duty, and the "S" pressures.

#include "UnitTestSupport.h"

#include <gtest/gtest.h>

#include <vector>

using namespace unittest;

namespace {

// Two ideal-gas components with cp 30000 J/(kmol*K) and h0 = 0: the duty
// of a cooling from 350 K to 320 K is 1 kmol/s * 30000 * 30 = 9e5 W.
class SeparatorUnit : public ComponentsFixture {
protected:
  void SetUp() override { use(lightAndHeavy()); }
  std::unique_ptr<Separator> build(int n, std::vector<std::unique_ptr<Stream>> &outs,
                                   std::unique_ptr<Stream> &in) {
    Defaults options("X1", "separator");
    options.setInteger("nOutlets", n);
    auto sep = makeUnit<Separator>("Separator", options);
    in = makeStreamOne("PhaseIdeal<vapor>", "IN");
    setFeed(*in, {0.5, 0.5}, 350.0, 1e6, 1.0);
    in->go(1);
    std::string port = "in";
    sep->attach(in.get(), port);
    for (int i = 0; i < n; ++i) {
      outs.push_back(makeStreamOne("PhaseIdeal<vapor>", "O" + std::to_string(i)));
      port = "out";
      sep->attach(outs.back().get(), port);
    }
    return sep;
  }
  static const Phase::MassMolarProperties &total(const std::unique_ptr<Stream> &s) {
    return props(*s);
  }
};

TEST_F(SeparatorUnit, SplitsAreNormalisedPerComponentAndTheLastTakesTheRemainder) {
  std::vector<std::unique_ptr<Stream>> outs;
  std::unique_ptr<Stream> in;
  auto sep = build(3, outs, in);
  EXPECT_EQ(sep->maxNOut.value(), 3);
  EXPECT_EQ(sep->maxNOut.tag(), "maxNOut");
  // Component 0: 0.6 + 0.7 > 1, all three divided by 1.5. Component 1:
  // the negative split counts as 0, the last outlet gets 1 - 0.3.
  const double given[3][2] = {{0.6, 0.3}, {0.7, -0.1}, {0.2, 5.0}};
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 2; ++j)
      sep->outSplit[i][j] = Value(given[i][j]);
  sep->T = Value(320.0, "K");
  sep->P = Value(8e5, "Pa");
  sep->go(1, 0);
  ASSERT_TRUE(sep->errors.value().empty()) << sep->errors.value().front();
  const double splits[3][2] = {{0.4, 0.3}, {7.0 / 15.0, -0.1}, {2.0 / 15.0, 0.7}};
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 2; ++j)
      EXPECT_NEAR(sep->outSplit[i][j].value(), splits[i][j], 1e-15) << i << "," << j;
  const double flows[3][2] = {{0.2, 0.15}, {7.0 / 30.0, 0.0}, {1.0 / 15.0, 0.35}};
  for (int i = 0; i < 3; ++i) {
    const double n = flows[i][0] + flows[i][1];
    EXPECT_NEAR(total(outs[i]).ndot.value(), n, 1e-14) << i;
    EXPECT_NEAR(total(outs[i]).x[0].value(), flows[i][0] / n, 1e-14) << i;
    EXPECT_NEAR(outs[i]->T.value(), 320.0, 1e-6) << i;
    EXPECT_DOUBLE_EQ(outs[i]->P.value(), 8e5);
  }
  EXPECT_DOUBLE_EQ(sep->deltaP.value(), 2e5);
  EXPECT_DOUBLE_EQ(sep->deltaPstream[2].value(), 2e5);
  EXPECT_NEAR(sep->outSplitTotal[1].value(), 7.0 / 15.0, 1e-15);
  EXPECT_NEAR(sep->Tavg.value(), 350.0, 1e-12);
  EXPECT_NEAR(sep->duty.value(), 9e5, 1e-2);
  sep->checkBalance();
  EXPECT_TRUE(sep->warnings.value().empty());
  EXPECT_EQ(sep->size(), 6u);
}

TEST_F(SeparatorUnit, OptionSGivesEachOutletItsOwnPressure) {
  std::vector<std::unique_ptr<Stream>> outs;
  std::unique_ptr<Stream> in;
  auto sep = build(2, outs, in);
  sep->option = "S";
  sep->deltaPstream[0] = Value(1e5, "Pa");
  sep->deltaPstream[1] = Value(3e5, "Pa");
  // Nothing to the first outlet: no flow, the inlet's composition.
  sep->outSplit[0][0] = Value(0.0);
  sep->outSplit[0][1] = Value(0.0);
  setFeed(*in, {0.25, 0.75}, 350.0, 1e6, 1.0);
  sep->go(1, 0);
  EXPECT_DOUBLE_EQ(outs[0]->P.value(), 9e5);
  EXPECT_DOUBLE_EQ(outs[1]->P.value(), 7e5);
  EXPECT_DOUBLE_EQ(sep->deltaP.value(), 3e5);
  EXPECT_DOUBLE_EQ(sep->P.value(), 7e5);
  EXPECT_EQ(total(outs[0]).ndot.value(), 0.0);
  EXPECT_DOUBLE_EQ(total(outs[0]).x[0].value(), 0.25);
  EXPECT_NEAR(total(outs[1]).ndot.value(), 1.0, 1e-15);
  // A drop beyond beta * Pin is limited to Pin * (1 - beta), silently.
  sep->deltaPstream[1] = Value(9.5e5, "Pa");
  sep->go(1, 0);
  EXPECT_NEAR(outs[1]->P.value(), 1e5, 1e-9);
  EXPECT_TRUE(sep->warnings.value().empty());
}

TEST_F(SeparatorUnit, ConnectionFaultsStopTheCalculation) {
  std::vector<std::unique_ptr<Stream>> outs;
  std::unique_ptr<Stream> in;
  auto sep = build(3, outs, in);
  sep->detach("out2");
  sep->go(1, 0);
  EXPECT_TRUE(has(sep->errors, "not all outlets are properly connected, nothing to do"));
  EXPECT_EQ(sep->nCalculations.value(), 0);
  Defaults options("X2", "separator");
  options.setInteger("nOutlets", 2);
  auto bare = makeUnit<Separator>("Separator", options);
  bare->go(1, 0);
  EXPECT_TRUE(has(bare->errors, "no inlet connected, nothing to do"));
  options.setInteger("nOutlets", 1);
  Defaults one("X3", "separator");
  one.setInteger("nOutlets", 1);
  EXPECT_THROW(makeUnit<Separator>("Separator", one), ErrorRunTime);
}

} // namespace
