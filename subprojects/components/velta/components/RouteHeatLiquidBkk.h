#pragma once
// Liquid heat properties from a group of Barin records; outside the group's
// range its constant-heat-capacity continuation applies.

#include "velta/components/GroupBkk.h"
#include "velta/components/RouteHeatLiquid.h"

class RouteHeatLiquidBkk : public virtual RouteHeatLiquid {
public:
  explicit RouteHeatLiquidBkk(const GroupBkk &group) : group_(group) {}

  // T in K (ErrorUnit otherwise); P is not used.
  Value hl(const Value &T, const Value &P) const override;
  Value sl(const Value &T, const Value &P) const override;
  Value cpl(const Value &T, const Value &P) const override;

private:
  GroupBkk group_;
};
