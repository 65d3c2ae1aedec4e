#include "velta/phases/ActivityNrtl.h"

#include "velta/components/ComponentGeneric.h"
#include "velta/components/ListComponents.h"
#include "velta/core/Vector.h"
#include "velta/phases/ActivityParameters.h"
#include "velta/utility/Error.h"
#include "velta/value/Constants.h"

#include <cstddef>

namespace Phase::Activity {

namespace {

std::vector<Active> activeNumbers(int count) {
  return std::vector<Active>(static_cast<std::size_t>(count > 0 ? count : 0));
}

std::size_t at(int i, int j, int n) { return static_cast<std::size_t>(i * n + j); }

} // namespace

Nrtl::Nrtl()
    : Liquid("Phase::Activity::Nrtl", "subprojects/phases/src/ActivityNrtl"),
      tau_(activeNumbers(NCOMPONENTS * NCOMPONENTS)), G_(activeNumbers(NCOMPONENTS * NCOMPONENTS)),
      sumG_(activeNumbers(NCOMPONENTS)), sumGtau_(activeNumbers(NCOMPONENTS)),
      ratio_(activeNumbers(NCOMPONENTS)), dtau_(activeNumbers(NCOMPONENTS * NCOMPONENTS)),
      d2tau_(activeNumbers(NCOMPONENTS * NCOMPONENTS)),
      dG_(activeNumbers(NCOMPONENTS * NCOMPONENTS)), d2G_(activeNumbers(NCOMPONENTS * NCOMPONENTS)),
      dsumG_(activeNumbers(NCOMPONENTS)), d2sumG_(activeNumbers(NCOMPONENTS)),
      dsumGtau_(activeNumbers(NCOMPONENTS)), d2sumGtau_(activeNumbers(NCOMPONENTS)) {}

Nrtl::~Nrtl() {
  VELTA_LOG(verbosity(), 1, "Phase::Activity::Nrtl::~Nrtl", "Entered");
  VELTA_LOG(verbosity(), 2, "Phase::Activity::Nrtl::~Nrtl", "Done");
}

void Nrtl::setTemperature(const Value &T) {
  static constexpr const char *name = "Phase::Activity::Nrtl::setTemperature";
  VELTA_TRACE_BEGIN
  VELTA_LOG(verbosity(), 1, name, "Entered");
  setT(T);
  requireComponentCount(name);
  const int n = NCOMPONENTS;
  Active a, da, d2a;
  for (int i = 0; i < n; ++i) {
    for (int j = 0; j < n; ++j) {
      const std::size_t ij = at(i, j, n);
      if (i == j) {
        tau_[ij] = 0.0;
        dtau_[ij] = 0.0;
        d2tau_[ij] = 0.0;
        G_[ij] = 1.0;
        dG_[ij] = 0.0;
        d2G_[ij] = 0.0;
        continue;
      }
      tau_[ij] = computeTau(i, j, dtau_[ij], d2tau_[ij]);
      a = alpha(i, j, da, d2a);
      G_[ij] = exp(-a * tau_[ij]);
      VELTA_LOG(verbosity(), 1, name, "G(" << i << ", " << j << ") = " << G_[ij].value());
      // G = exp(-u) with u = alpha tau: G' = -G u', G'' = G (u'^2 - u'').
      const Active u1 = da * tau_[ij] + a * dtau_[ij];
      const Active u2 = d2a * tau_[ij] + 2.0 * da * dtau_[ij] + a * d2tau_[ij];
      dG_[ij] = -G_[ij] * u1;
      d2G_[ij] = G_[ij] * (u1 * u1 - u2);
    }
  }
  VELTA_TRACE_END(name)
}

void Nrtl::calculateExcess(Vector x) {
  static constexpr const char *name = "Phase::Activity::Nrtl::calculateExcess";
  VELTA_TRACE_BEGIN
  VELTA_LOG(verbosity(), 1, name, "Entered");
  requireComponentCount(name);
  const int n = NCOMPONENTS;
  const std::vector<Active> xs = activeFractions(x, n, name);
  gE_ = 0.0;
  dgEdT_ = 0.0;
  d2gEdT2_ = 0.0;
  for (int i = 0; i < n; ++i) {
    Active &S = sumG_[static_cast<std::size_t>(i)];
    Active &S1 = dsumG_[static_cast<std::size_t>(i)];
    Active &S2 = d2sumG_[static_cast<std::size_t>(i)];
    Active &C = sumGtau_[static_cast<std::size_t>(i)];
    Active &C1 = dsumGtau_[static_cast<std::size_t>(i)];
    Active &C2 = d2sumGtau_[static_cast<std::size_t>(i)];
    S = 0.0;
    S1 = 0.0;
    S2 = 0.0;
    C = 0.0;
    C1 = 0.0;
    C2 = 0.0;
    for (int j = 0; j < n; ++j) {
      const std::size_t ji = at(j, i, n);
      const Active &xj = xs[static_cast<std::size_t>(j)];
      const Active g = xj * G_[ji];
      const Active g1 = xj * dG_[ji];
      const Active g2 = xj * d2G_[ji];
      S += g;
      S1 += g1;
      S2 += g2;
      C += g * tau_[ji];
      C1 += g1 * tau_[ji] + g * dtau_[ji];
      C2 += g2 * tau_[ji] + 2.0 * g1 * dtau_[ji] + g * d2tau_[ji];
    }
    const Active &xi = xs[static_cast<std::size_t>(i)];
    ratio_[static_cast<std::size_t>(i)] = C / S;
    gE_ += xi * C / S;
    dgEdT_ += xi * (C1 / S - S1 * C / (S * S));
    d2gEdT2_ +=
        xi * (C2 / S - (2.0 * S1 * C1 + S2 * C) / (S * S) + 2.0 * S1 * S1 * C / (S * S * S));
  }
  excessFromGibbs();
  VELTA_LOG(verbosity(), 2, name,
            "T() = " << T_.value() << " sE_ = " << sE_.value() << " hE_ = " << hE_.value()
                     << " gE_ = " << gE_.value());
  for (int i = 0; i < n; ++i) {
    Active &gammai = gamma_[static_cast<std::size_t>(i)];
    if (components[i]->isHenry()) {
      gammai = 1.0;
    } else {
      Active lngamma = ratio_[static_cast<std::size_t>(i)];
      for (int j = 0; j < n; ++j) {
        const std::size_t ij = at(i, j, n);
        const std::size_t jj = static_cast<std::size_t>(j);
        lngamma += (tau_[ij] - ratio_[jj]) * G_[ij] * xs[jj] / sumG_[jj];
      }
      gammai = exp(lngamma);
    }
    VELTA_LOG(verbosity(), 3, name, "gamma[" << i << "] = " << gammai.value());
  }
  VELTA_LOG(verbosity(), 2, name, "Done");
  VELTA_TRACE_END(name)
}

Nrtl1::~Nrtl1() = default;

Active Nrtl1::alpha(int i, int j, Active &dalpha, Active &d2alpha) {
  ParametersNrtl1::require("Phase::Activity::Nrtl1::alpha");
  dalpha = 0.0;
  d2alpha = 0.0;
  return Active(ParametersNrtl1::alpha(i, j));
}

Active Nrtl1::computeTau(int i, int j, Active &dtau, Active &d2tau) {
  static constexpr const char *name = "Phase::Activity::Nrtl1::computeTau";
  ParametersNrtl1::require(name);
  const double b = ParametersNrtl1::b(i, j);
  Active tau = b / T_;
  VELTA_LOG(verbosity(), 1, name, "tau(" << i << ", " << j << ") = " << tau.value());
  const Active T2 = T_ * T_;
  dtau = -b / T2;
  d2tau = 2.0 * b / (T2 * T_);
  return tau;
}

Nrtl2::~Nrtl2() = default;

Active Nrtl2::alpha(int i, int j, Active &dalpha, Active &d2alpha) {
  ParametersNrtl2::require("Phase::Activity::Nrtl2::alpha");
  const double c = ParametersNrtl2::c(i, j), d = ParametersNrtl2::d(i, j);
  dalpha = d;
  d2alpha = 0.0;
  return c + d * (T_ - 273.15);
}

Active Nrtl2::computeTau(int i, int j, Active &dtau, Active &d2tau) {
  ParametersNrtl2::require("Phase::Activity::Nrtl2::computeTau");
  const double a = ParametersNrtl2::a(i, j), b = ParametersNrtl2::b(i, j);
  const double e = ParametersNrtl2::e(i, j), f = ParametersNrtl2::f(i, j);
  const Active T2 = T_ * T_;
  dtau = -b / T2 + e / T_ + f;
  d2tau = 2.0 * b / (T2 * T_) - e / T2;
  return a + b / T_ + e * log(T_) + f * T_;
}

} // namespace Phase::Activity
