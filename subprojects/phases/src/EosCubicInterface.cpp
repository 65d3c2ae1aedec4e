#include "velta/phases/EosCubicInterface.h"

#include "velta/components/ComponentGeneric.h"
#include "velta/components/ListComponents.h"
#include "velta/core/ValueHelpers.h"
#include "velta/utility/Error.h"
#include "velta/utility/SharedEnumerations.h"
#include "velta/value/Constants.h"
#include "velta/value/DerivativeContext.h"

#include <algorithm>

namespace Phase::EosCubic {

using Velta::Utility::PhaseType;
using Velta::Utility::phaseTypeName;

namespace {
std::size_t at(int i) { return static_cast<std::size_t>(i); }
bool absent(const Value &xi) { return xi.value() == 0.0; }
const UnitArray &kelvinUnits() {
  static const UnitArray units = Value(0.0, "K").units();
  return units;
}
const UnitArray &pascalUnits() {
  static const UnitArray units = Value(0.0, "Pa").units();
  return units;
}
} // namespace

Interface::Interface(double OmegaA, double OmegaB, double betac)
    : unitDensity_(1.0, "kg/m3"), sqrtai_(at(NCOMPONENTS)), dai_(at(NCOMPONENTS)),
      d2ai_(at(NCOMPONENTS)), amixi_(at(NCOMPONENTS)), damixi_(at(NCOMPONENTS)),
      d2amixi_(at(NCOMPONENTS)), A_(0.0, "Pa*m6/kmol2"), dAdT_(0.0, "Pa*m6/kmol2/K"),
      d2AdT2_(0.0, "Pa*m6/kmol2/K2"), OmegaA_(OmegaA), OmegaB_(OmegaB), B_(0.0, "m3/kmol"),
      bi_(at(NCOMPONENTS)) {
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

bool Interface::traced() const { return Velta::Utility::logEnabled(verbosity(), 1); }

double Interface::temperatureSlope(double) { return 0.0; }

void Interface::refreshPureParameters() {
  const std::size_t n = at(NCOMPONENTS);
  if (pure_.size() != n) {
    pure_.assign(n, PureParameters{});
    pureKnown_.assign(n, 0);
  }
  for (std::size_t k = 0; k < n; ++k) {
    const ComponentGeneric &component = *components[static_cast<int>(k)];
    const double Tc = component.Tc().value(), Pc = component.Pc().value();
    const double omega = component.omega().value();
    PureParameters &p = pure_[k];
    if (pureKnown_[k] && p.Tc == Tc && p.Pc == Pc && p.omega == omega)
      continue;
    p = PureParameters{Tc, Pc, omega, temperatureSlope(omega), b(static_cast<int>(k)).value()};
    pureKnown_[k] = 1;
  }
}

void Interface::valuesFromTerms() {
  if (!current_ || valuesCurrent_)
    return;
  const std::size_t n = std::min(pure_.size(), sqrtai_.size());
  for (std::size_t k = 0; k < n; ++k) {
    current_->component(static_cast<int>(k), sqrtai_[k], dai_[k], d2ai_[k], amixi_[k], damixi_[k],
                        d2amixi_[k]);
    bi_[k] = Value(pure_[k].b, B_.units());
  }
  valuesCurrent_ = true;
}

void Interface::precompute(const Value &T, Vector x) {
  if (traced()) {
    precomputeValues(T, x);
    return;
  }
  static const char *const name = "Phase::EosCubic::Interface::precompute";
  VELTA_TRACE_BEGIN
  valueDetail::requireEqualUnits(name, T.units(), kelvinUnits());
  for (int i = 0; i < NCOMPONENTS; ++i)
    valueDetail::requireEqualUnits(name, x[i].units(), dimensionless);
  refreshPureParameters();
  const int kind = numdir <= 0 ? 0 : Active::sparseMode() ? 6 : numdir;
  std::unique_ptr<CubicTerms> &terms = terms_[at(kind)];
  if (!terms)
    terms = makeCubicTerms();
  terms->precompute(equation(), pure_, T, x);
  terms->mixture(A_, dAdT_, d2AdT2_, B_);
  current_ = terms.get();
  valuesCurrent_ = false;
  VELTA_TRACE_END(name)
}

void Interface::precomputeValues(const Value &T, Vector x) {
  static const char *const name = "Phase::EosCubic::Interface::precompute";
  VELTA_LOG(verbosity(), 1, name, "Entered with T = " << T);
  VELTA_TRACE_BEGIN
  current_ = nullptr;
  for (int i = 0; i < NCOMPONENTS; ++i) {
    const Value ai = a(i, T, dai_[at(i)], d2ai_[at(i)]);
    sqrtai_[at(i)] = sqrt(ai * unitDensity_);
  }
  if (NCOMPONENTS > 0)
    mixtureSums(x);
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

void Interface::mixtureSums(Vector x) {
  // Zeros in the units of each sum, taken from the first component.
  const Value &s0 = sqrtai_[0];
  const Value slope0 = dai_[0] / s0;
  sumRoot_ = Value(0.0, s0.units());
  sumSlope_ = Value(0.0, slope0.units());
  sumCurvature_ = Value(0.0, (d2ai_[0] / s0).units());
  sumSlopeSquared_ = Value(0.0, (slope0 * slope0 / s0).units());
  for (int i = 0; i < NCOMPONENTS; ++i) {
    const Value &xi = x[i];
    if (absent(xi))
      continue;
    const Value &si = sqrtai_[at(i)];
    const Value slope = dai_[at(i)] / si;
    const Value xSlope = xi * slope;
    sumRoot_ += xi * si;
    sumSlope_ += xSlope;
    sumCurvature_ += xi * d2ai_[at(i)] / si;
    sumSlopeSquared_ += xSlope * slope / si;
  }
}

Value Interface::Amixi(Vector, int k) {
  static const char *const name = "Phase::EosCubic::Interface::Amixi";
  VELTA_TRACE_BEGIN
  const Value &K = unitDensity_;
  const Value &sk = sqrtai_[at(k)];
  const Value &dak = dai_[at(k)];
  const Value &d2ak = d2ai_[at(k)];
  // The T derivatives of sum_i x_i s_k s_i / K, with ds/dT = K a'/(2 s).
  const Value half = sk / 2.0;
  const Value slopeOverRoot = dak / (2.0 * sk);
  damixi_[at(k)] = slopeOverRoot * sumRoot_ + half * sumSlope_;
  d2amixi_[at(k)] = half * sumCurvature_ - K * half * sumSlopeSquared_ / 2.0 +
                    K * slopeOverRoot * sumSlope_ +
                    (d2ak / (2.0 * sk) - K * slopeOverRoot * slopeOverRoot / sk) * sumRoot_;
  return sk * sumRoot_ / K;
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
    VELTA_LOG(verbosity(), 2, name,
              "x[" << i << "] " << xi << " Amixi[" << i << "] " << amixi_[at(i)]);
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
  // A new covolume no longer belongs to the numbers of the last precompute:
  // the operations go on with the values, as after a precompute on values.
  valuesFromTerms();
  current_ = nullptr;
  B_ = Value(0.0, "m3/kmol");
  for (int i = 0; i < NCOMPONENTS; ++i) {
    const Value &xi = x[i];
    const Value &bi = bi_[at(i)] = b(i);
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
  // An empty phase starts as the equimolar mixture instead of 0 / 0.
  std::vector<Value> equimolar;
  bool empty = true;
  for (int i = 0; i < NCOMPONENTS && empty; ++i)
    empty = !(x[i].value() > 0.0);
  if (empty && NCOMPONENTS > 0) {
    equimolar.assign(at(NCOMPONENTS), Value(1.0 / NCOMPONENTS));
    x = Vector(&equimolar);
  }
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
  return -deosdv(T, B_ / (beta * sumx), A_ / (sumx * sumx), B_ / sumx) * B_ / (sumx * beta * beta);
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

void Interface::helmholtziCommon(const Value &n, const Value &T, const Value &beta) {
  const Value V = B_ / beta;
  integral_ = integral(V, B_);
  repulsion_ = log(V / (V - B_));
  // dI/dB = -(I + V dI/dV) / B by the homogeneity of I.
  covolumeFactor_ = n / (V - B_) + A_ * (integral_ + V * dintegraldv(V, B_)) / (B_ * T);
  attractionFactor_ = 2.0 * integral_ / T;
}

Value Interface::helmholtzi(const Value &n, const Value &T, const Value &beta, int i) {
  static const char *const name = "Phase::EosCubic::Interface::helmholtzi";
  VELTA_TRACE_BEGIN
  valuesFromTerms();
  helmholtziCommon(n, T, beta);
  return repulsion_ + bi_[at(i)] * covolumeFactor_ - attractionFactor_ * amixi_[at(i)];
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

void Interface::calculatePressureEos_(const Value &T, Vector x, const Value &sumx, int phaseType,
                                      Value &P) {
  if (traced()) {
    EosInterface::calculatePressureEos_(T, x, sumx, phaseType, P);
    return;
  }
  static const char *const name = "Phase::EosInterface::calculatePressureEos_";
  VELTA_TRACE_BEGIN
  precompute(T, x);
  if (!current_) {
    pressureAtBeta(T, sumx, phaseType, P);
    return;
  }
  valueDetail::requireEqualUnits(name, T.units(), kelvinUnits());
  valueDetail::requireEqualUnits(name, beta.units(), dimensionless);
  valueDetail::requireEqualUnits(name, sumx.units(), dimensionless);
  current_->pressure(T, beta, sumx, phaseType, betac(sumx), betamin_, betamax_,
                     PressureResults{Pcalc_, P, Pcm, dpdbeta});
  VELTA_TRACE_END(name)
}

void Interface::calculateResiduals(const Value &P, const Value &T, const Value &sumx) {
  if (traced() || !current_) {
    EosInterface::calculateResiduals(P, T, sumx);
    return;
  }
  static const char *const name = "Phase::EosInterface::calculateResiduals";
  VELTA_TRACE_BEGIN
  valueDetail::requireEqualUnits(name, P.units(), pascalUnits());
  valueDetail::requireEqualUnits(name, T.units(), kelvinUnits());
  valueDetail::requireEqualUnits(name, beta.units(), dimensionless);
  valueDetail::requireEqualUnits(name, sumx.units(), dimensionless);
  current_->residuals(P, T, beta, sumx, sResidual_, hResidual_, cpResidual_);
  VELTA_TRACE_END(name)
}

void Interface::preparefugacity_eos(const Value &P, const Value &T, Vector, const Value &sumx,
                                    int phaseType, std::vector<Value> &lnphi) {
  static const char *const name = "Phase::EosCubic::Interface::preparefugacity_eos";
  VELTA_LOG(verbosity(), 1, name, "Entered for " << phaseTypeName(phaseType));
  VELTA_LOG(verbosity(), 2, name, "Pres = " << P << " Pcalc_ = " << Pcalc_);
  VELTA_TRACE_BEGIN
  if (current_ && !traced()) {
    valueDetail::requireEqualUnits(name, P.units(), pascalUnits());
    valueDetail::requireEqualUnits(name, T.units(), kelvinUnits());
    valueDetail::requireEqualUnits(name, beta.units(), dimensionless);
    valueDetail::requireEqualUnits(name, sumx.units(), dimensionless);
    current_->lnphi(P, Pcalc_, T, beta, sumx, phaseType, lnphi);
    return;
  }
  valuesFromTerms();
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
  // helmholtzi for every component, its common part formed once.
  helmholtziCommon(sumx, T, beta);
  const Value common = lnphiCommon_ + repulsion_;
  for (int i = 0; i < NCOMPONENTS; ++i)
    lnphi[at(i)] = common + bi_[at(i)] * covolumeFactor_ - attractionFactor_ * amixi_[at(i)];
  VELTA_TRACE_END(name)
}

} // namespace Phase::EosCubic
