#include "velta/value/Active.h"
#include "velta/utility/Error.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <string>
#include <vector>

namespace {

// Pushes a derivative context for the lifetime of the object.
struct ScopedContext {
  explicit ScopedContext(int n) { pushDerivativeContext(n); }
  ~ScopedContext() { popDerivativeContext(); }
};

using Unary = std::function<Active(const Active &)>;
using Binary = std::function<Active(const Active &, const Active &)>;

// The same expression, exercising every operator and function, evaluated
// with its three unknowns seeded in the given directions.
std::vector<double> expressionDerivatives(int contextSize, const std::vector<int> &directions) {
  ScopedContext context(contextSize);
  Active x, y, z;
  x.setActive(directions[0]);
  y.setActive(directions[1]);
  z.setActive(directions[2]);
  x.value() = 0.7;
  y.value() = 1.9;
  z.value() = -0.4;
  Active f = exp(x * y) / z + sqrt(x) * log(y) - pow(x, z) + pow(y, 2.5) * log10(y);
  f += sin(z) * sinh(x) / cosh(y) - asin(z) + acos(x * 0.5) * atan(y - x);
  f -= fabs(z) / (3.0 - x) + 2.0 / y - (y + 1.0) * 4.0;
  f *= x;
  f /= (y + z);
  std::vector<double> result;
  for (int d : directions)
    result.push_back(f.derivative(d));
  result.push_back(f.value());
  x.setInactive(directions[0]);
  y.setInactive(directions[1]);
  z.setInactive(directions[2]);
  return result;
}

TEST(Active, DenseAndSparseStoresGiveIdenticalDerivatives) {
  const std::vector<double> dense = expressionDerivatives(3, {0, 1, 2});
  const std::vector<double> denseFull = expressionDerivatives(5, {4, 0, 2});
  const std::vector<double> sparse = expressionDerivatives(8, {0, 1, 2});
  const std::vector<double> sparseScattered = expressionDerivatives(300, {250, 7, 120});
  for (std::size_t i = 0; i < dense.size(); ++i) {
    EXPECT_TRUE(std::isfinite(dense[i]));
    EXPECT_EQ(dense[i], sparse[i]) << i;
    EXPECT_EQ(dense[i], sparseScattered[i]) << i;
    EXPECT_EQ(dense[i], denseFull[i]) << i;
  }
}

// Mixed operations: numbers with doubles on either side, compound
// assignments with doubles and numbers, a temporary on either side of a
// binary operator, and comparisons that pick a branch.
std::vector<double> mixedDerivatives(int contextSize, const std::vector<int> &directions) {
  ScopedContext context(contextSize);
  Active x, y;
  x.setActive(directions[0]);
  y.setActive(directions[1]);
  x.value() = 1.3;
  y.value() = -0.6;
  Active f = 2.5 + x;
  f = f - 0.75;
  f = 4.0 - f * y;
  f = f * 1.5 + 0.5 * x;
  f = f / 3.0 - 2.0 / x;
  f += 0.25;
  f -= 1.5;
  f *= 2.0;
  f /= 4.0;
  f = f + (y * y);             // temporary on the right
  f = (x * 2.0) - (y / x) + f; // temporaries on both sides
  f += y * 0.5;
  f -= x / y;
  f *= (x + 1.0);
  f /= (y - 2.0);
  if (x > y && x >= 1.3 && 1.0 < x && y <= -0.6 && y < 0.0 && !(x == y) && x != 2.0)
    f = f * f - pow(x, Active(3.0)) + pow(Active(-2.0), Active(2.0)) * y;
  else
    f = Active(0.0);
  if (-y > x || 0.5 > -y)
    f = Active(0.0);
  f = pow(y, Active(2.0)) * f; // negative base, constant exponent
  std::vector<double> result;
  for (int d : directions)
    result.push_back(f.derivative(d));
  result.push_back(f.value());
  x.setInactive(directions[0]);
  y.setInactive(directions[1]);
  return result;
}

TEST(Active, MixedOperationsGiveIdenticalDerivativesInBothStores) {
  const std::vector<double> dense = mixedDerivatives(2, {0, 1});
  const std::vector<double> sparse = mixedDerivatives(6, {5, 2});
  const std::vector<double> sparseScattered = mixedDerivatives(250, {3, 240});
  ASSERT_NE(dense.back(), 0.0); // the comparisons took the computing branches
  for (std::size_t i = 0; i < dense.size(); ++i) {
    EXPECT_TRUE(std::isfinite(dense[i])) << i;
    EXPECT_EQ(dense[i], sparse[i]) << i;
    EXPECT_EQ(dense[i], sparseScattered[i]) << i;
  }
  // The same expression by central differences in x and in y.
  const auto valueAt = [](double x, double y) {
    double f = 2.5 + x;
    f = f - 0.75;
    f = 4.0 - f * y;
    f = f * 1.5 + 0.5 * x;
    f = f / 3.0 - 2.0 / x;
    f += 0.25;
    f -= 1.5;
    f *= 2.0;
    f /= 4.0;
    f = f + y * y;
    f = (x * 2.0) - (y / x) + f;
    f += y * 0.5;
    f -= x / y;
    f *= (x + 1.0);
    f /= (y - 2.0);
    f = f * f - x * x * x + 4.0 * y;
    return y * y * f;
  };
  const double h = 1e-6;
  const double dx = (valueAt(1.3 + h, -0.6) - valueAt(1.3 - h, -0.6)) / (2 * h);
  const double dy = (valueAt(1.3, -0.6 + h) - valueAt(1.3, -0.6 - h)) / (2 * h);
  EXPECT_NEAR(dense[2], valueAt(1.3, -0.6), 1e-12);
  EXPECT_NEAR(dense[0], dx, 1e-6 * std::fabs(dx));
  EXPECT_NEAR(dense[1], dy, 1e-6 * std::fabs(dy));
}

// Central finite differences as the independent reference of the chain rule.
double centralDifference(const std::function<double(double)> &f, double x) {
  const double h = 1e-6 * std::max(1.0, std::fabs(x));
  return (f(x + h) - f(x - h)) / (2 * h);
}

TEST(Active, DerivativesMatchCentralFiniteDifferences) {
  struct Case {
    const char *name;
    Unary f;
    double x;
  };
  const std::vector<Case> cases = {
      {"sqrt", [](const Active &a) { return sqrt(a); }, 2.3},
      {"exp", [](const Active &a) { return exp(a); }, 0.8},
      {"log", [](const Active &a) { return log(a); }, 3.1},
      {"log10", [](const Active &a) { return log10(a); }, 0.45},
      {"pow double", [](const Active &a) { return pow(a, 2.7); }, 1.6},
      {"pow number", [](const Active &a) { return pow(a, a * 0.5); }, 1.6},
      {"sin", [](const Active &a) { return sin(a); }, 0.9},
      {"sinh", [](const Active &a) { return sinh(a); }, -1.2},
      {"cosh", [](const Active &a) { return cosh(a); }, 0.6},
      {"asin", [](const Active &a) { return asin(a); }, 0.35},
      {"acos", [](const Active &a) { return acos(a); }, -0.55},
      {"atan", [](const Active &a) { return atan(a); }, 2.2},
      {"fabs negative", [](const Active &a) { return fabs(a); }, -1.3},
      {"fabs positive", [](const Active &a) { return fabs(a); }, 0.4},
      {"negation", [](const Active &a) { return -a; }, 0.4},
      {"a * a", [](const Active &a) { return a * a; }, 1.7},
      {"a / (a + 1)", [](const Active &a) { return a / (a + 1.0); }, 1.7},
      {"x / a", [](const Active &a) { return 3.0 / a; }, 1.7},
      {"x - a", [](const Active &a) { return 3.0 - a; }, 1.7},
      {"x * a - a / x", [](const Active &a) { return 2.0 * a - a / 4.0; }, 1.7},
      {"a *= a", [](const Active &a) { Active r(a); r *= r; return r; }, 1.7},
      {"a /= a + a", [](const Active &a) { Active r(a); r /= r + r; return r; }, 1.7},
  };
  for (const int contextSize : {1, 6}) {
    for (const Case &c : cases) {
      ScopedContext context(contextSize);
      Active x;
      x.setActive(0);
      x.value() = c.x;
      const double ad = c.f(x).derivative(0);
      const double fd =
          centralDifference([&](double v) { return c.f(Active(v)).value(); }, c.x);
      EXPECT_NEAR(ad, fd, 1e-6 * std::max(1.0, std::fabs(fd)))
          << c.name << " with " << contextSize << " directions";
      x.setInactive(0);
    }
  }
}

TEST(Active, BinaryDerivativesMatchCentralFiniteDifferences) {
  struct Case {
    const char *name;
    Binary f;
  };
  const std::vector<Case> cases = {
      {"a + b", [](const Active &a, const Active &b) { return a + b; }},
      {"a - b", [](const Active &a, const Active &b) { return a - b; }},
      {"a * b", [](const Active &a, const Active &b) { return a * b; }},
      {"a / b", [](const Active &a, const Active &b) { return a / b; }},
      {"pow(a, b)", [](const Active &a, const Active &b) { return pow(a, b); }},
  };
  const double a0 = 1.3, b0 = 0.7;
  for (const int contextSize : {2, 9}) {
    for (const Case &c : cases) {
      ScopedContext context(contextSize);
      Active a(a0), b(b0);
      a.setActive(0);
      b.setActive(contextSize - 1);
      a.value() = a0;
      b.value() = b0;
      const Active r = c.f(a, b);
      const double da = centralDifference([&](double v) { return c.f(v, b0).value(); }, a0);
      const double db = centralDifference([&](double v) { return c.f(a0, v).value(); }, b0);
      EXPECT_NEAR(r.derivative(0), da, 1e-7) << c.name;
      EXPECT_NEAR(r.derivative(contextSize - 1), db, 1e-7) << c.name;
      a.setInactive(0);
      b.setInactive(contextSize - 1);
    }
  }
}

// Derivative rules at the edges of the functions' domains.
TEST(Active, DomainEdgeDerivatives) {
  struct Case {
    const char *name;
    Unary f;
    double x, dx;
    double expected; // NaN: expect NaN
  };
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  const std::vector<Case> cases = {
      {"sqrt(0), d 0", [](const Active &a) { return sqrt(a); }, 0, 0, nan},
      {"sqrt(0), d 1", [](const Active &a) { return sqrt(a); }, 0, 1, inf},
      {"sqrt(0), d -1", [](const Active &a) { return sqrt(a); }, 0, -1, nan},
      {"sqrt(-1)", [](const Active &a) { return sqrt(a); }, -1, 1, nan},
      {"log(0), d 1", [](const Active &a) { return log(a); }, 0, 1, inf},
      {"log(0), d 0", [](const Active &a) { return log(a); }, 0, 0, nan},
      {"log(0), d -1", [](const Active &a) { return log(a); }, 0, -1, nan},
      {"log10(-2)", [](const Active &a) { return log10(a); }, -2, 1, nan},
      {"asin(1.5)", [](const Active &a) { return asin(a); }, 1.5, 1, nan},
      {"acos(-1.5)", [](const Active &a) { return acos(a); }, -1.5, 1, nan},
      {"fabs(0), d -3", [](const Active &a) { return fabs(a); }, 0, -3, 3},
      {"fabs(-2), d 3", [](const Active &a) { return fabs(a); }, -2, 3, -3},
      // d(a^2)/da = 2a = -4 at a = -2 although ln(-2) is NaN: the exponent
      // is constant; d(0^3)/da = 0.
      {"pow(-2, 2)", [](const Active &a) { return pow(a, Active(2.0)); }, -2, 1, -4},
      {"pow(0, 3)", [](const Active &a) { return pow(a, Active(3.0)); }, 0, 1, 0},
      // A varying exponent with a negative base has no derivative.
      {"pow(-2, a)", [](const Active &a) { return pow(Active(-2.0), a); }, 2, 1, nan},
  };
  for (const int contextSize : {1, 7}) {
    ScopedContext context(contextSize);
    for (const Case &c : cases) {
      Active x(c.x);
      x.setDerivative(0, c.dx);
      const double d = c.f(x).derivative(0);
      if (std::isnan(c.expected))
        EXPECT_TRUE(std::isnan(d)) << c.name << ": " << d << " with " << contextSize;
      else
        EXPECT_EQ(d, c.expected) << c.name << " with " << contextSize;
    }
  }
}

// Quotients whose divisor squared under- or overflows, and powers with an
// exactly zero factor next to an infinite or NaN one (0^-1, ln 0), in the
// dense (3 directions) and the sparse store (8): the derivatives are the
// calculus ones, worked by hand in the comments, and both stores agree.
TEST(Active, QuotientAndPowerDerivativesAtExtremeAndConstantPoints) {
  struct Case {
    const char *name;
    Unary f;
    double x, dx;
    double expected;
  };
  const double inf = std::numeric_limits<double>::infinity();
  const std::vector<Case> cases = {
      // d(x/c) = 1/c; d(c/x) = -c/x^2 = -1/c at x = c; d(x/x) = 0;
      // d(c/x) = -c/x^2 = -1e-200 at x = c = 1e200.
      {"x / 1e-170", [](const Active &a) { return a / Active(1e-170); }, 1e-170, 1, 1e170},
      {"1e-170 / x", [](const Active &a) { return 1e-170 / a; }, 1e-170, 1, -1e170},
      {"x / x", [](const Active &a) { return a / a; }, 1e-200, 1, 0},
      {"1e200 / x", [](const Active &a) { return 1e200 / a; }, 1e200, 1, -1e-200},
      // d(3x/x) = 0; d(x/1e-170) = 1e170 through the compound assignment.
      {"3x /= x", [](const Active &a) { Active r = 3.0 * a; r /= a; return r; }, 1e-200, 1, 0},
      {"x /= 1e-170", [](const Active &a) { Active r(a); r /= Active(1e-170); return r; },
       1e-170, 1, 1e170},
      // A constant quotient 1/0 does not depend on the direction at all.
      {"1 / 0 constant", [](const Active &a) { return 1.0 / a; }, 0, 0, 0},
      // x^0 = 1 everywhere; 0^x = 0 for x > 0; a constant 0^0.5.
      {"pow(x, 0.0)", [](const Active &a) { return pow(a, 0.0); }, 0, 1, 0},
      {"pow(x, Active 0)", [](const Active &a) { return pow(a, Active(0.0)); }, 0, 1, 0},
      {"pow(Active 0, x)", [](const Active &a) { return pow(Active(0.0), a); }, 2, 1, 0},
      {"pow(0, 0.5) constant", [](const Active &a) { return pow(a, 0.5); }, 0, 0, 0},
      // d(x^x) = x^x (ln x + 1) -> -inf as x -> 0+: a real infinity stays.
      {"pow(x, x)", [](const Active &a) { return pow(a, a); }, 0, 1, -inf},
  };
  for (const Case &c : cases) {
    double dense = 0;
    for (const int contextSize : {3, 8}) {
      ScopedContext context(contextSize);
      const int direction = contextSize - 1;
      Active x(c.x);
      x.setDerivative(direction, c.dx);
      const double d = c.f(x).derivative(direction);
      if (c.expected == 0 || std::isinf(c.expected))
        EXPECT_EQ(d, c.expected) << c.name << " with " << contextSize;
      else
        EXPECT_NEAR(d, c.expected, 1e-15 * std::fabs(c.expected))
            << c.name << " with " << contextSize;
      if (contextSize == 3)
        dense = d;
      else
        EXPECT_EQ(d, dense) << c.name << ": dense and sparse differ";
    }
  }
}

TEST(Active, SparseListsMergeAsUnionAndKeepZeroEntries) {
  ScopedContext context(8);
  Active a(1.0), b(2.0);
  a.setDerivative(1, 2.0);
  b.setDerivative(0, 1.0);
  b.setDerivative(1, -2.0);
  const Active sum = a + b;
  ASSERT_EQ(sum.sparseDerivatives().size(), 2u);
  EXPECT_EQ(sum.sparseDerivatives()[0].direction, 0);
  EXPECT_EQ(sum.sparseDerivatives()[0].derivative, 1.0);
  EXPECT_EQ(sum.sparseDerivatives()[1].direction, 1);
  EXPECT_EQ(sum.sparseDerivatives()[1].derivative, 0.0);
  EXPECT_EQ(sum.value(), 3.0);

  // Interleaved directions end up sorted.
  Active c(1.0), d(1.0);
  for (int i : {1, 3, 5})
    c.setDerivative(i, i);
  for (int i : {0, 2, 3, 7})
    d.setDerivative(i, 10 * i);
  const Active product = c * d; // c_i * 1 + d_i * 1
  std::vector<int> directions;
  for (const auto &entry : product.sparseDerivatives())
    directions.push_back(entry.direction);
  EXPECT_EQ(directions, (std::vector<int>{0, 1, 2, 3, 5, 7}));
  EXPECT_EQ(product.derivative(3), 33.0);
  EXPECT_EQ(product.derivative(4), 0.0);

  // A matching prefix followed by missing directions.
  Active e(2.0), f(3.0);
  for (int i : {1, 4, 6})
    e.setDerivative(i, 1.0);
  for (int i : {1, 2, 6, 9})
    f.setDerivative(i, 2.0);
  e += f;
  directions.clear();
  for (const auto &entry : e.sparseDerivatives())
    directions.push_back(entry.direction);
  EXPECT_EQ(directions, (std::vector<int>{1, 2, 4, 6, 9}));
  EXPECT_EQ(e.derivative(1), 3.0);
  EXPECT_EQ(e.derivative(2), 2.0);
  EXPECT_EQ(e.derivative(4), 1.0);

  // log of a negative number: stored entries NaN, absent ones stay absent.
  const Active logged = log(-c);
  EXPECT_EQ(logged.sparseDerivatives().size(), 3u);
  for (const auto &entry : logged.sparseDerivatives())
    EXPECT_TRUE(std::isnan(entry.derivative));
  EXPECT_EQ(logged.derivative(0), 0.0);
}

// Sparse arithmetic on scattered lists against the rules applied direction
// by direction.
TEST(Active, SparseArithmeticMatchesTheRulesPerDirection) {
  const int n = 40;
  ScopedContext context(n);
  unsigned seed = 12345;
  auto next = [&seed] {
    seed = seed * 1103515245u + 12345u;
    return (seed >> 16) & 0x7fff;
  };
  for (int round = 0; round < 50; ++round) {
    Active a(1.0 + next() % 7), b(2.0 + next() % 5);
    for (int i = 0; i < n; ++i) {
      if (next() % 3 == 0)
        a.setDerivative(i, static_cast<double>(next() % 11) - 5);
      if (next() % 4 == 0)
        b.setDerivative(i, static_cast<double>(next() % 13) - 6);
    }
    const double av = a.value(), bv = b.value();
    const Active sum = a + b, difference = a - b, product = a * b, quotient = a / b;
    for (int i = 0; i < n; ++i) {
      const double ai = a.derivative(i), bi = b.derivative(i);
      EXPECT_EQ(sum.derivative(i), ai + bi);
      EXPECT_EQ(difference.derivative(i), ai - bi);
      EXPECT_EQ(product.derivative(i), ai * bv + bi * av);
      EXPECT_EQ(quotient.derivative(i), (ai - av / bv * bi) / bv);
    }
    for (const Active *r : {&sum, &difference, &product, &quotient}) {
      const auto &list = r->sparseDerivatives();
      for (std::size_t k = 1; k < list.size(); ++k)
        EXPECT_LT(list[k - 1].direction, list[k].direction);
    }
  }
}

TEST(Active, DenseLogOfNegativeGivesNaNInEveryDirection) {
  ScopedContext context(3);
  Active a(-2.0);
  a.setDerivative(1, 1.0);
  const Active r = log(a);
  for (int i = 0; i < 3; ++i)
    EXPECT_TRUE(std::isnan(r.derivative(i))) << i;
  EXPECT_EQ(r.derivative(3), 0.0); // beyond the context: untouched
}

TEST(Active, StoreFollowsTheNumberOfDirections) {
  {
    ScopedContext context(5);
    Active a;
    a.setActive(4);
    EXPECT_TRUE(a.sparseDerivatives().empty());
    EXPECT_EQ(a.derivative(4), 1.0);
    a.setInactive(4);
  }
  {
    ScopedContext context(6);
    Active a;
    a.setActive(5);
    ASSERT_EQ(a.sparseDerivatives().size(), 1u);
    EXPECT_EQ(a.sparseDerivatives()[0].direction, 5);
    a.setInactive(5);
  }
}

TEST(Active, CopyAndAssignmentSemantics) {
  ScopedContext context(2);
  Active seeded(4.0);
  seeded.setActive(1);
  ASSERT_TRUE(seeded.isActive());

  // A copy is never active but carries the derivatives.
  const Active copy(seeded);
  EXPECT_FALSE(copy.isActive());
  EXPECT_EQ(copy.derivative(1), 1.0);

  // Copy assignment copies value and derivatives, never the active flag.
  Active target(1.0);
  target = seeded;
  EXPECT_FALSE(target.isActive());
  EXPECT_EQ(target.value(), 4.0);
  EXPECT_EQ(target.derivative(1), 1.0);

  // Assigning a double clears the derivatives and keeps the flag.
  seeded = 7.0;
  EXPECT_TRUE(seeded.isActive());
  EXPECT_EQ(seeded.value(), 7.0);
  EXPECT_EQ(seeded.derivative(1), 0.0);

  // Dense assignment copies only the context's directions.
  Active wide;
  {
    ScopedContext five(5);
    wide.setDerivative(4, 9.0);
  }
  wide = copy;
  EXPECT_EQ(wide.derivative(1), 1.0);
  EXPECT_EQ(wide.derivative(4), 9.0);
  seeded.setInactive(1);
}

TEST(Active, AssignmentsThatAreSilentDespiteStrictReadOnly) {
  ASSERT_TRUE(strict_ro);
  // Not active: silent.
  {
    ScopedContext context(2);
    Active a(1.0), b(2.0);
    a = b;
    EXPECT_EQ(a.value(), 2.0);
  }
  // No directions: silent even for an active number.
  Active active;
  active.setActive(0);
  active = Active(3.0);
  EXPECT_TRUE(active.isActive());
  EXPECT_EQ(active.value(), 3.0);
}

// A model that writes one of its own unknowns while its Jacobian is taken
// stops the calculation with an error naming the unknown, in dense and
// sparse contexts, by copy and by move; the number keeps its seed, so the
// context can still be released.
TEST(Active, OverwritingASeededUnknownIsAnError) {
  for (const int directions : {2, 8})
    for (const bool byMove : {false, true}) {
      ScopedContext context(directions);
      Active a;
      a.setActive(1);
      const std::string prefix = "Error was thrown by function: GenericActive::operator =\n"
                                 "Generic Run-Time error: severe error: incorrect derivative "
                                 "calculation: ";
      try {
        Active other(2.0);
        if (byMove)
          a = std::move(other);
        else
          a = other;
        ADD_FAILURE() << "no error for " << directions << " directions";
      } catch (const Error &error) {
        EXPECT_EQ(error.message(), prefix + "the unknown of direction 1 was overwritten while its "
                                            "derivatives were computed\n");
      }
      currentDerivativeContext().setUnknownNamer(
          [](int i) { return "the unknown u" + std::to_string(i) + " of the system S"; });
      try {
        a = Active(3.0);
        ADD_FAILURE() << "no error for " << directions << " directions";
      } catch (const Error &error) {
        EXPECT_EQ(error.message(), prefix + "the unknown u1 of the system S was overwritten "
                                            "while its derivatives were computed\n");
      }
      EXPECT_TRUE(a.isActive());
      a.setInactive(1);
    }
}

// The name comes from the innermost context that seeded the number, also
// when a nested context is current.
TEST(Active, OverwrittenUnknownOfAnOuterContextIsNamed) {
  ScopedContext outer(3);
  currentDerivativeContext().setUnknownNamer([](int i) { return "outer " + std::to_string(i); });
  Active a;
  a.setActive(2);
  {
    ScopedContext inner(1);
    try {
      a = Active(1.0);
      ADD_FAILURE() << "no error";
    } catch (const Error &error) {
      EXPECT_NE(error.message().find(": outer 2 was overwritten"), std::string::npos)
          << error.message();
    }
  }
  a.setInactive(2);
}

TEST(ActiveDeathTest, SeedingTwiceIsFatal) {
  EXPECT_DEATH(
      {
        ScopedContext context(2);
        Active a;
        a.setActive(0);
        a.setActive(1);
      },
      "Assertion failed: !strict_ro \\|\\| !active_, file value/src/Active, line 949");
}

TEST(Active, HelpersOnDerivatives) {
  ScopedContext context(2);
  Active a(3.0);
  a.setDerivative(0, 1.0);
  a.setDerivative(1, -1.0);
  EXPECT_EQ(a.derivativeSum(), 2.0);
  const Active part = a.derivativePart();
  EXPECT_EQ(part.value(), 0.0);
  EXPECT_EQ(part.derivative(1), -1.0);
  a.clearDerivatives();
  EXPECT_EQ(a.value(), 3.0);
  EXPECT_EQ(a.derivativeSum(), 0.0);
  a.setDerivative(0, 5.0);
  a.setZero();
  EXPECT_EQ(a.value(), 0.0);
  EXPECT_EQ(a.derivative(0), 0.0);
  EXPECT_EQ(Active::getNumdir(), 2);

  // Comparisons look at values only.
  Active b(3.0), c(3.0);
  b.setDerivative(0, 1.0);
  EXPECT_TRUE(b == c);
  EXPECT_TRUE(b < 4.0 && 2.0 < b && b <= c && !(b > c) && b != 4.0);

  EXPECT_TRUE(isNotFinite(std::numeric_limits<double>::infinity()));
  EXPECT_TRUE(isNotFinite(std::numeric_limits<double>::quiet_NaN()));
  EXPECT_FALSE(isNotFinite(1.0));
  EXPECT_TRUE(isNan(std::numeric_limits<double>::quiet_NaN()));
  EXPECT_FALSE(isNan(std::numeric_limits<double>::infinity()));
}

TEST(Active, TextForm) {
  {
    ScopedContext context(2);
    Active a(1.5);
    a.setDerivative(0, 0.25);
    a.setDerivative(1, 1.0);
    EXPECT_EQ(a.toString(), "1.5 [ 0.25 1  ]");
  }
  {
    ScopedContext context(0);
    EXPECT_EQ(Active(1.5).toString(), "1.5 [  ]");
    EXPECT_EQ(Active(1234567.0).toString(), "1.23457e+06 [  ]");
  }
  {
    ScopedContext context(300);
    Active a(1.5);
    a.setDerivative(7, 1.0);
    a.setDerivative(3, 0.25);
    EXPECT_EQ(a.toString(), "1.5 [  (3)0.25 (7)1 ]");
  }
  {
    ScopedContext context(7);
    Active a(2.0);
    a.setDerivative(2, 0.5);
    EXPECT_EQ(a.toString(), "2 [ 0 0 0.5 0 0 0 0  ]");
  }
}

} // namespace
