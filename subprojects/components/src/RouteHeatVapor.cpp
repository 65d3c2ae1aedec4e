#include "velta/components/RouteHeatVapor.h"

#include "RouteSupport.h"

#include "velta/utility/Error.h"

Value RouteHeatVapor::gv(const Value &T, const Value &P) const {
  VELTA_TRACE_BEGIN
  VELTA_ROUTE_LOG(1, "RouteHeatVapor::gv", "Entered");
  const Value s = sv(T, P);
  return hv(T, P) - T * s;
  VELTA_TRACE_END("RouteHeatVapor::gv")
}
