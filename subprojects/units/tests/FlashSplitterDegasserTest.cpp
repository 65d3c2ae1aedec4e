// The flash splitter and the flash degasser: their internal stream and
// separator, the defaults of a plain creation, port names and sides, and
// the routing of the flashed vapour and liquid.

#include "FlashDrumTestSupport.h"

#include "velta/core/PortTable.h"
#include "velta/utility/Error.h"
#include "velta/utility/SharedEnumerations.h"

#include <gtest/gtest.h>

using namespace flashdrumtest;

namespace {

// The feeds and the reference outlet of FlashDrumTest.cpp: 320 K, 1.2 bar,
// alfa = 0.491320311021222 of 2 kmol/s, vapour y_A = 0.673272469417941,
// liquid x_A = 0.136053320828460, duty -1200736.39119902 W.
constexpr double alfaRef = 0.491320311021222;
constexpr double xRef = 0.136053320828460, yRef = 0.673272469417941;
constexpr double dutyRef = -1200736.39119902;

class FlashSeparators : public testing::Test {
protected:
  void SetUp() override {
    verbosityGlobal = 0;
    useClausiusPair();
    registerDrumTypes();
  }
  void TearDown() override { components.clear(); }

  // Two feeds joined, the outlets joined by the given port names.
  void wire(FlashDrumSeparator &unit, const std::vector<std::pair<std::string, Stream *>> &outs) {
    f1 = feed("F1", {0.5, 0.5}, 300.0, 2e5);
    f2 = feed("F2", {0.3, 0.7}, 400.0, 3e5);
    join(unit, *f1, "in");
    join(unit, *f2, "in");
    for (auto [port, stream] : outs) {
      unit.translate(port);
      join(unit, *stream, port);
    }
    unit.option = "PT";
    unit.T = Value(320.0, "K");
    unit.P = Value(1.2e5, "Pa");
  }
  static Phase::MassMolar &molar(Stream &s) { return dynamic_cast<Phase::MassMolar &>(*s.Tphase); }

  std::unique_ptr<Stream> f1, f2;
};

TEST_F(FlashSeparators, PlainNamesTakeTheListedInternalStreamType) {
  // Without the option the registration's listed default is used.
  auto degasser = makeDrum<FlashDegasser>("FlashDegasser", Defaults("FD", "degasser"));
  ASSERT_NE(degasser, nullptr);
  EXPECT_EQ(degasser->type(), "FlashDegasser");
  EXPECT_EQ(degasser->embeddedTypeStream.value(), "StreamIdealLiquidVapor");
  EXPECT_EQ(degasser->internalStream().type(), "StreamVlT");
  EXPECT_EQ(degasser->internalStream().tag(), "");
  EXPECT_EQ(degasser->separator().tag(), "DEGAS");
  EXPECT_EQ(degasser->myout(), &degasser->internalStream());

  auto splitter = makeDrum<FlashSplitter>("FlashSplitter", Defaults("FS", "splitter"));
  ASSERT_NE(splitter, nullptr);
  EXPECT_EQ(splitter->embeddedTypeStream.value(), "StreamIdealLiquidSolid");
  EXPECT_EQ(splitter->internalStream().tag(), "STREAM");
  EXPECT_EQ(splitter->separator().tag(), "SPLIT");

  // An alias presets the type; a type that is no stream is refused.
  auto three = makeDrum<FlashSplitter>("FlashSplitter<StreamIdealLiquidSolidVapor>",
                                       Defaults("FS3", "splitter"));
  EXPECT_EQ(three->type(), "FlashSplitter");
  ASSERT_EQ(three->internalStream().nphases(), 3);
  for (int i = 0; i < 3; ++i) {
    std::string port = Velta::Utility::phaseIndexName(three->internalStream().phaseIndex(i));
    three->translate(port);
    EXPECT_EQ(port, "out" + std::to_string(i + 1));
  }
  Defaults notAStream("FX", "x");
  notAStream.setString("embeddedTypeStream", "Mixer");
  try {
    makeDrum<FlashDegasser>("FlashDegasser", notAStream);
    ADD_FAILURE() << "no error";
  } catch (const ErrorDynamicCast &e) {
    EXPECT_NE(e.message().find("FlashDegasser::FlashDegasser"), std::string::npos) << e.message();
  }
}

TEST_F(FlashSeparators, PortSides) {
  auto degasser = makeDrum<FlashDegasser>("FlashDegasser", Defaults("FD", "degasser"));
  auto splitter = makeDrum<FlashSplitter>("FlashSplitter", Defaults("FS", "splitter"));
  const struct {
    const char *port;
    int degasserSide, splitterSide;
  } rows[] = {
      {"out1", PortTable::north, PortTable::north},
      {"out2", PortTable::south, PortTable::south},
      {"out3", PortTable::west, PortTable::south},
      {"in1", PortTable::west, PortTable::west},
  };
  for (const auto &row : rows) {
    EXPECT_EQ(degasser->locationFromPort(row.port), row.degasserSide) << row.port;
    EXPECT_EQ(splitter->locationFromPort(row.port), row.splitterSide) << row.port;
  }
}

TEST_F(FlashSeparators, DegasserSendsVapourUpAndLiquidDown) {
  auto unit = makeDrum<FlashDegasser>("FlashDegasser", Defaults("FD", "degasser"));
  auto vapor = vaporLiquid("V"), condensate = vaporLiquid("C"), third = vaporLiquid("X");
  wire(*unit, {{"vapor", vapor.get()}, {"condensate", condensate.get()}});
  EXPECT_THROW(join(*unit, *third, "out"), ErrorConnectivity);
  unit->go(1, 0);
  ASSERT_TRUE(unit->errors.value().empty()) << messages(*unit);
  EXPECT_NEAR(unit->alfa.value(), alfaRef, 1e-9);
  EXPECT_NEAR(unit->duty.value(), dutyRef, 1e-6 * std::fabs(dutyRef));
  EXPECT_NEAR(molar(*vapor).ndot.value(), 2.0 * alfaRef, 1e-9);
  EXPECT_NEAR(molar(*vapor).x[0].value(), yRef, 1e-9);
  EXPECT_NEAR(molar(*condensate).ndot.value(), 2.0 * (1.0 - alfaRef), 1e-9);
  EXPECT_NEAR(molar(*condensate).x[0].value(), xRef, 1e-9);
  for (Stream *s : {vapor.get(), condensate.get()}) {
    EXPECT_DOUBLE_EQ(s->T.value(), 320.0) << s->tag();
    EXPECT_DOUBLE_EQ(s->P.value(), 1.2e5) << s->tag();
  }
  EXPECT_DOUBLE_EQ(vapor->phases()[0]->fraction.value(), 1.0);
  // The flash counts once and the unit once.
  EXPECT_EQ(unit->nCalculations.value(), 2);
}

TEST_F(FlashSeparators, SplitterRoutesEachPhaseToItsOutlet) {
  Defaults options("FS", "splitter");
  options.setString("embeddedTypeStream", "StreamIdealLiquidVapor");
  auto unit = makeDrum<FlashSplitter>("FlashSplitter", options);
  auto vapor = vaporLiquid("V"), liquid = vaporLiquid("L");
  wire(*unit, {{"vapor", vapor.get()}, {"liquid1", liquid.get()}});
  unit->go(1, 0);
  ASSERT_TRUE(unit->errors.value().empty()) << messages(*unit);
  EXPECT_NEAR(molar(*vapor).ndot.value(), 2.0 * alfaRef, 1e-9);
  EXPECT_NEAR(molar(*vapor).x[0].value(), yRef, 1e-9);
  EXPECT_NEAR(molar(*liquid).ndot.value(), 2.0 * (1.0 - alfaRef), 1e-9);
  EXPECT_NEAR(molar(*liquid).x[0].value(), xRef, 1e-9);
  EXPECT_NEAR(unit->energyBalance().value(), dutyRef, 1e-6 * std::fabs(dutyRef));

  // Inlets without flow: no flash, the splitter still empties the outlets.
  for (Stream *s : {f1.get(), f2.get()})
    setFeed(*s, {0.5, 0.5}, 300.0, 2e5, 0.0);
  unit->go(1, 0);
  EXPECT_TRUE(has(unit->warnings, "Empty inlet stream, bypassing block")) << messages(*unit);
  EXPECT_EQ(molar(*vapor).ndot.value(), 0.0);
  EXPECT_EQ(molar(*liquid).ndot.value(), 0.0);
}

} // namespace
