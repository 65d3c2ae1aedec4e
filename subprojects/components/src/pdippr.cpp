#include "velta/components/pdippr.h"

#include "RouteSupport.h"

#include "velta/components/RouteHeatVaporVolp.h"
#include "velta/components/RouteVolumeLiquidDippr.h"
#include "velta/components/RouteVolumeLiquidWater.h"
#include "velta/utility/Error.h"

pdippr::pdippr(const Value &dhvl0, const ParametersAntoine &antoine,
               ParametersLnPolynomial coefficients)
    : DipprBundle(dhvl0, antoine),
      vapor_(std::make_unique<RouteHeatVaporVolp>(this, std::move(coefficients))),
      liquid_(std::make_unique<RouteVolumeLiquidWater>(this)) {}

pdippr::pdippr(const Value &dhvl0, const ParametersAntoine &antoine,
               ParametersLnPolynomial coefficients, const ParametersDippr &dnldip)
    : DipprBundle(dhvl0, antoine),
      vapor_(std::make_unique<RouteHeatVaporVolp>(this, std::move(coefficients))),
      liquid_(std::make_unique<RouteVolumeLiquidDippr>(this, dnldip)) {}

pdippr::~pdippr() = default;

Value pdippr::psat(const Value &T, double *dpsatdT, double *d2psatdT2) const {
  VELTA_TRACE_BEGIN
  return computePsat(T, dpsatdT, d2psatdT2);
  VELTA_TRACE_END("pdippr::psat")
}

Value pdippr::dhvl(const Value &T, double *derT) const {
  VELTA_TRACE_BEGIN
  return computeDhvl("pdippr::dhvl", T, derT);
  VELTA_TRACE_END("pdippr::dhvl")
}

Value pdippr::hl(const Value &T, const Value &) const {
  VELTA_TRACE_BEGIN
  routeSupport::requireKelvin(T);
  const Value P1 = psat(T);
  VELTA_ROUTE_LOG(3, "pdippr::hl",
                  "p1 = " << P1 << " hv(TT, p1) = " << hv(T, P1) << " dhvl(TT) = " << dhvl(T));
  return hv(T, P1) - dhvl(T);
  VELTA_TRACE_END("pdippr::hl")
}

Value pdippr::sl(const Value &T, const Value &P) const {
  VELTA_TRACE_BEGIN
  return computeSl(T, P);
  VELTA_TRACE_END("pdippr::sl")
}

Value pdippr::cpl(const Value &T, const Value &) const {
  VELTA_TRACE_BEGIN
  return computeCpl("pdippr::cpl", T, true);
  VELTA_TRACE_END("pdippr::cpl")
}
