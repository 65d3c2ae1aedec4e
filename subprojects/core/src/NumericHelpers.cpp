#include "velta/core/NumericHelpers.h"

#include <cmath>

bool nearlyEqual(double a, double b, double c) {
  return (std::fabs(a + b) + c) * c > std::fabs(a - b);
}
