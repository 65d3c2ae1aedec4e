#include "velta/utility/CharacterRules.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct RuleCase {
  std::string text;
  bool description;
  bool tag;
  bool strictTag;
};

TEST(CharacterRules, RuleTable) {
  const std::vector<RuleCase> cases = {
      {"", true, true, true},
      {"S01", true, true, true},
      {"1S", false, false, false},
      {"A.B", true, true, false},
      {"A:B", true, true, false},
      {"\xc3\x84-x", true, true, true},   // Ä-x
      {"A\xc2\xb0", false, false, false}, // A°
      {"a{b}", true, true, true},
      {"a/b", false, false, false},
      {"a(b)", false, false, false},
      {"a b,c-d<e>[f]_g{h}", true, true, true},
      {"_a", false, false, false},
      {" a", false, false, false},
      {"x\xe2\x82\xac", false, false, false},         // x€
      {"\xe6\x97\xa5\xe6\x9c\xac", true, true, true}, // CJK letters
      {"\xce\xb1\xce\xb2", true, true, true},         // Greek letters
      {"A\tB", false, false, false},
      {"A\"B", false, false, false},
      {std::string("A\0/", 3), true, true, true}, // the walk ends at the zero
  };
  for (const auto &c : cases) {
    EXPECT_EQ(checkDescription(c.text), c.description) << c.text;
    EXPECT_EQ(checkTag(c.text), c.tag) << c.text;
    EXPECT_EQ(checkTagStrict(c.text), c.strictTag) << c.text;
  }
}

TEST(CharacterRules, LetterRangeBoundaries) {
  const std::vector<std::pair<char32_t, bool>> cases = {
      {U'@', false},  {U'A', true},    {U'Z', true},     {U'[', false},   {U'`', false},
      {U'a', true},   {U'z', true},    {U'{', false},    {U'0', false},   {0xD7, false},
      {0xC0, true},   {0xF7, false},   {0x01F5, true},   {0x01F6, false}, {0x0E87, true},
      {0x0E88, true}, {0x0E89, false}, {0x4E00, true},   {0x9FA5, true},  {0x9FA6, false},
      {0xFFDC, true}, {0xFFDD, false}, {0x10000, false}, {0x0, false},
  };
  for (const auto &[codePoint, letter] : cases) {
    EXPECT_EQ(isLetter(codePoint), letter) << std::hex << static_cast<unsigned>(codePoint);
  }
}

TEST(CharacterRules, MalformedTextIsReportedAndRejected) {
  testing::internal::CaptureStderr();
  EXPECT_FALSE(checkDescription("Ab\xe2\x82"));
  EXPECT_FALSE(checkTagStrict("\xc0\x80"));
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "UtfConverter error: source sequence is illegal or malformed\n"
            "UtfConverter error: source sequence is illegal or malformed\n");
}

} // namespace
