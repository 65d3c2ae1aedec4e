#pragma once
// One Barin coefficient record: the Gibbs energy
//   G(T) = c0 + c1 T + c2 T ln T + c3 T^2 + c4 T^3 + c5 T^4 + c6 / T + c7 / T^2
// on one temperature interval [xmin, xmax] in K, and the entropy, enthalpy
// and heat capacity that follow from it. Results are plain numbers in
// J/kmol and J/(kmol*K); callers attach the units.

#include "velta/value/Active.h"

class ParameterBkk {
public:
  // Kinds of value a record evaluates.
  enum Kind { heatCapacity = 0, enthalpy = 1, entropy = 2, gibbs = 3 };

  // The empty record: every field zero.
  ParameterBkk() = default;
  // Stops the process unless 0 <= xmin <= xmax <= 5000: records are literals.
  ParameterBkk(double xmin, double xmax, double c0, double c1, double c2, double c3, double c4,
               double c5, double c6, double c7);

  double xmin() const { return xmin_; }
  double xmax() const { return xmax_; }

  // The value of the kind at x, inside [xmin, xmax] (bounds included); any
  // other kind number gives 0.
  Active evaluate(int kind, const Active &x) const;
  // Constant-heat-capacity continuation above xmax (x >= xmax).
  Active extrapolateAbove(int kind, const Active &x) const;
  // Constant-heat-capacity continuation below xmin (x <= xmin).
  Active extrapolateBelow(int kind, const Active &x) const;

  // Equal bounds and coefficients (the cached bound values follow from them).
  bool operator==(const ParameterBkk &other) const;

private:
  Active extrapolate(int kind, const Active &x, double bound, double cp, double h,
                     double s) const;

  double c_[8] = {};
  double xmin_ = 0.0;
  double xmax_ = 0.0;
  // cp, h and s at both bounds, computed once (all 0 when xmin == xmax).
  double cpMin_ = 0.0, cpMax_ = 0.0, hMin_ = 0.0, hMax_ = 0.0, sMin_ = 0.0, sMax_ = 0.0;
};

// The process-wide empty record, passed for an absent record.
extern const ParameterBkk emptyParameterBkk;
