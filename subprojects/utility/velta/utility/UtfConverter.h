#pragma once
// Strict conversion between UTF-8 (every string held in the system) and
// UTF-16 (the database interface): no overlong forms, no encoded surrogates,
// nothing above U+10FFFF, no unpaired surrogates. A conversion succeeds
// completely or throws; there is no replacement character.

#include <string>
#include <string_view>

class UtfConverter {
public:
  // Result codes of a conversion.
  enum Result : int {
    conversionOk = 0,
    sourceExhausted = 1, // the input ends inside a character
    targetExhausted = 2, // the output area is full
    sourceIllegal = 3,   // malformed input
  };

  // UTF-8 to UTF-16, exactly as long as the converted text (c_str() gives
  // the zero-terminated form).
  // Throws ErrorRunTime naming the result text on malformed or cut input.
  static std::u16string utf8ToWide(std::string_view utf8);

  // UTF-16 to UTF-8: zero-terminated text (null gives ""), or the whole of a
  // string view.
  // Throws ErrorRunTime naming the result text on malformed or cut input.
  static std::string wideToUtf8(const char16_t *wide);
  static std::string wideToUtf8(std::u16string_view wide);

  // Decodes the code point that starts at position inside zero-terminated
  // UTF-8 text and moves position past it; only the bytes of that code point
  // are read. On a malformed sequence (also one cut short by the terminating
  // zero) position stays and ErrorRunTime with the text of sourceIllegal is
  // thrown.
  static char32_t nextCodePoint(const char *&position);

  // The text of a result code ("unknown error" for codes outside the table).
  static const char *resultText(int code);
};
