#include "velta/components/dippr.h"

#include "RouteSupport.h"

#include "velta/utility/Error.h"

dippr::dippr(const Value &dhvl0, const ParametersAntoine &antoine) : DipprBundle(dhvl0, antoine) {
  RouteHeatVaporDippr::setComponent(this);
  RouteVolumeLiquidDippr::setComponent(this);
}

Value dippr::psat(const Value &T, double *dpsatdT, double *d2psatdT2) const {
  VELTA_TRACE_BEGIN
  return computePsat(T, dpsatdT, d2psatdT2);
  VELTA_TRACE_END("dippr::psat")
}

Value dippr::dhvl(const Value &T, double *derT) const {
  VELTA_TRACE_BEGIN
  return computeDhvl("dippr::dhvl", T, derT);
  VELTA_TRACE_END("dippr::dhvl")
}

Value dippr::hl(const Value &T, const Value &) const {
  VELTA_TRACE_BEGIN
  VELTA_ROUTE_LOG(1, "dippr::hl", "Entered with T = " << T);
  routeSupport::requireKelvin(T);
  const Value P1 = psat(T);
  VELTA_ROUTE_LOG(2, "dippr::hl",
                  "psat = " << P1 << " hv = " << hv(T, P1) << " dhvl = " << dhvl(T));
  return hv(T, P1) - dhvl(T);
  VELTA_TRACE_END("dippr::hl")
}

Value dippr::sl(const Value &T, const Value &P) const {
  VELTA_TRACE_BEGIN
  return computeSl(T, P);
  VELTA_TRACE_END("dippr::sl")
}

Value dippr::cpl(const Value &T, const Value &) const {
  VELTA_TRACE_BEGIN
  return computeCpl("dippr::cpl", T, false);
  VELTA_TRACE_END("dippr::cpl")
}
