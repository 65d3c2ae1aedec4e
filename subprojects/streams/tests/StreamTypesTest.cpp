// The registered stream types: listing order, descriptors, aliases and the
// phase types they embed.

#include "StreamTestSupport.h"

#include "velta/phases/Generic.h"

#include <gtest/gtest.h>

#include <algorithm>
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
    "StreamIapwsLiquid",
    "StreamVl",
    "StreamVlT",
    "StreamVlTx",
    "StreamLlTx",
    "StreamTabularLiquidLiquid",
    "StreamTabularLiquidVapor",
    "StreamNrtl1LiquidLiquid",
    "StreamNrtl2LiquidLiquid",
    "StreamIdealLiquidVapor",
    "StreamNrtl1LiquidVapor",
    "StreamNrtl2LiquidVapor",
    "StreamUnifacLiquidVapor",
    "StreamKwongRedlichSoaveLiquidVapor",
    "StreamPengRobinsonLiquidVapor",
    "StreamPcsaftLiquidVapor",
    "StreamGerg2004LiquidVapor",
    "StreamOneSolid",
    "StreamIdealSolidVapor",
    "StreamIdealLiquidSolid",
    "StreamKwongRedlichSoaveSolidVapor",
    "StreamNrtl1LiquidSolid",
    "StreamNrtl2LiquidSolid",
    "StreamSolidVlT",
    "StreamSolidVlTx",
    "StreamIdealLiquidSolidVapor",
    "StreamKwongRedlichSoaveLiquidSolidVapor",
    "StreamNrtl1LiquidSolidVapor",
    "StreamNrtl2LiquidSolidVapor",
    "StreamIapwsLiquidVapor"};

// The string options each base type leaves open (aliases preset them all).
std::size_t openOptions(const std::string &name) {
  if (name == "StreamOne" || name == "StreamOneSolid")
    return 1;
  if (name == "StreamVl" || name == "StreamVlT" || name == "StreamVlTx" || name == "StreamLlTx" ||
      name == "StreamSolidVlT" || name == "StreamSolidVlTx")
    return 2;
  return 0;
}

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
      EXPECT_EQ(d.stringOptions.size(), openOptions(d.name)) << d.name;
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

TEST_F(StreamTypes, EveryAliasCreatesARegisteredBaseTypeWithItsPhasesSet) {
  registerStreamTypes();
  NodeFactory factory;
  // PC-SAFT and GERG-2004 phases need parameters or their own component
  // list; their streams are created in their own tests.
  const auto needsOwnSetUp = [](const std::string &name) {
    return name.find("Pcsaft") != std::string::npos || name.find("Gerg2004") != std::string::npos;
  };
  for (auto alias = streamListing.begin(); alias != streamListing.end(); ++alias) {
    if (needsOwnSetUp(*alias))
      continue;
    SCOPED_TRACE(*alias);
    std::unique_ptr<Node> node;
    try {
      node = factory.create(*alias, Defaults("S1"), 0, nullptr, nullptr, nullptr);
    } catch (const ErrorObjectFactory &) {
      // Only a base type with open phase options fails without them.
      EXPECT_GT(openOptions(*alias), 0u);
      continue;
    }
    auto &object = dynamic_cast<Object &>(*node);
    if (object.type() == *alias)
      continue; // a base type
    // The base is registered before its aliases and is what gets stored.
    EXPECT_NE(std::find(streamListing.begin(), alias, object.type()), alias) << object.type();
    if (object.type() == "StreamOne" || object.type() == "StreamOneSolid") {
      EXPECT_NE(object.S("embeddedTypePhase"), "");
    } else {
      EXPECT_NE(object.S("embeddedTypePhase[0]"), "");
      EXPECT_NE(object.S("embeddedTypePhase[1]"), "");
    }
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
