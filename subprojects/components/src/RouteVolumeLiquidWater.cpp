#include "velta/components/RouteVolumeLiquidWater.h"

#include "RouteSupport.h"

#include <cmath>

Value RouteVolumeLiquidWater::rhol(const Value &T, const Value &P, double *derT) const {
  VELTA_ROUTE_LOG(1, "RouteVolumeLiquidWater::rhol", "Entered with T = " << T << " P = " << P);
  routeSupport::requireKelvin(T);
  routeSupport::requirePascal(P);
  const double Tv = T.value(), Pv = P.value();
  const bool inRange = Tv >= 273.16 && Tv <= 1015.0;
  const Value t = routeSupport::reduced(T);
  const Value p8(P.activeValue() / 1e8, dimensionless);

  // 1. Clamped temperature: a plain number outside the range.
  Value theta = t;
  if (Tv > 1015.0)
    theta = Value(1015.0);
  else if (Tv < 273.16)
    theta = Value(273.16);
  const double th = theta.value();

  // 2. Density at low pressure and its temperature derivative.
  const Value rho0 =
      44.144886689283 +
      theta * (0.112866296384922 +
               theta * (-0.000264728179188708 + theta * 1.22687357845896e-7));
  const double drho0 =
      inRange ? 0.112866296384922 + th * (3 * 1.22687357845896e-7 * th - 0.000529456358377416)
              : 0.0;

  Value rho;
  double drho;
  if (Pv < 1e8) {
    // 3. Linear pressure correction.
    Value thetaD = theta;
    Value d;
    double dd;
    if (Pv < 2.21e7 && Tv > 647.0) {
      thetaD = Value(647.0);
      d = Value(4.3858479629);
      dd = 0.0;
    } else {
      d = 0.0065181245 * t + 0.1686214114;
      dd = 0.0065181245;
    }
    const double thD = thetaD.value();
    if (Tv < 330.0) {
      const Value x = thetaD - 330.0;
      d = d - 1.15e-6 * x * x * x;
      if (Tv >= 273.16)
        dd -= 3.45e-6 * (thD - 330.0) * (thD - 330.0);
    } else if (Tv > 450.0) {
      d = d + 9.51590724799123e-7 * pow(thetaD - 450.0, 3.02587474345738);
      if ((Pv < 2.21e7 && Tv <= 647.0) || (Pv >= 2.21e7 && Tv <= 1015.0))
        dd += 2.879394340277969e-6 * std::pow(thD - 450.0, 2.02587474345738);
    }
    rho = rho0 - d * (1.0 - p8);
    drho = drho0 - (1.0 - p8.value()) * dd;
  } else {
    // 4. Power-law pressure correction.
    const Value b = (theta - 300.0) / 1500.0 + 1.2;
    const Value L = log10(p8);
    const Value bL = pow(b, L);
    rho = rho0 * bL;
    drho = inRange ? bL.value() * drho0 +
                         rho0.value() * L.value() * std::pow(b.value(), L.value() - 1.0) / 1500.0
                   : bL.value() * drho0;
  }
  rho.setUnits(routeSupport::kmolPerCubicMetre);
  if (derT)
    *derT = drho;
  return rho;
}
