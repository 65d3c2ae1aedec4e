#pragma once
// The reduced Helmholtz energy of IAPWS-95, phi(delta, tau) = phi0 + phir,
// with delta = rho / 322 kg/m3 and tau = 647.096 K / T, written once over
// the number type N: double gives the value alone, IapwsGradient<M> adds
// the derivatives over (delta, tau) when the arguments are seeded with
// IapwsGradient<M>::variable, and nesting IapwsGradient<IapwsGradient<double>>
// gives the second derivatives too.
//
// No range checks: outside the formulation's range the same formulas are
// evaluated. At delta = 0 phi0 is -infinity (ln 0); every power goes through
// powWithGradient, so powers of 0 have zero derivatives.

#include "velta/phases/IapwsCoefficients.h"
#include "velta/phases/IapwsGradient.h"

#include <cmath>

namespace Phase {

// Ideal-gas part: ln delta + n1 + n2 tau + n3 ln tau
//                 + sum_{i=4..8} n_i ln(1 - exp(-gamma_i tau)).
template <class N> N iapwsPhi0(const N &delta, const N &tau) {
  namespace c = IapwsCoefficients;
  using std::exp;
  using std::log;
  N acc(0.0);
  for (std::size_t i = 4; i <= 8; ++i)
    acc += c::idealN[i] * log(1.0 - exp(-c::idealGamma[i] * tau));
  return (((log(delta) + c::idealN[1]) + c::idealN[2] * tau) + c::idealN[3] * log(tau)) + acc;
}

// Residual part, the 56 terms added in table order.
template <class N> N iapwsPhir(const N &delta, const N &tau) {
  namespace c = IapwsCoefficients;
  using std::exp;
  N acc(0.0);
  for (std::size_t i = 1; i <= 7; ++i)
    acc += c::residualN[i] *
           (powWithGradient(delta, c::residualD[i]) * powWithGradient(tau, c::residualT[i]));
  for (std::size_t i = 8; i <= 51; ++i)
    acc += c::residualN[i] *
           (powWithGradient(delta, c::residualD[i]) * powWithGradient(tau, c::residualT[i]) *
            exp(-powWithGradient(delta, c::residualC[i])));
  const N deltaOff = delta - 1.0;
  const N s = deltaOff * deltaOff;
  const N deltaCube = powWithGradient(delta, c::gaussianD);
  for (std::size_t i = 1; i <= 3; ++i) {
    const N tauOff = tau - c::gaussianGamma[i];
    acc += c::gaussianN[i] * (deltaCube * powWithGradient(tau, c::gaussianT[i]) *
                              exp(-static_cast<double>(c::gaussianAlpha) * s -
                                  static_cast<double>(c::gaussianBeta[i]) * (tauOff * tauOff)));
  }
  const N tauOne = tau - 1.0;
  const N theta =
      (1.0 - tau) + c::nonAnalyticBigA * powWithGradient(s, 1.0 / (2.0 * c::nonAnalyticBeta));
  const N distance = theta * theta + c::nonAnalyticBigB * powWithGradient(s, c::nonAnalyticA);
  for (std::size_t i = 1; i <= 2; ++i) {
    const N psi = exp(-c::nonAnalyticC[i] * s - c::nonAnalyticD[i] * (tauOne * tauOne));
    acc += c::nonAnalyticN[i] * (powWithGradient(distance, c::nonAnalyticB[i]) * delta * psi);
  }
  return acc;
}

// Reduced density of water at pressure P (Pa) and temperature T (K), by
// Newton's method on p(delta) = rhoc R T delta (1 + delta phir_delta) from
// delta0, in plain doubles. An increase is capped at 30 % of delta, and a
// step that would leave (0, 4.5] is halved; at a
// point of the unstable region (dp/ddelta <= 0) the iterate moves away from
// it on the side of the start: up by 10 % from a liquid-like start
// (delta0 > 1), down by half from a gas-like one.
struct IapwsDensitySolution {
  double delta = 0.0;
  int evaluations = 0; // evaluations of phir with its delta derivatives
  bool converged = false;
};
IapwsDensitySolution solveIapwsDelta(double P, double T, double delta0, int maxEvaluations = 50);

// Reduced densities rho'/rhoc and rho''/rhoc of the saturated liquid and
// vapour at T by the auxiliary equations of Wagner and Pruss (2002, eqs.
// 2.6 and 2.7), within 0.1 % of IAPWS-95 from the triple point to the
// critical point; 1 at and above the critical temperature.
double iapwsSaturatedLiquidDelta(double T);
double iapwsSaturatedVaporDelta(double T);

// The spinodal of one side of the two-phase region at T below the critical
// temperature: the reduced density where dp/ddelta first falls to a
// thousandth of its value at saturation (just short of zero, so that the
// state's heat capacity stays finite) when delta moves from the saturated
// vapour towards 1 (vapor true) or from the saturated liquid towards 1
// (vapor false). Beyond it the isotherm of IAPWS-95 has no state of that
// phase, and its pressure oscillates wildly (at 300 K it reaches 1e15 Pa
// just below delta = 1). NaN when T is at or above the critical temperature
// or when dp/ddelta stays above that floor up to 1.
double iapwsSpinodalDelta(double T, bool vapor);

} // namespace Phase
