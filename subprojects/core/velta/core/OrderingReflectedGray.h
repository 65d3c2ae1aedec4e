#pragma once
// Reflected mixed-radix Gray code ("boustrophedon"): dimension 0 sweeps back
// and forth while the higher dimensions step, so that consecutive rounds
// differ by one step in one digit.
//
// The digit list carries one more (overflow) digit: next sets it when the
// carry passes the last dimension, which ends the iteration.

#include "velta/core/Ordering.h"

class OrderingReflectedGray : public Ordering {
public:
  explicit OrderingReflectedGray(std::vector<int> radices);

  int index(int round) override;
  int next() override;
  int round(int index) override;
  const char *name() const override { return "reflected mixed-radix Gray code"; }
  bool finished() const override;
  int digit(int round, int variable) override;

private:
  std::vector<int> directions_;
};
