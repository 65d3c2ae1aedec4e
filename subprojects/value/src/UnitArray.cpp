#include "velta/value/UnitArray.h"

#include <charconv>
#include <ostream>

namespace {

// Sum and difference with wrap-around, so that no exponent set, however odd,
// can trigger signed overflow.
std::int32_t wrappingAdd(std::int32_t a, std::int32_t b) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(a) + static_cast<std::uint32_t>(b));
}

std::int32_t wrappingSubtract(std::int32_t a, std::int32_t b) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(a) - static_cast<std::uint32_t>(b));
}

} // namespace

UnitArray &UnitArray::operator+=(const UnitArray &other) {
  if (isInvalid() || other.isInvalid())
    return *this = UnitArray(invalidUnitExponent);
  for (int i = 0; i < ndimensions; ++i)
    exponents_[i] = wrappingAdd(exponents_[i], other.exponents_[i]);
  return *this;
}

UnitArray &UnitArray::operator-=(const UnitArray &other) {
  if (isInvalid() || other.isInvalid())
    return *this = UnitArray(invalidUnitExponent);
  for (int i = 0; i < ndimensions; ++i)
    exponents_[i] = wrappingSubtract(exponents_[i], other.exponents_[i]);
  return *this;
}

UnitArray &UnitArray::operator/=(int n) {
  VELTA_ASSERT(n != 0);
  if (isInvalid())
    return *this;
  for (int i = 0; i < ndimensions; ++i)
    exponents_[i] = static_cast<std::int32_t>(static_cast<std::int64_t>(exponents_[i]) / n);
  return *this;
}

void UnitArray::print(std::string &text) const {
  text.clear();
  if (isInvalid()) {
    text = "[invalid unit]";
    return;
  }
  for (int i = 0; i < ndimensions; ++i) {
    const std::int32_t exponent = exponents_[i];
    if (exponent == 0)
      continue;
    if (!text.empty())
      text += ' ';
    text += baseUnitSymbols[i];
    if (exponent != 1) {
      // to_chars writes plain decimal independent of any locale.
      char digits[16];
      const auto result = std::to_chars(digits, digits + sizeof digits, exponent);
      text += '^';
      text.append(digits, result.ptr);
    }
  }
}

const std::string &UnitArray::toString() const {
  static std::string shared;
  print(shared);
  return shared;
}

std::ostream &operator<<(std::ostream &stream, const UnitArray &units) {
  std::string text;
  units.print(text);
  return stream << text;
}
