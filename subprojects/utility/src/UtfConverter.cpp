#include "velta/utility/UtfConverter.h"

#include "velta/utility/Error.h"

#include <string>

namespace {

bool isContinuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

// Decodes one code point from [*pos, end). On success moves *pos past it and
// returns conversionOk; otherwise leaves *pos and returns the failure code.
// The first byte of a multi-byte sequence also fixes the allowed range of
// the second one, which excludes overlong forms, surrogates and values above
// U+10FFFF.
int decodeUtf8(const unsigned char *&pos, const unsigned char *end, char32_t &codePoint) {
  const unsigned char lead = *pos;
  if (lead < 0x80) {
    codePoint = lead;
    ++pos;
    return UtfConverter::conversionOk;
  }
  int trailing;
  unsigned char secondLow = 0x80, secondHigh = 0xBF;
  if (lead >= 0xC2 && lead <= 0xDF) {
    trailing = 1;
    codePoint = lead & 0x1F;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    trailing = 2;
    codePoint = lead & 0x0F;
    if (lead == 0xE0)
      secondLow = 0xA0;
    if (lead == 0xED)
      secondHigh = 0x9F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    trailing = 3;
    codePoint = lead & 0x07;
    if (lead == 0xF0)
      secondLow = 0x90;
    if (lead == 0xF4)
      secondHigh = 0x8F;
  } else {
    // 80-BF where a character should begin, C0, C1 and F5-FF.
    return UtfConverter::sourceIllegal;
  }
  const unsigned char *p = pos + 1;
  for (int i = 0; i < trailing; ++i, ++p) {
    if (p == end)
      return UtfConverter::sourceExhausted;
    const unsigned char byte = *p;
    if (i == 0 ? (byte < secondLow || byte > secondHigh) : !isContinuation(byte)) {
      return UtfConverter::sourceIllegal;
    }
    codePoint = (codePoint << 6) | (byte & 0x3F);
  }
  pos = p;
  return UtfConverter::conversionOk;
}

[[noreturn]] void throwConversionError(const char *function, int code) {
  throw ErrorRunTime(function, UtfConverter::resultText(code));
}

} // namespace

std::u16string UtfConverter::utf8ToWide(std::string_view utf8) {
  std::u16string wide;
  wide.reserve(utf8.size());
  auto pos = reinterpret_cast<const unsigned char *>(utf8.data());
  const auto end = pos + utf8.size();
  while (pos != end) {
    char32_t codePoint;
    const int code = decodeUtf8(pos, end, codePoint);
    if (code != conversionOk)
      throwConversionError("UtfConverter::utf8ToWide", code);
    if (codePoint < 0x10000) {
      wide += static_cast<char16_t>(codePoint);
    } else {
      codePoint -= 0x10000;
      wide += static_cast<char16_t>(0xD800 + (codePoint >> 10));
      wide += static_cast<char16_t>(0xDC00 + (codePoint & 0x3FF));
    }
  }
  return wide;
}

std::string UtfConverter::wideToUtf8(const char16_t *wide) {
  // A null text (e.g. a column fetched as NULL) converts to the empty string.
  if (wide == nullptr)
    return std::string();
  return wideToUtf8(std::u16string_view(wide));
}

std::string UtfConverter::wideToUtf8(std::u16string_view wide) {
  std::string utf8;
  utf8.reserve(wide.size());
  for (std::size_t i = 0; i < wide.size(); ++i) {
    char32_t codePoint = wide[i];
    if (codePoint >= 0xD800 && codePoint <= 0xDBFF) {
      if (i + 1 == wide.size())
        throwConversionError("UtfConverter::wideToUtf8", sourceExhausted);
      const char32_t low = wide[i + 1];
      if (low < 0xDC00 || low > 0xDFFF) {
        throwConversionError("UtfConverter::wideToUtf8", sourceIllegal);
      }
      codePoint = 0x10000 + ((codePoint - 0xD800) << 10) + (low - 0xDC00);
      ++i;
    } else if (codePoint >= 0xDC00 && codePoint <= 0xDFFF) {
      throwConversionError("UtfConverter::wideToUtf8", sourceIllegal);
    }
    if (codePoint < 0x80) {
      utf8 += static_cast<char>(codePoint);
    } else if (codePoint < 0x800) {
      utf8 += static_cast<char>(0xC0 | (codePoint >> 6));
      utf8 += static_cast<char>(0x80 | (codePoint & 0x3F));
    } else if (codePoint < 0x10000) {
      utf8 += static_cast<char>(0xE0 | (codePoint >> 12));
      utf8 += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
      utf8 += static_cast<char>(0x80 | (codePoint & 0x3F));
    } else {
      utf8 += static_cast<char>(0xF0 | (codePoint >> 18));
      utf8 += static_cast<char>(0x80 | ((codePoint >> 12) & 0x3F));
      utf8 += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
      utf8 += static_cast<char>(0x80 | (codePoint & 0x3F));
    }
  }
  return utf8;
}

char32_t UtfConverter::nextCodePoint(const char *&position) {
  auto pos = reinterpret_cast<const unsigned char *>(position);
  char32_t codePoint;
  // The terminating zero is no continuation byte, so a sequence cut short
  // by it is malformed; no byte after the zero is ever read.
  if (decodeUtf8(pos, nullptr, codePoint) != conversionOk) {
    throwConversionError("UtfConverter::nextCodePoint", sourceIllegal);
  }
  position = reinterpret_cast<const char *>(pos);
  return codePoint;
}

const char *UtfConverter::resultText(int code) {
  switch (code) {
  case conversionOk:
    return "conversion successful";
  case sourceExhausted:
    return "partial character in source, but hit end";
  case targetExhausted:
    return "insufficient room in target for conversion";
  case sourceIllegal:
    return "source sequence is illegal or malformed";
  default:
    return "unknown error";
  }
}
