// The heat transfer unit on a process-side flash drum: duties, approaches
// and mean temperature differences for every pair of flow directions, the
// heat-balance factor, its ratings and its errors.

#include "PipeTestSupport.h"

#include <gtest/gtest.h>

using namespace pipetest;

namespace {

// COLD heats 1 kmol/s of liquid (cpl 75000 J/(kmol K)) from 300 to 350 K:
// duty1 = -3.75e6 W. HOT, the unit, cools 1 kmol/s of vapour (cpv 30000)
// from 400 to 380 K: its own duty 6e5 W.
class HeatTransferTest : public testing::Test {
protected:
  void SetUp() override {
    verbosityGlobal = 0;
    useWater();
    holder = std::make_unique<Holder>("FS");
  }
  void TearDown() override { components.clear(); }

  HeatTransfer &build(double Tin2, double T2, int nRatings = 0) {
    feedCold = single("StreamLiquid", "F1", 18.0, 300.0, 2e5);
    outCold = makeStream<Stream>("StreamLiquid", "O1");
    feedHot = single("StreamVapor", "F2", 18.0, Tin2, 1e5);
    outHot = makeStream<Stream>("StreamVapor", "O2");
    cold = &holder->add<FlashDrum>("FlashDrum", Defaults("COLD", "process side"));
    hot = &holder->add<HeatTransfer>("HeatTransfer", heatTransferOptions("HOT", nRatings));
    join(*cold, *feedCold, "in");
    join(*cold, *outCold, "out");
    join(*hot, *feedHot, "in");
    join(*hot, *outHot, "out");
    cold->setup();
    hot->setup();
    cold->T = Value(350.0, "K");
    cold->P = Value(2e5, "Pa");
    hot->T = Value(T2, "K");
    hot->P = Value(1e5, "Pa");
    return *hot;
  }
  void run() {
    cold->go(1, 0);
    hot->go(1, 0);
    ASSERT_TRUE(hot->errors.value().empty()) << messages(*hot);
  }

  std::unique_ptr<Holder> holder;
  std::unique_ptr<Stream> feedCold, outCold, feedHot, outHot;
  FlashDrum *cold = nullptr;
  HeatTransfer *hot = nullptr;
};

// Tin1 300, T1 350, Tin2 400, T2 380 K.
TEST_F(HeatTransferTest, ApproachesAndMeanDifferenceForEveryFlowPair) {
  const struct {
    const char *flow1, *flow2, *mtd;
    double approach1, approach2, MTD;
  } rows[] = {
      // Counter-current: (50 - 80) / ln(50/80).
      {"forward", "backward", "LmtdClipped", 50, 80, 63.8292943570333},
      {"backward", "forward", "LMTD", 50, 80, 63.8292943570333},
      // Co-current: (30 - 100) / ln(30/100).
      {"forward", "forward", "linear", 30, 100, 65},
      {"backward", "backward", "LMTD", 30, 100, 58.14084815577761},
      {"mixed", "forward", "CSTR", 30, 50, 50},
      {"mixed", "backward", "linearClipped", 30, 50, 40},
      {"forward", "mixed", "linear", 30, 30, 30},
      {"backward", "mixed", "LMTD", 30, 30, 30},
      {"mixed", "mixed", "linear", 30, 30, 30},
  };
  for (const auto &row : rows) {
    holder = std::make_unique<Holder>("FS");
    HeatTransfer &h = build(400.0, 380.0, 2);
    h.flowoption1 = row.flow1;
    h.flowoption2 = row.flow2;
    h.MTDoption = row.mtd;
    run();
    const std::string label = std::string(row.flow1) + "/" + row.flow2 + " " + row.mtd;
    EXPECT_NEAR(h.T1.value(), 350.0, 1e-9) << label;
    EXPECT_NEAR(h.T2.value(), 380.0, 1e-9) << label;
    EXPECT_NEAR(h.deltaT1.value(), -50.0, 1e-9) << label;
    EXPECT_NEAR(h.deltaT2.value(), 20.0, 1e-9) << label;
    EXPECT_NEAR(h.duty1.value(), -3.75e6, 1e-3) << label;
    EXPECT_NEAR(h.duty2.value(), 3.75e6, 1e-3) << label;
    EXPECT_NEAR(h.heat_losses.value(), 0.0, 1e-3) << label;
    EXPECT_NEAR(h.duty.value(), 6e5, 1e-3) << label;
    // The utility inlet is the hotter one: |duty2 / duty|.
    EXPECT_NEAR(h.factor.value(), 6.25, 1e-9) << label;
    EXPECT_NEAR(h.approach1.value(), row.approach1, 1e-9) << label;
    EXPECT_NEAR(h.approach2.value(), row.approach2, 1e-9) << label;
    EXPECT_NEAR(h.MTD.value(), row.MTD, 1e-9) << label;
    // Each rating: pre-calculated (U = 200), rated, calculated.
    ASSERT_EQ(h.ratings.size(), 2u);
    for (RatingHeat *rating : h.ratings) {
      const auto &counting = dynamic_cast<CountingRating &>(*rating);
      EXPECT_EQ(counting.preCalculations, 1) << label;
      const double Areq = 3.75e6 / (200.0 * row.MTD);
      EXPECT_NEAR(rating->Areq.value(), Areq, 1e-9 * Areq) << label;
      EXPECT_NEAR(rating->excessArea.value(), 10.0 / Areq, 1e-9) << label;
      EXPECT_EQ(rating->nCalculations.value(), 1) << label;
    }
  }
  EXPECT_EQ(hot->ratings[1]->tag(), "ratings[1]");
  EXPECT_EQ(hot->embeddedTypeRatings.size(), 2u);
}

// With eta 0.8, duty2 = 3.75e6 / 0.8 = 4.6875e6 W and heat_losses =
// 9.375e5 W. A hotter utility inlet takes |duty2 / duty|, an inlet at the
// process inlet's temperature |duty1 / duty|.
TEST_F(HeatTransferTest, FactorFollowsTheHotterInlet) {
  const struct {
    double Tin2, T2, factor;
  } rows[] = {{400.0, 380.0, 4.6875e6 / 6e5}, {300.0, 280.0, 3.75e6 / 6e5}};
  for (const auto &row : rows) {
    holder = std::make_unique<Holder>("FS");
    HeatTransfer &h = build(row.Tin2, row.T2);
    h.eta = Value(0.8);
    run();
    EXPECT_NEAR(h.duty2.value(), 4.6875e6, 1e-3) << row.Tin2;
    EXPECT_NEAR(h.heat_losses.value(), 9.375e5, 1e-3) << row.Tin2;
    EXPECT_NEAR(h.factor.value(), row.factor, 1e-9) << row.Tin2;
    EXPECT_TRUE(h.ratings.empty());
  }
}

TEST_F(HeatTransferTest, UnsupportedFlowDirectionsAndAMissingProcessSide) {
  HeatTransfer &h = build(400.0, 380.0);
  h.flowoption1 = "sideways";
  h.flowoption2 = "forward";
  cold->go(1, 0);
  try {
    h.go(1, 0);
    FAIL() << "an unsupported flow direction was accepted";
  } catch (ErrorBrowsing &error) {
    EXPECT_NE(error.message().find("Object forward not found in model HOT of type Flow "
                                   "Direction option second side"),
              std::string::npos)
        << error.message();
    EXPECT_NE(error.message().find("Called from function: HeatTransfer::go"), std::string::npos);
  }
  h.flowoption1 = "forward";
  h.processSide = "NOPE";
  try {
    h.go(1, 0);
    FAIL() << "a missing process side was accepted";
  } catch (ErrorRunTime &error) {
    EXPECT_NE(error.message().find("non-existant tag NOPE"), std::string::npos);
    EXPECT_NE(error.message().find("Called from function: HeatTransfer::go"), std::string::npos);
  }
  // A process side with two inlets has no one inlet temperature.
  h.processSide = "COLD";
  auto second = single("StreamLiquid", "F3", 18.0, 300.0, 2e5);
  join(*cold, *second, "in");
  cold->go(1, 0);
  try {
    h.go(1, 0);
    FAIL() << "a process side with two inlets was accepted";
  } catch (ErrorDynamicCast &error) {
    EXPECT_NE(error.message().find("Unsupported conversion of model COLD of type: FlashDrum to "
                                   "type: Many*"),
              std::string::npos)
        << error.message();
  }
}

} // namespace
