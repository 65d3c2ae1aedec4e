#pragma once
// The property model of a PC-SAFT phase (vapour or liquid): pressure,
// molar density and fugacity coefficients from the PC-SAFT engine, every
// other property (enthalpy, entropy, heat capacity, transport properties)
// from the ideal model unchanged. The model is at the same time the
// engine, so a stream solves its packing fraction beta (the PC-SAFT eta)
// like that of any equation-of-state phase, bounded by [0, pi/(3 sqrt 2)]
// for a vapour and [0, 1] for a liquid.
//
// Calling order: calculate_rho_ and preparefugacity evaluate nothing at
// their arguments; they read the state of the last calculate_P_ (T and x of
// its precompute, beta of its pressure). Before the first calculate_P_
// they throw ErrorRunTime.
//
// Construction sets the process-wide PC-SAFT component count to the size
// of the component list and clears the k_ij of those components; a list of
// more than NC = 9 components is refused with ErrorRunTime before any
// table is touched. Tables without parameters for a component make every
// evaluation throw ErrorRunTime (PcsaftParameters::load).

#include "velta/phases/Ideal.h"
#include "velta/phases/PcsaftEngine.h"

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
  // No residual properties: the caloric properties are the ideal model's.
  void calculateResiduals(const Value &P, const Value &T, const Value &sumx) override;
};

} // namespace Phase
