#pragma once
// Vapour-pressure record: seven coefficients (elements 0-6), then Tmin
// (element 7) and Tmax (element 8) in K, the range within which the equation
// is applied directly. A plain value copied into the routes that read it.

class ParametersAntoine {
public:
  ParametersAntoine(double a0, double a1, double a2, double a3, double a4, double a5, double a6,
                    double tmin, double tmax)
      : v_{a0, a1, a2, a3, a4, a5, a6, tmin, tmax} {}

  double operator[](int i) const { return v_[i]; }

private:
  double v_[9];
};
