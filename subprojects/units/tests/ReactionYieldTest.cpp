// Fixed-conversion reactions on a phase: extent from z or given, the cut at
// a vanishing component, bypasses, mass flows and the starting estimate.

#include "ReactionTestSupport.h"

#include "velta/units/ReactionBuiltIn.h"
#include "velta/utility/Error.h"
#include "velta/value/ErrorUnit.h"

#include <cmath>

using namespace reactiontest;

namespace {

constexpr double cut = 2.220446049250313e-15;

template <class R> std::unique_ptr<R> make() {
  return std::make_unique<R>(Defaults("R1", "reaction"), 1, nullptr, nullptr, nullptr);
}

double kmolPerSecond(const Value &v) { return v.toDouble("kmol/s"); }

class Yield : public ReactionTest {};

} // namespace

TEST_F(Yield, ConversionOfTheKeyComponentSetsTheExtent) {
  // CO + 0.5 O2 -> CO2 at z = 0.3 on 10 kmol/s CO and 10 kmol/s O2.
  auto phase = molarPhase({{CO, 10}, {O2, 10}});
  auto r = make<ReactionOxidationCO>();
  r->setOutlet(phase.get());
  r->z = 0.3;
  r->calculate(0);
  EXPECT_NEAR(kmolPerSecond(r->conv), 3.0, 1e-12);
  EXPECT_NEAR(kmolPerSecond(r->actconv), 3.0, 1e-12);
  EXPECT_NEAR(kmolPerSecond(phase->flow(CO)), 7.0, 1e-12);
  EXPECT_NEAR(kmolPerSecond(phase->flow(O2)), 8.5, 1e-12);
  EXPECT_NEAR(kmolPerSecond(phase->flow(CO2)), 3.0, 1e-12);
  EXPECT_NEAR(kmolPerSecond(phase->totalFlow()), 18.5, 1e-12);
  EXPECT_NEAR(phase->frac(CO).value(), 7.0 / 18.5, 1e-14);
  EXPECT_TRUE(r->errors.value().empty());
  EXPECT_TRUE(r->warnings.value().empty());
  EXPECT_EQ(r->nCalculations.value(), 1);
}

TEST_F(Yield, TooHighConversionIsCutAtTheVanishingComponent) {
  for (const bool silent : {false, true}) {
    SCOPED_TRACE(silent ? "silent" : "warning");
    auto phase = molarPhase({{CO, 10}, {O2, 10}});
    auto r = make<ReactionOxidationCO>();
    r->silentBounding = silent;
    r->setOutlet(phase.get());
    r->z = 1.2;
    r->calculate(0);
    EXPECT_DOUBLE_EQ(kmolPerSecond(r->actconv), 10.0 * (1.0 - cut));
    EXPECT_DOUBLE_EQ(kmolPerSecond(r->conv), kmolPerSecond(r->actconv));
    EXPECT_GT(phase->flow(CO).value(), 0.0);
    EXPECT_LT(phase->flow(CO).value(), 1e-12);
    EXPECT_EQ(r->heterogeneousLimit, 0);
    const std::vector<std::string> expected =
        silent ? std::vector<std::string>{}
               : std::vector<std::string>{
                     "Conversion too high for component CO in Reaction type ReactionOxidationCO"};
    EXPECT_EQ(r->warnings.value(), expected);
  }
}

TEST_F(Yield, GivenExtentIsCutAtTheMostRestrictiveComponentInEitherDirection) {
  // Forward: CO 10, O2 2 limits at 4 kmol/s; z is then -actconv * nu / n_CO.
  auto phase = molarPhase({{CO, 10}, {O2, 2}, {CO2, 1}});
  auto r = make<ReactionOxidationCO>();
  r->option = "conv";
  r->setOutlet(phase.get());
  r->conv = Value(6.0, "kmol/s");
  r->calculate(0);
  EXPECT_DOUBLE_EQ(kmolPerSecond(r->conv), 6.0);
  EXPECT_DOUBLE_EQ(kmolPerSecond(r->actconv), 4.0 * (1.0 - cut));
  EXPECT_DOUBLE_EQ(r->z.value(), 0.4 * (1.0 - cut));
  // Backward: the product CO2 (1 kmol/s) vanishes first.
  auto back = molarPhase({{CO, 10}, {O2, 2}, {CO2, 1}});
  r->setOutlet(back.get());
  r->conv = Value(-3.0, "kmol/s");
  r->calculate(0);
  EXPECT_DOUBLE_EQ(kmolPerSecond(r->actconv), -1.0 * (1.0 - cut));
  EXPECT_NEAR(kmolPerSecond(back->flow(CO)), 11.0, 1e-12);
  EXPECT_NEAR(kmolPerSecond(back->flow(O2)), 2.5, 1e-12);
}

TEST_F(Yield, MassFlowsUseMassCoefficientsAndBalanceInMass) {
  const double mwCO = formulaMass("CO").value();
  auto phase = massPhase({{CO, 10 * mwCO}, {O2, 320.0}, {N2, 50.0}});
  auto r = make<ReactionOxidationCO>();
  r->setOutlet(phase.get());
  r->z = 0.3;
  r->calculate(0);
  EXPECT_EQ(r->conv.uom(), "kg s^-1");
  // The extent keeps the number of kmol/s: 3 (0.3 of 10 kmol/s CO).
  EXPECT_NEAR(r->actconv.value(), 3.0, 1e-12);
  EXPECT_NEAR(phase->flow(CO).value(), 7 * mwCO, 1e-9);
  EXPECT_NEAR(phase->flow(CO2).value(), 3 * formulaMass("CO2").value(), 1e-9);
  EXPECT_NEAR(phase->totalFlow().value(), 10 * mwCO + 370.0, 1e-9);
}

TEST_F(Yield, VanishingSolidMarksTheReactionHeterogeneous) {
  // C + H2O -> CO + H2: the solid reactant C limits.
  auto phase = molarPhase({{C, 1}, {H2O, 5}});
  auto r = make<ReactionWaterGasC>();
  r->setOutlet(phase.get());
  r->z = 2.0;
  r->calculate(0);
  EXPECT_EQ(r->heterogeneousLimit, -1);
  // The fluid H2O limits: no mark.
  auto fluid = molarPhase({{C, 1}, {H2O, 0.2}});
  r->setOutlet(fluid.get());
  r->z = 0.5;
  r->calculate(0);
  EXPECT_EQ(r->heterogeneousLimit, 0);
  // CO + H2 -> C + H2O run backwards: the solid product C limits.
  auto product = make<ReactionYield>();
  for (const auto &[name, nu] : {std::pair{"CO", -1.0}, {"H2", -1.0}, {"C", 1.0}, {"H2O", 1.0}})
    product->setCoefficient(name, nu);
  product->keycomp = CO;
  product->option = "conv";
  auto backwards = molarPhase({{C, 1}, {H2O, 5}, {CO, 1}, {H2, 1}});
  product->setOutlet(backwards.get());
  product->conv = Value(-2.0, "kmol/s");
  product->calculate(0);
  EXPECT_EQ(product->heterogeneousLimit, 1);
  EXPECT_DOUBLE_EQ(kmolPerSecond(product->actconv), -1.0 * (1.0 - cut));
}

TEST_F(Yield, BypassesRecordTheirErrorAndLeaveThePhase) {
  struct Case {
    const char *name;
    int keycomp;
    double keyCoefficient;
    double flow;
    bool attach;
    const char *error;
  };
  const Case cases[] = {
      {"detached", CO, -1, 10, false, "Nothing connected, nothing to do"},
      {"no flow", CO, -1, 0, true, "Zero inlet streams, bypassing block"},
      {"no key", -1, -1, 10, true, "keycomp uninitialized, bypassing block"},
      {"key beyond list", NCOMPONENTS, -1, 10, true, "incorrect keycomp, bypassing block"},
      // The extent would divide by the zero key coefficient.
      {"zero key coefficient", O2, 0, 10, true,
       "zero coefficient of key component, bypassing block"},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.name);
    auto phase = molarPhase({{CO, c.flow}, {O2, c.flow}});
    auto r = make<ReactionYield>();
    r->setCoefficient("CO", -1);
    r->setCoefficient("O2", c.keyCoefficient);
    r->keycomp = c.keycomp;
    if (c.attach)
      r->setOutlet(phase.get());
    r->z = 0.5;
    r->calculate(0);
    EXPECT_EQ(r->errors.value(), std::vector<std::string>{c.error});
    EXPECT_EQ(r->conv.value(), 0.0);
    EXPECT_EQ(r->actconv.value(), 0.0);
    EXPECT_EQ(phase->flow(CO).value(), c.flow);
    EXPECT_EQ(r->nCalculations.value(), 0);
  }
}

TEST_F(Yield, FeedWithoutTheKeyComponentGivesZeroConversion) {
  // The shift's key is CO2, which a shift feed does not hold; the extent
  // runs the shift forward.
  auto phase = molarPhase({{CO, 10}, {H2O, 10}});
  auto r = make<ReactionWaterGasShift>();
  r->option = "conv";
  r->setOutlet(phase.get());
  r->conv = Value(-2.0, "kmol/s");
  r->calculate(0);
  EXPECT_EQ(r->z.value(), 0.0);
  EXPECT_NEAR(kmolPerSecond(phase->flow(CO2)), 2.0, 1e-12);
  EXPECT_NEAR(kmolPerSecond(phase->flow(H2)), 2.0, 1e-12);
  EXPECT_NEAR(kmolPerSecond(phase->flow(CO)), 8.0, 1e-12);
  // With option "z" the missing key flow is a warning and a zero extent.
  auto again = molarPhase({{CO, 10}, {H2O, 10}});
  r->option = "z";
  r->z = 0.5;
  r->setOutlet(again.get());
  r->calculate(0);
  EXPECT_EQ(r->warnings.value(), std::vector<std::string>{"Zero flow of key component CO2"});
  EXPECT_EQ(r->conv.value(), 0.0);
}

TEST_F(Yield, UnknownOptionAndFlowUnitsThrow) {
  auto phase = molarPhase({{CO, 10}, {O2, 10}});
  auto r = make<ReactionOxidationCO>();
  r->setOutlet(phase.get());
  for (const char *option : {"Z", ""}) {
    r->option = option;
    try {
      r->calculate(0);
      ADD_FAILURE() << "option " << option;
    } catch (const ErrorBrowsing &e) {
      EXPECT_NE(e.message().find("Object " + std::string(option) +
                                 " not found in model R1 of type "
                                 "Calculation option"),
                std::string::npos)
          << e.message();
      EXPECT_NE(e.message().find("Called from function: ReactionYield::precalc"),
                std::string::npos);
    }
  }
  r->option = "z";
  phase->flow(0).setUnits(UnitArray(1, 0, 0, 0, 0, 0, 0, 0, 0));
  EXPECT_THROW(r->calculate(0), ErrorUnit);
}

TEST_F(Yield, EstimatePlacesTheExtentByTheEquilibriumConstant) {
  // CO + 0.5 O2 -> CO2 on CO 10, O2 4, CO2 2: the extent lies in [-2, 8].
  auto phase = molarPhase({{CO, 10}, {O2, 4}, {CO2, 2}});
  auto r = make<ReactionOxidationCO>();
  r->setOutlet(phase.get());
  const struct {
    double K, x;
  } cases[] = {
      {1.0, 0.5}, {1e6, std::atan(6.0) / M_PI + 0.5}, {1e-6, std::atan(-6.0) / M_PI + 0.5}};
  for (const auto &c : cases) {
    r->estimate(Quantity("K", "K", Value(c.K), nullptr));
    EXPECT_NEAR(kmolPerSecond(r->conv), -2.0 + c.x * 10.0, 1e-12) << c.K;
    EXPECT_NEAR(r->z.value(), kmolPerSecond(r->conv) / 10.0, 1e-12);
  }
  auto detached = make<ReactionOxidationCO>();
  EXPECT_THROW(detached->estimate(Quantity("K", "K", Value(1.0), nullptr)), ErrorRunTime);
}
