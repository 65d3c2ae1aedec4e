#pragma once
// Base of every phase object: a stream's share of one phase on a mass basis
// (phase fraction, total mass flow, mass fractions and component mass
// flows). It declares the whole interface that streams and units use on a
// phase (balances by mass-balance mode, composition setters, flow access,
// the property pass, flow arithmetic) and implements it for the mass-only
// modes Mw and M.
//
// Usage: a caller writes the variables that a mode takes as given (through a
// composition setter or directly), then completes the phase with
// calculateX in the same mode.
//
// Log lines are written when verbosityGlobal + verbosity() - 1 > level.

#include "velta/core/Model.h"
#include "velta/persistency/Quantity.h"
#include "velta/utility/SharedEnumerations.h"
#include "velta/value/Value.h"

#include <vector>

namespace Phase {

using MassBalanceMode = Velta::Utility::MassBalanceMode;

// The mode in which only the component flows are given, on the basis of
// mode: Mx, Mw and M give M; Nx, Nw and N give N. Any other value throws
// ErrorSmartEnum from "Phase::flowonly".
MassBalanceMode flowonly(MassBalanceMode mode);

class Mass : public virtual Model {
public:
  // The arguments of every model class; the most derived class builds the
  // virtual bases. No components: ErrorRunTime "no components defined".
  Mass(Defaults defaults, int id, Persistency *persistency, Node *parent, Node *root);
  Mass(const Mass &) = delete;
  ~Mass() override;

  // --- Model
  int category() const override { return 1; }
  // Completes the phase in mode Mw with this class's own balance.
  void calculate(int mode) override;
  // Only tests that components are defined.
  void setup() override;
  ObjectiveNleAd *objectiveFunction() override { return nullptr; }
  // Every concrete phase copies itself through its option set.
  std::unique_ptr<Node> clone() const override = 0;

  // --- balances of the mass-only modes
  virtual void calculateMw_();
  virtual void calculateM_();

  // --- phase type and index
  int phaseType() const { return phaseType_; }
  virtual void setPhaseType(int type);
  int phaseIndex() const { return phaseIndex_; }
  // base + offset: the owning stream numbers its liquids and solids.
  void setPhaseIndex(Velta::Utility::PhaseIndex base, int offset);

  // --- access
  // The native mode: Mw here, Nx for molar phases.
  virtual MassBalanceMode representation() const;
  // mdot here, ndot for molar phases.
  virtual const Value &totalFlow() const;
  // Component flow i on the representation's basis. The read-only form
  // checks i (std::out_of_range "invalid vector subscript").
  virtual const Value &flow(int i) const;
  virtual Value &flow(int i);
  // Fraction i and all fractions on the representation's basis.
  virtual Value &frac(int i);
  virtual std::vector<Quantity> &fracs();

  // --- property pass at pressure P and temperature T; writeH false keeps
  // the stored molar enthalpy.
  virtual void calculateProperties(const Value &P, const Value &T, bool writeH);

  // --- balance completion in a mode
  virtual void calculateX(MassBalanceMode mode);

  // --- composition setters: they write only the variables of the mode; a
  // key is a component index, tested before the mode.
  virtual void setEquimolar(MassBalanceMode mode);
  virtual void setEquimass(MassBalanceMode mode);
  virtual void setPure(MassBalanceMode mode, int key);
  virtual void setImpure(MassBalanceMode mode, int key, double impurity);
  virtual void setEquimolarNoKey(MassBalanceMode mode, int key);
  virtual void setEquimassNoKey(MassBalanceMode mode, int key);
  // Exactly one fraction is 1 and all others 0.
  virtual bool isPure();
  virtual void clearComposition(MassBalanceMode mode);

  // --- flow arithmetic; the sums complete the balance themselves.
  virtual Mass &operator+=(const Mass &rhs);
  // Component flows are clipped at zero.
  virtual Mass &operator-=(const Mass &rhs);
  // Scales the flows (the factor's units are added); fractions stay.
  virtual Mass &operator*=(const Value &factor);

  // Adds rhs's component flows [from, to) to this phase's, then completes
  // the balance in flowonly(representation()). Both phases must have the
  // same representation.
  void addComponents(const Mass &rhs, int from, int to);

  // Registers the mass variables (filling the vectors when they are not
  // yet sized) and flags "fraction", "mdot" and "w" as outputs. Copies run
  // it again after the Object assignment.
  void initializeMassVariables();

  // --- stored variables
  Quantity fraction;
  Quantity mdot;
  std::vector<Quantity> w;
  std::vector<Quantity> mdotcomps;

protected:
  // The option set that copies are built from: the registered options of
  // the type when it is registered, else the tag and description alone.
  Defaults optionSet() const;
  // ErrorRunTime "No components defined" from function when the component
  // list is empty.
  static void requireComponents(const char *function);
  // ErrorRunTime with the key as message when it is not a component index.
  static void requireKey(const char *function, int key);
  [[noreturn]] static void throwMode(const char *function, MassBalanceMode mode);
  // Read-only element access with the standard range check.
  static const Quantity &checkedAt(const std::vector<Quantity> &vector, int i);

private:
  // The mode of a mass-only phase: Mw or M, else ErrorSmartEnum.
  static bool massMode(const char *function, MassBalanceMode mode);

  int phaseType_ = 0;
  int phaseIndex_ = 0;
};

} // namespace Phase
