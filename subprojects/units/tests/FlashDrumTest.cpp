// The flash drum with two feeds: the twelve flash configurations, the
// pressure rules with their clipping, and the inlet checks.

#include "FlashDrumTestSupport.h"

#include "velta/utility/Error.h"

#include <gtest/gtest.h>

using namespace flashdrumtest;

namespace {

// F1: 1 kmol/s of (0.5, 0.5) at 300 K and 2 bar (subcooled liquid), F2:
// 1 kmol/s of (0.3, 0.7) at 400 K and 3 bar (vapour). The drum's inlet
// pressure is the lower one, 2 bar.
//
// Reference (tests/drum_ref.py style, mpmath, R = 8314.4 J/(kmol K)):
// outlet at 320 K and 1.2 bar, z = (0.4, 0.6): Rachford-Rice gives
// alfa = 0.491320311021222, x = (0.136053320828460, 0.863946679171540),
// y = (0.673272469417941, 0.326727530582059); molar enthalpies F1
// -34847375, F2 4481400, outlet -14582619.3044005 J/kmol, so
// duty = -1200736.39119902 W; entropies F1 -111117.147171086, F2
// 8984.29506298734, outlet -45498.6820006680 J/(kmol K), so
// deltas = -11135.4881067630 W/K.
constexpr double Tref = 320.0, Pref = 1.2e5, pIn = 2e5;
constexpr double alfaRef = 0.491320311021222;
constexpr double dutyRef = -1200736.39119902;
constexpr double deltasRef = -11135.4881067630;
constexpr double xRef = 0.136053320828460, yRef = 0.673272469417941;

class FlashDrumOptions : public testing::Test {
protected:
  void SetUp() override {
    verbosityGlobal = 0;
    useClausiusPair();
    f1 = feed("F1", {0.5, 0.5}, 300.0, 2e5);
    f2 = feed("F2", {0.3, 0.7}, 400.0, 3e5);
    out = vaporLiquid("OUT");
  }
  void TearDown() override { components.clear(); }

  std::unique_ptr<FlashDrum> drum(const std::string &option) {
    auto d = makeUnit<FlashDrum>("FlashDrum", Defaults("D1", "drum"));
    d->option = option;
    join(*d, *f1, "in");
    join(*d, *f2, "in");
    join(*d, *out, "out");
    d->setup();
    return d;
  }

  std::unique_ptr<Stream> f1, f2, out;
};

TEST_F(FlashDrumOptions, PTMatchesTheHandFlashAndTheBalances) {
  auto d = drum("PT");
  d->T = Value(Tref, "K");
  d->P = Value(Pref, "Pa");
  d->go(1, 0);
  ASSERT_TRUE(d->errors.value().empty()) << messages(*d);
  EXPECT_NEAR(d->alfa.value(), alfaRef, 1e-9);
  EXPECT_NEAR(d->duty.value(), dutyRef, 1e-6 * std::fabs(dutyRef));
  EXPECT_NEAR(d->deltas.value(), deltasRef, 1e-6 * std::fabs(deltasRef));
  EXPECT_DOUBLE_EQ(out->T.value(), Tref);
  EXPECT_DOUBLE_EQ(out->P.value(), Pref);
  EXPECT_DOUBLE_EQ(d->deltaP.value(), pIn - Pref);
  EXPECT_NEAR(d->flowcoefficient.value(),
              (pIn - Pref) / std::pow(d->pin.vdot.value(), 2), 1e-9 * d->flowcoefficient.value());
  auto &vapor = dynamic_cast<Phase::MassMolar &>(*out->phases()[0]);
  auto &liquid = dynamic_cast<Phase::MassMolar &>(*out->phases()[1]);
  EXPECT_NEAR(vapor.x[0].value(), yRef, 1e-9);
  EXPECT_NEAR(liquid.x[0].value(), xRef, 1e-9);
  EXPECT_DOUBLE_EQ(d->Tavg.value(), (300.0 * f1->Tphase->mdot.value() + 400.0 * f2->Tphase->mdot.value()) /
                                        (f1->Tphase->mdot.value() + f2->Tphase->mdot.value()));
  // The duty is the enthalpy flow of the two feeds less that of the outlet.
  const double balance = props(*f1).mdot.value() * props(*f1).h.value() +
                         props(*f2).mdot.value() * props(*f2).h.value() -
                         props(*out).mdot.value() * props(*out).h.value();
  EXPECT_NEAR(d->duty.value(), balance, 1e-9 * std::fabs(balance));
  EXPECT_GT(d->NITER.value(), 0);
  EXPECT_EQ(out->flowoption.value(), "Nx");
}

// Every configuration, given the value that the PT reference computes for
// its two letters, lands on the same outlet.
TEST_F(FlashDrumOptions, TwelveConfigurationsReachTheSameOutlet) {
  double flowcoefficientRef = 0.0;
  {
    auto reference = drum("PT");
    reference->T = Value(Tref, "K");
    reference->P = Value(Pref, "Pa");
    reference->go(1, 0);
    flowcoefficientRef = reference->flowcoefficient.value();
  }
  for (const char *pressure : {"P", "D", "K"})
    for (const char *thermal : {"T", "A", "H", "S"}) {
      const std::string option = std::string(pressure) + thermal;
      out = vaporLiquid("OUT");
      auto d = drum(option);
      if (*pressure == 'P')
        d->P = Value(Pref, "Pa");
      else if (*pressure == 'D')
        d->deltaP = Value(pIn - Pref, "Pa");
      else
        d->flowcoefficient = Value(flowcoefficientRef, "kg/m7");
      if (*thermal == 'T')
        d->T = Value(Tref, "K");
      else if (*thermal == 'A')
        d->alfa = Value(alfaRef);
      else if (*thermal == 'H')
        d->duty = Value(dutyRef, "W");
      else
        d->deltas = Value(deltasRef, "W/K");
      d->go(1, 0);
      EXPECT_TRUE(d->errors.value().empty() && d->warnings.value().empty())
          << option << "\n" << messages(*d);
      EXPECT_NEAR(d->P.value(), Pref, 1e-6) << option;
      EXPECT_NEAR(d->deltaP.value(), pIn - Pref, 1e-6) << option;
      EXPECT_NEAR(d->flowcoefficient.value(), flowcoefficientRef, 1e-9 * flowcoefficientRef)
          << option;
      EXPECT_NEAR(d->T.value(), Tref, 1e-6) << option;
      EXPECT_NEAR(out->T.value(), Tref, 1e-6) << option;
      EXPECT_NEAR(d->alfa.value(), alfaRef, 1e-8) << option;
      EXPECT_NEAR(d->duty.value(), dutyRef, 1e-6 * std::fabs(dutyRef)) << option;
      EXPECT_NEAR(d->deltas.value(), deltasRef, 1e-6 * std::fabs(deltasRef)) << option;
    }
}

// The drop is limited above beta times the lowest inlet pressure (2 bar).
TEST_F(FlashDrumOptions, PressureDropIsClippedAboveBetaTimesTheInletPressure) {
  const struct {
    const char *option;
    double deltaP, flowcoefficient, beta;
    bool clipped;
  } rows[] = {
      {"DT", 1.9e5, 0.0, 0.9, true},  // P = 2 bar - 0.9 * 2 bar
      {"DT", 1.7e5, 0.0, 0.9, false}, // P = 2 bar - 1.7 bar
      {"KT", 0.0, 0.0, 0.9, false},   // scaled below to a drop of 1.7 bar
      {"KT", 0.0, 0.0, 0.5, true},    // the same flow coefficient, beta 0.5
  };
  double vdot = 0.0;
  for (const auto &row : rows) {
    out = vaporLiquid("OUT");
    auto d = drum(row.option);
    d->T = Value(Tref, "K");
    d->beta = Value(row.beta);
    d->deltaP = Value(row.deltaP, "Pa");
    // K = 1.7 bar / vdot^2 with the volume flow of the mixed inlet.
    if (row.option[0] == 'K')
      d->flowcoefficient = Value(1.7e5 / (vdot * vdot), "kg/m7");
    d->go(1, 0);
    vdot = d->pin.vdot.value();
    const std::string label = std::string(row.option) + " beta " + std::to_string(row.beta);
    EXPECT_EQ(has(d->warnings, "DeltaP clipped"), row.clipped) << label << messages(*d);
    double expectedP = pIn - row.deltaP;
    if (row.option[0] == 'D' && row.clipped)
      expectedP = pIn - row.beta * pIn;
    if (row.option[0] == 'K') {
      const double K = d->flowcoefficient.value();
      EXPECT_NEAR(d->deltaP.value(), vdot * vdot * K, 1e-6) << label; // unclipped
      expectedP = pIn - vdot * vdot * K;
      if (row.clipped) // the smooth limit towards pIn
        expectedP = pIn - pIn * vdot /
                              (vdot + (1.0 - row.beta) / row.beta * std::sqrt(row.beta * pIn / K));
    } else {
      // From the given, unclipped drop.
      EXPECT_NEAR(d->flowcoefficient.value(), row.deltaP / (vdot * vdot),
                  1e-9 * d->flowcoefficient.value())
          << label;
    }
    EXPECT_NEAR(d->P.value(), expectedP, 1e-6) << label;
    EXPECT_NEAR(out->P.value(), expectedP, 1e-6) << label;
    EXPECT_NEAR(out->T.value(), Tref, 1e-9) << label;
  }
}

TEST_F(FlashDrumOptions, InletChecksAndConfigurationErrors) {
  // Without inlets: an error, nothing touched, nothing counted.
  auto lone = makeUnit<FlashDrum>("FlashDrum", Defaults("D0", "drum"));
  join(*lone, *out, "out");
  lone->go(1, 0);
  EXPECT_TRUE(has(lone->errors, "no inlet connected, nothing to do"));
  EXPECT_EQ(lone->nCalculations.value(), 0);
  EXPECT_EQ(lone->Tavg.value(), 298.15);

  // Inlets without flow: a warning and no flash, counted once.
  auto empty = makeUnit<FlashDrum>("FlashDrum", Defaults("D2", "drum"));
  auto zero = vaporLiquid("Z");
  setFeed(*zero, {0.5, 0.5}, 300.0, 2e5, 0.0);
  auto out2 = vaporLiquid("OUT2");
  join(*empty, *zero, "in");
  join(*empty, *out2, "out");
  empty->go(1, 0);
  EXPECT_TRUE(has(empty->warnings, "Empty inlet stream")) << messages(*empty);
  EXPECT_EQ(empty->nCalculations.value(), 1);
  EXPECT_EQ(empty->NITER.value(), -1);
  // In a simultaneous solution it writes identity rows, no stale values.
  for (Value &r : empty->residuals)
    r = Value(1.0);
  empty->go(3, 0);
  EXPECT_EQ(empty->residuals.size(), empty->size());
  for (const Value &r : empty->residuals)
    EXPECT_EQ(r.value(), 0.0);

  // A pristine drum whose T is still 298.15 K starts its first flash from
  // the mass-weighted inlet temperature.
  auto ph = drum("PH");
  ph->go(1, 0);
  const double tavg = (300.0 * 45.0 + 400.0 * 51.0) / 96.0; // 45 and 51 kg/s
  EXPECT_NEAR(ph->Tavg.value(), tavg, 1e-9);
  EXPECT_TRUE(ph->errors.value().empty()) << messages(*ph);

  // Configurations that name no pressure or no thermal specification.
  const struct {
    const char *option;
    const char *text;
  } rows[] = {
      {"P", "Unsupported option P for String Flash configuration in model D1 of type FlashDrum"},
      {"PX", "Unsupported option PX for String Flash configuration in model D1 of type FlashDrum"},
      {"", "Object  not found in model FlashDrumBase::go of type pressure option"},
      {"XT", "Object X not found in model FlashDrumBase::go of type pressure option"},
  };
  for (const auto &row : rows) {
    out = vaporLiquid("OUT");
    auto d = drum(row.option);
    try {
      d->go(1, 0);
      ADD_FAILURE() << row.option;
    } catch (const ErrorBrowsing &e) {
      EXPECT_NE(e.message().find(row.text), std::string::npos) << e.message();
      EXPECT_NE(e.message().find("Called from function: FlashDrumBase::go"), std::string::npos);
    }
  }
}

} // namespace
