// The cross-flow reboiler: its zones and streams, the set-up fractions, the
// pressure, vapour-fraction and condensing-temperature profile handed to
// the zones, a two-zone reboiler converging its user equations, the
// one-zone profile and the missing zone count.

#include "FlashDrumTestSupport.h"
#include "FlowsheetTestSupport.h"

#include "velta/flowsheet/ReboilerCrossFlow.h"
#include "velta/flowsheet/Zone.h"
#include "velta/phases/ActivityParameters.h"
#include "velta/units/RatingHeat.h"
#include "velta/utility/Error.h"

#include <gtest/gtest.h>

#include <cmath>
#include <iterator>
#include <string>

using namespace flowsheettest;

namespace {

// A tube-bundle rating with the geometry the reboiler writes: the area of
// N tubes of length L, diameter de and wall s, U 800 W/(m2 K), and a
// tube-side pressure drop of 4000 Pa per metre.
class TubeRating : public RatingHeat {
public:
  static constexpr const char *typeName = "RatingHeatTubeBundleTest";
  TubeRating(Defaults defaults, int id, Persistency *persistency, Node *parent, Node *root)
      : Object(defaults, id, persistency, parent, root),
        Model(defaults, id, persistency, parent, root),
        RatingHeat(defaults, id, persistency, parent, root),
        N("N", "Number of tubes", Value(1.0), nullptr),
        L("L", "Length of tubes", 1.0, "m", nullptr),
        de("de", "Tube external diameter", 25.0, "mm", nullptr),
        s("s", "Tube thickness", 2.0, "mm", nullptr),
        R1f("R1f", "Process side fouling thermal resistance", 0.0, "m2*K/W", nullptr),
        R2f("R2f", "Utility side fouling thermal resistance", 0.0, "m2*K/W", nullptr),
        deltaP_1("deltaP_1", "Total pressure drop", 0.0, "Pa", nullptr) {
    setType(typeName);
    for (Quantity *q : {&N, &L, &de, &s, &R1f, &R2f, &deltaP_1})
      addVariable(*q);
  }
  void preCalculate() override {
    const Value di = de - 2.0 * s;
    A = N * 3.141592653589793 * (di + de) / 2.0 * L;
    U = Value(800.0, "W/(m2*K)");
    deltaP_1 = Value(4000.0, "Pa") * L / Value(1.0, "m");
  }
  Quantity N, L, de, s, R1f, R2f, deltaP_1;
};

class Reboiler : public ComponentsFixture {
protected:
  // "A" and "B" of the Clausius pair boil on the process side; "H2O" is
  // the steam of the IAPWS streams. The NRTL tables are zero: an ideal
  // liquid.
  void SetUp() override {
    verbosityGlobal = 0;
    flashdrumtest::useClausiusPair();
    PureData water;
    water.mw = 18.015268;
    components.add(new LinearComponent("H2O", water));
    Phase::Activity::ParametersNrtl2::resize(components.count());
    flashdrumtest::registerDrumTypes();
    registerFlowsheetTypes();
    static const bool registered = [] {
      NodeFactory().registerType<TubeRating>(TubeRating::typeName, "test rating", "option", false,
                                             {}, {}, {}, "", 100, 100);
      return true;
    }();
    (void)registered;
  }
  void TearDown() override {
    verbosityGlobal = 2;
    Phase::Activity::ParametersNrtl2::resize(0);
    ComponentsFixture::TearDown();
  }

  static Defaults options(int zones) {
    Defaults options("R", "reboiler");
    options.setInteger("zones", zones).setInteger("nRatings", 1);
    options.setString("embeddedTypeRatings[0]", TubeRating::typeName);
    return options;
  }
  // 1 kmol/s of A/B 0.5/0.5 at 270 K and 2 bar; 0.6 kmol/s of steam at
  // 410 K and 3 bar; cold side down to 1 bar and vapour fraction 0.5.
  static std::unique_ptr<ReboilerCrossFlow> reboiler(int zones) {
    std::unique_ptr<Node> node =
        NodeFactory().create("ReboilerCrossFlow", options(zones), 0, nullptr, nullptr, nullptr);
    std::unique_ptr<ReboilerCrossFlow> reboiler(dynamic_cast<ReboilerCrossFlow *>(node.release()));
    setFeed(streamOf(*reboiler, "SL"), {0.5, 0.5, 0.0}, 270.0, 2e5, 1.0);
    setFeed(streamOf(*reboiler, "STMIN"), {0.0, 0.0, 1.0}, 410.0, 3e5, 0.6);
    reboiler->coldP = Value(1e5, "Pa");
    reboiler->coldAlfa = Value(0.5);
    reboiler->N = Value(100.0);
    reboiler->L = Value(3.0, "m");
    return reboiler;
  }
};

TEST_F(Reboiler, ZonesAndStreams) {
  auto r = reboiler(2);
  EXPECT_EQ(r->type(), "ReboilerCrossFlow");
  // Terminators, SPLIT, HX[0], HX[1], MIX; A[0], B[0], C[0], B[1], C[1],
  // SL, STMIN, A[1], WATOU.
  EXPECT_EQ(r->childCount(), 15u);
  EXPECT_EQ(r->zone(1).type(), "Zone");
  EXPECT_EQ(r->zone(0).child("HOT").type(), "HeatTransfer");
  EXPECT_EQ(r->zone(0).child("COLD").type(), "FlashDrum");
  EXPECT_EQ(r->zone(0).S("HOT.processSide"), "COLD");
  EXPECT_EQ(r->Object::I("SPLIT.nOutlets"), 2);
  EXPECT_EQ(r->inletConnection("SL"), 0);
  EXPECT_EQ(r->inletConnection("STMIN"), 1);
  const struct {
    const char *stream, *from, *fromPort, *to, *toPort;
  } rows[] = {{"A[0]", "HX[0]", "out1", "HX[1]", "in1"},
              {"B[1]", "SPLIT", "out2", "HX[1]", "in2"},
              {"C[1]", "HX[1]", "out2", "MIX", "in2"},
              {"A[1]", "HX[1]", "out1", "sink", "in1"},
              {"WATOU", "MIX", "out1", "sink", "in2"}};
  for (const auto &row : rows) {
    const Stream &s = streamOf(*r, row.stream);
    EXPECT_EQ(s.fromTAG.value(), row.from) << row.stream;
    EXPECT_EQ(s.fromPort.value(), row.fromPort) << row.stream;
    EXPECT_EQ(s.toTAG.value(), row.to) << row.stream;
    EXPECT_EQ(s.toPort.value(), row.toPort) << row.stream;
  }
  EXPECT_EQ(r->deltaPfraction[1].value(), 0.5);
  r->setup();
  EXPECT_EQ(r->deltaPfraction[0].value(), 0.8);
  EXPECT_NEAR(r->deltaPfraction[1].value(), 0.2, 1e-15);
  EXPECT_EQ(r->zone(1).S("HOT.option"), "DT");
  EXPECT_EQ(r->zone(1).S("COLD.option"), "PA");
  EXPECT_EQ(r->zone(1).Q("HOT.deltaP").value(), 20000.0);
  EXPECT_TRUE(r->zone(1).Q("HOT.deltaP").input());
}

// The zone pressures 2e5 - 0.8 * 1e5 and 1e5 Pa; the vapour fraction
// rising from 0 to coldAlfa; the condensing temperature at 3e5 - 2e4 Pa,
// 404.338 K by IAPWS-IF97 (python iapws), which the saturation fit meets
// within 0.3 K; half the tube length in each zone.
TEST_F(Reboiler, ProfileHandedToTheZones) {
  auto r = reboiler(2);
  r->setup();
  r->pre(1, 0);
  const double pressures[] = {1.2e5, 1e5}, fractions[] = {0.0, 0.5};
  for (int j = 0; j < 2; ++j) {
    Zone &z = r->zone(j);
    EXPECT_NEAR(z.Q("COLD.P").value(), pressures[j], 1e-9) << j;
    EXPECT_EQ(z.Q("COLD.alfa").value(), fractions[j]) << j;
    EXPECT_NEAR(z.Q("HOT.T").value(), 404.3378, 0.3) << j;
    EXPECT_EQ(z.Q("HOT:ratings[0].L").value(), 1.5) << j;
    EXPECT_EQ(z.Q("HOT:ratings[0].N").value(), 100.0) << j;
    EXPECT_EQ(z.Q("HOT:ratings[0].de").value(), 0.025) << j;
  }
}

// One zone is both the first and the last: it gets coldAlfa, not 0/0.
TEST_F(Reboiler, OneZoneReachesTheExitVapourFraction) {
  auto r = reboiler(1);
  EXPECT_FALSE(r->hasChild("A[1]"));
  EXPECT_EQ(streamOf(*r, "A[0]").toTAG.value(), "sink");
  r->setup();
  EXPECT_EQ(r->deltaPfraction[0].value(), 0.8);
  r->pre(1, 0);
  EXPECT_EQ(r->zone(0).Q("COLD.alfa").value(), 0.5);
}

TEST_F(Reboiler, ZoneCountIsRequired) {
  std::string message = "no error";
  try {
    NodeFactory().create("ReboilerCrossFlow", Defaults("R"), 0, nullptr, nullptr, nullptr);
  } catch (const Error &e) {
    message = e.message();
  }
  EXPECT_NE(message.find("Integer parameter zones = -1 must be stricly greater than 0"),
            std::string::npos)
      << message;
}

// Before anything is rated the sums of the rated pressure drops and of the
// MTDs are zero: the fractions keep their values and U its own, no NaN.
TEST_F(Reboiler, ZeroSumsKeepThePreviousValues) {
  auto r = reboiler(2);
  r->setup();
  SequentialAssembly::Position position = r->firstAssignment();
  r->makeUserEquations(position);
  ASSERT_EQ(r->assignments().size(), 5u);
  auto assignment = r->assignments().begin();
  std::advance(assignment, 2);
  EXPECT_EQ((*assignment)->tag, "balance pressures");
  EXPECT_EQ((*assignment)->RHS.value(), 0.8);
  std::advance(assignment, 2);
  EXPECT_NEAR((*assignment)->RHS.value(), 0.2, 1e-15);
  EXPECT_EQ(r->U.value(), 0.0);
  for (const auto &a : r->assignments())
    EXPECT_FALSE(std::isnan(a->RHS.value())) << a->tag;
}

// Converged, the Assignments hold: every zone's factor is the mean factor,
// the length follows the required areas, the pressure drop the rated
// drops; the totals are the zones' sums.
TEST_F(Reboiler, TwoZonesConvergeTheirUserEquations) {
  auto r = reboiler(2);
  r->setup();
  try {
    r->calculate(0);
  } catch (const Error &e) {
    FAIL() << e.message();
  }
  for (const std::string &e : r->errors.value())
    ADD_FAILURE() << e;
  ASSERT_EQ(r->assignments().size(), 5u);
  const char *const order[] = {"flow partition", "distribute area", "balance pressures",
                               "distribute area", "balance pressures"};
  std::size_t k = 0;
  for (const auto &assignment : r->assignments())
    EXPECT_EQ(assignment->tag, order[k++]);
  double A = 0, Areq = 0, dP = 0, duty = 0, L = 0;
  for (int j = 0; j < 2; ++j) {
    Zone &z = r->zone(j);
    EXPECT_NEAR(z.Q("HOT.factor").value(), r->factor.value(), 1e-6 * r->factor.value()) << j;
    A += z.Q("HOT:ratings[0].A").value();
    Areq += z.Q("HOT:ratings[0].Areq").value();
    dP += z.Q("HOT:ratings[0].deltaP_1").value();
    duty += z.Q("COLD.duty").value();
    L += z.Q("HOT:ratings[0].L").value();
  }
  for (int j = 0; j < 2; ++j) {
    Zone &z = r->zone(j);
    const auto k2 = static_cast<std::size_t>(j);
    EXPECT_NEAR(r->Lfraction[k2].value(), z.Q("HOT:ratings[0].Areq").value() / Areq, 1e-6) << j;
    EXPECT_NEAR(r->deltaPfraction[k2].value(), z.Q("HOT:ratings[0].deltaP_1").value() / dP, 1e-6)
        << j;
  }
  EXPECT_NEAR(r->zone(1).Q("COLD.P").value(), 1e5, 1e-6);
  EXPECT_NEAR(r->zone(1).Q("COLD.alfa").value(), 0.5, 1e-12);
  EXPECT_NEAR(L, 3.0, 1e-9);
  EXPECT_NEAR(r->A.value(), A, 1e-9 * A);
  // The whole bundle: 100 tubes of 3 m, (21 + 25) / 2 mm mean diameter.
  EXPECT_NEAR(A, 100 * M_PI * 0.023 * 3.0, 1e-6);
  EXPECT_NEAR(r->Areq.value(), Areq, 1e-9 * Areq);
  EXPECT_NEAR(r->excessArea.value(), A / Areq, 1e-9);
  EXPECT_NEAR(r->duty.value(), duty, 1e-9 * std::fabs(duty));
  EXPECT_LT(duty, 0.0);
  EXPECT_NEAR(r->U.value(), std::fabs(duty / Areq / r->MTD.value()), 1e-9 * r->U.value());
  // With U 800 W/(m2 K) in every zone the mean coefficient is 800 only
  // where the zones' MTDs are equal; it stays positive and finite.
  EXPECT_GT(r->U.value(), 0.0);
}

} // namespace
