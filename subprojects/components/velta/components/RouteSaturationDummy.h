#pragma once
// Placeholder saturation route for components without vapour-liquid
// equilibrium: psat = 0 Pa, dhvl = 500 kcal/kmol, derivatives 0.

#include "velta/components/RouteSaturation.h"

class RouteSaturationDummy : public virtual RouteSaturation {
public:
  Value psat(const Value &T, double *dpsatdT = nullptr,
             double *d2psatdT2 = nullptr) const override;
  Value dhvl(const Value &T, double *derT = nullptr) const override;
};
