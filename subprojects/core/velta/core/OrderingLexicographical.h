#pragma once
// Rounds in grid-index order: dimension 0 changes fastest.

#include "velta/core/Ordering.h"

class OrderingLexicographical : public Ordering {
public:
  explicit OrderingLexicographical(std::vector<int> radices);

  int index(int round) override { return round; }
  int next() override;
  int round(int index) override { return index; }
  const char *name() const override { return "lexicographical ordering"; }
  bool finished() const override;
  int digit(int round, int variable) override;

private:
  int counter_ = 0;
};
