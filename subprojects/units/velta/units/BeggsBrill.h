#pragma once
// The Beggs and Brill correlation of inclined two-phase pipe flow, on its
// dimensionless groups: the input liquid volume fraction lambda, the
// Froude number Fr = v^2 / (g di) of the mixture, the liquid velocity
// number NLv = vSL (rhoL / (g sigma))^0.25 and the inclination theta
// (radians, positive ascending).
//
// The flow pattern comes from Fr against the boundaries L1 and L2 of
// lambda; each pattern has its horizontal holdup a lambda^b / Fr^c and its
// inclination coefficient C (one common C for every descending flow); the
// inclined holdup is the horizontal one times psi = 1 + C (sin 1.8 theta -
// sin^3 1.8 theta / 3), clipped to [0, 1]. The two-phase friction factor is
// the no-slip one times e^S, S a function of y = lambda / hL^2.

#include "velta/value/Value.h"

#include <string>

namespace BeggsBrill {

// The flow-pattern boundaries of Fr at an input liquid fraction.
Value boundaryL1(const Value &lambda);
Value boundaryL2(const Value &lambda);

struct Holdup {
  std::string pattern; // "segregated", "intermittent" or "distributed"
  Value L1, L2;
  Value hL0; // horizontal holdup, at least lambda
  Value C;   // inclination coefficient, at least 0
  Value psi; // inclination factor
  Value hL;  // holdup of the inclined pipe, in [0, 1]
};

// Pattern and holdup; lambda in (0, 1], Fr and NLv positive.
Holdup holdup(const Value &lambda, const Value &Fr, const Value &NLv, const Value &theta);

// The exponent S of the ratio of the two-phase to the no-slip friction
// factor, from y = lambda / hL^2.
Value frictionExponent(const Value &y);

} // namespace BeggsBrill
