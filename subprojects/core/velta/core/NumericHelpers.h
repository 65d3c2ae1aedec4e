#pragma once
// Free numeric helpers shared by the models and the solvers.

// True when (|a + b| + c) * c > |a - b|: with c the tolerance, a relative
// test for large numbers and an absolute one (c squared) near zero. False
// whenever a NaN takes part.
bool nearlyEqual(double a, double b, double c);
