#pragma once
// The heat-transfer and friction correlations of the shell-and-tube side
// models, on plain numbers or on values with units and derivatives (every
// argument dimensionless). The chart fits (Dukler, Kunz-Yerazunis) work on
// plain numbers only.

#include <cmath>

namespace HeatTransferCorrelations {

// Condensate film on the outside of tubes: the dimensionless coefficient
// h (mu^2 / (k^3 rho^2 g))^(1/3) of the Dukler diagram as a function of the
// film Reynolds and Prandtl numbers; 0 outside 0.5 <= Pr <= 10.
double dukler(double Re, double Pr);

// Falling film evaporating inside tubes: the Kunz-Yerazunis chart
// reading, the same dimensionless coefficient; 0 outside 10 <= Re <= 1e5
// and 1 <= Pr <= 1000.
double kunzYerazunis(double Re, double Pr);

// Turbulent pipe flow, Petukhov-Kirillov-Popov, with the Darcy factor f.
template <class T> T petukhov(const T &f, const T &Re, const T &Pr) {
  using std::pow;
  using std::sqrt;
  const T f8 = f / 8.0;
  return f8 * Re * Pr /
         (1.07 + 900.0 / Re - 0.63 / (1.0 + 10.0 * Pr) +
          12.7 * sqrt(f8) * (pow(Pr, 2.0 / 3.0) - 1.0));
}

// Dittus-Boelter: exponent 0.4 for a heated fluid, 0.3 for a cooled one.
template <class T> T dittusBoelter(const T &Re, const T &Pr, bool heated) {
  using std::pow;
  return 0.023 * pow(Re, 0.8) * pow(Pr, heated ? 0.4 : 0.3);
}

// Sieder-Tate with the viscosity ratio bulk over wall.
template <class T> T siederTate(const T &Re, const T &Pr, const T &viscosityRatio) {
  using std::pow;
  return 0.027 * pow(Re, 0.8) * pow(Pr, 1.0 / 3.0) * pow(viscosityRatio, 0.14);
}

// Fanning friction factor of a smooth tube: 16 / Re in laminar flow
// (below 2300), Blasius 0.079 Re^-0.25 in turbulent flow; 0 without flow.
template <class T> T fanning(const T &Re) {
  using std::pow;
  if (!(Re > T(0.0)))
    return T(0.0);
  if (Re < T(2300.0))
    return 16.0 / Re;
  return 0.079 / pow(Re, 0.25);
}

// Two-phase multipliers of Lockhart-Martinelli in Chisholm's form, on the
// liquid-alone and on the gas-alone pressure drop, with the constant C of
// the flow regimes (20 both turbulent, 12 laminar liquid and turbulent gas,
// 10 turbulent liquid and laminar gas, 5 both laminar).
template <class T> T chisholmLiquid(const T &Xtt, double C) {
  return 1.0 + C / Xtt + 1.0 / (Xtt * Xtt);
}
template <class T> T chisholmGas(const T &Xtt, double C) { return 1.0 + C * Xtt + Xtt * Xtt; }
inline double chisholmConstant(bool liquidTurbulent, bool gasTurbulent) {
  if (liquidTurbulent)
    return gasTurbulent ? 20.0 : 10.0;
  return gasTurbulent ? 12.0 : 5.0;
}

// Tube bank in cross flow (Zukauskas form): Nu = C Re^n Pr^0.36 (Pr /
// Pr_w)^0.25 in four Reynolds bands.
template <class T> T tubeBankNusselt(const T &Re, const T &Pr, const T &PrWall) {
  using std::pow;
  double C = 0.031, n = 0.8;
  if (Re < T(500.0)) {
    C = 1.04;
    n = 0.4;
  } else if (Re < T(1000.0)) {
    C = 0.71;
    n = 0.5;
  } else if (Re < T(200000.0)) {
    C = 0.35;
    n = 0.6;
  }
  return C * pow(Re, n) * pow(Pr, 0.36) * pow(Pr / PrWall, 0.25);
}

// Baffle-cut factor: Fc, the fraction of tubes in cross flow, from x = D (1
// - 2 c) / Dotl; Jc = 0.55 + 0.72 Fc. A cut that misses the bundle (x above
// 1) leaves every tube in cross flow.
template <class T> T baffleCutFactor(T x) {
  using std::acos;
  using std::sin;
  const double pi = 3.141592653589793;
  if (x > T(1.0))
    x = T(1.0);
  else if (x < T(-1.0))
    x = T(-1.0);
  const T angle = acos(x);
  return 0.55 + 0.72 * (pi + 2.0 * x * sin(angle) - 2.0 * angle) / pi;
}

// Leakage factor from rs = Ssb / (Ssb + Stb) and rlm = (Ssb + Stb) / Sm:
// 1 without leakage.
template <class T> T leakageFactor(const T &rs, const T &rlm) {
  using std::exp;
  return 0.44 * (1.0 - rs) + (1.0 - 0.44 * (1.0 - rs)) * exp(-2.2 * rlm);
}

// Laminar-flow factor from the shell Reynolds number and the rows crossed:
// (10 / Nc)^0.18 below 20, 1 above 100, linear between.
template <class T> T laminarFactor(const T &ReShell, const T &Nc) {
  using std::pow;
  const T Jrr = pow(10.0 / Nc, 0.18);
  if (ReShell < T(20.0))
    return Jrr;
  if (ReShell > T(100.0))
    return T(1.0);
  return 1.0 - (1.0 - Jrr) * (100.0 - ReShell) / 80.0;
}

} // namespace HeatTransferCorrelations
