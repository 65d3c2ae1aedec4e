#pragma once
// A fixed UTF-16 parameter buffer for a text column of at most N characters:
// N + 1 units, always zero-terminated, so that binding needs no length
// indicator and refilling it allocates nothing per row beyond the conversion.

#include "velta/persistency/ErrorOdbc.h"
#include "velta/utility/UtfConverter.h"

#include <algorithm>
#include <array>
#include <string>
#include <string_view>

template <int N> class OdbcText {
public:
  static constexpr int columnSize = N;

  // Converts UTF-8 text (throws on malformed input, before anything is
  // changed) and keeps its first N UTF-16 units, or N - 1 where the N-th
  // unit would be the first half of a surrogate pair: half a character
  // is not text, and one database stores it as invalid bytes, another as a
  // different character. A text holding a NUL character is refused: the
  // column would end it there.
  void assign(std::string_view utf8) { assignUnits(units(utf8)); }

  // The units that assign keeps of a UTF-8 text (same checks), for rows
  // that are kept before they are bound.
  static std::u16string units(std::string_view utf8) {
    if (utf8.find('\0') != std::string_view::npos)
      throw ErrorOdbc("OdbcText::assign",
                      "Text with an embedded NUL character cannot be stored: \"" +
                          std::string(utf8.substr(0, utf8.find('\0'))) + "\\0...\"");
    std::u16string wide = UtfConverter::utf8ToWide(utf8);
    std::size_t kept = std::min<std::size_t>(wide.size(), N);
    if (kept < wide.size() && kept > 0 && isHighSurrogate(wide[kept - 1]))
      --kept;
    wide.resize(kept);
    return wide;
  }
  // Units that units() gave.
  void assignUnits(std::u16string_view kept) {
    kept = kept.substr(0, N);
    std::copy_n(kept.data(), kept.size(), units_.data());
    units_[kept.size()] = 0;
  }

  char16_t *data() { return units_.data(); }
  const char16_t *data() const { return units_.data(); }

private:
  static bool isHighSurrogate(char16_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }

  std::array<char16_t, N + 1> units_{};
};

// Column sizes of the schema.
using OdbcUuidText = OdbcText<36>;
using OdbcTagText = OdbcText<50>;
using OdbcLongText = OdbcText<255>;
