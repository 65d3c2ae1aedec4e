#pragma once
// The interface of every equation-of-state engine, written in the packing
// fraction beta = covolume / molar volume (0 for the ideal gas, below 1)
// instead of the density or the pressure. A stream solves beta as one extra
// unknown of its flash (residual: computed pressure / specified pressure - 1),
// so that the choice of a vapour-like or liquid-like root is a matter of the
// bounds of beta: a vapour lives in [0, betamax], a liquid in [betamin, 1].
//
// Composition: x has one entry per component of the process-wide list and
// sumx is its sum, both as the caller passes them; the entries are amounts.
// The pressure, Z, rho_, deosdbeta and deosdT are intensive; deosdv is taken
// with respect to the volume of the amount sumx; the Helmholtz functions and
// the residual properties belong to the amount sumx (molar when sumx is 1).
//
// Units: Pa, K, kmol/m3, J/kmol, J/(kmol*K); R is gasConstant (8314.4
// J/(kmol*K)). Every value carries the derivatives of the current context,
// from which the flash Jacobian is built.
//
// Calling order: precompute(T, x) before every other operation except
// estimate and calculateResiduals, and again whenever T or x change;
// helmholtz before helmholtzT and helmholtzT2 at the same beta (engines may
// reuse a term of helmholtz). calculatePressureEos_ calls precompute itself.
//
// Errors passing calculatePressureEos_ and calculateResiduals are traced
// with their qualified names and rethrown.
//
// One engine object serves one phase: it keeps state between calls.

#include "velta/core/Vector.h"
#include "velta/utility/Diagnostic.h"
#include "velta/value/Value.h"

#include <vector>

namespace Phase {

class EosInterface : public virtual Diagnostic {
public:
  EosInterface();
  ~EosInterface() override;

  // --- engine operations
  // Packing fraction at the critical point of the current mixture.
  virtual Value &betac(const Value &sumx) = 0;
  // Writes a starting beta for a root of the phase type (PhaseType value).
  virtual void estimate(const Value &P, const Value &T, Vector x, int phaseType) = 0;
  // Computes and keeps every T- and x-dependent quantity.
  virtual void precompute(const Value &T, Vector x) = 0;
  // Molar density (kmol/m3) at the packing fraction.
  virtual Value rho_(const Value &beta, const Value &sumx) = 0;
  // Pressure (Pa) and its derivatives in beta (Pa), in the volume of the
  // amount sumx, and in T at constant beta (Pa/K).
  virtual Value eos(const Value &T, const Value &beta, const Value &sumx) = 0;
  virtual Value deosdbeta(const Value &T, const Value &beta, const Value &sumx) = 0;
  virtual Value deosdv(const Value &T, const Value &beta, const Value &sumx) = 0;
  virtual Value deosdT(const Value &T, const Value &beta, const Value &sumx) = 0;
  // Pseudo-critical temperature of the current mixture, K.
  virtual Value Tcm(const Value &sumx) = 0;
  // Writes sResidual_, hResidual_ and cpResidual_ at P (the specified
  // pressure, not Pcalc_), T and the current beta.
  virtual void calculateResiduals(const Value &P, const Value &T, const Value &sumx);
  // ln of every component's fugacity coefficient at the current beta.
  virtual void preparefugacity_eos(const Value &P, const Value &T, Vector x, const Value &sumx,
                                   int phaseType, std::vector<Value> &lnphi) = 0;
  // Reduced residual Helmholtz energy A_res / (R T) of the amount n, its
  // derivative in the amount of component i at constant T and total volume,
  // and its first and second derivatives in T at constant volume and amounts.
  virtual Value helmholtz(const Value &n, const Value &T, const Value &beta) = 0;
  virtual Value helmholtzi(const Value &n, const Value &T, const Value &beta, int i) = 0;
  virtual Value helmholtzT(const Value &n, const Value &T, const Value &beta) = 0;
  virtual Value helmholtzT2(const Value &n, const Value &T, const Value &beta) = 0;

  // The pressure of the phase from beta into P, with the corrections that
  // keep the flash away from the unstable branch: below the pseudo-critical
  // temperature (or for a liquid beta below betac) a slope dP/dbeta below a
  // floor is replaced by a pole at the phase's bound, and a vapour beyond
  // betac or a liquid below it is mapped onto a monotonic curve through Pcm.
  // Pcalc_ keeps the uncorrected pressure.
  void calculatePressureEos_(const Value &T, Vector x, const Value &sumx, int phaseType, Value &P);

protected:
  // calculatePressureEos_ after its precompute: the pressure from beta with
  // the mixture parameters the engine holds.
  void pressureAtBeta(const Value &T, const Value &sumx, int phaseType, Value &P);

public:
  // The bounds the stream gives beta (read once when a flash declares its
  // unknowns).
  double &betamin() { return betamin_; }
  double &betamax() { return betamax_; }

  // Public state read and written by streams, models and tests. betac_,
  // betamax_ and betamin_ carry a trailing underscore because betac(),
  // betamax() and betamin() are the operations that give them; an engine's
  // constructor sets betac_ and may replace the two bounds.
  Value dpdbeta;         // dP/dbeta less the floor, in the correction region, Pa
  Value Pcm;             // pressure at betac, Pa
  Value Pcalc_;          // uncorrected pressure of the last calculatePressureEos_, Pa
  Value betac_;          // packing fraction at the critical point (set by the engine)
  double betamax_ = 1.0; // upper bound of beta for a vapour root
  double betamin_ = 0.0; // lower bound of beta for a liquid root
  Value beta;            // the current packing fraction (the stream's flash unknown)
  Value sResidual_;      // residual entropy of the amount sumx at T and P, J/(kmol*K)
  Value hResidual_;      // residual enthalpy, J/kmol
  Value cpResidual_;     // residual isobaric heat capacity, J/(kmol*K)
};

} // namespace Phase
