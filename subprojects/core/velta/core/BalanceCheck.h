#pragma once
// The tolerances of a unit's balance check: how far the streams' net mass and
// enthalpy flows may differ from the unit's own source terms before the
// difference is filed on the unit as a warning or as an error.

#include "velta/value/Value.h"

enum class BalanceVerdict { balanced, warning, error };

// Net mass flow cmdot (inlets minus outlets) against the unit's own mass
// source. With tol(f) = (|mdotin + mdotout| + 0.1 kg/h) / f: an error above
// tol(1000), a warning above tol(100000); a NaN difference or tolerance is
// an error.
BalanceVerdict massBalanceVerdict(const Value &cmdot, const Value &massBalance, const Value &mdotin,
                                  const Value &mdotout);

// Net enthalpy flow cduty against the unit's own energy source: an error
// above 1 kW, a warning above 10 W; a NaN difference is an error.
BalanceVerdict energyBalanceVerdict(const Value &cduty, const Value &energyBalance);
