#pragma once
// The vapour as an ideal gas: rho = P / (R T), with R = 8314.4 J/(kmol*K).

#include "velta/components/ComponentInterface.h"
#include "velta/components/RouteVolumeVapor.h"

class RouteVolumeVaporIdeal : public virtual ComponentInterface, public virtual RouteVolumeVapor {
public:
  // Densities of 1e6 kmol/m3 and above are taken as 1e6 kmol/m3.
  double pv(double rho, double T, double *dPdrho = nullptr,
            double *dPdT = nullptr) const override;
  Value rhov(const Value &T, const Value &P, double *drhodT = nullptr,
             double *drhodP = nullptr) const override;
};
