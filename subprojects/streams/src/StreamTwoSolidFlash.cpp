// The flash side of the solid-bearing streams: the inert-solid split before
// every residual evaluation and estimate, the equilibrium residuals of the
// fluid (Rachford-Rice, and for StreamSolidVlTx one K-value residual per
// component, K_i itself for a solid), the estimates and the ideal
// pre-solve of StreamSolidVlTx.

#include "velta/streams/StreamTwoSolid.h"

#include "velta/components/ComponentGeneric.h"
#include "velta/components/ListComponents.h"
#include "velta/phases/Generic.h"
#include "velta/phases/MassMolarProperties.h"
#include "velta/utility/Error.h"
#include "velta/utility/SharedEnumerations.h"
#include "velta/value/Constants.h"

#include <cmath>

using Velta::Utility::FlashMode;
using Velta::Utility::flashModeName;

namespace {

constexpr double flowThreshold = 100.0 * 2.220446049250313e-16;

bool fractionMode(int mode) {
  return mode == static_cast<int>(FlashMode::PA) || mode == static_cast<int>(FlashMode::SA);
}

} // namespace

template <class F> void StreamTwoSolid<F>::splitInertSolids() {
  this->calculateInertSolids(TphaseProperties_->x, Sphase->fracs(), Vector(&fluidx_),
                             Sphase->fraction, fluidFraction_);
}

template <class F> void StreamTwoSolid<F>::prepare_residuals() {
  const std::string name = qualified("prepare_residuals");
  VELTA_TRACE_BEGIN
  VELTA_LOG(streamVerbosity(), 1, name.c_str(), "Entered for " << fullTag());
  this->prepare_Flash_residuals();
  splitInertSolids();
  VELTA_LOG(streamVerbosity(), 2, name.c_str(),
            "fluidFraction_ = " << fluidFraction_ << " Solid fraction = " << Sphase->fraction);
  const Value &ff = fluidFraction_;
  this->oneMinusAlfa_ = 1.0 - this->alfa;
  this->calculateSplit(Vector(&fluidx_));
  // After the split, which clips alfa: the clipped fractions belong to
  // this alfa, not to the previous evaluation's.
  vaporFraction_ = this->alfa * ff;
  vaporFractionClipped_ = this->alfaClipped_ * ff;
  liquidFraction_ = (1.0 - this->alfa) * ff;
  liquidFractionClipped_ = (1.0 - this->alfaClipped_) * ff;
  this->sumx_ = Vector(&this->x).sum();
  this->sumy_ = Vector(&this->y).sum();
  VELTA_LOG(streamVerbosity(), 2, name.c_str(),
            "Now prepare residuals for phase " << Vphase->fullTag());
  VphaseGeneric_->model().prepare(FlashBase::T, Vector(&this->y));
  VELTA_LOG(streamVerbosity(), 2, name.c_str(),
            "Now prepare residuals for phase " << Lphase->fullTag());
  LphaseGeneric_->model().prepare(FlashBase::T, Vector(&this->x));
  VELTA_LOG(streamVerbosity(), 2, name.c_str(),
            "Now prepare residuals for phase " << Sphase->fullTag());
  SphaseGeneric_->model().prepare(FlashBase::T, Vector(&Sphase->fracs()));
  VELTA_TRACE_END(name.c_str())
}

template <class F>
int StreamTwoSolid<F>::calculateResidualsEquilibrium(std::vector<Value> &residuals,
                                                     unsigned first) {
  const std::string name = qualified("calculateResidualsEquilibrium");
  VELTA_TRACE_BEGIN
  VELTA_LOG(streamVerbosity(), 1, name.c_str(),
            "Entered with isIdeal = " << (isIdeal ? "true" : "false"));
  if (fluidFraction_.value() > 0.0)
    residuals[first] = this->calculateResidualsRrg();
  else
    // No fluid: the row of alfa, so that the Newton step leaves it alone.
    residuals[first] =
        dimensionlessZero + Value(this->alfa.activeValue().derivativePart(), dimensionless);
  if constexpr (!compositionDependent) {
    return 1;
  } else {
    const int v = this->vaporIndex_, l = this->liquidIndex_;
    VphaseGeneric_->model().preparefugacity(FlashBase::P, FlashBase::T, X(v), this->sumx(v));
    LphaseGeneric_->model().preparefugacity(FlashBase::P, FlashBase::T, X(l), this->sumx(l));
    std::vector<Value> &K = this->kVL_;
    for (int i = 0; i < NCOMPONENTS; ++i) {
      const std::size_t k = static_cast<std::size_t>(i);
      Value &r = residuals[first + 1 + k];
      if (components[i]->isSolid()) {
        VELTA_LOG(streamVerbosity(), 2, name.c_str(), "kvl_solid(" << i << ") = " << K[k]);
        r = K[k];
      } else if (isIdeal) {
        const Value ideal = components[i]->kvli(FlashBase::T, FlashBase::P);
        VELTA_LOG(streamVerbosity(), 2, name.c_str(), "kvl(" << i << ") = " << K[k]);
        VELTA_LOG(streamVerbosity(), 2, name.c_str(), "kvl ideal (" << i << ") = " << ideal);
        r = log(K[k]) - log(ideal);
      } else {
        const Value &lnphiV = VphaseGeneric_->model().fugacity(i);
        const Value &lnphiL = LphaseGeneric_->model().fugacity(i);
        r = log(K[k]) + lnphiV - lnphiL;
        VELTA_LOG(streamVerbosity(), 2, name.c_str(), "log(kvl(" << i << ")) = " << log(K[k]));
        VELTA_LOG(streamVerbosity(), 2, name.c_str(), "log(phiv) = " << lnphiV);
        VELTA_LOG(streamVerbosity(), 2, name.c_str(), "log(phil) = " << lnphiL);
        VELTA_LOG(streamVerbosity(), 2, name.c_str(), "numerator = " << r);
        VELTA_LOG(streamVerbosity(), 2, name.c_str(),
                  "denominator = " << ((1.0 + K[k]) + exp(lnphiL - lnphiV)));
      }
    }
    return NCOMPONENTS + 1;
  }
  VELTA_TRACE_END(name.c_str())
}

template <class F> void StreamTwoSolid<F>::estimateEquilibrium(const Value &Pe, const Value &Te) {
  const std::string name = qualified("estimateEquilibrium");
  VELTA_TRACE_BEGIN
  const Value &V = Vphase->fraction, &L = Lphase->fraction, &S = Sphase->fraction;
  VELTA_LOG(streamVerbosity(), 1, name.c_str(),
            "Entered with fm = " << flashModeName(mode) << " Vphase->fraction = " << V
                                 << " Lphase->fraction = " << L << " Sphase->fraction = " << S);
  if (fractionMode(mode)) {
    this->alfa = fluidAlfa(V, L, S);
  } else {
    this->fillkvl(Pe, Te, true);
    this->computealfaminmax(Vector(&TphaseProperties_->x));
    this->centeralfa();
  }
  splitInertSolids();
  this->calculateSplit(Vector(&fluidx_));
  VELTA_LOG(streamVerbosity(), 2, name.c_str(), "Done estimating alfa = " << this->alfa);
  VELTA_TRACE_END(name.c_str())
}

template <class F> void StreamTwoSolid<F>::estimateFlash() {
  const std::string name = qualified("estimateFlash");
  VELTA_TRACE_BEGIN
  VELTA_LOG(streamVerbosity(), 1, name.c_str(), "Entered for " << fullTag());
  std::vector<Quantity> &vapor = Vphase->fracs();
  std::vector<Quantity> &liquid = Lphase->fracs();
  for (std::size_t i = 0; i < this->y.size(); ++i) {
    this->y[i] = vapor[i];
    this->x[i] = liquid[i];
  }
  this->sumx_ = Vector(&this->x).sum();
  this->sumy_ = Vector(&this->y).sum();
  VphaseGeneric_->model().prepare(FlashBase::T, Vector(&this->y));
  LphaseGeneric_->model().prepare(FlashBase::T, Vector(&this->x));
  const bool fugacities = compositionDependent && !isIdeal;
  if (fugacities) {
    VELTA_LOG(streamVerbosity(), 2, name.c_str(), "Estimating as a non-ideal FlashVlTx");
    const int v = this->vaporIndex_, l = this->liquidIndex_;
    VphaseGeneric_->model().preparefugacity(FlashBase::P, FlashBase::T, X(v), this->sumx(v));
    LphaseGeneric_->model().preparefugacity(FlashBase::P, FlashBase::T, X(l), this->sumx(l));
  } else {
    VELTA_LOG(streamVerbosity(), 2, name.c_str(),
              (compositionDependent ? "Estimating as an ideal FlashVlTx"
                                    : "Estimating as a FlashVlT"));
  }
  for (int i = 0; i < NCOMPONENTS; ++i) {
    const std::size_t k = static_cast<std::size_t>(i);
    if (components[i]->isSolid())
      this->kVL_[k] = Value(1e-100);
    else if (fugacities)
      this->kVL_[k] =
          exp(LphaseGeneric_->model().fugacity(i) - VphaseGeneric_->model().fugacity(i));
    else
      this->kVL_[k] = components[i]->kvli(FlashBase::T, FlashBase::P);
  }
  VELTA_LOG(streamVerbosity(), 2, name.c_str(), "Setting alfa_");
  const Value &V = Vphase->fraction, &L = Lphase->fraction, &S = Sphase->fraction;
  vaporFraction_ = V;
  vaporFractionClipped_ = V;
  liquidFraction_ = L;
  liquidFractionClipped_ = L;
  this->alfa = fluidAlfa(V, L, S);
  Stream::updateFlash();
  VELTA_TRACE_END(name.c_str())
}

template <class F> void StreamTwoSolid<F>::precompute_isIdeal() {
  const std::string name = qualified("precompute_isIdeal");
  VELTA_LOG(streamVerbosity(), 1, name.c_str(), "Entered");
  if (!isIdeal) {
    isIdeal = true;
    try {
      this->solveFlash(false, std::fabs(Tphase->totalFlow().value()) <= flowThreshold);
    } catch (...) {
      // Later solves use the fugacities whatever happened here.
      isIdeal = false;
      throw;
    }
    isIdeal = false;
  }
  VELTA_LOG(streamVerbosity(), 2, name.c_str(), "Done");
}

#define VELTA_STREAMTWOSOLID_FLASH(F)                                                              \
  template void StreamTwoSolid<F>::splitInertSolids();                                             \
  template void StreamTwoSolid<F>::prepare_residuals();                                            \
  template int StreamTwoSolid<F>::calculateResidualsEquilibrium(std::vector<Value> &, unsigned);   \
  template void StreamTwoSolid<F>::estimateEquilibrium(const Value &, const Value &);              \
  template void StreamTwoSolid<F>::estimateFlash();                                                \
  template void StreamTwoSolid<F>::precompute_isIdeal();

VELTA_STREAMTWOSOLID_FLASH(FlashVlT)
VELTA_STREAMTWOSOLID_FLASH(FlashVlTx)
