#pragma once
// Vapour heat route: enthalpy (J/kmol), entropy and heat capacity
// (J/(kmol*K)) of the pure vapour at T (K) and P (Pa).

#include "velta/utility/Diagnostic.h"
#include "velta/value/Value.h"

class RouteHeatVapor : public virtual Diagnostic {
public:
  virtual Value hv(const Value &T, const Value &P) const = 0;
  virtual Value sv(const Value &T, const Value &P) const = 0;
  virtual Value cpv(const Value &T, const Value &P) const = 0;

  // Molar Gibbs energy hv - T sv, J/kmol.
  Value gv(const Value &T, const Value &P) const;
};
