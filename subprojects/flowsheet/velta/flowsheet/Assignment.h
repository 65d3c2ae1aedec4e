#pragma once
// One equation LHS := RHS of a flowsheet: the left-hand side is a variable
// somewhere in the flowsheet's tree (not owned), the right-hand side a value
// the flowsheet computes from its current state at every assembly. The
// sequential loop steps it by direct substitution or by Wegstein's method;
// the simultaneous solution uses (LHS - RHS) * scale as a residual.

#include "velta/utility/Diagnostic.h"
#include "velta/value/Value.h"

#include <cstddef>
#include <string>

class Assignment : public Diagnostic {
public:
  Assignment(Value *lhs, const Value &rhs, std::string tag);
  ~Assignment() override;

  // |RHS - oldLHS| / (|(RHS + oldLHS) / 2| + 1): 0 until the first step.
  double delta() const;
  // LHS += (RHS - LHS) * (1 - damping), the step clamped to
  // max(|LHS|, |RHS|) * maxRelativeStep unless that is exactly 1.
  void directstep(double damping, double maxRelativeStep);
  // LHS += (RHS - LHS) * fraction; oldLHS keeps the value it had.
  void advance(double fraction);
  // max(|LHS|, |RHS|).
  double magnitude() const;
  // The share of the step (RHS - LHS) that stays within maxRelativeStep
  // times reference (1 when maxRelativeStep is 1).
  double limitFactor(double maxRelativeStep, double reference) const;
  // LHS := q LHS + (1 - q) RHS with q = -psi / (1 - psi) from the last two
  // steps; a plain substitution while there is no history.
  void wegsteinstep();

  std::string tag;
  Value *LHSP;
  Value RHS;
  Value oldLHS;
  Value oldRHS;
  Value scale;
  std::string text;
  // Its place in the flowsheet's list of assignments (the index of its
  // enable flag), so that no residual evaluation has to search the list.
  std::size_t index = 0;
  // The assignments of one torn stream share a group (its number in the
  // assembly), so that a limited step moves them by the same share: an
  // enthalpy and a composition that belong together stay together. -1 for
  // an assignment of its own.
  int group = -1;
};
