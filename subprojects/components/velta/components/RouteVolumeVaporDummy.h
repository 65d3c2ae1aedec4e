#pragma once
// Placeholder vapour volume route: pv = 0, rhov = 1 kmol/m3, derivatives 0.

#include "velta/components/RouteVolumeVapor.h"

class RouteVolumeVaporDummy : public virtual RouteVolumeVapor {
public:
  double pv(double rho, double T, double *dPdrho = nullptr,
            double *dPdT = nullptr) const override;
  Value rhov(const Value &T, const Value &P, double *drhodT = nullptr,
             double *drhodP = nullptr) const override;
};
