#pragma once
// The arithmetic of a cubic engine's property pass on unit-free numbers:
// the pure attraction parameters at T, the mixing rules over x, the
// pressure with its corrections, the residual entropy, enthalpy and heat
// capacity, and the logarithms of the fugacity coefficients. The engine
// checks the units of what comes in and attaches them to what goes out; in
// between every operation is one of a number that carries the current
// context's derivatives and nothing else.
//
// The number follows the derivative context of the precompute: a plain
// double without directions, a number with exactly that many fixed slots in
// a dense context, the process-wide number in a sparse one. The pure
// parameters depend on T alone and are formed on a value with its T slope;
// each mixture sum sum_i c_i(T) x_i then takes the derivatives of x scaled
// by c_i and those of T scaled by sum_i x_i c_i'(T), so that nothing per
// component carries the context's derivatives.
//
// Without interaction parameters the geometric mean factorises,
//     sum_ij x_i x_j sqrt(a_i a_j) = S0^2,  S0 = sum_i x_i sqrt(a_i),
// and A and its T derivatives follow from four sums over the mixture:
//     S1 = sum x_i a_i'/s_i,  S2 = sum x_i a_i''/s_i,  S3 = sum x_i a_i'^2/s_i^3,
//     A' = S0 S1,  A'' = S0 S2 + S1^2 / 2 - S0 S3 / 2   (s_i = sqrt(a_i)).

#include "velta/core/Vector.h"
#include "velta/value/Value.h"

#include <memory>
#include <vector>

namespace Phase::EosCubic {

// The constants of one cubic equation (van der Waals: P = R T / (v - b) -
// a / v^2 with a temperature-independent a; the others the generalised form
// with d1 and d2).
struct CubicConstants {
  double OmegaA = 0.0;
  double OmegaB = 0.0;
  double d1 = 0.0;
  double d2 = 0.0;
  bool vanDerWaals = false;
};

// What the mixing rules take of one component, in SI units.
struct PureParameters {
  double Tc = 0.0;
  double Pc = 0.0;
  double omega = 0.0;
  double m = 0.0; // slope of the temperature function (not used by van der Waals)
  double b = 0.0; // covolume OmegaB R Tc / Pc, m3/kmol
};

// Where a pressure step leaves its results (the engine interface's members).
struct PressureResults {
  Value &Pcalc;   // uncorrected pressure, Pa
  Value &P;       // corrected pressure, Pa
  Value &Pcm;     // pressure at betac, Pa
  Value &dpdbeta; // slope less the floor, Pa (written in the correction region only)
};

class CubicTerms {
public:
  virtual ~CubicTerms();

  // Pure parameters at T and the mixture sums over x (components whose x_i
  // is exactly 0 are skipped). T in K and x dimensionless, unchecked here.
  virtual void precompute(const CubicConstants &constants, const std::vector<PureParameters> &pure,
                          const Value &T, Vector x) = 0;
  // A, dA/dT, d2A/dT2 (Pa*m6/kmol2, /K, /K2) and B (m3/kmol) of the amount sum x.
  virtual void mixture(Value &A, Value &dAdT, Value &d2AdT2, Value &B) const = 0;
  // Component i: sqrt(a_i * 1 kg/m3), da_i/dT, d2a_i/dT2 and the geometric
  // mean sum_j x_j sqrt(a_i a_j) with its two T derivatives.
  virtual void component(int i, Value &sqrtai, Value &dai, Value &d2ai, Value &amixi,
                         Value &damixi, Value &d2amixi) const = 0;
  // The engine interface's pressure of the phase at beta: the uncorrected
  // pressure, the pressure at betac and, below the pseudo-critical
  // temperature or for a liquid below betac, the corrections.
  virtual void pressure(const Value &T, const Value &beta, const Value &sumx, int phaseType,
                        const Value &betac, double betamin, double betamax,
                        const PressureResults &results) = 0;
  // Residual entropy, enthalpy and isobaric heat capacity of the amount n at
  // the specified P, T and beta.
  virtual void residuals(const Value &P, const Value &T, const Value &beta, const Value &n,
                         Value &sResidual, Value &hResidual, Value &cpResidual) = 0;
  // ln phi_i = dF/dn_i (T, V) - ln Z of every component at beta; a liquid
  // whose uncorrected pressure Pcalc exceeds P also carries ln(Pcalc / P).
  virtual void lnphi(const Value &P, const Value &Pcalc, const Value &T, const Value &beta,
                     const Value &sumx, int phaseType, std::vector<Value> &lnphi) = 0;
  // The number of directions the terms were made for.
  virtual int directions() const = 0;
};

// Terms whose numbers suit the current derivative context.
std::unique_ptr<CubicTerms> makeCubicTerms();

} // namespace Phase::EosCubic
