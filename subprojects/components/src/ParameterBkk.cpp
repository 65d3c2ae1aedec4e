#include "velta/components/ParameterBkk.h"

#include "velta/utility/Assert.h"

namespace {
const char *const sourceFile = "subprojects/components/src/ParameterBkk";
}

const ParameterBkk emptyParameterBkk;

ParameterBkk::ParameterBkk(double xmin, double xmax, double c0, double c1, double c2, double c3,
                           double c4, double c5, double c6, double c7) {
  VELTA_ASSERT_AS(xmin <= xmax, "xmin <= xmax", sourceFile, __LINE__);
  VELTA_ASSERT_AS(xmin >= 0.0, "xmin >= 0.0", sourceFile, __LINE__);
  VELTA_ASSERT_AS(xmax >= 0.0, "xmax >= 0.0", sourceFile, __LINE__);
  VELTA_ASSERT_AS(xmax <= 5000.0, "xmax <= 5000.0", sourceFile, __LINE__);
  c_[0] = c0;
  c_[1] = c1;
  c_[2] = c2;
  c_[3] = c3;
  c_[4] = c4;
  c_[5] = c5;
  c_[6] = c6;
  c_[7] = c7;
  xmin_ = xmin;
  xmax_ = xmax;
  if (xmin != xmax) {
    cpMin_ = evaluate(heatCapacity, Active(xmin)).value();
    cpMax_ = evaluate(heatCapacity, Active(xmax)).value();
    hMin_ = evaluate(enthalpy, Active(xmin)).value();
    hMax_ = evaluate(enthalpy, Active(xmax)).value();
    sMin_ = evaluate(entropy, Active(xmin)).value();
    sMax_ = evaluate(entropy, Active(xmax)).value();
  }
}

Active ParameterBkk::evaluate(int kind, const Active &x) const {
  VELTA_ASSERT_AS(x.value() <= xmax_, "x.val() <= xmax_", sourceFile, __LINE__);
  VELTA_ASSERT_AS(x.value() >= xmin_, "x.val() >= xmin_", sourceFile, __LINE__);
  const Active x2 = x * x;
  const Active x3 = x2 * x;
  switch (kind) {
  case gibbs:
    return c_[0] + c_[1] * x + c_[2] * x * log(x) + c_[3] * x2 + c_[4] * x3 + c_[5] * x3 * x +
           c_[6] / x + c_[7] / x2;
  case entropy:
    return -c_[1] - c_[2] * (1.0 + log(x)) - 2.0 * c_[3] * x - 3.0 * c_[4] * x2 -
           4.0 * c_[5] * x3 + c_[6] / x2 + 2.0 * c_[7] / x3;
  case enthalpy:
    return c_[0] - c_[2] * x - c_[3] * x2 - 2.0 * c_[4] * x3 - 3.0 * c_[5] * x3 * x +
           2.0 * c_[6] / x + 3.0 * c_[7] / x2;
  case heatCapacity:
    return -c_[2] - 2.0 * c_[3] * x - 6.0 * c_[4] * x2 - 12.0 * c_[5] * x3 - 2.0 * c_[6] / x2 -
           6.0 * c_[7] / x3;
  default:
    return Active(0.0);
  }
}

Active ParameterBkk::extrapolate(int kind, const Active &x, double bound, double cp, double h,
                                 double s) const {
  switch (kind) {
  case heatCapacity:
    return Active(cp);
  case enthalpy:
    return h + cp * (x - bound);
  case entropy:
    return s + cp * log(x / bound);
  case gibbs:
    // Kept consistent with the continued enthalpy and entropy: g = h - T s.
    return (h + cp * (x - bound)) - x * (s + cp * log(x / bound));
  default:
    return Active(0.0);
  }
}

Active ParameterBkk::extrapolateAbove(int kind, const Active &x) const {
  VELTA_ASSERT_AS(x.value() >= xmax_, "x.val() >= xmax_", sourceFile, __LINE__);
  return extrapolate(kind, x, xmax_, cpMax_, hMax_, sMax_);
}

Active ParameterBkk::extrapolateBelow(int kind, const Active &x) const {
  VELTA_ASSERT_AS(x.value() <= xmin_, "x.val() <= xmin_", sourceFile, __LINE__);
  return extrapolate(kind, x, xmin_, cpMin_, hMin_, sMin_);
}

bool ParameterBkk::operator==(const ParameterBkk &other) const {
  if (xmin_ != other.xmin_ || xmax_ != other.xmax_)
    return false;
  for (int i = 0; i < 8; ++i)
    if (c_[i] != other.c_[i])
      return false;
  return true;
}
