#include "velta/components/RouteHeatLiquidBkk.h"

#include "BarinRoute.h"

VELTA_BARIN_ROUTE(RouteHeatLiquidBkk, hl, group_, enthalpy)
VELTA_BARIN_ROUTE(RouteHeatLiquidBkk, sl, group_, entropy)
VELTA_BARIN_ROUTE(RouteHeatLiquidBkk, cpl, group_, heatCapacity)
