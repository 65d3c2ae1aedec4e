#pragma once
// A substance with Barin data for its solid and for its liquid (metals,
// minerals) and no usable vapour: its liquid density is its solid density,
// and every vapour, saturation and transport property is a placeholder. It
// stays in the condensed phases of a flash (kvli 1e-20).

#include "velta/components/ComponentBase.h"
#include "velta/components/ComponentGeneric.h"
#include "velta/components/GroupBkk.h"
#include "velta/components/RouteHeatLiquidBkk.h"
#include "velta/components/RouteHeatSolidBkk.h"
#include "velta/components/RouteHeatVaporDummy.h"
#include "velta/components/RouteSaturationDummy.h"
#include "velta/components/RouteTransportDummy.h"
#include "velta/components/RouteVolumeSolidDummy.h"
#include "velta/components/RouteVolumeVaporDummy.h"

#include <string>

class ComponentBkk : public ComponentGeneric,
                     public ComponentBase,
                     public RouteSaturationDummy,
                     public RouteHeatVaporDummy,
                     public RouteTransportDummy,
                     public RouteVolumeVaporDummy,
                     public RouteVolumeSolidDummy,
                     public RouteHeatLiquidBkk,
                     public RouteHeatSolidBkk {
public:
  // mw in kg/kmol (ErrorUnit otherwise); the other constants are the
  // placeholders of ComponentBase. dh0 and dg0 are the solid's hs and
  // hs - T ss at 298.15 K.
  ComponentBkk(const std::string &name, const Value &mw, GroupBkk liquid, GroupBkk solid);

  // 1e-20 (dimensionless) at any T and P.
  Value kvli(const Value &T, const Value &P) const override;
  bool isSolid() const override { return true; }
  // The solid molar density at the same T and P.
  Value rhol(const Value &T, const Value &P, double *derT = nullptr) const override {
    return rhos(T, P, derT);
  }
};
