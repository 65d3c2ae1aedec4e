// The two-stream exchanger: approaches by flow arrangement, the calculation
// modes against a textbook exchanger, the start values and clamps of the
// sequential calculation, pressure drops, heat losses and the bypasses.

#include "ReactionTestSupport.h"
#include "UnitTestSupport.h"

#include "velta/units/Exchanger.h"
#include "velta/units/Reaction.h"
#include "velta/units/ReactionEquilibrium.h"
#include "velta/units/ReactionTypes.h"
#include "velta/utility/Error.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace unittest;

namespace {

// Hot gas 1 kmol/s at 400 K and cold gas 2 kmol/s at 300 K, both at 1 bar,
// of components with a constant molar heat capacity of 30 kJ/(kmol*K) in
// the ideal-gas phase: heat capacity flows C_hot = 30 kW/K and
// C_cold = 60 kW/K, enthalpy independent of pressure.
class ExchangerRig : public ComponentsFixture {
protected:
  // Called again by table tests for a fresh unit.
  void SetUp() override {
    unit.reset();
    verbosityGlobal = 0;
    use(lightAndHeavy());
    unit = makeUnit<Exchanger>("Exchanger", Defaults("X", "exchanger"));
    unit->setVerbosity(-10); // its calculation logs 10 levels above its verbosity
    hotIn = makeStreamOne("PhaseIdeal<vapor>", "HI");
    coldIn = makeStreamOne("PhaseIdeal<vapor>", "CI");
    hotOut = makeStreamOne("PhaseIdeal<vapor>", "HO");
    coldOut = makeStreamOne("PhaseIdeal<vapor>", "CO");
    feed(400.0, 300.0, 1.0, 2.0);
    unit->attach(hotIn.get(), "in1");
    unit->attach(coldIn.get(), "in2");
    unit->attach(hotOut.get(), "out1");
    unit->attach(coldOut.get(), "out2");
  }
  void feed(double Thot, double Tcold, double hotFlow, double coldFlow, double Pcold = 1e5) {
    setFeed(*hotIn, {0.5, 0.5}, Thot, 1e5, hotFlow);
    setFeed(*coldIn, {0.5, 0.5}, Tcold, Pcold, coldFlow);
    flash(*hotIn);
    flash(*coldIn);
  }
  void TearDown() override {
    verbosityGlobal = 2;
    ComponentsFixture::TearDown();
  }
  bool warned(const std::string &text) const { return has(unit->warnings, text); }
  bool failed(const std::string &text) const { return has(unit->errors, text); }

  std::unique_ptr<Exchanger> unit;
  std::unique_ptr<StreamOne> hotIn, coldIn, hotOut, coldOut;
};

using ExchangerApproaches = ExchangerRig;

TEST_F(ExchangerApproaches, FollowTheFlowArrangement) {
  unit->setup_of(); // binds the streams
  // Thi 400 K, Tci 300 K, Tho 350 K, Tco 320 K.
  const struct {
    const char *hot, *cold;
    double coldApproach, hotApproach;
  } rows[] = {
      {"backward", "forward", 80, 50}, // counter-current: Thi - Tco, Tho - Tci
      {"forward", "backward", 80, 50},
      {"forward", "forward", 30, 100}, // co-current: Tho - Tco, Thi - Tci
      {"backward", "backward", 30, 100},
      {"backward", "mixed", 30, 80}, // cold side mixed: Tho - Tco, Thi - Tco
      {"mixed", "forward", 30, 50},  // hot side mixed: Tho - Tco, Tho - Tci
      {"mixed", "backward", 30, 50},
      {"mixed", "mixed", 30, 30},
  };
  for (const auto &row : rows) {
    unit->hotflowoption = row.hot;
    unit->coldflowoption = row.cold;
    unit->calculateApproaches(false, Value(320.0, "K"), Value(350.0, "K"));
    EXPECT_DOUBLE_EQ(unit->deltaTcoldApproach.value(), row.coldApproach)
        << row.hot << "/" << row.cold;
    EXPECT_DOUBLE_EQ(unit->deltaThotApproach.value(), row.hotApproach)
        << row.hot << "/" << row.cold;
  }
  unit->hotflowoption = "backward";
  unit->coldflowoption = "sideways";
  try {
    unit->calculateApproaches(false, Value(320.0, "K"), Value(350.0, "K"));
    ADD_FAILURE() << "an unknown flow option must be refused";
  } catch (const ErrorBrowsing &e) {
    EXPECT_NE(e.message().find("Object backward not found in model X"),
              std::string::npos)
        << e.message();
  }
  // Warned: an approach of 0 K counts as negative and stays 0; a negative
  // one is reported by its magnitude.
  unit->hotflowoption = "forward";
  unit->coldflowoption = "forward";
  unit->calculateApproaches(true, Value(350.0, "K"), Value(340.0, "K"));
  EXPECT_TRUE(warned("negative deltaTcoldApproach"));
  EXPECT_FALSE(warned("negative deltaThotApproach"));
  EXPECT_DOUBLE_EQ(unit->deltaTcoldApproach.value(), 10.0);
  unit->calculateApproaches(true, Value(350.0, "K"), Value(350.0, "K"));
  EXPECT_EQ(unit->deltaTcoldApproach.value(), 0.0);

  const struct {
    const char *port;
    int side;
  } ports[] = {{"in1", 0}, {"out1", 1}, {"in2", 3}, {"out2", 2}, {"hotin", 2}};
  for (const auto &p : ports)
    EXPECT_EQ(unit->locationFromPort(p.port), p.side) << p.port;
}

// Textbook check (counter-current, constant heat capacities): with
// U = 100 W/(m2*K) and A = 300 m2, UA = 30 kW/K, NTU = UA / C_min = 1 and
// C_r = C_min / C_max = 0.5, so
//   eps = (1 - exp(-NTU (1 - C_r))) / (1 - C_r exp(-NTU (1 - C_r)))
//       = 0.564733401606416,
//   Q = eps C_min (400 K - 300 K) = 1694200.20481925 W,
//   Tho = 400 - Q / C_hot = 343.526659839358 K, Tco = 300 + Q / C_cold
//       = 328.236670080321 K, LMTD = Q / UA = 56.4733401606416 K.
// Co-current: eps = (1 - exp(-NTU (1 + C_r))) / (1 + C_r) = 0.517913226567713,
// Q = 1553739.67970314 W, Tho = 348.208677343229 K, Tco = 325.895661328386 K.
// (python3: the closed forms above; the counter-current duty also by
// scipy.optimize.brentq on Q = UA * LMTD(Q).) The modes "Thot" and "Tcold"
// given those outlet temperatures give back A = 300 m2.
TEST_F(ExchangerRig, ModesAgreeWithTheTextbookExchanger) {
  const struct {
    const char *mode, *hot, *cold;
    double Q, Tho, Tco;
  } rows[] = {
      {"UA", "backward", "forward", 1694200.20481925, 343.526659839358, 328.236670080321},
      {"Thot", "backward", "forward", 1694200.20481925, 343.526659839358, 328.236670080321},
      {"Tcold", "backward", "forward", 1694200.20481925, 343.526659839358, 328.236670080321},
      {"UA", "forward", "forward", 1553739.67970314, 348.208677343229, 325.895661328386},
  };
  for (const auto &row : rows) {
    SetUp();
    unit->option = row.mode;
    unit->hotflowoption = row.hot;
    unit->coldflowoption = row.cold;
    unit->A = Value(std::string(row.mode) == "UA" ? 300.0 : 1.0, "m2");
    unit->hotT = Value(row.Tho, "K");
    unit->coldT = Value(row.Tco, "K");
    unit->go(1, 0);
    for (const std::string &e : unit->errors.value())
      ADD_FAILURE() << row.mode << ": " << e;
    EXPECT_NEAR(unit->dutyhot.value(), row.Q, 1e-6 * row.Q) << row.mode;
    EXPECT_NEAR(hotOut->T.value(), row.Tho, 1e-6) << row.mode;
    EXPECT_NEAR(coldOut->T.value(), row.Tco, 1e-6) << row.mode;
    EXPECT_NEAR(unit->A.value(), 300.0, 1e-5) << row.mode;
    EXPECT_NEAR(unit->MTD.value(), row.Q / 30000.0, 1e-6) << row.mode;
    EXPECT_NEAR(unit->deltaThot.value(), row.Tho - 400.0, 1e-6) << row.mode;
    EXPECT_NEAR(unit->deltaTcold.value(), row.Tco - 300.0, 1e-6) << row.mode;
    EXPECT_NEAR(unit->maxduty.value(), 3e6, 1e-3); // the hot side decides
    EXPECT_GE(unit->NITER_Exchanger.value(), 0);
  }
}

TEST_F(ExchangerRig, FirstCalculationStartsFromTheTenPerCentEstimates) {
  unit->solver().setMaxIterations(0); // leaves the unit at its start point
  unit->go(1, 0);
  EXPECT_NEAR(hotOut->T.value(), 390.0, 1e-9);
  EXPECT_NEAR(coldOut->T.value(), 310.0, 1e-9);
  EXPECT_NEAR(unit->dutyhot.value(), 0.9 * 3e6, 1e-3);
  EXPECT_TRUE(failed("MTD convergence failure;"));
}

TEST_F(ExchangerRig, SpecifiedOutletTemperaturesAreClampedInsideTheInlets) {
  unit->option = "Thot";
  unit->hotT = Value(299.0, "K");
  unit->go(1, 0);
  EXPECT_TRUE(failed("Specified hot side outlet temperature is lower than minimum allowable "
                     "temperature to avoid temperature crossing; hot side temperature will be "
                     "set to the minimum allowable value"));
  EXPECT_NEAR(unit->hotT.value(), 300.1, 1e-9);
  EXPECT_NEAR(hotOut->T.value(), 300.1, 1e-6);

  SetUp();
  unit->option = "Tcold";
  unit->coldT = Value(401.0, "K");
  unit->go(1, 0);
  EXPECT_TRUE(failed("Specified cold side outlet temperature is higher than maximum allowable "
                     "temperature to avoid temperature crossing; cold side temperature will be "
                     "set to the maximum allowable value"));
  EXPECT_NEAR(unit->coldT.value(), 399.9, 1e-9);
}

// Heat lost to the surroundings leaves the stream enthalpies unbalanced by
// exactly heat_losses, which the unit reports as its own energy term: the
// balance check files nothing.
TEST_F(ExchangerRig, HeatLossesBalanceAndPressureDropsClip) {
  feed(400.0, 300.0, 1.0, 2.0, 2e5);
  unit->A = Value(300.0, "m2");
  unit->eta = Value(0.95);
  unit->coldoption = "D";
  unit->deltaPcold = Value(3e5, "Pa");
  unit->hotoption = "P";
  unit->hotP = Value(0.8e5, "Pa");
  unit->go(1, 0);
  EXPECT_TRUE(unit->errors.value().empty()) << unit->errors.value().front();
  const double duty = unit->dutyhot.value();
  EXPECT_NEAR(unit->dutycold.value(), 0.95 * duty, 1e-9 * duty);
  EXPECT_NEAR(unit->heat_losses.value(), 0.05 * duty, 1e-9 * duty);
  EXPECT_NEAR(unit->energyBalance().value(), 0.05 * duty, 1e-9 * duty);
  // 2 bar in, 3 bar asked for, at most beta = 0.9 of the inlet pressure.
  EXPECT_NEAR(coldOut->P.value(), 0.2e5, 1e-6);
  EXPECT_TRUE(warned("DeltaP clipped"));
  EXPECT_NEAR(hotOut->P.value(), 0.8e5, 1e-6);
  EXPECT_NEAR(unit->deltaPhot.value(), 0.2e5, 1e-6);
  // The cold side takes 95 % of the heat.
  EXPECT_NEAR((coldOut->T.value() - 300.0) * 60000.0, 0.95 * duty, 1e-6 * duty);
  unit->checkBalance();
  EXPECT_FALSE(warned("energy flow unbalance"));
  EXPECT_FALSE(failed("energy flow unbalance"));
}

TEST_F(ExchangerRig, IsothermalOrFlowlessSidesAreBypassed) {
  const struct {
    double Thot, Tcold, hotFlow, coldFlow;
    const char *warning;
  } rows[] = {
      {350.0, 350.0, 1.0, 2.0, "Exchanger: hot cold isothermal, bypassing block"},
      {400.0, 300.0, 1.0, 0.0, "Exchanger: no flow on one side, bypassing block"},
      {400.0, 300.0, 0.0, 2.0, "Exchanger: no flow on one side, bypassing block"},
  };
  for (const auto &row : rows) {
    SetUp();
    feed(row.Thot, row.Tcold, row.hotFlow, row.coldFlow);
    unit->dutyhot = Value(123.0, "W");
    ASSERT_NO_THROW(unit->go(1, 0)) << row.warning;
    EXPECT_TRUE(warned(row.warning)) << row.warning;
    EXPECT_TRUE(unit->errors.value().empty()) << row.warning;
    EXPECT_EQ(unit->dutyhot.value(), 123.0);
    EXPECT_EQ(hotOut->T.value(), row.Thot);
    EXPECT_EQ(coldOut->T.value(), row.Tcold);
    EXPECT_EQ(unit->nCalculations.value(), 1);
  }
}

TEST_F(ExchangerRig, NewExchangerIsCounterCurrentUaWithoutReactions) {
  EXPECT_EQ(unit->type(), "Exchanger");
  EXPECT_EQ(unit->nReactions.value(), 0);
  EXPECT_EQ(unit->option.value(), "UA");
  EXPECT_EQ(unit->hotflowoption.value(), "backward");
  EXPECT_EQ(unit->coldflowoption.value(), "forward");
  EXPECT_EQ(unit->MTDoption.value(), "LMTD");
  EXPECT_EQ(unit->U.value(), 100.0);
  EXPECT_EQ(unit->A.value(), 10.0);
  EXPECT_EQ(unit->maxduty.value(), 100000.0);
  std::string port = "coldout";
  unit->translate(port);
  EXPECT_EQ(port, "out2");
}

} // namespace

// Reactions on the hot side (no side given): carbon monoxide burnt at a
// fixed conversion, then the water-gas shift brought to equilibrium at the
// hot outlet, its extent an unknown of the unit's system.
namespace {

class ExchangerReactions : public ComponentsFixture {
protected:
  void SetUp() override {
    verbosityGlobal = 0;
    reactiontest::fillComponents();
    registerUnitTypes();
    Velta::Units::registerReactionTypes();
  }
  void TearDown() override {
    verbosityGlobal = 2;
    ComponentsFixture::TearDown();
  }
};

TEST_F(ExchangerReactions, EquilibriumExtentIsAnUnknownOfTheUnit) {
  using namespace reactiontest;
  Defaults options("X", "reactive exchanger");
  options.setInteger("nReactions", 2);
  options.setString("embeddedTypeReactions[0]", "ReactionOxidationCO");
  options.setString("embeddedTypeReactions[1]", "ReactionWaterGasShiftEquilibrium");
  auto unit = makeUnit<Exchanger>("Exchanger", options);
  unit->setVerbosity(-10);
  EXPECT_EQ(unit->nreactionEquilibriums.value(), 1);
  EXPECT_EQ(unit->reactionSides[0].value(), 0);
  EXPECT_EQ(unit->reactionSides[1].value(), 0);
  unit->reactions[0]->z = Value(0.5);

  auto gas = [](const std::string &tag, double T, std::vector<std::pair<int, double>> fractions) {
    std::vector<double> x(static_cast<std::size_t>(NCOMPONENTS), 0.0);
    double rest = 1.0;
    for (auto [i, f] : fractions) {
      x[static_cast<std::size_t>(i)] = f;
      rest -= f;
    }
    x[N2] = rest;
    auto s = makeStreamOne("PhaseIdeal<vapor>", tag);
    setFeed(*s, x, T, 1e5, 1.0);
    flash(*s);
    return s;
  };
  auto hotIn = gas("HI", 900.0, {{CO2, 0.1}, {H2, 0.1}, {CO, 0.05}, {H2O, 0.05}, {O2, 0.01}});
  auto coldIn = gas("CI", 300.0, {});
  auto hotOut = makeStreamOne("PhaseIdeal<vapor>", "HO");
  auto coldOut = makeStreamOne("PhaseIdeal<vapor>", "CO");
  unit->attach(hotIn.get(), "in1");
  unit->attach(coldIn.get(), "in2");
  unit->attach(hotOut.get(), "out1");
  unit->attach(coldOut.get(), "out2");
  unit->go(1, 0);
  for (const std::string &e : unit->errors.value())
    ADD_FAILURE() << e;

  const unsigned nh = hotOut->objectiveFunction()->size();
  const unsigned nc = coldOut->objectiveFunction()->size();
  ASSERT_EQ(unit->size(), 1 + nh + nc + 1);
  EXPECT_EQ(unit->unknownTag(0), "duty");
  EXPECT_EQ(unit->unknownTag(unit->size() - 1), "reaction[1].conv");
  EXPECT_EQ(unit->reactions[1]->S("option"), "conv");
  unit->setup_of();
  EXPECT_EQ(unit->size(), 1 + nh + nc + 1);

  // The shift is at equilibrium at the hot outlet temperature.
  auto &shift = dynamic_cast<ReactionEquilibrium &>(*unit->reactions[1]);
  EXPECT_NEAR(shift.Tact.value(), hotOut->T.value(), 1e-6);
  EXPECT_NEAR(std::log(shift.K.value() / shift.Kist.value()), 0.0, 1e-7);
  // Elements are conserved on the hot side: C, H and O in kmol/s.
  const auto element = [](Stream &s, std::initializer_list<std::pair<int, double>> atoms) {
    double sum = 0.0;
    for (auto [i, n] : atoms)
      sum += n * props(s).ndotcomps[static_cast<std::size_t>(i)].value();
    return sum;
  };
  for (auto atoms : {std::initializer_list<std::pair<int, double>>{{CO, 1}, {CO2, 1}},
                     std::initializer_list<std::pair<int, double>>{{H2, 2}, {H2O, 2}},
                     std::initializer_list<std::pair<int, double>>{
                         {CO, 1}, {CO2, 2}, {H2O, 1}, {O2, 2}}})
    EXPECT_NEAR(element(*hotOut, atoms), element(*hotIn, atoms), 1e-12);
  // Half of the CO burnt would need 0.0125 kmol/s of O2, only 0.01 is
  // there, so the combustion is cut at the oxygen; the shift moves the rest.
  EXPECT_LT(props(*hotOut).ndotcomps[O2].value(), 1e-9);
}

} // namespace
