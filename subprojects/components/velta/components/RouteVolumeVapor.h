#pragma once
// Vapour volume route: pressure from molar density and temperature (plain
// numbers) and the vapour molar density (kmol/m3) at T (K) and P (Pa).

#include "velta/value/Value.h"

class RouteVolumeVapor {
public:
  virtual ~RouteVolumeVapor() = default;

  // rho in kmol/m3, T in K; result in Pa; dPdrho in Pa*m3/kmol, dPdT in Pa/K.
  virtual double pv(double rho, double T, double *dPdrho = nullptr,
                    double *dPdT = nullptr) const = 0;
  // drhodT in kmol/(m3*K), drhodP in kmol/(m3*Pa).
  virtual Value rhov(const Value &T, const Value &P, double *drhodT = nullptr,
                     double *drhodP = nullptr) const = 0;
};
