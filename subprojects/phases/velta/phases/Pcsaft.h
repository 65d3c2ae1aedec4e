#pragma once
// The property model of a PC-SAFT phase (vapour or liquid): pressure,
// molar density and fugacity coefficients from the PC-SAFT engine; the
// enthalpy, entropy and heat capacity of a vapour and of a liquid alike are
// those of the ideal gas at (T, P, x) from the components' vapour routes
// plus the engine's residual (EosPcsaft::caloricResiduals), so that a
// liquid carries its heat of vaporisation through the equation itself; the
// transport properties are the ideal model's. The model is at the same time the
// engine, so a stream solves its packing fraction beta (the PC-SAFT eta)
// like that of any equation-of-state phase, bounded by [0, pi/(3 sqrt 2)]
// for a vapour and [0, 1] for a liquid.
//
// The caloric properties are those of the state they are asked for,
// (P, T, x) and the current beta: the residuals are kept with that state
// (values and derivatives) and computed again when it differs.
//
// Calling order: calculate_rho_ gives the density of the current beta at
// (T, x); preparefugacity reads the state of the last calculate_P_ and
// evaluates the pressure first when that state is not (T, beta, x).
//
// Construction sets the process-wide PC-SAFT component count to the size
// of the component list and clears the k_ij of those components; a list of
// more than NC = 9 components is refused with ErrorRunTime before any
// table is touched. Tables without parameters for a component make every
// evaluation throw ErrorRunTime (PcsaftParameters::load).

#include "velta/phases/Ideal.h"
#include "velta/phases/PcsaftEngine.h"
#include "velta/phases/StateKey.h"

namespace Phase {

class Pcsaft : public Ideal, public virtual EosPcsaft {
public:
  Pcsaft();
  ~Pcsaft() override;

  // Nothing to restore: beta is started by estimate before a flash.
  void initializeNonPersistents(Vector x, const Value &rho, const Value &MW) override;
  void prepare(const Value &T, Vector x) override;
  void preparefugacity(const Value &P, const Value &T, Vector x, const Value &sumx) override;
  // The engine's pressure at (T, x) and the current beta; rho not used.
  const Value &calculate_P_(const Value &rho, const Value &T, Vector x, const Value &sumx) override;
  // The density of the last pressure; P, T and x not used.
  const Value &calculate_rho_(const Value &P, const Value &T, Vector x) override;
  // beta at which the segments fill the ideal model's molar volume for the
  // model's own phase type (the phase type argument is not used).
  void estimate(const Value &P, const Value &T, Vector x, int phaseType) override;
  // Ideal gas plus the residual of the state asked for.
  const Value &calculate_H_(const Value &P, const Value &T, Vector x) override;
  const Value &calculate_S_(const Value &P, const Value &T, Vector x) override;
  const Value &calculate_Cp_(const Value &P, const Value &T, Vector x) override;
  // The engine's precompute, remembering the T and x it belongs to.
  void precompute(const Value &T, Vector x) override;
  // Nothing: the residuals need the composition, and the caloric
  // properties compute them for the state they are asked for.
  void calculateResiduals(const Value &P, const Value &T, const Value &sumx) override;

private:
  // ErrorRunTime from function while beta was never started.
  void requirePacking(const char *function) const;
  void ensureResiduals(const Value &P, const Value &T, Vector x);
  StateKey residualsAt_; // P, T, beta and x of the residual properties
  StateKey pressureAt_;  // T, beta and x of the last calculate_P_
  StateKey precomputedAt_; // T and x of the last precompute
};

} // namespace Phase
