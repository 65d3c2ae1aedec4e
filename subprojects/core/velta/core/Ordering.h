#pragma once
// Numbering of the points of a mixed-radix grid by rounds 0 to N - 1.
//
// A grid has k dimensions with radices m(0) .. m(k-1), each at least 1; a
// point is a list of digits d(i) < m(i), and its grid index is the
// mixed-radix number with digit 0 least significant:
//     index = d(0) + m(0) * (d(1) + m(1) * (d(2) + ...)).
// N, the product of the radices, must stay below 2^31 (see gridSize).
//
// An ordering answers, for a round, the grid index it visits and the digit
// of each dimension; next/finished iterate over rounds 1, 2, ...
// independently of the rounds asked through index and digit (which reuse
// the working digits). Variables are counted from the most significant
// dimension: variable j is dimension k - 1 - j.

#include <cstdint>
#include <vector>

class Ordering {
public:
  // Needs at least one radix and every radix at least 1, with a product
  // below 2^31 (broken precondition otherwise: callers validate inputs).
  explicit Ordering(std::vector<int> radices);
  Ordering(const Ordering &) = delete;
  Ordering &operator=(const Ordering &) = delete;
  virtual ~Ordering();

  virtual int index(int round) = 0;
  // Advances to the next round and returns its grid index.
  virtual int next() = 0;
  virtual int round(int index) = 0;
  virtual const char *name() const = 0;
  virtual bool finished() const = 0;
  // Grid index of round 0.
  virtual int start() const { return 0; }
  // Digit of variable j (dimension k - 1 - j) at the point of round r.
  virtual int digit(int round, int variable) = 0;

  // N, the number of grid points (0 without dimensions).
  int maxRound() const;
  int encode(const std::vector<int> &digits) const;
  void decode(int index, std::vector<int> &digits) const;

  // The product of the radices computed without overflow, so that callers
  // can refuse grids that do not fit a 32-bit index.
  static std::int64_t gridSize(const std::vector<int> &radices);

protected:
  int k_;
  std::vector<int> m_;
  std::vector<int> digits_;
  std::vector<int> work_;
};
