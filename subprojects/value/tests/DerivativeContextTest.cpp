#include "velta/value/DerivativeContext.h"
#include "velta/value/Active.h"

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

// Folding: a list of at least the threshold's entries becomes one new
// direction (numbered after the unknowns) whose definition is the old list;
// short lists, seeded unknowns and contexts that do not fold stay as they
// are.
TEST(DerivativeContext, LongListsFoldIntoIntermediates) {
  pushDerivativeContext(8);
  Active x[3];
  for (int i = 0; i < 3; ++i) {
    x[i].value() = 1.0 + i;
    x[i].setActive(i);
  }
  Active longer = 2.0 * x[0] + 3.0 * x[1] - x[2];
  Active shorter = x[0] * x[1];
  EXPECT_FALSE(longer.foldDerivatives()); // the context does not fold
  currentDerivativeContext().enableFolding(3);
  EXPECT_FALSE(shorter.foldDerivatives());
  EXPECT_FALSE(x[0].foldDerivatives());
  const double value = longer.value();
  ASSERT_TRUE(longer.foldDerivatives());
  EXPECT_EQ(longer.value(), value);
  ASSERT_EQ(longer.sparseDerivatives().size(), 1u);
  EXPECT_EQ(longer.derivative(8), 1.0);
  const auto &definitions = currentDerivativeContext().intermediates();
  ASSERT_EQ(definitions.size(), 1u);
  ASSERT_EQ(definitions[0].size(), 3u);
  EXPECT_EQ(definitions[0][1].direction, 1);
  EXPECT_EQ(definitions[0][1].derivative, 3.0);

  // A later number built on the folded one folds in its turn, and its
  // definition refers to the first intermediate.
  Active later = longer * x[2] + x[1];
  ASSERT_TRUE(later.foldDerivatives());
  EXPECT_EQ(later.derivative(9), 1.0);
  EXPECT_EQ(definitions[1].back().direction, 8);

  // The measure by the unknowns alone: zero exactly when the intermediates'
  // definitions cancel the rest, as for a value passed on unchanged.
  Active cancelled = longer - 2.0 * x[0] - 3.0 * x[1] + x[2];
  EXPECT_GT(cancelled.derivativeSum(), 0.0);
  EXPECT_EQ(cancelled.reducedDerivativeSum(), 0.0);
  Active remaining = longer - 2.0 * x[0];
  EXPECT_GT(remaining.reducedDerivativeSum(), 2.0); // 3 w1 - w2, weights in [1, 2)
  EXPECT_TRUE(later.holdsIntermediates());
  EXPECT_FALSE(shorter.holdsIntermediates());
  for (int i = 0; i < 3; ++i)
    x[i].setInactive(i);
  popDerivativeContext();
}

} // namespace
