#pragma once
// Saturation route: vapour pressure and heat of vaporisation of a pure
// component. Derivative outputs are plain numbers written only when the
// pointer is not null.

#include "velta/value/Value.h"

class RouteSaturation {
public:
  virtual ~RouteSaturation() = default;

  // Vapour pressure in Pa; dpsatdT in Pa/K, d2psatdT2 in Pa/K2.
  virtual Value psat(const Value &T, double *dpsatdT = nullptr,
                     double *d2psatdT2 = nullptr) const = 0;
  // Heat of vaporisation in J/kmol; derT = d(dhvl)/dT in J/(kmol*K).
  virtual Value dhvl(const Value &T, double *derT = nullptr) const = 0;
};
