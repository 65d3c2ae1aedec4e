#include "velta/streams/Flash.h"

#include "velta/components/ComponentGeneric.h"
#include "velta/components/ListComponents.h"
#include "velta/core/ValueHelpers.h"
#include "velta/utility/Error.h"
#include "velta/utility/SharedEnumerations.h"
#include "velta/value/Constants.h"

using Velta::Utility::FlashMode;
using Velta::Utility::flashModeName;
using Velta::Utility::ScalingMode;

namespace {

bool is(int mode, FlashMode m) { return mode == static_cast<int>(m); }

const char *boolText(bool b) { return b ? "true" : "false"; }

[[noreturn]] void throwFlashMode(const char *function, int mode) {
  throw ErrorSmartEnum(function, "Flash mode", flashModeName(mode).c_str());
}

} // namespace

Flash::Flash()
    : ObjectiveNleAd("single phase Flash objective function"), sumx_(0.0), solver_(this) {}

Flash::~Flash() = default;

// ---------------------------------------------------------------- specification

void Flash::setFlash_(int fm, const Value &s1, const Value &s2, bool strict) {
  static const char *const name = "Flash::setFlash_";
  VELTA_TRACE_BEGIN
  VELTA_LOG(flashVerbosity(), 1, name,
            "Entered with fm = " << flashModeName(fm) << " " << s1 << " " << s2);
  mode = fm;
  if (is(fm, FlashMode::PT)) {
    Pset_ = s1;
    Tset_ = s2;
  } else if (is(fm, FlashMode::PH)) {
    Pset_ = s1;
    Hset_ = s2;
  } else if (is(fm, FlashMode::RH)) {
    rhoset_ = s1;
    Hset_ = s2;
  } else if (is(fm, FlashMode::RT)) {
    rhoset_ = s1;
    Tset_ = s2;
  } else if (is(fm, FlashMode::PS)) {
    Pset_ = s1;
    Sset_ = s2;
  } else if (strict) {
    throwFlashMode(name, fm);
  }
  VELTA_LOG(flashVerbosity(), 2, name, "Done");
  VELTA_TRACE_END(name)
}

void Flash::estimate(const Value &Pe, const Value &Te) {
  static const char *const name = "Flash::estimate";
  VELTA_TRACE_BEGIN
  VELTA_LOG(flashVerbosity(), 1, name, "Entered with fm = " << flashModeName(mode));
  solver_.resetIterations();
  if (mode < 1 || mode > 7)
    throwFlashMode(name, mode);
  const bool fixedP = !(is(mode, FlashMode::RT) || is(mode, FlashMode::RH) ||
                        is(mode, FlashMode::SA));
  const bool fixedT = is(mode, FlashMode::PT) || is(mode, FlashMode::RT);
  P = fixedP ? Pset_ : Pe;
  T = fixedT ? Tset_ : Te;
  estimateEos(Pe, Te);
  estimateEquilibrium(Pe, Te);
  VELTA_LOG(flashVerbosity(), 2, name, "Done");
  VELTA_TRACE_END(name)
}

void Flash::estimateEquilibrium(const Value &, const Value &) {
  VELTA_LOG(flashVerbosity(), 1, "Flash::estimateEquilibrium",
            "Entered with fm = " << flashModeName(mode));
}

void Flash::addUnknowns(std::vector<Value *> unknowns, std::vector<const double *> lower,
                        std::vector<const double *> upper) {
  addUnknown(&T, Scaler(ScalingMode::log, 50.0, 1500.0, 1.0, 10.0), "T");
  addUnknown(&P, Scaler(ScalingMode::log, 1.0, 101325.0, 1.0, 10.0), "P");
  for (std::size_t i = 0; i < unknowns.size(); ++i)
    addUnknown(unknowns[i], Scaler(ScalingMode::rational, *lower[i], *upper[i], 1.0, 10.0),
               "beta[" + std::to_string(i) + "]");
  solver_.resize(static_cast<int>(unknowns.size()) + 2);
  solver_.setStepMax(0.5);
  // Residuals are relative (pressures, enthalpies) or logarithmic (K): 1e-10
  // puts a stream's density and temperature within 1e-10 of its state;
  // near the solution Newton's quadratic steps get there in about one more
  // iteration than 1e-8 would.
  solver_.setTolerances(1e-7, 1e-7, 1e-10, 0.0);
  solver_.setMaxIterations(500);
}

// ---------------------------------------------------------------- residuals

unsigned Flash::calculateResiduals(std::vector<Value> &y, unsigned s) {
  static const char *const name = "Flash::calculateResiduals";
  VELTA_TRACE_BEGIN
  VELTA_LOG(flashVerbosity(), 1, name,
            "Entered for " << this->name() << " with FlashMode = " << flashModeName(mode)
                           << " and zero_residuals_ = " << boolText(zero_residuals_));
  VELTA_LOG(flashVerbosity(), 2, name,
            "Pset_ = " << Pset_ << " Hset_ = " << Hset_ << " Sset_ = " << Sset_
                       << " Tset_ = " << Tset_);
  prepare_residuals();
  if (zero_residuals_) {
    zero_residuals(y, s);
  } else {
    const int d = calculateResidualsEos(y, s + 2);
    y[s] = calculateResidualsFlashMode();
    y[s + 1] = calculateResidualsPressure();
    const int e = calculateResidualsEquilibrium(y, s + 2 + static_cast<unsigned>(d));
    VELTA_LOG(flashVerbosity(), 2, name, "eosroots = " << d << " equilibria = " << e);
  }
  VELTA_LOG(flashVerbosity(), 2, name, "Done for " << this->name());
  return size();
  VELTA_TRACE_END(name)
}

Value Flash::relativeResidual(const Value &value, const Value &set, Value &offset,
                              const char *unit) {
  offset = Value(fabs(set).value() < 0.1 ? 1.0 : 0.0, unit);
  return (value + offset) / (set + offset) - 1.0;
}

Value Flash::calculateResidualsFlashMode() {
  static const char *const name = "Flash::calculateResidualsFlashMode";
  VELTA_LOG(flashVerbosity(), 1, name, "Entered with " << flashModeName(mode));
  Value y;
  if (is(mode, FlashMode::PT) || is(mode, FlashMode::RT)) {
    y = 1000.0 * (Tset_ - T) / referenceTemperature;
  } else if (is(mode, FlashMode::PH) || is(mode, FlashMode::RH)) {
    const Value &H = calculateTotalH();
    y = relativeResidual(H, Hset_, hOffset_, "J/kmol");
    VELTA_LOG(flashVerbosity(), 2, name, "H(P_, T_) = " << H);
    VELTA_LOG(flashVerbosity(), 2, name, "Hset_ = " << Hset_);
    VELTA_LOG(flashVerbosity(), 2, name, "hOffset_ = " << hOffset_);
  } else if (is(mode, FlashMode::PS)) {
    y = relativeResidual(calculateTotalS(), Sset_, sOffset_, "J/(kmol*K)");
  } else {
    throwFlashMode(name, mode);
  }
  VELTA_LOG(flashVerbosity(), 2, name, "y = " << y);
  return y;
}

Value Flash::calculateResidualsPressure() {
  static const char *const name = "Flash::calculateResidualsPressure";
  VELTA_TRACE_BEGIN
  VELTA_LOG(flashVerbosity(), 1, name, "Entered");
  Value y;
  if (is(mode, FlashMode::RH) || is(mode, FlashMode::RT))
    y = P / referencePressure - calculateTotalP(rhoset_) / referencePressure;
  else if (is(mode, FlashMode::SA))
    // The vapour fraction takes the place of P: the entropy fixes the state.
    y = relativeResidual(calculateTotalS(), Sset_, sOffset_, "J/(kmol*K)");
  else
    y = P / referencePressure - Pset_ / referencePressure;
  VELTA_LOG(flashVerbosity(), 2, name, "y = " << y);
  return y;
  VELTA_TRACE_END(name)
}

void Flash::clip_() {
  VELTA_LOG(flashVerbosity(), 1, "Flash::clip_", "Entered");
  clip(P, minimumPressure, maximumPressure);
  clip(T, minimumTemperature, maximumTemperature);
}

// ---------------------------------------------------------------- solution

int Flash::solveFlash(bool simultaneous, bool skip) {
  static const char *const name = "Flash::solveFlash";
  VELTA_TRACE_BEGIN
  VELTA_LOG(flashVerbosity(), 1, name,
            "Entered with simultaneous = " << boolText(simultaneous)
                                           << " and skip = " << boolText(skip));
  zero_residuals_ = skip;
  int status = 0;
  if (!simultaneous) {
    VELTA_LOG(flashVerbosity(), 2, name, "Flashing");
    init(solver_.x());
    solver_.setVerbosity(0);
    status = solver_.solve();
    VELTA_LOG(flashVerbosity(), 2, name, "Solved");
    clip_();
  }
  VELTA_LOG(flashVerbosity(), 2, name, "Done");
  return status;
  VELTA_TRACE_END(name)
}

std::string Flash::solverMessage(int code) { return solver_.statusText(code); }

SolverNleInterface &Flash::solver() { return solver_; }

unsigned Flash::iterations() { return static_cast<unsigned>(solver_.iterations()); }

bool Flash::converged() { return !solver_.notConverged(); }

// ---------------------------------------------------------------- phases

const Value &Flash::Fraction(int, bool) { return dimensionlessOne; }

Vector Flash::X(int) { return Vector(x_); }

const Value &Flash::sumx(int) { return sumx_; }

void Flash::calculateInertSolids(std::vector<Quantity> &totalx, std::vector<Quantity> &inertx,
                                 Vector fluidx, Value &inertfraction, Value &fluidfraction) {
  static const char *const name = "Flash::calculateInertSolids";
  VELTA_TRACE_BEGIN
  VELTA_LOG(flashVerbosity(), 1, name, "Entered");
  inertfraction = 0.0;
  fluidfraction = 0.0;
  for (int i = 0; i < NCOMPONENTS; ++i) {
    const Value &z = totalx[static_cast<std::size_t>(i)];
    Value &inert = inertx[static_cast<std::size_t>(i)];
    if (z.value() > 0.0) {
      VELTA_LOG(flashVerbosity(), 2, name, "totalx[" << i << "] = " << z);
      if (components[i]->isSolid()) {
        fluidx[i] = 0.0;
        inert = z;
        inertfraction += z;
      } else {
        fluidx[i] = z;
        fluidfraction += z;
        inert = 0.0;
      }
    } else {
      fluidx[i] = 0.0;
      inert = 0.0;
    }
  }
  for (int i = 0; i < NCOMPONENTS; ++i) {
    if (totalx[static_cast<std::size_t>(i)].value() <= 0.0)
      continue;
    if (fluidfraction.value() > 0.0)
      fluidx[i] /= fluidfraction;
    if (inertfraction.value() > 0.0)
      inertx[static_cast<std::size_t>(i)] /= inertfraction;
  }
  VELTA_LOG(flashVerbosity(), 2, name, "inertfraction = " << inertfraction);
  VELTA_LOG(flashVerbosity(), 2, name, "fluidfraction = " << fluidfraction);
  VELTA_TRACE_END(name)
}
