#pragma once
// Solid heat properties from a group of Barin records; outside the group's
// range its constant-heat-capacity continuation applies.

#include "velta/components/GroupBkk.h"
#include "velta/components/RouteHeatSolid.h"

class RouteHeatSolidBkk : public virtual RouteHeatSolid {
public:
  explicit RouteHeatSolidBkk(const GroupBkk &group) : group_(group) {}

  // T in K (ErrorUnit otherwise); P is not used.
  Value hs(const Value &T, const Value &P) const override;
  Value ss(const Value &T, const Value &P) const override;
  Value cps(const Value &T, const Value &P) const override;

private:
  GroupBkk group_;
};
