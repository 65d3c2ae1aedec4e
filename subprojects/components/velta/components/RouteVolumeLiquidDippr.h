#pragma once
// Liquid molar density from DIPPR equation 105:
//   rho = C1 / C2^(1 + (1 - T/C3)^C4)  kmol/m3
// inside (Tmin, Tmax), held at the value of the nearer bound outside.

#include "velta/components/ComponentInterface.h"
#include "velta/components/ParametersDippr.h"
#include "velta/components/RouteVolumeLiquid.h"

class RouteVolumeLiquidDippr : public virtual RouteVolumeLiquid {
public:
  // component may be null here; the owning component points it at itself.
  RouteVolumeLiquidDippr(const ComponentInterface *component, const ParametersDippr &dnldip);

  // P is not used. Outside the range the value is a constant (derT = 0).
  Value rhol(const Value &T, const Value &P, double *derT = nullptr) const override;

  void setComponent(const ComponentInterface *component) { component_ = component; }

private:
  double densityAt(double t) const;

  ParametersDippr dnldip_;
  const ComponentInterface *component_; // not owned
};
