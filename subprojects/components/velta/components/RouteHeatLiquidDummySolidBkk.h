#pragma once
// Heat route of a substance that exists only as a solid: one Barin group
// answers both the solid and the liquid heat interfaces (the liquid is the
// solid).

#include "velta/components/GroupBkk.h"
#include "velta/components/RouteHeatLiquid.h"
#include "velta/components/RouteHeatSolid.h"

class RouteHeatLiquidDummySolidBkk : public virtual RouteHeatLiquid,
                                     public virtual RouteHeatSolid,
                                     public GroupBkk {
public:
  // The group holds p1 and the following records up to the first empty one.
  RouteHeatLiquidDummySolidBkk(const ParameterBkk &p1, const ParameterBkk &p2,
                               const ParameterBkk &p3, const ParameterBkk &p4,
                               const ParameterBkk &p5, const ParameterBkk &p6,
                               const ParameterBkk &p7)
      : GroupBkk(p1, p2, p3, p4, p5, p6, p7) {}

  // T in K (ErrorUnit otherwise); P is not used.
  Value hs(const Value &T, const Value &P) const override;
  Value ss(const Value &T, const Value &P) const override;
  Value cps(const Value &T, const Value &P) const override;
  Value hl(const Value &T, const Value &P) const override { return hs(T, P); }
  Value sl(const Value &T, const Value &P) const override { return ss(T, P); }
  Value cpl(const Value &T, const Value &P) const override { return cps(T, P); }
};
