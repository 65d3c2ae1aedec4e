#pragma once
// A plain forward-mode number for the PC-SAFT equations when the
// composition carries derivatives: a value and its partial derivatives in
// the temperature (partial 0), the packing fraction (partial 1) and the
// mole fractions x_0 ... (partials 2 ...). The number of partials in use is
// process-wide (count), set by the engine before an evaluation; the engine
// turns each result into a derivative-carrying number by the chain rule
// over T, eta and the x_i, which costs n + 2 plain operations per operation
// instead of one derivative-carrying operation over every direction of the
// context.

#include "velta/phases/PcsaftParameters.h"

#include <cmath>

namespace Phase {

class PcsaftGradient {
public:
  static constexpr int capacity = NC + 2;
  // Partials in use, at most capacity.
  static inline int count = 0;

  PcsaftGradient() = default;
  PcsaftGradient(double value) : v_(value) {}
  // The independent variable of partial index.
  static PcsaftGradient variable(double value, int index) {
    PcsaftGradient r(value);
    r.d_[index] = 1.0;
    return r;
  }

  double value() const { return v_; }
  double &value() { return v_; }
  double partial(int i) const { return d_[i]; }

  PcsaftGradient &operator+=(const PcsaftGradient &b) {
    v_ += b.v_;
    for (int i = 0; i < count; ++i)
      d_[i] += b.d_[i];
    return *this;
  }
  PcsaftGradient &operator-=(const PcsaftGradient &b) {
    v_ -= b.v_;
    for (int i = 0; i < count; ++i)
      d_[i] -= b.d_[i];
    return *this;
  }
  PcsaftGradient &operator*=(const PcsaftGradient &b) { return *this = *this * b; }
  PcsaftGradient &operator/=(const PcsaftGradient &b) { return *this = *this / b; }

  friend PcsaftGradient operator+(PcsaftGradient a, const PcsaftGradient &b) { return a += b; }
  friend PcsaftGradient operator-(PcsaftGradient a, const PcsaftGradient &b) { return a -= b; }
  friend PcsaftGradient operator-(const PcsaftGradient &a) { return a * -1.0; }
  friend PcsaftGradient operator*(const PcsaftGradient &a, const PcsaftGradient &b) {
    PcsaftGradient r(a.v_ * b.v_);
    for (int i = 0; i < count; ++i)
      r.d_[i] = a.d_[i] * b.v_ + a.v_ * b.d_[i];
    return r;
  }
  friend PcsaftGradient operator*(const PcsaftGradient &a, double b) {
    PcsaftGradient r(a.v_ * b);
    for (int i = 0; i < count; ++i)
      r.d_[i] = a.d_[i] * b;
    return r;
  }
  friend PcsaftGradient operator*(double a, const PcsaftGradient &b) { return b * a; }
  friend PcsaftGradient operator/(const PcsaftGradient &a, const PcsaftGradient &b) {
    const double inverse = 1.0 / b.v_, q = a.v_ * inverse;
    PcsaftGradient r(q);
    for (int i = 0; i < count; ++i)
      r.d_[i] = (a.d_[i] - q * b.d_[i]) * inverse;
    return r;
  }
  friend PcsaftGradient operator/(const PcsaftGradient &a, double b) { return a * (1.0 / b); }
  friend PcsaftGradient operator/(double a, const PcsaftGradient &b) {
    const double inverse = 1.0 / b.v_, q = a * inverse;
    PcsaftGradient r = b * (-q * inverse);
    r.v_ = q;
    return r;
  }
  friend PcsaftGradient operator+(PcsaftGradient a, double b) {
    a.v_ += b;
    return a;
  }
  friend PcsaftGradient operator+(double a, PcsaftGradient b) { return b + a; }
  friend PcsaftGradient operator-(PcsaftGradient a, double b) {
    a.v_ -= b;
    return a;
  }
  friend PcsaftGradient operator-(double a, const PcsaftGradient &b) { return b * -1.0 + a; }

  friend PcsaftGradient exp(const PcsaftGradient &a) {
    const double r = std::exp(a.v_);
    PcsaftGradient result = a * r;
    result.v_ = r;
    return result;
  }
  friend PcsaftGradient log(const PcsaftGradient &a) {
    PcsaftGradient result = a * (1.0 / a.v_);
    result.v_ = std::log(a.v_);
    return result;
  }

private:
  double v_ = 0.0;
  double d_[capacity] = {};
};

} // namespace Phase
