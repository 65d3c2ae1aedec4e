#include "velta/value/ErrorUnit.h"
#include "velta/value/UnitEngine.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <string>
#include <vector>

namespace {

#define EURO "\xE2\x82\xAC"
#define DEGREE "\xC2\xB0"

// Every dimension in order of registration, with its SI unit and the unit
// text of its exponents (which is also a unit name of the dimension).
struct DimensionCase {
  const char *name;
  const char *siUnit;
  const char *text;
};

const std::vector<DimensionCase> dimensionCases = {
    {"adimensional", "", ""},
    {"amount", "kmol", "kmol"},
    {"angle", "rad", "rad"},
    {"current", "A", "A"},
    {"length", "m", "m"},
    {"luminous intensity", "cd", "cd"},
    {"mass", "kg", "kg"},
    {"temperature", "K", "K"},
    {"time", "s", "s"},
    {"money", EURO, EURO},
    {"acceleration", "m/s2", "m s^-2"},
    {"amount flow", "kmol/s", "kmol s^-1"},
    {"amount specific electric charge", "C/kmol", "kmol^-1 A s"},
    {"amount specific energy", "J/kmol", "kmol^-1 m^2 kg s^-2"},
    {"amount specific entropy", "J/(kmol*K)", "kmol^-1 m^2 kg K^-1 s^-2"},
    {"area", "m2", "m^2"},
    {"areic current", "A/m2", "A m^-2"},
    {"areic electric resistance", "ohm*m2", "A^-2 m^4 kg s^-3"},
    {"areic power density", "W/m2", "kg s^-3"},
    {"capacitance", "F", "A^2 m^-2 kg^-1 s^4"},
    {"conductance", "S", "A^2 m^-2 kg^-1 s^3"},
    {"density", "kg/m3", "m^-3 kg"},
    {"diffusivity", "m2/s", "m^2 s^-1"},
    {"dynamical viscosity", "Pa*s", "m^-1 kg s^-1"},
    {"electric charge", "C", "A s"},
    {"electric potential", "V", "A^-1 m^2 kg s^-3"},
    {"electric resistance", "ohm", "A^-2 m^2 kg s^-3"},
    {"entropy", "J/K", "m^2 kg K^-1 s^-2"},
    {"entropy power", "W/K", "m^2 kg K^-1 s^-3"},
    {"flow coefficient", "kg/m7", "m^-7 kg"},
    {"force", "N", "m kg s^-2"},
    {"frequency", "Hz", "s^-1"},
    {"heat transfer coefficient", "W/(m2*K)", "kg K^-1 s^-3"},
    {"heat transfer resistance", "m2*K/W", "kg^-1 K s^3"},
    {"inductance", "H", "A^-2 m^2 kg s^-2"},
    {"inverse of length", "1/m", "m^-1"},
    {"inverse of molecular weight", "kmol/kg", "kmol kg^-1"},
    {"inverse of temperature", "1/K", "K^-1"},
    {"length*time", "m*s", "m s"},
    {"magnetic flux", "Wb", "A^-1 m^2 kg s^-2"},
    {"magnetic flux density", "T", "A^-1 kg s^-2"},
    {"mass flow", "kg/s", "kg s^-1"},
    {"mass per unit work", "kg/J", "m^-2 s^2"},
    {"mass specific energy", "J/kg", "m^2 s^-2"},
    {"mass specific power", "W/kg", "m^2 s^-3"},
    {"mass specific heat capacity", "J/(kg*K)", "m^2 K^-1 s^-2"},
    {"mass specific volume", "m3/kg", "m^3 kg^-1"},
    {"molar concentration", "kmol/m3", "kmol m^-3"},
    {"molar volume", "m3/kmol", "kmol^-1 m^3"},
    {"molecular weight", "kg/kmol", "kmol^-1 kg"},
    {"permeance", "kmol/kg/m", "kmol m^-1 kg^-1 s"},
    {"power", "W", "m^2 kg s^-3"},
    {"pressure", "Pa", "m^-1 kg s^-2"},
    {"pressure*molar volume squared", "Pa*m6/kmol2", "kmol^-2 m^5 kg s^-2"},
    {"temperature derivative of pressure*molar volume squared", "Pa*m6/kmol2/K",
     "kmol^-2 m^5 kg K^-1 s^-2"},
    {"second temperature derivative of pressure*molar volume squared", "Pa*m6/kmol2/K2",
     "kmol^-2 m^5 kg K^-2 s^-2"},
    {"resistivity", "ohm*m", "A^-2 m^3 kg s^-3"},
    {"second temperature derivative of density", "kg/(m3*K2)", "m^-3 kg K^-2"},
    {"second temperature derivative of pressure", "Pa/K2", "m^-1 kg K^-2 s^-2"},
    {"second temperature derivative of specific heat", "J/(kg*K3)", "m^2 K^-3 s^-2"},
    {"surface tension", "N/m", "kg s^-2"},
    {"temperature derivative of density", "kg/(m3*K)", "m^-3 kg K^-1"},
    {"temperature derivative of pressure", "Pa/K", "m^-1 kg K^-1 s^-2"},
    {"temperature derivative of specific heat", "J/(kg*K2)", "m^2 K^-2 s^-2"},
    {"temperature squared/pressure", "K2/Pa", "m kg^-1 K^2 s^2"},
    {"temperature/pressure", "K/Pa", "m kg^-1 K s^2"},
    {"thermal conductivity", "W/(m*K)", "m kg K^-1 s^-3"},
    {"thermal resistivity", "m*K/W", "m^-1 kg^-1 K s^3"},
    {"thermal resistivity squared", "m2*K2/W2", "m^-2 kg^-2 K^2 s^6"},
    {"VdW a", "N*m4*kmol-2", "kmol^-2 m^5 kg s^-2"},
    {"VdW a*n*n", "N*m4", "m^5 kg s^-2"},
    {"velocity", "m/s", "m s^-1"},
    {"volume", "m3", "m^3"},
    {"volume flow", "m3/s", "m^3 s^-1"},
    {"energy", "J", "m^2 kg s^-2"},
    {"energy price", EURO "/J", "m^-2 kg^-1 s^2 " EURO},
};

TEST(UnitEngine, EveryDimensionByNameSIUnitAndExponentText) {
  const auto &dimensions = unitEngine.dimensions();
  ASSERT_EQ(dimensions.size(), dimensionCases.size());
  for (std::size_t i = 0; i < dimensionCases.size(); ++i) {
    const DimensionCase &c = dimensionCases[i];
    SCOPED_TRACE(c.name);
    EXPECT_EQ(dimensions[i]->name(), c.name);
    EXPECT_EQ(dimensions[i]->siUnit(), c.siUnit);
    EXPECT_EQ(dimensions[i]->units().toString(), c.text);

    for (const char *unit : {c.siUnit, c.text}) {
      UnitArray units(0);
      EXPECT_EQ(unitEngine.toSI(2.5, unit, units), 2.5);
      EXPECT_EQ(units.toString(), c.text);
      EXPECT_EQ(unitEngine.fromSI(2.5, unit), 2.5);
    }
    // The exponent text is a unit of the dimension even where an earlier
    // dimension owns the name in the engine.
    EXPECT_EQ(dimensions[i]->unitMap().count(c.text), 1u);
    const char *owner = std::string(c.name) == "VdW a" ? "pressure*molar volume squared" : c.name;
    EXPECT_EQ(unitEngine.dimensionOfUnit(c.text)->name(), owner);
  }
}

// Conversions against published factors (NIST SP 811, IT calorie and BTU,
// international foot and pound), or against hand calculations shown in the
// comments. relative: tolerance on the SI value.
struct ConversionCase {
  double value;
  const char *unit;
  double si;
  const char *text;
  double relative;
};

// Published factors are given to 12 or 13 significant digits.
constexpr double tight = 1e-11;
// Normal volumes use the ideal gas at 101325 Pa with the gas constant 8314.4.
const double nm3PerKmol = 8314.4 * 273.15 / 101325;
const double stpM3PerKmol = 8314.4 * 298.15 / 101325;

const std::vector<ConversionCase> conversionCases = {
    // The three units with an offset.
    {25, DEGREE "C", 298.15, "K", tight},
    {-273.15, DEGREE "C", 0, "K", 0},
    {32, DEGREE "F", 273.15, "K", tight},
    {212, DEGREE "F", 373.15, "K", tight},
    {-459.67, DEGREE "F", 0, "K", 0},
    {0, "barg", 101325, "m^-1 kg s^-2", tight},
    {1, "barg", 201325, "m^-1 kg s^-2", tight},
    // A sample of the further units.
    {1, "", 1, "", 0},
    {1, "mol", 0.001, "kmol", tight},
    {1, "in", 0.0254, "m", tight},
    {1, "ft", 0.3048, "m", tight},
    {1, "um", 1e-6, "m", tight},
    {1, "lb", 0.45359237, "kg", tight},
    {1, "t", 1000, "kg", tight},
    {1, "h", 3600, "s", tight},
    {1, "d", 86400, "s", tight},
    {1, "mmBTU", 1055055852.62, "m^2 kg s^-2", tight},
    {1, "BTU", 1055.05585262, "m^2 kg s^-2", tight},
    {1, "kcal", 4186.8, "m^2 kg s^-2", tight},
    {1, "kWh", 3.6e6, "m^2 kg s^-2", tight},
    {1, "psi", 6894.757293168, "m^-1 kg s^-2", tight},
    {1, "atm", 101325, "m^-1 kg s^-2", tight},
    {1, "bar", 1e5, "m^-1 kg s^-2", tight},
    {760, "Torr", 101325, "m^-1 kg s^-2", tight},
    {1, "kPa", 1000, "m^-1 kg s^-2", tight},
    {1, "mmH2O", 9.80665, "m^-1 kg s^-2", tight},   // conventional, 1 mm at 1000 kg/m3 and g_n
    {1, "kg/cm2", 98066.5, "m^-1 kg s^-2", tight},  // technical atmosphere
    {1, "ft2", 0.09290304, "m^2", tight},
    {1, "ft3", 0.028316846592, "m^3", tight},
    {1, "bbl", 0.158987294928, "m^3", tight}, // 42 US gallons of 231 in3
    {1, "l", 0.001, "m^3", tight},
    {1, "mm3", 1e-9, "m^3", tight},
    {1, "cP", 0.001, "m^-1 kg s^-1", tight},
    {1, "lb/ft3", 16.018463373960, "m^-3 kg", tight},
    {1, "BTU/lb", 2326, "m^2 s^-2", tight},
    {1, "BTU/lb/" DEGREE "F", 4186.8, "m^2 K^-1 s^-2", tight},
    {1, "BTU/h", 1055.05585262 / 3600, "m^2 kg s^-3", tight},
    {1, "kcal/h", 1.163, "m^2 kg s^-3", tight},
    // BTU / (h ft2 degF) = 1055.05585262 J / (3600 s * 0.09290304 m2 * 5/9 K)
    {1, "BTU/(h*ft2*F)", 5.678263341113, "kg K^-1 s^-3", tight},
    {1, "rpm", 1.0 / 60, "s^-1", tight},
    {3600, "kmol/h", 1, "kmol s^-1", tight},
    {3600, "t/h", 1000, "kg s^-1", tight},
    {3600, "Nm3/h", 1 / nm3PerKmol, "kmol s^-1", tight},
    {60, "Nl/min", 0.001 / nm3PerKmol, "kmol s^-1", tight},
    {60, "STPccm", 1e-6 / stpM3PerKmol, "kmol s^-1", tight},
    {1, "g/Nm3", 0.001 * nm3PerKmol, "kmol^-1 kg", tight},
    {1, EURO "/kWh", 1 / 3.6e6, "m^-2 kg^-1 s^2 " EURO, tight},
    {1, "kg/h", 1.0 / 3600, "kg s^-1", tight},
    {3600, "lb/h", 0.45359237, "kg s^-1", tight},
    {1, "BTU/lbmol", 2326, "kmol^-1 m^2 kg s^-2", tight}, // IT BTU per pound, per kmol basis
    {760, "mmHg", 101325, "m^-1 kg s^-2", tight},          // counted as the torr
    {1, "kcal/(kg*K)", 4186.8, "m^2 K^-1 s^-2", tight},
    {1, "lbmol/ft3", 16.018463373960, "kmol m^-3", tight},
    {1, "A/ft2", 1 / 0.09290304, "A m^-2", tight},
    {1, "ft3/h", 0.028316846592 / 3600, "m^3 s^-1", tight},
    // BTU/h per degF = 1055.05585262 J / 3600 s * 1.8 / K
    {1, "BTU/h/" DEGREE "F", 0.527527926310, "m^2 kg K^-1 s^-3", tight},
    // 1 GPU = 1e-6 cm3(STP) / (cm2 s cmHg) = 3.3464e-10 mol / (m2 s Pa)
    {1, "GPU", 3.3464e-13, "kmol m^-1 kg^-1 s", 1e-4},
    {1, "$", 0.7311544929443592, EURO, tight}, // the fixed exchange rate of the table
    {1, "$/mmBTU", 0.7311544929443592 / 1055055852.62, "m^-2 kg^-1 s^2 " EURO, tight},
    {2, "kmol^-2 m^5 kg s^-2", 2, "kmol^-2 m^5 kg s^-2", 0}, // the shared exponent text
    {2, "N*m4*kmol-2", 2, "kmol^-2 m^5 kg s^-2", 0},
};

TEST(UnitEngine, ConversionTable) {
  for (const ConversionCase &c : conversionCases) {
    SCOPED_TRACE(c.unit);
    UnitArray units(invalidUnitExponent);
    const double si = unitEngine.toSI(c.value, c.unit, units);
    // Relative to the value itself, so that small factors are checked as
    // closely as large ones; an SI value of 0 allows rounding only.
    const double tolerance = c.si == 0 ? 1e-12 : c.relative * std::fabs(c.si);
    EXPECT_NEAR(si, c.si, tolerance);
    EXPECT_EQ(units.toString(), c.text);
    const double back = unitEngine.fromSI(c.si, c.unit);
    EXPECT_NEAR(back, c.value, c.value == 0 ? 1e-12 : (c.relative + 1e-15) * std::fabs(c.value));
  }
}

TEST(UnitEngine, WholeTableConvertsBothWays) {
  std::size_t entries = 0;
  for (const auto &dimension : unitEngine.dimensions()) {
    for (const auto &[unit, conversion] : dimension->unitMap()) {
      SCOPED_TRACE(unit);
      ++entries;
      UnitArray units(invalidUnitExponent);
      const double x = 7.25;
      const double si = unitEngine.toSI(x, unit, units);
      EXPECT_EQ(units, dimension->units());
      EXPECT_EQ(si, dimension->toSI(x, unit));
      EXPECT_NEAR(unitEngine.fromSI(si, unit), x, 1e-12 * x);
      EXPECT_NEAR(dimension->fromSI(si, unit), x, 1e-12 * x);
    }
  }
  // 76 SI units, 66 exponent texts and 137 further units; one exponent text
  // is shared by two dimensions.
  EXPECT_EQ(entries, 76u + 66u + 137u);
  EXPECT_EQ(unitEngine.unitCount(), entries - 1);
}

TEST(UnitEngine, SpecialAndUnknownUnitStrings) {
  UnitArray units(5);
  EXPECT_EQ(unitEngine.toSI(3.5, "[invalid unit]", units), 3.5);
  EXPECT_TRUE(units.allEqual(invalidUnitExponent));

  EXPECT_EQ(unitEngine.toSI(3.5, "", units), 3.5);
  EXPECT_TRUE(units.allEqual(0));

  // No dimension check on the way out: a pressure "in kg" is unchanged.
  EXPECT_EQ(unitEngine.fromSI(101325, "kg"), 101325);
  EXPECT_DOUBLE_EQ(unitEngine.fromSI(101325, "bar"), 1.01325);
  EXPECT_NEAR(unitEngine.fromSI(273.15, DEGREE "F"), 32, 1e-12);

  const std::string prefix = "Error type: Unit of measurement error - unsupported unit [";
  // Matched whole, byte for byte: no trimming, no case folding, no parsing.
  for (const char *unknown : {"kg ", " kg", "KG", "furlong", "kg/m^3", "m3/h*2"}) {
    SCOPED_TRACE(unknown);
    const UnitArray before(1, 2, 3, 4, 5, 6, 7, 8, 9);
    UnitArray target(before);
    try {
      unitEngine.toSI(1, unknown, target);
      ADD_FAILURE() << "no throw";
    } catch (const ErrorUnit &error) {
      EXPECT_EQ(error.message(),
                "Error was thrown by function: UnitEngine::toSI\n" + prefix + unknown + "]\n");
    }
    EXPECT_EQ(target, before);
  }
  for (const char *unknown : {"KG", "[invalid unit]"}) {
    try {
      unitEngine.fromSI(1, unknown);
      ADD_FAILURE() << "no throw";
    } catch (const ErrorUnit &error) {
      EXPECT_EQ(error.message(), "Error was thrown by function: UnitEngine::fromSI\n" + prefix +
                                     unknown + "]\nCalled from function: UnitEngine::fromSI\n");
    }
  }
  EXPECT_EQ(unitEngine.findDimension("furlong"), nullptr);
  EXPECT_EQ(unitEngine.dimensionOfUnit("furlong"), nullptr);
}

// Converted by a start-up initialiser of this file, before main: the engine
// must already be built whatever the order of initialisation across files.
UnitArray startUpUnits(0);
const double startUpPressure = unitEngine.toSI(1, "bar", startUpUnits);

TEST(UnitEngine, UsableDuringStartUp) {
  EXPECT_EQ(startUpPressure, 1e5);
  EXPECT_EQ(startUpUnits.toString(), "m^-1 kg s^-2");
}

std::string messageOf(const std::function<void()> &action) {
  try {
    action();
  } catch (const ErrorUnit &error) {
    return error.message();
  }
  return "no throw";
}

TEST(UnitEngine, Registration) {
  UnitEngine engine; // a private engine: the process-wide one is never changed
  const std::size_t count = engine.unitCount();

  EXPECT_EQ(messageOf([&] { engine.addUnit("mass", "kg", 2, 0); }),
            "Error was thrown by function: Dimension::addUnit\n"
            "Error type: Unit of measurement error - Duplicate unit <kg>\n");
  EXPECT_EQ(messageOf([&] { engine.addUnit("massa", "kgx", 2, 0); }),
            "Error was thrown by function: UnitEngine::addUnit\n"
            "Error type: Unit of measurement error - unsupported unit [massa]\n");
  EXPECT_EQ(messageOf([&] { engine.addDimension(" mass ", "kg", UnitArray(0)); }),
            "Error was thrown by function: UnitEngine::addDimension\n"
            "Error type: Unit of measurement error - duplicate dimension <mass>\n");
  EXPECT_EQ(engine.unitCount(), count);
  EXPECT_EQ(engine.dimensions().size(), 76u);

  // Dimension names are trimmed; unit names are kept as given.
  engine.addUnit(" mass ", "oz", 0.028349523125, 0);
  UnitArray units(0);
  EXPECT_DOUBLE_EQ(engine.toSI(1, "oz", units), 0.028349523125);
  EXPECT_EQ(units.toString(), "kg");

  // A name owned by an earlier dimension stays with it.
  engine.addUnit("length", "kg", 5, 0);
  EXPECT_EQ(engine.toSI(2, "kg", units), 2);
  EXPECT_EQ(units.toString(), "kg");
  EXPECT_EQ(engine.findDimension("length")->toSI(2, "kg"), 10);
  EXPECT_EQ(engine.unitCount(), count + 1);

  EXPECT_EQ(messageOf([&] { engine.findDimension("length")->findUnit("g"); }),
            "Error was thrown by function: Dimension::findUnit\n"
            "Error type: Unit of measurement error - unsupported unit [g]\n");
}

} // namespace
