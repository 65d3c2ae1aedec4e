#pragma once
// The state a kept result was computed at: numbers with their derivatives,
// so that a model can tell cheaply whether the result still belongs to the
// state it is asked for. Equal values are not enough: the same state met
// under other derivatives (a Jacobian evaluation after a plain one) needs
// the result with those derivatives.

#include "velta/core/Vector.h"
#include "velta/value/Value.h"

#include <initializer_list>
#include <vector>

namespace Phase {

// Equal value and equal derivatives in every direction of the current
// derivative context (in sparse mode the stored lists, which may hold
// folded intermediates beyond the context's unknowns).
bool sameNumber(const Active &a, const Active &b);

class StateKey {
public:
  // Whether the scalars, then the entries of x, are those last recorded,
  // under a derivative context of the same size. False before any record.
  bool matches(std::initializer_list<const Value *> scalars, Vector x) const {
    return matches(scalars, &x);
  }
  bool matches(std::initializer_list<const Value *> scalars) const {
    return matches(scalars, nullptr);
  }
  void record(std::initializer_list<const Value *> scalars, Vector x) { record(scalars, &x); }
  void record(std::initializer_list<const Value *> scalars) { record(scalars, nullptr); }
  // No state: the next matches is false.
  void forget() { recorded_ = false; }

private:
  bool matches(std::initializer_list<const Value *> scalars, const Vector *x) const;
  void record(std::initializer_list<const Value *> scalars, const Vector *x);

  bool recorded_ = false;
  int directions_ = 0;
  std::vector<Active> numbers_;
};

} // namespace Phase
