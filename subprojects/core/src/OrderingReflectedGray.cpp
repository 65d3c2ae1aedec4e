#include "velta/core/OrderingReflectedGray.h"

OrderingReflectedGray::OrderingReflectedGray(std::vector<int> radices)
    : Ordering(std::move(radices)) {
  m_.push_back(m_.back());
  digits_.push_back(0);
  directions_.assign(m_.size(), 1);
  work_.assign(work_.size(), 0);
}

int OrderingReflectedGray::next() {
  std::size_t i = 0;
  int v = digits_[0] + directions_[0];
  while (i < static_cast<std::size_t>(k_) && (v < 0 || v >= m_[i])) {
    directions_[i] = -directions_[i];
    i += 1;
    v = digits_[i] + directions_[i];
  }
  digits_[i] = v;
  return encode(digits_);
}

bool OrderingReflectedGray::finished() const {
  return digits_[static_cast<std::size_t>(k_)] != 0;
}

int OrderingReflectedGray::index(int round) {
  decode(round, digits_);
  // A digit runs backwards when the plain number formed by the digits above
  // it is odd.
  int above = 0;
  for (int i = k_ - 1; i >= 0; --i) {
    const auto u = static_cast<std::size_t>(i);
    work_[u] = above % 2 != 0 ? m_[u] - 1 - digits_[u] : digits_[u];
    above = above * m_[u] + digits_[u];
  }
  return encode(work_);
}

int OrderingReflectedGray::round(int index) {
  decode(index, digits_);
  int sum = 0;
  for (int i = k_ - 1; i >= 0; --i) {
    const auto u = static_cast<std::size_t>(i);
    work_[u] = sum % 2 != 0 ? m_[u] - 1 - digits_[u] : digits_[u];
    sum += digits_[u];
  }
  return encode(work_);
}

int OrderingReflectedGray::digit(int round, int variable) {
  index(round);
  return work_[static_cast<std::size_t>(k_ - 1 - variable)];
}
