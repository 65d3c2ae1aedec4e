#pragma once
// NRTL (non-random two-liquid) liquid property models: the ideal solution
// corrected by NRTL activity coefficients and excess enthalpy, entropy and
// heat capacity. Nrtl holds the calculation; its variants say how the
// non-randomness alpha_ij and the interaction tau_ij depend on temperature:
//   Nrtl1: alpha_ij constant, tau_ij = b_ij / T (ParametersNrtl1);
//   Nrtl2: alpha_ij = c_ij + d_ij (T - 273.15),
//          tau_ij = a_ij + b_ij / T + e_ij ln T + f_ij T (ParametersNrtl2).
// A parameter set that does not fit the component list is an ErrorRunTime
// naming the model, raised before any table element is read.

#include "velta/phases/ActivityLiquid.h"
#include "velta/value/Active.h"

#include <vector>

namespace Phase::Activity {

class Nrtl : public Liquid {
public:
  Nrtl();
  ~Nrtl() override;

  // --- Interface: tau, G and their temperature derivatives for every pair
  // (setTemperature), then activity coefficients and excess properties at x
  // (calculateExcess). Errors get the function's name appended.
  void setTemperature(const Value &T) override;
  void calculateExcess(Vector x) override;

  // alpha_ij and tau_ij at the stored temperature, with their first and
  // second temperature derivatives written into the last two arguments.
  virtual Active alpha(int i, int j, Active &dalpha, Active &d2alpha) = 0;
  virtual Active computeTau(int i, int j, Active &dtau, Active &d2tau) = 0;

  // Row-major N x N matrices and per-component sums of the last preparation.
  const std::vector<Active> &tau() const { return tau_; }
  const std::vector<Active> &G() const { return G_; }
  const std::vector<Active> &ratio() const { return ratio_; }

protected:
  std::vector<Active> tau_;
  std::vector<Active> G_;
  std::vector<Active> sumG_;
  std::vector<Active> sumGtau_;
  std::vector<Active> ratio_;
  std::vector<Active> dtau_;
  std::vector<Active> d2tau_;
  std::vector<Active> dG_;
  std::vector<Active> d2G_;
  std::vector<Active> dsumG_;
  std::vector<Active> d2sumG_;
  std::vector<Active> dsumGtau_;
  std::vector<Active> d2sumGtau_;
};

class Nrtl1 : public virtual Nrtl {
public:
  Nrtl1() = default;
  ~Nrtl1() override;
  Active alpha(int i, int j, Active &dalpha, Active &d2alpha) override;
  Active computeTau(int i, int j, Active &dtau, Active &d2tau) override;
};

class Nrtl2 : public virtual Nrtl {
public:
  Nrtl2() = default;
  ~Nrtl2() override;
  Active alpha(int i, int j, Active &dalpha, Active &d2alpha) override;
  Active computeTau(int i, int j, Active &dtau, Active &d2tau) override;
};

} // namespace Phase::Activity
