#pragma once
// A plain forward-mode number for the PC-SAFT equations: a value and its
// partial derivatives in the temperature and in the packing fraction. When
// the composition carries no derivatives (the common case in a flash), the
// engine evaluates the equations on these numbers and turns each result
// into a derivative-carrying number by the chain rule,
//     r' = (dr/dT) T' + (dr/deta) eta',
// which costs a few plain operations per operation instead of one
// derivative-carrying operation each.

#include <cmath>

namespace Phase {

class PcsaftDual {
public:
  PcsaftDual() = default;
  PcsaftDual(double value) : v_(value) {}
  PcsaftDual(double value, double dT, double deta) : v_(value), t_(dT), e_(deta) {}

  double value() const { return v_; }
  double &value() { return v_; }
  double dT() const { return t_; }
  double deta() const { return e_; }

  PcsaftDual &operator+=(const PcsaftDual &b) {
    v_ += b.v_, t_ += b.t_, e_ += b.e_;
    return *this;
  }
  PcsaftDual &operator-=(const PcsaftDual &b) {
    v_ -= b.v_, t_ -= b.t_, e_ -= b.e_;
    return *this;
  }
  PcsaftDual &operator*=(const PcsaftDual &b) { return *this = *this * b; }
  PcsaftDual &operator/=(const PcsaftDual &b) { return *this = *this / b; }

  friend PcsaftDual operator+(const PcsaftDual &a, const PcsaftDual &b) {
    return {a.v_ + b.v_, a.t_ + b.t_, a.e_ + b.e_};
  }
  friend PcsaftDual operator-(const PcsaftDual &a, const PcsaftDual &b) {
    return {a.v_ - b.v_, a.t_ - b.t_, a.e_ - b.e_};
  }
  friend PcsaftDual operator-(const PcsaftDual &a) { return {-a.v_, -a.t_, -a.e_}; }
  friend PcsaftDual operator*(const PcsaftDual &a, const PcsaftDual &b) {
    return {a.v_ * b.v_, a.t_ * b.v_ + a.v_ * b.t_, a.e_ * b.v_ + a.v_ * b.e_};
  }
  friend PcsaftDual operator*(const PcsaftDual &a, double b) {
    return {a.v_ * b, a.t_ * b, a.e_ * b};
  }
  friend PcsaftDual operator*(double a, const PcsaftDual &b) { return b * a; }
  friend PcsaftDual operator/(const PcsaftDual &a, const PcsaftDual &b) {
    const double inverse = 1.0 / b.v_, q = a.v_ * inverse;
    return {q, (a.t_ - q * b.t_) * inverse, (a.e_ - q * b.e_) * inverse};
  }
  friend PcsaftDual operator/(const PcsaftDual &a, double b) { return a * (1.0 / b); }
  friend PcsaftDual operator/(double a, const PcsaftDual &b) {
    const double inverse = 1.0 / b.v_, q = a * inverse, s = -q * inverse;
    return {q, s * b.t_, s * b.e_};
  }
  friend PcsaftDual operator+(const PcsaftDual &a, double b) { return {a.v_ + b, a.t_, a.e_}; }
  friend PcsaftDual operator+(double a, const PcsaftDual &b) { return b + a; }
  friend PcsaftDual operator-(const PcsaftDual &a, double b) { return {a.v_ - b, a.t_, a.e_}; }
  friend PcsaftDual operator-(double a, const PcsaftDual &b) { return {a - b.v_, -b.t_, -b.e_}; }

  friend PcsaftDual exp(const PcsaftDual &a) {
    const double r = std::exp(a.v_);
    return {r, r * a.t_, r * a.e_};
  }
  friend PcsaftDual log(const PcsaftDual &a) { return {std::log(a.v_), a.t_ / a.v_, a.e_ / a.v_}; }

private:
  double v_ = 0.0;
  double t_ = 0.0;
  double e_ = 0.0;
};

} // namespace Phase
