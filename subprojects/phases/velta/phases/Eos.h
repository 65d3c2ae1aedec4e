#pragma once
// The property model of a phase described by a cubic equation of state:
// the ideal model supplies the ideal-gas enthalpy, entropy and heat capacity
// and the transport properties, the cubic engine C the pressure, density,
// residual properties and fugacity coefficients; each caloric property is
// the ideal value plus the engine's residual. The ideal model and the engine
// share one Diagnostic and one EosInterface, so a stream reaches the same
// packing fraction beta through the model.
//
// Calling order the results rely on:
//   1. prepare(T, x) refreshes the engine's mixture parameters and sumx;
//   2. beta holds the phase's packing fraction (solved by the stream's
//      flash through calculate_P_, or started by initializeNonPersistents
//      or the engine's estimate);
//   3. calculate_rho_ gives the density from beta and refreshes the
//      residual properties for P and T;
//   4. calculate_H_, _S_ and _Cp_ add the residuals as the last
//      calculate_rho_ (or the stream's direct calculateResiduals) left them;
//   5. preparefugacity before fugacity.
// Caloric properties asked for before any residual exists fail with
// ErrorUnit "incompatible units" (the residuals have no units yet).

#include "velta/phases/EosCubicKwongRedlichSoave.h"
#include "velta/phases/EosCubicPengRobinson.h"
#include "velta/phases/EosCubicVanDerWaals.h"
#include "velta/phases/Ideal.h"

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

  // Sum of the composition of the last prepare or initializeNonPersistents.
  Value sumx;

private:
  // "Phase::Eos<class Phase::EosCubic::...>::" + operation.
  static std::string qualified(const char *operation);
};

extern template class Eos<EosCubic::KwongRedlichSoave>;
extern template class Eos<EosCubic::PengRobinson>;
extern template class Eos<EosCubic::VanDerWaals>;

} // namespace Phase
