#pragma once
// The property model of a phase described by a cubic equation of state:
// the ideal model supplies the ideal-gas enthalpy, entropy and heat capacity
// and the transport properties, the cubic engine C the pressure, density,
// residual properties and fugacity coefficients; each caloric property is
// the ideal value plus the engine's residual. The ideal model and the engine
// share one Diagnostic and one EosInterface, so a stream reaches the same
// packing fraction beta through the model.
//
// Reference: the caloric properties of a vapour and of a liquid alike are
// those of the ideal gas at (T, P, x) from the components' vapour routes
// (hv, sv with the ideal mixing term, cpv) plus the engine's residual, the
// departure from that ideal gas at the same T, P and x. The ideal-solution
// liquid routes are not used: a cubic liquid carries its heat of
// vaporisation through the residual, so hV - hL of two phases in
// equilibrium is the Clapeyron value of the equation itself.
//
// Calling order the results rely on:
//   1. prepare(T, x) refreshes the engine's mixture parameters and sumx;
//   2. beta holds the phase's packing fraction (solved by the stream's
//      flash through calculate_P_, or started by initializeNonPersistents
//      or the engine's estimate);
//   3. calculate_rho_ gives the density from beta at (T, x);
//   4. calculate_H_, _S_ and _Cp_ give the properties of the state they are
//      asked for: (P, T, x) and the current beta. The residuals are kept
//      with the state they were computed at (P, T, beta and the sum of x,
//      after the mixture parameters of T and x) and computed again when the
//      state asked for differs, values or derivatives; the mixture
//      parameters likewise. A caloric property never needs an earlier call;
//   5. preparefugacity before fugacity; it evaluates the pressure (whose
//      uncorrected value a liquid's coefficients read) and the mixture
//      parameters afresh when they do not belong to (T, beta, x).

#include "velta/phases/EosCubicKwongRedlichSoave.h"
#include "velta/phases/EosCubicPengRobinson.h"
#include "velta/phases/EosCubicVanDerWaals.h"
#include "velta/phases/Ideal.h"
#include "velta/phases/StateKey.h"

#include <string>

namespace Phase {

template <class C> class Eos : public Ideal, public C {
public:
  Eos();
  ~Eos() override;

  // Starts beta from the stored mass density rho (kg/m3) and average
  // molecular weight MW (kg/kmol): the mixture covolume of x is computed
  // first (it depends on x only), then beta = B rho / MW / sumx, clamped
  // into [1e-6, 0.99] and into the bounds of the phase type (kept 1 %
  // inside betamin for a liquid and betamax for a vapour, where the
  // corrected pressure has its poles). A clamped beta carries no derivatives.
  void initializeNonPersistents(Vector x, const Value &rho, const Value &MW) override;
  void prepare(const Value &T, Vector x) override;
  void preparefugacity(const Value &P, const Value &T, Vector x, const Value &sumx) override;
  // The pressure from beta (with the corrections of the engine interface);
  // rho is not used.
  const Value &calculate_P_(const Value &rho, const Value &T, Vector x, const Value &sumx) override;
  const Value &calculate_rho_(const Value &P, const Value &T, Vector x) override;
  const Value &calculate_H_(const Value &P, const Value &T, Vector x) override;
  const Value &calculate_S_(const Value &P, const Value &T, Vector x) override;
  const Value &calculate_Cp_(const Value &P, const Value &T, Vector x) override;

  // The engine's precompute, remembering the T and x it belongs to; a
  // state it already holds is not computed again (unless the model logs).
  void precompute(const Value &T, Vector x) override;
  // The engine interface's residuals, remembering the state they belong to.
  void calculateResiduals(const Value &P, const Value &T, const Value &sumx) override;

  // Sum of the composition of the last prepare or initializeNonPersistents.
  Value sumx;

private:
  // The engine's mixture parameters at (T, x): precompute unless they are.
  void ensurePrecomputed(const Value &T, Vector x);
  // The residual properties at (P, T, x) and the current beta.
  void ensureResiduals(const Value &P, const Value &T, Vector x);

  StateKey pressureAt_;    // T, beta and x of the last calculate_P_
  StateKey precomputedAt_; // T and x of the mixture parameters
  StateKey residualsAt_;   // P, T, beta, sumx of the residual properties
  unsigned precomputations_ = 0;
  unsigned residualsAfter_ = 0; // precomputations_ when the residuals were computed

  // "Phase::Eos<class Phase::EosCubic::...>::" + operation.
  static std::string qualified(const char *operation);
};

extern template class Eos<EosCubic::KwongRedlichSoave>;
extern template class Eos<EosCubic::PengRobinson>;
extern template class Eos<EosCubic::VanDerWaals>;

} // namespace Phase
