#include "velta/core/Jacobian.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

namespace {

// Second-difference matrix tridiag(-1, 2, -1), filled column by column.
void fillSecondDifference(Jacobian &J, int n) {
  for (int c = 0; c < n; ++c)
    for (int r = std::max(0, c - 1); r <= std::min(n - 1, c + 1); ++r)
      J.set(r, c, r == c ? 2.0 : -1.0);
}

} // namespace

TEST(Jacobian, OneByOne) {
  Jacobian J;
  J.resize(1);
  J.set(0, 0, 2.0);
  std::vector<double> b{4.0};
  EXPECT_EQ(J.solve(b.data()), 0);
  EXPECT_DOUBLE_EQ(b[0], 2.0);
}

// A single zero or non-finite entry is singular, not a step of infinite length.
TEST(Jacobian, OneByOneSingular) {
  for (double a : {0.0, std::numeric_limits<double>::quiet_NaN(),
                   std::numeric_limits<double>::infinity()}) {
    Jacobian J;
    J.resize(1);
    J.set(0, 0, a);
    double b = 4.0;
    EXPECT_EQ(J.solve(&b), 6) << a;
  }
}

TEST(Jacobian, PivotingExchangesRows) {
  Jacobian J;
  J.resize(2);
  J.set(0, 1, 1.0);
  J.set(1, 0, 1.0);
  std::vector<double> b{3.0, 5.0};
  EXPECT_EQ(J.solve(b.data()), 0);
  EXPECT_DOUBLE_EQ(b[0], 5.0);
  EXPECT_DOUBLE_EQ(b[1], 3.0);
}

TEST(Jacobian, DenseZeroColumnIsSingularType1) {
  Jacobian J;
  J.resize(3);
  for (int r = 0; r < 3; ++r) {
    J.set(r, 0, r + 1.0);
    J.set(r, 2, 1.0 - r);
  }
  std::vector<double> b{1.0, 2.0, 3.0};
  EXPECT_EQ(J.solve(b.data()), 6);
}

TEST(Jacobian, SparseFormAboveLimit) {
  Jacobian J;
  J.resize(99);
  EXPECT_FALSE(J.isSparse());
  J.resize(150);
  EXPECT_TRUE(J.isSparse());
  EXPECT_EQ(J.size(), 150);
  EXPECT_EQ(J.capacity(), 2250); // 150 * 150 / 10
  J.set(3, 4, 1.5);
  J.clear();
  EXPECT_EQ(J.storedEntries(), 0);
  EXPECT_EQ(J.element(3, 4), 0.0);
  EXPECT_EQ(J.element(-1, 4), 0.0);
  EXPECT_EQ(J.element(3, 150), 0.0);
}

// A large system reserves room proportional to n, not to n squared.
TEST(Jacobian, LargeSparseRoomIsLinear) {
  Jacobian J;
  J.resize(50000);
  EXPECT_EQ(J.capacity(), 16 * 50000);
}

// tridiag(-1, 2, -1) x = b with b = (1, 0, ..., 0, 1) has the solution x = 1
// (every interior row sums to 0, the end rows to 1), in both storage forms.
TEST(Jacobian, SecondDifferenceSystem) {
  for (int n : {50, 150}) {
    Jacobian J;
    J.resize(n);
    fillSecondDifference(J, n);
    std::vector<double> b(n, 0.0);
    b.front() = b.back() = 1.0;
    ASSERT_EQ(J.solve(b.data()), 0) << n;
    for (int i = 0; i < n; ++i)
      EXPECT_NEAR(b[i], 1.0, 1e-9) << "n = " << n << " i = " << i;
  }
}

TEST(Jacobian, SparseInsertIntoEarlierColumn) {
  const int n = 120;
  Jacobian J;
  J.resize(n);
  fillSecondDifference(J, n);
  const int before = J.storedEntries();
  J.set(7, 2, 0.25); // absent entry of an early column
  J.set(3, 3, 5.0);  // existing entry: overwritten in place
  EXPECT_EQ(J.storedEntries(), before + 1);
  EXPECT_EQ(J.element(7, 2), 0.25);
  EXPECT_EQ(J.element(3, 3), 5.0);
  for (int c = 3; c < n; ++c) {
    for (int r = std::max(0, c - 1); r <= std::min(n - 1, c + 1); ++r) {
      if (r != c || c != 3) {
        ASSERT_EQ(J.element(r, c), r == c ? 2.0 : -1.0) << r << "," << c;
      }
    }
  }
  J.set(9, 2, 0.0); // an absent zero needs no storage
  EXPECT_EQ(J.storedEntries(), before + 1);
}

TEST(Jacobian, SparseZeroColumnFailsFactorisation) {
  const int n = 100;
  Jacobian J;
  J.resize(n);
  for (int c = 0; c < n; ++c)
    if (c != 40)
      J.set(c, c, 1.0);
  std::vector<double> b(n, 1.0);
  EXPECT_EQ(J.solve(b.data()), 1);
}

// g = J^T f: for [[1, 2], [3, 4]] and f = (1, 10), g = (31, 42).
TEST(Jacobian, TransposedProduct) {
  for (int n : {2, 100}) {
    Jacobian J;
    J.resize(n);
    J.set(0, 0, 1.0);
    J.set(1, 0, 3.0);
    J.set(0, 1, 2.0);
    J.set(1, 1, 4.0);
    std::vector<double> f(n, 0.0), g(n, -1.0);
    f[0] = 1.0;
    f[1] = 10.0;
    J.multiplyTransposed(f.data(), g.data());
    EXPECT_EQ(g[0], 31.0);
    EXPECT_EQ(g[1], 42.0);
    for (int i = 2; i < n; ++i)
      EXPECT_EQ(g[i], 0.0);
  }
}

namespace {

// A torn flowsheet's Jacobian in miniature: `blocks` blocks of three
// unknowns, each coupled within itself like a unit with its recycle, and
// every block depending on all blocks before it like units downstream of
// others; rows and columns are then shuffled by fixed permutations so that
// the solver has to find the block triangular form itself. With
// singularBlock >= 0 that block is [[1, 1, 0], [1, 1, 0], [0, 0, 1]].
void fillChain(Jacobian &J, int blocks, int singularBlock = -1) {
  const int n = 3 * blocks;
  auto row = [n](int r) { return (r * 37 + 11) % n; }; // a permutation when gcd(37, n) = 1
  std::vector<int> unshuffled(n);                      // column c goes to (53 c + 5) mod n
  for (int c = 0; c < n; ++c)
    unshuffled[(c * 53 + 5) % n] = c;
  for (int target = 0; target < n; ++target) // columns in stored order: cheap appends
    for (int r = 0, c = unshuffled[target]; r < n; ++r) {
      const int rb = r / 3, cb = c / 3, ri = r % 3, ci = c % 3;
      double v = 0.0;
      if (rb == cb && rb == singularBlock) {
        static const double singular[3][3] = {{1, 1, 0}, {1, 1, 0}, {0, 0, 1}};
        v = singular[ri][ci];
      } else if (rb == cb) {
        static const double coupled[3][3] = {{4, 1, 0}, {1, 5, 2}, {0, 1, 3}};
        v = coupled[ri][ci] * (1.0 + rb / 100.0);
      } else if (rb > cb) {
        v = 0.01 * ((r * 7 + c * 3) % 11 - 5);
      }
      if (v != 0.0)
        J.set(row(r), target, v);
    }
}

} // namespace

// The sparse form solves a block triangular system block by block: with
// b = A x for a known x, the solve gives x back, for a matrix of many
// diagonal blocks (120 and 300 unknowns); SecondDifferenceSystem covers a
// sparse matrix that is one block.
TEST(Jacobian, SparseBlockTriangularSolveGivesTheKnownSolution) {
  for (int blocks : {40, 100}) {
    Jacobian J;
    const int n = 3 * blocks;
    J.resize(n);
    fillChain(J, blocks);
    std::vector<double> x(n), b(n, 0.0);
    for (int i = 0; i < n; ++i)
      x[i] = 1.0 + i % 7;
    for (int c = 0; c < n; ++c)
      for (int r = 0; r < n; ++r)
        b[r] += J.element(r, c) * x[c];
    ASSERT_EQ(J.solve(b.data()), 0) << n;
    for (int i = 0; i < n; ++i)
      ASSERT_NEAR(b[i], x[i], 1e-10 * x[i]) << "n = " << n << " i = " << i;
  }
}

// A numerically singular diagonal block fails the factorisation like a
// singular whole matrix does; so does a zero 1 x 1 block, and a NaN one
// (which the whole-matrix LU gets).
TEST(Jacobian, SparseSingularDiagonalBlockFailsFactorisation) {
  Jacobian J;
  J.resize(150);
  fillChain(J, 50, 17);
  std::vector<double> b(150, 1.0);
  EXPECT_EQ(J.solve(b.data()), 1);
  for (double a : {0.0, std::numeric_limits<double>::quiet_NaN()}) {
    Jacobian D;
    D.resize(120);
    for (int c = 0; c < 120; ++c) {
      D.set(c, c, c == 60 ? 1.0 : 2.0);
      if (c > 0)
        D.set(c, c - 1, 1.0); // lower bidiagonal: 120 blocks of one
    }
    D.set(60, 60, a); // stays stored, so the matrix keeps its structure
    std::vector<double> rhs(120, 1.0);
    EXPECT_EQ(D.solve(rhs.data()), 1) << a;
  }
}
