#include "velta/value/ErrorUnit.h"
#include "velta/value/UnitArray.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace {

constexpr std::int32_t big = 2147483647;

struct TextCase {
  UnitArray units;
  const char *text;
};

TEST(UnitArray, UnitText) {
  // amount, angle, current, length, luminous intensity, mass, temperature, time, money
  const std::vector<TextCase> cases = {
      {UnitArray(0, 0, 0, -3, 0, 1, 0, 0, 0), "m^-3 kg"},
      {UnitArray(1, 0, 0, 0, 0, 0, 0, -1, 0), "kmol s^-1"},
      {UnitArray(-1, 0, 0, 2, 0, 1, -1, -2, 0), "kmol^-1 m^2 kg K^-1 s^-2"},
      {UnitArray(0, 0, 0, -2, 0, -1, 0, 2, 1), "m^-2 kg^-1 s^2 \xE2\x82\xAC"},
      {UnitArray(0, 1, 1, 0, 1, 0, 0, 0, 0), "rad A cd"},
      {UnitArray(0, 0, 0, 0, 0, 1, 0, 0, 0), "kg"},
      {UnitArray(0, 0, 0, 0, 0, -1, 0, 0, 0), "kg^-1"},
      {UnitArray(0, 0, 0, 0, 0, 0, 0, 0, 0), ""},
      {UnitArray(big), "[invalid unit]"},
      // Only the first exponent marks invalid units.
      {UnitArray(big, 1, 2, 3, 4, 5, 6, 7, 8), "[invalid unit]"},
      {UnitArray(1, 0, 0, big, 0, 0, 0, 0, 0), "kmol m^2147483647"},
      {UnitArray(0, 0, 0, 0, 0, 0, 0, -2147483647 - 1, 0), "s^-2147483648"},
  };
  for (const auto &c : cases) {
    std::string printed = "previous content";
    c.units.print(printed);
    EXPECT_EQ(printed, c.text);
    EXPECT_EQ(c.units.toString(), c.text);
    std::ostringstream stream;
    stream << c.units;
    EXPECT_EQ(stream.str(), c.text);
  }
}

TEST(UnitArray, ToStringSharesOneString) {
  const std::string &first = UnitArray(0, 0, 0, 1, 0, 0, 0, 0, 0).toString();
  const std::string &second = UnitArray(0, 0, 0, 0, 0, 1, 0, 0, 0).toString();
  EXPECT_EQ(&first, &second);
  EXPECT_EQ(first, "kg");
}

TEST(UnitArray, ComparisonAndAccess) {
  const UnitArray pressure(0, 0, 0, -1, 0, 1, 0, -2, 0);
  UnitArray copy(pressure);
  EXPECT_TRUE(copy == pressure);
  copy[8] = 1;
  EXPECT_FALSE(copy == pressure);
  EXPECT_TRUE(copy != pressure);
  EXPECT_EQ(copy[8], 1);
  EXPECT_EQ(pressure[3], -1);

  EXPECT_TRUE(UnitArray(0).allEqual(0));
  EXPECT_FALSE(pressure.allEqual(0));
  EXPECT_TRUE(UnitArray(big).allEqual(big));
  EXPECT_TRUE(UnitArray(big).isInvalid());
  EXPECT_FALSE(UnitArray(1, 0, 0, big, 0, 0, 0, 0, 0).isInvalid());
}

TEST(UnitArray, Arithmetic) {
  const UnitArray force(0, 0, 0, 1, 0, 1, 0, -2, 0);
  const UnitArray area(0, 0, 0, 2, 0, 0, 0, 0, 0);
  UnitArray pressure(force);
  EXPECT_EQ(&(pressure -= area), &pressure);
  EXPECT_EQ(pressure, UnitArray(0, 0, 0, -1, 0, 1, 0, -2, 0));
  EXPECT_EQ(&(pressure += area), &pressure);
  EXPECT_EQ(pressure, force);

  // Division truncates toward zero: -3 / 2 = -1, 3 / 2 = 1.
  UnitArray odd(-3, 3, 0, 6, 0, -6, 0, 0, 0);
  EXPECT_EQ(&(odd /= 2), &odd);
  EXPECT_EQ(odd, UnitArray(-1, 1, 0, 3, 0, -3, 0, 0, 0));
  UnitArray volume(0, 0, 0, 3, 0, 0, 0, 0, 0);
  EXPECT_EQ(volume /= 3, UnitArray(0, 0, 0, 1, 0, 0, 0, 0, 0));

  // Invalid units stay invalid through every operation, instead of
  // overflowing or turning into ordinary exponents.
  UnitArray invalid(big);
  EXPECT_TRUE((invalid += force).isInvalid());
  EXPECT_TRUE((invalid -= force).isInvalid());
  EXPECT_TRUE((invalid /= 2).isInvalid());
  UnitArray valid(force);
  EXPECT_TRUE((valid += UnitArray(big)).isInvalid());
}

TEST(UnitArrayDeathTest, IndexOutOfRange) {
  UnitArray units(0);
  const UnitArray &readOnly = units;
  EXPECT_DEATH(readOnly[-1], "i >= 0, file subprojects/value/src/UnitArray, line 66");
  EXPECT_DEATH(readOnly[9], "i < ndimensions, file subprojects/value/src/UnitArray, line 67");
  EXPECT_DEATH(units[-1] = 1, "i >= 0, file subprojects/value/src/UnitArray, line 72");
  EXPECT_DEATH(units[9] = 1, "i < ndimensions, file subprojects/value/src/UnitArray, line 73");
}

TEST(ErrorUnit, ClassLines) {
  const std::string header = "Error was thrown by function: f\n";
  const std::string prefix = "Error type: Unit of measurement error - ";
  EXPECT_EQ(ErrorUnit("f", "destination already has units", "m^-1 kg s^-2").message(),
            header + prefix + "destination already has units <m^-1 kg s^-2>\n");
  EXPECT_EQ(ErrorUnit("f", "furlong").message(),
            header + prefix + "unsupported unit [furlong]\n");
  EXPECT_EQ(ErrorUnit("f", "incompatible units", UnitArray(0, 0, 0, -1, 0, 1, 0, -2, 0),
                      UnitArray(0, 0, 0, 0, 0, 0, 1, 0, 0))
                .message(),
            header + prefix + "incompatible units <m^-1 kg s^-2> <K>\n");
  EXPECT_EQ(ErrorUnit("f", "incompatible units", UnitArray(big), UnitArray(0)).message(),
            header + prefix + "incompatible units <[invalid unit]> <>\n");
}

TEST(ErrorUnit, KeepsItsClassThroughATrace) {
  const auto wrapped = [] {
    VELTA_TRACE_BEGIN
    throw ErrorUnit("sqrt", "dimension exponents must be even", "m");
    VELTA_TRACE_END("Outer::call")
  };
  try {
    try {
      wrapped();
    } catch (Error &error) {
      error.append("Caller::run");
      throw;
    }
  } catch (const ErrorUnit &error) {
    EXPECT_EQ(error.message(),
              "Error was thrown by function: sqrt\n"
              "Error type: Unit of measurement error - dimension exponents must be even <m>\n"
              "Called from function: Outer::call\n"
              "Called from function: Caller::run\n");
    return;
  }
  FAIL() << "ErrorUnit not caught as ErrorUnit";
}

} // namespace
