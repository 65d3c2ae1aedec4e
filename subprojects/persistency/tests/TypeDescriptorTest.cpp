#include "velta/persistency/Icon.h"
#include "velta/persistency/TypeDescriptor.h"

#include <json/json.h>

#include <gtest/gtest.h>

#include <limits>
#include <memory>

namespace {

Json::Value parse(const std::string &text) {
  Json::CharReaderBuilder builder;
  std::unique_ptr<Json::CharReader> reader(builder.newCharReader());
  Json::Value root;
  std::string errors;
  EXPECT_TRUE(reader->parse(text.data(), text.data() + text.size(), &root, &errors))
      << errors << " in " << text;
  return root;
}

TypeDescriptor flashDrum(std::string description = "Flash drum") {
  return TypeDescriptor("FlashDrum", std::move(description), "unit", true,
                        {IntegerOption("nOutlets", "The number of outlets", 2, 2, 2147483647)},
                        {}, {}, "FlashDrum");
}

TEST(TypeDescriptor, GoldenRecordParsesBack) {
  const std::string json = flashDrum().toJson();
  EXPECT_EQ(json, "{\"name\":\"FlashDrum\", \"description\":\"Flash drum\", "
                  "\"category\":\"unit\", \"icon\":\"FlashDrum.svg\", \"instantiable\":true, "
                  "\"integerOptions\":[{\"name\":\"nOutlets\",\"description\":\"The number of "
                  "outlets\",\"value\":2,\"min\":2,\"max\":2147483647}], \"stringOptions\":[], "
                  "\"quantities\":[] }");
  const Json::Value root = parse(json);
  EXPECT_EQ(root["name"].asString(), "FlashDrum");
  EXPECT_EQ(root["icon"].asString(), "FlashDrum.svg");
  EXPECT_TRUE(root["instantiable"].asBool());
  ASSERT_EQ(root["integerOptions"].size(), 1u);
  EXPECT_EQ(root["integerOptions"][0]["max"].asInt(), 2147483647);
  EXPECT_EQ(root["stringOptions"].size(), 0u);
}

TEST(TypeDescriptor, EmptyIconStemWritesTheCategory) {
  const TypeDescriptor type("PhaseSimple", "Simple phase", "phase", false, {},
                            {StringOption("typeP", "Phase type", "vapor", "PhaseType")},
                            {QuantityDescriptor("T", "Temperature", 298.15, "K")}, "");
  const std::string json = type.toJson();
  EXPECT_EQ(json, "{\"name\":\"PhaseSimple\", \"description\":\"Simple phase\", "
                  "\"category\":\"phase\", \"icon\":\"phase.svg\", \"instantiable\":false, "
                  "\"integerOptions\":[], \"stringOptions\":[{\"name\":\"typeP\","
                  "\"description\":\"Phase type\",\"value\":\"vapor\",\"enumerator\":"
                  "\"PhaseType\"}], \"quantities\":[{\"fulltag\":\"T\",\"description\":"
                  "\"Temperature\",\"value\":298.15,\"unit\":\"K\"}] }");
  EXPECT_EQ(parse(json)["quantities"][0]["value"].asDouble(), 298.15);
}

TEST(TypeDescriptor, QuantityValuesInGeneralFormat) {
  const struct {
    double value;
    const char *text;
  } cases[] = {{1e-5, "1e-05"},         {101325, "101325"},  {1e6, "1e+06"},
               {123456789, "1.23457e+08"}, {0.5, "0.5"},    {-2.5e-7, "-2.5e-07"},
               {std::numeric_limits<double>::infinity(), "null"}};
  for (const auto &c : cases) {
    const std::string json = QuantityDescriptor("x", "", c.value, "").toJson();
    EXPECT_EQ(json, std::string("{\"fulltag\":\"x\",\"description\":\"\",\"value\":") + c.text +
                        ",\"unit\":\"\"}");
    parse(json);
  }
}

TEST(TypeDescriptor, TextsAreEscaped) {
  // A quote, a backslash and a line feed must not break the listing.
  const std::string nasty = "Say \"hi\" \\ now\n\ttab";
  const std::string json = flashDrum(nasty).toJson();
  EXPECT_NE(json.find("Say \\\"hi\\\" \\\\ now\\n\\ttab"), std::string::npos);
  EXPECT_EQ(parse(json)["description"].asString(), nasty);
  EXPECT_EQ(parse(IntegerOption("n\"", nasty, 1, 0, 2).toJson())["name"].asString(), "n\"");
  EXPECT_EQ(parse(StringOption("s", "d", nasty, "E").toJson())["value"].asString(), nasty);
}

TEST(Icon, HoldsStemAndSize) {
  const Icon icon("FlashDrum", 100, 80);
  EXPECT_EQ(icon.stem(), "FlashDrum");
  EXPECT_EQ(icon.width(), 100);
  EXPECT_EQ(icon.height(), 80);
}

} // namespace
