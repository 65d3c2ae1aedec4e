#include "velta/core/OrderingSpiral.h"

#include "velta/utility/Assert.h"

#include <algorithm>
#include <cstdlib>

OrderingSpiral::OrderingSpiral(std::vector<int> radices, int start)
    : Ordering(std::move(radices)), start_(start), current_(start), lower_(m_.size()),
      cursor_(m_.size()), upper_(m_.size()) {
  const int n = maxRound();
  VELTA_ASSERT(start >= 0 && start < n);
  visited_.insert(start);
  direct_[0] = start;
  reverse_[start] = 0;
  for (int r = 1; r < n; ++r) {
    radius_ = 1;
    candidates_.clear();
    while (candidates_.empty()) {
      collectCandidates();
      radius_ += 1;
    }
    // Stable: among equally near candidates the least grid index wins.
    std::stable_sort(candidates_.begin(), candidates_.end(),
                     [](const auto &a, const auto &b) { return a.second < b.second; });
    current_ = candidates_.front().first;
    visited_.insert(current_);
    direct_[r] = current_;
    reverse_[current_] = r;
  }
  counter_ = 0;
  decode(start_, digits_);
}

void OrderingSpiral::collectCandidates() {
  decode(current_, digits_);
  for (std::size_t i = 0; i < static_cast<std::size_t>(k_); ++i) {
    lower_[i] = std::max(digits_[i] - radius_, 0);
    upper_[i] = std::min(digits_[i] + radius_ + 1, m_[i]);
  }
  cursor_ = lower_;
  // Odometer over the box, dimension 0 fastest: increasing grid index.
  for (;;) {
    const int x = encode(cursor_);
    if (!visited_.count(x))
      candidates_.emplace_back(x, distance(start_, x));
    std::size_t i = 0;
    cursor_[0] += 1;
    while (cursor_[i] >= upper_[i]) {
      cursor_[i] = lower_[i];
      i += 1;
      if (i == static_cast<std::size_t>(k_))
        return;
      cursor_[i] += 1;
    }
  }
}

int OrderingSpiral::distance(int a, int b) {
  decode(a, digits_);
  decode(b, work_);
  int largest = 0;
  for (std::size_t i = 0; i < static_cast<std::size_t>(k_); ++i)
    largest = std::max(largest, std::abs(digits_[i] - work_[i]));
  return largest;
}

int OrderingSpiral::index(int round) {
  const auto found = direct_.find(round);
  VELTA_ASSERT(found != direct_.end());
  return found->second;
}

int OrderingSpiral::round(int index) {
  const auto found = reverse_.find(index);
  VELTA_ASSERT(found != reverse_.end());
  return found->second;
}

int OrderingSpiral::next() {
  counter_ += 1;
  const auto found = direct_.find(counter_);
  if (found == direct_.end())
    return 0;
  decode(found->second, digits_);
  return found->second;
}

bool OrderingSpiral::finished() const { return counter_ >= maxRound(); }

int OrderingSpiral::digit(int round, int variable) {
  decode(index(round), digits_);
  return digits_[static_cast<std::size_t>(k_ - 1 - variable)];
}
