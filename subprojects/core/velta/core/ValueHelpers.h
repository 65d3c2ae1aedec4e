#pragma once
// Numeric helpers on physical values shared by the models: smoothing of a
// quantity near zero, mean temperature differences, clipping and the pipe
// friction factor. All of them carry derivatives with their values, and the
// unit checks of value arithmetic apply (ErrorUnit on a mismatch).

#include "velta/core/NumericHelpers.h"
#include "velta/value/Value.h"

#include <string>

// A smooth positive replacement of x near and below zero, with eps = 1e-5:
// x itself from 2 eps up, eps (x - 4 eps) / (x - 3 eps) on [0, 2 eps), and
// 4 eps / 3 with the derivatives of x divided by 9 below 0. The pieces join
// with equal value and slope; the result is never below 4 eps / 3. NaN is
// returned unchanged.
Active regularizePositive(const Active &x);
// The same on a pressure: eps is minimumPressure (1e-5 Pa); between 0 and
// 2 eps x must be a pressure.
Value regularizePositive(const Value &x);

// Mean of the two end temperature differences of a heat exchanger by option:
// "linear", "linearClipped", "LMTD", "LmtdClipped" or "CSTR" (case-
// sensitive). result must be a temperature difference or without units yet.
// Any other option throws ErrorBrowsing from "calculateAverage".
void calculateAverage(const std::string &option, const Value &dT1, const Value &dT2, Value &result);

// Clamps x into [-|limit|, |limit|] in place; a limit of 0 leaves x as it is
// and a NaN x becomes 0 (derivatives too, units kept).
void clipSymmetric(Value &x, const Value &limit);

// Clamps x into [min, max] in place (min wins when min > max); a NaN x
// becomes max.
void clip(Value &x, const Value &min, const Value &max);

// Reynolds number at which pipe flow turns from laminar to turbulent.
inline constexpr double transitionReynolds = 2300.0;

// Darcy friction factor of a pipe from the Reynolds number and the relative
// roughness (both dimensionless; the roughness is clamped to [1e-6, 0.05]):
// 0 for Re <= 0, 64 / Re in laminar flow (Re below transitionReynolds), an
// explicit approximation of the Colebrook equation in turbulent flow, and
// the fully rough limit for an infinite Re. Only a NaN Re gives NaN.
Value frictionFactor(const Value &Re, Value roughness);
