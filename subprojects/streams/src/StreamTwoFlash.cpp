// The flash-side operations of the two-phase streams: the flash
// specification, the preparation of both property models before every
// residual evaluation, the ideal pre-solve of the Tx flashes, the flash
// unknowns rebuilt from the phases (estimateFlash) and the solution written
// back into them (updateFlash), and the rebuilding of the non-persistent
// state of a restored stream.

#include "velta/streams/StreamTwo.h"

#include "velta/streams/EmbeddedType.h"

#include "velta/components/ComponentGeneric.h"
#include "velta/components/ListComponents.h"
#include "velta/phases/Generic.h"
#include "velta/phases/MassMolarProperties.h"
#include "velta/utility/Error.h"
#include "velta/utility/SharedEnumerations.h"

#include <cmath>

using Velta::Utility::FlashMode;
using Velta::Utility::flashModeName;

namespace {

constexpr double flowThreshold = 100.0 * 2.220446049250313e-16;

bool is(int mode, FlashMode m) { return mode == static_cast<int>(m); }

// Restores a flag when the scope ends, whichever way it ends.
class RestoreFlag {
public:
  RestoreFlag(bool &flag, bool value) : flag_(flag), saved_(flag) { flag_ = value; }
  ~RestoreFlag() { flag_ = saved_; }
  RestoreFlag(const RestoreFlag &) = delete;
  RestoreFlag &operator=(const RestoreFlag &) = delete;

private:
  bool &flag_;
  bool saved_;
};

} // namespace

template <class F> void StreamTwo<F>::setFlash(int fm) {
  const std::string name = qualified("setFlash");
  VELTA_TRACE_BEGIN
  changeFlashMode(flashoption, fm, name.c_str(), [&](int chosen) {
    VELTA_LOG(streamVerbosity(), 1, name.c_str(),
              "Entered with fm = " << flashoption.value() << " P = " << Stream::P
                                   << " T = " << Stream::T << " H = " << TphaseProperties_->H
                                   << " S = " << TphaseProperties_->S
                                   << " rho = " << TphaseProperties_->rho);
    if (is(chosen, FlashMode::PA))
      this->setFlash_(chosen, Stream::P, Vphase->fraction, false);
    else if (is(chosen, FlashMode::SA))
      this->setFlash_(chosen, TphaseProperties_->S, Vphase->fraction, false);
    else
      Stream::setFlash(chosen);
  });
  VELTA_LOG(streamVerbosity(), 2, name.c_str(), "Done");
  VELTA_TRACE_END(name.c_str())
}

template <class F> void StreamTwo<F>::prepare_residuals() {
  const std::string name = qualified("prepare_residuals");
  VELTA_TRACE_BEGIN
  VELTA_LOG(streamVerbosity(), 1, name.c_str(), "Entered for " << fullTag());
  this->prepare_Flash_residuals();
  this->calculateSplit(feed());
  const int v = this->vaporIndex_, l = this->liquidIndex_;
  this->sumx_ = Vector(&this->x).sum();
  this->sumy_ = Vector(&this->y).sum();
  VELTA_LOG(streamVerbosity(), 2, name.c_str(),
            "Now prepare residuals for phase " << Vphase->fullTag());
  VphaseGeneric_->model().prepare(FlashBase::T, this->X(v));
  VELTA_LOG(streamVerbosity(), 2, name.c_str(),
            "Now prepare residuals for phase " << Lphase->fullTag());
  LphaseGeneric_->model().prepare(FlashBase::T, this->X(l));
  VELTA_TRACE_END(name.c_str())
}

template <class F> void StreamTwo<F>::precompute_isIdeal() {
  const std::string name = qualified("precompute_isIdeal");
  VELTA_LOG(streamVerbosity(), 1, name.c_str(), "Entered");
  if (!isIdeal) {
    // isIdeal goes back to false also when the ideal solve throws, so that
    // later solves use the fugacities.
    RestoreFlag ideal(isIdeal, true);
    this->solveFlash(false, std::fabs(Tphase->totalFlow().value()) <= flowThreshold);
  }
  VELTA_LOG(streamVerbosity(), 2, name.c_str(), "Done");
}

template <> void StreamTwo<FlashLlTx>::precompute_isIdeal() {
  const std::string name = qualified("precompute_isIdeal");
  VELTA_LOG(streamVerbosity(), 1, name.c_str(), "Entered");
  VELTA_LOG(streamVerbosity(), 2, name.c_str(), "Done");
}

template <class F> void StreamTwo<F>::idealKValues() {
  const std::string name = qualified("estimateFlash");
  for (int i = 0; i < NCOMPONENTS; ++i) {
    const std::size_t k = static_cast<std::size_t>(i);
    this->kVL_[k] = components[i]->isSolid() ? Value(1e-100)
                                             : components[i]->kvli(FlashBase::T, FlashBase::P);
    VELTA_LOG(streamVerbosity(), 2, name.c_str(),
              "KVL[" << components[i]->name() << "] = " << this->kVL_[k]);
  }
}

template <class F> void StreamTwo<F>::estimateFlash() {
  const std::string name = qualified("estimateFlash");
  VELTA_TRACE_BEGIN
  VELTA_LOG(streamVerbosity(), 1, name.c_str(),
            "Entered for " << fullTag() << " with P = " << FlashBase::P
                           << ", T = " << FlashBase::T);
  std::vector<Quantity> &vapor = Vphase->fracs();
  std::vector<Quantity> &liquid = Lphase->fracs();
  for (std::size_t i = 0; i < this->y.size(); ++i) {
    this->y[i] = vapor[i];
    this->x[i] = liquid[i];
  }
  this->sumx_ = Vector(&this->x).sum();
  this->sumy_ = Vector(&this->y).sum();
  const int v = this->vaporIndex_, l = this->liquidIndex_;
  VphaseGeneric_->model().prepare(FlashBase::T, this->X(v));
  LphaseGeneric_->model().prepare(FlashBase::T, this->X(l));
  if constexpr (compositionDependent) {
    if (isIdeal) {
      VELTA_LOG(streamVerbosity(), 2, name.c_str(), "Estimating as an ideal FlashVlTx");
      idealKValues();
    } else {
      VELTA_LOG(streamVerbosity(), 2, name.c_str(), "Estimating as a non-ideal FlashVlTx");
      VphaseGeneric_->model().preparefugacity(FlashBase::P, FlashBase::T, this->X(v),
                                              this->sumx(v));
      LphaseGeneric_->model().preparefugacity(FlashBase::P, FlashBase::T, this->X(l),
                                              this->sumx(l));
      for (int i = 0; i < NCOMPONENTS; ++i) {
        const std::size_t k = static_cast<std::size_t>(i);
        this->kVL_[k] = components[i]->isSolid()
                            ? Value(1e-100)
                            : exp(LphaseGeneric_->model().fugacity(i) -
                                  VphaseGeneric_->model().fugacity(i));
        VELTA_LOG(streamVerbosity(), 2, name.c_str(),
                  "KVL[" << components[i]->name() << "] = " << this->kVL_[k]);
      }
    }
  } else if constexpr (temperatureDependent) {
    VELTA_LOG(streamVerbosity(), 2, name.c_str(), "Estimating as a FlashVlT");
    idealKValues();
  }
  VELTA_LOG(streamVerbosity(), 2, name.c_str(), "Setting alfa_ = " << Vphase->fraction);
  this->takeAlfa(Vphase->fraction);
  Stream::updateFlash();
  VELTA_TRACE_END(name.c_str())
}

template <class F> void StreamTwo<F>::updateFlash() {
  const std::string name = qualified("updateFlash");
  VELTA_TRACE_BEGIN
  VELTA_LOG(streamVerbosity(), 1, name.c_str(),
            "Entered for " << fullTag() << " with flashMode = " << flashModeName(mode));
  VELTA_LOG(streamVerbosity(), 2, name.c_str(),
            "Vphase->fraction = " << Vphase->fraction << " Lphase->fraction = "
                                  << Lphase->fraction << " alfa_ = " << this->alfa);
  std::vector<Quantity> &vapor = Vphase->fracs();
  std::vector<Quantity> &liquid = Lphase->fracs();
  for (std::size_t i = 0; i < this->y.size(); ++i) {
    vapor[i] = this->y[i];
    liquid[i] = this->x[i];
  }
  if (mode < 1 || mode > 7)
    throw ErrorSmartEnum(name.c_str(), tag().c_str(), "Flash mode",
                         flashModeName(mode).c_str());
  // In PA and SA Vphase's fraction is the set point.
  if (!is(mode, FlashMode::PA) && !is(mode, FlashMode::SA))
    Vphase->fraction = this->Fraction(this->vaporIndex_, true);
  Lphase->fraction = this->Fraction(this->liquidIndex_, true);
  Stream::updateFlash();
  VELTA_TRACE_END(name.c_str())
}

template <class F> void StreamTwo<F>::initializeNonPersistents() {
  const std::string name = qualified("initializeNonPersistents");
  VELTA_LOG(streamVerbosity(), 1, name.c_str(),
            "Entered for " << fullTag()
                           << (compositionDependent
                                   ? std::string(" with Flash type = ") + flashName()
                                   : std::string()));
  if constexpr (compositionDependent) {
    VphaseGeneric_->model().prepare(FlashBase::T, Vector(&Vphase->fracs()));
    LphaseGeneric_->model().prepare(FlashBase::T, Vector(&Lphase->fracs()));
  }
  initializeNonPersistentsCommon();
  if constexpr (compositionDependent) {
    VELTA_LOG(streamVerbosity(), 2, name.c_str(), "Initializing KVLs");
    estimateFlash();
  }
  VELTA_LOG(streamVerbosity(), 2, name.c_str(), "Done");
}

template <class F> void StreamTwo<F>::initializeNonPersistentsCommon() {
  const std::string name = qualified("initializeNonPersistentsCommon");
  VELTA_LOG(streamVerbosity(), 1, name.c_str(), "Entered");
  Stream::initializeNonPersistents();
  this->alfa = Vphase->fraction;
  // The liquid side's fraction as the flash reports it.
  this->Fraction(this->liquidIndex_, false);
  VELTA_LOG(streamVerbosity(), 2, name.c_str(), "Done");
}

#define VELTA_STREAMTWO_FLASH(F)                                                                   \
  template void StreamTwo<F>::setFlash(int);                                                       \
  template void StreamTwo<F>::prepare_residuals();                                                 \
  template void StreamTwo<F>::idealKValues();                                                      \
  template void StreamTwo<F>::estimateFlash();                                                     \
  template void StreamTwo<F>::updateFlash();                                                       \
  template void StreamTwo<F>::initializeNonPersistents();                                          \
  template void StreamTwo<F>::initializeNonPersistentsCommon();

VELTA_STREAMTWO_FLASH(FlashVl)
VELTA_STREAMTWO_FLASH(FlashVlT)
VELTA_STREAMTWO_FLASH(FlashVlTx)
VELTA_STREAMTWO_FLASH(FlashLlTx)
template void StreamTwo<FlashVl>::precompute_isIdeal();
template void StreamTwo<FlashVlT>::precompute_isIdeal();
template void StreamTwo<FlashVlTx>::precompute_isIdeal();
