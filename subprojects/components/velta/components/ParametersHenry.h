#pragma once
// Henry's-law record: the scaled Henry constant (element 0) and its
// temperature coefficient in K (element 1). Both zero: no Henry's law.

class ParametersHenry {
public:
  ParametersHenry() : v_{0.0, 0.0} {}
  // The constant is stored divided by 100.
  ParametersHenry(double k, double b) : v_{k / 100.0, b} {}

  double operator[](int i) const { return v_[i]; }

  // True when the component follows Henry's law (a NaN element counts as set).
  bool nonZero() const { return v_[0] != 0.0 || v_[1] != 0.0; }
  explicit operator bool() const { return nonZero(); }

private:
  double v_[2];
};
