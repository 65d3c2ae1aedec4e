#include "velta/phases/Ideal.h"

#include "velta/components/ComponentGeneric.h"
#include "velta/components/ListComponents.h"
#include "velta/utility/Error.h"
#include "velta/utility/SharedEnumerations.h"
#include "velta/value/Constants.h"

#include <cmath>

namespace Phase {

using Velta::Utility::PhaseType;
using Velta::Utility::phaseTypeName;

namespace {

// Zeros of the result units, built on first use.
const Value &zeroMolarEnthalpy() {
  static const Value zero(0.0, "J/kmol");
  return zero;
}
const Value &zeroMolarEntropy() {
  static const Value zero(0.0, "J/(kmol*K)");
  return zero;
}
const Value &zeroMolarDensity() {
  static const Value zero(0.0, "kmol/m3");
  return zero;
}
const Value &zeroMolarVolume() {
  static const Value zero(0.0, "m3/kmol");
  return zero;
}

} // namespace

Ideal::Ideal()
    : muv_(static_cast<std::size_t>(NCOMPONENTS), 0.0),
      mwcomps_(static_cast<std::size_t>(NCOMPONENTS), 0.0), P_(0.0, "Pa"),
      lnphi_(static_cast<std::size_t>(NCOMPONENTS)) {}

Ideal::~Ideal() = default;

// ---------------------------------------------------------------- helpers

void Ideal::requireSizedStorage(const char *function) const {
  if (lnphi_.size() != static_cast<std::size_t>(NCOMPONENTS))
    throw ErrorRunTime(function, "the component list has changed since the model was built");
}

bool Ideal::isVapor() const { return phaseType() == static_cast<int>(PhaseType::vapor); }
bool Ideal::isLiquid() const { return phaseType() == static_cast<int>(PhaseType::liquid); }
bool Ideal::isSolid() const { return phaseType() == static_cast<int>(PhaseType::solid); }

std::vector<bool> Ideal::present(Vector x) {
  std::vector<bool> result(static_cast<std::size_t>(NCOMPONENTS));
  for (int i = 0; i < NCOMPONENTS; ++i)
    result[static_cast<std::size_t>(i)] = x[i] > dimensionlessZero;
  return result;
}

std::vector<double> Ideal::weights(Vector x) {
  std::vector<double> result(static_cast<std::size_t>(NCOMPONENTS), 0.0);
  bool any = false;
  for (int i = 0; i < NCOMPONENTS; ++i)
    if (x[i] > dimensionlessZero) {
      result[static_cast<std::size_t>(i)] = x[i].value();
      any = true;
    }
  if (!any)
    for (double &weight : result)
      weight = 1.0 / NCOMPONENTS;
  return result;
}

double Ideal::interaction(double mu_i, double mu_j, double M_i, double M_j) {
  const double root = 1.0 + std::sqrt(mu_i / mu_j) * std::pow(M_j / M_i, 0.25);
  return root * root / std::sqrt(8.0 * (1.0 + M_i / M_j));
}

Value Ideal::componentEnthalpy(int type, int i, const Value &T, const Value &P) {
  if (type == static_cast<int>(PhaseType::vapor))
    return components[i]->hv(T, P);
  if (type == static_cast<int>(PhaseType::liquid))
    return components[i]->hl(T, P);
  if (type == static_cast<int>(PhaseType::solid))
    return components[i]->hs(T, P);
  return zeroMolarEnthalpy();
}

Value Ideal::componentEntropy(int type, int i, const Value &T, const Value &P) {
  if (type == static_cast<int>(PhaseType::vapor))
    return components[i]->sv(T, P);
  if (type == static_cast<int>(PhaseType::liquid))
    return components[i]->sl(T, P);
  if (type == static_cast<int>(PhaseType::solid))
    return components[i]->ss(T, P);
  return zeroMolarEntropy();
}

Value Ideal::componentHeatCapacity(int type, int i, const Value &T, const Value &P) {
  if (type == static_cast<int>(PhaseType::vapor))
    return components[i]->cpv(T, P);
  if (type == static_cast<int>(PhaseType::liquid))
    return components[i]->cpl(T, P);
  if (type == static_cast<int>(PhaseType::solid))
    return components[i]->cps(T, P);
  return zeroMolarEntropy();
}

Value Ideal::componentDensity(int i, const Value &T, const Value &P) const {
  if (isLiquid())
    return components[i]->rhol(T, P);
  if (isSolid())
    return components[i]->rhos(T, P);
  return zeroMolarDensity();
}

// ---------------------------------------------------------------- state

void Ideal::initializeNonPersistents(Vector, const Value &, const Value &) {}

void Ideal::prepare(const Value &, Vector) {}

void Ideal::preparefugacity(const Value &P, const Value &T, Vector, const Value &) {
  static const char *const name = "Phase::Ideal::preparefugacity";
  VELTA_LOG(verbosity(), 1, name, "Entered");
  requireSizedStorage(name);
  VELTA_TRACE_BEGIN
  const bool condensed = isLiquid() || isSolid();
  for (int i = 0; i < NCOMPONENTS; ++i) {
    Value &entry = lnphi_[static_cast<std::size_t>(i)];
    if (condensed)
      entry = log(components[i]->kvli(T, P));
    else
      entry = dimensionlessZero;
  }
  VELTA_LOG(verbosity(), 2, name, "Done");
  VELTA_TRACE_END(name)
}

const Value &Ideal::fugacity(int i) { return lnphi_.at(static_cast<std::size_t>(i)); }

// ---------------------------------------------------------------- volumetric

const Value &Ideal::calculate_P_(const Value &rho, const Value &T, Vector, const Value &sumx) {
  static const char *const name = "Phase::Ideal::calculate_P_";
  VELTA_LOG(verbosity(), 1, name, "Entered");
  VELTA_TRACE_BEGIN
  P_ = ((sumx * gasConstant) * T) * rho;
  return P_;
  VELTA_TRACE_END(name)
}

const Value &Ideal::calculate_rho_(const Value &P, const Value &T, Vector x) {
  static const char *const name = "Phase::Ideal::calculate_rho_";
  VELTA_LOG(verbosity(), 1, name, "Entered");
  VELTA_TRACE_BEGIN
  vmol_ = zeroMolarVolume();
  if (isVapor()) {
    rhomol_ = (P / gasConstant) / T;
    return rhomol_;
  }
  const std::vector<bool> taking = present(x);
  for (int i = 0; i < NCOMPONENTS; ++i) {
    if (!taking[static_cast<std::size_t>(i)])
      continue;
    rhocomp_ = componentDensity(i, T, P);
    if (rhocomp_ > zeroMolarDensity())
      vmol_ += x[i] / rhocomp_;
  }
  if (vmol_.value() == 0.0) {
    // Empty phase: the equimolar mixture of the components with a density.
    for (int i = 0; i < NCOMPONENTS; ++i) {
      rhocomp_ = componentDensity(i, T, P);
      if (rhocomp_ > zeroMolarDensity())
        vmol_ += (1.0 / NCOMPONENTS) / rhocomp_;
    }
  }
  if (vmol_.value() == 0.0)
    rhomol_ = zeroMolarDensity();
  else
    rhomol_ = dimensionlessOne / vmol_;
  return rhomol_;
  VELTA_TRACE_END(name)
}

// ---------------------------------------------------------------- caloric

const Value &Ideal::calculate_H_(const Value &P, const Value &T, Vector x) {
  static const char *const name = "Phase::Ideal::calculate_H_";
  VELTA_TRACE_BEGIN
  return enthalpyAs_(phaseType(), P, T, x, name);
  VELTA_TRACE_END(name)
}

const Value &Ideal::calculate_S_(const Value &P, const Value &T, Vector x) {
  static const char *const name = "Phase::Ideal::calculate_S_";
  VELTA_TRACE_BEGIN
  return entropyAs_(phaseType(), P, T, x, name);
  VELTA_TRACE_END(name)
}

const Value &Ideal::calculate_Cp_(const Value &P, const Value &T, Vector x) {
  static const char *const name = "Phase::Ideal::calculate_Cp_";
  VELTA_TRACE_BEGIN
  return heatCapacityAs_(phaseType(), P, T, x, name);
  VELTA_TRACE_END(name)
}

const Value &Ideal::enthalpyAs_(int type, const Value &P, const Value &T, Vector x,
                                const char *name) {
  VELTA_LOG(verbosity(), 1, name,
            "Entered with Pres = " << P << " Temp = " << T
                                   << " phaseType = " << phaseTypeName(type));
  const bool vapor = type == static_cast<int>(PhaseType::vapor);
  const bool liquid = type == static_cast<int>(PhaseType::liquid);
  const bool knownType = vapor || liquid || type == static_cast<int>(PhaseType::solid);
  const char *route = vapor    ? " components[i]->hv = "
                      : liquid ? " components[i]->hl = "
                               : " components[i]->hs = ";
  hmol_ = zeroMolarEnthalpy();
  for (int i = 0; i < NCOMPONENTS; ++i) {
    if (!(x[i] > dimensionlessZero))
      continue;
    hcomp_ = componentEnthalpy(type, i, T, P);
    if (knownType)
      VELTA_LOG(verbosity(), 2, name, "x[" << i << "] = " << x[i] << route << hcomp_);
    hmol_ += x[i] * hcomp_;
  }
  VELTA_LOG(verbosity(), 1, name, "hmol_ = " << hmol_.activeValue().toString());
  return hmol_;
}

const Value &Ideal::entropyAs_(int type, const Value &P, const Value &T, Vector x,
                               const char *name) {
  VELTA_LOG(verbosity(), 1, name, "Entered");
  smol_ = zeroMolarEntropy();
  for (int i = 0; i < NCOMPONENTS; ++i) {
    if (!(x[i] > dimensionlessZero))
      continue;
    scomp_ = componentEntropy(type, i, T, P);
    VELTA_LOG(verbosity(), 2, name, "smol[" << i << "] = " << scomp_.activeValue().toString());
    smol_ += x[i] * (scomp_ - gasConstant * log(x[i]));
  }
  VELTA_LOG(verbosity(), 2, name, "smol_ = " << smol_);
  return smol_;
}

const Value &Ideal::heatCapacityAs_(int type, const Value &P, const Value &T, Vector x,
                                    const char *name) {
  VELTA_LOG(verbosity(), 1, name, "Entered");
  cpmol_ = zeroMolarEntropy();
  for (int i = 0; i < NCOMPONENTS; ++i) {
    if (!(x[i] > dimensionlessZero))
      continue;
    cpcomp_ = componentHeatCapacity(type, i, T, P);
    VELTA_LOG(verbosity(), 1, name, "x[" << i << "] = " << x[i] << " cpmol = " << cpcomp_);
    cpmol_ += x[i] * cpcomp_;
  }
  VELTA_LOG(verbosity(), 1, name, "Done");
  return cpmol_;
}

// ---------------------------------------------------------------- transport

Value Ideal::mu_(const Value &T, const Value &, Vector x) {
  static const char *const name = "Phase::Ideal::mu_";
  requireSizedStorage(name);
  VELTA_TRACE_BEGIN
  if (isVapor()) {
    const std::vector<double> share = weights(x);
    for (int i = 0; i < NCOMPONENTS; ++i) {
      if (share[static_cast<std::size_t>(i)] == 0.0)
        continue;
      muv_[static_cast<std::size_t>(i)] = components[i]->muv(T).value();
      mwcomps_[static_cast<std::size_t>(i)] = components[i]->MW().value();
      VELTA_LOG(verbosity(), 2, name, "muv[" << i << "] = " << muv_[static_cast<std::size_t>(i)]);
    }
    muvv_ = 0.0;
    for (std::size_t i = 0; i < share.size(); ++i) {
      if (share[i] == 0.0)
        continue;
      double d = 1.0;
      for (std::size_t j = 0; j < share.size(); ++j)
        if (j != i && share[j] != 0.0)
          d += share[j] / share[i] * interaction(muv_[i], muv_[j], mwcomps_[i], mwcomps_[j]);
      muvv_ += muv_[i] / d;
    }
    VELTA_LOG(verbosity(), 2, name, "muvv_ = " << muvv_);
    return Value(muvv_, "Pa*s");
  }
  if (isLiquid()) {
    const std::vector<double> share = weights(x);
    lnmul_ = 0.0;
    for (int i = 0; i < NCOMPONENTS; ++i)
      if (share[static_cast<std::size_t>(i)] != 0.0)
        lnmul_ += std::log(components[i]->mul(T).value()) * share[static_cast<std::size_t>(i)];
    VELTA_LOG(verbosity(), 2, name, "lnmul_ = " << lnmul_ << " mul = " << std::exp(lnmul_));
    return Value(std::exp(lnmul_), "Pa*s");
  }
  return Value(1e10, "Pa*s");
  VELTA_TRACE_END(name)
}

Value Ideal::kappa_(const Value &T, const Value &, Vector x) {
  static const char *const name = "Phase::Ideal::kappa_";
  VELTA_LOG(verbosity(), 1, name, "Entered");
  VELTA_TRACE_BEGIN
  if (isVapor()) {
    const std::vector<double> share = weights(x);
    const std::size_t n = share.size();
    std::vector<double> viscosity(n, 0.0), molarMass(n, 0.0);
    for (std::size_t i = 0; i < n; ++i)
      if (share[i] != 0.0) {
        viscosity[i] = components[static_cast<int>(i)]->muv(T).value();
        molarMass[i] = components[static_cast<int>(i)]->MW().value();
      }
    double k = 0.0;
    for (std::size_t i = 0; i < n; ++i) {
      if (share[i] == 0.0)
        continue;
      double den = 0.0;
      for (std::size_t j = 0; j < n; ++j) {
        if (share[j] == 0.0)
          continue;
        den += j == i ? share[j]
                      : share[j] * interaction(viscosity[i], viscosity[j], molarMass[i],
                                               molarMass[j]);
      }
      k += share[i] * components[static_cast<int>(i)]->kv(T).value() / den;
    }
    return Value(k, "W/(m*K)");
  }
  if (isLiquid()) {
    const std::vector<bool> taking = present(x);
    Value sum(dimensionlessZero);
    bool any = false;
    for (int i = 0; i < NCOMPONENTS; ++i)
      if (taking[static_cast<std::size_t>(i)]) {
        sum += x[i] / std::pow(components[i]->kl(T).value(), 3.4);
        any = true;
      }
    if (!any)
      for (int i = 0; i < NCOMPONENTS; ++i)
        sum += (1.0 / NCOMPONENTS) / std::pow(components[i]->kl(T).value(), 3.4);
    return Value(1.0, "W/m/K") * pow(sum, -1.0 / 3.4);
  }
  return Value(1e10, "W/(m*K)");
  VELTA_TRACE_END(name)
}

Value Ideal::sigma_(const Value &T, const Value &P, Vector x) {
  static const char *const name = "Phase::Ideal::sigma_";
  VELTA_LOG(verbosity(), 1, name,
            "Entered with T = " << T << " and phase type = " << phaseTypeName(phaseType()));
  VELTA_TRACE_BEGIN
  if (!isLiquid())
    return Value(0.0, "N/m");
  const std::vector<double> share = weights(x);
  double sum = 0.0;
  double total = 0.0;
  for (int i = 0; i < NCOMPONENTS; ++i) {
    const double weight = share[static_cast<std::size_t>(i)];
    if (weight == 0.0)
      continue;
    const double density = components[i]->rhol(T, P).value();
    // A component without a liquid density has no share of the volume.
    if (!(density > 0.0))
      continue;
    const double e = weight / density;
    const double sigma = components[i]->sigma(T).value();
    sum += std::pow(sigma, 0.25) * e;
    total += e;
    VELTA_LOG(verbosity(), 2, name,
              "x[" << i << "] = " << weight << " e = " << e << " sigma = " << sigma);
  }
  const double mixture = total > 0.0 ? std::pow(sum / total, 4.0) : 0.0;
  VELTA_LOG(verbosity(), 2, name, "sigma = " << mixture);
  return Value(mixture, "N/m");
  VELTA_TRACE_END(name)
}

} // namespace Phase
