// The registered stream types: listing order, descriptors, aliases and the
// phase types they embed.

#include "StreamTestSupport.h"

#include "velta/phases/Generic.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace streamtest;

namespace {

// The stream entries of the types listing, in registration order.
const std::vector<std::string> streamListing = {
    "StreamSimpleLiquid",
    "StreamSimpleSolid",
    "StreamSimpleVapor",
    "StreamSimpleLiquidSolid",
    "StreamSimpleLiquidSolidVapor",
    "StreamOne",
    "StreamVapor",
    "StreamLiquid",
    "StreamSolid",
    "StreamKwongRedlichSoaveVapor",
    "StreamKwongRedlichSoaveLiquid",
    "StreamPengRobinsonVapor",
    "StreamPengRobinsonLiquid",
    "StreamNrtl1Liquid",
    "StreamNrtl2Liquid",
    "StreamUnifacLiquid",
    "StreamPcsaftVapor",
    "StreamPcsaftLiquid",
    "StreamGerg2004Vapor",
    "StreamGerg2004Liquid",
    "StreamIapwsVapor",
    "StreamIapwsLiquid"};

TEST(StreamTypeListing, ListsTheStreamTypesInRegistrationOrder) {
  registerStreamTypes();
  NodeFactory factory;
  std::vector<std::string> listed;
  for (const TypeDescriptor &d : factory.descriptors())
    if (d.category == "stream") {
      listed.push_back(d.name);
      EXPECT_FALSE(d.instantiable) << d.name;
      EXPECT_EQ(factory.icon(d.name).stem(), "stream") << d.name;
      EXPECT_EQ(factory.icon(d.name).width(), 100.0) << d.name;
      EXPECT_EQ(factory.icon(d.name).height(), 100.0) << d.name;
      // Only StreamOne leaves its option open: every alias presets it.
      EXPECT_EQ(d.stringOptions.size(), d.name == "StreamOne" ? 1u : 0u) << d.name;
    }
  EXPECT_EQ(listed, streamListing);
  EXPECT_EQ(factory.typeDescriptor("StreamOne").stringOptions[0].toJson(),
            "{\"name\":\"embeddedTypePhase\",\"description\":\"type of the embedded phase\","
            "\"value\":\"PhaseIdeal<vapor>\",\"enumerator\":\"phaseEnum\"}");
  // A second registration registers nothing and raises nothing.
  const std::size_t before = factory.descriptors().size();
  Velta::Streams::registerStreamTypes();
  EXPECT_EQ(factory.descriptors().size(), before);
}

class StreamTypes : public ComponentsFixture {
protected:
  void SetUp() override { useMethanePropane(); }
};

TEST_F(StreamTypes, AliasesPresetTheEmbeddedPhaseAndTheCallersValueWins) {
  const struct {
    const char *name;
    Defaults options;
    const char *phase;
  } rows[] = {
      {"StreamVapor", Defaults("S1"), "PhaseIdeal<vapor>"},
      {"StreamPengRobinsonLiquid", Defaults("S1"), "PhasePengRobinson<liquid>"},
      {"StreamVapor", Defaults("S1").setString("embeddedTypePhase", "PhaseIdeal<liquid>"),
       "PhaseIdeal<liquid>"},
      // creation never consults phaseEnum, which has no "PhaseUnifac" row
      {"StreamUnifacLiquid", Defaults("S1"), "PhaseUnifac"},
  };
  for (const auto &row : rows) {
    registerStreamTypes();
    auto node = NodeFactory().create(row.name, row.options, 0, nullptr, nullptr, nullptr);
    auto &stream = dynamic_cast<StreamOne &>(*node);
    EXPECT_EQ(stream.type(), "StreamOne") << row.name;
    EXPECT_EQ(stream.S("embeddedTypePhase"), row.phase) << row.name;
    EXPECT_EQ(stream.Tphase->type(), std::string(row.phase).substr(0, std::string(row.phase).find('<')))
        << row.name;
  }
}

TEST(StreamTypeListing, PhaseEnumNamesTheEmbeddablePhaseTypes) {
  const Velta::Core::Enumerator e = Velta::Streams::phaseEnumerator();
  EXPECT_EQ(e.name(), "phaseEnum");
  EXPECT_EQ(e.description(), "Phase type enumerator");
  ASSERT_EQ(e.size(), 18);
  EXPECT_EQ(e.begin()[0].name, "PhaseSimple<vapor>");
  EXPECT_EQ(e.begin()[8].description, "Vapor Equation-of-State phase");
  EXPECT_EQ(e.begin()[17].name, "PhaseIapws<liquid>");
}

} // namespace
