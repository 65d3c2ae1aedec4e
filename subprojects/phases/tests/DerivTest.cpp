// Gradient records: the propagation rules at non-differentiable points, a
// quotient with a one-sided gradient, and the flowsheet derivatives that
// ride along in the entries.

#include "velta/phases/Deriv.h"
#include "velta/value/DerivativeContext.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>

using Phase::Deriv;

namespace {

// A record with value x and entry 0 seeded.
Deriv variable(double x) {
  Deriv d(x);
  d.seed(0);
  return d;
}

struct KinkCase {
  std::string name;
  std::function<Deriv(const Deriv &)> operation;
  double x, value, factor;
};

class DerivKinks : public testing::TestWithParam<KinkCase> {};

TEST_P(DerivKinks, ValueAndPartialFactor) {
  const KinkCase &c = GetParam();
  const Deriv r = c.operation(variable(c.x));
  EXPECT_EQ(r.value().value(), c.value);
  EXPECT_EQ(r[0].value(), c.factor);
  for (int k = 1; k < Phase::derivLength; ++k)
    EXPECT_EQ(r[k].value(), 0.0);
}

INSTANTIATE_TEST_SUITE_P(
    Rules, DerivKinks,
    testing::Values(
        KinkCase{"AbsAtZero", [](const Deriv &a) { return fabs(a); }, 0.0, 0.0, 0.0},
        KinkCase{"AbsBelowZero", [](const Deriv &a) { return fabs(a); }, -3.0, 3.0, -1.0},
        KinkCase{"PowerAtZero", [](const Deriv &a) { return pow(a, 1.5); }, 0.0, 0.0, 0.0},
        KinkCase{"InverseAtTwo", [](const Deriv &a) { return pow(a, -1.0); }, 2.0, 0.5, -0.25},
        KinkCase{"SquareAtMinusTwo", [](const Deriv &a) { return pow(a, 2.0); }, -2.0, 4.0, -4.0},
        KinkCase{"Reciprocal", [](const Deriv &a) { return 1.0 / a; }, 4.0, 0.25, -0.0625}),
    [](const testing::TestParamInfo<KinkCase> &info) { return info.param.name; });

TEST(Deriv, QuotientWithGradientOnlyInNumerator) {
  Deriv a(3.0), b(8.0);
  a.seed(5);
  a[7] = 2.0;
  const Deriv q = a / b;
  EXPECT_EQ(q.value().value(), 3.0 / 8.0);
  EXPECT_EQ(q[5].value(), 1.0 / 8.0);
  EXPECT_EQ(q[7].value(), 2.0 / 8.0);
  EXPECT_EQ(q[0].value(), 0.0);
}

// d/dx (x y) = y; when y is a flowsheet unknown z, that entry carries dz/dz = 1.
TEST(Deriv, FlowsheetDerivativesRideInTheEntries) {
  pushDerivativeContext(1);
  {
    Active z(2.5);
    z.setActive(0);
    Deriv x(Active(1.5)), y(z);
    x.seed(0);
    y.seed(1);
    const Deriv product = log(x * y);
    // d ln(x y)/dx = 1/x, d/dy = 1/y = 1/z, whose z-derivative is -1/z^2.
    EXPECT_DOUBLE_EQ(product[0].value(), 1 / 1.5);
    EXPECT_DOUBLE_EQ(product[0].derivative(0), 0.0);
    EXPECT_DOUBLE_EQ(product[1].value(), 1 / 2.5);
    EXPECT_DOUBLE_EQ(product[1].derivative(0), -1 / (2.5 * 2.5));
    EXPECT_DOUBLE_EQ(product.value().derivative(0), 1 / 2.5);
  }
  popDerivativeContext();
}

} // namespace
