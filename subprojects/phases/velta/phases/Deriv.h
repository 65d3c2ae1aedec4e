#pragma once
// A value with a gradient of fixed length, propagated forward through every
// operation by the chain rule: entry k of a result is the sum over its
// arguments of (partial factor for that argument) times (entry k of that
// argument). A plain number in an operation is a constant without gradient.
//
// The number type N is the automatic-differentiation number (`Deriv`), so
// that the derivatives of the current derivative context (the flowsheet
// unknowns) travel through the value, the factors and every entry alike;
// with N = double the same code gives the plain evaluation.
//
// The GERG-2004 evaluation seeds the molar volume at entry 0, the
// temperature at entry 1 and the amount of component i at entry i + 2.
//
// At a point where an operation is not differentiable (absolute value at 0,
// a power at a base of 0) its partial factors are zero, not a one-sided
// slope.

#include "velta/phases/PlainValue.h"
#include "velta/value/Active.h"

#include <array>
#include <cmath>
#include <utility>

namespace Phase {

// Number of gradient entries: d/dV, d/dT and d/dn_i for 18 components.
inline constexpr int derivLength = 20;

template <class N> class GenericDeriv {
public:
  using Number = N;

  // Value and every entry zero.
  GenericDeriv() : value_{}, gradient_{} {}
  // A constant: the value, every entry zero.
  explicit GenericDeriv(N value) : value_(std::move(value)), gradient_{} {}

  const N &value() const { return value_; }
  N &value() { return value_; }
  const N &operator[](int k) const { return gradient_[k]; }
  N &operator[](int k) { return gradient_[k]; }

  // Makes this the independent variable of entry k: that entry 1, all others 0.
  void seed(int k) {
    for (N &entry : gradient_)
      entry = 0.0;
    gradient_[k] = 1.0;
  }

  // this = a + b entrywise and in value; the compound forms work in place.
  GenericDeriv &operator+=(const GenericDeriv &b) {
    value_ += b.value_;
    for (int k = 0; k < derivLength; ++k)
      gradient_[k] += b.gradient_[k];
    return *this;
  }
  GenericDeriv &operator-=(const GenericDeriv &b) {
    value_ -= b.value_;
    for (int k = 0; k < derivLength; ++k)
      gradient_[k] -= b.gradient_[k];
    return *this;
  }
  GenericDeriv &operator*=(double c) {
    value_ *= c;
    scaleGradient(c);
    return *this;
  }
  // Scales every entry by factor, keeping the value.
  template <class F> void scaleGradient(const F &factor) {
    for (N &entry : gradient_)
      entry *= factor;
  }

  // Adds factor times a's entries to this record's entries.
  void addScaled(const N &factor, const GenericDeriv &a) {
    N term{};
    for (int k = 0; k < derivLength; ++k) {
      term = a.gradient_[k];
      term *= factor;
      gradient_[k] += term;
    }
  }

  // The result of a one-argument operation: value, and factor times a's
  // entries.
  static GenericDeriv chain(N value, const N &factor, const GenericDeriv &a) {
    GenericDeriv r(std::move(value));
    for (int k = 0; k < derivLength; ++k) {
      r.gradient_[k] = a.gradient_[k];
      r.gradient_[k] *= factor;
    }
    return r;
  }
  // The result of a two-argument operation: value, and the sum of each
  // factor times its argument's entries.
  static GenericDeriv chain(N value, const N &factorA, const GenericDeriv &a, const N &factorB,
                            const GenericDeriv &b) {
    GenericDeriv r(std::move(value));
    N term{};
    for (int k = 0; k < derivLength; ++k) {
      r.gradient_[k] = a.gradient_[k];
      r.gradient_[k] *= factorA;
      term = b.gradient_[k];
      term *= factorB;
      r.gradient_[k] += term;
    }
    return r;
  }

private:
  N value_;
  std::array<N, derivLength> gradient_;
};

using Deriv = GenericDeriv<Active>;

// The plain value at the bottom of a gradient record.
template <class N> double plainValue(const GenericDeriv<N> &x) { return plainValue(x.value()); }
// Replaces the value of a number, keeping its derivatives.
inline void setPlainValue(double &x, double value) { x = value; }
inline void setPlainValue(Active &x, double value) { x.value() = value; }

// Partial factors of an operation at a non-differentiable point.
template <class N> void zeroPartial(N &factor) { factor = 0.0; }
template <class N> void zeroPartials(N &factorA, N &factorB) {
  factorA = 0.0;
  factorB = 0.0;
}

// --- arithmetic
template <class N> GenericDeriv<N> operator+(GenericDeriv<N> a, const GenericDeriv<N> &b) {
  a += b;
  return a;
}
template <class N> GenericDeriv<N> operator-(GenericDeriv<N> a, const GenericDeriv<N> &b) {
  a -= b;
  return a;
}
template <class N> GenericDeriv<N> operator-(GenericDeriv<N> a) {
  a *= -1.0;
  return a;
}
template <class N> GenericDeriv<N> operator+(GenericDeriv<N> a, double c) {
  a.value() += c;
  return a;
}
template <class N> GenericDeriv<N> operator+(double c, GenericDeriv<N> a) {
  a.value() = c + a.value();
  return a;
}
template <class N> GenericDeriv<N> operator-(GenericDeriv<N> a, double c) {
  a.value() -= c;
  return a;
}
template <class N> GenericDeriv<N> operator-(double c, GenericDeriv<N> a) {
  a *= -1.0;
  a.value() = c + a.value();
  return a;
}
template <class N> GenericDeriv<N> operator*(GenericDeriv<N> a, double c) {
  a *= c;
  return a;
}
template <class N> GenericDeriv<N> operator*(double c, GenericDeriv<N> a) {
  a *= c;
  return a;
}
template <class N> GenericDeriv<N> operator/(GenericDeriv<N> a, double c) {
  a.value() /= c;
  a.scaleGradient(1.0 / c);
  return a;
}
template <class N> GenericDeriv<N> operator*(const GenericDeriv<N> &a, const GenericDeriv<N> &b) {
  return GenericDeriv<N>::chain(a.value() * b.value(), b.value(), a, a.value(), b);
}
template <class N> GenericDeriv<N> operator/(const GenericDeriv<N> &a, const GenericDeriv<N> &b) {
  N quotient = a.value() / b.value();
  const N factorA = 1.0 / b.value();
  const N factorB = -quotient / b.value();
  return GenericDeriv<N>::chain(std::move(quotient), factorA, a, factorB, b);
}
template <class N> GenericDeriv<N> operator/(double c, const GenericDeriv<N> &a) {
  const N inverse = 1.0 / a.value();
  return GenericDeriv<N>::chain(inverse * c, -inverse / a.value() * c, a);
}

// --- functions
template <class N> GenericDeriv<N> log(const GenericDeriv<N> &a) {
  using std::log;
  return GenericDeriv<N>::chain(log(a.value()), 1.0 / a.value(), a);
}
template <class N> GenericDeriv<N> exp(const GenericDeriv<N> &a) {
  using std::exp;
  N e = exp(a.value());
  return GenericDeriv<N>::chain(e, e, a);
}
template <class N> GenericDeriv<N> sinh(const GenericDeriv<N> &a) {
  using std::cosh;
  using std::sinh;
  return GenericDeriv<N>::chain(sinh(a.value()), cosh(a.value()), a);
}
// Slope +1 above zero, -1 below, and zero at zero.
template <class N> GenericDeriv<N> fabs(const GenericDeriv<N> &a) {
  N factor = 1.0;
  if (plainValue(a) < 0)
    factor = -1.0;
  else if (!(plainValue(a) > 0))
    zeroPartial(factor);
  return GenericDeriv<N>::chain(a.value() * factor, factor, a);
}
// a^p with a constant exponent and its partial factor p a^(p-1), written
// as a^(p-2) a a and a^(p-2) a p to share the one power; at a base of zero
// the value is 0^p and the factor zero. The number's own derivatives follow
// from the same power: p a^(p-1) da for the value, p (p-1) a^(p-2) da for
// the factor. Shared by the record operation and by evaluations that sum
// terms on scalars before applying the chain rule.
template <class N> N powerWithFactor(const N &a, double p, N &factor) {
  const double base = plainValue(a);
  N value = 0.0;
  if (base == 0) {
    N exponentFactor = 0.0;
    zeroPartials(factor, exponentFactor);
    using std::pow;
    value = pow(a, p);
    return value;
  }
  const double power = std::pow(base, p - 2);
  const double lower = power * base;
  factor = a;
  factor *= p * (p - 1) * power;
  setPlainValue(factor, lower * p);
  value = a;
  value *= lower * p;
  setPlainValue(value, lower * base);
  return value;
}

template <class N> GenericDeriv<N> pow(const GenericDeriv<N> &a, double p) {
  N factor = 0.0;
  N value = powerWithFactor(a.value(), p, factor);
  return GenericDeriv<N>::chain(std::move(value), factor, a);
}

} // namespace Phase
