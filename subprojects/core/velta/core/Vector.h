#pragma once
// A non-owning view over either a vector of values or a vector of Quantity
// variables, so that property code reads and sums both alike without
// copying. Copying a view copies the pointer.

#include "velta/persistency/Quantity.h"
#include "velta/utility/Assert.h"
#include "velta/value/Value.h"

#include <vector>

class Vector {
public:
  explicit Vector(std::vector<Value> *v) : v_(v), q_(nullptr) { VELTA_ASSERT(v_ || q_); }
  explicit Vector(std::vector<Quantity> *q) : v_(nullptr), q_(q) { VELTA_ASSERT(v_ || q_); }

  // Element i (the value part of Quantity i); no bounds check. Writing
  // through it changes the viewed vector.
  Value &operator[](int i) const {
    VELTA_ASSERT(v_ || q_);
    if (v_)
      return (*v_)[static_cast<std::size_t>(i)];
    return (*q_)[static_cast<std::size_t>(i)];
  }

  int size() const;

  // Sum of the elements in order, starting from a dimensionless zero: the
  // elements must be dimensionless, else ErrorUnit "incompatible units".
  Value sum() const;

private:
  std::vector<Value> *v_;
  std::vector<Quantity> *q_;
};
