#include "velta/components/RouteHeatSolidBkk.h"

#include "BarinRoute.h"

VELTA_BARIN_ROUTE(RouteHeatSolidBkk, hs, group_, enthalpy)
VELTA_BARIN_ROUTE(RouteHeatSolidBkk, ss, group_, entropy)
VELTA_BARIN_ROUTE(RouteHeatSolidBkk, cps, group_, heatCapacity)
