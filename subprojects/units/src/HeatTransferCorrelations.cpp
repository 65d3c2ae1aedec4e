#include "velta/units/HeatTransferCorrelations.h"

#include <cmath>

namespace HeatTransferCorrelations {

double dukler(double Re, double Pr) {
  if (Pr < 0.5 || Pr > 10.0)
    return 0.0;
  // Rows A0..A3, coefficients of x^4 down to x^0.
  static const double a[4][5] = {
      {-0.0406225, 0.240238, -0.404618, 0.0271973, 1.27346},
      {0.0133009, -0.0839349, 0.176594, -0.0694313, -0.611585},
      {-0.00157213, 0.0101763, -0.0239206, 0.0184078, 0.0551427},
      {7.51577e-05, -0.000453168, 0.00105621, -0.000855002, -0.00144767}};
  const double x = std::log(Pr);
  const double y = std::log(Re);
  double A[4];
  for (int k = 0; k < 4; ++k) {
    A[k] = a[k][0];
    for (int j = 1; j < 5; ++j)
      A[k] = A[k] * x + a[k][j];
  }
  return std::exp(((A[3] * y + A[2]) * y + A[1]) * y + A[0]) -
         (0.253126 + 0.0135191 * Pr - 0.000337906 * Pr * Pr);
}

double kunzYerazunis(double Re, double Pr) {
  if (!(Re >= 10.0 && Re <= 100000.0 && Pr >= 1.0 && Pr <= 1000.0))
    return 0.0;
  const double a = std::log10(Re);
  const double p = std::log10(Pr);
  const double A1 = (-0.613718 + 0.047577 * p - 0.112754 * p * p) * a +
                    (0.614201 - 0.0809519 * p + 0.197783 * p * p);
  const double A2 = (0.290747 + 0.0140499 * p - 0.00307804 * p * p) * a +
                    (-1.0811 + 0.127306 * p + 0.0255274 * p * p);
  // An arctangent step between the low- and high-Reynolds lines; the
  // chart's own nine-decimal pi.
  const double w = std::atan((a - (2.44218 - 1.15207 * p)) * (0.439599 + 0.286347 * p)) /
                   3.14159265;
  return std::pow(10.0, (0.5 - w) * A1 + (0.5 + w) * A2);
}

} // namespace HeatTransferCorrelations
