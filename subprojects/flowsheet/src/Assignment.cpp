#include "velta/flowsheet/Assignment.h"

#include "velta/utility/Error.h"
#include "velta/value/Constants.h"

#include <algorithm>
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

double Assignment::magnitude() const {
  return std::max(std::fabs(LHSP->value()), std::fabs(RHS.value()));
}

double Assignment::limitFactor(double maxRelativeStep, double reference) const {
  // 1.0 means no limit. The limit is a share of the larger of the two ends,
  // so a variable near zero (an enthalpy near 0 J/kmol, a flow about to
  // appear) still moves by at least half that share of its distance.
  if (maxRelativeStep == 1.0)
    return 1.0;
  const double distance = std::fabs(RHS.value() - LHSP->value());
  const double allowed = maxRelativeStep * reference;
  return distance > allowed ? allowed / distance : 1.0;
}

void Assignment::directstep(double damping, double maxRelativeStep) {
  advance((1.0 - damping) * limitFactor(maxRelativeStep, magnitude()));
}

void Assignment::advance(double fraction) {
  static const char *const name = "Assignment::directstep";
  VELTA_TRACE_BEGIN
  Value &lhs = *LHSP;
  const Value updated = lhs + (RHS - lhs) * fraction;
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
