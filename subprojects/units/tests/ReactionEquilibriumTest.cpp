// Equilibrium reactions: target constants against thermochemical tables,
// the shift polynomial, the actual constant and the residual with its
// penalties.

#include "ReactionTestSupport.h"

#include "velta/core/Vector.h"
#include "velta/persistency/NodeFactory.h"
#include "velta/units/ReactionBuiltIn.h"
#include "velta/units/ReactionTypes.h"
#include "velta/utility/Error.h"
#include "velta/value/DerivativeContext.h"

#include <cmath>

using namespace reactiontest;

namespace {

constexpr double delta1 = 2.220446049250313e-15;
constexpr double delta2 = 2.220446049250313e-14;

std::unique_ptr<ReactionEquilibrium> makeEquilibrium(const std::string &type) {
  Velta::Units::registerReactionTypes();
  std::unique_ptr<Node> node =
      NodeFactory().create(type, Defaults("R1", "reaction"), 1, nullptr, nullptr, nullptr);
  auto *reaction = dynamic_cast<ReactionEquilibrium *>(node.get());
  EXPECT_NE(reaction, nullptr) << type;
  node.release();
  return std::unique_ptr<ReactionEquilibrium>(reaction);
}

class Equilibrium : public ReactionTest {};

} // namespace

// ln K of the stored direction at 101325 Pa from the components' Gibbs
// energies.
//
// 1000 K, "JANAF": NIST-JANAF Thermochemical Tables (4th ed., 1998),
// Delta_f G at 1000 K in kJ/mol: H2O(g) -192.590, CO -200.275, CO2
// -395.886, CH4 19.492, NH3 61.910; ln K = -sum nu Delta_f G / (R T) with
// R = 8.314462 J/(mol K), moved from the 1 bar to the 1 atm standard state
// by - sum(nu) ln(1.01325). The tolerance 0.05 covers the heat-capacity
// fits and formation data of the components (K within 5 %).
//
// 298.15 K, "formation data": -sum nu dg0 / (R T0), R = 8314.4 J/(kmol K),
// from the Delta_f G of the test components alone (the Gibbs energy of
// every vapour route at T0 is its dg0).
//
// 1000 K, "quadrature": the components' own data integrated numerically
// (scipy.integrate.quad of cp and cp/T from 298.15 K), independent of the
// closed-form integrals of the heat routes.
TEST_F(Equilibrium, GibbsEnergyConstantsMatchThermochemicalTables) {
  struct Row {
    const char *type;
    double T;
    double lnK;
    double tolerance;
    const char *source;
  };
  const Row rows[] = {
      {"ReactionWaterGasShiftEquilibrium", 1000, -0.3633, 0.05, "JANAF"},
      {"ReactionReformingEquilibriumCH4", 1000, 3.2423, 0.05, "JANAF"},
      {"ReactionSynthesisEquilibriumNH3", 1000, 7.4329, 0.05, "JANAF"},
      {"ReactionOxidationEquilibriumCH4", 1000, 96.2850, 0.05, "JANAF"},
      {"ReactionWaterGasShiftEquilibrium", 298.15, -11.54930, 1e-4, "formation data"},
      {"ReactionReformingEquilibriumCH4", 298.15, -57.25435, 1e-4, "formation data"},
      {"ReactionSynthesisEquilibriumNH3", 298.15, -6.61614, 1e-4, "formation data"},
      {"ReactionOxidationEquilibriumCH4", 298.15, 323.14640, 1e-4, "formation data"},
      {"ReactionReformingEquilibriumC2H6", 298.15, -86.65000, 1e-4, "formation data"},
      {"ReactionReformingEquilibriumC3H8", 298.15, -120.49916, 1e-4, "formation data"},
      {"ReactionReformingEquilibriumMeOH", 298.15, 1.39576, 1e-4, "formation data"},
      {"ReactionReformingEquilibriumC2H6", 1000, 15.15814, 1e-4, "quadrature"},
      {"ReactionReformingEquilibriumC3H8", 1000, 25.64772, 1e-4, "quadrature"},
      {"ReactionReformingEquilibriumMeOH", 1000, 17.68209, 1e-4, "quadrature"},
  };
  for (const Row &row : rows) {
    SCOPED_TRACE(std::string(row.type) + " at " + std::to_string(row.T) + " K, " + row.source);
    auto r = makeEquilibrium(row.type);
    r->Teq = Value(row.T, "K");
    // The shift's own target is its polynomial; its Gibbs-energy form is
    // the base's.
    r->ReactionEquilibrium::calculateKSollwert();
    EXPECT_NEAR(std::log(r->K.value()), row.lnK, row.tolerance);
  }
}

TEST_F(Equilibrium, ShiftPolynomialAgreesWithTheTables) {
  auto r = makeEquilibrium("ReactionWaterGasShiftEquilibrium");
  auto &shift = dynamic_cast<ReactionWaterGasShiftEquilibrium &>(*r);
  shift.Kgibbs = 7.0;
  // deltaT is added: Teq = 990 K + 10 K.
  r->Tact = Value(990, "K");
  r->deltaT = Value(10, "K");
  std::vector<Value> x(static_cast<std::size_t>(NCOMPONENTS), Value(0.25));
  r->calculateEquilibrium(Vector(&x));
  EXPECT_DOUBLE_EQ(r->Teq.value(), 1000.0);
  // The polynomial's 0.6927; JANAF (above) gives exp(-0.3633) = 0.6954.
  EXPECT_NEAR(r->K.value(), 0.6927, 5e-5);
  EXPECT_NEAR(r->K.value(), std::exp(-0.3633), 0.01 * 0.6954);
  EXPECT_EQ(shift.Kgibbs.value(), 1.0);
  r->Tact = Value(1200, "K");
  r->deltaT = Value(0, "K");
  r->calculateEquilibrium(Vector(&x));
  EXPECT_NEAR(r->K.value(), 1.3642, 5e-4);
}

TEST_F(Equilibrium, ShiftBelowZeroKelvinIsAnError) {
  auto r = makeEquilibrium("ReactionWaterGasShiftEquilibrium");
  r->Tact = Value(100, "K");
  r->deltaT = Value(-150, "K");
  std::vector<Value> x(static_cast<std::size_t>(NCOMPONENTS), Value(0.25));
  try {
    r->calculateEquilibrium(Vector(&x));
    FAIL() << "no error";
  } catch (const ErrorRunTime &e) {
    EXPECT_NE(e.message().find("ReactionWaterGasShiftEquilibrium::calculateKSollwert"),
              std::string::npos);
    EXPECT_NE(e.message().find("must be positive"), std::string::npos) << e.message();
  }
}

TEST_F(Equilibrium, ActualConstantFromPartialPressures) {
  auto shift = makeEquilibrium("ReactionWaterGasShiftEquilibrium");
  std::vector<Value> x(static_cast<std::size_t>(NCOMPONENTS), Value(0.0));
  x[CO] = 0.1;
  x[H2O] = 0.4;
  x[CO2] = 0.2;
  x[H2] = 0.3;
  shift->P = Value(2 * 101325.0, "Pa");
  shift->calculateKIstWert(Vector(&x));
  EXPECT_NEAR(shift->Kist.value(), 0.1 * 0.4 / (0.2 * 0.3), 1e-14);
  // NH3 -> 0.5 N2 + 1.5 H2 without ammonia: its pressure is replaced by
  // 4/3 1e-5 Pa, so Kist stays finite.
  auto ammonia = makeEquilibrium("ReactionSynthesisEquilibriumNH3");
  std::fill(x.begin(), x.end(), Value(0.0));
  x[N2] = 0.25;
  x[H2] = 0.75;
  ammonia->P = Value(101325.0, "Pa");
  ammonia->calculateKIstWert(Vector(&x));
  const double expected = std::sqrt(0.25) * std::pow(0.75, 1.5) / (4.0 / 3.0 * 1e-5 / 101325.0);
  EXPECT_NEAR(ammonia->Kist.value() / expected, 1.0, 1e-12);
}

TEST_F(Equilibrium, ResidualAndItsPenalties) {
  const double weight = std::sqrt(1.0 / delta1);
  struct Case {
    const char *name;
    double K, Kist, conv, actconv;
    int limit;
    double expected;
  };
  const Case cases[] = {
      {"not cut", 2.0, 0.5, 3, 3, 1, std::log(4.0)},
      {"K above 2^52", 1e20, 1.0, 3, 3, 0, 52 * std::log(2.0)},
      {"K of 0", 0.0, 1.0, 3, 3, 0, -52 * std::log(2.0)},
      {"cut", 2.0, 1.0, 5, 3, 0, (5 - (1 - delta2) * 3) / delta1},
      {"solid reactant ran out", 2.0, 1.0, 5, 3, -1,
       std::log(2.0) + weight * ((1 - delta2) * 3 - 5)},
      {"solid reactant, reverse asked", 0.5, 1.0, 5, 3, -1, (5 - (1 - delta2) * 3) / delta1},
      {"solid product ran out", 0.5, 1.0, -5, -3, 1,
       std::log(0.5) + weight * ((1 - delta2) * -3 + 5)},
  };
  for (const bool massFlows : {false, true}) {
    auto phase = massFlows ? std::unique_ptr<Phase::Mass>(massPhase({{CO, 100}}))
                           : std::unique_ptr<Phase::Mass>(molarPhase({{CO, 1}}));
    const char *unit = massFlows ? "kg/s" : "kmol/s";
    for (const Case &c : cases) {
      SCOPED_TRACE(std::string(c.name) + (massFlows ? ", mass flows" : ", molar flows"));
      auto r = makeEquilibrium("ReactionWaterGasShiftEquilibrium");
      r->setOutlet(phase.get());
      r->K = c.K;
      r->Kist = c.Kist;
      r->conv = Value(c.conv, unit);
      r->actconv = Value(c.actconv, unit);
      r->heterogeneousLimit = c.limit;
      Value y(0.0);
      r->calculateResidual(y);
      EXPECT_NEAR(y.value(), c.expected, 1e-12 * std::fabs(c.expected) + 1e-14);
    }
  }
}

TEST_F(Equilibrium, CutExtentAndPenaltiesKeepTheSlopeInConv) {
  pushDerivativeContext(1);
  auto phase = molarPhase({{CO2, 3}, {H2, 10}});
  auto r = makeEquilibrium("ReactionWaterGasShiftEquilibrium");
  r->option = "conv";
  r->silentBounding = true;
  r->setOutlet(phase.get());
  Active extent(5.0);
  extent.setDerivative(0, 1.0);
  r->conv = Value(extent, r->conv.units());
  r->calculate(0);
  // Cut at CO2 (3 kmol/s), still moving with conv.
  EXPECT_DOUBLE_EQ(r->actconv.toDouble("kmol/s"), 3.0 * (1.0 - delta1));
  EXPECT_EQ(r->actconv.activeValue().derivative(0), 1.0);
  EXPECT_TRUE(r->warnings.value().empty());
  Value y(0.0);
  r->calculateResidual(y);
  EXPECT_DOUBLE_EQ(y.activeValue().derivative(0), 1.0 / delta1);
  r->heterogeneousLimit = -1;
  r->K = 1e3;
  r->calculateResidual(y);
  EXPECT_DOUBLE_EQ(y.activeValue().derivative(0), -std::sqrt(1.0 / delta1));
  popDerivativeContext();
}
