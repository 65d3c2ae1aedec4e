#include "velta/components/RouteVolumeVaporDummy.h"

#include "RouteSupport.h"

double RouteVolumeVaporDummy::pv(double, double, double *dPdrho, double *dPdT) const {
  if (dPdrho)
    *dPdrho = 0.0;
  if (dPdT)
    *dPdT = 0.0;
  return 0.0;
}

Value RouteVolumeVaporDummy::rhov(const Value &, const Value &, double *drhodT,
                                  double *drhodP) const {
  if (drhodT)
    *drhodT = 0.0;
  if (drhodP)
    *drhodP = 0.0;
  return Value(1.0, routeSupport::kmolPerCubicMetre);
}
