#include "velta/core/ValueHelpers.h"

#include "velta/utility/Error.h"
#include "velta/value/Constants.h"

#include <cmath>

namespace {

constexpr double regularizeEpsilon = 1e-5;

// The exponents of a temperature difference in kelvin.
constexpr UnitArray kelvin{0, 0, 0, 0, 0, 0, 1, 0, 0};

// Magnitude at or below which "LmtdClipped" replaces a temperature
// difference (K).
constexpr double clippedDifference = 0.5;

// What the mean of two differences of opposite signs collapses to: 2^-52 K,
// with the derivatives of the arithmetic mean so that a solver still sees a
// slope.
Value tinyDifference(const Value &dT1, const Value &dT2) {
  Active number = ((dT1 + dT2) / 2.0).activeValue();
  number.value() = 2.220446049250313e-16;
  return Value(std::move(number), kelvin);
}

// Plain logarithmic mean; the arithmetic mean where the two differences are
// so close that the quotient would lose every digit (or be 0 / 0).
Value logarithmicMean(const Value &dT1, const Value &dT2) {
  const double v1 = dT1.value(), v2 = dT2.value();
  if (std::fabs(v1 - v2) < 1e-8 * (1.0 + std::fabs(v1 + v2)))
    return (dT1 + dT2) / 2.0;
  return (dT1 - dT2) / log(dT1 / dT2);
}

// clippedDifference with the sign of other and the derivatives of replaced.
Value clippedReplacement(const Value &replaced, const Value &other) {
  Active number = replaced.activeValue();
  number.value() = clippedDifference * other.value() / std::fabs(other.value());
  return Value(std::move(number), kelvin);
}

// The logarithmic mean of e and dT2 written so that the derivatives of the
// replaced dT1 (carried by e) and of dT2 both survive:
// (e - dT2)^2 / ((dT1 - dT2) ln(e / dT2)).
Value meanWithFirstReplaced(const Value &dT1, const Value &dT2) {
  const Value e = clippedReplacement(dT1, dT2);
  return ((e - dT2) / (dT1 - dT2)) * (e - dT2) / log(e / dT2);
}

// (dT1 - e)^2 / ((dT1 - dT2) ln(dT1 / e)), e replacing dT2.
Value meanWithSecondReplaced(const Value &dT1, const Value &dT2) {
  const Value e = clippedReplacement(dT2, dT1);
  return ((dT1 - e) / (dT1 - dT2)) * (dT1 - e) / log(dT1 / e);
}

Value clippedLogarithmicMean(const Value &dT1, const Value &dT2) {
  const double v1 = dT1.value(), v2 = dT2.value();
  const bool small1 = std::fabs(v1) <= clippedDifference;
  const bool small2 = std::fabs(v2) <= clippedDifference;
  if (small1 && small2)
    return tinyDifference(dT1, dT2);
  if (small1)
    return meanWithFirstReplaced(dT1, dT2);
  if (small2)
    return meanWithSecondReplaced(dT1, dT2);
  if (v1 * v2 <= 0) {
    // Opposite signs: the smaller difference gives way.
    if (std::fabs(v2) >= std::fabs(v1))
      return meanWithFirstReplaced(dT1, dT2);
    return meanWithSecondReplaced(dT1, dT2);
  }
  return logarithmicMean(dT1, dT2);
}

} // namespace

Active regularizePositive(const Active &x) {
  constexpr double eps = regularizeEpsilon;
  if (x < 0.0) {
    Active result = x / 9.0;
    result.value() = eps * 4.0 / 3.0;
    return result;
  }
  if (x < 2.0 * minimumPressure.value())
    return eps * (x - 4.0 * eps) / (x - 3.0 * eps);
  return x;
}

Value regularizePositive(const Value &x) {
  const Value &eps = minimumPressure;
  if (x.value() < 0.0) {
    const Value slope(x.activeValue().derivativePart(), eps.units());
    return eps * 4.0 / 3.0 + slope / 9.0;
  }
  if (x.value() < 2.0 * eps.value())
    return ((x - eps * 4.0) * eps) / (x - eps * 3.0);
  return x;
}

void calculateAverage(const std::string &option, const Value &dT1, const Value &dT2,
                      Value &result) {
  if (option == "linear") {
    result = (dT1 + dT2) / 2.0;
  } else if (option == "linearClipped") {
    if (dT1.value() * dT2.value() < 0.0)
      result = std::fabs(dT1.value()) > std::fabs(dT2.value()) ? dT1 / 2.0 : dT2 / 2.0;
    else
      result = (dT1 + dT2) / 2.0;
  } else if (option == "LMTD") {
    if (dT1.value() * dT2.value() <= 0.0)
      result = tinyDifference(dT1, dT2);
    else
      result = logarithmicMean(dT1, dT2);
  } else if (option == "LmtdClipped") {
    result = clippedLogarithmicMean(dT1, dT2);
  } else if (option == "CSTR") {
    result = dT2;
  } else {
    throw ErrorBrowsing("calculateAverage", "", "", "MTD option", option.c_str());
  }
}

void clipSymmetric(Value &x, const Value &limit) {
  if (x.isNan()) {
    x.setZero();
    return;
  }
  if (limit.value() == 0.0)
    return;
  const Value bound = fabs(limit);
  if (x > bound)
    x = bound;
  else if (x < -bound)
    x = -bound;
}

void clip(Value &x, const Value &min, const Value &max) {
  if (x > max)
    x = max;
  if (x < min)
    x = min;
  if (x.isNan())
    x = max;
}

Value frictionFactor(const Value &Re, Value roughness) {
  if (Re.value() <= 0.0)
    return dimensionlessZero;
  valueDetail::requireDimensionless("frictionFactor", Re.units());
  if (roughness.value() < 1e-6)
    roughness = 1e-6;
  else if (roughness.value() > 0.05)
    roughness = 0.05;
  valueDetail::requireDimensionless("frictionFactor", roughness.units());

  if (Re.value() < transitionReynolds)
    return 64.0 / Re;
  if (std::isinf(Re.value())) {
    // Fully rough limit of the Colebrook equation: 1/sqrt(f) = -2 log10(eps / 3.7).
    const Value a = -2.0 * log10(roughness / 3.7);
    return (1.0 / a) / a;
  }
  // Explicit approximation of the Colebrook equation, 1/sqrt(f) = a.
  const Value C = (0.774 * log(Re) - 1.41) / (1.0 + 1.32 * sqrt(roughness));
  const Value B = ((1.0 / 3.7) * Re) * roughness + 2.51 * C;
  const Value a = C - (C + 2.0 * log10(B / Re)) / (1.0 + 2.18 / B);
  return (1.0 / a) / a;
}
