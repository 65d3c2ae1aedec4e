#include "velta/components/ComponentDippr.h"
#include "velta/components/ComponentPdippr.h"
#include "velta/value/DerivativeContext.h"
#include "velta/value/ErrorUnit.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>

namespace {

Value kelvin(double T) { return Value(T, "K"); }
Value pascal(double P) { return Value(P, "Pa"); }

// Water-like data; the heat-of-vaporisation constant is molar.
const Value molarDhvl0(5.2053e7, "J/kmol");

ParametersAntoine waterAntoine(double a0 = 73.649) {
  return ParametersAntoine(a0, -7258.2, 0, 0, -7.3037, 4.1653e-6, 2, 273.16, 647.13);
}
ParametersDippr cpig() { return ParametersDippr(33363, 26790, 2610.5, 8896, 1169, 100, 2273.15); }
ParametersDippr density105() { return ParametersDippr(5.459, 0.30542, 647.13, 0.081, 0, 273.16, 647.13); }
ParametersLnPolynomial cpPolynomial() {
  return ParametersLnPolynomial(-2558.7254408, 1954.64102748, -573.43988184, 81.5422031,
                                -5.6045238, 0.14904476);
}
ParametersDippr kl() { return ParametersDippr(-0.432, 0.0057255, -8.078e-6, 1.861e-9, 0, 273.16, 633.15); }
ParametersDippr kv() { return ParametersDippr(0.0021606, 0.76839, 3940.5, -445340, 0, 273.16, 1073.15); }
ParametersDippr mul() { return ParametersDippr(-52.843, 3703.6, 5.866, -5.879e-29, 10, 273.16, 646.15); }
ParametersDippr muv() { return ParametersDippr(6.1839e-7, 0.67779, 847.23, -73930, 0, 273.16, 1073.15); }
ParametersDippr sigma() { return ParametersDippr(0.18548, 2.717, -3.554, 2.047, 0, 273.16, 647.13); }

const ParametersHenry henryExample(7.8e-4, 500); // stored as 7.8e-6 and 500 K

std::unique_ptr<ComponentGeneric> makeDippr(const ParametersHenry &henry,
                                            const Value &dhvl0 = molarDhvl0,
                                            const ParametersAntoine &antoine = waterAntoine()) {
  return std::make_unique<ComponentDippr>(
      "D", Value(18.015324, "kg/kmol"), pascal(2.2055e7), kelvin(647.13),
      Value(322.0, "kg/m3"), Value(0.0), Value(0.0188308, "m3/kmol"), Value(-2.41814e8, "J/kmol"),
      Value(-2.2859e8, "J/kmol"), dhvl0, Value(0.229), Value(0.344861), antoine, cpig(),
      density105(), kl(), kv(), mul(), muv(), sigma(), henry);
}

// withDensityRecord selects the constructor with a DIPPR 105 liquid density.
std::unique_ptr<ComponentGeneric> makePdippr(const ParametersHenry &henry,
                                             bool withDensityRecord = false,
                                             const Value &dhvl0 = molarDhvl0) {
  const Value mw(18.015324, "kg/kmol"), Pc = pascal(2.2055e7), Tc = kelvin(647.13);
  const Value rhoc(322.0, "kg/m3"), vb(0.0188308, "m3/kmol");
  const Value dh0(-2.41814e8, "J/kmol"), dg0(-2.2859e8, "J/kmol");
  if (withDensityRecord)
    return std::make_unique<ComponentPdippr>("P", mw, Pc, Tc, rhoc, Value(0.0), vb, dh0, dg0,
                                             dhvl0, Value(0.229), Value(0.344861), waterAntoine(),
                                             cpPolynomial(), density105(), kl(), kv(), mul(),
                                             muv(), sigma(), henry);
  return std::make_unique<ComponentPdippr>("P", mw, Pc, Tc, rhoc, Value(0.0), vb, dh0, dg0, dhvl0,
                                           Value(0.229), Value(0.344861), waterAntoine(),
                                           cpPolynomial(), kl(), kv(), mul(), muv(), sigma(),
                                           henry);
}

TEST(DipprComponents, HenryLawRatio) {
  // ps(298.15 K) = 1e6 Pa / (7.8e-6 * 18.0153) = 7.116458e9 Pa, so
  // kvli(101325 Pa) = 70233.98; at 350 K ps = 7.116458e9 / exp(500 (1/350 - 1/298.15))
  // = 9.12344e9 Pa. The pressure-dependent class uses 1e8 Pa: 100 times more.
  struct Case {
    double T, kvli;
  };
  const Case cases[] = {{298.15, 70233.98}, {350.0, 9.12344e9 / 101325.0}};
  const auto dipprComponent = makeDippr(henryExample);
  const auto pdipprComponent = makePdippr(henryExample);
  EXPECT_TRUE(dipprComponent->isHenry());
  EXPECT_TRUE(pdipprComponent->isHenry());
  for (const Case &c : cases) {
    const Value kd = dipprComponent->kvli(kelvin(c.T), pascal(101325));
    const Value kp = pdipprComponent->kvli(kelvin(c.T), pascal(101325));
    EXPECT_NEAR(kd.value(), c.kvli, 1e-6 * c.kvli) << c.T;
    EXPECT_NEAR(kp.value(), 100 * c.kvli, 1e-6 * 100 * c.kvli) << c.T;
    EXPECT_TRUE(kd.units().allEqual(0));
    EXPECT_TRUE(kp.units().allEqual(0));
  }
}

TEST(DipprComponents, HenryLawRatioCarriesDerivatives) {
  // kvli = ps / P with d ln ps / dT = B / T^2 (B = 500 K) and d ln kvli / dP = -1 / P.
  const auto c = makeDippr(henryExample);
  const double T = 320.0, P = 2e5;
  pushDerivativeContext(2);
  {
    Value t = kelvin(T), p = pascal(P);
    t.activeValue().setActive(0);
    p.activeValue().setActive(1);
    const Value k = c->kvli(t, p);
    EXPECT_NEAR(k.activeValue().derivative(0), k.value() * 500.0 / (T * T), 1e-9 * k.value());
    EXPECT_NEAR(k.activeValue().derivative(1), -k.value() / P, 1e-12 * k.value());
  }
  popDerivativeContext();
}

TEST(DipprComponents, WithoutHenryRecordRatioIsVapourPressureOverPressure) {
  for (const auto &c : {makeDippr(ParametersHenry()), makePdippr(ParametersHenry())}) {
    EXPECT_FALSE(c->isHenry());
    EXPECT_FALSE(c->isSolid());
    for (double T : {250.0, 300.0, 373.15, 700.0}) {
      const double ratio = c->kvli(kelvin(T), pascal(5e4)).value();
      EXPECT_DOUBLE_EQ(ratio, c->psat(kelvin(T)).value() / 5e4) << T;
    }
  }
  // A vapour-pressure record with a0 = 0 gives no vapour pressure: ratio 0.
  const auto noVapour = makeDippr(ParametersHenry(), molarDhvl0, waterAntoine(0.0));
  EXPECT_EQ(noVapour->kvli(kelvin(300), pascal(101325)).value(), 0.0);
}

TEST(DipprComponents, HeatOfVaporisationConstantIsMolar) {
  // The constant must be given per kmol; per kg is refused.
  EXPECT_THROW(makeDippr(ParametersHenry(), Value(2.889e6, "J/kg")), ErrorUnit);
  EXPECT_THROW(makePdippr(ParametersHenry(), false, Value(2.889e6, "J/kg")), ErrorUnit);
  // Deep below Tmin (20 K: psat ~ 1e-120 Pa) dhvl falls back to the constant
  // itself, a molar value, not the constant times the molar mass.
  for (const auto &c : {makeDippr(ParametersHenry()), makePdippr(ParametersHenry())}) {
    ASSERT_LT(c->psat(kelvin(20)).value(), 1e-100);
    double derT = -1;
    const Value dhvl = c->dhvl(kelvin(20), &derT);
    EXPECT_DOUBLE_EQ(dhvl.value(), 5.2053e7);
    EXPECT_TRUE(dhvl.units() == molarDhvl0.units());
    EXPECT_EQ(derT, 0.0);
  }
}

TEST(DipprComponents, PdipprLiquidDensityRoute) {
  const Value T = kelvin(300), P = pascal(1e5);
  // Water density correlation: 55.34 kmol/m3 at 300 K and 1e5 Pa.
  EXPECT_NEAR(makePdippr(ParametersHenry(), false)->rhol(T, P).value(), 55.34, 0.01);
  // DIPPR 105: 5.459 / 0.30542^(1 + (1 - 300/647.13)^0.081) = 55.42 kmol/m3.
  const double dippr105 = 5.459 / std::pow(0.30542, 1 + std::pow(1 - 300 / 647.13, 0.081));
  EXPECT_NEAR(makePdippr(ParametersHenry(), true)->rhol(T, P).value(), dippr105, 1e-9);
}

TEST(DipprComponents, RatioErrorsCarryTheComponentTrace) {
  struct Case {
    std::unique_ptr<ComponentGeneric> component;
    const char *trace;
  };
  Case cases[] = {{makeDippr(henryExample), "ComponentDippr::kvli"},
                  {makeDippr(ParametersHenry()), "ComponentDippr::kvli"},
                  {makePdippr(henryExample), "ComponentPdippr::kvli"},
                  {makePdippr(ParametersHenry()), "ComponentPdippr::kvli"}};
  for (const Case &c : cases) {
    try {
      c.component->kvli(pascal(300), pascal(101325)); // T not a temperature
      ADD_FAILURE() << c.trace;
    } catch (const ErrorUnit &error) {
      EXPECT_NE(error.message().find(std::string("Called from function: ") + c.trace),
                std::string::npos)
          << error.message();
    }
  }
}

} // namespace
