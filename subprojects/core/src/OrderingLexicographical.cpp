#include "velta/core/OrderingLexicographical.h"

OrderingLexicographical::OrderingLexicographical(std::vector<int> radices)
    : Ordering(std::move(radices)) {}

int OrderingLexicographical::next() {
  counter_ += 1;
  decode(counter_, digits_);
  return counter_;
}

bool OrderingLexicographical::finished() const { return counter_ >= maxRound(); }

int OrderingLexicographical::digit(int round, int variable) {
  decode(round, digits_);
  return digits_[static_cast<std::size_t>(k_ - 1 - variable)];
}
