// The column ratings: tray geometry at the defaults, the sieve-tray worked
// example and its variants, the hole-area factor and the minimum-gas-load
// parameter chosen for the rating.
//
// Reference values: a direct /usr/bin/python3 evaluation of the same
// formulas (math module), which reproduces the worked example's figures
// Aac 0.647649, phi 0.0885644, Un 0.926427, C 0.0817506, F 0.945694,
// Unflood 1.54429, FA 0.599906, kGM 0.250117, Unweep 0.306408, WA 3.02351.

#include "ColumnTestSupport.h"

#include "velta/flowsheet/ColumnSection.h"
#include "velta/flowsheet/RatingColumnTraySieve.h"
#include "velta/utility/Error.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

using namespace columntest;

namespace {

class ColumnRatingTest : public ComponentsFixture {
protected:
  void SetUp() override {
    verbosityGlobal = 0;
    useConstantVolatilityPair();
    flashdrumtest::registerDrumTypes();
    registerFlowsheetTypes();
    Defaults options("ENRICH", "section");
    options.setInteger("nStage", 1);
    options.setString("typeT", "FlashDegasser<StreamIdealLiquidVapor>");
    options.setString("typeU", "StreamLiquid").setString("typeV", "StreamVapor");
    section_.reset(dynamic_cast<ColumnSection *>(
        NodeFactory().create("ColumnSection", options, 0, nullptr, nullptr, nullptr).release()));
    rating_.reset(dynamic_cast<RatingColumnTraySieve *>(
        NodeFactory()
            .create("RatingColumnTraySieve", Defaults("ratings[0]", "rating"), 0, nullptr,
                    nullptr, nullptr)
            .release()));
    rating_->target_ = section_.get();
  }
  void TearDown() override {
    verbosityGlobal = 2;
    rating_.reset();
    section_.reset();
    ComponentsFixture::TearDown();
  }

  // The worked example's layout and section means.
  void workedExample(double G = 1.2, double L = 2.4) {
    RatingColumnTraySieve &r = *rating_;
    r.lw = Value(0.7, "m");
    r.hw = Value(0.05, "m");
    r.hcl = Value(0.04, "m");
    r.d = Value(0.005, "m");
    r.p = Value(0.016, "m");
    ColumnSection &s = *section_;
    s.Gtop = Value(G, "kg/s");
    s.Gbtm = Value(G, "kg/s");
    s.Ltop = Value(L, "kg/s");
    s.Lbtm = Value(L, "kg/s");
    // Means 2 and 800 kg/m3, 0.02 N/m.
    s.rhoGtop = Value(1.5, "kg/m3");
    s.rhoGbtm = Value(2.5, "kg/m3");
    s.rhoLtop = Value(790.0, "kg/m3");
    s.rhoLbtm = Value(810.0, "kg/m3");
    s.sigmaTop = Value(0.018, "N/m");
    s.sigmaBtm = Value(0.022, "N/m");
  }
  std::vector<std::string> errors() const { return rating_->errors.value(); }
  std::vector<std::string> warnings() const { return rating_->warnings.value(); }

  std::unique_ptr<ColumnSection> section_;
  std::unique_ptr<RatingColumnTraySieve> rating_;
};

TEST_F(ColumnRatingTest, GeometryAtTheDefaultLayout) {
  RatingColumnTraySieve &r = *rating_;
  r.calculateGeometry();
  const struct {
    const Quantity &q;
    double expected;
  } rows[] = {{r.Ac, 0.7853981633974483},  {r.theta, 1.0471975511965979},
              {r.Ad, 0.022646518426519893}, {r.Aac, 0.7401051265444085},
              {r.lL, 0.8660254037844386},   {r.phi, 0.22672492052927723},
              {r.Ah, 0.17806933618012674}};
  for (const auto &row : rows)
    EXPECT_NEAR(row.q.value(), row.expected, 1e-15) << row.q.tag();
  EXPECT_EQ(warnings(), std::vector<std::string>{"Out of range relative free area: too high"});
  // The full calculation adds the pitch warning (p / d = 2).
  section_->Gtop = Value(1.0, "kg/s");
  r.calculate(0);
  EXPECT_EQ(warnings(), (std::vector<std::string>{
                            "Out of range relative free area: too high",
                            "Out of range relative free area: too high",
                            "Out of range hole pitch: ratio to hole diameter too low"}));
}

TEST_F(ColumnRatingTest, SieveWorkedExampleAndItsVariants) {
  workedExample();
  RatingColumnTraySieve &r = *rating_;
  r.calculate(0);
  const struct {
    const Quantity &q;
    double expected;
  } rows[] = {{r.Aac, 0.6476494100910716},    {r.phi, 0.08856442208174893},
              {r.Un, 0.9264271543389946},     {r.FLG, 0.1},
              {r.Unflood, 1.544286477345411}, {r.FA, 0.5999062790030378},
              {r.kGM, 0.2501171512462027},    {r.Unweep, 0.3064079459780732},
              {r.WA, 3.023508908627619},      {r.kGm, 0.5865730719585083},
              {r.k, 0.14671198575599595}};
  for (const auto &row : rows)
    EXPECT_NEAR(row.q.value(), row.expected, 1e-12) << row.q.tag();
  EXPECT_EQ(r.Unflood.uom(), Value(1.0, "m/s").uom());
  EXPECT_TRUE(errors().empty());
  EXPECT_TRUE(warnings().empty()) << warnings().front();

  // Twice the loads: close to flooding, past its safe limit.
  workedExample(2.0, 4.0);
  r.warnings.value().clear();
  r.calculate(0);
  EXPECT_NEAR(r.FA.value(), 0.9998437983383963, 1e-12);
  EXPECT_EQ(r.kGM.value(), 0.0);
  EXPECT_EQ(r.k.value(), 0.0);
  EXPECT_TRUE(errors().empty());
  EXPECT_EQ(warnings(), std::vector<std::string>{"Flooding safe limit reached"});

  // Small holes: the first weeping formula, and F = 1 past phi = 0.1007.
  workedExample();
  r.d = Value(0.002, "m");
  r.p = Value(0.006, "m");
  r.warnings.value().clear();
  r.calculate(0);
  EXPECT_NEAR(r.phi.value(), 0.10076663134634543, 1e-12);
  EXPECT_NEAR(r.Unweep.value(), 0.3186520671969709, 1e-12);
  EXPECT_NEAR(r.Unflood.value(), 1.6329662482768739, 1e-12);
  EXPECT_EQ(warnings(), std::vector<std::string>{"Out of range hole diameter: too low"});

  // Large holes: outside the hole range and Fair's diagram.
  workedExample();
  r.d = Value(0.014, "m");
  r.p = Value(0.045, "m");
  r.warnings.value().clear();
  r.calculate(0);
  EXPECT_EQ(warnings(), (std::vector<std::string>{
                            "Out of range hole diameter: too high",
                            "Can not apply Fair diagram: holes are too large"}));
}

TEST_F(ColumnRatingTest, NoGasWeeps) {
  workedExample(0.0, 2.4);
  rating_->calculate(0);
  EXPECT_EQ(rating_->Un.value(), 0.0);
  EXPECT_EQ(rating_->FA.value(), 0.0);
  EXPECT_EQ(rating_->WA.value(), 0.0);
  EXPECT_EQ(rating_->kGm.value(), 0.0);
  EXPECT_EQ(rating_->kGM.value(), 1.0);
  EXPECT_EQ(errors(), std::vector<std::string>{"Weeping limit reached"});
}

// Fair's hole-area factor: the power law below phi = 0.1007 (0.798 at 0.06,
// 0.905 at 0.08, 0.997 at 0.10, the handbook's 0.8, 0.9 and 1.0), one from
// where the law reaches one: continuous at the switch.
TEST_F(ColumnRatingTest, HoleAreaFactorLaw) {
  const struct {
    double phi, F;
  } rows[] = {{0.045, 0.7042}, {0.06, 0.7981},  {0.08, 0.9048},  {0.10, 0.99701},
              {0.1006, 0.9998}, {0.1007, 1.0}, {0.12, 1.0},     {0.15, 1.0}};
  for (const auto &row : rows) {
    const double law = 2.71804797 * std::pow(row.phi, 0.4355359815);
    const double F = RatingColumnTraySieve::holeAreaFactor(Value(row.phi)).value();
    EXPECT_NEAR(F, std::min(law, 1.0), 1e-15) << row.phi;
    EXPECT_NEAR(F, row.F, 2e-3) << row.phi;
  }
  const double switchPhi = std::pow(1.0 / 2.71804797, 1.0 / 0.4355359815);
  EXPECT_NEAR(switchPhi, 0.10067839883251868, 1e-12);
  EXPECT_NEAR(RatingColumnTraySieve::holeAreaFactor(Value(switchPhi * (1 - 1e-9))).value(), 1.0,
              1e-8);
}

// kGm = 1 - 1 / (eta WA) clipped at 0: the mirror of kGM = 1 - FA / eta.
TEST_F(ColumnRatingTest, MinimumGasLoadParameter) {
  const struct {
    double WA, eta, kGm;
  } rows[] = {{0.0, 0.8, 0.0},  {0.5, 0.8, 0.0}, {1.25, 0.8, 0.0},
              {2.5, 0.8, 0.5},  {5.0, 0.8, 0.75}, {1e12, 0.8, 1.0}};
  for (const auto &row : rows)
    EXPECT_NEAR(RatingColumnTraySieve::minimumGasLoad(Value(row.WA), Value(row.eta)).value(),
                row.kGm, 1e-9)
        << row.WA;
}

TEST_F(ColumnRatingTest, WithoutTargetIsAnError) {
  rating_->target_ = nullptr;
  EXPECT_THROW(rating_->calculate(0), ErrorRunTime);
}

} // namespace
