#pragma once
// Forward-mode automatic-differentiation number: a value that carries its
// first derivatives with respect to the directions of the current derivative
// context through every operator and mathematical function.
//
// Storage follows the current context: up to `denseDirections` directions
// the derivatives live in a fixed array (no allocation at all); above that
// in a list of (direction, derivative) pairs sorted by direction. A number
// carries both stores, and each operation uses only the store of the mode
// current at that moment, so numbers that meet in one calculation must have
// been built under the same mode.

#include "velta/utility/Assert.h"
#include "velta/value/DerivativeContext.h"

#include <cmath>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

// Contexts of at most this many directions use the dense store.
inline constexpr int denseDirections = 5;

template <class T> class GenericActive {
public:
  struct Entry {
    std::int32_t direction;
    T derivative;
  };
  using SparseStore = std::vector<Entry>;

  static bool sparseMode() { return numdir > denseDirections; }

  GenericActive() : value_(0), active_(false), dense_{} {}
  GenericActive(T value) : value_(value), active_(false), dense_{} {}

  // Copies the value and the current mode's store; the copy is never active.
  GenericActive(const GenericActive &other) : value_(other.value_), active_(false) {
    if (sparseMode()) [[unlikely]] {
      zeroDense();
      sparse_ = other.sparse_;
    } else {
      for (int i = 0; i < denseDirections; ++i)
        dense_[i] = other.dense_[i];
    }
  }

  // A copy of a with room for b's directions too: a binary operation's
  // result then merges b's list without allocating a second time.
  GenericActive(const GenericActive &a, const GenericActive &b) : value_(a.value_), active_(false) {
    if (sparseMode()) [[unlikely]] {
      zeroDense();
      sparse_.reserve(a.sparse_.size() + b.sparse_.size());
      sparse_ = a.sparse_;
    } else {
      for (int i = 0; i < denseDirections; ++i)
        dense_[i] = a.dense_[i];
    }
  }

  GenericActive(GenericActive &&other) noexcept : value_(other.value_), active_(false) {
    if (sparseMode()) [[unlikely]] {
      zeroDense();
      sparse_.swap(other.sparse_);
    } else {
      for (int i = 0; i < denseDirections; ++i)
        dense_[i] = other.dense_[i];
    }
  }

  ~GenericActive() = default;

  // Sets the value and clears the derivatives; the active flag is kept.
  GenericActive &operator=(T value) {
    value_ = value;
    if (sparseMode()) [[unlikely]] {
      sparse_.clear();
    } else {
      const int n = numdir;
      for (int i = 0; i < n; ++i)
        dense_[i] = 0;
    }
    return *this;
  }

  // Copies value and derivatives, never the active flag. Overwriting a
  // seeded unknown while derivatives are computed would make them wrong: the
  // calculation is stopped with an error naming the unknown.
  GenericActive &operator=(const GenericActive &other) {
    if (this != &other) {
      value_ = other.value_;
      if (sparseMode()) [[unlikely]] {
        sparse_ = other.sparse_;
      } else {
        const int n = numdir;
        for (int i = 0; i < n; ++i)
          dense_[i] = other.dense_[i];
      }
    }
    checkNotSeeded();
    return *this;
  }

  // Not noexcept: overwriting a seeded unknown throws (checkNotSeeded).
  GenericActive &operator=(GenericActive &&other) {
    if (this != &other) {
      value_ = other.value_;
      if (sparseMode()) [[unlikely]] {
        sparse_.swap(other.sparse_);
        other.sparse_.clear();
      } else {
        const int n = numdir;
        for (int i = 0; i < n; ++i)
          dense_[i] = other.dense_[i];
      }
    }
    checkNotSeeded();
    return *this;
  }

  // Access.
  const T &value() const { return value_; }
  T &value() { return value_; }
  bool isActive() const { return active_; }
  // The derivative in direction i (0 when not stored in sparse mode).
  T derivative(int i) const {
    if (sparseMode()) [[unlikely]]
      return sparseDerivative(i);
    VELTA_ASSERT(i >= 0 && i < denseDirections);
    return dense_[i];
  }
  // A copy with value 0 and the same derivatives.
  GenericActive derivativePart() const {
    GenericActive part(*this);
    part.value_ = 0;
    return part;
  }
  // Sum of the absolute derivatives (dense: all slots; sparse: stored entries).
  T derivativeSum() const;
  // derivativeSum(), or, when the context holds folded intermediates, its
  // measure of the dependence on the unknowns alone (DerivativeContext::
  // reducedDerivativeMeasure): both are 0 for a number that depends on no
  // unknown.
  T reducedDerivativeSum() const;
  // Folds a long list into one intermediate direction of the current
  // context when the context folds and the list has reached its threshold;
  // a seeded unknown is never folded. True when folded.
  bool foldDerivatives();
  // Whether the sparse list holds a direction beyond the current context's
  // unknowns (an intermediate); such a list means nothing once the context
  // that folded it has assembled its Jacobian.
  bool holdsIntermediates() const;
  // Empties the sparse list.
  void clearSparseDerivatives() { sparse_.clear(); }
  // Value and every derivative 0 (sparse entries are kept, with 0).
  void setZero() {
    value_ = 0;
    clearDerivatives();
  }
  // Every derivative 0, value kept (sparse entries are kept, with 0).
  void clearDerivatives() {
    if (sparseMode()) [[unlikely]] {
      for (Entry &entry : sparse_)
        entry.derivative = 0;
    } else {
      zeroDense();
    }
  }
  static int getNumdir() { return numdir; }
  // "<value> [ d0 d1 ... ]"; see the source for the sparse forms.
  std::string toString() const;
  // Stored pairs of the sparse store, sorted by direction.
  const SparseStore &sparseDerivatives() const { return sparse_; }

  // Seeding: this number becomes the independent variable of direction i
  // of the current context (derivative 1 there, 0 elsewhere).
  void setActive(int i);
  void setInactive(int i);
  void setDerivative(int i, T derivative);

  // The dense store itself (dense mode, slots below numdir), for code that
  // moves derivatives between this number and another dense representation.
  T *denseDerivatives() { return dense_; }
  const T *denseDerivatives() const { return dense_; }

  // this += factor * b, value and derivatives, without a temporary.
  GenericActive &addScaled(const GenericActive &b, T factor) {
    if (sparseMode()) [[unlikely]] {
      sparseAddScaled(b, factor);
    } else {
      const int n = numdir;
      for (int i = 0; i < n; ++i)
        dense_[i] += factor * b.dense_[i];
    }
    value_ += factor * b.value_;
    return *this;
  }

  // Compound assignment.
  GenericActive &operator+=(const GenericActive &b) {
    if (sparseMode()) [[unlikely]] {
      sparseAdd(b);
    } else {
      const int n = numdir;
      for (int i = 0; i < n; ++i)
        dense_[i] += b.dense_[i];
    }
    value_ += b.value_;
    return *this;
  }
  GenericActive &operator+=(T x) {
    value_ += x;
    return *this;
  }
  GenericActive &operator-=(const GenericActive &b) {
    if (sparseMode()) [[unlikely]] {
      sparseSubtract(b);
    } else {
      const int n = numdir;
      for (int i = 0; i < n; ++i)
        dense_[i] -= b.dense_[i];
    }
    value_ -= b.value_;
    return *this;
  }
  GenericActive &operator-=(T x) {
    value_ -= x;
    return *this;
  }
  GenericActive &operator*=(const GenericActive &b) {
    const T av = value_, bv = b.value_;
    if (sparseMode()) [[unlikely]] {
      sparseMultiply(b);
    } else {
      const int n = numdir;
      for (int i = 0; i < n; ++i)
        dense_[i] = dense_[i] * bv + b.dense_[i] * av;
    }
    value_ = av * bv;
    return *this;
  }
  GenericActive &operator*=(T x) {
    value_ = x * value_;
    scaleDerivatives(x);
    return *this;
  }
  // d(a/b) = (a_i - q b_i) / b with q = a / b: b is never squared, so the
  // derivative stays right where b * b would underflow or overflow.
  GenericActive &operator/=(const GenericActive &b) {
    const T bv = b.value_, q = value_ / bv;
    if (sparseMode()) [[unlikely]] {
      sparseDivide(b, q);
    } else {
      const int n = numdir;
      if (std::isfinite(q)) [[likely]] {
        for (int i = 0; i < n; ++i)
          dense_[i] = (dense_[i] - q * b.dense_[i]) / bv;
      } else {
        for (int i = 0; i < n; ++i)
          dense_[i] = overDivisor(quotientNumerator(dense_[i], b.dense_[i], q), bv);
      }
    }
    value_ = q;
    return *this;
  }
  GenericActive &operator/=(T x) {
    value_ /= x;
    transformDerivatives([x](T d) { return d / x; });
    return *this;
  }

  // Binary operators: the result is a copy of the number operand (the left
  // one for two numbers) with the operation applied; a temporary left operand
  // is reused instead of copied.
  friend GenericActive operator+(const GenericActive &a, const GenericActive &b) {
    GenericActive r(a, b);
    r += b;
    return r;
  }
  friend GenericActive operator+(GenericActive &&a, const GenericActive &b) {
    a += b;
    return std::move(a);
  }
  friend GenericActive operator+(const GenericActive &a, GenericActive &&b) {
    return std::move(b) + a;
  }
  friend GenericActive operator+(GenericActive &&a, GenericActive &&b) {
    return std::move(a) + static_cast<const GenericActive &>(b);
  }
  friend GenericActive operator+(GenericActive a, T x) {
    a.value_ += x;
    return a;
  }
  friend GenericActive operator+(T x, GenericActive a) {
    a.value_ = x + a.value_;
    return a;
  }

  friend GenericActive operator-(const GenericActive &a, const GenericActive &b) {
    GenericActive r(a, b);
    r -= b;
    return r;
  }
  friend GenericActive operator-(GenericActive &&a, const GenericActive &b) {
    a -= b;
    return std::move(a);
  }
  friend GenericActive operator-(GenericActive a, T x) {
    a.value_ -= x;
    return a;
  }
  // x + (-a)
  friend GenericActive operator-(T x, GenericActive a) {
    a.negate();
    a.value_ = x + a.value_;
    return a;
  }
  friend GenericActive operator-(GenericActive a) {
    a.negate();
    return a;
  }

  friend GenericActive operator*(const GenericActive &a, const GenericActive &b) {
    GenericActive r(a, b);
    r *= b;
    return r;
  }
  friend GenericActive operator*(GenericActive &&a, const GenericActive &b) {
    a *= b;
    return std::move(a);
  }
  friend GenericActive operator*(GenericActive a, T x) {
    a *= x;
    return a;
  }
  friend GenericActive operator*(T x, GenericActive a) {
    a *= x;
    return a;
  }

  friend GenericActive operator/(const GenericActive &a, const GenericActive &b) {
    GenericActive r(a, b);
    r /= b;
    return r;
  }
  friend GenericActive operator/(GenericActive &&a, const GenericActive &b) {
    a /= b;
    return std::move(a);
  }
  friend GenericActive operator/(GenericActive a, T x) {
    a /= x;
    return a;
  }
  // Built as a number of value x without derivatives, divided by a.
  friend GenericActive operator/(T x, const GenericActive &a) {
    GenericActive r(x);
    r /= a;
    return r;
  }

  // Comparisons look at the values only.
  friend bool operator==(const GenericActive &a, const GenericActive &b) {
    return a.value_ == b.value_;
  }
  friend bool operator!=(const GenericActive &a, const GenericActive &b) {
    return a.value_ != b.value_;
  }
  friend bool operator<(const GenericActive &a, const GenericActive &b) {
    return a.value_ < b.value_;
  }
  friend bool operator<=(const GenericActive &a, const GenericActive &b) {
    return a.value_ <= b.value_;
  }
  friend bool operator>(const GenericActive &a, const GenericActive &b) {
    return a.value_ > b.value_;
  }
  friend bool operator>=(const GenericActive &a, const GenericActive &b) {
    return a.value_ >= b.value_;
  }
  friend bool operator==(const GenericActive &a, T x) { return a.value_ == x; }
  friend bool operator!=(const GenericActive &a, T x) { return a.value_ != x; }
  friend bool operator<(const GenericActive &a, T x) { return a.value_ < x; }
  friend bool operator<=(const GenericActive &a, T x) { return a.value_ <= x; }
  friend bool operator>(const GenericActive &a, T x) { return a.value_ > x; }
  friend bool operator>=(const GenericActive &a, T x) { return a.value_ >= x; }
  friend bool operator<(T x, const GenericActive &a) { return x < a.value_; }
  friend bool operator<=(T x, const GenericActive &a) { return x <= a.value_; }
  friend bool operator>(T x, const GenericActive &a) { return x > a.value_; }
  friend bool operator>=(T x, const GenericActive &a) { return x >= a.value_; }

  // Mathematical functions: the argument is copied (or a temporary reused)
  // and transformed. None of them fails: outside a function's domain the
  // value is what the mathematical library gives and the derivatives follow
  // the rules below (NaN where the derivative does not exist).
  friend GenericActive sqrt(GenericActive a) {
    const T r = std::sqrt(a.value_);
    a.transformDerivatives(
        [r](T d) { return (r > 0 || (r == 0 && d >= 0)) ? d / (r * 2) : quietNan(); });
    a.value_ = r;
    return a;
  }
  friend GenericActive exp(GenericActive a) {
    const T e = std::exp(a.value_);
    a.scaleDerivatives(e);
    a.value_ = e;
    return a;
  }
  friend GenericActive log(GenericActive a) {
    const T v = a.value_;
    a.transformDerivatives([v](T d) { return (v > 0 || (v == 0 && d >= 0)) ? d / v : quietNan(); });
    a.value_ = std::log(v);
    return a;
  }
  friend GenericActive log10(GenericActive a) {
    const T v = a.value_, lnv = ln10() * v;
    a.transformDerivatives(
        [v, lnv](T d) { return (v > 0 || (v == 0 && d >= 0)) ? d / lnv : quietNan(); });
    a.value_ = std::log10(v);
    return a;
  }
  // d(a^p) = a^(p-1) p da; p = 0 gives 0 even at a = 0 (no 0^-1 * 0).
  friend GenericActive pow(GenericActive a, T p) {
    const T v = a.value_;
    const T factor = p != 0 ? std::pow(v, p - 1) * p : T(0);
    a.scaleDerivativesByTerm(factor);
    a.value_ = std::pow(v, p);
    return a;
  }
  // d(a^e) = a^(e-1) e da + ln(a) a^e de. A term whose factor is exactly 0
  // contributes 0 without looking at the other factor: a constant exponent
  // (de = 0) keeps a^2 at a = -2 free of ln(-2), e = 0 keeps a^0 at a = 0
  // free of 0^-1, and a^e = 0 keeps 0^2 free of ln(0). With both factors
  // finite the plain products give the same. Where the exponent
  // does vary on a negative base, NaN spreads as it should. The rule is the
  // same in both stores, so dense and sparse agree.
  friend GenericActive pow(const GenericActive &a, const GenericActive &e) {
    GenericActive r(a);
    const T v = a.value_, ev = e.value_, power = std::pow(v, ev);
    const T baseFactor = ev != 0 ? std::pow(v, ev - 1) * ev : T(0);
    const T exponentFactor = power != 0 ? std::log(v) * power : T(0);
    if (sparseMode()) [[unlikely]] {
      r.scaleDerivativesByTerm(baseFactor);
      r.sparseAddScaled(e, exponentFactor);
    } else if (std::isfinite(baseFactor) && std::isfinite(exponentFactor)) [[likely]] {
      const int n = numdir;
      for (int i = 0; i < n; ++i)
        r.dense_[i] = baseFactor * a.dense_[i] + exponentFactor * e.dense_[i];
    } else {
      const int n = numdir;
      for (int i = 0; i < n; ++i)
        r.dense_[i] = term(baseFactor, a.dense_[i]) + term(exponentFactor, e.dense_[i]);
    }
    r.value_ = power;
    return r;
  }
  friend GenericActive sin(GenericActive a) {
    a.scaleDerivatives(std::cos(a.value_));
    a.value_ = std::sin(a.value_);
    return a;
  }
  friend GenericActive sinh(GenericActive a) {
    a.scaleDerivatives(std::cosh(a.value_));
    a.value_ = std::sinh(a.value_);
    return a;
  }
  friend GenericActive cosh(GenericActive a) {
    a.scaleDerivatives(std::sinh(a.value_));
    a.value_ = std::cosh(a.value_);
    return a;
  }
  friend GenericActive asin(GenericActive a) {
    const T v = a.value_;
    if (v < -1 || v > 1)
      a.transformDerivatives([](T) { return quietNan(); });
    else
      a.scaleDerivatives(1 / std::sqrt(1 - v * v));
    a.value_ = std::asin(v);
    return a;
  }
  friend GenericActive acos(GenericActive a) {
    const T v = a.value_;
    if (v < -1 || v > 1)
      a.transformDerivatives([](T) { return quietNan(); });
    else
      a.scaleDerivatives(-1 / std::sqrt(1 - v * v));
    a.value_ = std::acos(v);
    return a;
  }
  friend GenericActive atan(GenericActive a) {
    const T v = a.value_;
    a.scaleDerivatives(1 / (v * v + 1));
    a.value_ = std::atan(v);
    return a;
  }
  // At 0 (or NaN) the slope is taken as +1 from the side the derivative points to.
  friend GenericActive fabs(GenericActive a) {
    const T v = a.value_;
    if (v > 0 || v < 0) {
      if (v < 0)
        a.scaleDerivatives(-1);
    } else {
      a.transformDerivatives([](T d) { return std::fabs(d); });
    }
    a.value_ = std::fabs(v);
    return a;
  }

private:
  // The quiet NaN that 0/0 gives at run time (sign included).
  static T quietNan() {
    volatile T zero = 0;
    return zero / zero;
  }
  static T ln10() { return T(2.302585092994045684017991454684364208); }
  // factor * d, but a zero derivative gives 0 even for an infinite or NaN
  // factor (the result does not depend on that direction through this term).
  // A finite factor gives the plain product, so only other factors need it.
  static T term(T factor, T d) { return d != 0 ? factor * d : T(0); }
  // The quotient rule in two steps where q = a / b is infinite or NaN: a_i -
  // q b_i (a zero b_i contributes 0), then divided by b (a zero numerator
  // stays 0). With q finite the plain expressions give the same.
  static T quotientNumerator(T ai, T bi, T q) { return bi != 0 ? ai - q * bi : ai; }
  static T overDivisor(T numerator, T b) { return numerator != 0 ? numerator / b : T(0); }

  void zeroDense() {
    for (int i = 0; i < denseDirections; ++i)
      dense_[i] = 0;
  }
  // A seeded unknown may not be overwritten while derivatives are computed:
  // ErrorRunTime from "GenericActive::operator =" naming the unknown. A model
  // that writes one of its own unknowns is reachable from a user's case, so
  // this is an error of the calculation, not a fatal assertion.
  void checkNotSeeded() {
    if (numdir != 0 && strict_ro && active_) [[unlikely]]
      seededOverwritten();
  }
  void seededOverwritten() const;
  T sparseDerivative(int i) const;
  void negate() {
    value_ = -value_;
    transformDerivatives([](T d) { return -d; });
  }
  void scaleDerivatives(T factor) {
    transformDerivatives([factor](T d) { return factor * d; });
  }
  void scaleDerivativesByTerm(T factor) {
    if (std::isfinite(factor)) [[likely]]
      scaleDerivatives(factor);
    else
      transformDerivatives([factor](T d) { return term(factor, d); });
  }
  // Applies f to every derivative of the current store (dense: directions
  // below numdir; sparse: the stored entries).
  template <class F> void transformDerivatives(F f) {
    if (sparseMode()) [[unlikely]] {
      for (Entry &entry : sparse_)
        entry.derivative = f(entry.derivative);
    } else {
      const int n = numdir;
      for (int i = 0; i < n; ++i)
        dense_[i] = f(dense_[i]);
    }
  }

  // Sparse arithmetic; the result's list becomes the union of both lists.
  void sparseAdd(const GenericActive &b);
  void sparseSubtract(const GenericActive &b);
  void sparseMultiply(const GenericActive &b);
  void sparseDivide(const GenericActive &b, T quotient);
  // this_i += term(factor, b_i) (b's directions all enter)
  void sparseAddScaled(const GenericActive &b, T factor);

  T value_;
  bool active_;
  T dense_[denseDirections];
  SparseStore sparse_;
};

extern template class GenericActive<double>;

using Active = GenericActive<double>;

// True when x is infinite or NaN.
inline bool isNotFinite(double x) { return !std::isfinite(x); }
inline bool isNan(double x) { return std::isnan(x); }
