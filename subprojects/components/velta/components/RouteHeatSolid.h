#pragma once
// Solid heat route: enthalpy (J/kmol), entropy and heat capacity
// (J/(kmol*K)) of the pure solid at T (K) and P (Pa).

#include "velta/utility/Diagnostic.h"
#include "velta/value/Value.h"

class RouteHeatSolid : public virtual Diagnostic {
public:
  virtual Value hs(const Value &T, const Value &P) const = 0;
  virtual Value ss(const Value &T, const Value &P) const = 0;
  virtual Value cps(const Value &T, const Value &P) const = 0;

  // Molar Gibbs energy hs - T ss, J/kmol.
  Value gs(const Value &T, const Value &P) const;
};
