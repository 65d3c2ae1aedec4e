#pragma once
// Polynomial in the logarithm of its argument:
//   c0 + c1 L + c2 L^2 + ... with L = ln x,
// six coefficients as given; routes that integrate it build longer or
// transformed copies.

#include "velta/value/Value.h"

#include <vector>

class ParametersLnPolynomial {
public:
  ParametersLnPolynomial(double c0, double c1, double c2, double c3, double c4, double c5)
      : c_{c0, c1, c2, c3, c4, c5} {}
  // Any number of coefficients, c0 first.
  explicit ParametersLnPolynomial(std::vector<double> coefficients)
      : c_(std::move(coefficients)) {}

  double &operator[](int i) { return c_[i]; }
  double operator[](int i) const { return c_[i]; }
  int size() const { return static_cast<int>(c_.size()); }

  // x dimensionless and positive (the caller checks; x <= 0 stops the
  // process). Derivatives of x are carried through.
  Value operator()(const Value &x) const;
  double operator()(double x) const;

private:
  std::vector<double> c_;
};
