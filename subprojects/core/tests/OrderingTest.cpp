// The three numberings of grid points, against the sequences worked out by
// hand in the comments (grid index = d(0) + m(0) * d(1) + ...).
#include "velta/core/OrderingLexicographical.h"
#include "velta/core/OrderingReflectedGray.h"
#include "velta/core/OrderingSpiral.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <set>
#include <utility>

namespace {

std::vector<int> indices(Ordering &ordering) {
  std::vector<int> result;
  for (int r = 0; r < ordering.maxRound(); ++r)
    result.push_back(ordering.index(r));
  return result;
}

// (d(0), d(1)) of every round through digit(): variable 1 is dimension 0.
std::vector<std::pair<int, int>> digitPairs(Ordering &ordering) {
  std::vector<std::pair<int, int>> result;
  for (int r = 0; r < ordering.maxRound(); ++r)
    result.emplace_back(ordering.digit(r, 1), ordering.digit(r, 0));
  return result;
}

using Pairs = std::vector<std::pair<int, int>>;

TEST(Ordering, LexicographicalThreeByTwo) {
  OrderingLexicographical ordering({3, 2});
  EXPECT_EQ(ordering.maxRound(), 6);
  EXPECT_STREQ(ordering.name(), "lexicographical ordering");
  EXPECT_EQ(indices(ordering), (std::vector<int>{0, 1, 2, 3, 4, 5}));
  EXPECT_EQ(digitPairs(ordering), (Pairs{{0, 0}, {1, 0}, {2, 0}, {0, 1}, {1, 1}, {2, 1}}));
  EXPECT_EQ(ordering.round(4), 4);
  EXPECT_EQ(ordering.digit(5, 0), 1);
  EXPECT_EQ(ordering.digit(5, 1), 2);
  EXPECT_EQ(ordering.start(), 0);
}

TEST(Ordering, ReflectedGrayThreeByTwo) {
  OrderingReflectedGray ordering({3, 2});
  EXPECT_EQ(ordering.maxRound(), 6);
  EXPECT_STREQ(ordering.name(), "reflected mixed-radix Gray code");
  EXPECT_EQ(indices(ordering), (std::vector<int>{0, 1, 2, 5, 4, 3}));
  EXPECT_EQ(digitPairs(ordering), (Pairs{{0, 0}, {1, 0}, {2, 0}, {2, 1}, {1, 1}, {0, 1}}));
  EXPECT_EQ(ordering.round(5), 3);
  EXPECT_EQ(ordering.digit(5, 0), 1);
  EXPECT_EQ(ordering.digit(5, 1), 0);
  EXPECT_EQ(ordering.start(), 0);
}

// next() from a fresh ordering walks rounds 1 .. N - 1; finished() turns
// true only on the call after the last round. (index() reuses the digits
// that next() advances, so the expected indices come from a twin.)
TEST(Ordering, IteratorsWalkTheRounds) {
  const std::vector<std::function<std::unique_ptr<Ordering>()>> makers{
      [] { return std::make_unique<OrderingLexicographical>(std::vector<int>{3, 2}); },
      [] { return std::make_unique<OrderingReflectedGray>(std::vector<int>{3, 2}); },
      [] { return std::make_unique<OrderingReflectedGray>(std::vector<int>{2, 3, 4}); },
      [] { return std::make_unique<OrderingSpiral>(std::vector<int>{3, 3}, 4); }};
  for (const auto &make : makers) {
    const std::unique_ptr<Ordering> ordering = make();
    SCOPED_TRACE(ordering->name());
    const std::vector<int> expected = indices(*make());
    const int n = ordering->maxRound();
    for (int r = 1; r < n; ++r) {
      EXPECT_EQ(ordering->next(), expected[static_cast<std::size_t>(r)]) << "round " << r;
      EXPECT_FALSE(ordering->finished());
    }
    ordering->next();
    EXPECT_TRUE(ordering->finished());
  }
}

// Gray: consecutive rounds differ by one step in one digit, every point is
// visited once, and round() inverts index().
TEST(Ordering, ReflectedGrayStepsAndInverse) {
  for (const std::vector<int> &radices : std::vector<std::vector<int>>{
           {3, 2}, {2, 2, 2}, {2, 3, 2, 3}, {4, 3, 5}, {5, 4}, {1, 3, 1}, {7}}) {
    OrderingReflectedGray ordering(radices);
    OrderingLexicographical plain(radices);
    const int n = ordering.maxRound();
    std::set<int> seen;
    for (int r = 0; r < n; ++r) {
      const int x = ordering.index(r);
      seen.insert(x);
      EXPECT_EQ(ordering.round(x), r);
      if (r > 0) {
        int changed = 0;
        for (int j = 0; j < static_cast<int>(radices.size()); ++j)
          changed += std::abs(ordering.digit(r, j) - ordering.digit(r - 1, j));
        EXPECT_EQ(changed, 1) << "round " << r;
      }
      for (int j = 0; j < static_cast<int>(radices.size()); ++j)
        EXPECT_EQ(ordering.digit(r, j), plain.digit(x, j));
    }
    EXPECT_EQ(static_cast<int>(seen.size()), n);
  }
}

TEST(Ordering, SpiralWorkedSequences) {
  // (3, 3) from (1, 1): the centre, then the ring in order of grid index
  // within each box, each step to the nearest unvisited neighbour.
  OrderingSpiral small({3, 3}, 4);
  EXPECT_STREQ(small.name(), "pseudo-spiral");
  EXPECT_EQ(small.start(), 4);
  EXPECT_EQ(indices(small), (std::vector<int>{4, 0, 1, 2, 5, 7, 3, 6, 8}));
  EXPECT_EQ(digitPairs(small), (Pairs{{1, 1}, {0, 0}, {1, 0}, {2, 0}, {2, 1}, {1, 2}, {0, 1},
                                      {0, 2}, {2, 2}}));
  EXPECT_EQ(small.round(7), 5);

  OrderingSpiral large({4, 5}, 12);
  EXPECT_EQ(indices(large), (std::vector<int>{12, 8, 9, 13, 16, 17, 14, 10, 5, 4, 0, 1, 6, 2,
                                              3, 7, 11, 15, 18, 19}));
  for (int r = 0; r < large.maxRound(); ++r)
    EXPECT_EQ(large.round(large.index(r)), r);
  EXPECT_EQ(large.distance(12, 17), 1); // (0, 3) to (1, 4)
  EXPECT_EQ(large.distance(12, 19), 3); // (0, 3) to (3, 4)
  EXPECT_EQ(large.distance(12, 3), 3);
}

TEST(Ordering, SinglePointGrids) {
  OrderingLexicographical lexicographical({1});
  OrderingReflectedGray gray({1});
  OrderingSpiral spiral({1}, 0);
  for (Ordering *ordering : std::vector<Ordering *>{&lexicographical, &gray, &spiral}) {
    SCOPED_TRACE(ordering->name());
    EXPECT_EQ(ordering->maxRound(), 1);
    EXPECT_EQ(ordering->index(0), 0);
    EXPECT_EQ(ordering->digit(0, 0), 0);
  }
}

TEST(Ordering, EncodeDecodeAndGridSize) {
  OrderingLexicographical ordering({4, 3, 5});
  std::vector<int> digits(3);
  // 2 + 4 * (1 + 3 * 4) = 54
  ordering.decode(54, digits);
  EXPECT_EQ(digits, (std::vector<int>{2, 1, 4}));
  EXPECT_EQ(ordering.encode(digits), 54);
  EXPECT_EQ(Ordering::gridSize({999, 999, 999}), 997002999);
  EXPECT_EQ(Ordering::gridSize({999, 999, 999, 999}), 2147483648);
  EXPECT_EQ(Ordering::gridSize({}), 0);
}

} // namespace
