#include "velta/components/RouteVolumeSolidDummy.h"

#include "RouteSupport.h"

Value RouteVolumeSolidDummy::rhos(const Value &, const Value &, double *derT) const {
  if (derT)
    *derT = 0.0;
  return Value(rhos_, routeSupport::kmolPerCubicMetre);
}
