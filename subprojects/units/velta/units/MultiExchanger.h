#pragma once
// The multi-stream heat exchanger (type "MultiExchanger"): nStreams couples,
// couple i from port "in<i+1>" to "out<i+1>", each exchanging heat with one
// common solid at the temperature Ts. The duty of a couple is
// U[i] * A * MTD[i] + Qoffset[i], MTD[i] the mean of its two approaches to
// the solid (stream temperature minus Ts, signed: a stream hotter than the
// solid gives heat to it). Reaction heat Qr of the reactions on a couple's
// outlet is released at Ts.
//
// The solid's balance closes the system: "UA" mode takes the heat losses
// netDuty as given (0: adiabatic solid, sum of duty + Qr is 0) and solves
// for Ts; "Ts" mode holds Ts at TsSet and computes netDuty. The unknowns are
// Ts, then per couple the outlet approach followed by the other unknowns of
// the outlet's flash (its temperature follows from the approach), then one
// extent per equilibrium reaction. Below mode 2 the unit solves its system
// itself; from mode 2 on it writes the residuals for a flowsheet.

#include "velta/core/ObjectiveNleAd.h"
#include "velta/core/SolverNleRecipes.h"
#include "velta/persistency/Integer.h"
#include "velta/persistency/Quantity.h"
#include "velta/persistency/String.h"
#include "velta/units/Connectivity.h"

#include <string>
#include <vector>

class Reaction;
class ReactionEquilibrium;
class Stream;
template <int N> class MultiReaction;

class MultiExchanger : public Connectivity, public ObjectiveNleAdVertex {
public:
  MultiExchanger(Defaults defaults, int id, Persistency *persistency, Node *parent, Node *root);
  ~MultiExchanger() override;

  // --- equation system
  void calculateResidualsLocal() override;
  void setup_of() override;

  // --- Model
  void calculate(int level) override;
  // Binds the couples' streams and attaches the reactions to their outlets.
  void setup() override;
  void initializeNonPersistents() override;
  ObjectiveNleAd *objectiveFunction() override { return this; }

  // --- VertexBase
  // Fewer than two couples, or slots that do not match nStreams, are an
  // ErrorRunTime naming the broken condition.
  void go(int mode, int level) override;
  // The heat the solid loses to the surroundings.
  Value energyBalance() override;
  // Odd-numbered ports north (inlets) and south (outlets), even-numbered
  // ones west (inlets) and east (outlets).
  int locationFromPort(std::string port) override;

  SolverNleRecipesAutomatic &solver() { return solver_; }

  static const char *const typeName;

  Quantity Ts;
  Quantity TsSet;
  Quantity A;
  Quantity beta;
  Quantity netDuty;
  Quantity totDuty;
  Quantity apparentDuty;
  Quantity maxT;
  Quantity minT;
  std::vector<Quantity> T;
  std::vector<Quantity> P;
  std::vector<Quantity> duty;
  std::vector<Quantity> Qoffset;
  std::vector<Quantity> U;
  std::vector<Quantity> deltaT;
  std::vector<Quantity> deltaP;
  std::vector<Quantity> MTD;
  std::vector<Quantity> inletApproach;
  std::vector<Quantity> outletApproach;
  std::vector<Quantity> hfluxin;
  std::vector<Quantity> flowcoefficient;
  std::vector<Quantity> deltaPMax;
  Integer NITER_Exchanger;
  Integer nStreams;
  Integer nReactions;
  Integer nmultiReactions;
  Integer nreactionEquilibriums;
  std::vector<Integer> reactionSides;
  String option;
  String reactionOrder;
  String MTDoption;
  std::vector<String> pressureOption;
  std::vector<String> embeddedTypeReactions;
  std::vector<String> embeddedTypemultiReactions;

  std::vector<Reaction *> reactions;
  std::vector<MultiReaction<2> *> multiReactions;

private:
  void computeReactionConversions_();
  void computeReactionEquilibria_();
  // The preconditions of go; ErrorRunTime from function otherwise.
  void checkSlots_(const char *function, bool withInlets) const;
  // Whether reaction j acts on an existing couple.
  bool sideValid_(std::size_t j) const;

  std::vector<ReactionEquilibrium *> reactionEquilibria_;
  std::vector<Stream *> inletStreams_;
  std::vector<Stream *> outletStreams_;
  SolverNleRecipesAutomatic solver_;
  bool hasEquilibria_ = false;
};
