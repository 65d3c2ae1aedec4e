#pragma once
// A number with its gradient over the two independent variables of the
// water model, (delta, tau): entry 0 is d/ddelta, entry 1 is d/dtau, which
// holds when the inputs are seeded with variable(value, 0) and
// variable(value, 1). N is the number type of value and entries: double
// for plain first derivatives, Active to carry the flash unknowns' outer
// derivatives as well, or IapwsGradient<double> for second derivatives.
//
// Only the operations the Helmholtz energy needs are defined; a constant
// (double) operand has gradient 0. Powers take a constant exponent.

#include "velta/phases/PlainValue.h"
#include "velta/value/Active.h"

#include <array>
#include <cmath>
#include <type_traits>

namespace Phase {

template <class N> class IapwsGradient {
public:
  N value{};
  std::array<N, 2> gradient{};

  IapwsGradient() = default;
  // A constant: gradient 0.
  IapwsGradient(const N &v) : value(v) {}
  template <class D>
  requires(std::is_arithmetic_v<D> && !std::is_same_v<N, D>) IapwsGradient(D v)
      : value(static_cast<double>(v)) {}
  IapwsGradient(const N &v, const N &dDelta, const N &dTau) : value(v), gradient{dDelta, dTau} {}

  // The independent variable of gradient entry slot (0 delta, 1 tau).
  static IapwsGradient variable(const N &v, int slot) {
    IapwsGradient result(v);
    result.gradient[static_cast<std::size_t>(slot)] = N(1.0);
    return result;
  }

  const N &dDelta() const { return gradient[0]; }
  const N &dTau() const { return gradient[1]; }

  IapwsGradient &operator+=(const IapwsGradient &b) {
    value += b.value;
    gradient[0] += b.gradient[0];
    gradient[1] += b.gradient[1];
    return *this;
  }

  IapwsGradient &operator-=(const IapwsGradient &b) {
    value -= b.value;
    gradient[0] -= b.gradient[0];
    gradient[1] -= b.gradient[1];
    return *this;
  }

  friend IapwsGradient operator+(IapwsGradient a, const IapwsGradient &b) { return a += b; }
  friend IapwsGradient operator-(const IapwsGradient &a, const IapwsGradient &b) {
    return {a.value - b.value, a.gradient[0] - b.gradient[0], a.gradient[1] - b.gradient[1]};
  }
  friend IapwsGradient operator-(const IapwsGradient &a) {
    return {-a.value, -a.gradient[0], -a.gradient[1]};
  }
  friend IapwsGradient operator*(const IapwsGradient &a, const IapwsGradient &b) {
    return {a.value * b.value, b.value * a.gradient[0] + a.value * b.gradient[0],
            b.value * a.gradient[1] + a.value * b.gradient[1]};
  }
  // Constant operands.
  friend IapwsGradient operator+(IapwsGradient a, double c) {
    a.value = a.value + c;
    return a;
  }
  friend IapwsGradient operator+(double c, IapwsGradient a) { return std::move(a) + c; }
  friend IapwsGradient operator-(IapwsGradient a, double c) {
    a.value = a.value - c;
    return a;
  }
  friend IapwsGradient operator-(double c, const IapwsGradient &a) {
    return {c - a.value, -a.gradient[0], -a.gradient[1]};
  }
  friend IapwsGradient operator*(double c, const IapwsGradient &a) {
    return {c * a.value, c * a.gradient[0], c * a.gradient[1]};
  }
  friend IapwsGradient operator*(const IapwsGradient &a, double c) { return c * a; }

  friend IapwsGradient exp(const IapwsGradient &a) {
    using std::exp;
    const N e = exp(a.value);
    return {e, e * a.gradient[0], e * a.gradient[1]};
  }
  friend IapwsGradient operator/(double c, const IapwsGradient &a) {
    const N inverse = 1.0 / a.value;
    const N q = c * inverse;
    const N slope = -(q * inverse);
    return {q, slope * a.gradient[0], slope * a.gradient[1]};
  }
  friend IapwsGradient log(const IapwsGradient &a) {
    using std::log;
    const N inverse = 1.0 / a.value;
    return {log(a.value), inverse * a.gradient[0], inverse * a.gradient[1]};
  }
};

// The plain value at the bottom of a gradient record.
template <class N> double plainValue(const IapwsGradient<N> &x) { return plainValue(x.value); }

// x^a for a constant exponent a, the value formed as x^(a - 2) * x * x so
// that integer exponents keep the sign of a negative base. At x = 0
// exactly the value is 0^a and every derivative is 0, whatever a.
inline double powWithGradient(double x, double a) {
  if (x == 0.0)
    return std::pow(0.0, a);
  return std::pow(x, a - 2.0) * x * x;
}
inline Active powWithGradient(const Active &x, double a) {
  if (x.value() == 0.0)
    return Active(std::pow(0.0, a));
  return pow(x, a - 2.0) * x * x;
}
// The chain rule: d(x^a) = a x^(a - 1) dx, with x^(a - 1) formed as
// x^(a - 2) * x from the same power as the value.
template <class N> IapwsGradient<N> powWithGradient(const IapwsGradient<N> &x, double a) {
  if (plainValue(x.value) == 0.0)
    return IapwsGradient<N>(std::pow(0.0, a));
  const N below = powWithGradient(x.value, a - 2.0);
  const N slope = a * (below * x.value);
  return {below * x.value * x.value, slope * x.gradient[0], slope * x.gradient[1]};
}

} // namespace Phase
