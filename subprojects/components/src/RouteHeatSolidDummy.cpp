#include "velta/components/RouteHeatSolidDummy.h"

#include "RouteSupport.h"

namespace {
const Value &waterHeatCapacity() {
  static const Value cp = Value(4186.8, "J/(kg*K)") * Value(18.0, "kg/kmol");
  return cp;
}
} // namespace

Value RouteHeatSolidDummy::hs(const Value &T, const Value &) const {
  return waterHeatCapacity() * T;
}

Value RouteHeatSolidDummy::ss(const Value &T, const Value &) const {
  // The logarithm needs T > 0; below, a solver step or an input went wrong.
  routeSupport::requirePositiveTemperature("RouteHeatSolidDummy::ss", T);
  return waterHeatCapacity() * log(T / Value(1.0, routeSupport::kelvin));
}

Value RouteHeatSolidDummy::cps(const Value &, const Value &) const { return waterHeatCapacity(); }
