// Every route family of the two DIPPR-type test components over 250 K to
// 700 K: automatic derivatives and explicit derivative outputs against
// central finite differences, the thermodynamic identities that tie the
// routes together, and continuity across each correlation's bounds.

#include "RouteTestSupport.h"
#include "TestComponents.h"

#include "velta/value/Constants.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <vector>

using routetest::centralP;
using routetest::centralT;
using routetest::evaluateSeeded;
using routetest::Function;

namespace {

const double h = 1e-3;      // K, finite-difference step in T
const double P0 = 101325.0; // Pa

// Temperatures 250.5 K, 255.5 K, ... 695.5 K: none within h of a bound.
std::vector<double> grid() {
  std::vector<double> T;
  for (double t = 250.5; t < 700.0; t += 5.0)
    T.push_back(t);
  return T;
}

// |actual - expected| within rel of max(|expected|, scale).
::testing::AssertionResult close(double actual, double expected, double rel, double scale = 0.0) {
  const double tolerance = rel * std::max(std::fabs(expected), scale);
  if (std::fabs(actual - expected) <= tolerance && std::isfinite(actual))
    return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure()
         << actual << " vs " << expected << " (tolerance " << tolerance << ")";
}

struct Subject {
  std::string label;
  std::shared_ptr<ComponentGeneric> component;
  // Relative tolerance of the d(dhvl)/dT output and of cpl against finite
  // differences.
  double dhvlSlopeTolerance;
};

std::vector<Subject> subjects() {
  return {
      {"dippr", std::make_shared<TestDipprComponent>("D"), 1e-5},
      // Pressure-dependent liquid density: the d(dhvl)/dT output must follow
      // the liquid along the saturation line too.
      {"pdippr", std::make_shared<TestPdipprComponent>("W"), 1e-5},
  };
}

Value kelvins(double T) { return Value(T, routetest::kelvin); }
Value pascals(double P) { return Value(P, routetest::pascal); }

} // namespace

TEST(RouteFamilies, SaturationDerivativesMatchFiniteDifferences) {
  for (const Subject &s : subjects()) {
    const ComponentGeneric &c = *s.component;
    const Function psat = [&c](const Value &T, const Value &) { return c.psat(T); };
    const Function dpsat = [&c](const Value &T, const Value &) {
      double d1 = 0.0;
      c.psat(T, &d1);
      return Value(d1);
    };
    const Function dhvl = [&c](const Value &T, const Value &) { return c.dhvl(T); };
    for (double T : grid()) {
      SCOPED_TRACE(s.label + " T = " + std::to_string(T));
      double d1 = 0.0, d2 = 0.0, derT = 0.0;
      c.psat(kelvins(T), &d1, &d2);
      const double fdPsat = centralT(psat, T, P0, h);
      EXPECT_TRUE(close(evaluateSeeded(psat, T, P0).derivative, fdPsat, 1e-6));
      EXPECT_TRUE(close(d1, fdPsat, 1e-6));
      EXPECT_TRUE(close(d2, centralT(dpsat, T, P0, h), 1e-5));

      c.dhvl(kelvins(T), &derT);
      const double fdDhvl = centralT(dhvl, T, P0, h);
      EXPECT_TRUE(close(evaluateSeeded(dhvl, T, P0).derivative, fdDhvl, 1e-5, 1e3));
      EXPECT_TRUE(close(derT, fdDhvl, s.dhvlSlopeTolerance, 1e3));
    }
  }
}

TEST(RouteFamilies, VapourHeatIsConsistent) {
  for (const Subject &s : subjects()) {
    const ComponentGeneric &c = *s.component;
    const Function hv = [&c](const Value &T, const Value &P) { return c.hv(T, P); };
    const Function sv = [&c](const Value &T, const Value &P) { return c.sv(T, P); };
    for (double T : grid()) {
      SCOPED_TRACE(s.label + " T = " + std::to_string(T));
      const double P = 2e5;
      const double cpv = c.cpv(kelvins(T), pascals(P)).value();
      // d(hv)/dT = cpv and T d(sv)/dT = cpv.
      EXPECT_TRUE(close(centralT(hv, T, P, h), cpv, 1e-6));
      EXPECT_TRUE(close(T * centralT(sv, T, P, h), cpv, 1e-6));
      EXPECT_TRUE(close(evaluateSeeded(hv, T, P).derivative, cpv, 1e-6));
      EXPECT_TRUE(close(evaluateSeeded(sv, T, P).derivative, cpv / T, 1e-6));
      // Ideal gas: d(sv)/dP = -R/P.
      EXPECT_TRUE(close(evaluateSeeded(sv, T, P, true).derivative, -8314.4 / P, 1e-9));
      EXPECT_TRUE(close(centralP(sv, T, P, 1.0), -8314.4 / P, 1e-6));
      // gv = hv - T sv.
      EXPECT_TRUE(close(c.gv(kelvins(T), pascals(P)).value(),
                        routetest::plain(hv, T, P) - T * routetest::plain(sv, T, P), 1e-12, 1e8));
    }
  }
}

TEST(RouteFamilies, LiquidHeatFollowsTheVapour) {
  for (const Subject &s : subjects()) {
    const ComponentGeneric &c = *s.component;
    const Function hl = [&c](const Value &T, const Value &P) { return c.hl(T, P); };
    const Function sl = [&c](const Value &T, const Value &P) { return c.sl(T, P); };
    for (double T : grid()) {
      SCOPED_TRACE(s.label + " T = " + std::to_string(T));
      const double P = 3e5;
      const Value t = kelvins(T);
      const Value psat = c.psat(t);
      const double dhvl = c.dhvl(t).value();
      // hl + dhvl = hv(T, psat) and sl + dhvl/T = sv at the same P.
      EXPECT_TRUE(close(c.hl(t, pascals(P)).value() + dhvl, c.hv(t, psat).value(), 1e-12, 1e8));
      EXPECT_TRUE(
          close(c.sl(t, pascals(P)).value() + dhvl / T, c.sv(t, pascals(P)).value(), 1e-12, 1e5));
      // cpl = d(hl)/dT (exact as far as d(dhvl)/dT is).
      const double fdHl = centralT(hl, T, P, h);
      EXPECT_TRUE(close(evaluateSeeded(hl, T, P).derivative, fdHl, 1e-5, 1e4));
      EXPECT_TRUE(close(c.cpl(t, pascals(P)).value(), fdHl, s.dhvlSlopeTolerance, 1e4));
      EXPECT_TRUE(close(evaluateSeeded(sl, T, P).derivative, centralT(sl, T, P, h), 1e-5, 10.0));
    }
  }
}

TEST(RouteFamilies, VolumeDerivativesMatchFiniteDifferences) {
  for (const Subject &s : subjects()) {
    const ComponentGeneric &c = *s.component;
    const Function rhov = [&c](const Value &T, const Value &P) { return c.rhov(T, P); };
    const Function rhol = [&c](const Value &T, const Value &P) { return c.rhol(T, P); };
    for (double P : {1e5, 5e7, 2e8}) {
      for (double T : grid()) {
        SCOPED_TRACE(s.label + " T = " + std::to_string(T) + " P = " + std::to_string(P));
        double drhodT = 0.0, drhodP = 0.0, derT = 0.0;
        c.rhov(kelvins(T), pascals(P), &drhodT, &drhodP);
        EXPECT_TRUE(close(drhodT, centralT(rhov, T, P, h), 1e-6));
        EXPECT_TRUE(close(drhodP, centralP(rhov, T, P, P * 1e-6), 1e-6));
        EXPECT_TRUE(close(evaluateSeeded(rhov, T, P).derivative, drhodT, 1e-12));
        EXPECT_TRUE(close(evaluateSeeded(rhov, T, P, true).derivative, drhodP, 1e-12));
        // pv inverts rhov; its outputs against central differences in rho and T.
        const double rho = c.rhov(kelvins(T), pascals(P)).value();
        double dPdrho = 0.0, dPdT = 0.0;
        EXPECT_TRUE(close(c.pv(rho, T, &dPdrho, &dPdT), P, 1e-12));
        const double dr = rho * 1e-6;
        EXPECT_TRUE(close(dPdrho, (c.pv(rho + dr, T) - c.pv(rho - dr, T)) / (2 * dr), 1e-6));
        EXPECT_TRUE(close(dPdT, (c.pv(rho, T + h) - c.pv(rho, T - h)) / (2 * h), 1e-6));

        c.rhol(kelvins(T), pascals(P), &derT);
        const double fd = centralT(rhol, T, P, h);
        EXPECT_TRUE(close(derT, fd, 1e-5, 1e-3));
        EXPECT_TRUE(close(evaluateSeeded(rhol, T, P).derivative, fd, 1e-5, 1e-3));
        EXPECT_TRUE(close(evaluateSeeded(rhol, T, P, true).derivative,
                          centralP(rhol, T, P, P * 1e-4), 1e-5, 1e-12));
      }
    }
    // Beyond 1e6 kmol/m3 the molar volume is held at 1e-6 m3/kmol.
    EXPECT_EQ(c.pv(2e6, 300.0), c.pv(1e6, 300.0));
    EXPECT_EQ(c.pv(1e6, 300.0), 8314.4 * 300.0 * 1e6);
  }
}

TEST(RouteFamilies, TransportPropertiesArePositiveAndFinite) {
  for (const Subject &s : subjects()) {
    const ComponentGeneric &c = *s.component;
    for (double T : grid()) {
      SCOPED_TRACE(s.label + " T = " + std::to_string(T));
      const Value t = kelvins(T);
      for (const Value &v : {c.muv(t), c.mul(t), c.kv(t), c.kl(t)}) {
        EXPECT_GT(v.value(), 0.0);
        EXPECT_TRUE(std::isfinite(v.value()));
      }
      // Surface tension vanishes at the critical temperature and stays there.
      EXPECT_GE(c.sigma(t).value(), 0.0);
      EXPECT_EQ(c.sigma(t).value() > 0.0, T < 647.13);
    }
  }
}

// Value, and where the continuation is built to match it, slope, on both
// sides of every bound of every correlation.
TEST(RouteFamilies, ContinuousAcrossCorrelationBounds) {
  struct Bound {
    std::string what;
    double T;
    Function f;
    bool slopeContinuous;
  };
  const auto psatOf = [](const ComponentGeneric &c) {
    return [&c](const Value &T, const Value &) { return c.psat(T); };
  };
  for (const Subject &s : subjects()) {
    const ComponentGeneric &c = *s.component;
    const bool heldRoutes = s.label == "pdippr";
    const double psatMin = heldRoutes ? 273.16 : 300.0, psatMax = heldRoutes ? 647.13 : 600.0;
    const RouteTransport &r = c;
    const auto transport = [&r](Value (RouteTransport::*p)(const Value &) const) {
      return [&r, p](const Value &T, const Value &) { return (r.*p)(T); };
    };
    const Function dhvl = [&c](const Value &T, const Value &) { return c.dhvl(T); };
    const Function hl = [&c](const Value &T, const Value &) { return c.hl(T, pascals(P0)); };
    const Function rhol = [&c](const Value &T, const Value &) { return c.rhol(T, pascals(P0)); };
    std::vector<Bound> bounds = {
        {"psat", psatMin, psatOf(c), true},
        {"psat", psatMax, psatOf(c), true},
        {"dhvl", psatMin, dhvl, false},
        {"dhvl", psatMax, dhvl, false},
        {"hl", psatMin, hl, false},
        {"hl", psatMax, hl, false},
        {"kl", 273.16, transport(&RouteTransport::kl), true},
        {"kl", 633.15, transport(&RouteTransport::kl), true},
        {"kv", 300, transport(&RouteTransport::kv), true},
        {"kv", 600, transport(&RouteTransport::kv), true},
        {"mul", 273.16, transport(&RouteTransport::mul), true},
        {"mul", 646.15, transport(&RouteTransport::mul), true},
        {"muv", 300, transport(&RouteTransport::muv), true},
        {"muv", 600, transport(&RouteTransport::muv), true},
        {"sigma", 273.16, transport(&RouteTransport::sigma), true},
        {"sigma", 647.13, transport(&RouteTransport::sigma), false},
    };
    if (heldRoutes) {
      bounds.push_back({"rhol", 273.16, rhol, false});
      bounds.push_back({"rhol", 647.0, rhol, false});
    } else {
      bounds.push_back({"rhol", 280, rhol, false});
      bounds.push_back({"rhol", 600, rhol, false});
    }
    for (const Bound &b : bounds) {
      SCOPED_TRACE(s.label + " " + b.what + " at " + std::to_string(b.T));
      const double eps = 1e-7, d = 1e-3;
      const double below = routetest::plain(b.f, b.T - eps, P0);
      const double above = routetest::plain(b.f, b.T + eps, P0);
      EXPECT_TRUE(close(above, below, 1e-5, 1e-7));
      if (b.slopeContinuous) {
        // One-sided differences just below and just above the bound.
        const double slopeBelow =
            (routetest::plain(b.f, b.T - eps, P0) - routetest::plain(b.f, b.T - eps - d, P0)) / d;
        const double slopeAbove =
            (routetest::plain(b.f, b.T + eps + d, P0) - routetest::plain(b.f, b.T + eps, P0)) / d;
        EXPECT_TRUE(close(slopeAbove, slopeBelow, 1e-3, 1e-9));
      }
    }
  }
}
