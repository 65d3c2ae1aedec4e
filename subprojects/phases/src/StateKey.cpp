#include "velta/phases/StateKey.h"

#include "velta/value/DerivativeContext.h"

#include <algorithm>

namespace Phase {

bool sameNumber(const Active &a, const Active &b) {
  if (a.value() != b.value())
    return false;
  if (Active::sparseMode()) {
    const auto &x = a.sparseDerivatives(), &y = b.sparseDerivatives();
    return std::equal(x.begin(), x.end(), y.begin(), y.end(), [](const auto &p, const auto &q) {
      return p.direction == q.direction && p.derivative == q.derivative;
    });
  }
  for (int i = 0; i < numdir; ++i)
    if (a.derivative(i) != b.derivative(i))
      return false;
  return true;
}

bool StateKey::matches(std::initializer_list<const Value *> scalars, const Vector *x) const {
  const int entries = x ? x->size() : 0;
  if (!recorded_ || directions_ != numdir ||
      numbers_.size() != scalars.size() + static_cast<std::size_t>(entries))
    return false;
  std::size_t k = 0;
  for (const Value *scalar : scalars)
    if (!sameNumber(numbers_[k++], scalar->activeValue()))
      return false;
  for (int i = 0; i < entries; ++i)
    if (!sameNumber(numbers_[k++], (*x)[i].activeValue()))
      return false;
  return true;
}

void StateKey::record(std::initializer_list<const Value *> scalars, const Vector *x) {
  const int entries = x ? x->size() : 0;
  numbers_.resize(scalars.size() + static_cast<std::size_t>(entries));
  std::size_t k = 0;
  for (const Value *scalar : scalars)
    numbers_[k++] = scalar->activeValue();
  for (int i = 0; i < entries; ++i)
    numbers_[k++] = (*x)[i].activeValue();
  directions_ = numdir;
  recorded_ = true;
}

} // namespace Phase
