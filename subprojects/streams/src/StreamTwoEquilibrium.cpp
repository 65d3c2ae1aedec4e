// The phase-equilibrium residuals of the two-phase streams and their
// estimate: the Rachford-Rice residual of the split and, when the K-values
// are unknowns, one residual per component
//   solid:      K_i                       (drives K_i to zero)
//   ideal:      ln K_i - ln K_i(T, P)     (the component's own ratio)
//   otherwise:  ln K_i + ln phiV_i - ln phiL_i   (y phiV = x phiL)
// In the liquid-liquid flash a vanished side (sum z/K < 1 or sum K z < 1)
// shifts the K-value residuals by ln of its pseudo vapour pressure, so
// that the Newton iteration finds the single-phase state.

#include "velta/streams/StreamTwo.h"

#include "velta/components/ComponentGeneric.h"
#include "velta/components/ListComponents.h"
#include "velta/phases/Generic.h"
#include "velta/phases/MassMolarProperties.h"
#include "velta/utility/Error.h"
#include "velta/utility/SharedEnumerations.h"
#include "velta/value/Constants.h"

using Velta::Utility::FlashMode;
using Velta::Utility::flashModeName;

namespace {

constexpr double epsilon = 2.220446049250313e-16;

// ln K with the derivatives of ln K and the value 0.
Value derivativesOnly(const Value &lnK) {
  return Value(lnK.activeValue().derivativePart(), dimensionless);
}

} // namespace

template <class F> Vector StreamTwo<F>::feed() { return Vector(&TphaseProperties_->x); }

template <class F>
int StreamTwo<F>::calculateResidualsEquilibrium(std::vector<Value> &residuals, unsigned first) {
  const std::string name = qualified("calculateResidualsEquilibrium");
  VELTA_TRACE_BEGIN
  VELTA_LOG(streamVerbosity(), 1, name.c_str(),
            "Entered with isIdeal = " << (isIdeal ? "true" : "false"));
  residuals[first] = this->calculateResidualsRrg();
  if constexpr (!compositionDependent) {
    return 1;
  } else {
    const int v = this->vaporIndex_, l = this->liquidIndex_;
    VphaseGeneric_->model().preparefugacity(FlashBase::P, FlashBase::T, this->X(v),
                                            this->sumx(v));
    LphaseGeneric_->model().preparefugacity(FlashBase::P, FlashBase::T, this->X(l),
                                            this->sumx(l));
    std::vector<Value> &K = this->kVL_;
    for (int i = 0; i < NCOMPONENTS; ++i) {
      const std::size_t k = static_cast<std::size_t>(i);
      Value &r = residuals[first + 1 + k];
      if (components[i]->isSolid()) {
        r = K[k];
        VELTA_LOG(streamVerbosity(), 2, name.c_str(), "kvl_solid(" << i << ") = " << r);
      } else if (isIdeal) {
        const Value ideal = components[i]->kvli(FlashBase::T, FlashBase::P);
        r = log(K[k]) - log(ideal);
        VELTA_LOG(streamVerbosity(), 2, name.c_str(),
                  "kvl(" << i << ") = " << K[k] << " kvl ideal (" << i << ") = " << ideal);
      } else {
        const Value &lnphiV = VphaseGeneric_->model().fugacity(i);
        const Value &lnphiL = LphaseGeneric_->model().fugacity(i);
        r = log(K[k]) + lnphiV - lnphiL;
        VELTA_LOG(streamVerbosity(), 2, name.c_str(),
                  "kvl(" << i << ") = " << K[k] << " log(kvl(" << i << ")) = " << log(K[k])
                         << " log(phiv) = " << lnphiV << " log(phil) = " << lnphiL
                         << " residual = " << r);
      }
    }
    if constexpr (liquidLiquid) {
      // The side whose sum falls below 1 has vanished; c_i takes the
      // derivatives of ln K_i when that side is pure component i, so that
      // its residual keeps a slope in K_i.
      auto correct = [&](const Value &sum, const std::vector<Value> &side, double sign,
                         const char *what) {
        const Value pseudoVaporPressure = dimensionlessOne / sum;
        VELTA_LOG(streamVerbosity(), 2, name.c_str(),
                  what << pseudoVaporPressure.activeValue().toString());
        const Value lnPseudo = log(pseudoVaporPressure);
        for (int i = 0; i < NCOMPONENTS; ++i) {
          const std::size_t k = static_cast<std::size_t>(i);
          Value c = sign * lnPseudo * side[k];
          if (1.0 - side[k].value() < epsilon)
            c += derivativesOnly(log(K[k]));
          residuals[first + 1 + k] += c;
          VELTA_LOG(streamVerbosity(), 2, name.c_str(),
                    "correction for " << i + 1 << "-th residual: " << c.activeValue().toString());
        }
      };
      if (this->zk_.value() < 1.0)
        correct(this->zk_, this->y, -1.0, "Liquid phase has disappeared, pseudoVaporPressure = ");
      if (this->kz_.value() < 1.0)
        correct(this->kz_, this->x, 1.0, "Vapor phase has disappeared, pseudoVaporPressure = ");
    }
    return NCOMPONENTS + 1;
  }
  VELTA_TRACE_END(name.c_str())
}

template <class F> void StreamTwo<F>::estimateEquilibrium(const Value &Pe, const Value &Te) {
  const std::string name = qualified("estimateEquilibrium");
  VELTA_TRACE_BEGIN
  VELTA_LOG(streamVerbosity(), 1, name.c_str(), "Entered with fm = " << flashModeName(mode));
  if (mode == static_cast<int>(FlashMode::PA) || mode == static_cast<int>(FlashMode::SA)) {
    this->alfa = Vphase->fraction;
  } else {
    this->fillkvl(Pe, Te, true);
    this->computealfaminmax(feed());
    this->centeralfa();
  }
  this->calculateSplit(feed());
  VELTA_LOG(streamVerbosity(), 2, name.c_str(), "Done estimating alfa = " << this->alfa);
  VELTA_TRACE_END(name.c_str())
}

#define VELTA_STREAMTWO_EQUILIBRIUM(F)                                                             \
  template Vector StreamTwo<F>::feed();                                                            \
  template int StreamTwo<F>::calculateResidualsEquilibrium(std::vector<Value> &, unsigned);        \
  template void StreamTwo<F>::estimateEquilibrium(const Value &, const Value &);

VELTA_STREAMTWO_EQUILIBRIUM(FlashVl)
VELTA_STREAMTWO_EQUILIBRIUM(FlashVlT)
VELTA_STREAMTWO_EQUILIBRIUM(FlashVlTx)
VELTA_STREAMTWO_EQUILIBRIUM(FlashLlTx)
