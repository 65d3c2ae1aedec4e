#pragma once
// UNIFAC liquid property model: the ideal solution corrected by activity
// coefficients from group contributions (combinatorial part from the group
// volumes and areas, residual part from the main-group interactions). The
// model sets no excess enthalpy, entropy or heat capacity.
//
// Each object builds its own copy of the group tables and takes a copy of
// ParametersUnifac at construction: component i of the component list is
// the entry under key i. A map that does not describe every component with
// at least one group is an ErrorRunTime naming the model.
//
// Lookups into the maps below insert a missing key with the value 0 (and
// read 0): main groups without an entry have no interaction, subgroups
// outside the tables have R = Q = 0.

#include "velta/phases/ActivityLiquid.h"
#include "velta/phases/TaylorJet.h"
#include "velta/value/Active.h"

#include <map>
#include <set>
#include <vector>

namespace Phase::Activity {

class Unifac : public Liquid {
public:
  template <class T> using GroupMap = std::map<int, T>;
  // A number with its first two temperature derivatives.
  using Jet = TaylorJet<Active>;

  // Fills the group tables and the pure-component group data from
  // ParametersUnifac; a map whose keys are not 0 to n-1 is an ErrorRunTime.
  Unifac();
  ~Unifac() override;

  // --- Interface: group interaction factors and the group activity
  // coefficients of the pure components (setTemperature), then
  // combinatorial and residual parts of ln gamma at x (calculateExcess).
  void setTemperature(const Value &T) override;
  void calculateExcess(Vector x) override;

  // Group tables and pure-component data.
  const GroupMap<GroupMap<double>> &a() const { return a_; }
  const GroupMap<double> &R() const { return R_; }
  const GroupMap<double> &Q() const { return Q_; }
  int ncomponents() const { return ncomponents_; }
  const std::set<int> &subgroupsPresent() const { return subgroupsPresent_; }
  const GroupMap<GroupMap<int>> &componentSubgroups() const { return componentSubgroups_; }
  const GroupMap<std::set<int>> &mainGroupSubgroups() const { return mainGroupSubgroups_; }
  const GroupMap<int> &subgroupMainGroup() const { return subgroupMainGroup_; }
  const std::vector<double> &r() const { return r_; }
  const std::vector<double> &q() const { return q_; }
  const GroupMap<GroupMap<double>> &X0() const { return X0_; }
  const GroupMap<GroupMap<double>> &Theta0() const { return Theta0_; }
  // Results of the last preparation.
  const GroupMap<Active> &X() const { return X_; }
  const std::vector<Active> &V() const { return V_; }
  const std::vector<Active> &F() const { return F_; }
  const GroupMap<GroupMap<Active>> &Psi() const { return Psi_; }
  const std::vector<GroupMap<Active>> &logGAMMAi() const { return logGAMMAi_; }
  const std::vector<Active> &logGammaC() const { return logGammaC_; }
  const GroupMap<Active> &Theta() const { return Theta_; }
  const GroupMap<Active> &logGAMMA() const { return logGAMMA_; }
  const std::vector<Active> &logGammaR() const { return logGammaR_; }

private:
  void fillTables();
  // ErrorRunTime from function unless the model describes every component of
  // the component list with a positive volume and area.
  void requireCompleteMap(const char *function) const;
  // Occurrences nu_k(i) of subgroup k in component i (0 when absent); the
  // copy of ParametersUnifac is left as it was taken.
  int occurrences(int i, int k) const;
  // ln GAMMA_k of every subgroup present at the group area fractions theta
  // (double for a pure component, Active for the mixture), with its
  // temperature derivatives; one log line per result, the label followed
  // by k and "] = ".
  template <class Fraction>
  void groupActivities(GroupMap<Fraction> &theta, GroupMap<Jet> &logGAMMA, const char *name,
                       const char *label);

  GroupMap<GroupMap<double>> a_;
  GroupMap<double> R_;
  GroupMap<double> Q_;
  int ncomponents_;
  std::set<int> subgroupsPresent_;
  GroupMap<GroupMap<int>> componentSubgroups_;
  GroupMap<std::set<int>> mainGroupSubgroups_;
  GroupMap<int> subgroupMainGroup_;
  std::vector<double> r_;
  std::vector<double> q_;
  GroupMap<GroupMap<double>> X0_;
  GroupMap<GroupMap<double>> Theta0_;
  GroupMap<Active> X_;
  std::vector<Active> V_;
  std::vector<Active> F_;
  GroupMap<GroupMap<Active>> Psi_;
  std::vector<GroupMap<Active>> logGAMMAi_;
  std::vector<Active> logGammaC_;
  GroupMap<Active> Theta_;
  GroupMap<Active> logGAMMA_;
  std::vector<Active> logGammaR_;
  // Psi, ln GAMMA_k of the pure components and of the mixture with their
  // temperature derivatives; the Active members above hold their values.
  GroupMap<GroupMap<Jet>> psiJet_;
  std::vector<GroupMap<Jet>> logGAMMAiJet_;
  GroupMap<Jet> logGAMMAJet_;
};

} // namespace Phase::Activity
