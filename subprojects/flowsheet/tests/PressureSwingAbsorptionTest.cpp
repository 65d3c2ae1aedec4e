// The pressure-swing absorption in a feed -> PSA -> (hydrogen, offgas)
// flowsheet, over a component list of its own that holds the gases the
// unit splits: the recovery from the feed pressure, the impurity split,
// the product purity, the recovery option and the feed warnings.

#include "FlashDrumTestSupport.h"
#include "FlowsheetTestSupport.h"

#include "velta/flowsheet/PressureSwingAbsorption.h"
#include "velta/utility/Error.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

using namespace flowsheettest;

namespace {

// Component order of the list the tests use.
enum Gas { H2O, N2, O2, CH4, CO, CO2, H2, nGases };

// mpmath, 20 digits: 1 - 10^(-0.7 * 1.5e6 / 1.5e6 - 0.07) and 1 - 10^-0.07.
constexpr double recoveryAt15bar = 0.83017563475382556454;
constexpr double recoveryAt0 = 0.14886196179762353218;
// 0.5 * 0.7 * (1 - 0.99999) / 0.99999 / (1 - 0.5); 1 - 0.99999 in doubles
// carries a relative error near 1e-11.
constexpr double impuritySplitHalfHydrogen = 7.0000700007000069798e-6;

class PsaTest : public ComponentsFixture {
protected:
  void SetUp() override {
    verbosityGlobal = 0;
    // Water condenses, the other gases stay gases at the unit's pressures.
    PureData water, gas;
    water.psat = 7000.0;
    gas.psat = 1e9;
    gas.mw = 28.0;
    use({{"H2O", water},
         {"N2", gas},
         {"O2", gas},
         {"CH4", gas},
         {"CO", gas},
         {"CO2", gas},
         {"H2", gas}});
    flashdrumtest::registerDrumTypes();
    registerFlowsheetTypes();
  }
  void TearDown() override {
    verbosityGlobal = 2;
    ComponentsFixture::TearDown();
  }

  // FEED -> PSA; PSA "h2" -> H2, PSA "offgas" -> OFF.
  std::unique_ptr<FlowSheet> flowsheet(double P, double T, double xH2) {
    auto fs = makeFlowSheet<FlowSheet>("PlainFlowSheet");
    fs->addUnit("PressureSwingAbsorption", Defaults("PSA", "hydrogen purifier"));
    fs->addStream("StreamIdealLiquidVapor", Defaults("FEED", "syngas"), "source", "out", "PSA",
                  "in");
    fs->addStream("StreamIdealLiquidVapor", Defaults("H2", "hydrogen"), "PSA", "h2", "sink", "in");
    fs->addStream("StreamIdealLiquidVapor", Defaults("OFF", "offgas"), "PSA", "offgas", "sink",
                  "in");
    std::vector<double> x(nGases, 0.0);
    x[H2] = xH2;
    const double rest = 1.0 - xH2;
    x[H2O] = 0.02 * rest;
    x[N2] = 0.1 * rest;
    x[O2] = 0.03 * rest;
    x[CH4] = 0.4 * rest;
    x[CO] = 0.2 * rest;
    x[CO2] = 0.25 * rest;
    Stream &feed = streamOf(*fs, "FEED");
    setFeed(feed, x, T, P, 2.0);
    feed.setFlash(static_cast<int>(Velta::Utility::FlashMode::PT));
    fs->setup();
    return fs;
  }
  static PressureSwingAbsorption &psa(FlowSheet &fs) {
    return dynamic_cast<PressureSwingAbsorption &>(fs.child("PSA"));
  }
  static void expectNoErrors(Model &m) {
    for (const std::string &e : m.errors.value())
      ADD_FAILURE() << m.tag() << ": " << e;
  }
};

TEST_F(PsaTest, ChildrenPortsAndSynonyms) {
  auto fs = flowsheet(1.5e6, 300.0, 0.5);
  PressureSwingAbsorption &u = psa(*fs);
  EXPECT_EQ(u.type(), "PressureSwingAbsorption");
  EXPECT_EQ(u.option.value(), "calculated");
  EXPECT_EQ(u.recovery.value(), 0.7);
  EXPECT_EQ(u.purity.value(), 0.99999);
  EXPECT_FALSE(u.recovery.input() || u.recovery.output());
  EXPECT_EQ(u.child("SEPARATOR").type(), "Separator");
  EXPECT_EQ(u.child("F2").type(), "FlashDrum");
  struct Row {
    const char *stream, *from, *fromPort, *to, *toPort;
  };
  for (const Row &r :
       {Row{"S03", "SEPARATOR", "out1", "F2", "in1"},
        Row{"S01", "source", "out1", "SEPARATOR", "in1"},
        Row{"S02", "SEPARATOR", "out1", "sink", "in1"}, Row{"S04", "F2", "out1", "sink", "in2"}}) {
    const Stream &s = streamOf(u, r.stream);
    EXPECT_EQ(s.fromTAG.value(), r.from) << r.stream;
    EXPECT_EQ(s.toTAG.value(), r.to) << r.stream;
    EXPECT_EQ(s.toPort.value(), r.toPort) << r.stream;
  }
  // The separator's outlet 2 feeds the flash; its outlet 1 leaves.
  EXPECT_EQ(streamOf(u, "S03").fromPort.value(), "out2");
  EXPECT_EQ(streamOf(u, "S02").fromPort.value(), "out1");
  // The synonyms name the unit's outlets 1 and 2.
  EXPECT_EQ(streamOf(*fs, "H2").fromPort.value(), "out1");
  EXPECT_EQ(streamOf(*fs, "OFF").fromPort.value(), "out2");
  EXPECT_EQ(u.locationFromPort("out1"), 0);
  EXPECT_EQ(u.locationFromPort("out2"), 1);
  EXPECT_EQ(u.locationFromPort("in1"), 3);
  EXPECT_EQ(u.maxNIn.value(), 1);
  EXPECT_EQ(u.maxNOut.value(), 2);
}

TEST_F(PsaTest, CalculatedRecoveryGivesThePurity) {
  EXPECT_NEAR(PressureSwingAbsorption::calculatedRecovery(1.5e6), recoveryAt15bar, 1e-15);
  EXPECT_NEAR(PressureSwingAbsorption::calculatedRecovery(0.0), recoveryAt0, 1e-15);

  auto fs = flowsheet(1.5e6, 300.0, 0.5);
  fs->calculate(0);
  expectNoErrors(*fs);
  PressureSwingAbsorption &u = psa(*fs);
  expectNoErrors(u);
  EXPECT_NEAR(u.recovery.value(), recoveryAt15bar, 1e-12);
  const double f = 0.5 * recoveryAt15bar * (1.0 - 0.99999) / 0.99999 / 0.5;
  for (const char *gas : {"H2O", "N2", "O2", "CH4", "CO", "CO2"})
    EXPECT_NEAR(u.Q("SEPARATOR.outSplit", 0, gas).value(), f, 1e-18) << gas;
  EXPECT_NEAR(u.Q("SEPARATOR.outSplit", 0, "H2").value(), recoveryAt15bar, 1e-12);
  // The product holds the purity, its hydrogen the recovered share of the
  // feed's; the offgas leaves at 1 atm + 2 psi and 313.15 K.
  Stream &h2 = streamOf(*fs, "H2"), &off = streamOf(*fs, "OFF");
  EXPECT_NEAR(h2.Q("Tphase.x", H2).value(), 0.99999, 1e-9);
  EXPECT_NEAR(h2.Tphase->flow(H2).value(), recoveryAt15bar * 1.0, 1e-9);
  EXPECT_NEAR(h2.P.value(), 1.5e6 - 4e4, 1e-6);
  EXPECT_NEAR(off.P.value(), 101325.0 + 2.0 * 6894.757293168361, 1e-3);
  EXPECT_NEAR(off.T.value(), 313.15, 1e-9);
  EXPECT_NEAR(h2.Q("Tphase.ndot").value() + off.Q("Tphase.ndot").value(), 2.0, 1e-9);
  EXPECT_TRUE(u.warnings.value().empty());
}

TEST_F(PsaTest, FixedRecoveryAndTheImpuritySplit) {
  auto fs = flowsheet(1.5e6, 300.0, 0.5);
  PressureSwingAbsorption &u = psa(*fs);
  u.option = "fixed";
  // The inlet as a first pass finds it.
  streamOf(u, "S01").Q("Tphase.x", H2) = Value(0.5);
  u.pre(1, 0);
  EXPECT_EQ(u.recovery.value(), 0.7);
  EXPECT_NEAR(u.Q("SEPARATOR.outSplit", 0, "CO2").value(), impuritySplitHalfHydrogen, 1e-16);
  EXPECT_EQ(u.Q("SEPARATOR.outSplit", 0, "H2").value(), 0.7);
  EXPECT_EQ(u.S("SEPARATOR.option"), "D");
  EXPECT_NEAR(u.Q("SEPARATOR.deltaP").value(), 4e4, 1e-9);
  EXPECT_EQ(u.S("F2.option"), "PT");
  // Value assignments: the flags stay as they were.
  EXPECT_FALSE(u.Q("F2.T").input());
}

TEST_F(PsaTest, OtherRecoveryOptionsAreBrowsingErrors) {
  auto fs = flowsheet(1.5e6, 300.0, 0.5);
  PressureSwingAbsorption &u = psa(*fs);
  for (const char *value : {"Fixed", "", "calculated "}) {
    u.option = value;
    try {
      u.pre(1, 0);
      ADD_FAILURE() << "accepted '" << value << "'";
    } catch (const ErrorBrowsing &e) {
      const std::string text = e.message();
      EXPECT_NE(text.find(std::string("Object ") + value +
                          " not found in model PSA of type "
                          "Recovery mode"),
                std::string::npos)
          << text;
      const std::size_t first = text.find("PressureSwingAbsorption::pre");
      ASSERT_NE(first, std::string::npos) << text;
      EXPECT_NE(text.find("PressureSwingAbsorption::pre", first + 1), std::string::npos) << text;
    }
    // The separator's settings were made before the option was read.
    EXPECT_EQ(u.S("SEPARATOR.option"), "D");
  }
}

// Without the gases the unit splits, its pass hooks fail on the lookup.
TEST_F(PsaTest, NeedsItsGases) {
  use(lightAndHeavy());
  auto u = makeFlowSheet<PressureSwingAbsorption>("PressureSwingAbsorption", "PSA");
  for (auto hook : {&PressureSwingAbsorption::pre, &PressureSwingAbsorption::post}) {
    try {
      ((*u).*hook)(1, 0);
      ADD_FAILURE() << "no component lookup error";
    } catch (const ErrorNoComponent &e) {
      EXPECT_NE(e.message().find("H2"), std::string::npos) << e.message();
    }
  }
}

struct FeedCase {
  const char *name;
  double P, T, xH2;
  const char *warning; // "" for none
};

void PrintTo(const FeedCase &c, std::ostream *os) { *os << c.name; }

const double atm = 101325.0;
const double psi = Value(1.0, "psi").value();
const double pHigh = 300.0 * psi + atm;
const double pLow = 50.0 * psi + atm;

const FeedCase feedCases[] = {
    {"InRange", 1.5e6, 300.0, 0.5, ""},
    {"PressureTooHigh", std::nextafter(pHigh, 1e9), 300.0, 0.5, "Warning: inlet pressure too high"},
    {"PressureAtHighLimit", pHigh, 300.0, 0.5, ""},
    {"PressureTooLow", std::nextafter(pLow, 0.0), 300.0, 0.5, "Warning: inlet pressure too low"},
    {"PressureAtLowLimit", pLow, 300.0, 0.5, ""},
    {"TemperatureTooHigh", 1.5e6, 323.16, 0.5, "Warning: inlet temperature too high"},
    {"TemperatureAtHighLimit", 1.5e6, 323.15, 0.5, ""},
    {"TemperatureTooLow", 1.5e6, 277.14, 0.5, "Warning: inlet temperature too low"},
    {"TemperatureAtLowLimit", 1.5e6, 277.15, 0.5, ""},
    {"HydrogenTooHigh", 1.5e6, 300.0, 0.999995, "Warning: inlet hydrogen concentration too high"},
    {"HydrogenAtHighLimit", 1.5e6, 300.0, 0.99999, ""},
    {"HydrogenTooLow", 1.5e6, 300.0, 0.2499, "Warning: inlet hydrogen concentration too low"},
    {"HydrogenAtLowLimit", 1.5e6, 300.0, 0.25, ""},
};

class PsaFeedWarnings : public PsaTest, public testing::WithParamInterface<FeedCase> {};

TEST_P(PsaFeedWarnings, OnlyOutsideTheRange) {
  const FeedCase &c = GetParam();
  auto fs = flowsheet(c.P, c.T, c.xH2);
  PressureSwingAbsorption &u = psa(*fs);
  // The feed as the unit's inlet stream sees it.
  Stream &s01 = streamOf(u, "S01");
  s01.P = Value(c.P, "Pa");
  s01.T = Value(c.T, "K");
  s01.Q("Tphase.x", H2) = Value(c.xH2);
  const int before = u.nCalculations.value();
  u.post(1, 0);
  const std::vector<std::string> expected =
      *c.warning ? std::vector<std::string>{c.warning} : std::vector<std::string>{};
  EXPECT_EQ(u.warnings.value(), expected);
  EXPECT_EQ(u.nCalculations.value(), before + 1);
}

INSTANTIATE_TEST_SUITE_P(Limits, PsaFeedWarnings, testing::ValuesIn(feedCases),
                         [](const testing::TestParamInfo<FeedCase> &info) {
                           return std::string(info.param.name);
                         });

} // namespace
