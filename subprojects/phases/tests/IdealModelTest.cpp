// The ideal property model through a generic phase: densities, caloric
// properties, fugacities, transport mixing rules and the property pass.

#include "TestPhases.h"

#include "velta/components/PureComponents.h"
#include "velta/utility/Error.h"
#include "velta/value/DerivativeContext.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace phasetest;

namespace {

const Value P0(101325.0, "Pa");
const Value T0(298.15, "K");
const double R = 8314.4;

// A: MW 2, B: MW 32, with transport data far enough apart that the mixing
// rules differ visibly from linear means.
std::vector<std::pair<std::string, PureData>> transportPair() {
  PureData a;
  a.mw = 2;
  a.h0 = 1e6;
  a.s0 = 1e5;
  a.muv = 1e-5;
  a.kv = 0.18;
  a.mul = 1e-3;
  a.kl = 0.1;
  a.sigma = 0.02;
  a.rhol = 50;
  PureData b = a;
  b.mw = 32;
  b.h0 = 2e6;
  b.muv = 2e-5;
  b.kv = 0.026;
  b.mul = 2e-3;
  b.kl = 0.15;
  b.sigma = 0.07;
  b.rhol = 20;
  return {{"A", a}, {"B", b}};
}

class IdealModel : public ComponentsFixture {
protected:
  void SetUp() override { use(transportPair()); }
};

TEST_F(IdealModel, VapourIsAnIdealGas) {
  auto vapor = makePhase("vapor");
  // Any composition and any sum: rho = P / (R T).
  vapor->x[0] = Value(0.3);
  vapor->x[1] = Value(0.1);
  EXPECT_NEAR(vapor->calculate_rho(P0, T0).value(), 0.0408744, 5e-8);
  EXPECT_EQ(vapor->calculate_rho(P0, T0).uom(), Value(1.0, "kmol/m3").uom());

  // P = sumx R T rho: the full pressure at sumx = 1, half of it at 0.5.
  const Value rho(101325.0 / (R * 298.15), "kmol/m3");
  vapor->x[0] = Value(0.5);
  vapor->x[1] = Value(0.5);
  EXPECT_NEAR(vapor->calculate_P(rho, T0).value(), 101325.0, 1e-8);
  vapor->x[0] = Value(0.25);
  vapor->x[1] = Value(0.25);
  EXPECT_NEAR(vapor->calculate_P(rho, T0).value(), 101325.0 / 2, 1e-8);
}

TEST_F(IdealModel, EquimolarPairMixesEntropy) {
  PureData same;
  same.s0 = 12345.0;
  use({{"C1", same}, {"C2", same}});
  for (const char *type : {"vapor", "liquid", "solid"}) {
    auto phase = makePhase(type);
    phase->x[0] = Value(1.0);
    phase->x[1] = Value(0.0);
    const double pure = phase->calculate_S(P0, T0).value();
    phase->x[0] = Value(0.5);
    phase->x[1] = Value(0.5);
    EXPECT_NEAR(phase->calculate_S(P0, T0).value(), pure + R * std::log(2.0), 1e-9) << type;
  }
}

TEST_F(IdealModel, PureLiquidHasThePureComponentValues) {
  auto liquid = makePhase("liquid");
  liquid->x[0] = Value(1.0);
  liquid->x[1] = Value(0.0);
  const Value T(320.0, "K");
  ComponentGeneric &a = *components[0];
  EXPECT_DOUBLE_EQ(liquid->calculate_rho(P0, T).value(), a.rhol(T, P0).value());
  EXPECT_DOUBLE_EQ(liquid->calculate_H(P0, T).value(), a.hl(T, P0).value());
  EXPECT_DOUBLE_EQ(liquid->calculate_S(P0, T).value(), a.sl(T, P0).value());
  EXPECT_DOUBLE_EQ(liquid->calculate_Cp(P0, T).value(), a.cpl(T, P0).value());
  EXPECT_DOUBLE_EQ(liquid->mu(P0, T).value(), 1e-3);
  EXPECT_DOUBLE_EQ(liquid->kappa(P0, T).value(), 0.1);
  EXPECT_DOUBLE_EQ(liquid->sigma(P0, T).value(), 0.02);
}

TEST_F(IdealModel, ResultsAreMembersOverwrittenByTheNextCall) {
  auto vapor = makePhase("vapor");
  const Value &first = vapor->calculate_H(P0, T0);
  const double atT0 = first.value();
  const Value &second = vapor->calculate_H(P0, Value(400.0, "K"));
  EXPECT_EQ(&first, &second);
  // Equimolar A and B: 0.5 (1e6 + 2e6) + 30000 (400 - 298.15).
  EXPECT_DOUBLE_EQ(atT0, 1.5e6);
  EXPECT_NEAR(second.value(), 1.5e6 + 30000.0 * (400.0 - 298.15), 1e-6);
}

TEST_F(IdealModel, FugacitiesByPhaseType) {
  struct Case {
    const char *type;
    double lnphi; // of component 0 at P0 with psat = 2e4 Pa
  };
  for (const Case &c : {Case{"vapor", 0.0}, Case{"liquid", std::log(2e4 / 101325.0)},
                        Case{"solid", std::log(2e4 / 101325.0)}}) {
    auto phase = makePhase(c.type);
    phase->x[0] = Value(0.0); // absent components get their entry too
    phase->preparefugacity(P0, T0);
    EXPECT_NEAR(phase->fugacity(0).value(), c.lnphi, 1e-14) << c.type;
    EXPECT_EQ(phase->model().phaseType(), phase->phaseType());
  }
}

TEST_F(IdealModel, RefusesAComponentListThatNoLongerFits) {
  auto liquid = makePhase("liquid");
  EXPECT_THROW(liquid->fugacity(2), std::out_of_range);
  components.add(new LinearComponent("Late", PureData()));
  EXPECT_THROW(liquid->preparefugacity(P0, T0), ErrorRunTime);
  EXPECT_THROW(liquid->mu(P0, T0), ErrorRunTime);
}

// Hand values with A (MW 2, mu 1e-5 Pa*s, k 0.18 W/(m*K)) and B (MW 32,
// 2e-5 Pa*s, 0.026 W/(m*K)) at x = (0.4, 0.6):
//   phi_AB = [1 + (1/2)^1/2 16^1/4]^2 / [8 (1 + 1/16)]^1/2 = 1.99913401100038
//   phi_BA = [1 + 2^1/2 (1/16)^1/4]^2 / [8 (1 + 16)]^1/2  = 0.249891751375048
//   mu = 0.4 mu_A / (0.4 + 0.6 phi_AB) + 0.6 mu_B / (0.6 + 0.4 phi_BA)
//      = 1.96447297315693e-5 Pa*s
//   k  = the same with k_A, k_B = 0.0673017111956957 W/(m*K)
// Liquid: mu = exp(0.4 ln 1e-3 + 0.6 ln 2e-3) = 1.5157165665104e-3 Pa*s;
// k = (0.4 0.1^-3.4 + 0.6 0.15^-3.4)^(-1/3.4) = 0.119150115316801 W/(m*K);
// sigma with e = (0.4/50, 0.6/20) m3/kmol:
// ((0.02^1/4 e_A + 0.07^1/4 e_B) / (e_A + e_B))^4 = 0.0554454859050583 N/m.
TEST_F(IdealModel, TransportMixingRules) {
  auto vapor = makePhase("vapor");
  auto liquid = makePhase("liquid");
  for (IdealPhase *phase : {vapor.get(), liquid.get()}) {
    phase->x[0] = Value(0.4);
    phase->x[1] = Value(0.6);
  }
  EXPECT_NEAR(vapor->mu(P0, T0).value(), 1.96447297315693e-5, 1e-18);
  EXPECT_NEAR(vapor->kappa(P0, T0).value(), 0.0673017111956957, 1e-15);
  EXPECT_EQ(vapor->sigma(P0, T0).value(), 0.0);
  EXPECT_NEAR(liquid->mu(P0, T0).value(), 1.5157165665104e-3, 1e-16);
  EXPECT_NEAR(liquid->kappa(P0, T0).value(), 0.119150115316801, 1e-14);
  EXPECT_NEAR(liquid->sigma(P0, T0).value(), 0.0554454859050583, 1e-15);
  EXPECT_EQ(liquid->kappa(P0, T0).uom(), Value(1.0, "W/(m*K)").uom());

  auto solid = makePhase("solid");
  EXPECT_EQ(solid->mu(P0, T0).value(), 1e10);
  EXPECT_EQ(solid->kappa(P0, T0).value(), 1e10);
  EXPECT_EQ(solid->sigma(P0, T0).value(), 0.0);
}

TEST_F(IdealModel, IdenticalVapoursMixToThePureValues) {
  PureData same;
  same.mw = 28;
  same.muv = 1.8e-5;
  same.kv = 0.026;
  use({{"N2a", same}, {"N2b", same}});
  auto vapor = makePhase("vapor");
  for (double x0 : {0.5, 0.1, 1.0}) {
    vapor->x[0] = Value(x0);
    vapor->x[1] = Value(1 - x0);
    EXPECT_NEAR(vapor->mu(P0, T0).value(), 1.8e-5, 1e-19) << x0;
    EXPECT_NEAR(vapor->kappa(P0, T0).value(), 0.026, 1e-16) << x0;
  }
}

// 1 / (0.5/50 + 0.5/20) = 28.5714285714286 kmol/m3, the equimolar liquid;
// its surface tension with e = (0.01, 0.025) is 0.0508432233235531 N/m.
TEST_F(IdealModel, EmptyLiquidHasTheEquimolarProperties) {
  auto liquid = makePhase("liquid");
  liquid->x[0] = Value(0.0);
  liquid->x[1] = Value(0.0);
  EXPECT_NEAR(liquid->calculate_rho(P0, T0).value(), 28.5714285714286, 1e-12);
  EXPECT_NEAR(liquid->sigma(P0, T0).value(), 0.0508432233235531, 1e-15);
  EXPECT_NEAR(liquid->kappa(P0, T0).value(), 0.114772446280299, 1e-14);
  EXPECT_TRUE(std::isfinite(liquid->mu(P0, T0).value()));
  EXPECT_EQ(liquid->calculate_H(P0, T0).value(), 0.0);

  // The property pass of an empty phase stays finite.
  liquid->ndot = Value(0.0, "kmol/s");
  liquid->calculateX(Phase::MassBalanceMode::Nx);
  liquid->calculateProperties(P0, T0, true);
  for (const char *tag : {"rho", "v", "vdot", "h", "s", "g", "cp"})
    EXPECT_TRUE(std::isfinite(liquid->Q(tag).value())) << tag;
}

TEST_F(IdealModel, PropertyPassKeepsTheRelations) {
  auto liquid = makePhase("liquid");
  setComposition(*liquid, {0.4, 0.6}, 2.0);
  const Value T(310.0, "K");
  liquid->calculateProperties(P0, T, true);
  const double amw = 0.4 * 2 + 0.6 * 32;
  const double molarDensity = liquid->calculate_rho(P0, T).value();
  EXPECT_DOUBLE_EQ(liquid->rho.value(), molarDensity * amw);
  EXPECT_DOUBLE_EQ(liquid->v.value(), 1.0 / molarDensity);
  EXPECT_DOUBLE_EQ(liquid->vdot.value(), 2.0 / molarDensity);
  EXPECT_DOUBLE_EQ(liquid->h.value(), liquid->H.value() / amw);
  EXPECT_DOUBLE_EQ(liquid->s.value(), liquid->S.value() / amw);
  EXPECT_DOUBLE_EQ(liquid->cp.value(), 75000.0 / amw);
  EXPECT_DOUBLE_EQ(liquid->g.value(), liquid->h.value() - 310.0 * liquid->s.value());
  EXPECT_EQ(liquid->rho.uom(), Value(1.0, "kg/m3").uom());

  // writeH false keeps the caller's H and derives h and g from it.
  liquid->H = Value(1000.0, "J/kmol");
  liquid->calculateProperties(P0, T, false);
  EXPECT_EQ(liquid->H.value(), 1000.0);
  EXPECT_DOUBLE_EQ(liquid->h.value(), 1000.0 / amw);

  // Prandtl number Cp mu / (kappa AMW).
  EXPECT_NEAR(liquid->Pr(P0, T).value(), 75000.0 * 1.5157165665104e-3 / 0.119150115316801 / amw,
              1e-9);
}

TEST_F(IdealModel, WritesLogLinesWithItsVerbosity) {
  auto liquid = makePhase("liquid");
  liquid->setVerbosity(10);
  dynamic_cast<Diagnostic &>(liquid->model()).setVerbosity(10);
  testing::internal::CaptureStdout();
  setComposition(*liquid, {0.4, 0.6});
  liquid->calculateProperties(P0, T0, true);
  liquid->mu(P0, T0);
  liquid->sigma(P0, T0);
  const std::string out = testing::internal::GetCapturedStdout();
  for (const char *line : {"Phase::MassMolar::calculateX *** Entered with Nx\n",
                           "Phase::MassMolar::calculateNx_ **** sumx = 1 \n",
                           "Phase::Generic::calculate_H *** Entered with Pres = 101325 ",
                           "Phase::Ideal::calculate_H_ **** x[1] = 0.6  components[i]->hl = ",
                           "Phase::Ideal::sigma_ *** Entered with T = 298.15 K and phase type = "
                           "liquid\n",
                           "Phase::MassMolarProperties::calculateProperties *** Entered with "
                           "writeH = true\n"})
    EXPECT_NE(out.find(line), std::string::npos) << line;
}

// ---------------------------------------------------------------- derivatives

struct DerivativeCase {
  const char *type;
  double T;
};

// Readable in the test names that CTest shows.
void PrintTo(const DerivativeCase &c, std::ostream *stream) {
  *stream << c.type << " at " << c.T << " K";
}

class IdealDerivatives : public testing::TestWithParam<DerivativeCase> {
protected:
  void SetUp() override {
    components.clear();
    components.add(new purecomps::water("H2O"));
    PureData other;
    other.mw = 46;
    other.rhol = 17;
    other.cpl = 110000;
    components.add(new LinearComponent("Other", other));
  }
  void TearDown() override { components.clear(); }

  // H, S and rho of the phase at (T, x0), x1 = 0.7.
  std::vector<double> evaluate(double T, double x0) {
    auto phase = makePhase(GetParam().type);
    phase->x[0] = Value(x0);
    phase->x[1] = Value(0.7);
    const Value temperature(T, "K");
    return {phase->calculate_H(P0, temperature).value(),
            phase->calculate_S(P0, temperature).value(),
            phase->calculate_rho(P0, temperature).value()};
  }
};

TEST_P(IdealDerivatives, MatchFiniteDifferencesInTemperatureAndComposition) {
  const double T = GetParam().T, x0 = 0.3;
  pushDerivativeContext(2);
  {
    auto phase = makePhase(GetParam().type);
    Value temperature(T, "K");
    temperature.activeValue().setDerivative(0, 1.0);
    Value fraction(x0);
    fraction.activeValue().setDerivative(1, 1.0);
    phase->x[0] = fraction;
    phase->x[1] = Value(0.7);
    const Value H = phase->calculate_H(P0, temperature);
    const Value S = phase->calculate_S(P0, temperature);
    const Value rho = phase->calculate_rho(P0, temperature);
    const Value *results[] = {&H, &S, &rho};
    const char *names[] = {"H", "S", "rho"};

    const double hT = 1e-3, hx = 1e-6;
    const std::vector<double> Tup = evaluate(T + hT, x0), Tdown = evaluate(T - hT, x0);
    const std::vector<double> xup = evaluate(T, x0 + hx), xdown = evaluate(T, x0 - hx);
    for (int k = 0; k < 3; ++k) {
      const double dT = (Tup[k] - Tdown[k]) / (2 * hT);
      const double dx = (xup[k] - xdown[k]) / (2 * hx);
      EXPECT_NEAR(results[k]->activeValue().derivative(0), dT, 1e-6 * (std::fabs(dT) + 1))
          << names[k] << " in T";
      EXPECT_NEAR(results[k]->activeValue().derivative(1), dx, 1e-6 * (std::fabs(dx) + 1))
          << names[k] << " in x";
    }
  }
  popDerivativeContext();
}

INSTANTIATE_TEST_SUITE_P(VapourAndLiquid, IdealDerivatives,
                         testing::Values(DerivativeCase{"vapor", 450.0},
                                         DerivativeCase{"liquid", 330.0}),
                         [](const testing::TestParamInfo<DerivativeCase> &info) {
                           return std::string(info.param.type);
                         });

} // namespace
