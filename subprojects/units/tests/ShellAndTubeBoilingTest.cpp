// The boiling tube sides under a heat transfer unit: 1 kmol/s of an
// equimolar liquid of A and B (FlashDrumTestSupport) at 300 K and 2 bar is
// heated to 320 K, where about 39 % of it evaporates, by A condensing on
// the shell. The tube-side formulas are checked against the stream states
// the unit reads; the components' pseudo-critical pressure is their default
// 1500 bar.

#include "PipeTestSupport.h"

#include "velta/core/ValueHelpers.h"
#include "velta/units/HeatTransferCorrelations.h"
#include "velta/units/RatingHeatShellAndTube.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace pipetest;

namespace {

class ShellAndTubeBoilingTest : public testing::Test {
protected:
  void SetUp() override {
    verbosityGlobal = 0;
    useClausiusPair();
    holder = std::make_unique<Holder>("FS");
  }
  void TearDown() override { components.clear(); }

  template <class R> R &build(double N, double T1 = 320.0) {
    feedCold = feed("F1", {0.5, 0.5}, 300.0, 2e5, 1.0);
    outCold = vaporLiquid("O1");
    feedHot = makeStream<Stream>("StreamVapor", "F2");
    setFeed(*feedHot, {1.0, 0.0}, 400.0, 1e5, 0.06);
    feedHot->go(1);
    outHot = makeStream<Stream>("StreamLiquid", "O2");
    Defaults options("HOT", "utility side");
    options.setString("processSide", "COLD");
    options.setInteger("nRatings", 1);
    options.setString("embeddedTypeRatings[0]", R::typeName);
    cold = &holder->add<FlashDrum>("FlashDrum", Defaults("COLD", "process side"));
    hot = &holder->add<HeatTransfer>("HeatTransfer", options);
    join(*cold, *feedCold, "in");
    join(*cold, *outCold, "out");
    join(*hot, *feedHot, "in");
    join(*hot, *outHot, "out");
    cold->setup();
    hot->setup();
    cold->T = Value(T1, "K");
    cold->P = Value(2e5, "Pa");
    hot->T = Value(330.0, "K");
    hot->P = Value(1e5, "Pa");
    R &rating = dynamic_cast<R &>(*hot->ratings.at(0));
    rating.N = Value(N);
    rating.m = Value(2.0);
    rating.L = Value(3.0, "m");
    rating.b = Value(4.0);
    rating.c = Value(0.25);
    cold->go(1, 0);
    hot->go(1, 0);
    return rating;
  }
  double q(Stream &s, const char *path) { return s.Q(path).value(); }
  // U from both film coefficients and the wall, and the area rating.
  void expectOverall(const ShellAndTube &r) {
    EXPECT_NEAR(r.U.value(), 1.0 / (1.0 / r.U1.value() + 1.0 / r.U2.value() + r.Rm.value()),
                1e-9 * r.U.value());
    EXPECT_NEAR(r.Areq.value(), std::fabs(hot->duty2.value() / (r.U.value() * hot->MTD.value())),
                1e-9 * r.Areq.value());
    EXPECT_NEAR(r.excessArea.value(), r.A.value() / r.Areq.value(), 1e-12);
  }

  std::unique_ptr<Holder> holder;
  std::unique_ptr<Stream> feedCold, outCold, feedHot, outHot;
  FlashDrum *cold = nullptr;
  HeatTransfer *hot = nullptr;
};

// Flow boiling with turbulent liquid (N 100: C = 20 on phiL^2) and with
// laminar liquid (N 1000: phiG^2 with C = 12, Re_V1 above 4000). The
// Fanning factor is Blasius' 0.079 Re^-0.25 (16 / Re below 2300), the
// holdup alpha = 1 - 1/phiL with phiL^2 = phiG^2 / Xtt^2, the outlet's
// specific volume x^2 / (rhoG alpha) + (1-x)^2 / (rhoL (1-alpha)).
TEST_F(ShellAndTubeBoilingTest, ThermosiphonFrictionHoldupAndAcceleration) {
  for (double N : {100.0, 1000.0}) {
    holder = std::make_unique<Holder>("FS");
    auto &r = build<RatingHeatShellAndTubeThermosiphon>(N);
    ASSERT_TRUE(r.errors.value().empty()) << messages(r);
    const double x = q(*outCold, "Vphase.mdot") / q(*outCold, "Tphase.mdot");
    ASSERT_GT(x, 0.2);
    ASSERT_LT(x, 0.6);
    EXPECT_NEAR(r.chi.value(), x, 1e-12);
    const double rhoL = q(*outCold, "Lphase.rho"), rhoG = q(*outCold, "Vphase.rho");
    const double L = 3.0, di = 0.021, g = 9.806, Xtt = r.Xtt.value();
    const double ReL = r.Re_L1.value(), ReV = r.Re_V1.value();
    const double vL = r.v_L1.value(), vV = r.v_V1.value();
    EXPECT_GT(ReV, 4000.0);
    double phiL2 = 0.0, dPVL = 0.0;
    if (N == 100.0) {
      ASSERT_GT(ReL, 4000.0);
      phiL2 = 1.0 + 20.0 / Xtt + 1.0 / (Xtt * Xtt);
      dPVL = phiL2 * 2.0 * 0.079 * std::pow(ReL, -0.25) * rhoL * vL * vL * L / di;
    } else {
      ASSERT_LE(ReL, 4000.0);
      const double phiG2 = 1.0 + 12.0 * Xtt + Xtt * Xtt;
      phiL2 = phiG2 / (Xtt * Xtt);
      dPVL = phiG2 * 2.0 * 0.079 * std::pow(ReV, -0.25) * rhoG * vV * vV * L / di;
    }
    const double alpha = 1.0 - 1.0 / std::sqrt(phiL2);
    EXPECT_NEAR(r.deltaP_VL1.value(), dPVL, 1e-9 * dPVL) << N;
    EXPECT_NEAR(r.alfa_1.value(), alpha, 1e-12) << N;
    EXPECT_NEAR(r.slip.value(), (1 - alpha) * x * rhoL / ((1 - x) * alpha * rhoG), 1e-9) << N;
    const double rho1 = rhoG * alpha + rhoL * (1 - alpha);
    EXPECT_NEAR(r.rho1.value(), rho1, 1e-9 * rho1) << N;
    const double G = q(*feedCold, "Tphase.mdot") / r.At.value();
    const double dPA = G * G *
                       (x * x / (rhoG * alpha) + (1 - x) * (1 - x) / (rhoL * (1 - alpha)) -
                        1.0 / q(*feedCold, "Tphase.rho"));
    EXPECT_NEAR(r.deltaP_A1.value(), dPA, 1e-9 * std::fabs(dPA)) << N;
    EXPECT_EQ(r.h.value(), 3.0);
    EXPECT_NEAR(r.deltaP_G1.value(), rho1 * g * L, 1e-9 * rho1 * g * L) << N;
    EXPECT_NEAR(r.deltaP_1.value(),
                r.deltaP_VL1.value() + r.deltaP_A1.value() + r.deltaP_G1.value(), 1e-9) << N;
    // Cooper at the reduced pressure 2 bar / 1500 bar, Gungor-Winterton.
    const double Pr = 2e5 / 1.5e8;
    EXPECT_NEAR(r.Pr.value(), Pr, 1e-15);
    const double flux = hot->duty2.value() / r.A.value();
    const double M = q(*outCold, "Tphase.AMW");
    const double UNB = 55.0 * std::pow(Pr, 0.12) * std::pow(-std::log10(Pr), -0.55) *
                       std::pow(flux, 0.67) / std::sqrt(M);
    EXPECT_NEAR(r.UNB1.value(), UNB, 1e-9 * UNB) << N;
    EXPECT_NEAR(r.U1.value(), r.S.value() * UNB + r.E.value() * r.UL1.value(),
                1e-9 * r.U1.value());
    expectOverall(r);
  }
}

// The falling film wets the inner perimeter: Re = 4 mdot_L / (pi N di
// mu_L); the vapour's acceleration is the whole change of its momentum
// flux, (m_out^2 / rho_out - m_in^2 / rho_in) / At^2, with no inlet vapour
// here.
TEST_F(ShellAndTubeBoilingTest, FallingFilmOnTheInnerPerimeter) {
  auto &r = build<RatingHeatShellAndTubeFallingFilmReboiler>(100.0);
  ASSERT_TRUE(r.errors.value().empty()) << messages(r);
  const double pi = 3.141592653589793, di = 0.021, L = 3.0;
  const double mL = q(*outCold, "Lphase.mdot");
  const double Re = 4.0 * mL / (pi * 100.0 * di * 1e-3);
  EXPECT_NEAR(r.Re_L1.value(), Re, 1e-9 * Re);
  const double Ky = HeatTransferCorrelations::kunzYerazunis(Re, r.Pr_L1.value());
  EXPECT_NEAR(r.Ky_L1.value(), Ky, 1e-9 * Ky);
  const double rhoL = q(*outCold, "Lphase.rho");
  EXPECT_NEAR(r.U1.value(), Ky * std::cbrt(rhoL * rhoL * 9.806 * 0.6 * 0.6 * 0.6 / 1e-6),
              1e-9 * r.U1.value());
  const double mV = q(*outCold, "Vphase.mdot"), rhoV = q(*outCold, "Vphase.rho");
  const double At = r.At.value();
  EXPECT_LT(q(*feedCold, "Vphase.mdot"), 1e-5); // below the threshold of a vapour flow
  EXPECT_NEAR(r.deltaP_A1.value(), mV * mV / rhoV / (At * At), 1e-9 * r.deltaP_A1.value());
  auto &vapor = dynamic_cast<Phase::MassMolarProperties &>(outCold->at("Vphase"));
  const double muV = vapor.mu(outCold->P, outCold->T).value();
  const double ReV = (mV / 2.0) * di / (muV * At);
  EXPECT_NEAR(r.Re_V1.value(), ReV, 1e-9 * ReV);
  const double f = frictionFactor(Value(ReV), Value(0.0457 / 21.0)).value();
  const double dPV = f * (L / di) * mV * mV / rhoV / (At * At) / 4.0;
  EXPECT_NEAR(r.deltaP_V1.value(), dPV, 1e-9 * dPV);
  EXPECT_NEAR(r.deltaP_1.value(), dPV + r.deltaP_A1.value(), 1e-9 * r.deltaP_1.value());
  expectOverall(r);
}

// Below its bubble point the tube side carries no vapour: the liquid-only
// coefficient and friction (16 / Re in laminar flow, Blasius above), no
// holdup, slip or acceleration, the liquid's static head.
TEST_F(ShellAndTubeBoilingTest, ThermosiphonWithoutVapour) {
  for (double N : {100.0, 5000.0}) {
    holder = std::make_unique<Holder>("FS");
    auto &r = build<RatingHeatShellAndTubeThermosiphon>(N, 300.0);
    // The flash leaves some 1e-14 kg/s of vapour: none at all.
    ASSERT_LT(q(*outCold, "Vphase.mdot"), 1e-12);
    for (const char *path : {"Vphase.fraction", "Vphase.mdot", "Vphase.vdot"})
      outCold->Q(path) = Value(0.0, outCold->Q(path).units());
    r.preCalculate();
    EXPECT_EQ(r.U1.value(), r.UL1.value());
    EXPECT_EQ(r.Pr.value(), 0.0);
    EXPECT_EQ(r.UNB1.value(), 0.0);
    EXPECT_EQ(r.alfa_1.value(), 0.0);
    EXPECT_EQ(r.slip.value(), 0.0);
    EXPECT_EQ(r.deltaP_A1.value(), 0.0);
    const double rhoL = q(*outCold, "Lphase.rho"), ReL = r.Re_L1.value(), vL = r.v_L1.value();
    EXPECT_EQ(r.rho1.value(), rhoL);
    const double fanning = ReL < 2300.0 ? 16.0 / ReL : 0.079 * std::pow(ReL, -0.25);
    EXPECT_EQ(ReL < 2300.0, N == 5000.0) << ReL;
    const double dP = 2.0 * fanning * rhoL * vL * vL * 3.0 / 0.021;
    EXPECT_NEAR(r.deltaP_VL1.value(), dP, 1e-9 * dP) << N;
    EXPECT_NEAR(r.deltaP_G1.value(), rhoL * 9.806 * 3.0, 1e-9 * rhoL) << N;
  }
}

} // namespace
