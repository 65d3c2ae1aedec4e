#include "velta/core/Scaler.h"

#include "velta/utility/Error.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

using Mode = Velta::Utility::ScalingMode;

namespace {

struct ScalerCase {
  const char *name;
  Mode mode;
  double xmin, xmax, ymin, ymax;
};

std::ostream &operator<<(std::ostream &os, const ScalerCase &c) { return os << c.name; }

class ScalerModes : public testing::TestWithParam<ScalerCase> {
protected:
  Scaler scaler() const {
    const ScalerCase &c = GetParam();
    return Scaler(c.mode, c.xmin, c.xmax, c.ymin, c.ymax);
  }
};

// Interior model points at 10 %, 30 %, 45 %, 70 % and 90 % of the interval.
std::vector<double> interiorPoints(const ScalerCase &c) {
  std::vector<double> points;
  for (double f : {0.1, 0.3, 0.45, 0.7, 0.9})
    points.push_back(c.xmin + f * (c.xmax - c.xmin));
  return points;
}

} // namespace

TEST_P(ScalerModes, InverseMapsBack) {
  const Scaler s = scaler();
  for (double x : interiorPoints(GetParam()))
    EXPECT_NEAR(s.x(s.X(x)), x, 1e-9 * (1 + std::fabs(x))) << "x = " << x;
}

// The analytic derivatives against central finite differences of the maps,
// and dX/dx times dx/dX = 1 (chain rule of a map and its inverse).
TEST_P(ScalerModes, DerivativesMatchFiniteDifferences) {
  const Scaler s = scaler();
  const ScalerCase &c = GetParam();
  for (double x : interiorPoints(c)) {
    const double hx = 1e-6 * (c.xmax - c.xmin);
    const double fdX = (s.X(x + hx) - s.X(x - hx)) / (2 * hx);
    EXPECT_NEAR(s.dX(x), fdX, 1e-5 * (1 + std::fabs(fdX))) << "x = " << x;
    const double X = s.X(x);
    const double hX = 1e-6 * (1 + std::fabs(X));
    const double fdx = (s.x(X + hX) - s.x(X - hX)) / (2 * hX);
    EXPECT_NEAR(s.dx(X), fdx, 1e-5 * (1 + std::fabs(fdx))) << "X = " << X;
    EXPECT_NEAR(s.dX(x) * s.dx(X), 1.0, 1e-8) << "x = " << x;
  }
}

INSTANTIATE_TEST_SUITE_P(
    AllModes, ScalerModes,
    testing::Values(ScalerCase{"noscaling", Mode::noscaling, -5, 5, 1, 10},
                    ScalerCase{"linear", Mode::linear, 0, 10, 0, 1},
                    ScalerCase{"power", Mode::power, 1, 100, 1, 2},
                    ScalerCase{"arctangent", Mode::arctangent, 0, 1, 1, 100},
                    ScalerCase{"arctangentExclusive", Mode::arctangentExclusive, 250, 400, 1, 10},
                    ScalerCase{"arctangentpower", Mode::arctangentpower, 0, 1, 1, 10},
                    ScalerCase{"rational", Mode::rational, 0, 1, 1, 10},
                    ScalerCase{"log", Mode::log, 50, 1500, 1, 10}),
    [](const testing::TestParamInfo<ScalerCase> &info) { return std::string(info.param.name); });

TEST(Scaler, LinearMapsMidpoint) {
  const Scaler s(Mode::linear, 0, 10, 0, 1);
  EXPECT_DOUBLE_EQ(s.X(5), 0.5);
  EXPECT_DOUBLE_EQ(s.x(0.5), 5);
  EXPECT_DOUBLE_EQ(s.dX(3), 0.1);
  EXPECT_DOUBLE_EQ(s.dx(0.3), 10);
  EXPECT_EQ(s.modeName(), "linear");
}

TEST(Scaler, PowerExponentAndEndPoints) {
  const Scaler s(Mode::power, 1, 100, 1, 2);
  EXPECT_DOUBLE_EQ(s.k(), std::log(0.5) / std::log(0.01));
  EXPECT_DOUBLE_EQ(s.X(1), 1);
  EXPECT_DOUBLE_EQ(s.X(100), 2);
  EXPECT_DOUBLE_EQ(s.X(10), std::sqrt(2.0)); // 2 * 0.1^k with k = 1/2
}

TEST(Scaler, BoundedModesMapTheirIntervals) {
  const Scaler atan(Mode::arctangent, 0, 1, 1, 100);
  EXPECT_NEAR(atan.X(0), 1, 1e-9);
  EXPECT_NEAR(atan.X(1), 100, 1e-9);
  const Scaler log(Mode::log, 50, 1500, 1, 10);
  EXPECT_NEAR(log.X(50), 1, 1e-12);
  EXPECT_NEAR(log.X(1500), 10, 1e-12);
}

// Every finite solver value gives a model value strictly inside the bounds.
TEST(Scaler, ExclusiveModesStayInsideBounds) {
  for (Mode mode : {Mode::arctangentExclusive, Mode::rational}) {
    const Scaler s(mode, 2, 3, 1, 10);
    EXPECT_DOUBLE_EQ(s.x(5.5), 2.5) << s.modeName(); // ymid gives xmid
    for (double X : {-1e12, -1e3, -5.0, 0.0, 1.0, 5.4, 5.6, 10.0, 1e3, 1e12}) {
      const double x = s.x(X);
      EXPECT_GT(x, 2) << s.modeName() << " X = " << X;
      EXPECT_LT(x, 3) << s.modeName() << " X = " << X;
    }
  }
}

TEST(Scaler, RationalCentreAndBounds) {
  const Scaler s(Mode::rational, 0, 1, 1, 10);
  EXPECT_EQ(s.x(5.5), 0.5);
  EXPECT_TRUE(std::isinf(s.X(0)));
  EXPECT_TRUE(std::isinf(s.X(1)));
  // Centre branch of dx/dX: Dx^2 / (4 k) with k = Dy / 10.
  EXPECT_NEAR(s.dx(5.5), 1.0 / (4 * 0.9), 1e-12);
}

TEST(Scaler, ArctangentPowerAtCentre) {
  const Scaler s(Mode::arctangentpower, 0, 1, 1, 10);
  EXPECT_TRUE(std::isfinite(s.dX(0.5)));
  for (double x : {0.05, 0.25, 0.5, 0.75, 0.95})
    EXPECT_NEAR(s.x(s.X(x)), x, 1e-12);
}

namespace {

std::string setupError(Mode mode, double xmin, double xmax, double ymin, double ymax) {
  try {
    Scaler(mode, xmin, xmax, ymin, ymax);
  } catch (const Error &error) {
    return error.message();
  }
  return "no error";
}

} // namespace

TEST(Scaler, SetupRejectsBadBounds) {
  const std::string head = "Error was thrown by function: Scaler::setup\nError type: Scaler error";
  struct {
    Mode mode;
    double xmin, xmax, ymin, ymax;
    const char *detail;
  } cases[] = {
      {Mode::linear, 1, 1, 0, 1, "xmin and xmax must be different"},
      {static_cast<Mode>(0), 1, 1, 0, 1, "xmin and xmax must be different"},
      {Mode::linear, 0, 1, 2, 2, "ymin and ymax must be different"},
      {Mode::power, -1, 2, 1, 2,
       "xmin and xmax must have the same sign with Velta::Utility::ScalingMode::power"},
      {Mode::power, 0, 2, 1, 2, "xmin must be non-null with Velta::Utility::ScalingMode::power"},
      {Mode::power, 1, 2, -1, 2,
       "ymin and ymax must have the same sign with Velta::Utility::ScalingMode::power"},
      {Mode::log, 1, 0, 1, 2, "xmax must be non-null with Velta::Utility::ScalingMode::log"},
      {Mode::log, -1, 2, 1, 2,
       "xmin and xmax must have the same sign with Velta::Utility::ScalingMode::log"},
  };
  for (const auto &c : cases)
    EXPECT_EQ(setupError(c.mode, c.xmin, c.xmax, c.ymin, c.ymax), head + c.detail + "\n");
}

TEST(Scaler, UnknownModeIsASmartEnumError) {
  EXPECT_EQ(setupError(static_cast<Mode>(9), 0, 1, 0, 1),
            "Error was thrown by function: Scaler::setup\n"
            "Smart enumerator error: Unrecognized scaling mode: Null\n");
}
