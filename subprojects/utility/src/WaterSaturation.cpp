#include "velta/utility/WaterSaturation.h"

#include <cmath>

double waterSaturationTemperature(double P) {
  if (P > 2.2055e7)
    return 647.096;
  // 1/T as a cubic polynomial of ln(P), fitted to the saturation curve.
  constexpr double c0 = 0.00471683;
  constexpr double c1 = -0.000148349;
  constexpr double c2 = -2.76373e-06;
  constexpr double c3 = 2.55258e-08;
  const double L = std::log(P);
  return 1.0 / (((c3 * L + c2) * L + c1) * L + c0);
}
