#include "velta/core/IterationHistory.h"
#include "velta/core/Vector.h"

#include "velta/value/DerivativeContext.h"
#include "velta/value/ErrorUnit.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

TEST(Vector, SumsValuesAndQuantitiesAlike) {
  pushDerivativeContext(3);
  std::vector<Value> values{Value(0.2), Value(0.3), Value(0.5)};
  for (int i = 0; i < 3; ++i)
    values[static_cast<std::size_t>(i)].activeValue().setDerivative(i, i + 1.0);
  const Value total = Vector(&values).sum();
  EXPECT_DOUBLE_EQ(total.value(), 1.0);
  EXPECT_EQ(total.units(), dimensionless);
  for (int i = 0; i < 3; ++i)
    EXPECT_EQ(total.activeValue().derivative(i), i + 1.0);
  popDerivativeContext();

  std::vector<Value> empty;
  const Value zero = Vector(&empty).sum();
  EXPECT_EQ(zero.value(), 0.0);
  EXPECT_EQ(zero.units(), dimensionless);

  std::vector<Value> flows{Value(1.0, "kmol/s"), Value(2.0, "kmol/s")};
  EXPECT_THROW(Vector(&flows).sum(), ErrorUnit);

  std::vector<Quantity> x;
  x.emplace_back("x[0]", "mole fraction", 0.25, "", nullptr);
  x.emplace_back("x[1]", "mole fraction", 0.75, "", nullptr);
  const Vector view(&x);
  EXPECT_DOUBLE_EQ(view.sum().value(), 1.0);
  view[1] = Value(0.5);
  EXPECT_EQ(x[1].value(), 0.5);
}

TEST(IterationHistory, RowsHoldTheAbscissaAndTheWatchedValues) {
  IterationHistory history("test");
  history.addSample(7);
  ASSERT_EQ(history.sampleCount(), 1u);
  EXPECT_EQ(history.sample(0), std::vector<double>{7.0});

  Value watched(3.0, "K");
  history.watch(&watched, "T");
  history.addSample(8);
  EXPECT_EQ(history.sample(1), (std::vector<double>{8.0, 3.0}));

  EXPECT_EQ(sequentialIterations().name(), "Sequential iterations");
  EXPECT_EQ(simultaneousIterations().name(), "Simultaneous iterations");
}

} // namespace
