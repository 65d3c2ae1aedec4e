#include "velta/components/RouteHeatLiquidDummySolidBkk.h"

#include "BarinRoute.h"

VELTA_BARIN_ROUTE(RouteHeatLiquidDummySolidBkk, hs, *this, enthalpy)
VELTA_BARIN_ROUTE(RouteHeatLiquidDummySolidBkk, ss, *this, entropy)
VELTA_BARIN_ROUTE(RouteHeatLiquidDummySolidBkk, cps, *this, heatCapacity)
