#include "velta/components/RouteHeatVaporDippr.h"

#include "RouteSupport.h"

#include "velta/utility/Error.h"
#include "velta/value/Constants.h"

#include <cmath>

namespace {

const double t0 = 298.15;

// Integral of the DIPPR 107 heat capacity over t, in this grouping.
template <class X> X enthalpyIntegral(const ParametersDippr &c, const X &t) {
  using std::exp;
  return c[0] * t + 4.0 * c[1] * c[2] * c[2] / (2.0 * c[2] * exp(2.0 * c[2] / t) - 2.0 * c[2]) +
         4.0 * c[3] * c[4] * c[4] / (2.0 * c[4] * exp(2.0 * c[4] / t) + 2.0 * c[4]);
}

// Integral of cp / t over t, in this grouping.
template <class X> X entropyIntegral(const ParametersDippr &c, const X &t) {
  using std::exp;
  using std::log;
  const double C1 = c[0], C2 = c[1], C3 = c[2], C4 = c[3], C5 = c[4];
  const X e3 = exp(2.0 * C3 / t);
  const X e5 = exp(2.0 * C5 / t);
  return C1 * log(t) +
         4.0 * C2 * C3 * C3 *
             (e3 / (2.0 * C3 * t * (e3 - 1.0)) - log(exp(C3 / t) + 1.0) / (4.0 * C3 * C3) -
              log(exp(C3 / t) - 1.0) / (4.0 * C3 * C3)) +
         4.0 * C4 * C5 * C5 *
             (log(e5 + 1.0) / (4.0 * C5 * C5) - e5 / (2.0 * C5 * t * (e5 + 1.0)));
}

} // namespace

RouteHeatVaporDippr::RouteHeatVaporDippr(const ComponentInterface *component,
                                         const ParametersDippr &cpig)
    : cpig_(cpig), component_(component) {}

Value RouteHeatVaporDippr::cpv(const Value &T, const Value &) const {
  VELTA_TRACE_BEGIN
  routeSupport::requireKelvin(T);
  routeSupport::requirePositiveTemperature("RouteHeatVaporDippr::cpv", T);
  const double C1 = cpig_[0], C2 = cpig_[1], C3 = cpig_[2], C4 = cpig_[3], C5 = cpig_[4];
  if (C2 == 0.0)
    return Value(C1, routeSupport::joulePerKmolKelvin);
  const Value t = routeSupport::reduced(T);
  const Value a = (C3 / t) / sinh(C3 / t);
  const Value b = (C5 / t) / cosh(C5 / t);
  Value cp = C1 + C2 * a * a + C4 * b * b;
  cp.setUnits(routeSupport::joulePerKmolKelvin);
  return cp;
  VELTA_TRACE_END("RouteHeatVaporDippr::cpv")
}

Value RouteHeatVaporDippr::hv(const Value &T, const Value &P) const {
  VELTA_TRACE_BEGIN
  VELTA_ROUTE_LOG(1, "RouteHeatVaporDippr::hv", "Entered with T = " << T);
  routeSupport::requireKelvin(T);
  routeSupport::requirePascal(P);
  // The closed form divides by t: no enthalpy at or below 0 K.
  routeSupport::requirePositiveTemperature("RouteHeatVaporDippr::hv", T);
  const Value t = routeSupport::reduced(T);
  Value dh;
  if (cpig_[1] != 0.0)
    dh = enthalpyIntegral(cpig_, t) - enthalpyIntegral(cpig_, t0);
  else
    dh = cpig_[0] * (t - t0);
  VELTA_ROUTE_LOG(2, "RouteHeatVaporDippr::hv", "Done, hv - dh0 = " << dh << " J/kmol");
  dh.setUnits(routeSupport::joulePerKmol);
  return dh + component_->dh0();
  VELTA_TRACE_END("RouteHeatVaporDippr::hv")
}

Value RouteHeatVaporDippr::sv(const Value &T, const Value &P) const {
  VELTA_TRACE_BEGIN
  routeSupport::requirePositiveTemperature("RouteHeatVaporDippr::sv", T);
  routeSupport::requirePositivePressure("RouteHeatVaporDippr::sv", P);
  VELTA_ROUTE_ASSERT(std::exp(2 * cpig_[4] / t0) + 1 > 0.0, "exp(2 * cpig_[4] / t0) + 1 > 0.0");
  VELTA_ROUTE_ASSERT(std::exp(cpig_[2] / t0) + 1 > 0.0, "exp(cpig_[2] / t0) + 1 > 0.0");
  routeSupport::requireKelvin(T);
  routeSupport::requirePascal(P);
  const Value t = routeSupport::reduced(T);
  Value ds;
  if (cpig_[1] != 0.0)
    ds = entropyIntegral(cpig_, t) - entropyIntegral(cpig_, t0);
  else
    ds = cpig_[0] * log(t / t0);
  ds = ds - 8314.4 * log(P / referencePressure);
  ds.setUnits(routeSupport::joulePerKmolKelvin);
  return ds + (component_->dh0() - component_->dg0()) / referenceTemperature;
  VELTA_TRACE_END("RouteHeatVaporDippr::sv")
}
