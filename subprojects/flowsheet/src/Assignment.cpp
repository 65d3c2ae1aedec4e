#include "velta/flowsheet/Assignment.h"

#include "velta/core/ValueHelpers.h"
#include "velta/utility/Error.h"
#include "velta/value/Constants.h"

#include <cmath>

Assignment::Assignment(Value *lhs, const Value &rhs, std::string tagText)
    : tag(std::move(tagText)), LHSP(lhs), RHS(rhs) {
  VELTA_LOG(verbosity(), 1, "Assignment::Assignment",
            "Entered with tag = " << tag << " RHS = " << RHS);
}

Assignment::~Assignment() = default;

double Assignment::delta() const {
  const Value diff = RHS - oldLHS;
  const Value mean = (RHS + oldLHS) * 0.5;
  VELTA_LOG(verbosity(), 2, "Assignment::delta",
            "[" << tag << "] oldLHS = " << oldLHS << " RHS = " << RHS
                << " diff = " << std::fabs(diff.value()));
  return std::fabs(diff.value()) / (std::fabs(mean.value()) + 1.0);
}

void Assignment::directstep(double damping, double maxRelativeStep) {
  static const char *const name = "Assignment::directstep";
  VELTA_TRACE_BEGIN
  Value &lhs = *LHSP;
  Value step = (RHS - lhs) * (1.0 - damping);
  if (!(maxRelativeStep == 1.0))
    clipSymmetric(step, lhs * maxRelativeStep);
  const Value updated = lhs + step;
  VELTA_LOG(verbosity(), 2, name,
            "setting " << tag << " = " << updated << " was = " << lhs << " and before that "
                       << oldLHS);
  oldLHS = lhs;
  lhs = updated;
  VELTA_TRACE_END(name)
}

void Assignment::wegsteinstep() {
  static const char *const name = "Assignment::wegsteinstep";
  VELTA_TRACE_BEGIN
  Value &lhs = *LHSP;
  // Plain value comparisons: the old RHS has no units before the first
  // refresh; the quotient below checks the units.
  const bool lhsMoved = oldLHS.value() != lhs.value();
  const bool rhsMoved = oldRHS.value() != RHS.value();
  if (lhsMoved && rhsMoved) {
    const Value psi = (oldRHS - RHS) / (oldLHS - lhs);
    const Value q =
        psi.value() == 1.0 ? dimensionlessZero : (dimensionlessZero - psi) / (dimensionlessOne - psi);
    VELTA_LOG(verbosity(), 2, name, "directstep would have been = " << RHS);
    VELTA_LOG(verbosity(), 2, name, "q = " << q << " psi = " << psi);
    const Value updated = q * lhs + (dimensionlessOne - q) * RHS;
    oldLHS = lhs;
    lhs = updated;
  } else {
    directstep(0.0, 1.0);
  }
  VELTA_LOG(verbosity(), 2, name, "setting " << tag << " = " << lhs);
  VELTA_TRACE_END(name)
}
