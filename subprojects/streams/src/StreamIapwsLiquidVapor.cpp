#include "velta/streams/StreamIapwsLiquidVapor.h"

#include "velta/components/ComponentGeneric.h"
#include "velta/components/ListComponents.h"
#include "velta/core/MyCast.h"
#include "velta/phases/Generic.h"
#include "velta/phases/Iapws.h"
#include "velta/phases/IapwsHelmholtz.h"
#include "velta/phases/MassMolarProperties.h"
#include "velta/phases/Total.h"
#include "velta/utility/Error.h"
#include "velta/utility/SharedEnumerations.h"

#include <algorithm>
#include <cmath>

using Velta::Utility::FlashMode;
using Velta::Utility::flashModeName;

namespace {

bool is(int mode, FlashMode m) { return mode == static_cast<int>(m); }

Phase::Iapws &iapwsOf(Phase::Generic &phase) { return dynamic_cast<Phase::Iapws &>(phase.model()); }

} // namespace

StreamIapwsLiquidVapor::StreamIapwsLiquidVapor(Defaults defaults, int id,
                                               Persistency *persistency, Node *parent,
                                               Node *root)
    : Object(defaults, id, persistency, parent, root),
      Model(defaults, id, persistency, parent, root),
      Stream(defaults, id, persistency, parent, root) {
  static const char *const name = "StreamIapwsLiquidVapor::StreamIapwsLiquidVapor";
  setType(typeName());
  VELTA_LOG(streamVerbosity(), 1, name, "Entered with " << id);
  if (persistency)
    retrieveIntegersAndStrings(persistency);
  phases_.assign(2, nullptr);
  Tphase = addPhase("PhaseTotal", "Tphase", "Total phase", -1, persistency);
  my_cast<Phase::Total *>(static_cast<Node *>(Tphase), name)->setStream(this);
  VphaseGeneric_ = dynamic_cast<Phase::Generic *>(
      addPhase("PhaseIapws<vapor>", "Vphase", "Vapor phase", 0, persistency));
  LphaseGeneric_ = dynamic_cast<Phase::Generic *>(
      addPhase("PhaseIapws<liquid>", "Lphase", "Liquid phase", 1, persistency));
  TphaseProperties_ = dynamic_cast<Phase::MassMolarProperties *>(Tphase);
  vaporIndex_ = VphaseGeneric_->phaseIndex();
  liquidIndex_ = LphaseGeneric_->phaseIndex();
  postconstruct_(id);
  appendToName(std::string("StreamIapwsLiquidVapor:") + fullTag());
  VELTA_LOG(streamVerbosity(), 2, name, "Finished");
}

StreamIapwsLiquidVapor::~StreamIapwsLiquidVapor() {
  static const char *const name = "StreamIapwsLiquidVapor::~StreamIapwsLiquidVapor";
  VELTA_LOG(streamVerbosity(), 1, name, "Entered with " << id());
  VELTA_LOG(streamVerbosity(), 2, name, "Done");
}

Stream &StreamIapwsLiquidVapor::assign(const Stream &other) {
  Object::operator=(static_cast<const Node &>(other));
  return *this;
}

Stream &StreamIapwsLiquidVapor::assignFrom(const Stream &other) { return assign(other); }

std::unique_ptr<Node> StreamIapwsLiquidVapor::clone() const {
  auto copy = std::make_unique<StreamIapwsLiquidVapor>(defaults(), 0, nullptr, nullptr, nullptr);
  copy->Object::operator=(static_cast<const Node &>(*this));
  copy->registerVariables();
  return copy;
}

Vector StreamIapwsLiquidVapor::feed() { return Vector(&TphaseProperties_->x); }

void StreamIapwsLiquidVapor::fugacityKValues(const Value &other, const char *name) {
  for (int i = 0; i < NCOMPONENTS; ++i) {
    const std::size_t k = static_cast<std::size_t>(i);
    // The IAPWS model prepares the fugacity of water alone.
    kVL_[k] = components[i]->name() == "H2O"
                  ? exp(LphaseGeneric_->model().fugacity(i) - VphaseGeneric_->model().fugacity(i))
                  : other;
    VELTA_LOG(streamVerbosity(), 2, name, "kVL[" << i << "] = " << kVL_[k]);
  }
}

int StreamIapwsLiquidVapor::calculateResidualsEquilibrium(std::vector<Value> &residuals,
                                                          unsigned first) {
  static const char *const name = "StreamIapwsLiquidVapor::calculateResidualsEquilibrium";
  VELTA_TRACE_BEGIN
  VELTA_LOG(streamVerbosity(), 1, name, "Entered");
  VphaseGeneric_->model().preparefugacity(FlashBase::P, FlashBase::T, X(vaporIndex_),
                                          sumx(vaporIndex_));
  LphaseGeneric_->model().preparefugacity(FlashBase::P, FlashBase::T, X(liquidIndex_),
                                          sumx(liquidIndex_));
  fugacityKValues(Value(1.0), name);
  calculateSplit(feed());
  residuals[first] = is(mode, FlashMode::PA) ? calculateResidualsRrg() : phaseChoiceResidual();
  return 1;
  VELTA_TRACE_END(name)
}

Value StreamIapwsLiquidVapor::phaseChoiceResidual() {
  static const char *const name = "StreamIapwsLiquidVapor::phaseChoiceResidual";
  const Value sum = sumy_ - sumx_;
  Value residual;
  if (is(mode, FlashMode::PT)) {
    bool split = false;
    Vector z = feed();
    for (int i = 0; i < NCOMPONENTS; ++i)
      split = split || (z[i].value() > 0.0 &&
                        std::fabs(kVL_[static_cast<std::size_t>(i)].value() - 1.0) > 1.5e-8);
    if (!split) {
      // At K = 1 any alfa solves PT: a zero of slope 1 in alfa keeps the
      // Jacobian regular, as the Rachford-Rice residual does.
      residual = -sum + Value(alfa.activeValue().derivativePart(), dimensionless);
    } else {
      // Nothing else fixes alfa in PT: the sign of ln K alone decides, taken
      // at the flash pressure so that it does not flip while the densities
      // are still on their way to it. The weight (a plain number) takes the
      // jump between the two bounds out of the value where K crosses 1, so
      // that a line search across it sees no step in the merit function;
      // the Newton step in alfa stays the whole distance to the bound.
      const Value &P = FlashBase::P, &T = FlashBase::T;
      const double lnK = iapwsOf(*LphaseGeneric_).waterLnPhiAt(P, T) -
                         iapwsOf(*VphaseGeneric_).waterLnPhiAt(P, T);
      const double weight = std::min(1.0, 1e3 * std::fabs(lnK));
      residual = (lnK < 0.0 ? alfa : alfa - 1.0) * weight;
    }
  } else {
    // An energy, entropy or density set point (or SA's alfa) fixes alfa in
    // two phases; at a bound K only has to lie on its side of 1.
    const double shifted = alfa.value() + sum.value();
    residual = shifted <= 0.0 ? alfa : shifted >= 1.0 ? alfa - 1.0 : -sum;
  }
  VELTA_LOG(streamVerbosity(), 2, name,
            "alfa = " << alfa << " sum(y - x) = " << sum << " residual = " << residual);
  return residual;
}

void StreamIapwsLiquidVapor::estimateEos(const Value &Pe, const Value &Te) {
  static const char *const name = "StreamIapwsLiquidVapor::estimateEos";
  VELTA_TRACE_BEGIN
  Stream::estimateEos(Pe, Te);
  // Neither start on the critical density, the bound of both phases, where
  // the solver's scaling leaves the unknown no effect on any residual.
  const double offBound = 2e-3;
  Value &liquid = iapwsOf(*LphaseGeneric_).delta;
  const double saturated =
      std::max(Phase::iapwsSaturatedLiquidDelta(Te.value()), Phase::Iapws::deltac() + offBound);
  if (liquid.value() < saturated)
    liquid = Value(saturated);
  Value &vapor = iapwsOf(*VphaseGeneric_).delta;
  if (vapor.value() > Phase::Iapws::deltac() - offBound)
    vapor = Value(Phase::Iapws::deltac() - offBound);
  VELTA_LOG(streamVerbosity(), 2, name,
            "Vapour delta = " << vapor.value() << " liquid delta = " << liquid.value());
  VELTA_TRACE_END(name)
}

void StreamIapwsLiquidVapor::estimateEquilibrium(const Value &, const Value &) {
  static const char *const name = "StreamIapwsLiquidVapor::estimateEquilibrium";
  VELTA_TRACE_BEGIN
  VELTA_LOG(streamVerbosity(), 1, name, "Entered with fm = " << flashModeName(mode));
  if (is(mode, FlashMode::PA) || is(mode, FlashMode::SA))
    alfa = VphaseGeneric_->fraction;
  else
    centeralfa();
  calculateSplit(feed());
  VELTA_LOG(streamVerbosity(), 2, name, "Done estimating alfa = " << alfa);
  VELTA_TRACE_END(name)
}

void StreamIapwsLiquidVapor::estimateFlash() {
  static const char *const name = "StreamIapwsLiquidVapor::estimateFlash";
  VELTA_TRACE_BEGIN
  VELTA_LOG(streamVerbosity(), 1, name, "Entered for " << fullTag());
  std::vector<Quantity> &vapor = VphaseGeneric_->fracs();
  std::vector<Quantity> &liquid = LphaseGeneric_->fracs();
  for (std::size_t i = 0; i < y.size(); ++i) {
    y[i] = vapor[i];
    x[i] = liquid[i];
  }
  sumx_ = Vector(&x).sum();
  sumy_ = Vector(&y).sum();
  VphaseGeneric_->model().prepare(FlashBase::T, X(vaporIndex_));
  LphaseGeneric_->model().prepare(FlashBase::T, X(liquidIndex_));
  VELTA_LOG(streamVerbosity(), 2, name, "Estimating as a non-ideal FlashVlTx");
  // Only water has a fugacity coefficient in these phases: every other
  // component keeps K = 1, as in the residual.
  fugacityKValues(Value(1.0), name);
  VELTA_LOG(streamVerbosity(), 2, name, "Setting alfa_ = " << VphaseGeneric_->fraction);
  takeAlfa(VphaseGeneric_->fraction);
  Stream::updateFlash();
  VELTA_TRACE_END(name)
}

void StreamIapwsLiquidVapor::initializeNonPersistents() {
  static const char *const name = "StreamIapwsLiquidVapor::initializeNonPersistents";
  VELTA_LOG(streamVerbosity(), 1, name, "Entered for " << fullTag());
  Stream::initializeNonPersistents();
  alfa = VphaseGeneric_->fraction;
  Fraction(liquidIndex_, false);
  VELTA_LOG(streamVerbosity(), 2, name, "Done");
}

void StreamIapwsLiquidVapor::setFlash(int fm) {
  static const char *const name = "StreamIapwsLiquidVapor::setFlash";
  VELTA_TRACE_BEGIN
  // A mode is stored only once the flash has accepted it: a refused mode
  // must not stay in the stored case and fail every later calculation.
  if (fm != 0 && (fm < 1 || fm > 7))
    throw ErrorSmartEnum(name, "Flash mode", flashModeName(fm).c_str());
  const std::string previous = flashoption.value();
  if (fm != 0)
    flashoption = flashModeName(fm);
  else
    fm = Velta::Utility::flashModeIndex(flashoption.value());
  try {
    VELTA_LOG(streamVerbosity(), 1, name,
              "Entered with fm = " << flashoption.value() << " P = " << Stream::P
                                   << " T = " << Stream::T << " H = " << TphaseProperties_->H
                                   << " S = " << TphaseProperties_->S
                                   << " rho = " << TphaseProperties_->rho);
    if (is(fm, FlashMode::PA))
      setFlash_(fm, Stream::P, VphaseGeneric_->fraction, false);
    else if (is(fm, FlashMode::SA))
      setFlash_(fm, TphaseProperties_->S, VphaseGeneric_->fraction, false);
    else
      Stream::setFlash(fm);
  } catch (Error &) {
    flashoption = previous;
    throw;
  }
  VELTA_LOG(streamVerbosity(), 2, name, "Done");
  VELTA_TRACE_END(name)
}

void StreamIapwsLiquidVapor::updateFlash() {
  static const char *const name = "StreamIapwsLiquidVapor::updateFlash";
  VELTA_TRACE_BEGIN
  VELTA_LOG(streamVerbosity(), 1, name,
            "Entered for " << fullTag() << " with flashMode = " << flashModeName(mode));
  VELTA_LOG(streamVerbosity(), 2, name,
            "Vphase->fraction = " << VphaseGeneric_->fraction << " Lphase->fraction = "
                                  << LphaseGeneric_->fraction << " alfa_ = " << alfa);
  std::vector<Quantity> &vapor = VphaseGeneric_->fracs();
  std::vector<Quantity> &liquid = LphaseGeneric_->fracs();
  for (std::size_t i = 0; i < y.size(); ++i) {
    vapor[i] = y[i];
    liquid[i] = x[i];
  }
  if (mode < 1 || mode > 7)
    throw ErrorSmartEnum(name, tag().c_str(), "Flash mode", flashModeName(mode).c_str());
  // In PA and SA Vphase's fraction is the set point.
  if (!is(mode, FlashMode::PA) && !is(mode, FlashMode::SA))
    VphaseGeneric_->fraction = Fraction(vaporIndex_, true);
  LphaseGeneric_->fraction = 1.0 - VphaseGeneric_->fraction;
  Stream::updateFlash();
  VELTA_TRACE_END(name)
}
