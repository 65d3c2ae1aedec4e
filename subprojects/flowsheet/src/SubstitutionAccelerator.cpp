#include "velta/flowsheet/SubstitutionAccelerator.h"

#include <algorithm>
#include <cmath>

namespace {

// Ratios below this converge well enough by substitution alone.
constexpr double slowestWorthTheJump = 0.5;
// Two successive ratios this close count as the steady ratio of one mode.
constexpr double steadiness = 0.02;
// The ratio estimate needs fresh steps after a jump.
constexpr int stepsBetweenJumps = 4;
// No jump further than this many times the last step (r = 0.98).
constexpr double largestJump = 50.0;
// A non-negative variable keeps at least this share of its value.
constexpr double keptShare = 0.1;

} // namespace

void SubstitutionAccelerator::reset() {
  previous_.clear();
  previousRatio_ = 0.0;
  lastExtrapolation_ = -1000;
}

std::vector<double>
SubstitutionAccelerator::relativeSteps(const SequentialAssembly::AssignmentList &assignments) {
  std::vector<double> steps;
  steps.reserve(assignments.size());
  for (const auto &a : assignments) {
    const double x = a->LHSP->value();
    steps.push_back((x - a->oldLHS.value()) / (std::fabs(x) + 1.0));
  }
  return steps;
}

double
SubstitutionAccelerator::largestMultiple(const SequentialAssembly::AssignmentList &assignments,
                                         double multiple) {
  for (const auto &a : assignments) {
    const double x = a->LHSP->value();
    const double step = x - a->oldLHS.value();
    if (x >= 0.0 && a->oldLHS.value() >= 0.0 && step < 0.0)
      multiple = std::min(multiple, (1.0 - keptShare) * x / -step);
  }
  return std::max(multiple, 0.0);
}

double SubstitutionAccelerator::afterStep(SequentialAssembly::AssignmentList &assignments, int k) {
  std::vector<double> steps = relativeSteps(assignments);
  if (previous_.size() != steps.size()) {
    previous_ = std::move(steps);
    return 0.0;
  }
  double along = 0.0, before = 0.0;
  for (std::size_t i = 0; i < steps.size(); ++i) {
    along += steps[i] * previous_[i];
    before += previous_[i] * previous_[i];
  }
  const double ratio = before > 0.0 ? along / before : 0.0;
  const bool steady = std::fabs(ratio - previousRatio_) < steadiness;
  previousRatio_ = ratio;
  previous_ = std::move(steps);
  if (!steady || ratio <= slowestWorthTheJump || ratio >= 1.0 ||
      k - lastExtrapolation_ < stepsBetweenJumps)
    return 0.0;
  const double multiple =
      largestMultiple(assignments, std::min(ratio / (1.0 - ratio), largestJump));
  for (auto &a : assignments) {
    const double step = a->LHSP->value() - a->oldLHS.value();
    a->LHSP->activeValue().value() += multiple * step;
  }
  lastExtrapolation_ = k;
  previous_.clear();
  return multiple;
}
