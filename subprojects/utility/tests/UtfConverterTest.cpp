#include "velta/utility/UtfConverter.h"

#include "velta/utility/Error.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct RoundTrip {
  std::string utf8;
  std::u16string utf16;
};

TEST(UtfConverter, RoundTripsAtEncodingBoundaries) {
  const std::vector<RoundTrip> cases = {
      {"", u""},
      {"S01 tag", u"S01 tag"},
      {"\x7f", u"\x007f"},
      {"\xc2\x80", u"\x0080"},               // first two-byte code point
      {"\xc3\x84-x", u"\x00c4-x"},           // Ä
      {"\xdf\xbf", u"\x07ff"},               // last two-byte code point
      {"\xe0\xa0\x80", u"\x0800"},           // first three-byte code point
      {"\xe2\x82\xac", u"\x20ac"},           // €
      {"\xed\x9f\xbf", u"\xd7ff"},           // just below the surrogates
      {"\xee\x80\x80", u"\xe000"},           // just above the surrogates
      {"\xef\xbf\xbf", u"\xffff"},           // last three-byte code point
      {"\xf0\x90\x80\x80", u"\xd800\xdc00"}, // U+10000
      {"\xf0\x9f\x98\x80", u"\xd83d\xde00"}, // U+1F600
      {"\xf4\x8f\xbf\xbf", u"\xdbff\xdfff"}, // U+10FFFF
  };
  for (const auto &c : cases) {
    EXPECT_EQ(UtfConverter::utf8ToWide(c.utf8), c.utf16) << c.utf8;
    EXPECT_EQ(UtfConverter::wideToUtf8(c.utf16), c.utf8) << c.utf8;
    EXPECT_EQ(UtfConverter::wideToUtf8(c.utf16.c_str()), c.utf8) << c.utf8;
  }
}

TEST(UtfConverter, ZeroTerminatedWideTextEndsAtTheZero) {
  const char16_t buffer[] = {u'a', u'b', 0, u'c', 0};
  EXPECT_EQ(UtfConverter::wideToUtf8(buffer), "ab");
  EXPECT_EQ(UtfConverter::wideToUtf8(static_cast<const char16_t *>(nullptr)), "");
}

struct Malformed8 {
  std::string bytes;
  int code;
};

TEST(UtfConverter, MalformedUtf8ThrowsAnError) {
  const std::vector<Malformed8> cases = {
      {"\x80", UtfConverter::sourceIllegal},                 // continuation byte as start
      {"a\xbf", UtfConverter::sourceIllegal},                //
      {"\xc0\x80", UtfConverter::sourceIllegal},             // overlong NUL
      {"\xc1\xbf", UtfConverter::sourceIllegal},             // overlong
      {"\xe0\x9f\xbf", UtfConverter::sourceIllegal},         // overlong three-byte form
      {"\xf0\x8f\xbf\xbf", UtfConverter::sourceIllegal},     // overlong four-byte form
      {"\xed\xa0\x80", UtfConverter::sourceIllegal},         // encoded surrogate
      {"\xf4\x90\x80\x80", UtfConverter::sourceIllegal},     // above U+10FFFF
      {"\xf5\x80\x80\x80", UtfConverter::sourceIllegal},     //
      {"\xf8\x88\x80\x80\x80", UtfConverter::sourceIllegal}, // five-byte sequence
      {"\xff", UtfConverter::sourceIllegal},                 //
      {"\xe2\x28\xa1", UtfConverter::sourceIllegal},         // bad continuation
      {"\xc0\xaf", UtfConverter::sourceIllegal},             // overlong '/'
      {"\xe0\x80\xaf", UtfConverter::sourceIllegal},         // overlong '/', three bytes
      {"\xf0\x80\x80\xaf", UtfConverter::sourceIllegal},     // overlong '/', four bytes
      {"\xed\xbf\xbf", UtfConverter::sourceIllegal},         // encoded low surrogate
      {"\xf0\x9f\x28\x80", UtfConverter::sourceIllegal},     // bad third byte
      {"\xc2", UtfConverter::sourceExhausted},                 // lead byte alone
      {"\xe2\x82", UtfConverter::sourceExhausted},           // cut at the end
      {"ok\xf0\x9f\x98", UtfConverter::sourceExhausted},     //
  };
  for (const auto &c : cases) {
    try {
      UtfConverter::utf8ToWide(c.bytes);
      ADD_FAILURE() << "no error for case " << &c - cases.data();
    } catch (const ErrorRunTime &error) {
      EXPECT_EQ(error.message(), std::string("Error was thrown by function: "
                                             "UtfConverter::utf8ToWide\n"
                                             "Generic Run-Time error: ") +
                                     UtfConverter::resultText(c.code) + "\n");
    }
  }
}

TEST(UtfConverter, MalformedUtf16ThrowsAnError) {
  const std::vector<std::pair<std::u16string, int>> cases = {
      {u"\xdc00", UtfConverter::sourceIllegal}, // lone low surrogate
      {u"a\xd800"
       u"b",
       UtfConverter::sourceIllegal},                  // high surrogate without low
      {u"\xd800\xd800", UtfConverter::sourceIllegal}, //
      {u"ab\xdbff", UtfConverter::sourceExhausted},   // high surrogate at the end
  };
  for (const auto &[units, code] : cases) {
    try {
      UtfConverter::wideToUtf8(units);
      ADD_FAILURE() << "no error";
    } catch (const Error &error) {
      EXPECT_NE(error.message().find(UtfConverter::resultText(code)), std::string::npos)
          << error.message();
    }
  }
}

TEST(UtfConverter, NextCodePointWalksOneCharacterAtATime) {
  const std::string text = "a\xc3\x84\xe2\x82\xac\xf0\x9f\x98\x80";
  const char *position = text.c_str();
  const std::vector<std::pair<char32_t, std::ptrdiff_t>> expected = {
      {U'a', 1}, {U'\u00c4', 3}, {U'\u20ac', 6}, {U'\U0001F600', 10}};
  for (const auto &[codePoint, offset] : expected) {
    EXPECT_EQ(UtfConverter::nextCodePoint(position), codePoint);
    EXPECT_EQ(position - text.c_str(), offset);
  }
}

TEST(UtfConverter, NextCodePointKeepsPositionOnMalformedInput) {
  // The second case is cut short by the terminating zero.
  // Cases cut short by the terminating zero: "\xe2\x82", "\xf0\x9f\x98", "\xc3".
  for (const std::string text : {"\xc0\x80", "\xe2\x82", "\xed\xa0\x80", "\xf0\x9f\x98", "\xc3",
                                 "\xf4\x90\x80\x80", "\xe0\x9f\xbf", "\x80"}) {
    const char *position = text.c_str();
    EXPECT_THROW(UtfConverter::nextCodePoint(position), ErrorRunTime);
    EXPECT_EQ(position, text.c_str());
  }
}

TEST(UtfConverter, ResultTexts) {
  EXPECT_STREQ(UtfConverter::resultText(0), "conversion successful");
  EXPECT_STREQ(UtfConverter::resultText(1), "partial character in source, but hit end");
  EXPECT_STREQ(UtfConverter::resultText(2), "insufficient room in target for conversion");
  EXPECT_STREQ(UtfConverter::resultText(3), "source sequence is illegal or malformed");
  EXPECT_STREQ(UtfConverter::resultText(4), "unknown error");
  EXPECT_STREQ(UtfConverter::resultText(-1), "unknown error");
}

} // namespace
