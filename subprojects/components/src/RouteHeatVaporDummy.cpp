#include "velta/components/RouteHeatVaporDummy.h"

#include "RouteSupport.h"

#include "velta/value/Constants.h"

namespace {
const Value &heatCapacity() {
  static const Value cp(20000.0, routeSupport::joulePerKmolKelvin);
  return cp;
}
} // namespace

Value RouteHeatVaporDummy::hv(const Value &T, const Value &) const {
  return Value(-2.41814e8, routeSupport::joulePerKmol) +
         heatCapacity() * (T - referenceTemperature);
}

Value RouteHeatVaporDummy::sv(const Value &T, const Value &P) const {
  routeSupport::requirePositiveTemperature("RouteHeatVaporDummy::sv", T);
  VELTA_ROUTE_ASSERT(referenceTemperature.value() > 0.0, "T0.toDouble() > 0.0");
  routeSupport::requirePositivePressure("RouteHeatVaporDummy::sv", P);
  VELTA_ROUTE_ASSERT(referencePressure.value() > 0.0, "P0.toDouble() > 0.0");
  return heatCapacity() * log(T / referenceTemperature) -
         gasConstant * log(P / referencePressure);
}

Value RouteHeatVaporDummy::cpv(const Value &, const Value &) const { return heatCapacity(); }
