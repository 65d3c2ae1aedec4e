#pragma once
// The material stream: an edge of the flowsheet that owns a total phase
// ("Tphase") and an ordered list of member phases (children in the object
// tree), holds the stream temperature T and pressure P and solves its own
// flash through FlashBase, which it shares as a virtual base with the flash
// class of the concrete stream.
//
// A concrete stream derives from Stream and a flash class (Flash or one
// derived from it) and, in its constructor: resizes phases_, adds every
// phase with addPhase (the total phase too), sets Tphase, and ends with
// postconstruct_(id), which hands the flash one extra unknown per
// equation-of-state phase.
//
// Units set the flash specification with setFlash (or leave the stored
// "flashoption"), run go or recompute the phases with calculateX. go solves
// the flash with the stream's own solver (mode 0 or 1) or, from mode 2 on,
// leaves the flash to a flowsheet's simultaneous system; it files the
// solver's verdict among the model's errors and warnings.
//
// In the two flash members and in these operations "the flash T and P" are
// FlashBase::T and FlashBase::P; the stream's own T and P are the stored
// quantities, which updateFlash copies from the flash as the mode requires.
//
// Log lines are written when verbosityGlobal + verbosity() - 1 > level.

#include "velta/core/EdgeBase.h"
#include "velta/persistency/Integer.h"
#include "velta/persistency/Quantity.h"
#include "velta/persistency/String.h"
#include "velta/phases/Mass.h"
#include "velta/phases/StreamInterface.h"
#include "velta/phases/Total.h"
#include "velta/streams/FlashBase.h"
#include "velta/utility/SharedEnumerations.h"

#include <map>
#include <string>
#include <vector>

namespace Phase {
class Generic;
}

class Stream : public EdgeBase, public virtual FlashBase, public StreamInterface {
public:
  using MassBalanceMode = Velta::Utility::MassBalanceMode;

  Stream(Defaults defaults, int id, Persistency *persistency, Node *parent, Node *root);
  Stream(const Stream &) = delete;
  ~Stream() override;

  // --- driver
  // Sequential calculation (mode 0 or 1) or a step of a simultaneous
  // solution (mode 2 or more).
  virtual void go(int mode);
  // The flowsheet's form; the nesting level plays no part.
  void go(int mode, int) override { go(mode); }
  virtual void precompute_isIdeal() {}
  // Object assignment from another stream (node part and quantity values).
  virtual Stream &assign(const Stream &other) = 0;
  virtual Stream &assignFrom(const Stream &other) = 0;
  // The mass-balance representation of the stream and of all its phases.
  virtual MassBalanceMode representation() const = 0;
  // fm a FlashMode; 0 takes the mode that "flashoption" names. PA, SA and
  // unknown modes throw ErrorSmartEnum from "Stream::setFlash".
  virtual void setFlash(int fm);
  virtual void estimateFlash() {}
  // Copies the flash's T and P into the stream as the mode requires.
  virtual void updateFlash();

  // --- Model
  void calculate(int mode) override;
  void setup() override {}
  void initializeNonPersistents() override;

  // --- building
  // Creates (without persistency) or finds (restored) the child phase of
  // type at tag, and places it at position index of phases_ by its phase
  // type. A phase of another representation than the stream is refused
  // with ErrorRunTime.
  Phase::Mass *addPhase(const std::string &type, const std::string &tag,
                        const std::string &description, int index, Persistency *persistency);
  // Equal fractions for a new stream (negative id) and the extra flash
  // unknowns of the equation-of-state phases.
  void postconstruct_(int id);
  // Registers T, P, NITER_NLEFlash, flowoption and flashoption again
  // (clones, after the object assignment).
  void registerVariables();

  // --- balances
  // updateFlash, calculateXnoFlash, then the properties of the phases.
  void calculateX(MassBalanceMode mode);
  // The total phase's balance, the flow checks, and the total distributed
  // over the phases by their fractions.
  void calculateXnoFlash(MassBalanceMode mode);

  // --- services for units
  int nphases() const { return static_cast<int>(phases_.size()); }
  int phaseIndex(int i) const { return phases_[static_cast<std::size_t>(i)]->phaseIndex(); }
  int phaseType(int i) const { return phases_[static_cast<std::size_t>(i)]->phaseType(); }
  Phase::Mass *findPhase(int phaseIndex);
  int findPhaseIndex(int phaseIndex);
  // The whole stream into the first phase of that PhaseIndex
  // (ErrorBrowsing when there is none).
  void setphase(int phaseIndex);
  void clearComposition();
  // Adds rhs's total phase (when it has flow) and takes the lower pressure
  // of the two streams that carry flow.
  Stream &operator+=(const Stream &rhs);
  Stream &operator*=(const Value &factor);
  // Mixture heat of vaporization of the non-solid components present, at T.
  Value dhvl(const Value &T);

  // The variable that holds the total flow of a phase's representation
  // (ndot of a molar phase, mdot otherwise).
  static Value &totalFlowOf(Phase::Mass &phase);

  // --- StreamInterface
  std::vector<Phase::Mass *> &phases() override { return phases_; }
  const Value &phaseFraction(const Phase::Mass &phase) override;

  // --- FlashBase operations over the phases
  const Value &calculateTotalP(const Value &rho) override;
  const Value &calculateTotalRho() override;
  const Value &calculateTotalH() override;
  const Value &calculateTotalS() override;
  void prepare_residuals() override {}
  int calculateResidualsEos(std::vector<Value> &y, unsigned start) override;
  void estimateEos(const Value &P, const Value &T) override;

  // --- stored variables
  Quantity T;
  Quantity P;
  Integer NITER_NLEFlash;
  String flowoption;
  String flashoption;

  // The total phase (not owned: a child of the stream).
  Phase::Mass *Tphase = nullptr;

protected:
  // The phase with a property model that takes part in the totals (a
  // positive flash fraction), or null.
  Phase::Generic *takingPart(Phase::Mass *phase);
  // The mass-balance mode of go: the flows-only mode in cut mode, else the
  // mode that "flowoption" names.
  MassBalanceMode goMassBalanceMode(bool cutMode) const;
  // Appends the extra flash unknown of an equation-of-state phase with the
  // addresses of its bounds; nothing for other phases.
  void addEosUnknown(Phase::Mass &phase, std::vector<Value *> &unknowns,
                     std::vector<const double *> &lower, std::vector<const double *> &upper);
  // The phase with a property model whose density is an unknown of the
  // flash (an equation of state), or null.
  Phase::Generic *eosPhase(Phase::Mass *phase);
  // Local verbosity of the stream's log lines.
  int streamVerbosity() const { return verbosity(); }

  // Position in phases_ of the phase that holds each PhaseIndex.
  std::map<int, unsigned> phasesmap;
  Value P_;
  Value H_;
  Value S_;
  Value v_;
  Value rho_;
  int vphases_ = 0;
  int lphases_ = 0;
  int sphases_ = 0;
  // The member phases (not owned: children of the stream).
  std::vector<Phase::Mass *> phases_;
};

// Mixes the inlet streams into the outlet's total phase; P becomes the
// lowest pressure and T the mass-flow weighted temperature of the inlets
// that carry flow (298.15 K and 101325 Pa when none does). Every node must
// be a Stream of the outlet's representation.
void gather(int verbosity, Node *outlet, const std::vector<Node *> &inlets, Value &P, Value &T);
