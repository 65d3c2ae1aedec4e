#pragma once
// A fixed UTF-16 parameter buffer for a text column of at most N characters:
// N + 1 units, always zero-terminated, so that binding needs no length
// indicator and refilling it allocates nothing per row beyond the conversion.

#include "velta/utility/UtfConverter.h"

#include <algorithm>
#include <array>
#include <string_view>

template <int N> class OdbcText {
public:
  static constexpr int columnSize = N;

  // Converts UTF-8 text (throws on malformed input, before anything is
  // changed) and keeps its first N UTF-16 units.
  void assign(std::string_view utf8) {
    const std::u16string wide = UtfConverter::utf8ToWide(utf8);
    const std::size_t units = std::min<std::size_t>(wide.size(), N);
    std::copy_n(wide.data(), units, units_.data());
    units_[units] = 0;
  }

  char16_t *data() { return units_.data(); }
  const char16_t *data() const { return units_.data(); }

private:
  std::array<char16_t, N + 1> units_{};
};

// Column sizes of the schema.
using OdbcUuidText = OdbcText<36>;
using OdbcTagText = OdbcText<50>;
using OdbcLongText = OdbcText<255>;
