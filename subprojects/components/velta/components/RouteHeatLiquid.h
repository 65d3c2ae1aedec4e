#pragma once
// Liquid heat route: enthalpy (J/kmol), entropy and heat capacity
// (J/(kmol*K)) of the pure liquid at T (K) and P (Pa).

#include "velta/utility/Diagnostic.h"
#include "velta/value/Value.h"

class RouteHeatLiquid : public virtual Diagnostic {
public:
  virtual Value hl(const Value &T, const Value &P) const = 0;
  virtual Value sl(const Value &T, const Value &P) const = 0;
  virtual Value cpl(const Value &T, const Value &P) const = 0;
};
