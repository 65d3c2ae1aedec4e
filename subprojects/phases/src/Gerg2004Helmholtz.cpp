#include "velta/phases/Gerg2004Helmholtz.h"

#include <utility>

namespace Phase::Gerg2004Helmholtz {
namespace {

const Gerg2004Parameters &parameters() { return gerg2004Parameters(); }

// One reducing formula for plain numbers and gradient records alike:
//   sum_i x_i^2 a_i + sum_{i<j} 2 x_i x_j beta gamma (x_i + x_j) / (beta^2 x_i + x_j) a_ij
template <class X, class Pure, class Pair>
X reducingSum(const std::array<X, gerg2004Components> &x, Pure pureValue, Pair pairValue) {
  const Gerg2004Parameters &p = parameters();
  X sum(0.0);
  for (int i = 0; i < gerg2004Components; ++i)
    if (plainValue(x[i]) > 0)
      sum += x[i] * x[i] * pureValue(p.pure[i]);
  for (int i = 0; i < gerg2004Components; ++i) {
    if (!(plainValue(x[i]) > 0))
      continue;
    for (int j = i + 1; j < gerg2004Components; ++j) {
      if (!(plainValue(x[j]) > 0))
        continue;
      const int pair = gerg2004PairIndex(i, j);
      const auto [beta, gamma, a] = pairValue(p.reducing[pair], pair);
      const X mixing = (x[i] + x[j]) / (x[i] * (beta * beta) + x[j]);
      sum += x[i] * x[j] * (2 * beta * gamma * a) * mixing;
    }
  }
  return sum;
}

template <class X> X densitySum(const std::array<X, gerg2004Components> &x) {
  const Gerg2004Parameters &p = parameters();
  return reducingSum(
      x, [](const Gerg2004Pure &c) { return 1 / c.rhoc; },
      [&p](const Gerg2004Reducing &r, int pair) {
        return std::array<double, 3>{r.betaV, r.gammaV, p.rhocPair[pair] / 8};
      });
}

template <class X> X temperatureSum(const std::array<X, gerg2004Components> &x) {
  const Gerg2004Parameters &p = parameters();
  return reducingSum(
      x, [](const Gerg2004Pure &c) { return c.Tc; },
      [&p](const Gerg2004Reducing &r, int pair) {
        return std::array<double, 3>{r.betaT, r.gammaT, p.TcPair[pair]};
      });
}

std::array<Active, gerg2004Components> firstFractions(Vector x) {
  std::array<Active, gerg2004Components> fractions;
  for (int i = 0; i < gerg2004Components; ++i)
    fractions[i] = x[i].activeValue();
  return fractions;
}

// N = sum of every amount, x_i = n_i / N.
template <class N> GenericDeriv<N> total(const Fractions<N> &n) {
  GenericDeriv<N> sum(N(0.0));
  for (const GenericDeriv<N> &amount : n)
    sum += amount;
  return sum;
}

template <class N> Fractions<N> fractionsOf(const Fractions<N> &n, const GenericDeriv<N> &total) {
  Fractions<N> x;
  for (int i = 0; i < gerg2004Components; ++i)
    x[i] = n[i] / total;
  return x;
}

// n ln|f(theta tau)| for a sinh or cosh term.
template <class N, class F>
GenericDeriv<N> logTerm(double n, double theta, const GenericDeriv<N> &tau, F f) {
  return n * log(fabs(f(theta * tau)));
}

} // namespace

Active reducingDensity(Vector x) { return 1.0 / densitySum(firstFractions(x)); }

Active reducingTemperature(Vector x) { return temperatureSum(firstFractions(x)); }

template <class N> GenericDeriv<N> reducingDensityDeriv(const Fractions<N> &x) {
  return 1.0 / densitySum(x);
}

template <class N> GenericDeriv<N> reducingTemperatureDeriv(const Fractions<N> &x) {
  return temperatureSum(x);
}

template <class N> GenericDeriv<N> coshDeriv(const GenericDeriv<N> &x) {
  using std::exp;
  const N up = exp(x.value());
  const N down = exp(-x.value());
  return GenericDeriv<N>::chain((up + down) / 2.0, (up - down) / 2.0, x);
}

template <class N>
GenericDeriv<N> helmholtzIdealPure(const GenericDeriv<N> &delta, const GenericDeriv<N> &tau,
                                   const Gerg2004Pure &component) {
  const std::array<double, 7> &n = component.nIdeal;
  const std::array<double, 4> &theta = component.thetaIdeal;
  const auto sinhOf = [](const GenericDeriv<N> &a) { return sinh(a); };
  const auto coshOf = [](const GenericDeriv<N> &a) { return coshDeriv(a); };
  GenericDeriv<N> bracket = n[0] + n[1] * tau;
  bracket += n[2] * log(tau);
  if (theta[0] != 0)
    bracket += logTerm(n[3], theta[0], tau, sinhOf);
  if (theta[2] != 0)
    bracket += logTerm(n[5], theta[2], tau, sinhOf);
  if (theta[1] != 0)
    bracket -= logTerm(n[4], theta[1], tau, coshOf);
  if (theta[3] != 0)
    bracket -= logTerm(n[6], theta[3], tau, coshOf);
  // R*/R: exact quotient on the value, the rounded ratio on the gradient.
  bracket.value() *= idealFitGasConstant;
  bracket.value() /= equationGasConstant;
  bracket.scaleGradient(idealFitRatio);
  GenericDeriv<N> alpha = log(delta);
  alpha += bracket;
  return alpha;
}

template <class N>
GenericDeriv<N> helmholtzIdeal(const GenericDeriv<N> &rho, const GenericDeriv<N> &T,
                               const Fractions<N> &x) {
  const Gerg2004Parameters &p = parameters();
  GenericDeriv<N> alpha(N(0.0));
  for (int i = 0; i < gerg2004Components; ++i) {
    if (!(plainValue(x[i]) > 0))
      continue;
    const Gerg2004Pure &c = p.pure[i];
    GenericDeriv<N> pure = helmholtzIdealPure(rho / c.rhoc, c.Tc / T, c);
    pure += log(x[i]);
    alpha += x[i] * pure;
  }
  return alpha;
}

template <class N>
GenericDeriv<N> helmholtzIdealTotal(const GenericDeriv<N> &V, const GenericDeriv<N> &T,
                                    const Fractions<N> &n) {
  const GenericDeriv<N> amount = total(n);
  return amount * helmholtzIdeal(amount / V, T, fractionsOf(n, amount));
}

template <class N>
GenericDeriv<N> polynomialTerms(std::span<const Gerg2004PolTerm> terms,
                                const GenericDeriv<N> &delta, const GenericDeriv<N> &tau) {
  GenericDeriv<N> sum(N(0.0));
  for (const Gerg2004PolTerm &term : terms)
    sum += term.n * (pow(delta, term.d) * pow(tau, term.t));
  return sum;
}

template <class N>
GenericDeriv<N> exponentialTerms(std::span<const Gerg2004ExpTerm> terms,
                                 const GenericDeriv<N> &delta, const GenericDeriv<N> &tau) {
  GenericDeriv<N> sum(N(0.0));
  for (const Gerg2004ExpTerm &term : terms) {
    const GenericDeriv<N> decay = exp(-pow(delta, term.c));
    sum += term.n * (pow(delta, term.d) * pow(tau, term.t) * decay);
  }
  return sum;
}

template <class N>
GenericDeriv<N> departureExponentialTerms(std::span<const Gerg2004DepartureExpTerm> terms,
                                          const GenericDeriv<N> &delta,
                                          const GenericDeriv<N> &tau) {
  GenericDeriv<N> sum(N(0.0));
  for (const Gerg2004DepartureExpTerm &term : terms) {
    const GenericDeriv<N> shifted = delta - term.epsilon;
    const GenericDeriv<N> exponent =
        -term.eta * (shifted * shifted) - term.beta * (delta - term.gamma);
    sum += term.n * (pow(delta, term.d) * pow(tau, term.t) * exp(exponent));
  }
  return sum;
}

template <class N>
GenericDeriv<N> helmholtzResidual(const GenericDeriv<N> &delta, const GenericDeriv<N> &tau,
                                  const Fractions<N> &x) {
  const Gerg2004Parameters &p = parameters();
  GenericDeriv<N> alpha(N(0.0));
  for (int i = 0; i < gerg2004Components; ++i) {
    if (!(plainValue(x[i]) > 0))
      continue;
    const Gerg2004Pure &c = p.pure[i];
    GenericDeriv<N> pure = polynomialTerms<N>(c.pol, delta, tau);
    pure += exponentialTerms<N>(c.exp, delta, tau);
    alpha += x[i] * pure;
  }
  for (int i = 0; i < gerg2004Components; ++i) {
    if (!(plainValue(x[i]) > 0))
      continue;
    for (int j = i + 1; j < gerg2004Components; ++j) {
      const Gerg2004Departure &d = p.departure[gerg2004PairIndex(i, j)];
      if (!(plainValue(x[j]) > 0) || (d.Kpol == 0 && d.Kexp == 0))
        continue;
      const GenericDeriv<N> weight = x[i] * x[j] * d.F;
      if (d.Kpol != 0)
        alpha += weight * polynomialTerms<N>(d.pol, delta, tau);
      if (d.Kexp != 0)
        alpha += weight * departureExponentialTerms<N>(d.exp, delta, tau);
    }
  }
  return alpha;
}

template <class N>
GenericDeriv<N> helmholtzResidualTotal(const GenericDeriv<N> &V, const GenericDeriv<N> &T,
                                       const Fractions<N> &n) {
  const GenericDeriv<N> amount = total(n);
  const Fractions<N> x = fractionsOf(n, amount);
  const GenericDeriv<N> delta = amount / reducingDensityDeriv(x) / V;
  const GenericDeriv<N> tau = reducingTemperatureDeriv(x) / T;
  return amount * helmholtzResidual(delta, tau, x);
}

#define VELTA_GERG_INSTANTIATE(N)                                                                  \
  template GenericDeriv<N> reducingDensityDeriv(const Fractions<N> &);                             \
  template GenericDeriv<N> reducingTemperatureDeriv(const Fractions<N> &);                         \
  template GenericDeriv<N> coshDeriv(const GenericDeriv<N> &);                                     \
  template GenericDeriv<N> helmholtzIdealPure(const GenericDeriv<N> &, const GenericDeriv<N> &,    \
                                              const Gerg2004Pure &);                               \
  template GenericDeriv<N> helmholtzIdeal(const GenericDeriv<N> &, const GenericDeriv<N> &,        \
                                          const Fractions<N> &);                                   \
  template GenericDeriv<N> helmholtzIdealTotal(const GenericDeriv<N> &, const GenericDeriv<N> &,   \
                                               const Fractions<N> &);                              \
  template GenericDeriv<N> polynomialTerms(std::span<const Gerg2004PolTerm>,                       \
                                           const GenericDeriv<N> &, const GenericDeriv<N> &);      \
  template GenericDeriv<N> exponentialTerms(std::span<const Gerg2004ExpTerm>,                      \
                                            const GenericDeriv<N> &, const GenericDeriv<N> &);     \
  template GenericDeriv<N> departureExponentialTerms(std::span<const Gerg2004DepartureExpTerm>,    \
                                                     const GenericDeriv<N> &,                      \
                                                     const GenericDeriv<N> &);                     \
  template GenericDeriv<N> helmholtzResidual(const GenericDeriv<N> &, const GenericDeriv<N> &,     \
                                             const Fractions<N> &);                                \
  template GenericDeriv<N> helmholtzResidualTotal(const GenericDeriv<N> &,                         \
                                                  const GenericDeriv<N> &, const Fractions<N> &);

VELTA_GERG_INSTANTIATE(double)
VELTA_GERG_INSTANTIATE(Active)

} // namespace Phase::Gerg2004Helmholtz
