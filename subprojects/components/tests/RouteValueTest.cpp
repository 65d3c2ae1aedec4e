// Published and hand-computed values of the routes, reference states, and
// how the routes treat arguments a solver step or an input can produce:
// wrong units, and temperatures or pressures at or below zero.

#include "RouteTestSupport.h"
#include "TestComponents.h"

#include "velta/components/ParametersHenry.h"
#include "velta/components/RouteHeatSolidBkk.h"
#include "velta/components/RouteHeatVaporVolp.h"
#include "velta/components/RouteVolumeLiquidWater.h"
#include "velta/utility/Error.h"
#include "velta/value/Constants.h"
#include "velta/value/ErrorUnit.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

Value kelvins(double T) { return Value(T, routetest::kelvin); }
Value pascals(double P) { return Value(P, routetest::pascal); }

template <class E, class F> std::string messageOf(F f) {
  try {
    f();
  } catch (const E &error) {
    return error.message();
  }
  return "no error";
}

} // namespace

TEST(RouteValues, NumbersOfTheRoutes) {
  const RouteVolumeLiquidWater water(nullptr);
  const RouteHeatSolidDummy solid;
  const RouteVolumeVaporIdeal *ideal = nullptr;
  TestDipprComponent dipprComponent("D");
  ideal = &dipprComponent;
  double drhodT = 0.0, drhodP = 0.0;
  const double rhov = ideal->rhov(kelvins(298.15), pascals(101325), &drhodT, &drhodP).value();
  const ParametersHenry henry(7.8e-4, 500);

  struct Row {
    const char *what;
    double actual;
    double expected;
    double tolerance;
  };
  const Row rows[] = {
      // rho0(300) = 57.491798, d = 0.0065181245*300 + 0.1686214114 + 1.15e-6*30^3
      // = 2.155109, rho = rho0 - d (1 - 1e5/1e8) = 55.338844.
      {"water density 300 K, 1e5 Pa", water.rhol(kelvins(300), pascals(1e5)).value(), 55.338844,
       1e-6},
      // 997.05 kg/m3 / 18.0153 kg/kmol (steam tables), within 0.5 %.
      {"water density 298.15 K, 1 atm", water.rhol(kelvins(298.15), pascals(101325)).value(),
       55.345, 0.28},
      // The Henry constant is stored divided by 100; the pseudo vapour pressure
      // at 298.15 K is 1e6 Pa / (k/100 * 18.0153) = 7.116458e9 Pa.
      {"Henry record element 0", henry[0], 7.8e-6, 1e-20},
      {"Henry record element 1", henry[1], 500.0, 0.0},
      {"Henry pseudo vapour pressure", 1e6 / (henry[0] * 18.0153), 7.116458e9, 1e3},
      // cp = 4186.8 J/(kg K) * 18 kg/kmol = 75362.4 J/(kmol K); hs = cp * 300 K.
      {"solid placeholder hs(300 K)", solid.hs(kelvins(300), pascals(1e5)).value(), 22608720.0,
       1e-6},
      {"solid placeholder cps", solid.cps(kelvins(900), pascals(1e5)).value(), 75362.4, 1e-9},
      // 101325 / (8314.4 * 298.15)
      {"ideal gas density 298.15 K, 1 atm", rhov, 0.0408744, 1e-7},
      {"ideal gas drho/dT", drhodT, -rhov / 298.15, 1e-15},
      {"ideal gas drho/dP", drhodP, rhov / 101325, 1e-15},
  };
  for (const Row &row : rows)
    EXPECT_NEAR(row.actual, row.expected, row.tolerance) << row.what;
  EXPECT_TRUE(static_cast<bool>(henry));
  EXPECT_FALSE(static_cast<bool>(ParametersHenry()));
}

TEST(RouteValues, WaterDensityBranches) {
  const RouteVolumeLiquidWater water(nullptr);
  // At 1e8 Pa both pressure corrections vanish: the density is rho0.
  for (double T : {300.0, 500.0, 700.0}) {
    const double below = water.rhol(kelvins(T), pascals(1e8 * (1 - 1e-12))).value();
    const double at = water.rhol(kelvins(T), pascals(1e8)).value();
    EXPECT_NEAR(below, at, 1e-9) << T;
  }
  // Below 273.16 K only the linear term follows T.
  double derT = 0.0;
  water.rhol(kelvins(200), pascals(1e6), &derT);
  EXPECT_NEAR(derT, -(1 - 0.01) * 0.0065181245, 1e-15);
  // Above 647 K below 2.21e7 Pa only rho0 follows T.
  water.rhol(kelvins(700), pascals(1e6), &derT);
  const double rho0Slope =
      0.112866296384922 + 700 * (3 * 1.22687357845896e-7 * 700 - 0.000529456358377416);
  EXPECT_NEAR(derT, rho0Slope, 1e-15);
}

TEST(RouteValues, WaterReferenceData) {
  TestPdipprComponent water("H2O");
  // Steam tables: 101418 Pa at 373.15 K; 40.657 kJ/mol there. The ideal-gas
  // vapour volume makes the Clapeyron value about 2 % higher.
  EXPECT_NEAR(water.psat(kelvins(373.15)).value(), 101418.0, 0.005 * 101418.0);
  EXPECT_NEAR(water.dhvl(kelvins(373.15)).value(), 4.0657e7, 0.03 * 4.0657e7);
}

TEST(RouteValues, ReferenceStates) {
  TestDipprComponent d("D");
  TestPdipprComponent w("W");
  const double dh0 = -241814000.0, s0 = (-241814000.0 + 228590000.0) / 298.15;
  for (const RouteHeatVapor *route :
       {static_cast<const RouteHeatVapor *>(&d), static_cast<const RouteHeatVapor *>(&w)}) {
    EXPECT_NEAR(route->hv(kelvins(298.15), pascals(101325)).value(), dh0, 1e-6);
    EXPECT_NEAR(route->sv(kelvins(298.15), pascals(101325)).value(), s0, 1e-8);
    EXPECT_NEAR(route->gv(kelvins(298.15), pascals(101325)).value(), -228590000.0, 1e-5);
    // Doubling P lowers sv by R ln 2 and leaves hv alone.
    EXPECT_NEAR(route->sv(kelvins(400), pascals(2e5)).value() -
                    route->sv(kelvins(400), pascals(4e5)).value(),
                8314.4 * std::log(2.0), 1e-8);
    EXPECT_EQ(route->hv(kelvins(400), pascals(2e5)).value(),
              route->hv(kelvins(400), pascals(4e5)).value());
  }
  const RouteHeatVaporDummy dummy;
  EXPECT_EQ(dummy.hv(kelvins(298.15), pascals(101325)).value(), -2.41814e8);
  EXPECT_EQ(dummy.sv(kelvins(298.15), pascals(101325)).value(), 0.0);
  // The constant-heat-capacity polynomial: hv = dh0 + 1000 c0 (T - 298.15 K).
  struct Constants : ComponentBase {
    Constants() : ComponentBase(testdata::waterConstants()) {}
  } constants;
  const RouteHeatVaporVolp flat(&constants, ParametersLnPolynomial(30, 0, 0, 0, 0, 0));
  EXPECT_NEAR(flat.hv(kelvins(500), pascals(1e5)).value(), dh0 + 30000.0 * (500 - 298.15), 1e-6);
  EXPECT_EQ(flat.cpv(kelvins(500), pascals(1e5)).value(), 30000.0);
}

TEST(RouteValues, HeatOfVaporisationConstantIsMolar) {
  TestPdipprComponent water("H2O");
  // Below Tmin the heat of vaporisation implied by the vapour pressure,
  // R T^2 dln(psat)/dT, is linear in T and equals dhvl0 (J/kmol) at 0 K.
  const auto implied = [&water](double T) {
    double d1 = 0.0;
    const double p = water.psat(kelvins(T), &d1).value();
    return 8314.4 * T * T * d1 / p;
  };
  EXPECT_NEAR(2 * implied(100) - implied(200), 52053000.0, 1e-2);
  // Where psat underflows below 1e-100 Pa the fixed value is dhvl0 itself,
  // not dhvl0 times the molar mass, and cpl falls back to cpv.
  double derT = 1.0;
  EXPECT_LT(water.psat(kelvins(20)).value(), 1e-100);
  EXPECT_EQ(water.dhvl(kelvins(20), &derT).value(), 52053000.0);
  EXPECT_EQ(derT, 0.0);
  EXPECT_EQ(water.cpl(kelvins(20), pascals(1e5)).value(),
            water.cpv(kelvins(20), referencePressure).value());
  // A bundle constant given per kg is refused.
  EXPECT_THROW(TestPdipprComponent("W", Value(2889400.0, "J/kg")), ErrorUnit);
}

TEST(RouteValues, NonPositiveTemperaturesAndPressuresAreErrorsNotAborts) {
  TestDipprComponent d("D");
  TestPdipprComponent w("W");
  const RouteHeatVaporDummy dummy;
  TestSolidComponent solid("S");
  const RouteHeatSolidBkk barin(GroupBkk(ParameterBkk(298.15, 1000, 0, 0, -30000, 0, 0, 0, 0, 0)));
  const double nan = std::numeric_limits<double>::quiet_NaN();

  // No vapour pressure at or below 0 K; the heat of vaporisation falls back
  // to its constant.
  for (double T : {0.0, -5.0}) {
    double d1 = 1.0, d2 = 1.0;
    EXPECT_EQ(d.psat(kelvins(T), &d1, &d2).value(), 0.0);
    EXPECT_EQ(d1, 0.0);
    EXPECT_EQ(d2, 0.0);
    EXPECT_EQ(w.dhvl(kelvins(T)).value(), 52053000.0);
  }

  const struct {
    const char *trace;
    std::function<void()> call;
  } cases[] = {
      {"RouteHeatVaporDippr::sv", [&] { d.sv(kelvins(-5), pascals(1e5)); }},
      {"RouteHeatVaporDippr::sv", [&] { d.sv(kelvins(300), pascals(0)); }},
      {"RouteHeatVaporDippr::sv", [&] { d.sv(kelvins(nan), pascals(1e5)); }},
      {"RouteHeatVaporVolp::hv", [&] { w.hv(kelvins(0), pascals(1e5)); }},
      {"RouteHeatVaporVolp::cpv", [&] { w.cpv(kelvins(-5), pascals(1e5)); }},
      {"RouteHeatVaporVolp::sv", [&] { w.sv(kelvins(300), pascals(-1)); }},
      {"pdippr::hl", [&] { w.hl(kelvins(-5), pascals(1e5)); }},
      {"dippr::sl", [&] { d.sl(kelvins(0), pascals(1e5)); }},
      {"RouteTransportDippr::mul", [&] { d.mul(kelvins(0)); }},
      {"RouteHeatVaporDummy::sv", [&] { dummy.sv(kelvins(0), pascals(1e5)); }},
      {"RouteHeatVaporDummy::sv", [&] { dummy.sv(kelvins(300), pascals(0)); }},
      {"RouteHeatVaporDippr::hv", [&] { d.hv(kelvins(0), pascals(1e5)); }},
      {"RouteHeatVaporDippr::cpv", [&] { d.cpv(kelvins(-5), pascals(1e5)); }},
      {"dippr::hl", [&] { d.hl(kelvins(-5), pascals(1e5)); }},
      {"dippr::cpl", [&] { d.cpl(kelvins(0), pascals(1e5)); }},
      {"RouteHeatSolidDummy::ss", [&] { d.ss(kelvins(0), pascals(1e5)); }},
      {"RouteHeatSolidBkk::ss", [&] { barin.ss(kelvins(-5), pascals(1e5)); }},
      // The solid-as-liquid route answers sl with its solid entropy.
      {"RouteHeatLiquidDummySolidBkk::ss", [&] { solid.sl(kelvins(0), pascals(1e5)); }},
  };
  for (const auto &c : cases) {
    const std::string text = messageOf<ErrorRunTime>(c.call);
    EXPECT_NE(text.find("Generic Run-Time error: "), std::string::npos) << text;
    EXPECT_NE(text.find(c.trace), std::string::npos) << text;
  }
  // Below 0 K the Barin enthalpy and heat capacity continue with constant
  // heat capacity (h = 30000 T, cp = 30000); only the entropy has no value.
  EXPECT_EQ(barin.hs(kelvins(-5), pascals(1e5)).value(), -150000.0);
  EXPECT_EQ(barin.cps(kelvins(-5), pascals(1e5)).value(), 30000.0);

  // A NaN temperature stays NaN; it never turns into the value at a bound.
  EXPECT_TRUE(std::isnan(d.rhol(kelvins(nan), pascals(1e5)).value()));
  EXPECT_TRUE(std::isnan(barin.hs(kelvins(nan), pascals(1e5)).value()));
  EXPECT_TRUE(std::isnan(solid.cps(kelvins(nan), pascals(1e5)).value()));
  EXPECT_TRUE(std::isnan(d.psat(kelvins(nan)).value()));

  // At zero pressure the ideal gas still has drho/dP = 1 / (R T).
  double drhodP = 0.0;
  EXPECT_EQ(d.rhov(kelvins(300), pascals(0), nullptr, &drhodP).value(), 0.0);
  EXPECT_DOUBLE_EQ(drhodP, 1.0 / (8314.4 * 300));

  EXPECT_EQ(messageOf<ErrorRunTime>([&] { d.sv(kelvins(-5), pascals(1e5)); }),
            "Error was thrown by function: RouteHeatVaporDippr::sv\n"
            "Generic Run-Time error: temperature must be positive: -5 K\n"
            "Called from function: RouteHeatVaporDippr::sv\n");
}

TEST(RouteValues, WrongUnitsAreTraced) {
  TestDipprComponent d("D");
  const Value pressureAsTemperature(300.0, "Pa");
  for (const auto &[trace, call] :
       std::initializer_list<std::pair<const char *, std::function<void()>>>{
           {"dippr::psat", [&] { d.psat(pressureAsTemperature); }},
           {"dippr::dhvl", [&] { d.dhvl(pressureAsTemperature); }},
           {"RouteHeatVaporDippr::hv", [&] { d.hv(kelvins(300), kelvins(300)); }},
           {"RouteTransportDippr::kl", [&] { d.kl(pressureAsTemperature); }},
           {"RouteHeatVapor::gv", [&] { d.gv(pressureAsTemperature, pascals(1e5)); }},
       }) {
    const std::string text = messageOf<ErrorUnit>(call);
    EXPECT_NE(text.find("incompatible units"), std::string::npos) << text;
    EXPECT_NE(text.find(std::string("Called from function: ") + trace), std::string::npos) << text;
  }
}

TEST(RouteValues, RoutesLogOnlyWhenTheirVerbosityIsRaised) {
  TestDipprComponent d("D");
  const int saved = verbosityGlobal;
  verbosityGlobal = 2;
  // A level-1 line needs verbosityGlobal + verbosity - 10 > 1.
  d.setVerbosity(9);
  ::testing::internal::CaptureStdout();
  d.hv(kelvins(300), pascals(1e5));
  EXPECT_EQ(::testing::internal::GetCapturedStdout(), "");
  d.setVerbosity(10);
  ::testing::internal::CaptureStdout();
  d.hv(kelvins(300), pascals(1e5));
  EXPECT_EQ(::testing::internal::GetCapturedStdout(),
            "RouteHeatVaporDippr::hv *** Entered with T = 300 K\n");
  verbosityGlobal = saved;
}
