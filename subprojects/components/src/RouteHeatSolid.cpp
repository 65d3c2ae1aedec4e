#include "velta/components/RouteHeatSolid.h"

#include "RouteSupport.h"

#include "velta/utility/Error.h"

Value RouteHeatSolid::gs(const Value &T, const Value &P) const {
  VELTA_TRACE_BEGIN
  VELTA_ROUTE_LOG(1, "RouteHeatSolid::gs", "Entered");
  const Value s = ss(T, P);
  return hs(T, P) - T * s;
  VELTA_TRACE_END("RouteHeatSolid::gs")
}
