// The recycles passed round alone between the sequential passes and the
// simultaneous solution: the rule that ends the rounds of a recycle, and a
// feed -> mixer -> divider recycle whose rounds either converge the cut or
// stop as soon as a round no longer reduces its error, handing the rest to
// the Newton solution.

#include "FlowsheetTestSupport.h"

#include "velta/units/Divider.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace flowsheettest;

namespace {

constexpr double infinity = std::numeric_limits<double>::infinity();
constexpr double nan = std::numeric_limits<double>::quiet_NaN();

struct RuleCase {
  const char *name;
  double error, previous;
  bool continues;
};

void PrintTo(const RuleCase &c, std::ostream *os) { *os << c.name; }

class RecycleRule : public testing::TestWithParam<RuleCase> {};

TEST_P(RecycleRule, GoesOnOnlyWhileEachStepReducesTheErrorEnough) {
  const RuleCase &c = GetParam();
  EXPECT_EQ(FlowSheet::recycleContinues(c.error, c.previous, 1e-6), c.continues);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RecycleRule,
    testing::Values(RuleCase{"FirstStep", 0.5, infinity, true},
                    RuleCase{"Reduced", 0.5, 1.0, true},
                    RuleCase{"ReducedTooLittle", 0.95, 1.0, false},
                    RuleCase{"Diverging", 2.0, 1.0, false},
                    RuleCase{"Converged", 9e-7, 1.0, false},
                    RuleCase{"NaN", nan, 1.0, false},
                    RuleCase{"NaNBefore", 0.5, nan, false},
                    RuleCase{"Infinite", infinity, infinity, false}),
    [](const testing::TestParamInfo<RuleCase> &info) { return std::string(info.param.name); });

struct RoundsCase {
  const char *name;
  double share; // of the divider's inlet sent back
  bool convergesAlone;
};

void PrintTo(const RoundsCase &c, std::ostream *os) { *os << c.name; }

class RecycleRounds : public ComponentsFixture, public testing::WithParamInterface<RoundsCase> {
protected:
  void SetUp() override { use(lightAndHeavy()); }
};

// Feed 1 kmol/s of 30 % light gas at 350 K and 1 bar, 0.3 * 2 + 0.7 * 18 =
// 13.2 kg/s; a recycle of the share s of the mixer's outlet carries
// s / (1 - s) * 13.2 kg/s. Each round of the recycle alone is one step of
// direct substitution, which shrinks the change of the flows by s: s = 0.6
// goes on to the tolerance; s = 0.95 goes on only while the growing flows
// make the relative error fall faster, and stops once a round takes off no
// more than 0.95 of it (the tolerance is some 270 rounds away); the Newton
// solution finishes.
TEST_P(RecycleRounds, ConvergeTheCutOrStopAndLeaveItToNewton) {
  const RoundsCase &c = GetParam();
  auto fs = makeFlowSheet<FlowSheet>("RecycleFlowSheet");
  Stream &feed = streamOf(*fs, "F");
  setFeed(feed, {0.3, 0.7}, 350.0, 1e5, 1.0);
  feed.setFlash(static_cast<int>(Velta::Utility::FlashMode::PT));
  auto &divider = dynamic_cast<Divider &>(fs->child("D"));
  divider.outSplit[0] = Value(1.0 - c.share);
  divider.outSplit[1] = Value(c.share);
  fs->addCut("R");
  const double recycle = c.share / (1.0 - c.share) * 13.2;
  const Stream &r = streamOf(*fs, "R");

  testing::internal::CaptureStdout();
  fs->go(1, 0);
  ASSERT_GT(fs->seqErr.value(), fs->seqTol.value()); // five passes are not enough
  const int runs = fs->convergeRecycles(0);
  testing::internal::GetCapturedStdout();
  // The pass runs source, M, D and sink; each round M and D.
  if (c.convergesAlone) {
    EXPECT_GT(runs, 4 + 2 * 5);
    EXPECT_NEAR(r.Tphase->mdot.value() / recycle, 1.0, 1e-5);
  } else {
    EXPECT_LT(runs, 4 + 2 * 20);
    EXPECT_GT(std::fabs(r.Tphase->mdot.value() / recycle - 1.0), 1e-2);
  }

  testing::internal::CaptureStdout();
  fs->go(2, 0);
  testing::internal::GetCapturedStdout();
  for (const std::string &e : fs->errors.value())
    ADD_FAILURE() << e;
  EXPECT_NEAR(r.Tphase->mdot.value(), recycle, 1e-8 * recycle);
  EXPECT_NEAR(streamOf(*fs, "P").Tphase->mdot.value(), 13.2, 1e-9 * 13.2);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RecycleRounds,
    testing::Values(RoundsCase{"Converging", 0.6, true}, RoundsCase{"SlowlyReducing", 0.95, false}),
    [](const testing::TestParamInfo<RoundsCase> &info) { return std::string(info.param.name); });

} // namespace
