#include "velta/utility/Enumerator.h"
#include "velta/utility/SharedEnumerations.h"

#include "JsonParse.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

using namespace Velta::Utility;

namespace {

TEST(SharedEnumerations, NameToValue) {
  const std::vector<std::tuple<std::function<int(std::string_view)>, std::string, int>> cases = {
      {flashModeIndex, "PT", 1},      {flashModeIndex, "SA", 7},
      {flashModeIndex, "pt", 8},      {flashModeIndex, "XY", 8},
      {flashModeIndex, "", 8},        {phaseTypeIndex, "solid", 3},
      {phaseTypeIndex, "liquid1", 4}, {massBalanceModeIndex, "Mw", 4},
      {massBalanceModeIndex, "M", 6}, {massBalanceModeIndex, "Nx ", 7},
  };
  for (const auto &[index, name, value] : cases)
    EXPECT_EQ(index(name), value) << name;
}

using NameOfValue = const std::string &(*)(int);

TEST(SharedEnumerations, ValueToNameWithNullOutside) {
  const std::vector<std::tuple<NameOfValue, int, std::string>> cases = {
      {phaseIndexName, 13, "solid9"},
      {phaseIndexName, 14, "Null"},
      {phaseIndexName, 0, "Null"},
      {phaseIndexName, 2, "liquid1"},
      {flashModeName, 7, "SA"},
      {flashModeName, -3, "Null"},
      {scalingModeName, 5, "arctangentExclusive"},
      {scalingModeName, 9, "Null"},
      {massBalanceModeName, 6, "M"},
      {phaseTypeName, 2, "liquid"},
      {phaseTypeName, 4, "Null"},
  };
  for (const auto &[name, value, expected] : cases)
    EXPECT_EQ(name(value), expected) << value;

  EXPECT_EQ(categoryEntry(5).name, "option");
  EXPECT_EQ(categoryEntry(5).description,
            "derived from Reaction, MultiReaction, HeatRating or RatingColumn");
  EXPECT_EQ(categoryEntry(-1).name, "Null");
  EXPECT_EQ(categoryEntry(-1).description, "Undefined");
  EXPECT_EQ(flashModes().entry(7).description, flashModes().entry(2).description);
}

TEST(SharedEnumerations, EnumValuesMatchTablePositions) {
  struct Case {
    const SharedEnumeration &table;
    std::int64_t size;
    std::string lastName;
    int lastValue;
  };
  const std::vector<Case> cases = {
      {scalingModes(), 8, "log", static_cast<int>(ScalingMode::log)},
      {cutsSolutions(), 3, "wegstein", static_cast<int>(CutsSolution::wegstein)},
      {massBalanceModes(), 6, "M", static_cast<int>(MassBalanceMode::M)},
      {flashModes(), 7, "SA", static_cast<int>(FlashMode::SA)},
      {directions(), 4, "right", static_cast<int>(Direction::right)},
      {phaseTypes(), 3, "solid", static_cast<int>(PhaseType::solid)},
      {phaseIndexes(), 13, "solid9", static_cast<int>(PhaseIndex::solid9)},
      {categories(), 5, "option", static_cast<int>(Category::option)},
  };
  for (const auto &c : cases) {
    EXPECT_EQ(c.table.size(), c.size) << c.table.name();
    EXPECT_EQ(c.table.indexOf(c.lastName), c.lastValue) << c.table.name();
    EXPECT_EQ(c.table.entry(c.lastValue).name, c.lastName);
  }
  EXPECT_EQ(scalingModeName(ScalingMode::power), "power");
  EXPECT_EQ(flashModeName(FlashMode::PA), "PA");
  EXPECT_EQ(categoryEntry(Category::stream).description, "derived from VertexBase");
  EXPECT_EQ(static_cast<int>(PhaseIndex::liquid1), 2);
  EXPECT_EQ(static_cast<int>(Category::phase), 1);
}

TEST(SharedEnumerations, AdvanceIndex) {
  PhaseIndex index = PhaseIndex::liquid1;
  advanceIndex(index, 2);
  EXPECT_EQ(index, PhaseIndex::liquid3);
  int value = static_cast<int>(PhaseIndex::solid1);
  advanceIndex(value, 8);
  EXPECT_EQ(phaseIndexName(value), "solid9");
}

TEST(SharedEnumerations, TableListsItselfAsJson) {
  const Json::Value json = parseJson(flashModes().toJson());
  EXPECT_EQ(json["name"].asString(), "FlashMode");
  EXPECT_EQ(json["description"].asString(), "stream flash specification mode");
  ASSERT_EQ(json["options"].size(), 7u);
  EXPECT_EQ(json["options"][3]["name"].asString(), "RH");
  EXPECT_EQ(json["options"][3]["description"].asString(), "Density-enthalpy computation");
}

TEST(Enumerator, GoldenJson) {
  Velta::Core::Enumerator phaseTypeEnum("phaseTypeEnum", "phase type");
  phaseTypeEnum.addOption({"vapor", "Vapor"});
  const std::string json = phaseTypeEnum.toJson();
  EXPECT_EQ(json, "{\"name\":\"phaseTypeEnum\",\"description\":\"phase type\",\"options\":["
                  "{\"name\":\"vapor\",\"description\":\"Vapor\"}]}");
  const Json::Value parsed = parseJson(json);
  EXPECT_EQ(parsed["name"].asString(), "phaseTypeEnum");
  EXPECT_EQ(parsed["options"][0]["description"].asString(), "Vapor");

  const std::unique_ptr<EnumeratorInterface> empty =
      std::make_unique<Velta::Core::Enumerator>("e", "");
  EXPECT_EQ(empty->size(), 0);
  EXPECT_EQ(empty->toJson(), "{\"name\":\"e\",\"description\":\"\",\"options\":[]}");
}

TEST(Enumerator, DuplicatesAreKeptAndTextsEscaped) {
  Velta::Core::Enumerator enumerator("streamEnum", "the \"stream\" types\\kinds");
  enumerator.addOption({"a", "first\nline"});
  enumerator.addOption({"a", "first\nline"});
  EXPECT_EQ(enumerator.size(), 2);
  const std::string json = enumerator.toJson();
  EXPECT_EQ(json, "{\"name\":\"streamEnum\",\"description\":\"the \\\"stream\\\" types\\\\kinds\","
                  "\"options\":[{\"name\":\"a\",\"description\":\"first\\nline\"},"
                  "{\"name\":\"a\",\"description\":\"first\\nline\"}]}");
  const Json::Value parsed = parseJson(json);
  EXPECT_EQ(parsed["description"].asString(), "the \"stream\" types\\kinds");
  EXPECT_EQ(parsed["options"][1]["description"].asString(), "first\nline");
}

} // namespace
