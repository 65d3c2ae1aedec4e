// Barin coefficient records and groups, and the heat routes built on them.

#include "RouteTestSupport.h"

#include "velta/components/GroupBkk.h"
#include "velta/components/ParametersDippr.h"
#include "velta/components/RouteHeatLiquidBkk.h"
#include "velta/components/RouteHeatLiquidDummySolidBkk.h"
#include "velta/components/RouteHeatSolidBkk.h"
#include "velta/value/ErrorUnit.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

// Silica's first two solid records, and silicon's solid record.
ParameterBkk quartzLow() {
  return ParameterBkk(298.15, 847, -9.18904e8, 223641, 2920.44, -121.392, 0.0525155, -1.37295e-5,
                      1.19536e8, -6.4136e9);
}
ParameterBkk quartzHigh() {
  return ParameterBkk(847, 1079, -9.29429e8, 583836, -58910.7, -5.0208, 0, 0, 0, 0);
}
ParameterBkk silicon() {
  return ParameterBkk(298.15, 1685, -8160000, 156000, -22800, -1.93, 0, 0, 1.77e8, 0);
}

double at(const ParameterBkk &r, int kind, double T) { return r.evaluate(kind, Active(T)).value(); }

} // namespace

TEST(Barin, RecordIdentities) {
  for (const ParameterBkk &r : {quartzLow(), quartzHigh(), silicon()}) {
    for (double T = r.xmin() + 1.0; T < r.xmax(); T += 37.0) {
      SCOPED_TRACE(T);
      const double h = at(r, ParameterBkk::enthalpy, T), s = at(r, ParameterBkk::entropy, T);
      const double cp = at(r, ParameterBkk::heatCapacity, T);
      // g = h - T s; cp = dh/dT; s = -dg/dT (finite differences and automatic).
      EXPECT_NEAR(at(r, ParameterBkk::gibbs, T), h - T * s, 1e-9 * std::fabs(h));
      const double dT = 1e-3;
      EXPECT_NEAR((at(r, ParameterBkk::enthalpy, T + dT) - at(r, ParameterBkk::enthalpy, T - dT)) /
                      (2 * dT),
                  cp, 1e-5 * std::fabs(cp));
      EXPECT_NEAR(-(at(r, ParameterBkk::gibbs, T + dT) - at(r, ParameterBkk::gibbs, T - dT)) /
                      (2 * dT),
                  s, 1e-4 * std::max(std::fabs(s), 1e3));
      pushDerivativeContext(1);
      {
        Active x(T);
        x.setActive(0);
        EXPECT_NEAR(r.evaluate(ParameterBkk::enthalpy, x).derivative(0), cp, 1e-9 * std::fabs(cp));
        EXPECT_NEAR(r.evaluate(ParameterBkk::gibbs, x).derivative(0), -s,
                    1e-9 * std::max(std::fabs(s), 1.0));
      }
      popDerivativeContext();
    }
  }
  EXPECT_EQ(at(silicon(), 7, 500.0), 0.0);
}

TEST(Barin, GroupRangesAndExtrapolation) {
  const ParameterBkk low(298.15, 700, -9.18904e8, 223641, 2920.44, -121.392, 0.0525155, -1.37295e-5,
                         1.19536e8, -6.4136e9);
  const ParameterBkk high(700, 1200, -9.29429e8, 583836, -58910.7, -5.0208, 0, 0, 0, 0);
  const GroupBkk group(low, high);
  EXPECT_EQ(group.xmin(), 298.15);
  EXPECT_EQ(group.xmax(), 1200.0);
  // At the shared bound the lower record answers.
  EXPECT_EQ(group.h(Active(700)).value(), at(low, ParameterBkk::enthalpy, 700));
  // Above: constant heat capacity from 1200 K.
  const double h1200 = at(high, ParameterBkk::enthalpy, 1200);
  const double cp1200 = at(high, ParameterBkk::heatCapacity, 1200);
  EXPECT_NEAR(group.h(Active(1500)).value(), h1200 + cp1200 * 300, 1e-6 * std::fabs(h1200));
  EXPECT_EQ(group.cp(Active(1500)).value(), cp1200);
  // Below: s(298.15) + cp(298.15) ln(250/298.15).
  const double s0 = at(low, ParameterBkk::entropy, 298.15);
  const double cp0 = at(low, ParameterBkk::heatCapacity, 298.15);
  EXPECT_NEAR(group.s(Active(250)).value(), s0 + cp0 * std::log(250 / 298.15), 1e-9 * 1e5);
  // Continuations meet the records at the range ends.
  EXPECT_NEAR(group.h(Active(1200 + 1e-9)).value(), h1200, 1e-3);
  EXPECT_NEAR(group.s(Active(298.15 - 1e-9)).value(), s0, 1e-6);

  // Records may come in any order as long as each adjoins the range so far.
  const GroupBkk reversed(high, low);
  for (double T : {250.0, 500.0, 700.0, 900.0, 1500.0})
    EXPECT_EQ(reversed.h(Active(T)).value(), group.h(Active(T)).value()) << T;
  // The first empty record ends the list.
  EXPECT_EQ(GroupBkk(low).records().size(), 1u);
  EXPECT_EQ(GroupBkk(low, emptyParameterBkk, high).records().size(), 1u);
  EXPECT_EQ(GroupBkk(GroupBkk(low, high)).records().size(), 2u);
  // A degenerate record is accepted and extrapolates from zero values.
  const ParameterBkk point(298.15, 298.15, 1, 2, 3, 4, 5, 6, 7, 8);
  EXPECT_EQ(point.extrapolateAbove(ParameterBkk::enthalpy, Active(300)).value(), 0.0);
}

TEST(Barin, HeatRoutesCarryUnitsAndDerivatives) {
  const GroupBkk group(quartzLow(), quartzHigh());
  const RouteHeatSolidBkk solid(group);
  const RouteHeatLiquidBkk liquid(group);
  const RouteHeatLiquidDummySolidBkk both(quartzLow(), quartzHigh(), emptyParameterBkk, silicon(),
                                          emptyParameterBkk, emptyParameterBkk, emptyParameterBkk);
  EXPECT_EQ(both.records().size(), 2u);
  const routetest::Function hs = [&solid](const Value &T, const Value &P) {
    return solid.hs(T, P);
  };
  for (double T : {250.0, 500.0, 1000.0, 1300.0}) {
    const Value t(T, "K"), p(1e5, "Pa");
    EXPECT_EQ(solid.hs(t, p).value(), group.h(Active(T)).value());
    EXPECT_EQ(liquid.sl(t, p).value(), group.s(Active(T)).value());
    EXPECT_EQ(both.hl(t, p).value(), both.hs(t, p).value());
    EXPECT_EQ(both.sl(t, p).value(), both.ss(t, p).value());
    EXPECT_EQ(both.cpl(t, p).value(), both.cps(t, p).value());
    EXPECT_EQ(solid.hs(t, p).uom(), Value(1.0, "J/kmol").uom());
    EXPECT_EQ(solid.cps(t, p).uom(), Value(1.0, "J/(kmol*K)").uom());
    EXPECT_NEAR(routetest::evaluateSeeded(hs, T, 1e5).derivative, solid.cps(t, p).value(), 1e-6);
    // gs = hs - T ss.
    EXPECT_NEAR(solid.gs(t, p).value(), solid.hs(t, p).value() - T * solid.ss(t, p).value(), 1e-3);
  }
  EXPECT_THROW(solid.hs(Value(300.0, "Pa"), Value(1e5, "Pa")), ErrorUnit);
}

TEST(BarinDeathTest, BrokenRecordsStopTheProcess) {
  EXPECT_DEATH(ParameterBkk(0, 5000.5, 0, 0, 0, 0, 0, 0, 0, 0), "xmax <= 5000\\.0");
  EXPECT_DEATH(ParameterBkk(-1, 500, 0, 0, 0, 0, 0, 0, 0, 0), "xmin >= 0\\.0");
  EXPECT_DEATH(ParameterBkk(600, 500, 0, 0, 0, 0, 0, 0, 0, 0), "xmin <= xmax");
  EXPECT_DEATH(GroupBkk(quartzLow(), ParameterBkk(900, 1200, 0, 0, 0, 0, 0, 0, 0, 0)),
               "Inconsistent Barin parameter group");
  EXPECT_DEATH(ParametersDippr(1, 2, 3, 4, 5, 0, 100), "v_\\[5\\] != 0\\.0");
}
