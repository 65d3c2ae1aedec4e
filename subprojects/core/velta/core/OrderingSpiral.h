#pragma once
// Pseudo-spiral ("quasi-spiral"): from a start point, every next point is an
// unvisited point in the smallest box around the current point, the one
// nearest to the start (Chebyshev distance) first and, among equally near
// ones, the one of least grid index. The whole order is computed once by
// the constructor.

#include "velta/core/Ordering.h"

#include <map>
#include <set>
#include <utility>

class OrderingSpiral : public Ordering {
public:
  // start: grid index of round 0, 0 <= start < N.
  OrderingSpiral(std::vector<int> radices, int start);

  int index(int round) override;
  int next() override;
  int round(int index) override;
  const char *name() const override { return "pseudo-spiral"; }
  bool finished() const override;
  int start() const override { return start_; }
  int digit(int round, int variable) override;

  // Largest absolute digit difference of two grid indices.
  int distance(int a, int b);

private:
  // Collects the unvisited points of the box of radius_ around current_.
  void collectCandidates();

  int counter_ = 0;
  int start_;
  std::map<int, int> direct_;
  std::map<int, int> reverse_;
  int current_;
  int radius_ = 0;
  std::vector<std::pair<int, int>> candidates_;
  std::set<int> visited_;
  std::vector<int> lower_;
  std::vector<int> cursor_;
  std::vector<int> upper_;
};
