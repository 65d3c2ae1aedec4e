#pragma once
// What the two DIPPR route bundles (dippr, pdippr) share: the vapour
// pressure correlation with its continuations below Tmin and above Tmax,
// the heat of vaporisation from the Clapeyron equation, and the liquid heat
// properties derived from the vapour. Every other property is reached
// through the component's own interfaces, so each bundle's vapour and
// liquid routes take part.
//
// Vapour pressure, with t = T/K and a the record:
//   ln(psat/Pa) = a0 + a1/(t + a2) + a3 t + a4 ln t + a5 t^a6   on [Tmin, Tmax)
// below Tmin with a heat of vaporisation linear in T that meets the
// Clausius-Clapeyron value at Tmin and equals dhvl0 at 0 K; above Tmax with
// ln psat linear in 1/T. Value and slope are continuous at both bounds.

#include "velta/components/ComponentInterface.h"
#include "velta/components/ParametersAntoine.h"
#include "velta/components/RouteHeatLiquid.h"
#include "velta/components/RouteHeatVapor.h"
#include "velta/components/RouteSaturation.h"
#include "velta/components/RouteVolumeLiquid.h"
#include "velta/components/RouteVolumeVaporIdeal.h"

class DipprBundle : public virtual ComponentInterface,
                    public virtual RouteSaturation,
                    public virtual RouteHeatLiquid,
                    public virtual RouteHeatVapor,
                    public virtual RouteVolumeLiquid,
                    public virtual RouteVolumeVaporIdeal {
public:
  // The heat-of-vaporisation constant in J/kmol.
  double dhvl0() const { return dhvl0_; }
  const ParametersAntoine &antoine() const { return antoine_; }

protected:
  // dhvl0 is a molar heat of vaporisation (J/kmol; ErrorUnit otherwise).
  DipprBundle(const Value &dhvl0, const ParametersAntoine &antoine);

  // The algorithms; the bundles wrap them with their own trace names.
  Value computePsat(const Value &T, double *d1, double *d2) const;
  Value computeDhvl(const char *name, const Value &T, double *derT) const;
  Value computeSl(const Value &T, const Value &P) const;
  // d(rhol)/dP at T and P, from the liquid route's automatic derivative.
  double liquidDensityPressureSlope(const Value &T, const Value &P) const;
  // cpv(T, 101325 Pa) - d(dhvl)/dT.
  Value computeCpl(const char *name, const Value &T, bool logTerms) const;

  ParametersAntoine antoine_;
  double dhvl0_; // J/kmol
};
