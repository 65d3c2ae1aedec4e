#include "velta/components/RouteVolumeLiquidDippr.h"

#include "RouteSupport.h"

#include <cmath>

RouteVolumeLiquidDippr::RouteVolumeLiquidDippr(const ComponentInterface *component,
                                               const ParametersDippr &dnldip)
    : dnldip_(dnldip), component_(component) {}

double RouteVolumeLiquidDippr::densityAt(double t) const {
  const double C1 = dnldip_[0], C2 = dnldip_[1], C3 = dnldip_[2], C4 = dnldip_[3];
  return C1 / std::pow(C2, 1.0 + std::pow(1.0 - t / C3, C4));
}

Value RouteVolumeLiquidDippr::rhol(const Value &T, const Value &, double *derT) const {
  VELTA_ROUTE_ASSERT(dnldip_[1] > 0.0, "dnldip_[1] > 0.0");
  const double C1 = dnldip_[0], C2 = dnldip_[1], C3 = dnldip_[2], C4 = dnldip_[3];
  const double tmin = dnldip_[5], tmax = dnldip_[6];
  routeSupport::requireKelvin(T);
  const Value t = routeSupport::reduced(T);
  VELTA_ROUTE_LOG(1, "RouteVolumeLiquidDippr::rhol",
                  "Entered T = " << T.activeValue().toString() << " TT = "
                                 << t.activeValue().toString() << " [" << tmin << ", " << tmax
                                 << "]");
  Value rho;
  double dRho = 0.0;
  // The bounds are tested first so that a NaN temperature reaches the
  // correlation and gives a NaN, not the density at a bound.
  if (C3 == 0.0) {
    rho = Value(C1, routeSupport::kmolPerCubicMetre);
  } else if (T.value() <= tmin) {
    rho = Value(densityAt(tmin), routeSupport::kmolPerCubicMetre);
  } else if (T.value() >= tmax) {
    rho = Value(densityAt(tmax), routeSupport::kmolPerCubicMetre);
  } else {
    // C1 / C2^(1 + u^C4), u = 1 - t/C3, with the derivatives of T.
    const Value exponent = 1.0 + pow(1.0 - t / C3, C4);
    rho = C1 * exp(-std::log(C2) * exponent);
    rho.setUnits(routeSupport::kmolPerCubicMetre);
    const double u = 1.0 - T.value() / C3;
    dRho = C1 * C4 * std::log(C2) * std::pow(u, C4 - 1.0) *
           std::pow(C2, -(1.0 + std::pow(u, C4))) / C3;
  }
  if (derT)
    *derT = dRho;
  if (derT)
    VELTA_ROUTE_LOG(2, "RouteVolumeLiquidDippr::rhol",
                    "rho = " << rho.activeValue().toString() << " derT = " << *derT);
  else
    VELTA_ROUTE_LOG(2, "RouteVolumeLiquidDippr::rhol", "rho = " << rho.activeValue().toString());
  return rho;
}
