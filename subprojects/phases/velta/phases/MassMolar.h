#pragma once
// A phase with the molar side of the balance: average molecular weight,
// total molar flow, mole fractions and component molar flows, kept
// consistent with the mass variables through the molecular weights of the
// process-wide components. It completes all six mass-balance modes; its
// native representation is Nx, so flow, frac and fracs are molar here.
//
// After a completed balance: ndot = sum ndotcomps, mdot = sum mdotcomps,
// mdotcomps[i] = ndotcomps[i] MW_i, x[i] = ndotcomps[i] / ndot,
// w[i] = mdotcomps[i] / mdot and AMW = mdot / ndot, except for an empty
// phase (see the balance bodies for what an empty phase holds).

#include "velta/phases/Mass.h"

namespace Phase {

class MassMolar : public Mass {
public:
  MassMolar(Defaults defaults, int id, Persistency *persistency, Node *parent, Node *root);
  ~MassMolar() override;

  // Completes the phase in mode Nx.
  void calculate(int mode) override;

  // --- balances: the variables of the mode are given, the others follow
  void calculateMw_() override;
  void calculateM_() override;
  virtual void calculateNx_();
  virtual void calculateMx_();
  virtual void calculateNw_();
  virtual void calculateN_();

  MassBalanceMode representation() const override;
  const Value &totalFlow() const override;
  const Value &flow(int i) const override;
  Value &flow(int i) override;
  Value &frac(int i) override;
  std::vector<Quantity> &fracs() override;

  void calculateX(MassBalanceMode mode) override;

  void setEquimolar(MassBalanceMode mode) override;
  void setEquimass(MassBalanceMode mode) override;
  void setPure(MassBalanceMode mode, int key) override;
  void setImpure(MassBalanceMode mode, int key, double impurity) override;
  void setEquimolarNoKey(MassBalanceMode mode, int key) override;
  void setEquimassNoKey(MassBalanceMode mode, int key) override;
  // Exactly one mole fraction within 2.220446049250313e-15 of 1, all
  // others at most that tolerance.
  bool isPure() override;
  void clearComposition(MassBalanceMode mode) override;

  // A molar right-hand side adds molar flows (completed in mode N), a
  // mass-only one mass flows (mode M).
  Mass &operator+=(const Mass &rhs) override;
  Mass &operator-=(const Mass &rhs) override;
  Mass &operator*=(const Value &factor) override;

  // Average molecular weight from the mass fractions (1 / sum w_i / MW_i;
  // 0 kg/kmol when the sum is 0) and from the mole fractions (sum x_i MW_i).
  const Value &mww();
  const Value &mwx();

  // --- stored variables
  Quantity AMW;
  Quantity ndot;
  std::vector<Quantity> x;
  std::vector<Quantity> ndotcomps;

private:
  // Which variables a setter writes.
  enum class Target { x, w, ndotcomps, mdotcomps };
  static Target targetOf(const char *function, MassBalanceMode mode);
  std::vector<Quantity> &fractionsOf(Target target) { return target == Target::x ? x : w; }
  // ndot = mdot / AMW, zeroed when AMW is 0.
  void molarFlowFromMass();
  // Component flows and mass fractions from ndot, mdot and the mole fractions.
  void componentFlowsFromMoleFractions();
  // Component flows and mole fractions from mdot, ndot and the mass fractions.
  void componentFlowsFromMassFractions();
  // Sum of the given fractions, normalising them when it is not 0.
  bool normalise(std::vector<Quantity> &fractions, bool logSum);
  // Zeroes every element.
  static void zero(std::vector<Quantity> &vector);

  Value mw_;
  Value sumwOverMw_;
};

} // namespace Phase
