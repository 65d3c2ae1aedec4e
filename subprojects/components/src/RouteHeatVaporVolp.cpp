#include "velta/components/RouteHeatVaporVolp.h"

#include "RouteSupport.h"

#include "velta/utility/Error.h"
#include "velta/value/Constants.h"

#include <cmath>

namespace {

const double t0 = 298.15;

ParametersLnPolynomial enthalpyPolynomial(const ParametersLnPolynomial &c) {
  ParametersLnPolynomial d(c);
  // d5 = c5, dk = ck - (k + 1) d(k+1): d/dt [t sum dk x^k] = sum ck x^k.
  for (int k = 4; k >= 0; --k)
    d[k] = c[k] - (k + 1) * d[k + 1];
  return d;
}

ParametersLnPolynomial entropyPolynomial(const ParametersLnPolynomial &c) {
  VELTA_ROUTE_ASSERT(t0 > 0.0, "t0 > 0.0");
  const double x0 = std::log(t0);
  std::vector<double> s(7);
  double s0 = 0.0;
  double x0Power = 1.0;
  for (int i = 0; i < 6; ++i) {
    s[i + 1] = c[i] / (i + 1);
    s0 += s[i + 1] * x0Power;
    x0Power *= x0;
  }
  s[0] = -x0 * s0;
  return ParametersLnPolynomial(s);
}

} // namespace

RouteHeatVaporVolp::RouteHeatVaporVolp(const ComponentInterface *component,
                                       ParametersLnPolynomial coefficients)
    : cpPoly_(std::move(coefficients)), hPoly_(enthalpyPolynomial(cpPoly_)),
      sPoly_(entropyPolynomial(cpPoly_)), component_(component) {}

Value RouteHeatVaporVolp::cpv(const Value &T, const Value &) const {
  VELTA_TRACE_BEGIN
  routeSupport::requirePositiveTemperature("RouteHeatVaporVolp::cpv", T);
  return Value(1000.0 * cpPoly_(T.value()), routeSupport::joulePerKmolKelvin);
  VELTA_TRACE_END("RouteHeatVaporVolp::cpv")
}

Value RouteHeatVaporVolp::hv(const Value &T, const Value &) const {
  VELTA_TRACE_BEGIN
  routeSupport::requireKelvin(T);
  routeSupport::requirePositiveTemperature("RouteHeatVaporVolp::hv", T);
  const Value t = routeSupport::reduced(T);
  Value dh = 1000.0 * (t * hPoly_(t) - t0 * hPoly_(t0));
  dh.setUnits(routeSupport::joulePerKmol);
  return dh + component_->dh0();
  VELTA_TRACE_END("RouteHeatVaporVolp::hv")
}

Value RouteHeatVaporVolp::sv(const Value &T, const Value &P) const {
  VELTA_TRACE_BEGIN
  routeSupport::requirePositivePressure("RouteHeatVaporVolp::sv", P);
  routeSupport::requireKelvin(T);
  routeSupport::requirePositiveTemperature("RouteHeatVaporVolp::sv", T);
  const Value t = routeSupport::reduced(T);
  Value ds = 1000.0 * sPoly_(t) - 8314.4 * log(P / referencePressure);
  ds.setUnits(routeSupport::joulePerKmolKelvin);
  return ds + (component_->dh0() - component_->dg0()) / referenceTemperature;
  VELTA_TRACE_END("RouteHeatVaporVolp::sv")
}
