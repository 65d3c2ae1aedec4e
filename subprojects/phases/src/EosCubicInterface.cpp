#include "velta/phases/EosCubicInterface.h"

#include "velta/components/ComponentGeneric.h"
#include "velta/components/ListComponents.h"
#include "velta/core/ValueHelpers.h"
#include "velta/utility/Error.h"
#include "velta/utility/SharedEnumerations.h"
#include "velta/value/Constants.h"

namespace Phase::EosCubic {

using Velta::Utility::PhaseType;
using Velta::Utility::phaseTypeName;

namespace {
std::size_t at(int i) { return static_cast<std::size_t>(i); }
bool absent(const Value &xi) { return xi.value() == 0.0; }
} // namespace

Interface::Interface(double OmegaA, double OmegaB, double betac)
    : unitDensity_(1.0, "kg/m3"), sqrtai_(at(NCOMPONENTS)), dai_(at(NCOMPONENTS)),
      d2ai_(at(NCOMPONENTS)), amixi_(at(NCOMPONENTS)), damixi_(at(NCOMPONENTS)),
      d2amixi_(at(NCOMPONENTS)), A_(0.0, "Pa*m6/kmol2"), dAdT_(0.0, "Pa*m6/kmol2/K"),
      d2AdT2_(0.0, "Pa*m6/kmol2/K2"), OmegaA_(OmegaA), OmegaB_(OmegaB), B_(0.0, "m3/kmol") {
  betac_ = betac;
  betamax_ = 1.2 * betac;
  betamin_ = 0.8 * betac;
}

Interface::~Interface() = default;

Value &Interface::betac(const Value &) { return betac_; }

Value Interface::b(int i) {
  return OmegaB_ * gasConstant * components[i]->Tc() / components[i]->Pc();
}

// ---------------------------------------------------------------- mixture

void Interface::precompute(const Value &T, Vector x) {
  static const char *const name = "Phase::EosCubic::Interface::precompute";
  VELTA_LOG(verbosity(), 1, name, "Entered with T = " << T);
  VELTA_TRACE_BEGIN
  for (int i = 0; i < NCOMPONENTS; ++i) {
    const Value ai = a(i, T, dai_[at(i)], d2ai_[at(i)]);
    sqrtai_[at(i)] = sqrt(ai * unitDensity_);
  }
  for (int k = 0; k < NCOMPONENTS; ++k) {
    amixi_[at(k)] = Amixi(x, k);
    VELTA_LOG(verbosity(), 2, name,
              "sqrtai_[" << k << "] " << sqrtai_[at(k)] << " amixi_[" << k << "] "
                         << amixi_[at(k)]);
  }
  Amix(x);
  Bmix(x);
  VELTA_TRACE_END(name)
}

Value Interface::Amixi(Vector x, int k) {
  static const char *const name = "Phase::EosCubic::Interface::Amixi";
  VELTA_TRACE_BEGIN
  const Value &K = unitDensity_;
  const Value &sk = sqrtai_[at(k)];
  const Value &dak = dai_[at(k)];
  const Value &d2ak = d2ai_[at(k)];
  Value sum(0.0, "Pa*m6/kmol2");
  Value dsum(0.0, "Pa*m6/kmol2/K");
  Value d2sum(0.0, "Pa*m6/kmol2/K2");
  for (int i = 0; i < NCOMPONENTS; ++i) {
    const Value &xi = x[i];
    if (absent(xi))
      continue;
    const Value &si = sqrtai_[at(i)];
    const Value &dai = dai_[at(i)];
    const Value &d2ai = d2ai_[at(i)];
    // x_i sqrt(a_k a_i) and its exact first and second T derivatives.
    sum += xi * (sk * si / K);
    dsum += xi * (si * dak / (2.0 * sk) + sk * dai / (2.0 * si));
    d2sum += xi * (sk * d2ai / (2.0 * si) - K * sk * dai * dai / (4.0 * si * si * si) +
                   K * dak * dai / (2.0 * sk * si) + si * d2ak / (2.0 * sk) -
                   K * si * dak * dak / (4.0 * sk * sk * sk));
  }
  damixi_[at(k)] = dsum;
  d2amixi_[at(k)] = d2sum;
  return sum;
  VELTA_TRACE_END(name)
}

void Interface::Amix(Vector x) {
  static const char *const name = "Phase::EosCubic::Interface::Amix";
  VELTA_LOG(verbosity(), 1, name, "Entered");
  VELTA_TRACE_BEGIN
  A_ = Value(0.0, "Pa*m6/kmol2");
  dAdT_ = Value(0.0, "Pa*m6/kmol2/K");
  d2AdT2_ = Value(0.0, "Pa*m6/kmol2/K2");
  for (int i = 0; i < NCOMPONENTS; ++i) {
    const Value &xi = x[i];
    VELTA_LOG(verbosity(), 2, name, "x[" << i << "] " << xi << " Amixi[" << i << "] " << amixi_[at(i)]);
    if (absent(xi))
      continue;
    A_ += xi * amixi_[at(i)];
    dAdT_ += xi * damixi_[at(i)];
    d2AdT2_ += xi * d2amixi_[at(i)];
  }
  VELTA_TRACE_END(name)
}

void Interface::Bmix(Vector x) {
  static const char *const name = "Phase::EosCubic::Interface::Bmix";
  VELTA_LOG(verbosity(), 1, name, "Entered");
  VELTA_TRACE_BEGIN
  B_ = Value(0.0, "m3/kmol");
  for (int i = 0; i < NCOMPONENTS; ++i) {
    const Value &xi = x[i];
    const Value bi = b(i);
    VELTA_LOG(verbosity(), 2, name, "x[" << i << "] " << xi << " b[" << i << "] " << bi);
    if (!absent(xi))
      B_ += xi * bi;
  }
  VELTA_TRACE_END(name)
}

// ---------------------------------------------------------------- volumetric

void Interface::estimate(const Value &P, const Value &T, Vector x, int phaseType) {
  static const char *const name = "Phase::EosCubic::Interface::estimate";
  VELTA_LOG(verbosity(), 1, name, "Entered");
  VELTA_TRACE_BEGIN
  const Value sumx = x.sum();
  if (phaseType == static_cast<int>(PhaseType::vapor)) {
    precompute(T, x);
    beta = P / (rho_(dimensionlessOne, sumx) * gasConstant * T);
  } else {
    Value meanTc(0.0, "K");
    for (int i = 0; i < NCOMPONENTS; ++i)
      meanTc += x[i] * components[i]->Tc();
    const Value Tr = T * sumx / meanTc;
    beta = 2.0 / (2.0 + Tr);
  }
  VELTA_LOG(verbosity(), 2, name, "Done beta = " << beta);
  VELTA_TRACE_END(name)
}

Value Interface::rho_(const Value &beta, const Value &sumx) {
  static const char *const name = "Phase::EosCubic::Interface::rho_";
  VELTA_LOG(verbosity(), 1, name, "Entered");
  VELTA_TRACE_BEGIN
  Value rho = beta * sumx / B_;
  VELTA_LOG(verbosity(), 2, name,
            "sumx = " << sumx << " beta = " << beta << " B_ = " << B_ << " rho = " << rho);
  return rho;
  VELTA_TRACE_END(name)
}

Value Interface::eos(const Value &T, const Value &beta, const Value &sumx) {
  VELTA_LOG(verbosity(), 1, "Phase::EosCubic::Interface::eos",
            "Entered with sumx = " << sumx << " beta = " << beta << " B_ = " << B_);
  return eos(T, B_ / (beta * sumx), A_ / (sumx * sumx), B_ / sumx);
}

Value Interface::deosdv(const Value &T, const Value &beta, const Value &sumx) {
  return deosdv(T, B_ / (beta * sumx), A_ / (sumx * sumx), B_ / sumx) / sumx;
}

Value Interface::deosdbeta(const Value &T, const Value &beta, const Value &sumx) {
  // dv/dbeta = -B_ / (sumx beta^2).
  return -deosdv(T, B_ / (beta * sumx), A_ / (sumx * sumx), B_ / sumx) * B_ /
         (sumx * beta * beta);
}

Value Interface::deosdT(const Value &T, const Value &beta, const Value &sumx) {
  return deosdT(T, B_ / (beta * sumx), dAdT_ / (sumx * sumx), B_ / sumx);
}

Value Interface::Tcm(const Value &sumx) {
  return A_ * OmegaB_ / (gasConstant * B_ * OmegaA_ * sumx);
}

// ---------------------------------------------------------------- Helmholtz

Value Interface::helmholtz(const Value &n, const Value &T, const Value &beta) {
  static const char *const name = "Phase::EosCubic::Interface::helmholtz";
  VELTA_TRACE_BEGIN
  const Value V = B_ / beta;
  integral_ = integral(V, B_);
  return n * log(V / (V - B_)) - A_ * integral_ / T;
  VELTA_TRACE_END(name)
}

Value Interface::helmholtzi(const Value &n, const Value &T, const Value &beta, int i) {
  static const char *const name = "Phase::EosCubic::Interface::helmholtzi";
  VELTA_TRACE_BEGIN
  const Value V = B_ / beta;
  integral_ = integral(V, B_);
  // dI/dB = -(I + V dI/dV) / B by the homogeneity of I.
  return log(V / (V - B_)) +
         b(i) * (n / (V - B_) + A_ * (integral_ + V * dintegraldv(V, B_)) / (B_ * T)) -
         2.0 * integral_ * amixi_[at(i)] / T;
  VELTA_TRACE_END(name)
}

Value Interface::helmholtzT(const Value &, const Value &T, const Value &) {
  static const char *const name = "Phase::EosCubic::Interface::helmholtzT";
  VELTA_TRACE_BEGIN
  return (A_ / T - dAdT_) * integral_ / T;
  VELTA_TRACE_END(name)
}

Value Interface::helmholtzT2(const Value &, const Value &T, const Value &) {
  static const char *const name = "Phase::EosCubic::Interface::helmholtzT2";
  VELTA_TRACE_BEGIN
  return (2.0 * (dAdT_ - A_ / T) / T - d2AdT2_) * integral_ / T;
  VELTA_TRACE_END(name)
}

void Interface::preparefugacity_eos(const Value &P, const Value &T, Vector, const Value &sumx,
                                    int phaseType, std::vector<Value> &lnphi) {
  static const char *const name = "Phase::EosCubic::Interface::preparefugacity_eos";
  VELTA_LOG(verbosity(), 1, name, "Entered for " << phaseTypeName(phaseType));
  VELTA_LOG(verbosity(), 2, name, "Pres = " << P << " Pcalc_ = " << Pcalc_);
  VELTA_TRACE_BEGIN
  const Value rho = rho_(beta, sumx);
  const Value Z = regularizePositive(P) / (rho * gasConstant * T);
  lnphiCommon_ = -log(Z);
  VELTA_LOG(verbosity(), 2, name, "helmholtzi isIdeal = " << lnphiCommon_);
  if (phaseType == static_cast<int>(PhaseType::liquid)) {
    // The liquid carries the excess of its uncorrected pressure over P.
    Value ratio(dimensionlessOne);
    if (Pcalc_.value() > P.value())
      ratio = regularizePositive(Pcalc_) / regularizePositive(P);
    VELTA_LOG(verbosity(), 2, name, "Pcalc / Pres = " << Pcalc_ / P << " ratio = " << ratio);
    lnphiCommon_ += log(ratio);
  }
  for (int i = 0; i < NCOMPONENTS; ++i)
    lnphi[at(i)] = lnphiCommon_ + helmholtzi(sumx, T, beta, i);
  VELTA_TRACE_END(name)
}

} // namespace Phase::EosCubic
