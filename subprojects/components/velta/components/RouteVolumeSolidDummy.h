#pragma once
// Placeholder solid volume route: 1000/18 kmol/m3 (1000 kg/m3 of 18 kg/kmol)
// at any T and P, derivative 0.

#include "velta/components/RouteVolumeSolid.h"

class RouteVolumeSolidDummy : public virtual RouteVolumeSolid {
public:
  RouteVolumeSolidDummy() : rhos_(1000.0 / 18.0) {}

  Value rhos(const Value &T, const Value &P, double *derT = nullptr) const override;

private:
  double rhos_; // kmol/m3
};
