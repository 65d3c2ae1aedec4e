#pragma once
// Shared pieces of the property routes: their quieter log rule, their
// assertions, unit checks and the checks that turn non-physical arguments
// arriving from a solver step or from input into errors.

#include "velta/utility/Assert.h"
#include "velta/utility/Diagnostic.h"
#include "velta/value/Value.h"

// Routes write a line of level L when verbosityGlobal + verbosity - 10 > L,
// i.e. the common rule with the local verbosity lowered by 9.
#define VELTA_ROUTE_LOG(level, name, message) VELTA_LOG(verbosity() - 9, level, name, message)

// Fatal assertion of the routes' internal invariants (coefficient data).
#define VELTA_ROUTE_ASSERT(condition, expression)                                                  \
  VELTA_ASSERT_AS(condition, expression, "subprojects/components/src/routes", __LINE__)

namespace routeSupport {

// Exponent sets of the routes' results (order: kmol rad A m cd kg K s money).
inline constexpr UnitArray kelvin{0, 0, 0, 0, 0, 0, 1, 0, 0};
inline constexpr UnitArray pascal{0, 0, 0, -1, 0, 1, 0, -2, 0};
inline constexpr UnitArray pascalPerKelvin{0, 0, 0, -1, 0, 1, -1, -2, 0};
inline constexpr UnitArray joulePerKmol{-1, 0, 0, 2, 0, 1, 0, -2, 0};
inline constexpr UnitArray joulePerKmolKelvin{-1, 0, 0, 2, 0, 1, -1, -2, 0};
inline constexpr UnitArray kmolPerCubicMetre{1, 0, 0, -3, 0, 0, 0, 0, 0};
inline constexpr UnitArray pascalSecond{0, 0, 0, -1, 0, 1, 0, -1, 0};
inline constexpr UnitArray wattPerMetreKelvin{0, 0, 0, 1, 0, 1, -1, -3, 0};
inline constexpr UnitArray newtonPerMetre{0, 0, 0, 0, 0, 1, 0, -2, 0};

// T / 1 K as a dimensionless value with the derivatives of T.
inline Value reduced(const Value &T) { return Value(T.activeValue(), dimensionless); }

// Same check and error as subtracting 0 K (or 0 Pa) from the argument.
inline void requireKelvin(const Value &T) {
  valueDetail::requireEqualUnits(valueFunction::subtract, T.units(), kelvin);
}
inline void requirePascal(const Value &P) {
  valueDetail::requireEqualUnits(valueFunction::subtract, P.units(), pascal);
}

// ErrorRunTime from function unless value > 0 (NaN fails too): a temperature
// or pressure at or below zero may come from a solver step or from input, so
// it must be reported, not asserted.
void requirePositive(const char *function, const char *quantity, double value, const char *unit);
inline void requirePositiveTemperature(const char *function, const Value &T) {
  if (!(T.value() > 0.0)) [[unlikely]]
    requirePositive(function, "temperature", T.value(), "K");
}
inline void requirePositivePressure(const char *function, const Value &P) {
  if (!(P.value() > 0.0)) [[unlikely]]
    requirePositive(function, "pressure", P.value(), "Pa");
}

// Plain number with the derivatives of a scaled by factor and value v.
Active withDerivatives(double v, const Active &a, double factor);

} // namespace routeSupport
