#pragma once
// Pseudo vapour pressure of a Henry's-law component:
//   ps = A / (k 18.0153 exp(B (1/T - 1/T0))),  T0 = 298.15 K,
// with k and B (K) the Henry record's elements and A in Pa. Derivatives
// with respect to T are carried through; T must be a temperature.

#include "velta/components/ParametersHenry.h"
#include "velta/value/Constants.h"
#include "velta/value/Value.h"

namespace componentDippr {

inline Value henryPressure(const ParametersHenry &henry, const Value &T, double pascals) {
  const double kScaled = henry[0] * 18.0153;
  const Value B(henry[1], "K");
  return Value(pascals, "Pa") / (kScaled * exp(B * (1.0 / T - 1.0 / referenceTemperature)));
}

} // namespace componentDippr
