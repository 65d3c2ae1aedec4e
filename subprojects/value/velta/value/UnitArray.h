#pragma once
// The unit of a physical value held as the exponents of the nine base
// dimensions, in the fixed order amount (kmol), angle (rad), current (A),
// length (m), luminous intensity (cd), mass (kg), temperature (K), time (s)
// and money (euro). All zero is dimensionless; a first exponent of
// 2147483647 marks a set without valid units.

#include "velta/utility/Assert.h"

#include <cstdint>
#include <iosfwd>
#include <string>

constexpr int ndimensions = 9;

// Exponent value that marks invalid units (the largest 32-bit integer).
constexpr std::int32_t invalidUnitExponent = 2147483647;

// Symbols of the SI base units, in index order; written by the unit text.
// Constant-initialised, so usable by any start-up initialiser.
inline constexpr const char *baseUnitSymbols[ndimensions] = {
    "kmol", "rad", "A", "m", "cd", "kg", "K", "s", "\xE2\x82\xAC" /* euro sign, UTF-8 */};

class UnitArray {
public:
  constexpr UnitArray(const UnitArray &other) = default;
  constexpr UnitArray &operator=(const UnitArray &other) = default;

  // Nine times the same exponent: 0 is dimensionless, invalidUnitExponent invalid.
  constexpr explicit UnitArray(std::int32_t value)
      : exponents_{value, value, value, value, value, value, value, value, value} {}

  constexpr UnitArray(std::int32_t amount, std::int32_t angle, std::int32_t current,
                      std::int32_t length, std::int32_t luminousIntensity, std::int32_t mass,
                      std::int32_t temperature, std::int32_t time, std::int32_t money)
      : exponents_{amount, angle, current, length, luminousIntensity, mass, temperature, time,
                   money} {}

  constexpr bool operator==(const UnitArray &other) const {
    for (int i = 0; i < ndimensions; ++i)
      if (exponents_[i] != other.exponents_[i])
        return false;
    return true;
  }

  constexpr bool allEqual(std::int32_t value) const {
    for (int i = 0; i < ndimensions; ++i)
      if (exponents_[i] != value)
        return false;
    return true;
  }

  // Invalid units are recognised by the first exponent alone.
  constexpr bool isInvalid() const { return exponents_[0] == invalidUnitExponent; }

  std::int32_t operator[](int i) const {
    VELTA_ASSERT_AS(i >= 0, "i >= 0", "subprojects/value/src/UnitArray", 66);
    VELTA_ASSERT_AS(i < ndimensions, "i < ndimensions", "subprojects/value/src/UnitArray", 67);
    return exponents_[i];
  }

  std::int32_t &operator[](int i) {
    VELTA_ASSERT_AS(i >= 0, "i >= 0", "subprojects/value/src/UnitArray", 72);
    VELTA_ASSERT_AS(i < ndimensions, "i < ndimensions", "subprojects/value/src/UnitArray", 73);
    return exponents_[i];
  }

  // Element-wise sum / difference (product / quotient of values). A set with
  // invalid units on either side gives invalid units.
  UnitArray &operator+=(const UnitArray &other);
  UnitArray &operator-=(const UnitArray &other);

  // Divides every exponent by n, truncating toward zero (roots of values);
  // invalid units stay invalid.
  UnitArray &operator/=(int n);

  // Replaces the content of text with the unit text of this set, e.g.
  // "m^-3 kg" for a density, "" when dimensionless, "[invalid unit]".
  void print(std::string &text) const;

  // The unit text in one process-wide string, overwritten by every call:
  // copy the result before asking for a second text.
  const std::string &toString() const;

private:
  std::int32_t exponents_[ndimensions];
};

std::ostream &operator<<(std::ostream &stream, const UnitArray &units);
