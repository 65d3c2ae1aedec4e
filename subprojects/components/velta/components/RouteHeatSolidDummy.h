#pragma once
// Placeholder solid heat route with the heat capacity of liquid water,
// cp = 4186.8 J/(kg*K) * 18 kg/kmol: hs = cp T, ss = cp ln(T/K), cps = cp.

#include "velta/components/RouteHeatSolid.h"

class RouteHeatSolidDummy : public virtual RouteHeatSolid {
public:
  Value hs(const Value &T, const Value &P) const override;
  Value ss(const Value &T, const Value &P) const override;
  Value cps(const Value &T, const Value &P) const override;
};
