#pragma once
// Extrapolation of a slowly converging direct substitution (the dominant
// eigenvalue method). When the last steps of the assignments point the same
// way and shrink by a steady ratio r, the remaining distance to the fixed
// point is about r / (1 - r) times the last step: the accelerator adds that
// multiple of the step to every left-hand side at once, so the state moves
// along the slow mode as a whole and stays a consistent state. A variable
// that is not negative is never made negative: the common multiple is cut
// back instead.

#include "velta/flowsheet/SequentialAssembly.h"

#include <vector>

class SubstitutionAccelerator {
public:
  // After the step of iteration k: records it and, when the ratio of the
  // last steps is steady, extrapolates. Returns the multiple applied (0 for
  // none).
  double afterStep(SequentialAssembly::AssignmentList &assignments, int k);
  // Forgets the history (a new sequential solution).
  void reset();

private:
  // Each step relative to its variable, so that enthalpies, pressures and
  // flows weigh alike.
  static std::vector<double> relativeSteps(const SequentialAssembly::AssignmentList &assignments);
  static double largestMultiple(const SequentialAssembly::AssignmentList &assignments,
                                double multiple);

  std::vector<double> previous_;
  double previousRatio_ = 0.0;
  int lastExtrapolation_ = -1000;
};
