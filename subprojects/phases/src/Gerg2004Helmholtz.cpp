#include "velta/phases/Gerg2004Helmholtz.h"

#include <utility>

namespace Phase::Gerg2004Helmholtz {
namespace {

const Gerg2004Parameters &parameters() { return gerg2004Parameters(); }

template <class N> using Plain = std::array<N, gerg2004Components>;

// A reducing sum with its partial factors in each fraction.
template <class N> struct ReducingSum {
  N value = 0.0;
  Plain<N> byFraction{};

  // Adds C xi xj s/q (s = xi + xj, q = beta^2 xi + xj) to the value and
  // its partial factors to byI and byJ. The arithmetic works in place on
  // scratch numbers: assigning to a number copies only the current
  // directions, building one copies them all.
  void addPair(const N &xi, const N &xj, double C, double betaSquared, N &byI, N &byJ) {
    q = xi;
    q *= betaSquared;
    q += xj;
    mixing = xi;
    mixing += xj;
    mixing /= q;
    share = xi;
    share *= xj;
    share *= C;
    part = share;
    part *= mixing;
    value += part;
    share /= q; // C xi xj / q
    shareMixing = share;
    shareMixing *= mixing;
    part = xj;
    part *= C;
    part *= mixing;
    part += share;
    byI += part;
    part = shareMixing;
    part *= betaSquared;
    byI -= part;
    part = xi;
    part *= C;
    part *= mixing;
    part += share;
    part -= shareMixing;
    byJ += part;
  }

private:
  N q = 0.0, mixing = 0.0, share = 0.0, shareMixing = 0.0, part = 0.0;
};

// One reducing formula for both reducing functions:
//   sum_i x_i^2 a_i + sum_{i<j} C x_i x_j (x_i + x_j) / (beta^2 x_i + x_j),
// C = 2 beta gamma a_ij, with d/dx_i and d/dx_j of each pair term
//   C x_j s/q + C x_i x_j/q - C x_i x_j s beta^2/q^2 and
//   C x_i s/q + C x_i x_j/q - C x_i x_j s/q^2  (s = x_i + x_j, q = beta^2 x_i + x_j).
template <class N, class Pure, class Pair>
ReducingSum<N> reducingSum(const Plain<N> &x, Pure pureValue, Pair pairValue) {
  const Gerg2004Parameters &p = parameters();
  ReducingSum<N> sum;
  for (int i = 0; i < gerg2004Components; ++i)
    if (plainValue(x[i]) > 0) {
      const double a = pureValue(p.pure[i]);
      sum.value += x[i] * x[i] * a;
      sum.byFraction[i] += x[i] * (2 * a);
    }
  for (int i = 0; i < gerg2004Components; ++i) {
    if (!(plainValue(x[i]) > 0))
      continue;
    for (int j = i + 1; j < gerg2004Components; ++j) {
      if (!(plainValue(x[j]) > 0))
        continue;
      const int pair = gerg2004PairIndex(i, j);
      const auto [beta, gamma, a] = pairValue(p.reducing[pair], pair);
      const double C = 2 * beta * gamma * a, betaSquared = beta * beta;
      sum.addPair(x[i], x[j], C, betaSquared, sum.byFraction[i], sum.byFraction[j]);
    }
  }
  return sum;
}

template <class N> ReducingSum<N> densitySum(const Plain<N> &x) {
  const Gerg2004Parameters &p = parameters();
  return reducingSum(
      x, [](const Gerg2004Pure &c) { return 1 / c.rhoc; },
      [&p](const Gerg2004Reducing &r, int pair) {
        return std::array<double, 3>{r.betaV, r.gammaV, p.rhocPair[pair] / 8};
      });
}

template <class N> ReducingSum<N> temperatureSum(const Plain<N> &x) {
  const Gerg2004Parameters &p = parameters();
  return reducingSum(
      x, [](const Gerg2004Pure &c) { return c.Tc; },
      [&p](const Gerg2004Reducing &r, int pair) {
        return std::array<double, 3>{r.betaT, r.gammaT, p.TcPair[pair]};
      });
}

template <class N> Plain<N> valuesOf(const Fractions<N> &x) {
  Plain<N> values;
  for (int i = 0; i < gerg2004Components; ++i)
    values[i] = x[i].value();
  return values;
}

// Adds to r's entries the partial factors in the fractions times their entries.
template <class N>
void addFractionEntries(GenericDeriv<N> &r, const Plain<N> &byFraction, const Fractions<N> &x) {
  for (int i = 0; i < gerg2004Components; ++i)
    if (plainValue(x[i]) > 0)
      r.addScaled(byFraction[i], x[i]);
}

// The sum as a record: entry k is the sum over i of d(sum)/dx_i times entry k of x_i.
template <class N> GenericDeriv<N> record(const ReducingSum<N> &sum, const Fractions<N> &x) {
  GenericDeriv<N> r(sum.value);
  addFractionEntries(r, sum.byFraction, x);
  return r;
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

// base^p with its partial factor (the power rule of the gradient records).
template <class N> struct Power {
  Power(const N &base, double p) : value(powerWithFactor(base, p, factor)) {}
  N factor = 0.0;
  N value;
};

// A function of delta and tau kept as its value and its two partial
// factors. Sums of terms are built on these scalars and turned into a
// record once, so the 20 gradient entries are formed once per sum rather
// than once per arithmetic step of every term.
template <class N> struct TermSum {
  N value = 0.0, byDelta = 0.0, byTau = 0.0;

  // n delta^d tau^t. The arithmetic works in place on two scratch numbers:
  // assigning to a number copies only the current directions, building one
  // copies them all.
  void add(double n, const Power<N> &d, const Power<N> &t) {
    weight = t.value;
    weight *= n;
    part = weight;
    part *= d.value;
    value += part;
    part = weight;
    part *= d.factor;
    byDelta += part;
    part = t.factor;
    part *= n;
    part *= d.value;
    byTau += part;
  }
  // n delta^d tau^t g, where g's delta derivative is g times slope.
  void add(double n, const Power<N> &d, const Power<N> &t, const N &g, const N &slope) {
    weight = t.value;
    weight *= n;
    weight *= g;
    part = weight;
    part *= d.value;
    value += part;
    part = d.value;
    part *= slope;
    part += d.factor;
    part *= weight;
    byDelta += part;
    part = t.factor;
    part *= n;
    part *= g;
    part *= d.value;
    byTau += part;
  }
  // this += w * other, in value and both factors.
  void addWeighted(const N &w, const TermSum &other) {
    part = other.value;
    part *= w;
    value += part;
    part = other.byDelta;
    part *= w;
    byDelta += part;
    part = other.byTau;
    part *= w;
    byTau += part;
  }
  GenericDeriv<N> record(const GenericDeriv<N> &delta, const GenericDeriv<N> &tau) const {
    return GenericDeriv<N>::chain(value, byDelta, delta, byTau, tau);
  }

private:
  N weight = 0.0, part = 0.0;
};

template <class N>
TermSum<N> polynomialSum(std::span<const Gerg2004PolTerm> terms, const N &delta, const N &tau) {
  TermSum<N> sum;
  for (const Gerg2004PolTerm &term : terms)
    sum.add(term.n, Power<N>(delta, term.d), Power<N>(tau, term.t));
  return sum;
}

template <class N>
TermSum<N> exponentialSum(std::span<const Gerg2004ExpTerm> terms, const N &delta, const N &tau) {
  using std::exp;
  TermSum<N> sum;
  for (const Gerg2004ExpTerm &term : terms) {
    const Power<N> c(delta, term.c);
    // exp(-delta^c), whose delta derivative is exp(-delta^c) times -c delta^(c-1).
    sum.add(term.n, Power<N>(delta, term.d), Power<N>(tau, term.t), exp(-c.value), -c.factor);
  }
  return sum;
}

template <class N>
TermSum<N> departureSum(std::span<const Gerg2004DepartureExpTerm> terms, const N &delta,
                        const N &tau) {
  using std::exp;
  TermSum<N> sum;
  for (const Gerg2004DepartureExpTerm &term : terms) {
    const N shifted = delta - term.epsilon;
    const N exponent = shifted * shifted * -term.eta - (delta - term.gamma) * term.beta;
    sum.add(term.n, Power<N>(delta, term.d), Power<N>(tau, term.t), exp(exponent),
            shifted * (-2 * term.eta) - term.beta);
  }
  return sum;
}

// alphar_i of a pure fluid.
template <class N> TermSum<N> pureResidual(const Gerg2004Pure &c, const N &delta, const N &tau) {
  TermSum<N> sum = polynomialSum<N>(c.pol, delta, tau);
  sum.addWeighted(N(1.0), exponentialSum<N>(c.exp, delta, tau));
  return sum;
}

// cosh x as (exp x + exp(-x)) / 2 with the factor (exp x - exp(-x)) / 2.
template <class N> N coshWithFactor(const N &x, N &factor) {
  using std::exp;
  const N up = exp(x);
  const N down = exp(-x);
  factor = (up - down) / 2.0;
  return (up + down) / 2.0;
}

// n ln|f(theta tau)| for f = sinh or cosh, added to the bracket, and its tau
// derivative n theta f'/f added to the slope.
template <class N>
void addLogTerm(N &bracket, N &slope, double n, double theta, const N &tau, bool isSinh) {
  using std::cosh;
  using std::fabs;
  using std::log;
  using std::sinh;
  const N x = tau * theta;
  N f = 0.0, factor = 0.0;
  if (isSinh) {
    f = sinh(x);
    factor = cosh(x);
  } else {
    f = coshWithFactor(x, factor);
  }
  bracket += log(fabs(f)) * n;
  slope += factor / f * (n * theta);
}

// alpha0_i = ln delta_i + (R*/R) B(tau_i) with its factors in delta_i and tau_i.
template <class N> TermSum<N> idealPure(const Gerg2004Pure &c, const N &delta, const N &tau) {
  using std::log;
  const std::array<double, 7> &n = c.nIdeal;
  const std::array<double, 4> &theta = c.thetaIdeal;
  N bracket = tau * n[1] + n[0];
  bracket += log(tau) * n[2];
  N slope = 1.0 / tau * n[2] + n[1];
  if (theta[0] != 0)
    addLogTerm(bracket, slope, n[3], theta[0], tau, true);
  if (theta[2] != 0)
    addLogTerm(bracket, slope, n[5], theta[2], tau, true);
  if (theta[1] != 0)
    addLogTerm(bracket, slope, -n[4], theta[1], tau, false);
  if (theta[3] != 0)
    addLogTerm(bracket, slope, -n[6], theta[3], tau, false);
  // R*/R: the exact quotient on the value, the rounded ratio on the factor.
  TermSum<N> alpha;
  alpha.value = bracket * idealFitGasConstant / equationGasConstant + log(delta);
  alpha.byDelta = 1.0 / delta;
  alpha.byTau = slope * idealFitRatio;
  return alpha;
}

} // namespace

Active reducingDensity(Vector x) { return 1.0 / densitySum(firstFractions(x)).value; }

Active reducingTemperature(Vector x) { return temperatureSum(firstFractions(x)).value; }

template <class N> GenericDeriv<N> reducingDensityDeriv(const Fractions<N> &x) {
  return 1.0 / record(densitySum(valuesOf(x)), x);
}

template <class N> GenericDeriv<N> reducingTemperatureDeriv(const Fractions<N> &x) {
  return record(temperatureSum(valuesOf(x)), x);
}

template <class N> GenericDeriv<N> coshDeriv(const GenericDeriv<N> &x) {
  N factor = 0.0;
  N value = coshWithFactor(x.value(), factor);
  return GenericDeriv<N>::chain(std::move(value), factor, x);
}

template <class N>
GenericDeriv<N> helmholtzIdealPure(const GenericDeriv<N> &delta, const GenericDeriv<N> &tau,
                                   const Gerg2004Pure &component) {
  return idealPure(component, delta.value(), tau.value()).record(delta, tau);
}

// sum_i x_i (alpha0_i(rho / rhoc_i, Tc_i / T) + ln x_i), with the factors
//   d/drho = sum_i x_i (dalpha0_i/ddelta_i) / rhoc_i,
//   d/dT = -sum_i x_i (dalpha0_i/dtau_i) tau_i / T,  d/dx_i = alpha0_i + ln x_i + 1.
template <class N>
GenericDeriv<N> helmholtzIdeal(const GenericDeriv<N> &rho, const GenericDeriv<N> &T,
                               const Fractions<N> &x) {
  using std::log;
  const Gerg2004Parameters &p = parameters();
  N value = 0.0, byRho = 0.0, byT = 0.0;
  Plain<N> byFraction{};
  for (int i = 0; i < gerg2004Components; ++i) {
    if (!(plainValue(x[i]) > 0))
      continue;
    const Gerg2004Pure &c = p.pure[i];
    const N &xi = x[i].value();
    const N tau = c.Tc / T.value();
    const TermSum<N> pure = idealPure(c, rho.value() / c.rhoc, tau);
    const N alpha = pure.value + log(xi);
    value += xi * alpha;
    byRho += xi * pure.byDelta / c.rhoc;
    byT -= xi * pure.byTau * tau / T.value();
    byFraction[i] = alpha + 1.0;
  }
  GenericDeriv<N> r(std::move(value));
  r.addScaled(byRho, rho);
  r.addScaled(byT, T);
  addFractionEntries(r, byFraction, x);
  return r;
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
  return polynomialSum(terms, delta.value(), tau.value()).record(delta, tau);
}

template <class N>
GenericDeriv<N> exponentialTerms(std::span<const Gerg2004ExpTerm> terms,
                                 const GenericDeriv<N> &delta, const GenericDeriv<N> &tau) {
  return exponentialSum(terms, delta.value(), tau.value()).record(delta, tau);
}

template <class N>
GenericDeriv<N> departureExponentialTerms(std::span<const Gerg2004DepartureExpTerm> terms,
                                          const GenericDeriv<N> &delta,
                                          const GenericDeriv<N> &tau) {
  return departureSum(terms, delta.value(), tau.value()).record(delta, tau);
}

// sum_i x_i alphar_i + sum_{i<j} x_i x_j F_ij alphar_ij, with the factors in
// delta and tau summed alike and d/dx_i = alphar_i + sum_j x_j F_ij alphar_ij.
template <class N>
GenericDeriv<N> helmholtzResidual(const GenericDeriv<N> &delta, const GenericDeriv<N> &tau,
                                  const Fractions<N> &x) {
  const Gerg2004Parameters &p = parameters();
  const N &d = delta.value();
  const N &t = tau.value();
  TermSum<N> alpha;
  Plain<N> byFraction{};
  for (int i = 0; i < gerg2004Components; ++i) {
    if (!(plainValue(x[i]) > 0))
      continue;
    const TermSum<N> pure = pureResidual(p.pure[i], d, t);
    alpha.addWeighted(x[i].value(), pure);
    byFraction[i] += pure.value;
  }
  for (int i = 0; i < gerg2004Components; ++i) {
    if (!(plainValue(x[i]) > 0))
      continue;
    for (int j = i + 1; j < gerg2004Components; ++j) {
      const Gerg2004Departure &dep = p.departure[gerg2004PairIndex(i, j)];
      if (!(plainValue(x[j]) > 0) || (dep.Kpol == 0 && dep.Kexp == 0))
        continue;
      TermSum<N> pair;
      if (dep.Kpol != 0)
        pair.addWeighted(N(1.0), polynomialSum<N>(dep.pol, d, t));
      if (dep.Kexp != 0)
        pair.addWeighted(N(1.0), departureSum<N>(dep.exp, d, t));
      alpha.addWeighted(x[i].value() * x[j].value() * dep.F, pair);
      byFraction[i] += x[j].value() * dep.F * pair.value;
      byFraction[j] += x[i].value() * dep.F * pair.value;
    }
  }
  GenericDeriv<N> r = alpha.record(delta, tau);
  addFractionEntries(r, byFraction, x);
  return r;
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
