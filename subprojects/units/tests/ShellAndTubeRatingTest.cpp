// The shell-and-tube ratings under a heat transfer unit: the geometry and
// the overall coefficient, the area rating, and one rating of each kind
// created by name and calculated by its unit, against reference values
// computed once with /usr/bin/python3 (mpmath) from the streams' constant
// properties (ShellAndTubeReference.py).

#include "PipeTestSupport.h"

#include "velta/units/RatingHeatShellAndTube.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

using namespace pipetest;

namespace {

Defaults ratingOptions(const std::string &tag, const std::string &rating) {
  Defaults options(tag, "utility side");
  options.setString("processSide", "COLD");
  options.setInteger("nRatings", 1);
  options.setString("embeddedTypeRatings[0]", rating);
  return options;
}

// Process side COLD heats 18 kg/s of water (1000 kg/m3, mu 1e-3 Pa s, k 0.6
// W/(m K), cp 75000/18 J/(kg K)) from 300 to 350 K at 2 bar: duty1 =
// -3.75e6 W. The unit HOT takes 1.8 kg/s of steam at 400 K and 1 bar to the
// outlet stream type and temperature given.
class ShellAndTubeRatingTest : public testing::Test {
protected:
  void SetUp() override {
    verbosityGlobal = 0;
    useWater();
    holder = std::make_unique<Holder>("FS");
  }
  void TearDown() override { components.clear(); }

  template <class R>
  R &build(const std::string &outType, double T2) {
    feedCold = single("StreamLiquid", "F1", 18.0, 300.0, 2e5);
    outCold = makeStream<Stream>("StreamLiquid", "O1");
    feedHot = single("StreamVapor", "F2", 1.8, 400.0, 1e5);
    outHot = makeStream<Stream>(outType, "O2");
    cold = &holder->add<FlashDrum>("FlashDrum", Defaults("COLD", "process side"));
    hot = &holder->add<HeatTransfer>("HeatTransfer", ratingOptions("HOT", R::typeName));
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
    R &rating = dynamic_cast<R &>(*hot->ratings.at(0));
    rating.N = Value(100.0);
    rating.m = Value(2.0);
    rating.L = Value(3.0, "m");
    rating.D = Value(1.0, "m");
    rating.b = Value(4.0);
    rating.c = Value(0.25);
    rating.d1 = Value(0.3, "m");
    return rating;
  }
  void run() {
    cold->go(1, 0);
    hot->go(1, 0);
  }

  std::unique_ptr<Holder> holder;
  std::unique_ptr<Stream> feedCold, outCold, feedHot, outHot;
  FlashDrum *cold = nullptr;
  HeatTransfer *hot = nullptr;
};

// The defaults: di = 25 - 2 * 2 = 21 mm, At = pi 0.021^2 / 4, A = (0.021 +
// 0.025) pi / 2, ed = 0.0457 / 21. The inclination is asin(h / L): a
// vertical tube stands at 90 degrees (atan gave 45); a rise beyond the
// length is an error and taken as the length.
TEST_F(ShellAndTubeRatingTest, GeometryOfTheDefaultsAndTheInclination) {
  auto &rating = build<RatingHeatShellAndTubeHeater>("StreamLiquid", 370.0);
  rating.N = Value(1.0);
  rating.m = Value(1.0);
  rating.L = Value(1.0, "m");
  rating.calculateGeometry();
  EXPECT_NEAR(rating.di.value(), 0.021, 1e-15);
  EXPECT_NEAR(rating.At.value(), 3.46360590058275e-4, 1e-17);
  EXPECT_NEAR(rating.A.value(), 0.0722566310325652, 1e-15);
  EXPECT_NEAR(rating.ed.value(), 0.00217619047619048, 1e-16);
  EXPECT_EQ(rating.theta.value(), 0.0);
  const struct {
    double h, theta;
    bool error;
  } rows[] = {{1.0, std::numbers::pi / 2, false},
              {0.5, std::numbers::pi / 6, false},
              {-1.0, -std::numbers::pi / 2, false},
              {2.0, std::numbers::pi / 2, true}};
  for (const auto &row : rows) {
    rating.resetErrors();
    rating.h = Value(row.h, "m");
    rating.calculateGeometry();
    EXPECT_NEAR(rating.theta.value(), row.theta, 1e-15) << row.h;
    EXPECT_EQ(has(rating.errors, "Elevation of the tubes greater than their length"), row.error)
        << row.h;
  }
}

// The wall and the overall coefficient at a mean material temperature of
// 350 K: side 1 from 370 to 330 K (T1 330, deltaT1 40), side 2 from 350 to
// 340 K (T2 340, deltaT2 20). Each side's mean is its outlet plus half of
// inlet minus outlet; subtracting the halves gave 320 K, km 13.94, Rm
// 1.43835e-4 and U 223.355. km =
// 7.54 + 350 / 50 = 14.54, Rm = 0.046 ln(25/21) / (4 km) = 1.37900e-4, U =
// 1 / (1/300 + 1/1000 + Rm) = 223.652 (mpmath). The area rating: -10 kW at
// U 500 and MTD 20 K needs 1 m2; 1.25 m2 are 1.25 times that.
TEST_F(ShellAndTubeRatingTest, WallAtTheMeanMaterialTemperatureAndTheAreaRating) {
  auto &rating = build<RatingHeatShellAndTubeHeater>("StreamLiquid", 370.0);
  hot->T1 = Value(330.0, "K");
  hot->deltaT1 = Value(40.0, "K");
  hot->T2 = Value(340.0, "K");
  hot->deltaT2 = Value(20.0, "K");
  rating.calculateGeometry();
  rating.ShellAndTube::preCalculate();
  EXPECT_NEAR(rating.km.value(), 14.54, 1e-12);
  EXPECT_NEAR(rating.Rm.value(), 1.37899859158524e-4, 1e-16);
  EXPECT_NEAR(rating.U.value(), 223.651944988960, 1e-9);
  rating.U = Value(500.0, "W/(m2*K)");
  rating.rate(Value(-1e4, "W"), Value(20.0, "K"));
  EXPECT_NEAR(rating.Areq.value(), 1.0, 1e-15);
  rating.A = Value(1.25, "m2");
  rating.calculate(0);
  EXPECT_NEAR(rating.excessArea.value(), 1.25, 1e-15);
}

// Steam condensing on the shell (Dukler) heats water in the tubes
// (Petukhov-Kirillov-Popov). Tm = ((350 - 25) + (370 + 15)) / 2 = 355 K.
// MTD = 20 / ln(70/50). Values of ShellAndTubeReference.py.
TEST_F(ShellAndTubeRatingTest, HeaterRatedByItsUnit) {
  auto &rating = build<RatingHeatShellAndTubeHeater>("StreamLiquid", 370.0);
  run();
  ASSERT_TRUE(rating.errors.value().empty()) << messages(rating);
  EXPECT_TRUE(rating.warnings.value().empty()) << messages(rating);
  EXPECT_EQ(rating.type(), "RatingHeatShellAndTubeHeater");
  EXPECT_NEAR(rating.Re_1.value(), 21826.9636240314, 1e-8);
  EXPECT_NEAR(rating.U1.value(), 5112.33575178682, 1e-8);
  EXPECT_NEAR(rating.deltaP_1.value(), 4583.97706175015, 1e-8);
  EXPECT_NEAR(rating.Re_L2.value(), 916.732472209317, 1e-9);
  EXPECT_NEAR(rating.Du_L2.value(), 0.308438615589987, 1e-12);
  EXPECT_NEAR(rating.U2.value(), 3961.11354717089, 1e-8);
  EXPECT_NEAR(rating.deltaP_2.value(), 641.261095957539, 1e-8);
  EXPECT_NEAR(rating.km.value(), 14.64, 1e-12);
  EXPECT_NEAR(rating.U.value(), 1709.35060683202, 1e-8);
  EXPECT_NEAR(rating.A.value(), 21.6769893097696, 1e-10);
  EXPECT_NEAR(rating.Areq.value(), 36.9079018162346, 1e-9);
  EXPECT_NEAR(rating.excessArea.value(), 0.587326513918343, 1e-12);
  EXPECT_EQ(rating.nCalculations.value(), 1);
}

// Steam cooled on the shell from 400 to 380 K heats the water: tube-bank
// Nusselt number (band 1000..2e5, exponent 0.6) with Jc, Jl (leakage over
// the cross-flow area) and Jr = 1. Tm = 357.5 K, MTD = 30 / ln(80/50).
TEST_F(ShellAndTubeRatingTest, RecoveryRatedByItsUnit) {
  auto &rating = build<RatingHeatShellAndTubeRecovery>("StreamVapor", 380.0);
  run();
  ASSERT_TRUE(rating.errors.value().empty()) << messages(rating);
  EXPECT_NEAR(rating.Re_2.value(), 11204.4935064788, 1e-8);
  EXPECT_NEAR(rating.Pr_2.value(), 0.833333333333333, 1e-12);
  EXPECT_NEAR(rating.Pr_w2.value(), 0.833333333333333, 1e-12);
  EXPECT_NEAR(rating.Nu_2.value(), 88.1450915802452, 1e-10);
  EXPECT_NEAR(rating.U2.value(), 61.4039564328720, 1e-10);
  EXPECT_NEAR(rating.deltaP_2.value(), 625.634724942566, 1e-8);
  EXPECT_NEAR(rating.U1.value(), 5112.33575178682, 1e-8);
  EXPECT_NEAR(rating.U.value(), 60.1768261544701, 1e-10);
  EXPECT_NEAR(rating.Areq.value(), 976.296980251305, 1e-8);
}

// The tube-side correlation by name, with a warning for each violated
// bound; an unknown name is refused after the dimensionless numbers.
TEST_F(ShellAndTubeRatingTest, TubeSideCorrelationsAndTheirRangeWarnings) {
  auto &rating = build<RatingHeatShellAndTubeHeater>("StreamLiquid", 370.0);
  const double Re = 21826.9636240314, Pr = 75000.0 / 18.0 * 1e-3 / 0.6;
  rating.correlation = "DittusBoelter";
  rating.L = Value(1.0, "m"); // L / di = 47.6
  run();
  EXPECT_NEAR(rating.Nu_1.value(), 0.023 * std::pow(Re, 0.8) * std::pow(Pr, 0.4), 1e-9);
  EXPECT_EQ(rating.warnings.value(),
            std::vector<std::string>{
                "Out of range for Dittus-Boelter heat transfer correlation: too low L/D"});
  rating.resetErrors();
  rating.correlation = "SiederTate";
  run();
  EXPECT_NEAR(rating.Nu_1.value(), 0.027 * std::pow(Re, 0.8) * std::cbrt(Pr), 1e-9);
  EXPECT_TRUE(rating.warnings.value().empty()) << messages(rating);
  rating.correlation = "PetukhovKirilov";
  rating.N = Value(1000.0); // Re 2183
  run();
  EXPECT_EQ(rating.warnings.value(),
            std::vector<std::string>{
                "Out of range for Petukhov-Kirilov heat transfer correlation: too low Reynolds"});
  rating.correlation = "dittusboelter";
  try {
    run();
    FAIL() << "an unknown correlation was accepted";
  } catch (ErrorBrowsing &error) {
    EXPECT_NE(error.message().find("dittusboelter"), std::string::npos) << error.message();
    EXPECT_NE(error.message().find("Called from function: TubesSensible::preCalculate"),
              std::string::npos);
    EXPECT_NE(error.message().find("RatingHeatShellAndTubeHeater::preCalculate"),
              std::string::npos);
  }
}

// A condensing shell needs vapour in and liquid out.
TEST_F(ShellAndTubeRatingTest, CondensingShellRefusesAVapourOutlet) {
  build<RatingHeatShellAndTubeHeater>("StreamVapor", 380.0);
  try {
    run();
    FAIL() << "a vapour outlet was accepted";
  } catch (ErrorRunTime &error) {
    EXPECT_NE(error.message().find("out2L->phaseType() == Velta::Utility::PhaseType::liquid"),
              std::string::npos)
        << error.message();
  }
}

// Each rating created by name is its composite, with the common variables
// and those of its two sides.
TEST(ShellAndTubeRatingTypes, CreatedByNameWithBothSides) {
  registerDrumTypes();
  const struct {
    const char *type, *shell, *tubes;
  } rows[] = {{"RatingHeatShellAndTubeThermosiphon", "Du_L2", "Xtt"},
              {"RatingHeatShellAndTubeHeater", "Du_L2", "Nu_1"},
              {"RatingHeatShellAndTubeFallingFilmReboiler", "Du_L2", "Ky_L1"},
              {"RatingHeatShellAndTubeRecovery", "Nu_2", "Nu_1"}};
  for (const auto &row : rows) {
    std::unique_ptr<Node> node =
        NodeFactory().create(row.type, Defaults("R", "rating"), 0, nullptr, nullptr, nullptr);
    auto &rating = dynamic_cast<ShellAndTube &>(*node);
    EXPECT_EQ(rating.type(), row.type);
    EXPECT_EQ(rating.category(), 5);
    EXPECT_EQ(rating.Q("ed").value(), 1e-6) << row.type;
    EXPECT_EQ(rating.Q("excessArea").value(), 1.0) << row.type;
    EXPECT_NO_THROW(rating.Q(row.shell)) << row.type;
    EXPECT_NO_THROW(rating.Q(row.tubes)) << row.type;
  }
}

} // namespace
