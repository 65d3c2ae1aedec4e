// A binary column solved from its CMO start against an independent
// stage-by-stage calculation.
//
// Reference: six stages (feed stage 3), total condenser (COND at vapour
// fraction 0), partial reboiler, RR = BR = 2, 1 kmol/s of subcooled feed
// z = 0.5 at 1 bar, relative volatility 2.5, so Ve = Vs = 1.2, Le = 0.8,
// Ls = 1.8, D = 0.4, B = 0.6 kmol/s. The component balances of the six
// stages and the reboiler with y = 2.5 x / (1 + 1.5 x) were solved with
// scipy.optimize.fsolve (/usr/bin/python3, residual 2e-16); the stage
// temperatures are the bubble points at 1 bar of
// psat = p0 exp(10 (1 - 298.15 / T)) (scipy.optimize.brentq). Overall
// balance: 0.4 xD + 0.6 xB = 0.5.

#include "ColumnTestSupport.h"

#include "velta/flowsheet/ColumnSection.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

using namespace columntest;

namespace {

const double xD = 0.9333942959601382;
const double xB = 0.2110704693599083;
// Condenser, stages 1 to 6, reboiler.
const double T[] = {274.14814264181257, 275.5274422562216, 277.431218144584,
                    279.7108485348574,  282.02085408432384, 283.67472353576494,
                    286.4163821995797,  290.16870693303696};
const double V[] = {0.0, 1.2, 1.2, 1.2, 1.2, 1.2, 1.2, 1.2};
const double L[] = {1.2, 0.8, 0.8, 0.8, 1.8, 1.8, 1.8, 0.6};

class ColumnSolutionTest : public ComponentsFixture {
protected:
  void SetUp() override {
    verbosityGlobal = 0;
    useConstantVolatilityPair();
    flashdrumtest::registerDrumTypes();
    registerFlowsheetTypes();
    column_ = makeColumn(columnOptions(6, 3));
    column_->P1 = Value(1e5, "Pa");
    Stream &feed = streamOf(*column_, "F");
    setFeed(feed, {0.5, 0.5}, 250.0, 1e5, 1.0);
    feed.go(1);
    column_->setup();
  }
  void TearDown() override {
    verbosityGlobal = 2;
    column_.reset();
    for (const char *f : {"ENRICH_Q1.dot", "ENRICH_Q2.dot", "STRIP_Q1.dot", "STRIP_Q2.dot"})
      std::remove(f);
    ComponentsFixture::TearDown();
  }
  void expectProfiles(double tolerance, const char *when) {
    Column &c = *column_;
    ASSERT_EQ(c.T.size(), 8u);
    for (std::size_t i = 0; i < 8; ++i) {
      EXPECT_NEAR(c.T[i].value(), T[i], 1e3 * tolerance) << when << " T[" << i << "]";
      EXPECT_NEAR(c.V[i].value(), V[i], tolerance) << when << " V[" << i << "]";
      EXPECT_NEAR(c.L[i].value(), L[i], tolerance) << when << " L[" << i << "]";
    }
    EXPECT_NEAR(c.Q("D:Tphase.x[0]").value(), xD, tolerance) << when;
    EXPECT_NEAR(c.Q("B:Tphase.x[0]").value(), xB, tolerance) << when;
    EXPECT_NEAR(c.BRs.value(), 2.0, 10 * tolerance) << when;
  }

  std::unique_ptr<Column> column_;
};

// The sequential passes alone: the first at the CMO vapour fractions, the
// rest with adiabatic stages, run to their fixed point, which is the stage
// solution itself: Newton's method then has next to nothing left to do.
TEST_F(ColumnSolutionTest, SequentialPassesEndAtTheStageSolution) {
  column_->go(1, 0);
  EXPECT_LT(column_->seqErr.value(), 1e-7);
  EXPECT_EQ(column_->S("ENRICH:S[0].option"), "PH");
  expectProfiles(1e-3, "sequential");
  column_->go(2, 0);
  EXPECT_LE(column_->NITER.value(), 1);
  expectProfiles(1e-3, "simultaneous");
}

// The calculation: the sequential passes from the CMO start, then Newton's
// method with adiabatic stages. Heat capacities of 1 kJ/(kmol K) against
// heats of vaporization of 30 MJ/kmol keep the molar overflow constant to
// a few parts in 10^4.
TEST_F(ColumnSolutionTest, CalculationConvergesToTheStageSolution) {
  column_->calculate(0);
  for (const std::string &e : column_->errors.value())
    EXPECT_EQ(e.find("convergence"), std::string::npos) << e;
  expectProfiles(1e-3, "simultaneous");
  // Duties: the vapour condensed, the boil-up vaporized (inlet minus outlet).
  EXPECT_NEAR(column_->Q1.value() / (1.2 * 3e7), 1.0, 2e-3);
  EXPECT_NEAR(column_->QN.value() / (-1.2 * 3e7), 1.0, 2e-3);
  EXPECT_LT(column_->NITER.value(), 20);
  // The sections' end properties: the gas leaving and the liquid entering at
  // the top, the gas entering and the liquid leaving at the bottom.
  for (const char *tag : {"ENRICH", "STRIP"}) {
    auto &section = dynamic_cast<ColumnSection &>(column_->child(tag));
    EXPECT_EQ(section.Gtop.value(), section.Q("A:Tphase.mdot").value()) << tag;
    EXPECT_EQ(section.Gbtm.value(), section.Q("FA:Tphase.mdot").value()) << tag;
    EXPECT_EQ(section.Ltop.value(), section.Q("FB:Tphase.mdot").value()) << tag;
    EXPECT_EQ(section.Lbtm.value(), section.Q("B:Tphase.mdot").value()) << tag;
    EXPECT_EQ(section.rhoLbtm.value(), section.Q("B:Tphase.rho").value()) << tag;
    // The test components' constant liquid and gas properties.
    EXPECT_NEAR(section.sigmaTop.value(), 0.07, 1e-12) << tag;
    EXPECT_NEAR(section.etaLbtm.value(), 1e-3, 1e-12) << tag;
    // The gas viscosity mixes the components' 1e-5 Pa s by a mixing rule.
    EXPECT_NEAR(section.etaGtop.value(), 1e-5, 2e-7) << tag;
    EXPECT_TRUE(section.errors.value().empty()) << tag << " " << section.errors.value().front();
  }
}


// Five components, 20 stages (feed stage 10), the same subcooled feed at
// 250 K, RR = BR = 2. The feed flash's start sweep ends at a two-phase point
// near 290 K, from where the adiabatic flash of the feed used to stall near
// 284 K with a vapour fraction below zero; Newton's method then stopped at
// its first iteration ("converged to a local minimum"). The feed is liquid
// at 1 bar (bubble point near 289 K), so the adiabatic feed flash gives
// back 250 K, and with the CMO flows (D = 0.4 kmol/s) and molar balances.
class ColumnFiveComponentsTest : public ComponentsFixture {};

TEST_F(ColumnFiveComponentsTest, TwentyStagesConverge) {
  verbosityGlobal = -20;
  useFiveComponents();
  flashdrumtest::registerDrumTypes();
  auto column = makeColumn(columnOptions(20, 10));
  column->P1 = Value(1e5, "Pa");
  Stream &feed = streamOf(*column, "F");
  setFeed(feed, std::vector<double>(5, 0.2), 250.0, 1e5, 1.0);
  feed.go(1);
  column->setup();
  column->calculate(0);
  for (const std::string &e : column->errors.value())
    EXPECT_EQ(e.find("convergence"), std::string::npos) << e;
  EXPECT_GT(column->NITER.value(), 0);
  EXPECT_LT(column->NITER.value(), 20);
  EXPECT_NEAR(column->Q("FFLASH.T").value(), 250.0, 1e-6);
  const double d = column->Q("D:Tphase.ndot").toDouble("kmol/s");
  const double b = column->Q("B:Tphase.ndot").toDouble("kmol/s");
  EXPECT_NEAR(d, 0.4, 2e-3);
  EXPECT_NEAR(d + b, 1.0, 1e-8);
  for (int i = 0; i < 5; ++i) {
    const std::string x = "Tphase.x[" + std::to_string(i) + "]";
    EXPECT_NEAR(d * column->Q("D:" + x).value() + b * column->Q("B:" + x).value(), 0.2, 1e-8)
        << i;
  }
  // The lightest component leaves mostly at the top, the heaviest at the bottom.
  EXPECT_GT(column->Q("D:Tphase.x[0]").value(), column->Q("B:Tphase.x[0]").value());
  EXPECT_LT(column->Q("D:Tphase.x[4]").value(), column->Q("B:Tphase.x[4]").value());
  verbosityGlobal = 2;
  column.reset();
  for (const char *f : {"ENRICH_Q1.dot", "ENRICH_Q2.dot", "STRIP_Q1.dot", "STRIP_Q2.dot"})
    std::remove(f);
}

} // namespace
