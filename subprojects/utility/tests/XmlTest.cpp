#include "velta/utility/Xml.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

TEST(Xml, EscapesMarkupAndControlCharactersOnly) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"", ""},
      {"Feed stream [1] {a}, 100% - x_y", "Feed stream [1] {a}, 100% - x_y"},
      {"A & B", "A &amp; B"},
      {"a<b>c", "a&lt;b&gt;c"},
      {"say \"hi\" it's", "say &quot;hi&quot; it&apos;s"},
      {"&amp;", "&amp;amp;"},
      {"a\tb\nc\rd", "a&#9;b&#10;c&#13;d"},
      {std::string("x\x01y", 3), "x\xEF\xBF\xBDy"},
      {"\xC3\xA9t\xC3\xA9", "\xC3\xA9t\xC3\xA9"},
  };
  for (const auto &[text, expected] : cases)
    EXPECT_EQ(Velta::Utility::xmlEscape(text), expected) << text;

  std::string out = "<p>";
  Velta::Utility::appendXmlEscaped(out, "1 < 2");
  EXPECT_EQ(out, "<p>1 &lt; 2");
}
