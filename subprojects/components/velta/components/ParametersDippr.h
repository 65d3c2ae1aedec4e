#pragma once
// DIPPR record: five coefficients C1 to C5 (elements 0-4), then Tmin
// (element 5) and Tmax (element 6) in K. The correlation reading it defines
// the units of the coefficients.

class ParametersDippr {
public:
  // Stops the process when an element is 1E34 or more (or NaN) or when a
  // range bound is zero: records are literals in code, so that is a defect.
  ParametersDippr(double c1, double c2, double c3, double c4, double c5, double tmin,
                  double tmax);

  double operator[](int i) const { return v_[i]; }

private:
  double v_[7];
};
