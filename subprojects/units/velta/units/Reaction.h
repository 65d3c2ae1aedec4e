#pragma once
// One chemical reaction applied in place to the component flows of one phase
// (a model of category "option", owned by the unit that embeds it).
//
// Reaction holds the stoichiometry over the process-wide component list, the
// key component and the extent; ReactionYield, the base of every concrete
// reaction, computes the extent from a fractional conversion of the key
// component ("z") or takes it as given ("conv"), cuts it so that no flow
// turns negative, and writes the outlet flows.
//
// Call order: setOutlet(phase), then calculate (precalc, bound, postcalc)
// as often as the unit rewrites the phase's flows. With molar flows the
// rates use coeff and the extent is in kmol/s; with mass flows they use
// coeffm (nu_i MW_i) and the extent carries kg/s.
//
// Bypasses (no phase, no flow, key component missing or out of range, zero
// key coefficient) are recorded as errors of the reaction and leave the
// phase unchanged.

#include "velta/core/Model.h"
#include "velta/persistency/Integer.h"
#include "velta/persistency/Quantity.h"
#include "velta/persistency/String.h"

#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

namespace Phase {
class Mass;
}

class Reaction : public virtual Model {
public:
  static const char *const typeName;

  Reaction(Defaults defaults, int id, Persistency *persistency, Node *parent, Node *root);
  ~Reaction() override;

  // --- Model
  int category() const override { return 5; }
  void initializeNonPersistents() override {}
  ObjectiveNleAd *objectiveFunction() override { return nullptr; }

  // coeff[i] := nu and coeffm[i] := MW_i nu for the named component
  // (ErrorNoComponent when it is not listed).
  void setCoefficient(const std::string &component, double nu);
  // Gives conv and actconv the units of the phase's component flows and
  // attaches the phase (not owned).
  void setOutlet(Phase::Mass *phase);
  // Copies the phase's component flows into ni and picks the coefficient
  // vector matching their units.
  void init();
  // coeffActive[i] * actconv; needs init.
  Value componentRate(int i) const;
  Value &outFlow(int i);
  void markHeterogeneousProduct() { heterogeneousLimit = 1; }
  void markHeterogeneousReactant() { heterogeneousLimit = -1; }

  virtual void precalc() = 0;
  virtual void bound() = 0;
  virtual void postcalc() = 0;

  std::vector<Quantity> *coeffActive = nullptr;
  std::vector<Value> ni;
  Phase::Mass *out = nullptr;
  int heterogeneousLimit = 0;
  Quantity conv;
  Quantity actconv;
  Quantity z;
  std::vector<Quantity> coeff;
  std::vector<Quantity> coeffm;
  Integer keycomp;

protected:
  // keycomp := index of the named component (ErrorNoComponent when absent).
  void setKeyComponent(const std::string &component);
  // The key component, then the coefficients in the order given.
  void setStoichiometry(const std::string &key,
                        std::initializer_list<std::pair<const char *, double>> coefficients);
};

class ReactionYield : public Reaction {
public:
  static const char *const typeName;

  ReactionYield(Defaults defaults, int id, Persistency *persistency, Node *parent, Node *root);
  ~ReactionYield() override;

  void calculate(int mode) override;
  void setup() override {}
  // A new object of the same registered type, built from this one's option
  // set, with its variables, key component, option and bounding mode; not
  // attached to a phase.
  std::unique_ptr<Node> clone() const override;

  void precalc() override;
  void bound() override;
  void postcalc() override;
  // Starting extent between the limits at which a product or a reactant
  // vanishes, placed by atan(log10 K): halfway for K = 1. Needs an attached
  // phase, a valid key component with a non-zero coefficient (ErrorRunTime
  // otherwise).
  void estimate(const Quantity &K);

  String option;
  bool silentBounding = false;

private:
  // Records the bypass text and zeroes conv and actconv; true when bypassed.
  bool checkBypass();
  // Key-component flow of the attached phase as z's divisor: the fraction
  // -extent * nu_key / n_key, or a dimensionless 0 for n_key == 0.
  Value keyConversion(const Value &extent);

  // Set by precalc: calculate then stops before bound and postcalc.
  bool bypassed_ = false;
};
