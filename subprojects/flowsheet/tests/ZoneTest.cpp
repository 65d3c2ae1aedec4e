// The reboiler zone in a small flowsheet: its children, ports and
// synonyms, the heat transfer unit's process side, the options relayed to
// every child, and the set-up's flash configuration of the cold side.

#include "FlowsheetTestSupport.h"
#include "PipeTestSupport.h"

#include "velta/flowsheet/Zone.h"
#include "velta/units/ReactionTypes.h"

#include <gtest/gtest.h>

#include <string>

using namespace flowsheettest;

namespace {

class ZoneTest : public ComponentsFixture {
protected:
  void SetUp() override {
    verbosityGlobal = 0;
    use(lightAndHeavy());
    registerFlowsheetTypes();
    Velta::Units::registerReactionTypes();
  }
  void TearDown() override {
    verbosityGlobal = 2;
    ComponentsFixture::TearDown();
  }

  // LIQ -> "liquid", STM -> "steam", "mixture" -> MIX, "water" -> CON.
  std::unique_ptr<FlowSheet> flowsheet(const Defaults &zone) {
    auto fs = makeFlowSheet<FlowSheet>("PlainFlowSheet");
    fs->addUnit("Zone", zone);
    const std::string z = zone.tag();
    fs->addStream("StreamIdealLiquidVapor", Defaults("STM", "steam"), "source", "out", z, "steam");
    fs->addStream("StreamIdealLiquidVapor", Defaults("LIQ", "liquid"), "source", "out", z,
                  "liquid");
    fs->addStream("StreamIdealLiquidVapor", Defaults("CON", "condensate"), z, "water", "sink",
                  "in");
    fs->addStream("StreamIdealLiquidVapor", Defaults("MIX", "mixture"), z, "mixture", "sink", "in");
    return fs;
  }
};

TEST_F(ZoneTest, ChildrenPortsAndSynonyms) {
  auto fs = flowsheet(Defaults("Z", "zone"));
  auto &z = dynamic_cast<Zone &>(fs->child("Z"));
  EXPECT_EQ(z.type(), "Zone");
  EXPECT_EQ(z.maxNIn.value(), 2);
  EXPECT_EQ(z.maxNOut.value(), 2);
  // The synonyms resolve to the zone's own ports.
  EXPECT_EQ(streamOf(*fs, "STM").toPort.value(), "in2");
  EXPECT_EQ(streamOf(*fs, "LIQ").toPort.value(), "in1");
  EXPECT_EQ(streamOf(*fs, "CON").fromPort.value(), "out2");
  EXPECT_EQ(streamOf(*fs, "MIX").fromPort.value(), "out1");
  EXPECT_EQ(z.child("COLD").type(), "FlashDrum");
  EXPECT_EQ(z.child("HOT").type(), "HeatTransfer");
  struct Row {
    const char *stream, *from, *to;
  };
  for (const Row &r : {Row{"SL", "source", "COLD"}, Row{"STMIN", "source", "HOT"},
                       Row{"B", "COLD", "sink"}, Row{"WATOU", "HOT", "sink"}}) {
    const Stream &s = streamOf(z, r.stream);
    EXPECT_EQ(s.fromTAG.value(), r.from) << r.stream;
    EXPECT_EQ(s.toTAG.value(), r.to) << r.stream;
  }
  // The feeds and products take the zone's ports in the order of creation.
  EXPECT_EQ(streamOf(z, "SL").fromPort.value(), "out1");
  EXPECT_EQ(streamOf(z, "STMIN").fromPort.value(), "out2");
  EXPECT_EQ(streamOf(z, "B").toPort.value(), "in1");
  EXPECT_EQ(streamOf(z, "WATOU").toPort.value(), "in2");
  EXPECT_EQ(z.S("HOT.processSide"), "COLD");

  z.S("COLD.option") = "PT";
  testing::internal::CaptureStdout();
  z.setup();
  testing::internal::GetCapturedStdout();
  EXPECT_EQ(z.S("COLD.option"), "PA");
}

TEST_F(ZoneTest, OptionsReachEveryChildAndAGivenProcessSidePrevails) {
  // The heat transfer unit's own options, given to the zone.
  pipetest::registerCountingRating();
  Defaults options("Z", "zone");
  options.setString("processSide", "ELSEWHERE").setInteger("nRatings", 1);
  options.setString("embeddedTypeRatings[0]", pipetest::CountingRating::typeName);
  auto fs = flowsheet(options);
  auto &z = dynamic_cast<Zone &>(fs->child("Z"));
  EXPECT_EQ(z.S("HOT.processSide"), "ELSEWHERE");
  EXPECT_EQ(z.I("HOT.nRatings"), 1);
  EXPECT_TRUE(z.at("HOT").hasChild("ratings[0]"));
}

} // namespace
