#include "velta/units/BeggsBrill.h"

#include <cmath>

namespace BeggsBrill {

Value boundaryL1(const Value &lambda) {
  const Value X = log(lambda);
  return exp(-4.62 - 3.757 * X - 0.481 * X * X - 0.0207 * X * X * X);
}

Value boundaryL2(const Value &lambda) {
  const Value X = log(lambda);
  const Value X2 = X * X;
  return exp(1.061 - 4.602 * X - 1.609 * X2 - 0.179 * X2 * X + 0.000635 * X2 * X2 * X);
}

Holdup holdup(const Value &lambda, const Value &Fr, const Value &NLv, const Value &theta) {
  Holdup result;
  result.L1 = boundaryL1(lambda);
  result.L2 = boundaryL2(lambda);
  // Horizontal holdup a lambda^b / Fr^c.
  double a = 0.845, b = 0.5351, c = 0.0173;
  if (Fr < result.L1) {
    result.pattern = "segregated";
    a = 0.98, b = 0.4846, c = 0.0868;
    result.C = (1.0 - lambda) *
               log(0.011 * pow(NLv, 3.539) / (pow(lambda, 3.768) * pow(Fr, 1.614)));
  } else if (Fr > result.L1 && Fr > result.L2) {
    result.pattern = "distributed";
    a = 1.065, b = 0.5824, c = 0.0609;
    result.C = Value(0.0);
  } else {
    result.pattern = "intermittent";
    result.C = (1.0 - lambda) *
               log(2.96 * pow(lambda, 0.305) * pow(Fr, 0.0978) / pow(NLv, 0.4473));
  }
  result.hL0 = a * pow(lambda, b) / pow(Fr, c);
  if (theta.value() < 0.0) // every descending flow
    result.C = (1.0 - lambda) *
               log(4.7 * pow(NLv, 0.1244) / (pow(lambda, 0.3692) * pow(Fr, 0.5056)));
  if (result.C.value() < 0.0)
    result.C = Value(0.0);
  if (result.hL0 < lambda)
    result.hL0 = lambda;
  const Value s = sin(1.8 * theta);
  result.psi = 1.0 + result.C * (s - s * s * s / 3.0);
  result.hL = result.hL0 * result.psi;
  if (result.hL.value() > 1.0)
    result.hL = Value(1.0);
  if (result.hL.value() < 0.0)
    result.hL = Value(0.0);
  return result;
}

Value frictionExponent(const Value &y) {
  if (y.value() > 1.0 && y.value() < 1.2)
    return log(2.2 * y - 1.2);
  if (std::fabs(y.value()) < 0.01)
    return 16.0 * y;
  const Value l = log(y);
  const Value l2 = l * l;
  return l / (-0.0523 + 3.182 * l - 0.8725 * l2 + 0.01853 * l2 * l2);
}

} // namespace BeggsBrill
