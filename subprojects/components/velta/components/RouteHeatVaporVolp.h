#pragma once
// Ideal-gas heat properties from a heat capacity polynomial in ln T:
//   cp / (kJ/(kmol*K)) = sum ci x^i, x = ln(T/K), i = 0..5,
// integrated term by term. Reference state as every vapour heat route:
// hv = dh0 at 298.15 K, sv = (dh0 - dg0)/298.15 K at 298.15 K and 101325 Pa.

#include "velta/components/ComponentInterface.h"
#include "velta/components/ParametersLnPolynomial.h"
#include "velta/components/RouteHeatVapor.h"

class RouteHeatVaporVolp : public virtual RouteHeatVapor {
public:
  RouteHeatVaporVolp(const ComponentInterface *component, ParametersLnPolynomial coefficients);

  // Temperatures at or below zero and pressures at or below zero are
  // reported as ErrorRunTime.
  Value hv(const Value &T, const Value &P) const override;
  Value sv(const Value &T, const Value &P) const override;
  // Plain value (no derivatives).
  Value cpv(const Value &T, const Value &P) const override;

private:
  ParametersLnPolynomial cpPoly_;
  // (T/K) hPoly_(ln T) is an antiderivative of cpPoly_ in T/K.
  ParametersLnPolynomial hPoly_;
  // sPoly_(ln T) is the integral of cpPoly_ / T from 298.15 K to T.
  ParametersLnPolynomial sPoly_;
  const ComponentInterface *component_; // not owned
};
