#pragma once
// A forward-mode number with a fixed number K of derivative slots, for
// property code whose derivative context has K dense directions. It follows
// the rules of the process-wide number (velta/value/Active.h) operation by
// operation (quotient rule without squaring the divisor, the one-sided
// slopes of sqrt and log at 0), so that a calculation gives the same
// derivatives on either up to rounding (the quotient's derivatives are
// formed from the divisor's reciprocal). The value and the K derivatives lie side by
// side in one vector of lanes, so that each operation is a few vector
// instructions: no number checks the context's mode or owns a sparse list.

#include "velta/value/Active.h"

#include <cmath>

namespace Phase {

namespace denseDual {
// The lanes of a number, and the same lanes with lane 0 replaced, built by a
// shuffle in registers (a store to one lane of a vector in memory followed
// by a load of the whole vector stalls the load).
template <int lanes> struct Lanes;
template <> struct Lanes<2> {
  typedef double type __attribute__((vector_size(2 * sizeof(double))));
  typedef long long mask __attribute__((vector_size(2 * sizeof(long long))));
  static type withFirst(type r, double v) { return __builtin_shuffle(r, type{v}, mask{2, 1}); }
};
template <> struct Lanes<4> {
  typedef double type __attribute__((vector_size(4 * sizeof(double))));
  typedef long long mask __attribute__((vector_size(4 * sizeof(long long))));
  static type withFirst(type r, double v) {
    return __builtin_shuffle(r, type{v}, mask{4, 1, 2, 3});
  }
};
template <> struct Lanes<8> {
  typedef double type __attribute__((vector_size(8 * sizeof(double))));
  typedef long long mask __attribute__((vector_size(8 * sizeof(long long))));
  static type withFirst(type r, double v) {
    return __builtin_shuffle(r, type{v}, mask{8, 1, 2, 3, 4, 5, 6, 7});
  }
};
template <> struct Lanes<16> {
  typedef double type __attribute__((vector_size(16 * sizeof(double))));
  typedef long long mask __attribute__((vector_size(16 * sizeof(long long))));
  static type withFirst(type r, double v) {
    return __builtin_shuffle(r, type{v},
                             mask{16, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15});
  }
};
} // namespace denseDual

template <int K> class DenseDual {
  // Lane 0 holds the value, lanes 1 to K the derivatives, the rest 0.
  static_assert(K >= 1 && K <= 15);
  using Layout = denseDual::Lanes<K + 1 <= 2 ? 2 : K + 1 <= 4 ? 4 : K + 1 <= 8 ? 8 : 16>;
  using Lanes = typename Layout::type;
  static Lanes withFirst(Lanes r, double v) { return Layout::withFirst(r, v); }

public:
  DenseDual() : x_{} {}
  DenseDual(double value) : x_{value} {}
  // The value and the first K dense derivatives of a process-wide number.
  explicit DenseDual(const Active &a) : x_{} {
    x_[0] = a.value();
    const double *d = a.denseDerivatives();
    for (int i = 0; i < K; ++i)
      x_[i + 1] = d[i];
  }
  // A variable of value v: derivative 1 in slot i, 0 elsewhere.
  static DenseDual variable(double v, int i) {
    DenseDual a(v);
    a.x_[i + 1] = 1.0;
    return a;
  }

  double value() const { return x_[0]; }
  double derivative(int i) const { return x_[i + 1]; }

  // As a process-wide number of the current dense context.
  Active toActive() const {
    Active a(x_[0]);
    double *d = a.denseDerivatives();
    for (int i = 0; i < K; ++i)
      d[i] = x_[i + 1];
    return a;
  }

  // this += factor * b (value and derivatives).
  void addScaled(const DenseDual &b, double factor) { x_ += b.x_ * factor; }
  void addScaled(const Active &b, double factor) {
    x_[0] += factor * b.value();
    const double *d = b.denseDerivatives();
    for (int i = 0; i < K; ++i)
      x_[i + 1] += factor * d[i];
  }
  // The derivatives only: this' += factor * b'.
  void addScaledDerivatives(const DenseDual &b, double factor) {
    x_ = withFirst(x_ + b.x_ * factor, x_[0]);
  }

  [[gnu::always_inline]] DenseDual &operator+=(const DenseDual &b) {
    x_ += b.x_;
    return *this;
  }
  [[gnu::always_inline]] DenseDual &operator-=(const DenseDual &b) {
    x_ -= b.x_;
    return *this;
  }
  [[gnu::always_inline]] DenseDual &operator*=(const DenseDual &b) {
    const double av = x_[0], bv = b.x_[0];
    x_ = withFirst(x_ * bv + b.x_ * av, av * bv);
    return *this;
  }
  [[gnu::always_inline]] DenseDual &operator/=(const DenseDual &b) {
    // The derivatives as a' / b - a b' / b^2 wait for 1 / b only, not for
    // the quotient: the two divisions run side by side.
    const double bv = b.x_[0], q = x_[0] / bv, inverse = 1.0 / bv;
    if (std::isfinite(q)) [[likely]] {
      x_ = withFirst(x_ * inverse - b.x_ * (x_[0] * inverse * inverse), q);
    } else {
      divideWithoutFiniteQuotient(b, q);
      x_[0] = q;
    }
    return *this;
  }
  [[gnu::always_inline]] DenseDual &operator+=(double x) {
    x_ = withFirst(x_, x_[0] + x);
    return *this;
  }
  [[gnu::always_inline]] DenseDual &operator-=(double x) {
    x_ = withFirst(x_, x_[0] - x);
    return *this;
  }
  [[gnu::always_inline]] DenseDual &operator*=(double x) {
    x_ = x_ * x;
    return *this;
  }
  [[gnu::always_inline]] DenseDual &operator/=(double x) {
    x_ = withFirst(x_ * (1.0 / x), x_[0] / x);
    return *this;
  }

  [[gnu::always_inline]] friend DenseDual operator+(DenseDual a, const DenseDual &b) { return a += b; }
  [[gnu::always_inline]] friend DenseDual operator-(DenseDual a, const DenseDual &b) { return a -= b; }
  [[gnu::always_inline]] friend DenseDual operator*(DenseDual a, const DenseDual &b) { return a *= b; }
  [[gnu::always_inline]] friend DenseDual operator/(DenseDual a, const DenseDual &b) { return a /= b; }
  [[gnu::always_inline]] friend DenseDual operator+(DenseDual a, double x) { return a += x; }
  [[gnu::always_inline]] friend DenseDual operator+(double x, DenseDual a) {
    a.x_ = withFirst(a.x_, x + a.x_[0]);
    return a;
  }
  [[gnu::always_inline]] friend DenseDual operator-(DenseDual a, double x) { return a -= x; }
  [[gnu::always_inline]] friend DenseDual operator-(double x, DenseDual a) {
    a.x_ = withFirst(-a.x_, x - a.x_[0]);
    return a;
  }
  [[gnu::always_inline]] friend DenseDual operator-(DenseDual a) {
    a.x_ = -a.x_;
    return a;
  }
  [[gnu::always_inline]] friend DenseDual operator*(DenseDual a, double x) { return a *= x; }
  [[gnu::always_inline]] friend DenseDual operator*(double x, DenseDual a) { return a *= x; }
  [[gnu::always_inline]] friend DenseDual operator/(DenseDual a, double x) { return a /= x; }
  [[gnu::always_inline]] friend DenseDual operator/(double x, const DenseDual &b) {
    DenseDual r(x);
    return r /= b;
  }

  [[gnu::always_inline]] friend DenseDual sqrt(DenseDual a) {
    const double r = std::sqrt(a.x_[0]);
    if (r > 0) [[likely]] {
      a.x_ = withFirst(a.x_ * (1.0 / (r * 2)), r);
    } else {
      for (int i = 1; i <= K; ++i)
        a.x_[i] = (r == 0 && a.x_[i] >= 0) ? a.x_[i] / (r * 2) : quietNan();
      a.x_[0] = r;
    }
    return a;
  }
  [[gnu::always_inline]] friend DenseDual log(DenseDual a) {
    const double v = a.x_[0];
    if (v > 0) [[likely]] {
      a.x_ = withFirst(a.x_ * (1.0 / v), std::log(v));
    } else {
      for (int i = 1; i <= K; ++i)
        a.x_[i] = (v == 0 && a.x_[i] >= 0) ? a.x_[i] / v : quietNan();
      a.x_[0] = std::log(v);
    }
    return a;
  }

private:
  // The quotient rule where a / b is infinite or NaN: a zero derivative of b
  // contributes nothing and a zero numerator stays 0.
  [[gnu::noinline]] void divideWithoutFiniteQuotient(const DenseDual &b, double q) {
    const double bv = b.x_[0];
    for (int i = 1; i <= K; ++i) {
      const double numerator = b.x_[i] != 0 ? x_[i] - q * b.x_[i] : x_[i];
      x_[i] = numerator != 0 ? numerator / bv : 0.0;
    }
  }
  // The NaN that 0 / 0 gives at run time, as the process-wide number uses.
  static double quietNan() {
    volatile double zero = 0.0;
    return zero / zero;
  }

  Lanes x_;
};

} // namespace Phase
