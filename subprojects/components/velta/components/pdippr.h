#pragma once
// DIPPR route bundle with held routes: saturation and liquid heat
// properties computed here, vapour heat properties forwarded to its own
// RouteHeatVaporVolp (heat capacity polynomial in ln T) and liquid density
// forwarded to its own RouteVolumeLiquidWater or RouteVolumeLiquidDippr.

#include "velta/components/DipprBundle.h"
#include "velta/components/ParametersDippr.h"
#include "velta/components/ParametersLnPolynomial.h"

#include <memory>

class pdippr : public DipprBundle {
public:
  // Liquid density from the water correlation. dhvl0 in J/kmol.
  pdippr(const Value &dhvl0, const ParametersAntoine &antoine,
         ParametersLnPolynomial coefficients);
  // Liquid density from DIPPR 105 with the record dnldip. dhvl0 in J/kmol.
  pdippr(const Value &dhvl0, const ParametersAntoine &antoine, ParametersLnPolynomial coefficients,
         const ParametersDippr &dnldip);
  ~pdippr() override;

  Value psat(const Value &T, double *dpsatdT = nullptr,
             double *d2psatdT2 = nullptr) const override;
  Value dhvl(const Value &T, double *derT = nullptr) const override;
  Value hl(const Value &T, const Value &P) const override;
  Value sl(const Value &T, const Value &P) const override;
  Value cpl(const Value &T, const Value &P) const override;

  // Forwarded to the held routes.
  Value hv(const Value &T, const Value &P) const override { return vapor_->hv(T, P); }
  Value sv(const Value &T, const Value &P) const override { return vapor_->sv(T, P); }
  Value cpv(const Value &T, const Value &P) const override { return vapor_->cpv(T, P); }
  Value rhol(const Value &T, const Value &P, double *derT = nullptr) const override {
    return liquid_->rhol(T, P, derT);
  }

private:
  std::unique_ptr<RouteHeatVapor> vapor_;     // a RouteHeatVaporVolp
  std::unique_ptr<RouteVolumeLiquid> liquid_; // RouteVolumeLiquidWater or RouteVolumeLiquidDippr
};
