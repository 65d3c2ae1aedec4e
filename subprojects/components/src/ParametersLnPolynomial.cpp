#include "velta/components/ParametersLnPolynomial.h"

#include "velta/utility/Assert.h"

#include <cmath>

namespace {
const char *const sourceFile = "subprojects/components/src/parameters";
}

Value ParametersLnPolynomial::operator()(const Value &x) const {
  VELTA_ASSERT_AS(x.value() > 0.0, "x.toDouble() > 0.0", sourceFile, __LINE__);
  const Value L = log(x);
  const int n = size();
  Value result(c_[n - 1]);
  for (int i = n - 2; i >= 0; --i)
    result = result * L + c_[i];
  return result;
}

double ParametersLnPolynomial::operator()(double x) const {
  VELTA_ASSERT_AS(x > 0.0, "x > 0.0", sourceFile, __LINE__);
  const double L = std::log(x);
  const int n = size();
  double result = c_[n - 1];
  for (int i = n - 2; i >= 0; --i)
    result = result * L + c_[i];
  return result;
}
