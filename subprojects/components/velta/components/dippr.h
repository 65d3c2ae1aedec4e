#pragma once
// DIPPR route bundle: saturation and liquid heat properties computed here,
// vapour heat properties from the DIPPR 107 ideal-gas heat capacity
// (RouteHeatVaporDippr), liquid density from DIPPR 105
// (RouteVolumeLiquidDippr), and the ideal-gas vapour volume. The component
// builds the two shared DIPPR routes with their records; the bundle points
// them at the component's constants.

#include "velta/components/DipprBundle.h"
#include "velta/components/RouteHeatVaporDippr.h"
#include "velta/components/RouteVolumeLiquidDippr.h"

class dippr : public DipprBundle,
              public virtual RouteHeatVaporDippr,
              public virtual RouteVolumeLiquidDippr {
public:
  // dhvl0 in J/kmol (ErrorUnit otherwise).
  dippr(const Value &dhvl0, const ParametersAntoine &antoine);

  Value psat(const Value &T, double *dpsatdT = nullptr,
             double *d2psatdT2 = nullptr) const override;
  Value dhvl(const Value &T, double *derT = nullptr) const override;
  // hv(T, psat(T)) - dhvl(T); P is not used.
  Value hl(const Value &T, const Value &P) const override;
  // sv(T, P) - dhvl(T)/T.
  Value sl(const Value &T, const Value &P) const override;
  // cpv(T, 101325 Pa) - d(dhvl)/dT; P is not used.
  Value cpl(const Value &T, const Value &P) const override;
};
