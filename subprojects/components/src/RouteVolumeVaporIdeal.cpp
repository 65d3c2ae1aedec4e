#include "velta/components/RouteVolumeVaporIdeal.h"

#include "velta/value/Constants.h"

double RouteVolumeVaporIdeal::pv(double rho, double T, double *dPdrho, double *dPdT) const {
  const double v = rho >= 1e6 ? 1e-6 : 1.0 / rho;
  if (dPdT)
    *dPdT = 8314.4 / v;
  if (dPdrho)
    *dPdrho = 8314.4 * T;
  return 8314.4 * T / v;
}

Value RouteVolumeVaporIdeal::rhov(const Value &T, const Value &P, double *drhodT,
                                  double *drhodP) const {
  Value rho = (P / gasConstant) / T;
  if (drhodT)
    *drhodT = -rho.value() / T.value();
  if (drhodP)
    *drhodP = 1.0 / (8314.4 * T.value()); // rho / P, also defined at P = 0
  return rho;
}
