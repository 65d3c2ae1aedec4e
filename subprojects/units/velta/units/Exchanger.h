#pragma once
// The two-stream heat exchanger (type "Exchanger"): the hot stream runs from
// in1 to out1, the cold one from in2 to out2 (synonyms hotin, hotout,
// coldin, coldout). It moves the duty dutyhot out of the hot side and
// dutyhot * eta into the cold side, applies a pressure option on each side
// and may carry fixed-conversion and equilibrium reactions on either side.
//
// The calculation mode fixes one more quantity: "UA" (U and A given, the
// duty follows), "Thot" or "Tcold" (that outlet temperature given, A
// follows). The unit is its own square system: the duty, the unknowns of
// the two outlet flashes (PH at the enthalpy of the energy balance) and one
// extent per equilibrium reaction. Below mode 2 it solves that system with
// its own Newton solver; from mode 2 on it only writes the residuals, which
// a flowsheet stacks into its simultaneous system.

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
namespace Phase {
class Mass;
class MassMolarProperties;
} // namespace Phase

class Exchanger : public Connectivity, public ObjectiveNleAdVertex {
public:
  Exchanger(Defaults defaults, int id, Persistency *persistency, Node *parent, Node *root);
  ~Exchanger() override;

  // --- equation system: the duty, the hot and the cold outlet flashes,
  // then the extent of each equilibrium reaction.
  void calculateResidualsLocal() override;
  void setup_of() override;

  // --- Model
  void calculate(int level) override { go(1, level); }
  void setup() override {}
  void initializeNonPersistents() override {}
  ObjectiveNleAd *objectiveFunction() override { return this; }

  // --- VertexBase
  void go(int mode, int level) override;
  // What the unit itself takes out of the streams' enthalpy: the heat lost
  // to the surroundings (inlet minus outlet enthalpy flow).
  Value energyBalance() override { return heat_losses; }
  // in1 north, out1 south, in2 west, everything else east.
  int locationFromPort(std::string port) override;

  // The two approaches from the outlet temperatures handed in, by the flow
  // options of the two sides; with warn, a non-positive approach is filed
  // as a warning, made positive and remembered for the next calculation.
  void calculateApproaches(bool warn, const Value &Tco, const Value &Tho);

  SolverNleRecipesAutomatic &solver() { return solver_; }

  static const char *const typeName;

  Quantity coldT;
  Quantity coldP;
  Quantity hotT;
  Quantity hotP;
  Quantity dutyhot;
  Quantity dutycold;
  Quantity heat_losses;
  Quantity eta;
  Quantity U;
  Quantity Ft;
  Quantity A;
  Quantity deltaTcold;
  Quantity deltaThot;
  Quantity deltaPhot;
  Quantity deltaPcold;
  Quantity MTD;
  Quantity deltaTcoldApproach;
  Quantity deltaThotApproach;
  Quantity coldhfluxin;
  Quantity hothfluxin;
  Quantity coldflowcoefficient;
  Quantity hotflowcoefficient;
  Quantity deltaPcoldMax;
  Quantity deltaPhotMax;
  Quantity beta;
  Quantity maxduty;
  Integer NITER_Exchanger;
  String option;
  String hotoption;
  String coldoption;
  String hotflowoption;
  String coldflowoption;
  String MTDoption;
  Integer nReactions;
  Integer nreactionEquilibriums;
  std::vector<Integer> reactionSides;
  std::vector<String> embeddedTypeReactions;

  std::vector<Reaction *> reactions;
  std::vector<ReactionEquilibrium *> reactionEquilibria;

private:
  // Resolves the four streams and their total phases from the ports.
  void bind_(const char *caller);
  // The outlets restart from the inlets and every reaction is applied.
  void computeReactionConversions_();
  // Each equilibrium reaction takes the state of its side's outlet.
  void computeReactionEquilibria_();
  // The side of reaction i: the hot outlet for 0, else the cold one.
  Stream *sideOutlet_(std::size_t i) const;
  // The unit is left as it is and, from mode 2 on, its unknowns are held
  // by identity residuals.
  void bypass_(int mode, const std::string &warning);

  Stream *hoti_ = nullptr;
  Stream *hoto_ = nullptr;
  Stream *coldi_ = nullptr;
  Stream *coldo_ = nullptr;
  Phase::MassMolarProperties *hotiTotal_ = nullptr;
  Phase::MassMolarProperties *hotoTotal_ = nullptr;
  Phase::MassMolarProperties *coldiTotal_ = nullptr;
  Phase::MassMolarProperties *coldoTotal_ = nullptr;
  SolverNleRecipesAutomatic solver_;
  bool negativeColdApproach_ = false;
  bool negativeHotApproach_ = false;
  bool hasEquilibria_ = false;
};

// Helpers shared by the exchangers that carry reactions.

// The flash temperature of a stream: an unknown of its flash system, which
// carries the derivatives while a unit evaluates its residuals.
Value &flashTemperature(Stream &stream);

// Prepares an equilibrium reaction whose extent becomes an unknown of the
// unit: option "conv" and silent bounding (it must be a ReactionYield).
void prepareEquilibriumUnknown(Reaction &reaction);

// The starting extent of an equilibrium reaction from its fractional
// conversion z (zStart when z is 0) of the key component in its phase.
void startEquilibriumExtent(Reaction &reaction, double zStart);

// Files "text" as an error when the inlet and outlet mass flows differ by
// more than a thousandth of their sum (plus 0.1 kg/h), as a warning above a
// hundred-thousandth.
void checkReactionMassBalance(Model &unit, const Value &in, const Value &out,
                              const std::string &text);
