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

TEST_F(StreamIapwsLiquidVaporTest, PaAtOneAtmosphereGivesTheNormalBoilingPoint) {
  auto s = makeWaterSteam();
  setFeed(*s, {1.0}, 370.0, 101325.0);
  s->VphaseGeneric_->fraction = 0.5;
  flash(*s, FlashMode::PA);
  EXPECT_NEAR(s->T.value(), 373.12429603877786, 1e-5);
  EXPECT_NEAR(s->VphaseGeneric_->fraction.value(), 0.5, 1e-15);
  EXPECT_NEAR(s->LphaseGeneric_->fraction.value(), 0.5, 1e-15);
  EXPECT_NEAR(s->kVL_[0].value(), 1.0, 1e-6);
  auto &total = dynamic_cast<Phase::MassMolarProperties &>(*s->Tphase);
  EXPECT_NEAR(total.H.value() / waterMolarMass / 1000.0, 1547.2935298510897, 1e-3);
}

TEST_F(StreamIapwsLiquidVaporTest, SaturationPressuresOfTheRelease) {
  const struct {
    double T, P, band;
  } rows[] = {{275.0, 698.4511666998, 1e-3},
              {450.0, 932203.5636276777, 1e-3},
              {625.0, 16908269.31857283, 1e-2}};
  for (const auto &row : rows) {
    // PA at the saturation pressure returns the saturation temperature.
    auto pa = makeWaterSteam("PA");
    setFeed(*pa, {1.0}, row.T - 2.0, row.P);
    pa->VphaseGeneric_->fraction = 0.3;
    flash(*pa, FlashMode::PA);
    EXPECT_NEAR(pa->T.value(), row.T, 1e-5 * row.T) << row.T;
    // PT just above the saturation pressure is all liquid, just below all
    // vapour: the K-value of water brackets 1 there. (Just below the
    // critical point only the liquid side: the vapour side's start, the
    // ideal gas, is half the density there and the flash fails.)
    for (double band : {row.band, -row.band}) {
      if (band < 0.0 && row.T > 600.0)
        continue;
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
