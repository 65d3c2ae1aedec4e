#pragma once
// The calculation core of every flash-based unit (flash drum, flash splitter
// and degasser, and the units built on the drum). It has no ports: the unit
// that combines it with Connectivity mixes its inlets into the outlet
// stream's total phase, copies that mix into pin, names the outlet myout_
// and calls go. The core then
//   - sets the outlet pressure by the first letter of option: "P" pressure
//     given, "D" pressure drop given, "K" flow coefficient given
//     (deltaP = flowcoefficient * vdot^2), with the drop limited above
//     beta * deltaPMax (the units store their lowest inlet pressure in
//     deltaPMax);
//   - flashes the outlet by the second letter: "T" temperature, "A" molar
//     vapour fraction, "H" duty, "S" entropy power given;
//   - applies its embedded reactions to the outlet's total phase, in series
//     or in parallel with a common clipping step;
//   - solves the outlet flash together with the extents of its equilibrium
//     reactions as one equation system with its own Newton solver (mode 0
//     or 1), or only writes that system's residuals for a flowsheet that
//     solves simultaneously (mode 2 or more);
//   - derives duty, deltas, alfa and T from the result.
//
// Signs: duty and deltas are inlet minus outlet flows of enthalpy and
// entropy, deltaP inlet minus outlet pressure.
//
// Unknowns of the equation system: those of the outlet's flash system, then
// the rate conv of every equilibrium reaction in reaction order ("reaction["
// i "].conv"). Residuals in the same order.
//
// Calling order expected from the unit: construct; setup (or the first
// setup_of) once myout_ is known; initializeNonPersistents after a restore
// (binds myout_, calls setFlash_); go per calculation with pin filled.
//
// Log lines are written when verbosityGlobal + verbosity() - 1 > level.

#include "velta/core/Model.h"
#include "velta/core/ObjectiveNleAd.h"
#include "velta/core/SolverNleRecipes.h"
#include "velta/persistency/Integer.h"
#include "velta/persistency/Quantity.h"
#include "velta/persistency/String.h"
#include "velta/phases/PhaseTotal.h"
#include "velta/utility/SharedEnumerations.h"

#include <string>
#include <vector>

class Reaction;
class ReactionEquilibrium;
class Stream;

namespace Phase {
class MassMolarProperties;
}

class FlashDrumBase : public ObjectiveNleAdVertex, public virtual Model {
public:
  // The most derived unit builds the virtual bases. Reads nReactions and
  // creates (or, restored, finds) the reactions.
  FlashDrumBase(Defaults defaults, int id, Persistency *persistency);
  ~FlashDrumBase() override;

  // --- equation system
  // The outlet flash's unknowns and the equilibrium rates, assembled once.
  void setup_of() override;
  // n flash residuals, then one per equilibrium reaction.
  void calculateResidualsLocal() override;

  // --- Model
  // Attaches every reaction to the outlet's total phase.
  void setup() override;
  ObjectiveNleAd *objectiveFunction() override { return this; }

  // The calculation, with pin and the outlet's total phase holding the
  // mixed inlet. Mode 0 or 1 solves, mode 2 or more only writes residuals.
  void go(int mode, int level);
  // Passes P and the thermal specification to the outlet stream; an option
  // whose second letter is not T, A, H or S throws ErrorBrowsing.
  void setFlash_();
  // Starting point of the first solve: the outlet's estimate and the
  // equilibrium reactions' starting rates.
  void estimate_();
  // The outlet's total phase := pin, then every reaction applied to it.
  void computeReactionConversions_();
  // Each equilibrium reaction evaluated at the outlet's flash state.
  void computeReactionEquilibria_();

  Stream *myout() const { return myout_; }
  int flashUnknowns() const { return nFlash_; }
  const SolverNleInterface &solver() const { return solver_; }

  // --- stored variables
  Quantity T;
  Quantity P;
  Quantity deltaP;
  Quantity alfa;
  Quantity duty;
  Quantity deltas;
  Quantity flowcoefficient;
  Quantity deltaPMax;
  Quantity beta;
  String option;
  String reactionMode;
  Integer nReactions;
  Integer nreactionEquilibriums;
  Integer NITER;
  std::vector<String> embeddedTypeReactions;

  // The reactions: children of the drum, in child order.
  std::vector<Reaction *> reactions;

  // The mixed inlet (mdot, h, s, vdot), filled by the unit before go.
  PhaseTotal pin;

protected:
  // myout_ := stream, myout_Tphase_MNP := its total phase with properties
  // (null when it has none).
  void bindOutlet_(Stream *stream);
  // Mixes the inlets into the outlet's total phase (their lowest pressure
  // into deltaPMax, their mass-weighted temperature into Tavg), starts a
  // pristine drum's first flash (mode 1) from Tavg while T still holds its
  // initial 298.15 K, else from T, and copies the mix into pin. Returns
  // whether the mix has flow.
  bool mixInlets_(const std::vector<Node *> &inlets, Quantity &Tavg, int mode,
                  const char *caller);
  // The outlet's balance after the mix: Nx, or for a stream of mass-only
  // phases (which reject Nx) its component mass flows (M).
  static Velta::Utility::MassBalanceMode outletFlowMode(const Stream &outlet);
  // A drum without inlet flow in a simultaneous solution: identity rows
  // for all its unknowns (flash and equilibrium rates), so that the
  // flowsheet's system stays regular and no stale residual remains.
  void zeroResiduals_();
  // The second letter of option, empty when there is none.
  std::string thermalLetter() const;

  Stream *myout_ = nullptr;
  Phase::MassMolarProperties *myout_Tphase_MNP = nullptr;

private:
  // The set point of the outlet's PH or PS flash from the inlet flows less
  // duty or deltas; throws ErrorRunTime for a total phase without
  // properties.
  void setEnthalpySetPoint_(const char *caller);
  void setEntropySetPoint_(const char *caller);
  void solve_();
  void deriveResults_();
  void seriesReactions_();
  void parallelReactions_();
  void checkReactionBalance_();

  // Number of unknowns of the outlet's flash system.
  int nFlash_ = 0;
  // Entry i: reaction i as an equilibrium reaction, or null.
  std::vector<ReactionEquilibrium *> equilibria_;
  // Work vectors of the parallel mode, kept between calls: the net rate of
  // every component (kmol/s) and the factor of every reaction.
  std::vector<Value> deltan_;
  std::vector<Value> reductions_;
  SolverNleRecipesAutomatic solver_;
};
