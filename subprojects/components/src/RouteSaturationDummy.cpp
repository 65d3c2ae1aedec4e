#include "velta/components/RouteSaturationDummy.h"

#include "RouteSupport.h"

Value RouteSaturationDummy::psat(const Value &, double *dpsatdT, double *d2psatdT2) const {
  if (dpsatdT)
    *dpsatdT = 0.0;
  if (d2psatdT2)
    *d2psatdT2 = 0.0;
  return Value(0.0, routeSupport::pascal);
}

Value RouteSaturationDummy::dhvl(const Value &, double *derT) const {
  static const Value fixed(500.0, "kcal/kmol");
  if (derT)
    *derT = 0.0;
  return fixed;
}
