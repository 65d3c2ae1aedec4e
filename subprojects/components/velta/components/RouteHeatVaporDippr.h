#pragma once
// Ideal-gas heat properties from the DIPPR equation 107 heat capacity
//   cp = C1 + C2 [(C3/T)/sinh(C3/T)]^2 + C4 [(C5/T)/cosh(C5/T)]^2  (J/(kmol*K)),
// integrated in closed form. Reference state: hv = dh0 at 298.15 K and
// sv = (dh0 - dg0)/298.15 K at 298.15 K and 101325 Pa.

#include "velta/components/ComponentInterface.h"
#include "velta/components/ParametersDippr.h"
#include "velta/components/RouteHeatVapor.h"

class RouteHeatVaporDippr : public virtual RouteHeatVapor {
public:
  // component may be null here; the owning component points it at itself
  // before use.
  RouteHeatVaporDippr(const ComponentInterface *component, const ParametersDippr &cpig);

  Value hv(const Value &T, const Value &P) const override;
  Value sv(const Value &T, const Value &P) const override;
  Value cpv(const Value &T, const Value &P) const override;

  void setComponent(const ComponentInterface *component) { component_ = component; }

private:
  ParametersDippr cpig_;
  const ComponentInterface *component_; // not owned
};
