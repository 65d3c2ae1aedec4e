#pragma once
// Placeholder vapour heat route for components without a vapour phase:
// hv = -2.41814e8 J/kmol + 20000 J/(kmol*K) (T - 298.15 K),
// sv = 20000 J/(kmol*K) ln(T/298.15 K) - R ln(P/101325 Pa), cpv = 20000 J/(kmol*K).

#include "velta/components/RouteHeatVapor.h"

class RouteHeatVaporDummy : public virtual RouteHeatVapor {
public:
  Value hv(const Value &T, const Value &P) const override;
  // Temperatures and pressures at or below zero: ErrorRunTime.
  Value sv(const Value &T, const Value &P) const override;
  Value cpv(const Value &T, const Value &P) const override;
};
