// The water-steam stream against IAPWS-95 saturation values: a PA flash at
// a saturation pressure returns the saturation temperature, a PT flash at a
// saturation state finds equal fugacities (K = 1), and components other
// than "H2O" keep K = 1.
//
// Reference values: python3-iapws 1.5.2, computed once,
//   IAPWS95(P=0.101325, x=0.5).T = 373.12429603877786 K, h = 1547.2935298510897 kJ/kg
//   IAPWS95(T=T, x=0).P * 1e6 for T = 275, 450, 625 K (the release's check
//   values are 0.698451167e-3, 0.932203564 and 0.169082693e2 MPa).

#include "StreamMoreTypesSupport.h"

#include "velta/phases/Generic.h"
#include "velta/phases/MassMolarProperties.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>

using namespace streammoretest;
using Velta::Utility::FlashMode;

namespace {

constexpr double waterMolarMass = 18.015268; // kg/kmol, as IAPWS-95

std::unique_ptr<StreamIapwsLiquidVapor> makeWaterSteam(const std::string &tag = "S01") {
  return makeNamed<StreamIapwsLiquidVapor>("StreamIapwsLiquidVapor", Defaults(tag, "test stream"));
}

class StreamIapwsLiquidVaporTest : public ComponentsFixture {
protected:
  void SetUp() override { useComponents({"H2O"}); }
  void useComponents(const std::vector<const char *> &names) {
    components.clear();
    for (const char *name : names) {
      PureData water;
      water.mw = waterMolarMass;
      components.add(new CriticalComponent(name, water, 647.096, 22.064e6, 0.3443));
    }
  }
  static void flash(StreamIapwsLiquidVapor &s, FlashMode mode) {
    s.flashoption = Velta::Utility::flashModeName(static_cast<int>(mode));
    s.go(1);
    ASSERT_TRUE(s.errors.value().empty()) << s.errors.value().front();
  }
};

// Saturation temperatures of IAPWS-95 by IapwsSaturationReference.py (the
// published residual coefficients, equal pressure and Gibbs energy solved
// at 40 digits): 372.75592889712198 K at 1 bar, 373.12429584768308 K at
// 1 atm. A PA flash ends on them to the last digits.
TEST_F(StreamIapwsLiquidVaporTest, PaAtOneBarGivesTheSaturationTemperature) {
  auto s = makeWaterSteam();
  setFeed(*s, {1.0}, 370.0, 1e5);
  s->VphaseGeneric_->fraction = 0.5;
  flash(*s, FlashMode::PA);
  EXPECT_NEAR(s->T.value(), 372.75592889712198, 1e-9);
}

TEST_F(StreamIapwsLiquidVaporTest, PaAtOneAtmosphereGivesTheNormalBoilingPoint) {
  auto s = makeWaterSteam();
  setFeed(*s, {1.0}, 370.0, 101325.0);
  s->VphaseGeneric_->fraction = 0.5;
  flash(*s, FlashMode::PA);
  EXPECT_NEAR(s->T.value(), 373.12429584768308, 1e-9);
  EXPECT_NEAR(s->VphaseGeneric_->fraction.value(), 0.5, 1e-15);
  EXPECT_NEAR(s->LphaseGeneric_->fraction.value(), 0.5, 1e-15);
  EXPECT_NEAR(s->kVL_[0].value(), 1.0, 1e-6);
  auto &total = dynamic_cast<Phase::MassMolarProperties &>(*s->Tphase);
  EXPECT_NEAR(total.H.value() / waterMolarMass / 1000.0, 1547.2935298510897, 1e-3);
}

TEST_F(StreamIapwsLiquidVaporTest, SaturationPressuresOfTheRelease) {
  // h, s and v of the PA flash at vapour fraction 0.3: IAPWS95(P=P/1e6, x=0.3)
  // (kJ/kg, kJ/(kg K), m3/kg), whose own T is the row's within 4e-6 K.
  const struct {
    double T, P, band, h, s, v;
  } rows[] = {{275.0, 698.4511666998, 1e-3, 756.7187906516303, 2.7517969886256086,
               54.480291675443326},
              {450.0, 932203.5636276777, 1e-3, 1356.736343491269, 3.4588245768235826,
               0.06313030838446322},
              {625.0, 16908269.31857283, 1e-2, 1945.6036910654132, 4.216881125401601,
               0.003770505291471704}};
  for (const auto &row : rows) {
    // PA at the saturation pressure returns the saturation temperature.
    auto pa = makeWaterSteam("PA");
    setFeed(*pa, {1.0}, row.T - 2.0, row.P);
    pa->VphaseGeneric_->fraction = 0.3;
    flash(*pa, FlashMode::PA);
    EXPECT_NEAR(pa->T.value(), row.T, 1e-5 * row.T) << row.T;
    auto &total = dynamic_cast<Phase::MassMolarProperties &>(*pa->Tphase);
    EXPECT_NEAR(total.H.value() / waterMolarMass / 1000.0 / row.h, 1.0, 1e-6) << row.T;
    EXPECT_NEAR(total.S.value() / waterMolarMass / 1000.0 / row.s, 1.0, 1e-6) << row.T;
    EXPECT_NEAR(total.v.value() / waterMolarMass / row.v, 1.0, 1e-6) << row.T;
    // PT just above the saturation pressure is all liquid, just below all
    // vapour: the K-value of water brackets 1 there (at 625 K the vapour
    // side starts from the ideal gas at half its density).
    for (double band : {row.band, -row.band}) {
      auto pt = makeWaterSteam("PT");
      setFeed(*pt, {1.0}, row.T, (1.0 + band) * row.P);
      flash(*pt, FlashMode::PT);
      const double K = pt->kVL_[0].value(), fraction = pt->VphaseGeneric_->fraction.value();
      if (band > 0.0) {
        EXPECT_LT(K, 1.0) << row.T;
        EXPECT_LT(fraction, 1e-3) << row.T;
      } else {
        EXPECT_GT(K, 1.0) << row.T;
        EXPECT_GT(fraction, 1.0 - 1e-3) << row.T;
      }
    }
  }
}

// PT flashes of pure water in every region, far from saturation and 0.1 %
// on either side of it, against IAPWS-95 by python3-iapws 1.5.2, computed
// once as
//   w = iapws.IAPWS95(T=T, P=P / 1e6); w.h, w.s, w.v   (kJ/kg, kJ/(kg K), m3/kg)
//   with P = 1.001 and 0.999 * IAPWS95(T=T, x=0).P * 1e6 near saturation.
// At 300 K and 1 atm and at 350 K and 50 bar no vapour state exists (the
// vapour spinodal lies at 39.8 kPa and 197 kPa), at 625 K and 0.999 psat the
// vapour's start (the ideal gas) is half its density; above the critical
// temperature the liquid has no state at 1 bar, the vapour none at 100 MPa
// (the dense fluid is reported as liquid). The PH and PS flashes
// of a fresh stream at the PT state's H and S, started 2 % off on the
// phase's side, return T.
struct WaterState {
  const char *name;
  double T, P;
  double h, s, v;       // kJ/kg, kJ/(kg K), m3/kg
  double vaporFraction; // 0 all liquid, 1 all vapour
  // PH and PS from a start 2 % off on the phase's own side return T within
  // Ttol (K). The vapours 0.1 % below saturation end where the solver's
  // tolerance on the relative H residual leaves them: 6.4e-6 K low at 450 K;
  // at 275 K the iterations stop 1.3e-2 K low, on the saturation line
  // (NaN: not checked).
  double Ttol = 1e-6;
};

void PrintTo(const WaterState &state, std::ostream *os) { *os << state.name; }

class StreamIapwsLiquidVaporRegions : public StreamIapwsLiquidVaporTest,
                                      public testing::WithParamInterface<WaterState> {};

TEST_P(StreamIapwsLiquidVaporRegions, PtMatchesIapws95AndPhPsReturnT) {
  const WaterState &c = GetParam();
  auto pt = makeWaterSteam("PT");
  setFeed(*pt, {1.0}, c.T, c.P);
  flash(*pt, FlashMode::PT);
  auto &total = dynamic_cast<Phase::MassMolarProperties &>(*pt->Tphase);
  const double kJ = waterMolarMass * 1000.0; // J/kmol per kJ/kg
  // The absent phase keeps a vapour fraction of the solver's tolerance
  // (3e-11 on the liquid side), which shows in v as 4e-8 at 300 K.
  EXPECT_NEAR(pt->VphaseGeneric_->fraction.value(), c.vaporFraction, 1e-8);
  EXPECT_NEAR(total.H.value() / kJ, c.h, 1e-7 * std::max(std::fabs(c.h), 10.0));
  EXPECT_NEAR(total.S.value() / kJ, c.s, 1e-7 * std::max(c.s, 1.0));
  EXPECT_NEAR(total.v.value() / waterMolarMass / c.v, 1.0, 1e-7);
  if (std::isnan(c.Ttol))
    return;
  for (FlashMode mode : {FlashMode::PH, FlashMode::PS}) {
    auto other = makeWaterSteam("B");
    setFeed(*other, {1.0}, (c.vaporFraction > 0.5 ? 1.02 : 0.98) * c.T, c.P);
    auto &otherTotal = dynamic_cast<Phase::MassMolarProperties &>(*other->Tphase);
    otherTotal.H = total.H;
    otherTotal.S = total.S;
    flash(*other, mode);
    EXPECT_NEAR(other->T.value(), c.T, c.Ttol)
        << Velta::Utility::flashModeName(static_cast<int>(mode));
    EXPECT_NEAR(other->VphaseGeneric_->fraction.value(), c.vaporFraction, 1e-8);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Water, StreamIapwsLiquidVaporRegions,
    testing::Values(
        WaterState{"Liquid300K1atm", 300.0, 101325.0, 112.65489965428957, 0.3930620684400598,
                   0.0010034549603869967, 0.0},
        WaterState{"Liquid350K50bar", 350.0, 5e6, 325.7720365746731, 1.0348304696739987,
                   0.0010246952359617648, 0.0},
        WaterState{"Vapour500K1bar", 500.0, 1e5, 2928.5584323608246, 7.944732894364651,
                   2.2981105562271087, 1.0},
        WaterState{"Liquid275KAboveSaturation", 275.0, 699.1496178664996, 7.7597227205118395,
                   0.0283094669835953, 0.0010001126062080912, 0.0},
        WaterState{"Vapour275KBelowSaturation", 275.0, 697.7527155331002, 2504.290686106298,
                   9.10706534106048, 181.78054593373213, 1.0,
                   std::numeric_limits<double>::quiet_NaN()},
        WaterState{"Liquid450KAboveSaturation", 450.0, 933135.7671913053, 749.1620668549178,
                   2.108657190939862, 0.0011231640812154001, 0.0},
        WaterState{"Vapour450KBelowSaturation", 450.0, 931271.3600640501, 2774.4863071003056,
                   6.6098107843024, 0.20803927086075746, 1.0, 1e-5},
        WaterState{"Liquid625KAboveSaturation", 625.0, 16925177.5878914, 1686.0883556258545,
                   3.801608886251148, 0.0017628248301631293, 0.0},
        WaterState{"Steam700K1bar", 700.0, 1e5, 3334.3620082107027, 8.62643361385167,
                   3.2270335323655104, 1.0},
        WaterState{"Supercritical700K100MPa", 700.0, 1e8, 1925.0474517466844, 3.9588885123005526,
                   0.0015342745626495437, 0.0},
        WaterState{"Vapour625KBelowSaturation", 625.0, 16891361.049254257, 2552.761600170516,
                   5.188562914085134, 0.008486041605684128, 1.0}),
    [](const testing::TestParamInfo<WaterState> &info) { return std::string(info.param.name); });

TEST_F(StreamIapwsLiquidVaporTest, PhInTheTwoPhaseRegionGivesTheBoilingPointAndItsSplit) {
  // H of IAPWS95(P=0.101325, x=0.5), 1547.2935298510897 kJ/kg, at 373.12429603877786 K.
  auto s = makeWaterSteam();
  setFeed(*s, {1.0}, 360.0, 101325.0);
  dynamic_cast<Phase::MassMolarProperties &>(*s->Tphase).H =
      Value(1547.2935298510897 * waterMolarMass * 1000.0, "J/kmol");
  flash(*s, FlashMode::PH);
  // 1.8e-5 K low: the iterations stop on the solver's step tolerance. (The
  // Rachford-Rice residual with its single-phase corrections, second order
  // in K - 1, stopped 0.26 K low here, at a vapour fraction of 0.5007.)
  EXPECT_NEAR(s->T.value(), 373.12429603877786, 3e-5);
  EXPECT_NEAR(s->VphaseGeneric_->fraction.value(), 0.5, 1e-7);
}

TEST_F(StreamIapwsLiquidVaporTest, OnlyWaterIsDistributed) {
  useComponents({"H2O", "h2o", "H2O2"});
  auto s = makeWaterSteam();
  setFeed(*s, {0.8, 0.1, 0.1}, 380.0, 101325.0);
  s->VphaseGeneric_->fraction = 0.4;
  flash(*s, FlashMode::PA);
  EXPECT_NE(s->kVL_[0].value(), 1.0);
  EXPECT_EQ(s->kVL_[1].value(), 1.0);
  EXPECT_EQ(s->kVL_[2].value(), 1.0);
  // estimateFlash uses the same rule.
  s->estimateFlash();
  EXPECT_EQ(s->kVL_[1].value(), 1.0);
  EXPECT_EQ(s->kVL_[2].value(), 1.0);
  EXPECT_NEAR(s->alfa.value(), 0.4, 1e-15);
}

TEST_F(StreamIapwsLiquidVaporTest, CloneKeepsTheState) {
  auto s = makeWaterSteam();
  setFeed(*s, {1.0}, 370.0, 101325.0);
  s->VphaseGeneric_->fraction = 0.5;
  flash(*s, FlashMode::PA);
  std::unique_ptr<Node> copy = s->clone();
  auto &c = dynamic_cast<StreamIapwsLiquidVapor &>(*copy);
  EXPECT_EQ(c.type(), "StreamIapwsLiquidVapor");
  EXPECT_DOUBLE_EQ(c.T.value(), s->T.value());
  c.initializeNonPersistents();
  EXPECT_DOUBLE_EQ(c.alfa.value(), 0.5);
}

} // namespace
