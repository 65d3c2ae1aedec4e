#include "velta/utility/Json.h"

#include "JsonParse.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

TEST(Json, EscapesOnlyWhatJsonRequires) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"", ""},
      {"phase type", "phase type"},
      {"Newton's method, <a> [b] {c} / 100%", "Newton's method, <a> [b] {c} / 100%"},
      {"say \"hi\"", "say \\\"hi\\\""},
      {"C:\\temp", "C:\\\\temp"},
      {"a\nb\rc\td\be\ff", "a\\nb\\rc\\td\\be\\ff"},
      {std::string("\x01\x1f", 2), "\\u0001\\u001f"},
      {std::string("nul\0x", 5), "nul\\u0000x"},
      {"\x7f", "\x7f"},
      {"Ä°€", "Ä°€"},
  };
  for (const auto &[text, expected] : cases) {
    EXPECT_EQ(Velta::Utility::jsonEscape(text), expected) << text;
    EXPECT_EQ(Velta::Utility::jsonQuote(text), "\"" + expected + "\"");
  }
}

TEST(Json, EveryByteSurvivesAParse) {
  std::string text;
  for (int c = 1; c < 128; ++c)
    text += static_cast<char>(c);
  text += "Ä°€😀";
  const Json::Value value = parseJson("{\"t\":" + Velta::Utility::jsonQuote(text) + "}");
  EXPECT_EQ(value["t"].asString(), text);
}

} // namespace
