#pragma once
// Evaluation of a Barin group as a heat route: T must be in K; the result
// carries J/kmol (enthalpy) or J/(kmol*K) (entropy, heat capacity) and the
// derivatives of T. Shared by the three Barin heat routes. The entropy's
// logarithm needs T > 0: a temperature at or below zero (a solver step, an
// input) is an ErrorRunTime from function, not a NaN.

#include "RouteSupport.h"

#include "velta/components/GroupBkk.h"
#include "velta/utility/Error.h"

namespace routeSupport {

inline Value evaluateBarinGroup(const char *function, const GroupBkk &group, int kind,
                                const Value &T) {
  requireKelvin(T);
  if (kind == ParameterBkk::entropy)
    requirePositiveTemperature(function, T);
  return Value(group.evaluate(kind, T.activeValue()),
               kind == ParameterBkk::enthalpy ? joulePerKmol : joulePerKmolKelvin);
}

} // namespace routeSupport

// One route operation, traced under "Class::operation".
#define VELTA_BARIN_ROUTE(Class, operation, group, kind)                                           \
  Value Class::operation(const Value &T, const Value &) const {                                    \
    VELTA_TRACE_BEGIN                                                                              \
    return routeSupport::evaluateBarinGroup(#Class "::" #operation, group, ParameterBkk::kind, T); \
    VELTA_TRACE_END(#Class "::" #operation)                                                        \
  }
