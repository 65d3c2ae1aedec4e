// The correlations of the shell-and-tube side models against their
// published forms, and the shell-side bundle's pressure drop with its
// thresholds and clamps. Reference values: ShellAndTubeReference.py
// (/usr/bin/python3, mpmath), run once.

#include "velta/units/HeatTransferCorrelations.h"
#include "velta/units/ShellBundle.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

using namespace HeatTransferCorrelations;

namespace {

// The Dukler fit at the published check points; its Prandtl bounds are
// inside the range.
TEST(HeatTransferCorrelations, DuklerReadingAndItsPrandtlRange) {
  EXPECT_NEAR(dukler(1000.0, 2.0), 0.223982, 5e-7);
  // x = y = 0: exp(1.27346) - 0.266307.
  EXPECT_NEAR(dukler(1.0, 1.0), 3.306887, 5e-7);
  EXPECT_GT(dukler(500.0, 0.5), 0.0);
  EXPECT_GT(dukler(500.0, 10.0), 0.0);
  EXPECT_EQ(dukler(500.0, 0.4999), 0.0);
  EXPECT_EQ(dukler(500.0, 10.0001), 0.0);
}

// At low film Reynolds numbers the Kunz-Yerazunis fit follows Nusselt's
// laminar film theory, h (mu^2 / (k^3 rho^2 g))^(1/3) = 1.47 Re^(-1/3),
// which lies above the fit by 13 to 21 % for 10 <= Re <= 30 and 1 <= Pr
// <= 10 (mpmath). On the blending line the two branches weigh equally.
TEST(HeatTransferCorrelations, KunzYerazunisFitAgainstNusseltTheory) {
  for (double Re : {10.0, 20.0, 30.0})
    for (double Pr : {1.0, 2.0, 5.0, 10.0}) {
      const double ratio = kunzYerazunis(Re, Pr) / (1.47 * std::cbrt(1.0 / Re));
      EXPECT_GT(ratio, 0.79) << Re << " " << Pr;
      EXPECT_LT(ratio, 0.87) << Re << " " << Pr;
    }
  EXPECT_NEAR(kunzYerazunis(10.0, 1.0), 0.558857237982002, 1e-12);
  EXPECT_NEAR(kunzYerazunis(100000.0, 1000.0), 6.30640629111636, 1e-11);
  // Pr 10, log10 Re = 2.44218 - 1.15207: w = 0, Ky = 10^((A1 + A2) / 2).
  EXPECT_NEAR(kunzYerazunis(std::pow(10.0, 2.44218 - 1.15207), 10.0), 0.455075437217322, 1e-12);
  EXPECT_EQ(kunzYerazunis(9.999, 1.0), 0.0);
  EXPECT_EQ(kunzYerazunis(100.0, 1000.1), 0.0);
}

// Tube-side Nusselt numbers. Petukhov-Kirillov-Popov with Petukhov's
// friction factor (0.790 ln Re - 1.64)^-2 against Petukhov's 1970 form
// (within 1.3 %, nearly equal at high Re); Dittus-Boelter and Sieder-Tate
// against their formulas evaluated in mpmath.
TEST(HeatTransferCorrelations, TubeSideNusseltNumbersInTheirRanges) {
  const struct {
    double Re, Pr, f, petukhov1970, tolerance;
  } rows[] = {
      {1e4, 0.7, 0.0314798027567467, 30.5576605992742, 0.013},
      {1e5, 5.0, 0.0179920275442123, 504.532741710409, 0.002},
      {1e6, 50.0, 0.0116263151139557, 10153.2433405063, 1e-4},
  };
  for (const auto &row : rows)
    EXPECT_NEAR(petukhov(row.f, row.Re, row.Pr) / row.petukhov1970, 1.0, row.tolerance) << row.Re;
  EXPECT_NEAR(dittusBoelter(1e4, 0.7, true), 31.6058192447142, 1e-10);
  EXPECT_NEAR(dittusBoelter(1e5, 5.0, false), 372.751017239336, 1e-9);
  EXPECT_NEAR(siederTate(2e4, 5.0, 2.0), 140.385405740872, 1e-9);
}

// Fanning factors of the boiling tubes: Blasius in turbulent flow, 16 / Re
// in laminar flow (one correlation each, not 0.079 / Re^0.2); Chisholm's
// multipliers at Xtt = 1.
TEST(HeatTransferCorrelations, FanningFactorsAndChisholmMultipliers) {
  EXPECT_NEAR(fanning(1e4), 0.0079, 1e-15);
  EXPECT_NEAR(fanning(1000.0), 0.016, 1e-15);
  EXPECT_EQ(fanning(0.0), 0.0);
  EXPECT_EQ(chisholmLiquid(1.0, chisholmConstant(true, true)), 22.0);
  EXPECT_EQ(chisholmGas(1.0, chisholmConstant(false, false)), 7.0);
  EXPECT_EQ(chisholmConstant(true, false), 10.0);
  EXPECT_EQ(chisholmConstant(false, true), 12.0);
}

// The shell-side factors: the Nusselt bands meet within 2 % at Re 1000 and
// 2e5 (the exponent 0.63 jumped by 21 % and 42 %); the baffle-cut factor
// equals 1 - 2 Fw with the window fraction Fw = (2a - sin 2a) / (2 pi), a =
// acos x (mpmath), a cut beyond the bundle counts as none; no leakage gives Jl = 1; the laminar
// factor has no step at Re_D 20 and 100.
TEST(HeatTransferCorrelations, ShellSideFactorsAcrossTheirBands) {
  for (double edge : {1000.0, 200000.0}) {
    const double below = tubeBankNusselt(edge * (1.0 - 1e-12), 1.0, 1.0);
    const double above = tubeBankNusselt(edge, 1.0, 1.0);
    EXPECT_NEAR(above / below, 1.0, 0.02) << edge;
  }
  EXPECT_NEAR(tubeBankNusselt(1000.0, 1.0, 1.0), 22.0835070568068, 1e-10);
  const struct {
    double x, Jc;
  } cuts[] = {{1.0, 1.27},
              {0.8, 1.19505661216348},
              {0.5, 0.988478402351845},
              {0.3, 0.820836881357628},
              {1.02, 1.27}};
  for (const auto &cut : cuts)
    EXPECT_NEAR(baffleCutFactor(cut.x), cut.Jc, 1e-12) << cut.x;
  for (double rs : {0.0, 0.3, 1.0})
    EXPECT_DOUBLE_EQ(leakageFactor(rs, 0.0), 1.0) << rs;
  const double Jrr = std::pow(10.0 / 5.0, 0.18);
  EXPECT_NEAR(laminarFactor(20.0, 5.0), Jrr, 1e-12);
  EXPECT_NEAR(laminarFactor(19.999999, 5.0), Jrr, 1e-12);
  EXPECT_NEAR(laminarFactor(100.0, 5.0), 1.0, 1e-12);
  EXPECT_EQ(laminarFactor(100.000001, 5.0), 1.0);
}

ShellBundle bundle(double N, double L, double b, double c) {
  return ShellBundle(Value(N), Value(0.025, "m"), Value(L, "m"), Value(1.0, "m"), Value(b),
                     Value(c));
}

// The clamps of the bundle: a dense bundle gets the minimum free width and
// the lowest pitch ratio, a shell without baffle cut the minimum window.
TEST(ShellBundle, ClampsOfFreeWidthPitchAndWindow) {
  const ShellBundle dense = bundle(2000, 1.0, 0.0, 0.25);
  EXPECT_TRUE(dense.freeLengthClamped);
  EXPECT_NEAR(dense.Lt.value(), 0.01, 1e-15);
  EXPECT_NEAR(dense.pa.value(), 0.851, 1e-15);
  EXPECT_TRUE(dense.windowClamped);
  const ShellBundle uncut = bundle(100, 1.0, 0.0, 0.0);
  EXPECT_FALSE(uncut.freeLengthClamped);
  EXPECT_TRUE(uncut.windowClamped);
  EXPECT_NEAR(uncut.Aw.value(), 0.00785398163397448, 1e-15);
  EXPECT_NEAR(uncut.Lt.value(), 0.717905208226122, 1e-13);
  const ShellBundle baffled = bundle(100, 3.0, 4.0, 0.25);
  EXPECT_FALSE(baffled.freeLengthClamped);
  EXPECT_FALSE(baffled.windowClamped);
  EXPECT_NEAR(baffled.Aw.value(), 0.143949574055714, 1e-13);
  EXPECT_NEAR(baffled.Nw.value(), 19.5501109477885, 1e-11);
}

// Bypass: below Re 100 beta = 4.5, above 3.7; no lane (gap above 11 mm) or
// enough sealing strips give fB = 1. The total of a baffled shell counts
// every tube through a baffle in the tube-hole leakage; without baffles it
// is 2 end zones, one window and the nozzle.
TEST(ShellBundle, BypassThresholdsAndTotals) {
  const ShellBundle lane = bundle(1000, 3.0, 4.0, 0.25);
  const Value rho(100000.0 * 18.0 / (8314.4 * 400.0), "kg/m3");
  const Value mu(1e-5, "Pa*s");
  const Value eps(0.0457e-3, "m");
  const Value d1(0.3, "m");
  const struct {
    double vdot, Re, fB;
  } rows[] = {{0.00947695820892163, 99, 0.717139751360400},
              {0.00966841191011197, 101, 0.760806531781037}};
  for (const auto &row : rows) {
    const auto drop = lane.pressureDrop(Value(row.vdot, "m3/s"), rho, mu, Value(0.0), eps, d1);
    EXPECT_NEAR(drop.Re.value(), row.Re, 1e-9);
    EXPECT_NEAR(drop.fB.value(), row.fB, 1e-12) << row.Re;
  }
  const auto sealed =
      lane.pressureDrop(Value(0.0095, "m3/s"), rho, mu, Value(9.0), eps, d1); // ns / nr > 0.5
  EXPECT_EQ(sealed.fB.value(), 1.0);
  // The heater's shell: 1.8 kg/s of steam at 400 K and 1 bar.
  const ShellBundle shell = bundle(100, 3.0, 4.0, 0.25);
  const auto drop = shell.pressureDrop(Value(1.8, "kg/s") / rho, rho, mu, Value(0.0), eps, d1);
  EXPECT_EQ(drop.fB.value(), 1.0);
  EXPECT_NEAR(drop.total.value(), 641.261095957539, 1e-8);
  const ShellBundle open = bundle(100, 3.0, 0.0, 0.25);
  const auto unbaffled = open.pressureDrop(Value(1.8, "kg/s") / rho, rho, mu, Value(0.0), eps, d1);
  EXPECT_NEAR(unbaffled.total.value(),
              (2.0 * unbaffled.deltaPe + unbaffled.deltaPw + unbaffled.deltaPn).value(), 1e-9);
}

} // namespace
