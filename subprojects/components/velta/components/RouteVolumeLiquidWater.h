#pragma once
// Molar density of liquid water from an explicit correlation: a cubic in
// temperature, corrected linearly for pressure below 1e8 Pa and by a power
// law above; the temperature is clamped to 273.16 K ... 1015 K.

#include "velta/components/ComponentInterface.h"
#include "velta/components/RouteVolumeLiquid.h"

class RouteVolumeLiquidWater : public virtual RouteVolumeLiquid {
public:
  explicit RouteVolumeLiquidWater(const ComponentInterface *component) : component_(component) {}

  // T in K, P in Pa (ErrorUnit otherwise); result in kmol/m3 with the
  // derivatives of T and P; derT receives the plain temperature derivative.
  Value rhol(const Value &T, const Value &P, double *derT = nullptr) const override;

private:
  const ComponentInterface *component_; // not owned, not used by the correlation
};
