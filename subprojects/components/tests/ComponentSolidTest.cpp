#include "velta/components/ComponentBkk.h"
#include "velta/components/ComponentSolid.h"
#include "velta/value/ErrorUnit.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

namespace {

const Value P0(101325.0, "Pa");
Value kelvin(double T) { return Value(T, "K"); }

// Records with a constant heat capacity: G = c0 + c2 T ln T gives
// cp = -c2, h = c0 - c2 T and s = -c2 (1 + ln T).
ParameterBkk constantCp(double xmin, double xmax, double c0, double cp) {
  return ParameterBkk(xmin, xmax, c0, 0, -cp, 0, 0, 0, 0, 0);
}

// FeF2's record: a full eight-term Gibbs function.
const ParameterBkk salt(298.15, 1373, -7.28149e8, 578462, -62955.8, -19.8288, 0.00425834,
                        -4.77325e-7, 3.91277e8, -1.88227e10);

// The Barin enthalpy and entropy written out, independent of the records.
double saltH(double T) {
  return -7.28149e8 + 62955.8 * T + 19.8288 * T * T - 2 * 0.00425834 * T * T * T +
         3 * 4.77325e-7 * std::pow(T, 4) + 2 * 3.91277e8 / T - 3 * 1.88227e10 / (T * T);
}
double saltS(double T) {
  return -578462 + 62955.8 * (1 + std::log(T)) + 2 * 19.8288 * T - 3 * 0.00425834 * T * T +
         4 * 4.77325e-7 * T * T * T + 3.91277e8 / (T * T) - 2 * 1.88227e10 / (T * T * T);
}

std::unique_ptr<ComponentSolid> makeSalt() {
  return std::make_unique<ComponentSolid>("Salt", Value(93.8438, "kg/kmol"), salt);
}

// Solid from 400 K (so 298.15 K lies below its range) to 1000 K, liquid above.
std::unique_ptr<ComponentBkk> makeMetal() {
  return std::make_unique<ComponentBkk>("Metal", Value(50.0, "kg/kmol"),
                                        GroupBkk(constantCp(1000, 2000, 5e6, 40000)),
                                        GroupBkk(constantCp(400, 700, 0, 30000),
                                                 constantCp(700, 1000, 1e6, 30000)));
}

TEST(SolidComponents, StayCondensedWithPlaceholderConstants) {
  const auto saltComponent = makeSalt();
  const auto metalComponent = makeMetal();
  for (const ComponentGeneric *c :
       {static_cast<const ComponentGeneric *>(saltComponent.get()),
        static_cast<const ComponentGeneric *>(metalComponent.get())}) {
    EXPECT_TRUE(c->isSolid());
    EXPECT_FALSE(c->isHenry());
    EXPECT_EQ(c->index(), -1);
    EXPECT_EQ(c->Pc().value(), 1.5e8);
    EXPECT_EQ(c->Tc().value(), 2000.0);
    EXPECT_EQ(c->psat(kelvin(1500)).value(), 0.0);
    for (double T : {100.0, 298.15, 3000.0})
      for (double P : {1.0, 101325.0, 1e9}) {
        const Value k = c->kvli(kelvin(T), Value(P, "Pa"));
        EXPECT_EQ(k.value(), 1e-20);
        EXPECT_TRUE(k.units().allEqual(0));
        // The liquid is as dense as the solid: 1000 kg/m3 of 18 kg/kmol.
        double dl = -1, ds = -1;
        EXPECT_DOUBLE_EQ(c->rhol(kelvin(T), Value(P, "Pa"), &dl).value(), 1000.0 / 18.0);
        EXPECT_DOUBLE_EQ(c->rhos(kelvin(T), Value(P, "Pa"), &ds).value(), 1000.0 / 18.0);
        EXPECT_EQ(dl, 0.0);
        EXPECT_EQ(ds, 0.0);
      }
  }
}

TEST(SolidComponents, SolidOnlyLiquidIsTheSolid) {
  const auto c = makeSalt();
  for (double T : {250.0, 298.15, 800.0, 1373.0, 1600.0}) {
    EXPECT_EQ(c->hl(kelvin(T), P0).value(), c->hs(kelvin(T), P0).value()) << T;
    EXPECT_EQ(c->sl(kelvin(T), P0).value(), c->ss(kelvin(T), P0).value()) << T;
    EXPECT_EQ(c->cpl(kelvin(T), P0).value(), c->cps(kelvin(T), P0).value()) << T;
  }
  EXPECT_NEAR(c->hs(kelvin(800), P0).value(), saltH(800), 1e-6 * std::fabs(saltH(800)));
}

TEST(SolidComponents, FormationReferencesComeFromTheSolidAt298K) {
  const auto saltComponent = makeSalt();
  const double T0 = 298.15;
  EXPECT_NEAR(saltComponent->dh0().value(), saltH(T0), 1e-9 * std::fabs(saltH(T0)));
  EXPECT_NEAR(saltComponent->dg0().value(), saltH(T0) - T0 * saltS(T0),
              1e-9 * std::fabs(saltH(T0)));

  // Below the solid group (starts at 400 K) the constant-cp continuation
  // applies: h = 30000 * 400 + 30000 * (298.15 - 400) = 30000 * 298.15 and
  // s = -(-30000) (1 + ln 400) + 30000 ln(298.15 / 400) = 30000 (1 + ln 298.15).
  const auto metal = makeMetal();
  const double h0 = 30000 * T0, s0 = 30000 * (1 + std::log(T0));
  EXPECT_NEAR(metal->dh0().value(), h0, 1e-6);
  EXPECT_NEAR(metal->dg0().value(), h0 - T0 * s0, 1e-6);
  EXPECT_TRUE(metal->dh0().units() == Value(1.0, "J/kmol").units());
}

TEST(SolidComponents, BarinComponentSeparatesLiquidAndSolid) {
  const auto c = makeMetal();
  // Solid: h = c0 + 30000 T on each record; liquid: 5e6 + 40000 T.
  EXPECT_NEAR(c->hs(kelvin(500), P0).value(), 30000 * 500.0, 1e-6);
  EXPECT_NEAR(c->hs(kelvin(900), P0).value(), 1e6 + 30000 * 900.0, 1e-6);
  EXPECT_NEAR(c->hl(kelvin(1500), P0).value(), 5e6 + 40000 * 1500.0, 1e-6);
  EXPECT_NEAR(c->cpl(kelvin(1500), P0).value(), 40000.0, 1e-9);
  EXPECT_NEAR(c->cps(kelvin(900), P0).value(), 30000.0, 1e-9);
}

TEST(SolidComponents, ConstructionChecksNameAndMolarMassUnits) {
  EXPECT_THROW(ComponentSolid("2H", Value(10.0, "kg/kmol"), salt), ErrorInvalidCharacter);
  EXPECT_THROW(ComponentSolid("Salt", Value(10.0, "K"), salt), ErrorUnit);
  EXPECT_THROW(ComponentBkk("Metal", Value(10.0, "Pa"), GroupBkk(salt), GroupBkk(salt)),
               ErrorUnit);
}

} // namespace
