#include "velta/value/Active.h"
#include "velta/value/DerivativeContext.h"

#include <gtest/gtest.h>

namespace {

TEST(DerivativeContext, StartUpContextHasNoDirections) {
  EXPECT_EQ(derivativeContextDepth(), 1);
  EXPECT_EQ(numdir, 0);
  EXPECT_EQ(currentDerivativeContext().directions(), 0);
  EXPECT_TRUE(strict_ro);
}

TEST(DerivativeContext, PushAndPopNestAndRestoreTheStore) {
  pushDerivativeContext(8);
  pushDerivativeContext(3);
  EXPECT_EQ(numdir, 3);
  EXPECT_FALSE(Active::sparseMode());
  popDerivativeContext();
  EXPECT_EQ(numdir, 8);
  EXPECT_TRUE(Active::sparseMode());
  Active a;
  a.setDerivative(6, 2.0);
  EXPECT_EQ(a.sparseDerivatives().size(), 1u);
  popDerivativeContext();
  EXPECT_EQ(numdir, 0);
  EXPECT_EQ(derivativeContextDepth(), 1);
}

TEST(DerivativeContext, SeedingWithoutDirectionsOnlyMarksActive) {
  Active a(2.0);
  a.setActive(0);
  EXPECT_TRUE(a.isActive());
  EXPECT_EQ(a.derivativeSum(), 0.0);
  EXPECT_TRUE(a.sparseDerivatives().empty());
  a.setInactive(0);
  EXPECT_FALSE(a.isActive());
}

// Seeding replaces earlier derivatives and records the number in the context;
// unseeding clears both (a sparse entry stays, with 0).
TEST(DerivativeContext, SeedingAndUnseeding) {
  for (const int n : {4, 12}) {
    pushDerivativeContext(n);
    Active a(1.0);
    a.setDerivative(0, 5.0);
    a.setDerivative(2, 7.0);
    a.setActive(3);
    EXPECT_EQ(currentDerivativeContext().seeded(3), &a);
    for (int i = 0; i < n; ++i)
      EXPECT_EQ(a.derivative(i), i == 3 ? 1.0 : 0.0) << n << " " << i;
    a.setInactive(3);
    EXPECT_FALSE(a.isActive());
    EXPECT_EQ(a.derivative(3), 0.0);
    EXPECT_EQ(currentDerivativeContext().seeded(3), nullptr);
    if (n > denseDirections) {
      ASSERT_EQ(a.sparseDerivatives().size(), 1u);
      EXPECT_EQ(a.sparseDerivatives()[0].direction, 3);
    }
    popDerivativeContext();
  }
}

// The Jacobian protocol: seed the unknowns, evaluate, read, unseed, pop.
TEST(DerivativeContext, JacobianOfASmallSystem) {
  pushDerivativeContext(2);
  Active x, y;
  x.setActive(0);
  y.setActive(1);
  x.value() = 2.0;
  y.value() = 3.0;
  const Active r0 = x * x * y - 1.0; // d/dx = 2xy = 12, d/dy = x^2 = 4
  const Active r1 = x / y + y;       // d/dx = 1/y, d/dy = -x/y^2 + 1
  EXPECT_DOUBLE_EQ(r0.derivative(0), 12.0);
  EXPECT_DOUBLE_EQ(r0.derivative(1), 4.0);
  EXPECT_DOUBLE_EQ(r1.derivative(0), 1.0 / 3.0);
  EXPECT_DOUBLE_EQ(r1.derivative(1), 1.0 - 2.0 / 9.0);
  x.setInactive(0);
  y.setInactive(1);
  popDerivativeContext();
}

TEST(DerivativeContext, FurtherStartUpCountersOnlyCount) {
  pushDerivativeContext(2);
  {
    DerivativeContextInit extra;
    EXPECT_EQ(derivativeContextDepth(), 2);
    EXPECT_EQ(numdir, 2);
  }
  EXPECT_EQ(derivativeContextDepth(), 2);
  EXPECT_EQ(numdir, 2);
  popDerivativeContext();
}

} // namespace
