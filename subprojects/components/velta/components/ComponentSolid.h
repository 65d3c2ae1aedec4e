#pragma once
// A substance that exists only as a solid: one group of Barin records
// answers both the solid and the liquid heat properties (its liquid is the
// solid), its liquid density is its solid density, and every vapour,
// saturation and transport property is a placeholder. It stays in the
// condensed phases of a flash (kvli 1e-20).

#include "velta/components/ComponentBase.h"
#include "velta/components/ComponentGeneric.h"
#include "velta/components/RouteHeatLiquidDummySolidBkk.h"
#include "velta/components/RouteHeatVaporDummy.h"
#include "velta/components/RouteSaturationDummy.h"
#include "velta/components/RouteTransportDummy.h"
#include "velta/components/RouteVolumeSolidDummy.h"
#include "velta/components/RouteVolumeVaporDummy.h"

#include <string>

class ComponentSolid : public ComponentGeneric,
                       public ComponentBase,
                       public RouteSaturationDummy,
                       public RouteHeatVaporDummy,
                       public RouteTransportDummy,
                       public RouteVolumeVaporDummy,
                       public RouteVolumeSolidDummy,
                       public RouteHeatLiquidDummySolidBkk {
public:
  // mw in kg/kmol (ErrorUnit otherwise); the other constants are the
  // placeholders of ComponentBase. The group holds r1 and the following
  // records up to the first empty one (emptyParameterBkk). dh0 and dg0 are
  // the group's h and h - T s at 298.15 K.
  ComponentSolid(const std::string &name, const Value &mw, const ParameterBkk &r1,
                 const ParameterBkk &r2 = emptyParameterBkk,
                 const ParameterBkk &r3 = emptyParameterBkk,
                 const ParameterBkk &r4 = emptyParameterBkk,
                 const ParameterBkk &r5 = emptyParameterBkk,
                 const ParameterBkk &r6 = emptyParameterBkk,
                 const ParameterBkk &r7 = emptyParameterBkk);

  // 1e-20 (dimensionless) at any T and P.
  Value kvli(const Value &T, const Value &P) const override;
  bool isSolid() const override { return solid_; }
  // The solid molar density at the same T and P.
  Value rhol(const Value &T, const Value &P, double *derT = nullptr) const override {
    return rhos(T, P, derT);
  }

private:
  bool solid_;
};
