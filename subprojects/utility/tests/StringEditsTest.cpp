#include "velta/utility/StringEdits.h"
#include "velta/utility/WaterSaturation.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TEST(StringEdits, ReplaceAngleBrackets) {
  EXPECT_EQ(replaceAngleBrackets("a<b>c<<"), "a(b)c((");
  EXPECT_EQ(replaceAngleBrackets(""), "");
}

struct ReplaceCase {
  std::string text, pattern, replacement;
  bool found;
  std::string result;
};

TEST(StringEdits, ReplaceFirst) {
  const std::vector<ReplaceCase> cases = {
      {"out3out", "out", "in", true, "in3out"}, {"port", "out", "in", false, "port"},
      {"ab", "abc", "x", false, "ab"},          {"ab", "", "x", true, "xab"},
      {"S[0]", "[", "(", true, "S(0]"},
  };
  for (auto c : cases) {
    EXPECT_EQ(replaceFirst(c.text, c.pattern, c.replacement), c.found);
    EXPECT_EQ(c.text, c.result);
  }
}

TEST(StringEdits, TrimSpacesRemovesOnlyBlanks) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"  amount flow ", "amount flow"}, {"   ", ""}, {"", ""}, {"\tx ", "\tx"}, {"x", "x"},
  };
  for (auto [text, expected] : cases) {
    trimSpaces(text);
    EXPECT_EQ(text, expected);
  }
}

TEST(StringEdits, IndexToLetter) {
  EXPECT_EQ(indexToLetter(0), "A");
  EXPECT_EQ(indexToLetter(16), "Q");
}

TEST(StringEditsDeathTest, IndexToLetterBeyondSixteenIsFatal) {
  EXPECT_DEATH(indexToLetter(17), "Assertion failed: value < \\('S' - 'A' - 1\\), file "
                                  "subprojects/utility/src/utility, line 74");
}

TEST(WaterSaturation, Temperature) {
  // 1 / (c0 + c1 L + c2 L^2 + c3 L^3) by hand with L = ln(101325) = 11.526080
  // gives 1 / 0.0026789 = 373.29 K (the correlation's value, 0.17 K above the
  // true boiling point).
  EXPECT_NEAR(waterSaturationTemperature(101325.0), 373.29, 0.01);
  EXPECT_NEAR(waterSaturationTemperature(2.2055e7), 648.68, 0.01);
  EXPECT_EQ(waterSaturationTemperature(2.2055e7 * (1 + 1e-12)), 647.096);
}

} // namespace
