#pragma once
// Evaluation helpers for derivative checks: a value with its automatic
// derivative with respect to one seeded argument, and central differences.

#include "velta/value/DerivativeContext.h"
#include "velta/value/Value.h"

#include <functional>

namespace routetest {

inline const UnitArray kelvin{0, 0, 0, 0, 0, 0, 1, 0, 0};
inline const UnitArray pascal{0, 0, 0, -1, 0, 1, 0, -2, 0};

struct Evaluation {
  double value;
  double derivative; // automatic derivative with respect to the seeded argument
};

using Function = std::function<Value(const Value &T, const Value &P)>;

// f at (T, P) with T (seedPressure false) or P (true) seeded in a context of
// one direction.
inline Evaluation evaluateSeeded(const Function &f, double T, double P, bool seedPressure = false) {
  pushDerivativeContext(1);
  Evaluation result{};
  {
    Value t(T, kelvin), p(P, pascal);
    Value &seeded = seedPressure ? p : t;
    seeded.activeValue().setActive(0);
    const Value r = f(t, p);
    result = {r.value(), r.activeValue().derivative(0)};
    seeded.activeValue().setInactive(0);
  }
  popDerivativeContext();
  return result;
}

inline double plain(const Function &f, double T, double P) {
  return f(Value(T, kelvin), Value(P, pascal)).value();
}

// Central difference in T with step h.
inline double centralT(const Function &f, double T, double P, double h) {
  return (plain(f, T + h, P) - plain(f, T - h, P)) / (2.0 * h);
}

inline double centralP(const Function &f, double T, double P, double h) {
  return (plain(f, T, P + h) - plain(f, T, P - h)) / (2.0 * h);
}

} // namespace routetest
