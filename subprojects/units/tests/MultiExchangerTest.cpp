// The multi-stream exchanger: couples around one solid temperature in the
// "UA" (adiabatic solid) and "Ts" modes against an independent solution,
// the reaction heat given to the solid, the temperature range it tracks,
// its ports and its construction.

#include "ReactionTestSupport.h"
#include "UnitTestSupport.h"

#include "velta/units/MultiExchanger.h"
#include "velta/units/Reaction.h"
#include "velta/units/ReactionTypes.h"
#include "velta/utility/Error.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace unittest;

namespace {

class MultiExchangerRig : public ComponentsFixture {
protected:
  void SetUp() override {
    verbosityGlobal = 0;
    use(lightAndHeavy()); // 30 kJ/(kmol*K) in the ideal-gas phase
  }
  void TearDown() override {
    unit.reset();
    verbosityGlobal = 2;
    ComponentsFixture::TearDown();
  }
  // A unit of n couples; couple i takes flows[i] kmol/s at temperatures[i].
  void build(const std::vector<double> &temperatures, const std::vector<double> &flows) {
    const int n = static_cast<int>(temperatures.size());
    Defaults options("M", "multi-stream exchanger");
    options.setInteger("nStreams", n);
    unit = makeUnit<MultiExchanger>("MultiExchanger", options);
    inlets.clear();
    outlets.clear();
    for (int i = 0; i < n; ++i) {
      inlets.push_back(makeStreamOne("PhaseIdeal<vapor>", "I" + std::to_string(i)));
      outlets.push_back(makeStreamOne("PhaseIdeal<vapor>", "O" + std::to_string(i)));
      setFeed(*inlets.back(), {0.5, 0.5}, temperatures[i], 1e5, flows[i]);
      flash(*inlets.back());
      unit->attach(inlets.back().get(), "in" + std::to_string(i + 1));
      unit->attach(outlets.back().get(), "out" + std::to_string(i + 1));
    }
  }
  void expectClean() const {
    for (const std::string &e : unit->errors.value())
      ADD_FAILURE() << e;
  }

  std::unique_ptr<MultiExchanger> unit;
  std::vector<std::unique_ptr<StreamOne>> inlets, outlets;
};

// Three couples at 400, 300 and 360 K with 1, 2 and 1 kmol/s (heat capacity
// flows C = 30, 60 and 30 kW/K), U = 100 W/(m2*K), A = 100 m2, LMTD of the
// approaches to the solid. Reference: scipy.optimize.fsolve (python3) on
//   To_i = Ti - UA LMTD(Ti - Ts, To_i - Ts) / C_i,
// closed in "UA" mode by sum_i UA LMTD_i = 0 (adiabatic solid):
//   Ts = 351.895129591 K, To = 386.36377543, 307.966850781, 357.702523007 K,
//   duties 409086.7371, -478011.0469, 68924.30979 W;
// in "Ts" mode with Ts = 340 K:
//   To = 382.991878634, 306.140731004, 354.330626211 K,
//   duties 510243.641, -368443.8603, 170081.2137 W, net 311880.9944 W.
TEST_F(MultiExchangerRig, ThreeCouplesAroundTheSolidMatchTheReference) {
  const struct {
    const char *mode;
    double Ts, To[3], duty[3];
  } rows[] = {
      {"UA",
       351.895129591,
       {386.36377543, 307.966850781, 357.702523007},
       {409086.7371, -478011.0469, 68924.30979}},
      {"Ts",
       340.0,
       {382.991878634, 306.140731004, 354.330626211},
       {510243.641, -368443.8603, 170081.2137}},
  };
  for (const auto &row : rows) {
    build({400.0, 300.0, 360.0}, {1.0, 2.0, 1.0});
    unit->option = row.mode;
    unit->TsSet = Value(340.0, "K");
    unit->A = Value(100.0, "m2");
    unit->go(1, 0);
    expectClean();
    EXPECT_NEAR(unit->Ts.value(), row.Ts, 1e-6) << row.mode;
    double sum = 0.0;
    for (int i = 0; i < 3; ++i) {
      EXPECT_NEAR(outlets[i]->T.value(), row.To[i], 1e-6) << row.mode << " " << i;
      EXPECT_NEAR(unit->T[i].value(), row.To[i], 1e-6) << row.mode << " " << i;
      EXPECT_NEAR(unit->duty[i].value(), row.duty[i], 1e-3) << row.mode << " " << i;
      EXPECT_NEAR(unit->deltaT[i].value(), row.To[i] - unit->inletApproach[i].value() -
                                               unit->Ts.value(),
                  1e-6);
      sum += unit->duty[i].value();
    }
    EXPECT_NEAR(unit->totDuty.value(), sum, 1e-6);
    // Without reactions the streams lose exactly what the solid takes.
    EXPECT_NEAR(unit->apparentDuty.value(), -unit->totDuty.value(), 1e-4);
    if (std::string(row.mode) == "UA") {
      EXPECT_NEAR(sum, 0.0, 1e-4); // adiabatic solid: sum(duty + Qr) = 0
      EXPECT_NEAR(unit->TsSet.value(), unit->Ts.value(), 1e-12);
    } else {
      EXPECT_NEAR(unit->netDuty.value(), 311880.9944, 1e-3);
      EXPECT_NEAR(unit->energyBalance().value(), unit->netDuty.value(), 1e-12);
    }
  }
}

TEST_F(MultiExchangerRig, KeepsTheWidestInletTemperatureRange) {
  build({400.0, 300.0}, {1.0, 1.0});
  EXPECT_EQ(unit->maxT.value(), 50.0);
  EXPECT_EQ(unit->minT.value(), 1500.0);
  unit->go(1, 0);
  expectClean();
  // The first calculation starts the solid 50 K above the hottest inlet.
  EXPECT_NEAR(unit->Ts.value(), 350.0, 1e-6); // symmetric couples
  setFeed(*inlets[0], {0.5, 0.5}, 360.0, 1e5, 1.0);
  setFeed(*inlets[1], {0.5, 0.5}, 350.0, 1e5, 1.0);
  flash(*inlets[0]);
  flash(*inlets[1]);
  unit->go(1, 0);
  expectClean();
  EXPECT_EQ(unit->maxT.value(), 400.0);
  EXPECT_EQ(unit->minT.value(), 300.0);
  EXPECT_NEAR(unit->Ts.value(), 355.0, 1e-6);
}

TEST_F(MultiExchangerRig, PortsAndConstruction) {
  build({400.0, 300.0}, {1.0, 1.0});
  EXPECT_EQ(unit->type(), "MultiExchanger");
  EXPECT_EQ(unit->option.value(), "UA");
  EXPECT_EQ(unit->MTDoption.value(), "LMTD");
  EXPECT_EQ(unit->reactionOrder.value(), "reactionsfirst");
  std::string port = "coldout";
  unit->translate(port);
  EXPECT_EQ(port, "out2");
  const struct {
    const char *port;
    int side;
  } ports[] = {{"in1", 0}, {"out1", 1}, {"in2", 3}, {"out2", 2},
               {"in3", 0}, {"out4", 2}, {"in", 3},  {"out", 2}};
  for (const auto &p : ports)
    EXPECT_EQ(unit->locationFromPort(p.port), p.side) << p.port;

  build({400.0, 300.0, 350.0}, {1.0, 1.0, 1.0});
  port = "coldout";
  unit->translate(port);
  EXPECT_EQ(port, "coldout"); // no synonyms beyond two couples

  Defaults none("M0", "no couples");
  none.setInteger("nStreams", 0);
  EXPECT_THROW(makeUnit<MultiExchanger>("MultiExchanger", none), ErrorRunTime);
  Defaults one("M1", "one couple");
  one.setInteger("nStreams", 1);
  auto single = makeUnit<MultiExchanger>("MultiExchanger", one);
  try {
    single->go(1, 0);
    ADD_FAILURE() << "one couple must be refused";
  } catch (const ErrorRunTime &e) {
    EXPECT_NE(e.message().find("nStreams.value() > 1"), std::string::npos) << e.message();
  }
}

} // namespace

namespace {

// Carbon monoxide burnt on couple 1: its reaction heat
// Qr = -conv * sum_k coeff[k] hv_k(Ts, P) goes to the solid, which, being
// adiabatic, passes it on to the couples: sum(duty) + Qr = 0, and the
// enthalpy flows leaving equal those entering.
TEST(MultiExchangerReactions, ReactionHeatIsReleasedToTheAdiabaticSolid) {
  verbosityGlobal = 0;
  reactiontest::fillComponents();
  registerUnitTypes();
  Velta::Units::registerReactionTypes();
  {
    using namespace reactiontest;
    Defaults options("M", "reactive multi-stream exchanger");
    options.setInteger("nStreams", 3);
    options.setInteger("nReactions", 1);
    options.setString("embeddedTypeReactions[0]", "ReactionOxidationCO");
    auto unit = makeUnit<MultiExchanger>("MultiExchanger", options);
    unit->reactionSides[0] = 1;
    unit->reactions[0]->z = Value(0.5);
    unit->A = Value(100.0, "m2");
    std::vector<std::unique_ptr<StreamOne>> streams;
    // Couples well away from the solid temperature (about 353 K): an
    // approach that changes sign puts the mean difference on its
    // non-smooth branch.
    const double temperatures[] = {400.0, 300.0, 330.0};
    for (int i = 0; i < 3; ++i) {
      std::vector<double> x(static_cast<std::size_t>(NCOMPONENTS), 0.0);
      x[CO] = 0.002;
      x[O2] = 0.01;
      x[N2] = 0.988;
      streams.push_back(makeStreamOne("PhaseIdeal<vapor>", "I" + std::to_string(i)));
      setFeed(*streams.back(), x, temperatures[i], 1e5, 1.0);
      flash(*streams.back());
      unit->attach(streams.back().get(), "in" + std::to_string(i + 1));
      streams.push_back(makeStreamOne("PhaseIdeal<vapor>", "O" + std::to_string(i)));
      unit->attach(streams.back().get(), "out" + std::to_string(i + 1));
    }
    unit->go(1, 0);
    for (const std::string &e : unit->errors.value())
      ADD_FAILURE() << e;
    Reaction &burn = *unit->reactions[0];
    EXPECT_NEAR(burn.conv.value(), 0.001, 1e-12); // half of 0.002 kmol/s of CO
    double Qr = 0.0;
    for (int k = 0; k < NCOMPONENTS; ++k)
      Qr -= burn.conv.value() * burn.coeff[static_cast<std::size_t>(k)].value() *
            components[k]->hv(unit->Ts, streams[3]->P).value();
    EXPECT_GT(Qr, 2e5); // about 283 MJ/kmol of CO
    EXPECT_NEAR(unit->totDuty.value() + Qr, 0.0, 1e-3);
    EXPECT_NEAR(unit->apparentDuty.value(), 0.0, 1e-3);
  }
  components.clear();
  verbosityGlobal = 2;
}

} // namespace
