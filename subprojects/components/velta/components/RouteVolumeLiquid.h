#pragma once
// Liquid volume route: the liquid molar density (kmol/m3) at T (K) and
// P (Pa); derT = drho/dT in kmol/(m3*K).

#include "velta/utility/Diagnostic.h"
#include "velta/value/Value.h"

class RouteVolumeLiquid : public virtual Diagnostic {
public:
  virtual Value rhol(const Value &T, const Value &P, double *derT = nullptr) const = 0;
};
