#include "velta/persistency/PrecedenceLocks.h"

#include "velta/utility/Assert.h"

namespace {

constexpr std::size_t bitsPerWord = 32;

} // namespace

PrecedenceLockTable::PrecedenceLockTable() : words_(MAXLOCKS / bitsPerWord, 0u) {}

bool PrecedenceLockTable::isTaken(int lock) const {
  VELTA_ASSERT(lock >= 0 && lock < MAXLOCKS);
  const auto n = static_cast<std::size_t>(lock);
  return (words_[n / bitsPerWord] >> (n % bitsPerWord)) & 1u;
}

void PrecedenceLockTable::take(int lock) {
  VELTA_ASSERT(lock >= 0 && lock < MAXLOCKS);
  const auto n = static_cast<std::size_t>(lock);
  words_[n / bitsPerWord] |= 1u << (n % bitsPerWord);
}

void PrecedenceLockTable::release(int lock) {
  VELTA_ASSERT(lock >= 0 && lock < MAXLOCKS);
  const auto n = static_cast<std::size_t>(lock);
  words_[n / bitsPerWord] &= ~(1u << (n % bitsPerWord));
}

PrecedenceLockTable &precedenceLocks() {
  static PrecedenceLockTable table;
  return table;
}
