// Solving a feed -> mixer -> divider flowsheet whose divider returns part of
// its flow to the mixer through the cut recycle R: the sequential
// pre-computation, the switch to the simultaneous solution, the overall mass
// balance, and the refusal of an uncut cycle.

#include "FlowsheetTestSupport.h"

#include "velta/flowsheet/TaskGraph.h"
#include "velta/units/Divider.h"
#include "velta/utility/Error.h"
#include "velta/value/DerivativeContext.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace flowsheettest;

namespace {

class Solution : public ComponentsFixture {
protected:
  void SetUp() override { use(lightAndHeavy()); }
  // Feed 1 kmol/s of 30 % light gas at 350 K and 1 bar (below the recycle's
  // initial pressure, so that the mixer's lowest-pressure rule follows the
  // feed and the recycle pressure is determined); the divider sends
  // 40 % back.
  static std::unique_ptr<FlowSheet> recycle() {
    auto fs = makeFlowSheet<FlowSheet>("RecycleFlowSheet");
    Stream &feed = streamOf(*fs, "F");
    setFeed(feed, {0.3, 0.7}, 350.0, 1e5, 1.0);
    feed.setFlash(static_cast<int>(Velta::Utility::FlashMode::PT));
    auto &divider = dynamic_cast<Divider &>(fs->child("D"));
    divider.outSplit[0] = Value(0.6);
    divider.outSplit[1] = Value(0.4);
    return fs;
  }
};

TEST_F(Solution, RecycleConvergesSequentiallyThenSimultaneously) {
  auto fs = recycle();
  fs->addCut("R");
  testing::internal::CaptureStdout();
  fs->calculate(0);
  const std::string log = testing::internal::GetCapturedStdout();
  for (const std::string &e : fs->errors.value())
    ADD_FAILURE() << e;
  EXPECT_NE(log.find("Starting sequential pre-computation"), std::string::npos) << log;
  EXPECT_NE(log.find("Switch to simultaneous computation"), std::string::npos);
  // The sequential iterations print a falling error (the recycle shrinks
  // it by its split fraction 0.4 per pass).
  std::vector<double> errors;
  for (auto at = log.find(" Error = "); at != std::string::npos; at = log.find(" Error = ", at + 1))
    errors.push_back(std::stod(log.substr(at + 9)));
  ASSERT_GE(errors.size(), 3u) << log;
  for (std::size_t i = 2; i < errors.size(); ++i)
    EXPECT_LT(errors[i], errors[i - 1]) << i;
  EXPECT_NEAR(fs->seqErr.value(), errors.back(), 1e-5 * errors.back()); // printed to 6 digits
  EXPECT_GE(fs->NITER.value(), 0);
  EXPECT_EQ(fs->enableAssignment.size(), 4u); // P, H and two component flows
  // The recycle of a split fraction s of (feed + recycle) is r = s f / (1 - s).
  // The feed carries 0.3 * 2 + 0.7 * 18 = 13.2 kg/s, so r = 0.4 / 0.6 * 13.2
  // = 8.8 kg/s and 22 kg/s run through the mixer.
  const Stream &bis = streamOf(*fs, "Rbis");
  const Stream &r = streamOf(*fs, "R");
  const Stream &p = streamOf(*fs, "P");
  const Stream &feed = streamOf(*fs, "F");
  EXPECT_NEAR(r.Tphase->mdot.value(), 8.8, 1e-8);
  EXPECT_NEAR(bis.Tphase->mdot.value(), 8.8, 1e-8);
  EXPECT_NEAR(streamOf(*fs, "S1").Tphase->mdot.value(), 22.0, 1e-8);
  // Overall mass balance: feed in, product out.
  const double in = feed.Tphase->mdot.value(), out = p.Tphase->mdot.value();
  EXPECT_NEAR((in - out) / in, 0.0, 1e-9);
  EXPECT_NEAR(fs->massBalance().value(), 0.0, 1e-9);
  // Every unit balances.
  for (const char *unit : {"M", "D"}) {
    auto &vertex = dynamic_cast<VertexBase &>(fs->child(unit));
    vertex.checkBalance();
    EXPECT_TRUE(vertex.errors.value().empty()) << unit << ": " << vertex.errors.value().front();
  }
  // The recycle closes on itself.
  EXPECT_NEAR(bis.P.value(), r.P.value(), 1e-6);
  EXPECT_NEAR(bis.T.value(), 350.0, 1e-6);

  // A second calculation goes straight to the simultaneous solution.
  testing::internal::CaptureStdout();
  fs->calculate(0);
  const std::string again = testing::internal::GetCapturedStdout();
  EXPECT_EQ(again.find("Starting sequential pre-computation"), std::string::npos);
  EXPECT_TRUE(fs->errors.value().empty());
  EXPECT_NEAR(r.Tphase->mdot.value(), 8.8, 1e-8);
}

TEST_F(Solution, InactiveAssignmentKeepsItsVariableAndIsDegenerate) {
  auto fs = recycle();
  fs->addCut("R");
  testing::internal::CaptureStdout();
  fs->calculate(0);
  testing::internal::GetCapturedStdout();
  Stream &bis = streamOf(*fs, "Rbis");
  // Assignments: pressure, enthalpy, then the flows of Light and Heavy.
  fs->enableAssignment[2] = 0;
  const double light = bis.Tphase->flow(0).value();
  pushDerivativeContext(1);
  fs->calculateResidualsLocal();
  popDerivativeContext();
  EXPECT_EQ(fs->residuals[2].value(), 0.0);
  EXPECT_TRUE(has(fs->warnings, "degenerate equation Flow for component Light in stream FS:Rbis"));
  fs->directstep();
  EXPECT_EQ(bis.Tphase->flow(0).value(), light);
}

TEST_F(Solution, NestedRecycleFlowSheetConvergesInsideAnother) {
  auto outer = makeFlowSheet<FlowSheet>("NestedFlowSheet");
  auto &inner = dynamic_cast<FlowSheet &>(outer->child("IN"));
  EXPECT_FALSE(inner.isRoot());
  Stream &feed = streamOf(*outer, "F");
  setFeed(feed, {0.3, 0.7}, 350.0, 1e5, 1.0);
  feed.setFlash(static_cast<int>(Velta::Utility::FlashMode::PT));
  auto &divider = dynamic_cast<Divider &>(inner.child("D"));
  divider.outSplit[0] = Value(0.6);
  divider.outSplit[1] = Value(0.4);
  inner.addCut("R");
  testing::internal::CaptureStdout();
  outer->calculate(0);
  outer->calculate(0);
  testing::internal::GetCapturedStdout();
  for (const std::string &e : outer->errors.value())
    ADD_FAILURE() << e;
  for (const std::string &e : inner.errors.value())
    ADD_FAILURE() << e;
  // The inner feed is a copy of the outer one, the outer product a copy of
  // the inner one; the recycle as in the flowsheet on its own.
  EXPECT_NEAR(streamOf(inner, "F").Tphase->mdot.value(), 13.2, 1e-9);
  EXPECT_NEAR(streamOf(inner, "R").Tphase->mdot.value(), 8.8, 1e-8);
  const double in = feed.Tphase->mdot.value();
  const double out = streamOf(*outer, "P").Tphase->mdot.value();
  EXPECT_NEAR((in - out) / in, 0.0, 1e-9);
  EXPECT_NEAR(outer->massBalance().value(), 0.0, 1e-9);
  EXPECT_NEAR(inner.massBalance().value(), 0.0, 1e-9);
}

TEST_F(Solution, OnePassLocksEveryStreamOnceAtTheOutermostLevelOnly) {
  auto fs = recycle();
  fs->addCut("R");
  testing::internal::CaptureStdout();
  fs->go(3, 0);
  const int before = Precedence::nextLock();
  fs->go(3, 0);
  EXPECT_EQ(Precedence::nextLock() - before, 5); // F, S1, P, R, Rbis
  // The pass of a flowsheet inside another takes no locks.
  fs->taskGraph().singlePass(3, 1);
  testing::internal::GetCapturedStdout();
  EXPECT_EQ(Precedence::nextLock() - before, 5);
}

TEST_F(Solution, UncutCycleIsRefusedNamingTheStreamToCut) {
  auto fs = recycle();
  try {
    fs->calculate(0);
    FAIL() << "no error";
  } catch (const ErrorConnectivity &e) {
    EXPECT_NE(e.message().find("cut the stream(s) R"), std::string::npos) << e.message();
    EXPECT_NE(e.message().find("FlowSheet::go"), std::string::npos);
  }
}

TEST_F(Solution, SolutionModeOutsideTheRangeIsRefused) {
  auto fs = recycle();
  fs->addCut("R");
  EXPECT_THROW(fs->go(4, 0), ErrorSmartEnum);
}

} // namespace
