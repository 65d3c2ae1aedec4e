#include "velta/core/ValueHelpers.h"

#include "velta/utility/Error.h"
#include "velta/value/Constants.h"
#include "velta/value/DerivativeContext.h"
#include "velta/value/ErrorUnit.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

const double nan = std::numeric_limits<double>::quiet_NaN();

Value kelvin(double v) { return Value(v, "K"); }

// One derivative direction for the tests that look at slopes.
class OneDirection : public testing::Test {
protected:
  void SetUp() override { pushDerivativeContext(1); }
  void TearDown() override { popDerivativeContext(); }

  static Active seeded(double value) {
    Active x(value);
    x.setDerivative(0, 1.0);
    return x;
  }
};

TEST_F(OneDirection, RegularizePositiveJoinsSmoothly) {
  // eps = 1e-5; middle piece eps (x - 4 eps) / (x - 3 eps), slope
  // eps^2 / (x - 3 eps)^2: 1/9 at 0 and 1 at 2 eps.
  struct Case {
    double x, value, slope;
  };
  const Case cases[] = {
      {3e-5, 3e-5, 1.0},
      {2e-5, 2e-5, 1.0},
      {1e-5, 1e-5 * -3e-5 / -2e-5, 1e-10 / 4e-10}, // 1.5e-5
      {0.0, 4e-5 / 3.0, 1.0 / 9.0},
      {-1.0, 4e-5 / 3.0, 1.0 / 9.0},
  };
  for (const Case &c : cases) {
    const Active a = regularizePositive(seeded(c.x));
    EXPECT_NEAR(a.value(), c.value, 1e-20) << c.x;
    EXPECT_NEAR(a.derivative(0), c.slope, 1e-12) << c.x;

    const Value v = regularizePositive(Value(seeded(c.x), minimumPressure.units()));
    EXPECT_NEAR(v.value(), c.value, 1e-20) << c.x;
    EXPECT_NEAR(v.activeValue().derivative(0), c.slope, 1e-12) << c.x;
    EXPECT_EQ(v.units(), minimumPressure.units());
  }
  EXPECT_TRUE(std::isnan(regularizePositive(Active(nan)).value()));
  EXPECT_TRUE(std::isnan(regularizePositive(Value(nan, "Pa")).value()));
  // Between 0 and 2 eps the value form computes with pressures.
  EXPECT_THROW(regularizePositive(Value(1e-5, "K")), ErrorUnit);
}

TEST(CalculateAverage, MeanTemperatureDifferences) {
  struct Case {
    const char *option;
    double dT1, dT2, expected;
  };
  const Case cases[] = {
      {"linear", 20, 10, 15},
      {"linearClipped", 10, -4, 5},
      {"linearClipped", 2, -4, -2},
      {"linearClipped", 3, 5, 4},
      // 10 / ln 2 = 14.426950408889634
      {"LMTD", 20, 10, 14.426950408889634},
      {"LMTD", 10, 20, 14.426950408889634},
      {"LMTD", 10, 10, 10},
      {"LMTD", 10, -5, 2.220446049250313e-16},
      {"LMTD", 0, 5, 2.220446049250313e-16},
      {"LmtdClipped", 20, 10, 14.426950408889634},
      // dT1 replaced by 0.5: 9.5^2 / (9.8 ln 20) = 90.25 / 29.358172... = 3.074101...
      {"LmtdClipped", 0.2, 10, 90.25 / (9.8 * std::log(20.0))},
      // dT2 replaced by -0.5: (-10 + 0.5)^2 / ((-10 + 0.3) ln 20)
      {"LmtdClipped", -10, -0.3, 90.25 / (-9.7 * std::log(20.0))},
      // Opposite signs: the smaller (-2) gives way to +0.5:
      // (10 - 0.5)^2 / (12 ln 20)
      {"LmtdClipped", 10, -2, 90.25 / (12.0 * std::log(20.0))},
      {"LmtdClipped", 0.3, -0.4, 2.220446049250313e-16},
      // Equal differences: the arithmetic mean, not 0 / 0.
      {"LmtdClipped", 7, 7, 7},
      {"LmtdClipped", -7, -7, -7},
      {"CSTR", 3, 8, 8},
  };
  for (const Case &c : cases) {
    Value result;
    calculateAverage(c.option, kelvin(c.dT1), kelvin(c.dT2), result);
    EXPECT_NEAR(result.value(), c.expected, 1e-12 * (1 + std::fabs(c.expected)))
        << c.option << " " << c.dT1 << " " << c.dT2;
    EXPECT_EQ(result.uom(), kelvin(1).uom()) << c.option;
  }
}

TEST_F(OneDirection, CollapsedMeanKeepsTheSlopeOfTheArithmeticMean) {
  const Value dT1(seeded(10.0), kelvin(1).units());
  Value result;
  calculateAverage("LMTD", dT1, kelvin(-5), result);
  EXPECT_EQ(result.value(), 2.220446049250313e-16);
  EXPECT_DOUBLE_EQ(result.activeValue().derivative(0), 0.5);
}

TEST(CalculateAverage, UnknownOptionAndUnitsAreErrors) {
  Value result;
  try {
    calculateAverage("lmtd", kelvin(20), kelvin(10), result);
    FAIL() << "no error";
  } catch (const Error &error) {
    EXPECT_EQ(error.message(), "Error was thrown by function: calculateAverage\n"
                               "Model browsing error: Unsupported option lmtd for String MTD "
                               "option in model  of type \n");
  }
  Value pressure(1.0, "Pa");
  EXPECT_THROW(calculateAverage("linear", kelvin(20), kelvin(10), pressure), ErrorUnit);
}

TEST(Clip, CasesIncludingNaN) {
  struct Case {
    double x, min, max, expected;
  };
  const Case cases[] = {
      {0.5, 0, 1, 0.5}, {2, 0, 1, 1}, {-2, 0, 1, 0}, {nan, 0, 1, 1}, {0.5, 2, 1, 2},
  };
  for (const Case &c : cases) {
    Value x(c.x);
    clip(x, Value(c.min), Value(c.max));
    EXPECT_EQ(x.value(), c.expected) << c.x;
  }

  const Case symmetric[] = {
      {5, 0, 0, 5}, {-5, 2, 0, -2}, {5, -2, 0, 2}, {1, 2, 0, 1}, {nan, 2, 0, 0},
  };
  for (const Case &c : symmetric) {
    Value x(c.x, "K");
    clipSymmetric(x, Value(c.min, "K"));
    EXPECT_EQ(x.value(), c.expected) << c.x;
    EXPECT_EQ(x.uom(), kelvin(1).uom());
  }
}

TEST(FrictionFactor, LaminarTurbulentAndLimits) {
  // Turbulent references: the Colebrook equation
  // 1/sqrt(f) = -2 log10(eps/3.7 + 2.51 / (Re sqrt(f))) solved by fixed-point
  // iteration by hand (Moody chart: 0.0180 smooth and 0.0185 at eps = 1e-4
  // for Re = 1e5). The explicit formula stays within 1e-4 of it.
  struct Case {
    double Re, roughness, expected, relativeTolerance;
  };
  const Case cases[] = {
      {0, 1e-3, 0, 0},
      {-10, 1e-3, 0, 0},
      {3, 1e-3, 64.0 / 3.0, 1e-15},  // laminar: the turbulent formula is NaN here
      {1000, 1e-3, 0.064, 1e-15},    // laminar
      {2299, 1e-3, 64.0 / 2299, 1e-15},
      {1e4, 1e-6, 0.030884498, 1e-5},
      {1e5, 1e-6, 0.017995193, 1e-5},
      {1e5, 1e-4, 0.018513866, 1e-5},
      {1e6, 1e-3, 0.019943466, 1e-4},
      {1e8, 0.05, 0.071550904, 1e-6},
      // Fully rough limit: 1 / (2 log10(0.05 / 3.7))^2 = 0.0715506732
      {std::numeric_limits<double>::infinity(), 0.05, 0.0715506732238434, 1e-12},
  };
  for (const Case &c : cases) {
    const Value f = frictionFactor(Value(c.Re), Value(c.roughness));
    EXPECT_NEAR(f.value(), c.expected, c.relativeTolerance * c.expected) << c.Re;
    EXPECT_EQ(f.units(), dimensionless);
  }
  // The roughness is clamped to [1e-6, 0.05] on a copy.
  const Value rough(0.1), smooth(1e-9);
  EXPECT_EQ(frictionFactor(Value(1e5), rough).value(), frictionFactor(Value(1e5), Value(0.05)).value());
  EXPECT_EQ(frictionFactor(Value(1e5), smooth).value(), frictionFactor(Value(1e5), Value(1e-6)).value());
  EXPECT_EQ(rough.value(), 0.1);
  EXPECT_THROW(frictionFactor(Value(1e5, "K"), Value(1e-3)), ErrorUnit);
}

} // namespace
