// The registered unit-operation types: listing order, icons, the separator
// aliases and their presets.

#include "UnitTestSupport.h"

#include "velta/units/FlashDrumSeparator.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace unittest;

namespace {

struct ListedUnit {
  const char *name;
  const char *category;
  const char *icon;
  double width, height;
  std::size_t integerOptions;
  std::size_t stringOptions = 0;
};

// The unit entries of the types listing, in registration order (the unit
// types still to come take their places between these).
const ListedUnit unitListing[] = {
    {"Divider", "unit", "Divider", 73, 83.46875, 0},
    {"Mixer", "unit", "Mixer", 73, 83.4375, 0},
    {"Separator", "unit", "Separator", 60, 99.985695, 1},
    {"Separator<2>", "unit", "Separator", 100, 100, 0},
    {"Separator<3>", "unit", "Separator", 100, 100, 0},
    {"FlashDrum", "unit", "FlashDrum", 60, 99.985695, 0},
    {"Degasser", "unit", "FlashDrum", 60, 99.985695, 0},
    {"Splitter", "unit", "Divider", 73, 83.46875, 0},
    {"FlashSplitter", "unit", "FlashDrum", 60, 99.985695, 0, 1},
    {"FlashSplitter<StreamIdealLiquidSolid>", "unit", "FlashDrum", 100, 100, 0},
    {"FlashSplitter<StreamIdealLiquidSolidVapor>", "unit", "FlashDrum", 100, 100, 0},
    {"HtuNtu", "unit", "Column", 60, 199.875, 0},
    {"Multiplier", "unit", "Multiplier", 73, 83.46875, 0},
    {"Exchanger", "unit", "Exchanger", 80, 80, 0},
    {"Compressor", "unit", "Compressor", 62, 81.499969, 0},
    {"MultiExchanger", "unit", "Exchanger", 80, 80, 0},
    {"FlashDegasser", "unit", "FlashDrum", 60, 99.985695, 0, 1},
    {"FlashDegasser<StreamIdealLiquidVapor>", "unit", "FlashDrum", 100, 100, 0},
    {"FlashDegasser<StreamIdealSolidVapor>", "unit", "FlashDrum", 100, 100, 0},
    {"FlashDegasser<StreamNrtl1LiquidVapor>", "unit", "FlashDrum", 100, 100, 0},
    {"FlashDegasser<StreamNrtl2LiquidVapor>", "unit", "FlashDrum", 100, 100, 0},
    {"FlashDegasser<StreamUnifacLiquidVapor>", "unit", "FlashDrum", 100, 100, 0},
    {"FlashDegasser<StreamIdealLiquidSolidVapor>", "unit", "FlashDrum", 100, 100, 0},
    {"FlashDegasser<StreamNrtl1LiquidSolidVapor>", "unit", "FlashDrum", 100, 100, 0},
    {"FlashDegasser<StreamNrtl2LiquidSolidVapor>", "unit", "FlashDrum", 100, 100, 0},
    {"FlashDegasser<StreamKwongRedlichSoaveLiquidSolidVapor>", "unit", "FlashDrum", 100, 100, 0},
    {"FlashDegasser<StreamKwongRedlichSoaveLiquidVapor>", "unit", "FlashDrum", 100, 100, 0},
    {"HeatTransfer", "unit", "Exchanger", 80, 80, 0},
    {"RatingHeatShellAndTubeThermosiphon", "option", "option", 100, 100, 0},
    {"RatingHeatShellAndTubeHeater", "option", "option", 100, 100, 0},
    {"RatingHeatShellAndTubeFallingFilmReboiler", "option", "option", 100, 100, 0},
    {"RatingHeatShellAndTubeRecovery", "option", "option", 100, 100, 0},
    {"Pipe", "unit", "Pipe", 99.995331, 30.000134, 0},
    {"Pump", "unit", "Pump", 80, 85, 0},
    {"Selector", "unit", "Selector", 73, 83.46875, 0},
    {"MultiReaction<2>", "option", "option", 100, 100, 0},
    {"MultiReactionTransfer", "option", "option", 100, 100, 0},
};

TEST(UnitTypeListing, ListsTheUnitTypesInRegistrationOrder) {
  registerUnitTypes();
  NodeFactory factory;
  std::vector<std::string> listed;
  for (const TypeDescriptor &d : factory.descriptors())
    if (d.category == "unit" || d.name.rfind("MultiReaction", 0) == 0 ||
        d.name.rfind("RatingHeatShellAndTube", 0) == 0)
      listed.push_back(d.name);
  std::vector<std::string> expected;
  for (const ListedUnit &row : unitListing) {
    expected.push_back(row.name);
    const TypeDescriptor &d = factory.typeDescriptor(row.name);
    EXPECT_EQ(d.category, row.category) << row.name;
    EXPECT_FALSE(d.instantiable) << row.name;
    EXPECT_EQ(d.icon, row.icon) << row.name;
    EXPECT_EQ(d.integerOptions.size(), row.integerOptions) << row.name;
    EXPECT_EQ(d.stringOptions.size(), row.stringOptions) << row.name;
    EXPECT_EQ(factory.icon(row.name).width(), row.width) << row.name;
    EXPECT_EQ(factory.icon(row.name).height(), row.height) << row.name;
  }
  EXPECT_EQ(listed, expected);
  const std::size_t before = factory.descriptors().size();
  Velta::Units::registerUnitTypes();
  EXPECT_EQ(factory.descriptors().size(), before);
  EXPECT_EQ(Velta::Units::streamEnumerator().name(), "streamEnum");
}

class UnitTypes : public ComponentsFixture {
protected:
  void SetUp() override { use(lightAndHeavy()); }
};

TEST_F(UnitTypes, SeparatorAliasesPresetTheOutletsAndTheCallersValueWins) {
  const struct {
    const char *name;
    Defaults options;
    int outlets;
  } rows[] = {
      {"Separator<3>", Defaults("U1"), 3},
      {"Separator<3>", Defaults("U1").setInteger("nOutlets", 4), 4},
      {"Separator<2>", Defaults("U1"), 2},
  };
  for (const auto &row : rows) {
    registerUnitTypes();
    auto node = NodeFactory().create(row.name, row.options, 0, nullptr, nullptr, nullptr);
    auto &separator = dynamic_cast<Separator &>(*node);
    EXPECT_EQ(separator.type(), "Separator") << row.name;
    EXPECT_EQ(separator.nOutlets.value(), row.outlets) << row.name;
  }
}

// An alias presets the internal stream of the flash units; the caller's
// value wins, and the created object reports the base type.
TEST_F(UnitTypes, FlashAliasesPresetTheInternalStream) {
  NodeFactory factory;
  registerUnitTypes();
  const StringOption &listed = factory.typeDescriptor("FlashDegasser").stringOptions.at(0);
  EXPECT_EQ(listed.name, "embeddedTypeStream");
  EXPECT_EQ(listed.value, "StreamIdealLiquidVapor");
  EXPECT_EQ(listed.enumerator, "streamEnum");
  EXPECT_EQ(factory.typeDescriptor("FlashSplitter").stringOptions.at(0).value,
            "StreamIdealLiquidSolid");
  const struct {
    const char *name;
    Defaults options;
    const char *stream;
  } rows[] = {
      {"FlashDegasser<StreamNrtl1LiquidVapor>", Defaults("U1"), "StreamNrtl1LiquidVapor"},
      {"FlashDegasser<StreamIdealSolidVapor>",
       Defaults("U1").setString("embeddedTypeStream", "StreamIdealLiquidVapor"),
       "StreamIdealLiquidVapor"},
      {"FlashSplitter<StreamIdealLiquidSolidVapor>", Defaults("U1"), "StreamIdealLiquidSolidVapor"},
  };
  for (const auto &row : rows) {
    auto node = factory.create(row.name, row.options, 0, nullptr, nullptr, nullptr);
    auto &unit = dynamic_cast<FlashDrumSeparator &>(*node);
    EXPECT_EQ(unit.embeddedTypeStream.value(), row.stream) << row.name;
    EXPECT_EQ(unit.type(), std::string(row.name).substr(0, std::string(row.name).find('<')));
    EXPECT_EQ(factory.icon(unit.type()).width(), 60);
  }
}

} // namespace
