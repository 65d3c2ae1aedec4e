#pragma once
// Solid volume route: the solid molar density (kmol/m3) at T (K) and
// P (Pa); derT = drho/dT in kmol/(m3*K).

#include "velta/value/Value.h"

class RouteVolumeSolid {
public:
  virtual ~RouteVolumeSolid() = default;

  virtual Value rhos(const Value &T, const Value &P, double *derT = nullptr) const = 0;
};
