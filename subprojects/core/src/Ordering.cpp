#include "velta/core/Ordering.h"

#include "velta/utility/Assert.h"

#include <limits>

Ordering::Ordering(std::vector<int> radices)
    : k_(static_cast<int>(radices.size())), m_(std::move(radices)), digits_(m_.size(), 0),
      work_(m_.size(), 0) {
  VELTA_ASSERT(k_ >= 1);
  VELTA_ASSERT(gridSize(m_) <= std::numeric_limits<int>::max());
}

Ordering::~Ordering() = default;

int Ordering::maxRound() const {
  if (k_ <= 0)
    return 0;
  int n = 1;
  for (int i = 0; i < k_; ++i)
    n *= m_[static_cast<std::size_t>(i)];
  return n;
}

int Ordering::encode(const std::vector<int> &digits) const {
  int r = digits[static_cast<std::size_t>(k_ - 1)];
  for (int i = k_ - 2; i >= 0; --i)
    r = r * m_[static_cast<std::size_t>(i)] + digits[static_cast<std::size_t>(i)];
  return r;
}

void Ordering::decode(int index, std::vector<int> &digits) const {
  for (std::size_t i = 0; i < static_cast<std::size_t>(k_); ++i) {
    digits[i] = index % m_[i];
    index /= m_[i];
  }
}

std::int64_t Ordering::gridSize(const std::vector<int> &radices) {
  // Saturates just above the 32-bit range, where a grid is refused anyway.
  constexpr std::int64_t beyond = std::int64_t{std::numeric_limits<int>::max()} + 1;
  if (radices.empty())
    return 0;
  std::int64_t n = 1;
  for (int m : radices) {
    VELTA_ASSERT(m >= 1);
    n *= m;
    if (n >= beyond)
      return beyond;
  }
  return n;
}
