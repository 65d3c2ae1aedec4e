// An equilibrium-reaction flash drum inside a flowsheet: its extent is
// solved by the drum's own solver in the sequential pass and by the
// flowsheet's Newton solution, which collects the drum's residuals.

#include "FlowsheetTestSupport.h"
#include "ReactionTestSupport.h"

#include "velta/units/FlashDrum.h"
#include "velta/units/Reaction.h"
#include "velta/units/ReactionTypes.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace flowsheettest;

namespace {

// CO2 + H2 -> CO + H2O with the reverse-shift polynomial of the reaction:
// K(1000 K) = 0.692736133930606 and K(1100 K) = 1.00742746440514, so from
// 1 kmol/s each of CO2 and H2 the extent xi = sqrt K / (1 + sqrt K) is
// 0.454240141365074 and 0.500925001022128 kmol/s (mpmath).
constexpr double xi1000 = 0.454240141365074;
constexpr double xi1100 = 0.500925001022128;

class DrumInFlowSheet : public reactiontest::ReactionTest {
protected:
  // The reaction fixture silences the logs; other flowsheet tests read them.
  void SetUp() override {
    savedVerbosity_ = verbosityGlobal;
    ReactionTest::SetUp();
  }
  void TearDown() override {
    ReactionTest::TearDown();
    verbosityGlobal = savedVerbosity_;
  }
  std::unique_ptr<FlowSheet> shiftFlowSheet() {
    registerFlowsheetTypes();
    Velta::Units::registerReactionTypes();
    auto fs = makeFlowSheet<FlowSheet>("PlainFlowSheet");
    Defaults drum("R1", "shift drum");
    drum.setInteger("nReactions", 1);
    drum.setString("embeddedTypeReactions[0]", "ReactionWaterGasShiftEquilibrium");
    fs->addUnit("FlashDrum", drum);
    fs->addStream("StreamVapor", Defaults("F", "feed"), "source", "out", "R1", "in");
    fs->addStream("StreamVapor", Defaults("P", "product"), "R1", "out", "sink", "in");
    Stream &feed = streamOf(*fs, "F");
    std::vector<double> x(static_cast<std::size_t>(NCOMPONENTS), 0.0);
    x[reactiontest::CO2] = x[reactiontest::H2] = 0.5;
    setFeed(feed, x, 900.0, 2e5, 2.0);
    feed.setFlash(static_cast<int>(Velta::Utility::FlashMode::PT));
    FlashDrum &r1 = reactor(*fs);
    r1.T = Value(1000.0, "K");
    r1.P = Value(1.5e5, "Pa");
    fs->setup();
    return fs;
  }
  static FlashDrum &reactor(FlowSheet &fs) { return dynamic_cast<FlashDrum &>(fs.child("R1")); }

  int savedVerbosity_ = 0;
  static void expectExtent(FlowSheet &fs, double xi) {
    using namespace reactiontest;
    const Stream &p = streamOf(fs, "P");
    EXPECT_NEAR(reactor(fs).reactions[0]->conv.value(), xi, 1e-8);
    EXPECT_NEAR(p.Tphase->flow(CO).value(), xi, 1e-8);
    EXPECT_NEAR(p.Tphase->flow(CO2).value(), 1.0 - xi, 1e-8);
    EXPECT_NEAR(p.Tphase->flow(H2O).value(), xi, 1e-8);
  }
};

TEST_F(DrumInFlowSheet, EquilibriumSolvedSequentiallyAndSimultaneously) {
  auto fs = shiftFlowSheet();
  FlashDrum &r1 = reactor(*fs);
  fs->calculate(0);
  for (const std::string &e : fs->errors.value())
    ADD_FAILURE() << e;
  for (const std::string &e : r1.errors.value())
    ADD_FAILURE() << e;
  expectExtent(*fs, xi1000);
  const int drumIterations = r1.NITER.value();
  EXPECT_GT(drumIterations, 0);

  // A new set point solved by the flowsheet alone: the drum only supplies
  // its residuals (its own iteration count stays).
  r1.T = Value(1100.0, "K");
  fs->go(2, 0);
  for (const std::string &e : fs->errors.value())
    ADD_FAILURE() << e;
  expectExtent(*fs, xi1100);
  EXPECT_NEAR(streamOf(*fs, "P").T.value(), 1100.0, 1e-8);
  EXPECT_EQ(r1.NITER.value(), drumIterations);
  // The residuals of the state the flowsheet leaves: evaluated once more
  // at the solution, not those of the solver's last evaluation.
  for (const Value &residual : r1.residuals)
    EXPECT_LT(std::fabs(residual.value()), 1e-6);
  // The converged duty is the drum's enthalpy balance.
  Stream &f = streamOf(*fs, "F"), &p = streamOf(*fs, "P");
  auto h = [](Stream &s) {
    auto &t = dynamic_cast<Phase::MassMolarProperties &>(*s.Tphase);
    return t.mdot.value() * t.h.value();
  };
  const double balance = h(f) - h(p);
  EXPECT_NEAR(r1.duty.value(), balance, 1e-9 * std::fabs(balance));
}

} // namespace
