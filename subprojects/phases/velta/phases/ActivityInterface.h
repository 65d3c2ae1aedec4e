#pragma once
// The part that every activity model (NRTL, UNIFAC) adds to the ideal
// solution: the temperature of the last preparation, one activity
// coefficient per component and the excess Gibbs energy, enthalpy, entropy
// and heat capacity of the mixture. A model first stores the temperature
// (setTemperature), then computes the composition-dependent part
// (calculateExcess); the property operations read what these two left.

#include "velta/value/Value.h"

#include <vector>

class Vector;

namespace Phase::Activity {

class Interface {
public:
  // One activity coefficient per component of the component list as it is
  // now; a later change of the list does not resize them.
  Interface();
  Interface(const Interface &) = delete;
  Interface &operator=(const Interface &) = delete;
  virtual ~Interface();

  // Temperature-dependent part; every implementation calls setT first.
  virtual void setTemperature(const Value &T) = 0;
  // Activity coefficients and excess properties at the mole fractions x.
  virtual void calculateExcess(Vector x) = 0;

  // Stores T (value and derivatives) in T_ and Tvalue_; Tvalue_ takes the
  // units of the first temperature, later ones must carry the same units
  // (ErrorUnit otherwise). Returns Tvalue_.
  const Value &setT(const Value &T);

  // Activity coefficient of component i; i is not range-tested.
  Active &gamma(int i) { return gamma_[static_cast<std::size_t>(i)]; }
  const Active &gamma(int i) const { return gamma_[static_cast<std::size_t>(i)]; }
  // Number of activity coefficients (the component count at construction).
  int ncoefficients() const { return static_cast<int>(gamma_.size()); }

  // Molar excess enthalpy (J/kmol), heat capacity and entropy (J/(kmol*K)).
  Value &HE() { return HE_; }
  Value &CpE() { return CpE_; }
  Value &SE() { return SE_; }

  const Active &T() const { return T_; }
  const Value &Tvalue() const { return Tvalue_; }
  // The excess functions divided by R T: gE/(R T) and hE/(R T) are
  // dimensionless, the temperature derivatives and cpE/(R T), sE/(R T) in
  // 1/K and 1/K2.
  const Active &gE() const { return gE_; }
  const Active &dgEdT() const { return dgEdT_; }
  const Active &d2gEdT2() const { return d2gEdT2_; }
  const Active &hE() const { return hE_; }
  const Active &cpE() const { return cpE_; }
  const Active &sE() const { return sE_; }

protected:
  // hE_, sE_, cpE_ and HE_, SE_, CpE_ from gE_, dgEdT_ and d2gEdT2_:
  // hE = -R T^2 d(gE/RT)/dT, sE = (hE - gE)/T, cpE = dhE/dT.
  void excessFromGibbs();

  std::vector<Active> gamma_;
  Active T_;
  Value Tvalue_;
  Value HE_;
  Value CpE_;
  Value SE_;
  Active gE_;
  Active dgEdT_;
  Active d2gEdT2_;
  Active hE_;
  Active cpE_;
  Active sE_;
};

} // namespace Phase::Activity
