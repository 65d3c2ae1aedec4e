#include "velta/streams/StreamTwoSolid.h"

#include "velta/components/ListComponents.h"
#include "velta/core/MyCast.h"
#include "velta/phases/Generic.h"
#include "velta/phases/MassMolarProperties.h"
#include "velta/phases/Total.h"
#include "velta/streams/EmbeddedType.h"
#include "velta/utility/Error.h"
#include "velta/utility/SharedEnumerations.h"
#include "velta/value/Constants.h"

using Velta::Utility::FlashMode;
using Velta::Utility::flashModeName;
using Velta::Utility::PhaseIndex;

template <> const char *StreamTwoSolid<FlashVlT>::typeName() { return "StreamSolidVlT"; }
template <> const char *StreamTwoSolid<FlashVlTx>::typeName() { return "StreamSolidVlTx"; }
template <> const char *StreamTwoSolid<FlashVlT>::flashName() { return "FlashVlT"; }
template <> const char *StreamTwoSolid<FlashVlTx>::flashName() { return "FlashVlTx"; }

template <class F> std::string StreamTwoSolid<F>::qualified(const char *operation) {
  return std::string("StreamTwoSolid<class ") + flashName() + ">::" + operation;
}

template <class F>
StreamTwoSolid<F>::StreamTwoSolid(Defaults defaults, int id, Persistency *persistency,
                                  Node *parent, Node *root)
    : Object(defaults, id, persistency, parent, root),
      Model(defaults, id, persistency, parent, root),
      Stream(defaults, id, persistency, parent, root), fluidFraction_(0.0),
      vaporFraction_(0.0), vaporFractionClipped_(0.0), liquidFraction_(0.0),
      liquidFractionClipped_(0.0), fluidx_(static_cast<std::size_t>(NCOMPONENTS)) {
  const std::string name = qualified("StreamTwoSolid");
  setType(typeName());
  VELTA_LOG(streamVerbosity(), 1, name.c_str(), "Entered with " << id);
  addVector(embeddedTypePhase, "embeddedTypePhase", "type of the embedded phase", 2, " ");
  readEmbeddedTypePair(*this, embeddedTypePhase, defaults, id, persistency);
  if (persistency)
    retrieveIntegersAndStrings(persistency);
  requireEmbeddedTypePair(embeddedTypePhase, name.c_str());
  phases_.assign(3, nullptr);
  Tphase = addPhase("PhaseTotal", "Tphase", "Total phase", -1, persistency);
  my_cast<Phase::Total *>(static_cast<Node *>(Tphase), name.c_str())->setStream(this);
  Vphase = addPhase(embeddedTypePhase[0].value(), "Vphase", "Vapor phase", 0, persistency);
  Lphase = addPhase(embeddedTypePhase[1].value(), "Lphase", "Liquid phase", 1, persistency);
  Sphase = addPhase("PhaseIdeal<solid>", "Sphase", "Solid phase", 2, persistency);
  TphaseProperties_ = dynamic_cast<Phase::MassMolarProperties *>(Tphase);
  VphaseGeneric_ = dynamic_cast<Phase::Generic *>(Vphase);
  LphaseGeneric_ = dynamic_cast<Phase::Generic *>(Lphase);
  SphaseGeneric_ = dynamic_cast<Phase::Generic *>(Sphase);
  // The flash prepares both fluid phases' property models.
  for (Phase::Mass *phase : {Vphase, Lphase})
    if (!dynamic_cast<Phase::Generic *>(phase))
      throw ErrorDynamicCast(name.c_str(), phase->type().c_str(), "Phase::Generic",
                             phase->tag().c_str());
  this->vaporIndex_ = Vphase->phaseIndex();
  this->liquidIndex_ = Lphase->phaseIndex();
  postconstruct_(id);
  this->appendToName("StreamTwoSolid[Liquid:" + embeddedTypePhase[1].value() +
                     ", Vapor:" + embeddedTypePhase[0].value() + "]:" + fullTag());
  VELTA_LOG(streamVerbosity(), 2, name.c_str(), "Finished");
}

template <class F> StreamTwoSolid<F>::~StreamTwoSolid() {
  const std::string name = qualified("~StreamTwoSolid");
  VELTA_LOG(streamVerbosity(), 1, name.c_str(), "Entered with " << id());
  VELTA_LOG(streamVerbosity(), 2, name.c_str(), "Done");
}

template <class F> Stream &StreamTwoSolid<F>::assign(const Stream &other) {
  Object::operator=(static_cast<const Node &>(other));
  return *this;
}

template <class F> Stream &StreamTwoSolid<F>::assignFrom(const Stream &other) {
  return assign(other);
}

template <class F> std::unique_ptr<Node> StreamTwoSolid<F>::clone() const {
  Defaults options = defaults();
  options.setString("embeddedTypePhase[0]", embeddedTypePhase[0].value());
  options.setString("embeddedTypePhase[1]", embeddedTypePhase[1].value());
  auto copy = std::make_unique<StreamTwoSolid<F>>(options, 0, nullptr, nullptr, nullptr);
  copy->Object::operator=(static_cast<const Node &>(*this));
  copy->registerVariables();
  return copy;
}

template <class F> const Value &StreamTwoSolid<F>::Fraction(int phaseIndex, bool clipped) {
  VELTA_LOG(streamVerbosity(), 1, qualified("Fraction").c_str(), "Entered");
  if (phaseIndex == this->vaporIndex_)
    return clipped ? vaporFractionClipped_ : vaporFraction_;
  if (phaseIndex == this->liquidIndex_)
    return clipped ? liquidFractionClipped_ : liquidFraction_;
  if (phaseIndex == static_cast<int>(PhaseIndex::solid1))
    return Sphase->fraction;
  return dimensionlessZero;
}

template <class F> Vector StreamTwoSolid<F>::X(int phaseIndex) {
  const std::string name = qualified("X");
  VELTA_LOG(streamVerbosity(), 1, name.c_str(), "Entered");
  if (phaseIndex == this->vaporIndex_)
    return Vector(&this->y);
  if (phaseIndex == this->liquidIndex_)
    return Vector(&this->x);
  if (phaseIndex == Sphase->phaseIndex())
    return Vector(&Sphase->fracs());
  throw ErrorBrowsing(name.c_str(), tag().c_str(), type().c_str(), "PhaseIndex",
                      Velta::Utility::phaseIndexName(phaseIndex).c_str());
}

template <class F>
Value StreamTwoSolid<F>::fluidAlfa(const Value &V, const Value &L, const Value &S) {
  if (V.value() == 0.0)
    return Value(0.0);
  // Stored fractions that leave no fluid (V + L = 0) must not give NaN.
  if (S.value() < 1.0 && (V + L).value() != 0.0)
    return V / (V + L);
  return Value(0.5);
}

template <class F> void StreamTwoSolid<F>::wholeStreamFractions() {
  vaporFraction_ = this->alfa * fluidFraction_;
  vaporFractionClipped_ = vaporFraction_;
  liquidFraction_ = (1.0 - this->alfa) * fluidFraction_;
  liquidFractionClipped_ = liquidFraction_;
}

template <class F> void StreamTwoSolid<F>::initializeNonPersistentsCommon() {
  const std::string name = qualified("initializeNonPersistentsCommon");
  VELTA_LOG(streamVerbosity(), 1, name.c_str(), "Entered");
  Stream::initializeNonPersistents();
  const Value &V = Vphase->fraction, &L = Lphase->fraction, &S = Sphase->fraction;
  // With S < 1 and V = 0 this is V / (V + L) = 0; V + L = 0 gives 0.5.
  this->alfa = S.value() < 1.0 && (V + L).value() != 0.0 ? Value(V / (V + L)) : Value(0.5);
  this->oneMinusAlfa_ = 1.0 - this->alfa;
  fluidFraction_ = 1.0 - S;
  wholeStreamFractions();
  VELTA_LOG(streamVerbosity(), 2, name.c_str(), "Done");
}

template <class F> void StreamTwoSolid<F>::initializeNonPersistents() {
  const std::string name = qualified("initializeNonPersistents");
  if constexpr (compositionDependent) {
    // These lines are written at any verbosity.
    VELTA_LOG(streamVerbosity() + 1000, 1, name.c_str(),
              "Entered for " << fullTag() << " with Flash type = FlashVlTx");
    VphaseGeneric_->model().prepare(FlashBase::T, Vector(&Vphase->fracs()));
    LphaseGeneric_->model().prepare(FlashBase::T, Vector(&Lphase->fracs()));
    initializeNonPersistentsCommon();
    VELTA_LOG(streamVerbosity() + 1000, 2, name.c_str(), "Initializing KVLs");
    estimateFlash();
    VELTA_LOG(streamVerbosity() + 1000, 2, name.c_str(), "Done");
  } else {
    VELTA_LOG(streamVerbosity(), 1, name.c_str(), "Entered for " << fullTag());
    initializeNonPersistentsCommon();
    VELTA_LOG(streamVerbosity(), 2, name.c_str(), "Done");
  }
}

template <class F> void StreamTwoSolid<F>::setFlash(int fm) {
  const std::string name = qualified("setFlash");
  VELTA_TRACE_BEGIN
  changeFlashMode(flashoption, fm, name.c_str(), [&](int chosen) {
    VELTA_LOG(streamVerbosity(), 1, name.c_str(),
              "Entered with fm = " << flashoption.value() << " P = " << Stream::P
                                   << " T = " << Stream::T << " H = " << TphaseProperties_->H
                                   << " S = " << TphaseProperties_->S
                                   << " rho = " << TphaseProperties_->rho);
    if (chosen == static_cast<int>(FlashMode::PA))
      this->setFlash_(chosen, Stream::P, Vphase->fraction, false);
    else if (chosen == static_cast<int>(FlashMode::SA))
      this->setFlash_(chosen, TphaseProperties_->S, Vphase->fraction, false);
    else
      Stream::setFlash(chosen);
  });
  VELTA_LOG(streamVerbosity(), 2, name.c_str(), "Done");
  VELTA_TRACE_END(name.c_str())
}

template <class F> void StreamTwoSolid<F>::updateFlash() {
  const std::string name = qualified("updateFlash");
  VELTA_TRACE_BEGIN
  VELTA_LOG(streamVerbosity(), 1, name.c_str(),
            "Entered for " << fullTag() << " with flashMode = " << flashModeName(mode));
  std::vector<Quantity> &vapor = Vphase->fracs();
  std::vector<Quantity> &liquid = Lphase->fracs();
  for (std::size_t i = 0; i < this->y.size(); ++i) {
    vapor[i] = this->y[i];
    liquid[i] = this->x[i];
  }
  if (mode < 1 || mode > 7)
    throw ErrorSmartEnum(name.c_str(), tag().c_str(), "Flash mode",
                         flashModeName(mode).c_str());
  if (mode != static_cast<int>(FlashMode::PA) && mode != static_cast<int>(FlashMode::SA))
    Vphase->fraction = Fraction(this->vaporIndex_, true);
  Lphase->fraction = Fraction(this->liquidIndex_, true);
  Sphase->fraction = Value(Fraction(static_cast<int>(PhaseIndex::solid1), true));
  Stream::updateFlash();
  VELTA_TRACE_END(name.c_str())
}

template class StreamTwoSolid<FlashVlT>;
template class StreamTwoSolid<FlashVlTx>;
