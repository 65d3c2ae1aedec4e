#pragma once
// A second-order Taylor number in two variables: a value with its first and
// second partial derivatives in a temperature (t) and a second variable
// (r), for the caloric properties of models written once over the number
// type (PC-SAFT's a_res(T, rho), UNIFAC's ln gamma(T)). N is the number
// type of the coefficients: Active, so that every partial also carries the
// flash unknowns' derivatives (each coefficient is the partial evaluated at
// the derivative-carrying state, so its derivatives are those of that
// partial). Values are formed by the same operations as on N alone.

#include <cmath>

namespace Phase {

template <class N> class TaylorJet {
public:
  N v{}, t{}, r{}, tt{}, tr{}, rr{};

  TaylorJet() = default;
  TaylorJet(double value) : v(value) {}
  TaylorJet(const N &value) : v(value) {}
  // The variable of partial slot (0 temperature, 1 density) at value.
  static TaylorJet variable(const N &value, int slot) {
    TaylorJet result(value);
    (slot == 0 ? result.t : result.r) = N(1.0);
    return result;
  }

  TaylorJet &operator+=(const TaylorJet &b) {
    v += b.v, t += b.t, r += b.r, tt += b.tt, tr += b.tr, rr += b.rr;
    return *this;
  }
  TaylorJet &operator-=(const TaylorJet &b) {
    v -= b.v, t -= b.t, r -= b.r, tt -= b.tt, tr -= b.tr, rr -= b.rr;
    return *this;
  }
  TaylorJet &operator*=(const TaylorJet &b) { return *this = *this * b; }
  TaylorJet &operator*=(double c) { return *this = *this * c; }
  TaylorJet &operator/=(const TaylorJet &b) { return *this = *this / b; }

  friend TaylorJet operator+(TaylorJet a, const TaylorJet &b) { return a += b; }
  friend TaylorJet operator-(TaylorJet a, const TaylorJet &b) { return a -= b; }
  friend TaylorJet operator-(const TaylorJet &a) { return a * -1.0; }
  friend TaylorJet operator*(const TaylorJet &a, const TaylorJet &b) {
    TaylorJet c;
    c.v = a.v * b.v;
    c.t = a.t * b.v + a.v * b.t;
    c.r = a.r * b.v + a.v * b.r;
    c.tt = a.tt * b.v + 2.0 * (a.t * b.t) + a.v * b.tt;
    c.tr = a.tr * b.v + a.t * b.r + a.r * b.t + a.v * b.tr;
    c.rr = a.rr * b.v + 2.0 * (a.r * b.r) + a.v * b.rr;
    return c;
  }
  friend TaylorJet operator*(TaylorJet a, double c) {
    a.v = a.v * c, a.t = a.t * c, a.r = a.r * c;
    a.tt = a.tt * c, a.tr = a.tr * c, a.rr = a.rr * c;
    return a;
  }
  friend TaylorJet operator*(double c, const TaylorJet &a) { return a * c; }
  // The quotient rule, with the value a.v / b.v itself.
  friend TaylorJet operator/(const TaylorJet &a, const TaylorJet &b) {
    TaylorJet q;
    const N inverse = 1.0 / b.v;
    q.v = a.v / b.v;
    q.t = (a.t - q.v * b.t) * inverse;
    q.r = (a.r - q.v * b.r) * inverse;
    q.tt = (a.tt - 2.0 * (q.t * b.t) - q.v * b.tt) * inverse;
    q.tr = (a.tr - q.t * b.r - q.r * b.t - q.v * b.tr) * inverse;
    q.rr = (a.rr - 2.0 * (q.r * b.r) - q.v * b.rr) * inverse;
    return q;
  }
  friend TaylorJet operator/(const TaylorJet &a, double c) { return a * (1.0 / c); }
  friend TaylorJet operator/(double c, const TaylorJet &b) { return TaylorJet(c) / b; }
  friend TaylorJet operator+(TaylorJet a, double c) {
    a.v = a.v + c;
    return a;
  }
  friend TaylorJet operator+(double c, TaylorJet a) { return a + c; }
  friend TaylorJet operator-(TaylorJet a, double c) {
    a.v = a.v - c;
    return a;
  }
  friend TaylorJet operator-(double c, const TaylorJet &a) { return a * -1.0 + c; }

  // f(a) for a function of one variable with value f0 and derivatives f1,
  // f2 at a.v: the chain rule to second order.
  static TaylorJet compose(const TaylorJet &a, const N &f0, const N &f1, const N &f2) {
    TaylorJet c;
    c.v = f0;
    c.t = f1 * a.t;
    c.r = f1 * a.r;
    c.tt = f2 * (a.t * a.t) + f1 * a.tt;
    c.tr = f2 * (a.t * a.r) + f1 * a.tr;
    c.rr = f2 * (a.r * a.r) + f1 * a.rr;
    return c;
  }
  friend TaylorJet exp(const TaylorJet &a) {
    using std::exp;
    const N e = exp(a.v);
    return compose(a, e, e, e);
  }
  friend TaylorJet log(const TaylorJet &a) {
    using std::log;
    const N inverse = 1.0 / a.v;
    return compose(a, log(a.v), inverse, -(inverse * inverse));
  }
};

} // namespace Phase
