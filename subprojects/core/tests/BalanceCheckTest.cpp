#include "velta/core/BalanceCheck.h"

#include "velta/value/ErrorUnit.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

const double nan = std::numeric_limits<double>::quiet_NaN();

Value kgs(double v) { return Value(v, "kg/s"); }

TEST(BalanceCheck, MassTolerances) {
  // Inlets of 1 + 1 kg/s; tolerances (|in + out| + 0.1 kg/h) / 1000 for an
  // error and / 100000 for a warning.
  struct Case {
    double in, out, source;
    BalanceVerdict expected;
  };
  const Case cases[] = {
      {2, 2, 0, BalanceVerdict::balanced},
      // |cmdot| = 2 g/s: below ~4 g/s, above ~0.04 g/s
      {2, 1.998, 0, BalanceVerdict::warning},
      // |cmdot| = 10 g/s above ~4 g/s
      {2, 1.99, 0, BalanceVerdict::error},
      // A unit that destroys 0.01 kg/s accounts for the difference.
      {2, 1.99, 0.01, BalanceVerdict::balanced},
      // No flows: the error tolerance is 0.1 kg/h / 1000 = 2.78e-8 kg/s.
      {0, 0, 0, BalanceVerdict::balanced},
      {3e-8, 0, 0, BalanceVerdict::error},
      {2e-8, 0, 0, BalanceVerdict::warning},
      {nan, 2, 0, BalanceVerdict::error},
  };
  for (const Case &c : cases) {
    const Value in = kgs(c.in), out = kgs(c.out);
    EXPECT_EQ(massBalanceVerdict(in - out, kgs(c.source), in, out), c.expected)
        << c.in << " " << c.out << " " << c.source;
  }
}

TEST(BalanceCheck, EnergyTolerances) {
  struct Case {
    double difference;
    BalanceVerdict expected;
  };
  const Case cases[] = {
      {5, BalanceVerdict::balanced},     {10, BalanceVerdict::balanced},
      {-500, BalanceVerdict::warning},   {500, BalanceVerdict::warning},
      {1000, BalanceVerdict::warning},   {2000, BalanceVerdict::error},
      {-2000, BalanceVerdict::error},    {nan, BalanceVerdict::error},
  };
  for (const Case &c : cases) {
    // cduty of 1 MW against the unit's own duty 1 MW - difference.
    EXPECT_EQ(energyBalanceVerdict(Value(1e6, "W"), Value(1e6 - c.difference, "W")), c.expected)
        << c.difference;
  }
  EXPECT_THROW(energyBalanceVerdict(Value(1.0, "W"), kgs(1.0)), ErrorUnit);
}

} // namespace
