// The built-in table of dimensions and units. Registration order matters: a
// unit name registered by two dimensions (the exponent text shared by
// "pressure*molar volume squared" and "VdW a") resolves to the first.
// The rows are constant-initialised: the engine may be built by another
// file's start-up initialiser before this file's dynamic initialisation.
// Factors are the exact doubles, written as the shortest decimal that reads
// back as the same double.

#include "velta/value/UnitEngine.h"

namespace {

struct DimensionRow {
  const char *name;
  const char *siUnit;
  // amount, angle, current, length, luminous intensity, mass, temperature, time, money
  UnitArray units;
};

struct UnitRow {
  const char *dimension;
  const char *unit;
  double factor;
  double offset;
};

#define EURO "\xE2\x82\xAC"
#define DEGREE "\xC2\xB0"

// clang-format off
constexpr DimensionRow dimensionRows[] = {
    {"adimensional", "", {0, 0, 0, 0, 0, 0, 0, 0, 0}},
    {"amount", "kmol", {1, 0, 0, 0, 0, 0, 0, 0, 0}},
    {"angle", "rad", {0, 1, 0, 0, 0, 0, 0, 0, 0}},
    {"current", "A", {0, 0, 1, 0, 0, 0, 0, 0, 0}},
    {"length", "m", {0, 0, 0, 1, 0, 0, 0, 0, 0}},
    {"luminous intensity", "cd", {0, 0, 0, 0, 1, 0, 0, 0, 0}},
    {"mass", "kg", {0, 0, 0, 0, 0, 1, 0, 0, 0}},
    {"temperature", "K", {0, 0, 0, 0, 0, 0, 1, 0, 0}},
    {"time", "s", {0, 0, 0, 0, 0, 0, 0, 1, 0}},
    {"money", EURO, {0, 0, 0, 0, 0, 0, 0, 0, 1}},
    {"acceleration", "m/s2", {0, 0, 0, 1, 0, 0, 0, -2, 0}},
    {"amount flow", "kmol/s", {1, 0, 0, 0, 0, 0, 0, -1, 0}},
    {"amount specific electric charge", "C/kmol", {-1, 0, 1, 0, 0, 0, 0, 1, 0}},
    {"amount specific energy", "J/kmol", {-1, 0, 0, 2, 0, 1, 0, -2, 0}},
    {"amount specific entropy", "J/(kmol*K)", {-1, 0, 0, 2, 0, 1, -1, -2, 0}},
    {"area", "m2", {0, 0, 0, 2, 0, 0, 0, 0, 0}},
    {"areic current", "A/m2", {0, 0, 1, -2, 0, 0, 0, 0, 0}},
    {"areic electric resistance", "ohm*m2", {0, 0, -2, 4, 0, 1, 0, -3, 0}},
    {"areic power density", "W/m2", {0, 0, 0, 0, 0, 1, 0, -3, 0}},
    {"capacitance", "F", {0, 0, 2, -2, 0, -1, 0, 4, 0}},
    {"conductance", "S", {0, 0, 2, -2, 0, -1, 0, 3, 0}},
    {"density", "kg/m3", {0, 0, 0, -3, 0, 1, 0, 0, 0}},
    {"diffusivity", "m2/s", {0, 0, 0, 2, 0, 0, 0, -1, 0}},
    {"dynamical viscosity", "Pa*s", {0, 0, 0, -1, 0, 1, 0, -1, 0}},
    {"electric charge", "C", {0, 0, 1, 0, 0, 0, 0, 1, 0}},
    {"electric potential", "V", {0, 0, -1, 2, 0, 1, 0, -3, 0}},
    {"electric resistance", "ohm", {0, 0, -2, 2, 0, 1, 0, -3, 0}},
    {"entropy", "J/K", {0, 0, 0, 2, 0, 1, -1, -2, 0}},
    {"entropy power", "W/K", {0, 0, 0, 2, 0, 1, -1, -3, 0}},
    {"flow coefficient", "kg/m7", {0, 0, 0, -7, 0, 1, 0, 0, 0}},
    {"force", "N", {0, 0, 0, 1, 0, 1, 0, -2, 0}},
    {"frequency", "Hz", {0, 0, 0, 0, 0, 0, 0, -1, 0}},
    {"heat transfer coefficient", "W/(m2*K)", {0, 0, 0, 0, 0, 1, -1, -3, 0}},
    {"heat transfer resistance", "m2*K/W", {0, 0, 0, 0, 0, -1, 1, 3, 0}},
    {"inductance", "H", {0, 0, -2, 2, 0, 1, 0, -2, 0}},
    {"inverse of length", "1/m", {0, 0, 0, -1, 0, 0, 0, 0, 0}},
    {"inverse of molecular weight", "kmol/kg", {1, 0, 0, 0, 0, -1, 0, 0, 0}},
    {"inverse of temperature", "1/K", {0, 0, 0, 0, 0, 0, -1, 0, 0}},
    {"length*time", "m*s", {0, 0, 0, 1, 0, 0, 0, 1, 0}},
    {"magnetic flux", "Wb", {0, 0, -1, 2, 0, 1, 0, -2, 0}},
    {"magnetic flux density", "T", {0, 0, -1, 0, 0, 1, 0, -2, 0}},
    {"mass flow", "kg/s", {0, 0, 0, 0, 0, 1, 0, -1, 0}},
    {"mass per unit work", "kg/J", {0, 0, 0, -2, 0, 0, 0, 2, 0}},
    {"mass specific energy", "J/kg", {0, 0, 0, 2, 0, 0, 0, -2, 0}},
    {"mass specific power", "W/kg", {0, 0, 0, 2, 0, 0, 0, -3, 0}},
    {"mass specific heat capacity", "J/(kg*K)", {0, 0, 0, 2, 0, 0, -1, -2, 0}},
    {"mass specific volume", "m3/kg", {0, 0, 0, 3, 0, -1, 0, 0, 0}},
    {"molar concentration", "kmol/m3", {1, 0, 0, -3, 0, 0, 0, 0, 0}},
    {"molar volume", "m3/kmol", {-1, 0, 0, 3, 0, 0, 0, 0, 0}},
    {"molecular weight", "kg/kmol", {-1, 0, 0, 0, 0, 1, 0, 0, 0}},
    {"permeance", "kmol/kg/m", {1, 0, 0, -1, 0, -1, 0, 1, 0}},
    {"power", "W", {0, 0, 0, 2, 0, 1, 0, -3, 0}},
    {"pressure", "Pa", {0, 0, 0, -1, 0, 1, 0, -2, 0}},
    {"pressure*molar volume squared", "Pa*m6/kmol2", {-2, 0, 0, 5, 0, 1, 0, -2, 0}},
    {"temperature derivative of pressure*molar volume squared", "Pa*m6/kmol2/K", {-2, 0, 0, 5, 0, 1, -1, -2, 0}},
    {"second temperature derivative of pressure*molar volume squared", "Pa*m6/kmol2/K2", {-2, 0, 0, 5, 0, 1, -2, -2, 0}},
    {"resistivity", "ohm*m", {0, 0, -2, 3, 0, 1, 0, -3, 0}},
    {"second temperature derivative of density", "kg/(m3*K2)", {0, 0, 0, -3, 0, 1, -2, 0, 0}},
    {"second temperature derivative of pressure", "Pa/K2", {0, 0, 0, -1, 0, 1, -2, -2, 0}},
    {"second temperature derivative of specific heat", "J/(kg*K3)", {0, 0, 0, 2, 0, 0, -3, -2, 0}},
    {"surface tension", "N/m", {0, 0, 0, 0, 0, 1, 0, -2, 0}},
    {"temperature derivative of density", "kg/(m3*K)", {0, 0, 0, -3, 0, 1, -1, 0, 0}},
    {"temperature derivative of pressure", "Pa/K", {0, 0, 0, -1, 0, 1, -1, -2, 0}},
    {"temperature derivative of specific heat", "J/(kg*K2)", {0, 0, 0, 2, 0, 0, -2, -2, 0}},
    {"temperature squared/pressure", "K2/Pa", {0, 0, 0, 1, 0, -1, 2, 2, 0}},
    {"temperature/pressure", "K/Pa", {0, 0, 0, 1, 0, -1, 1, 2, 0}},
    {"thermal conductivity", "W/(m*K)", {0, 0, 0, 1, 0, 1, -1, -3, 0}},
    {"thermal resistivity", "m*K/W", {0, 0, 0, -1, 0, -1, 1, 3, 0}},
    {"thermal resistivity squared", "m2*K2/W2", {0, 0, 0, -2, 0, -2, 2, 6, 0}},
    {"VdW a", "N*m4*kmol-2", {-2, 0, 0, 5, 0, 1, 0, -2, 0}},
    {"VdW a*n*n", "N*m4", {0, 0, 0, 5, 0, 1, 0, -2, 0}},
    {"velocity", "m/s", {0, 0, 0, 1, 0, 0, 0, -1, 0}},
    {"volume", "m3", {0, 0, 0, 3, 0, 0, 0, 0, 0}},
    {"volume flow", "m3/s", {0, 0, 0, 3, 0, 0, 0, -1, 0}},
    {"energy", "J", {0, 0, 0, 2, 0, 1, 0, -2, 0}},
    {"energy price", EURO "/J", {0, 0, 0, -2, 0, -1, 0, 2, 1}},
};

constexpr UnitRow unitRows[] = {
    {"amount", "mol", 0.001, 0},

    {"length", "in", 0.0254, 0},
    {"length", "ft", 0.3048, 0},
    {"length", "km", 1000, 0},
    {"length", "dm", 0.1, 0},
    {"length", "cm", 0.01, 0},
    {"length", "mm", 0.001, 0},
    {"length", "um", 1e-06, 0},

    {"mass", "mg", 1e-06, 0},
    {"mass", "t", 1000, 0},
    {"mass", "lb", 0.45359237, 0},
    {"mass", "g", 0.001, 0},

    {"temperature", DEGREE "C", 1, 273.15},
    {"temperature", DEGREE "F", 0.5555555555555556, 255.3722222222222},

    {"time", "min", 60, 0},
    {"time", "h", 3600, 0},
    {"time", "d", 86400, 0},
    {"time", "yr", 31556917.439999998, 0},

    {"money", "$", 0.7311544929443592, 0},

    {"amount flow", "kmol/h", 0.0002777777777777778, 0},
    {"amount flow", "lbmol/h", 0.00012599788055555556, 0},
    {"amount flow", "mol/h", 2.7777777777777776e-07, 0},
    {"amount flow", "mol/s", 0.001, 0},
    {"amount flow", "Nm3/h", 1.2393158170611665e-05, 0},
    {"amount flow", "Nm3/d", 5.163815904421528e-07, 0},
    {"amount flow", "STPccm", 6.812392059639596e-10, 0},
    {"amount flow", "Nl/min", 7.435894902366999e-07, 0},

    {"amount specific energy", "kJ/kmol", 1000, 0},
    {"amount specific energy", "BTU/lbmol", 2326.0, 0},
    {"amount specific energy", "kcal/kmol", 4186.8, 0},

    {"amount specific entropy", "J/kmol/K", 1, 0},
    {"amount specific entropy", "kJ/kmol/K", 1000, 0},
    {"amount specific entropy", "kcal/kmol/K", 4186.8, 0},

    {"area", "dm2", 0.01, 0},
    {"area", "ft2", 0.09290304, 0},
    {"area", "cm2", 0.0001, 0},
    {"area", "mm2", 1e-06, 0},

    {"areic current", "A/dm2", 100, 0},
    {"areic current", "A/ft2", 10.763910416709722, 0},
    {"areic current", "A/cm2", 10000, 0},
    {"areic current", "A/mm2", 1000000, 0},
    {"areic current", "mA/cm2", 10, 0},

    {"areic electric resistance", "ohm*cm2", 0.0001, 0},

    {"density", "mg/m3", 1e-06, 0},
    {"density", "g/m3", 0.001, 0},
    {"density", "g/dm3", 1, 0},
    {"density", "lb/ft3", 16.01846337396014, 0},

    {"dynamical viscosity", "cP", 0.001, 0},
    {"dynamical viscosity", "mPa*s", 0.001, 0},
    {"dynamical viscosity", "uPa*s", 1e-06, 0},

    {"electric potential", "mV", 0.001, 0},

    {"entropy power", "BTU/h/" DEGREE "F", 0.52752792631, 0},

    {"frequency", "rpm", 0.016666666666666666, 0},

    {"heat transfer coefficient", "kcal/(h*m2*K)", 1.163, 0},
    {"heat transfer coefficient", "BTU/(h*ft2*F)", 5.678263341113487, 0},
    {"heat transfer coefficient", "W/m2/K", 1, 0},

    {"inverse of molecular weight", "mol/kg", 0.001, 0},

    {"mass flow", "kg/h", 0.0002777777777777778, 0},
    {"mass flow", "kg/d", 1.1574074074074073e-05, 0},
    {"mass flow", "g/d", 1.1574074074074074e-08, 0},
    {"mass flow", "t/h", 0.2777777777777778, 0},
    {"mass flow", "t/d", 0.011574074074074075, 0},
    {"mass flow", "t/yr", 3.1688773211177125e-05, 0},
    {"mass flow", "lb/h", 0.00012599788055555556, 0},

    {"mass specific energy", "kcal/kg", 4186.8, 0},
    {"mass specific energy", "BTU/lb", 2326.0, 0},
    {"mass specific energy", "MJ/kg", 1000000, 0},
    {"mass specific energy", "kJ/g", 1000000, 0},
    {"mass specific energy", "kJ/kg", 1000, 0},
    {"mass specific energy", "m2/s2", 1, 0},

    {"mass specific power", "kW/kg", 1000, 0},

    {"mass specific heat capacity", "kcal/(kg*K)", 4186.8, 0},
    {"mass specific heat capacity", "BTU/lb/" DEGREE "F", 4186.8, 0},
    {"mass specific heat capacity", "kcal/kg/K", 4186.8, 0},
    {"mass specific heat capacity", "J/kg/K", 1, 0},
    {"mass specific heat capacity", "kJ/kg/K", 1000, 0},

    {"molar concentration", "mol/m3", 0.001, 0},
    {"molar concentration", "lbmol/ft3", 16.01846337396014, 0},
    {"molar concentration", "mmol/dm3", 0.001, 0},
    {"molar concentration", "mol/dm3", 1, 0},

    {"molecular weight", "mg/Nm3", 2.2413800740192445e-05, 0},
    {"molecular weight", "g/Nm3", 0.022413800740192447, 0},
    {"molecular weight", "lb/lbmol", 1, 0},

    {"permeance", "GPU", 3.3464279057284493e-13, 0},

    {"power", "BTU/h", 0.2930710701722222, 0},
    {"power", "kW", 1000, 0},
    {"power", "kcal/s", 4186.8, 0},
    {"power", "kcal/h", 1.163, 0},
    {"power", "TW", 1000000000000, 0},
    {"power", "GW", 1000000000, 0},
    {"power", "MW", 1000000, 0},
    {"power", "mW", 0.001, 0},

    {"pressure", "J/m3", 1, 0},
    {"pressure", "kJ/m3", 1000, 0},
    {"pressure", "J/l", 1000, 0},
    {"pressure", "kWh/m3", 3600000, 0},
    {"pressure", "kcal/m3", 4186.8, 0},
    {"pressure", "kcal/l", 4186800, 0},
    {"pressure", "BTU/ft3", 37258.94580783128, 0},
    {"pressure", "MPa", 1000000, 0},
    {"pressure", "atm", 101325, 0},
    {"pressure", "bar", 100000, 0},
    {"pressure", "barg", 100000, 101325},
    {"pressure", "mbar", 100, 0},
    {"pressure", "hPa", 100, 0},
    {"pressure", "kPa", 1000, 0},
    {"pressure", "mmHg", 133.32236842105263, 0},
    {"pressure", "Torr", 133.32236842105263, 0},
    {"pressure", "mmH2O", 9.80665, 0},
    {"pressure", "kg/cm2", 98066.5, 0},
    {"pressure", "psi", 6894.757293174671, 0},

    {"resistivity", "ohm*cm", 0.01, 0},

    {"thermal conductivity", "W/m/K", 1, 0},

    {"volume", "ft3", 0.028316846592000004, 0},
    {"volume", "dm3", 0.001, 0},
    {"volume", "cm3", 1e-06, 0},
    {"volume", "mm3", 9.999999999999999e-10, 0},
    {"volume", "ul", 9.999999999999999e-10, 0},
    {"volume", "ml", 1e-06, 0},
    {"volume", "l", 0.001, 0},
    {"volume", "bbl", 0.15898729492799998, 0},

    {"volume flow", "m3/h", 0.0002777777777777778, 0},
    {"volume flow", "ft3/h", 7.86579072e-06, 0},
    {"volume flow", "l/h", 2.7777777777777776e-07, 0},
    {"volume flow", "ccm", 1.6666666666666667e-08, 0},

    {"energy", "BTU", 1055.05585262, 0},
    {"energy", "mmBTU", 1055055852.62, 0},
    {"energy", "MWh", 3600000000, 0},
    {"energy", "kcal", 4186.8, 0},
    {"energy", "kWh", 3600000, 0},
    {"energy", "kJ", 1000, 0},

    {"energy price", EURO "/mmBTU", 9.478171203133171e-10, 0},
    {"energy price", "$/mmBTU", 6.930007460066661e-10, 0},
    {"energy price", "$/J", 0.7311544929443592, 0},
    {"energy price", EURO "/kWh", 2.7777777777777776e-07, 0},
    {"energy price", EURO "/MWh", 2.7777777777777777e-10, 0},
    {"energy price", EURO "/kcal", 0.00023884589662749592, 0},
};
// clang-format on

#undef EURO
#undef DEGREE

} // namespace

UnitEngine::UnitEngine() {
  for (const DimensionRow &row : dimensionRows)
    addDimension(row.name, row.siUnit, row.units);
  for (const UnitRow &row : unitRows)
    addUnit(row.dimension, row.unit, row.factor, row.offset);
}
