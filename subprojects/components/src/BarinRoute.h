#pragma once
// Evaluation of a Barin group as a heat route: T must be in K; the result
// carries J/kmol (enthalpy) or J/(kmol*K) (entropy, heat capacity) and the
// derivatives of T. Shared by the three Barin heat routes.

#include "RouteSupport.h"

#include "velta/components/GroupBkk.h"
#include "velta/utility/Error.h"

namespace routeSupport {

inline Value evaluateBarinGroup(const GroupBkk &group, int kind, const Value &T) {
  requireKelvin(T);
  return Value(group.evaluate(kind, T.activeValue()),
               kind == ParameterBkk::enthalpy ? joulePerKmol : joulePerKmolKelvin);
}

} // namespace routeSupport

// One route operation, traced under "Class::operation".
#define VELTA_BARIN_ROUTE(Class, operation, group, kind)                                           \
  Value Class::operation(const Value &T, const Value &) const {                                    \
    VELTA_TRACE_BEGIN                                                                              \
    return routeSupport::evaluateBarinGroup(group, ParameterBkk::kind, T);                         \
    VELTA_TRACE_END(#Class "::" #operation)                                                        \
  }
