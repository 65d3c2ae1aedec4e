#include "velta/core/Vector.h"

#include "velta/value/Constants.h"

int Vector::size() const {
  VELTA_ASSERT(v_ || q_);
  return static_cast<int>(v_ ? v_->size() : q_->size());
}

Value Vector::sum() const {
  VELTA_ASSERT(v_ || q_);
  Value total(dimensionlessZero);
  const int n = size();
  for (int i = 0; i < n; ++i)
    total += (*this)[i];
  return total;
}
