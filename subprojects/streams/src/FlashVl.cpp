#include "velta/streams/FlashVl.h"

#include "velta/components/ListComponents.h"
#include "velta/utility/Error.h"
#include "velta/utility/SharedEnumerations.h"
#include "velta/value/Constants.h"

#include <algorithm>
#include <cmath>

using Velta::Utility::FlashMode;
using Velta::Utility::ScalingMode;

namespace {

constexpr double epsilon = 2.220446049250313e-16;

} // namespace

FlashVl::FlashVl()
    : alfa(0.5), kVL_(static_cast<std::size_t>(std::max(NCOMPONENTS, 0)), Value(1.0)),
      x(kVL_.size(), Value(0.0)), y(kVL_.size(), Value(0.0)), zk_(0.0), kz_(0.0), den_(0.0),
      oneMinusAlfa_(0.5), sumy_(0.0), alfaClipped_(0.5) {
  setName("FlashVl");
}

FlashVl::~FlashVl() = default;

void FlashVl::fillkvl(const Value &, const Value &, bool) {}

void FlashVl::computealfaminmax(Vector z) {
  static const char *const name = "FlashVl::computealfaminmax";
  VELTA_TRACE_BEGIN
  VELTA_LOG(flashVerbosity(), 1, name, "Entered");
  alfamin_ = 0.0;
  alfamax_ = 1.0;
  for (int i = 0; i < NCOMPONENTS; ++i) {
    const double zi = std::min(z[i].value(), 1.0);
    if (!(zi > 0.0))
      continue;
    const double K = kVL_[static_cast<std::size_t>(i)].value();
    VELTA_LOG(flashVerbosity(), 2, name,
              "Tphase->x[" << i << "] = " << zi << " kVL_[" << i << "] = " << K
                           << " alfamax &> " << (zi - 1.0) / (K - 1.0) << " alfamin &< "
                           << (K * zi - 1.0) / (K - 1.0));
    if (K < 1.0) {
      const double v = (zi - 1.0) / (K - 1.0);
      if (v < alfamax_)
        alfamax_ = v;
    } else {
      const double v = (K * zi - 1.0) / (K - 1.0);
      if (v > alfamin_)
        alfamin_ = v;
    }
  }
  if (std::isnan(alfamin_))
    alfamin_ = 0.0;
  if (std::isnan(alfamax_))
    alfamax_ = 1.0;
  if (alfamax_ < alfamin_)
    VELTA_LOG(flashVerbosity(), 2, name,
              "inconsistency: alfamin_ = " << alfamin_ << " should be <= alfamax_ = " << alfamax_);
  alfamax_ = std::clamp(alfamax_, 0.0, 1.0);
  alfamin_ = std::clamp(alfamin_, 0.0, 1.0);
  if (alfamax_ - alfamin_ < 1e4 * epsilon) {
    const double oldMax = alfamax_;
    alfamin_ = std::min(alfamin_, alfamax_) - 5e3 * epsilon;
    alfamax_ = std::max(oldMax, alfamin_) + 5e3 * epsilon;
  }
  VELTA_LOG(flashVerbosity(), 2, name, "alfamin = " << alfamin_ << " alfamax = " << alfamax_);
  VELTA_TRACE_END(name)
}

void FlashVl::hardclipalfa(Value &v) {
  static const char *const name = "FlashVl::hardclipalfa";
  VELTA_TRACE_BEGIN
  VELTA_LOG(flashVerbosity(), 1, name, "Entered with alfa = " << v);
  if (v.value() < 0.0)
    v.activeValue().value() = 0.0;
  else if (v.value() > 1.0)
    v.activeValue().value() = 1.0;
  VELTA_LOG(flashVerbosity(), 2, name, "alfa = " << v << " in [0, 1]");
  VELTA_TRACE_END(name)
}

void FlashVl::calculateSplit(Vector z) {
  static const char *const name = "FlashVl::calculateSplit";
  VELTA_LOG(flashVerbosity(), 1, name, "Entered with alfa = " << alfa);
  kz_.setZero();
  zk_.setZero();
  sumx_.setZero();
  sumy_.setZero();
  computealfaminmax(z);
  alfaClipped_ = alfa;
  hardclipalfa(alfaClipped_);
  VELTA_LOG(flashVerbosity(), 2, name, "alfaClipped_ = " << alfaClipped_);
  const bool pa = mode == static_cast<int>(FlashMode::PA);
  for (int i = 0; i < NCOMPONENTS; ++i) {
    const std::size_t k = static_cast<std::size_t>(i);
    const Value &zi = z[i];
    const Value &K = kVL_[k];
    if (zi.value() > 0.0 && K.value() > 0.0) {
      // The absolute value keeps a liquid-side fraction positive when alfa
      // leaves [0, 1]; near the liquid with K >= 1 the plain form suffices.
      if (alfa.value() > 0.5 || K.value() < 1.0)
        den_ = fabs(alfa * K + (1.0 - alfa));
      else
        den_ = 1.0 + alfa * (K - 1.0);
      VELTA_LOG(flashVerbosity(), 2, name, "den_ = " << den_);
      x[k] = zi / den_;
      y[k] = K * x[k];
      if (!pa) {
        kz_ += K * zi;
        zk_ += zi / K;
      }
    } else if (zi.value() > 0.0) {
      // A component that does not enter the vapour side.
      y[k] = 0.0;
      x[k] = zi / ((1.0 - alfa) + epsilon);
      if (!pa) {
        kz_ += K * zi;
        zk_ += zi / (K + epsilon);
      }
    } else {
      x[k] = 0.0;
      y[k] = 0.0;
    }
    if (zi.value() > 0.0) {
      sumx_ += x[k];
      sumy_ += y[k];
    }
    VELTA_LOG(flashVerbosity(), 2, name,
              "z[" << i << "] = " << zi << " y[" << i << "] = " << y[k] << " x[" << i
                   << "] = " << x[k]);
  }
}

Value FlashVl::calculateResidualsRrg() {
  static const char *const name = "FlashVl::calculateResidualsRrg";
  Value res(0.0);
  VELTA_LOG(flashVerbosity(), 1, name,
            "Entered with vapor fraction in the fluid phases = " << alfa);
  bool split = false;
  for (int i = 0; i < NCOMPONENTS; ++i) {
    const std::size_t k = static_cast<std::size_t>(i);
    if (x[k].value() + y[k].value() <= 0.0)
      continue;
    if (kVL_[k].value() <= 0.0) {
      res -= x[k];
    } else {
      VELTA_LOG(flashVerbosity(), 2, name, "y[" << i << "] " << y[k] << " x[" << i << "] = " << x[k]);
      res += y[k] - x[k];
      split = split || std::fabs(kVL_[k].value() - 1.0) > std::sqrt(epsilon);
    }
  }
  if (mode == static_cast<int>(FlashMode::PA))
    return res;
  VELTA_LOG(flashVerbosity(), 2, name, "zk_ " << zk_ << " kz_ = " << kz_);
  VELTA_LOG(flashVerbosity(), 2, name, "1-zk_ " << (1.0 - zk_) << " kz_-1 = " << (kz_ - 1.0));
  VELTA_LOG(flashVerbosity(), 2, name, "res = " << res);
  if (zk_.value() <= 1.0 && kz_.value() > 1.0) {
    VELTA_LOG(flashVerbosity(), 2, name,
              "subtract correction " << (1.0 - zk_) << " since vapor-only");
    res -= 1.0 - zk_;
  } else if (kz_.value() <= 1.0 && zk_.value() > 1.0) {
    VELTA_LOG(flashVerbosity(), 2, name,
              "subtract correction " << (kz_ - 1.0) << " since liquid-only");
    res -= kz_ - 1.0;
  }
  if (!split)
    // Keeps the residual's value but gives it slope 1 in alfa, so that the
    // Jacobian stays regular when every K-value is 1.
    res += Value(alfa.activeValue().derivativePart(), dimensionless);
  // Between 0 and 1 every denominator is positive and sum(y - x) falls
  // with alfa, so a root there is the only one and a valid split. The pull
  // back acts only beyond [0, 1]: the narrower bounds where no fraction
  // exceeds 1 sit on the root itself for an almost pure feed, and there they
  // switch on and off with the last digits of T.
  const double lower = std::min(alfamin_, 0.0), upper = std::max(alfamax_, 1.0);
  const double r = std::fabs(res.value());
  if (alfa.value() > upper) {
    const Value d = alfa - upper;
    res -= (1.0 + r) * d * d;
    VELTA_LOG(flashVerbosity(), 2, name,
              "alfa = " << alfa << " > alfamax = " << upper
                        << ", negative correction set residual to " << res);
  } else if (alfa.value() < lower) {
    const Value d = lower - alfa;
    res += (1.0 + r) * d * d;
    VELTA_LOG(flashVerbosity(), 2, name,
              "alfa = " << alfa << " < alfamin = " << lower
                        << ", positive correction set residual to " << res);
  }
  VELTA_LOG(flashVerbosity(), 2, name, "res = " << res);
  return res;
}

void FlashVl::centeralfa() { alfa = Value((alfamin_ + alfamax_) * 0.5); }

void FlashVl::takeAlfa(const Value &fraction) {
  alfa = fraction;
  alfaClipped_ = fraction;
  hardclipalfa(alfaClipped_);
}

// ---------------------------------------------------------------- FlashBase

void FlashVl::addUnknowns(std::vector<Value *> unknowns, std::vector<const double *> lower,
                          std::vector<const double *> upper) {
  const int n = static_cast<int>(unknowns.size());
  Flash::addUnknowns(std::move(unknowns), std::move(lower), std::move(upper));
  addUnknown(&alfa, Scaler(ScalingMode::arctangent, 0.0, 1.0, 1.0, 100.0), "alfa");
  solver_.resize(n + 3);
}

void FlashVl::estimate(const Value &P, const Value &T) {
  static const char *const name = "FlashVl::estimate";
  VELTA_TRACE_BEGIN
  VELTA_LOG(flashVerbosity(), 1, name, "Entered");
  fillkvl(P, T, true);
  Flash::estimate(P, T);
  VELTA_LOG(flashVerbosity(), 2, name, "Done");
  VELTA_TRACE_END(name)
}

const Value &FlashVl::Fraction(int phaseIndex, bool clipped) {
  VELTA_LOG(flashVerbosity(), 1, "FlashVl::Fraction", "Entered");
  if (phaseIndex == vaporIndex_) {
    VELTA_LOG(flashVerbosity(), 2, "FlashVl::Fraction", "Fraction = " << alfa);
    return clipped ? alfaClipped_ : alfa;
  }
  if (phaseIndex == liquidIndex_) {
    oneMinusAlfa_ = 1.0 - (clipped ? alfaClipped_ : alfa);
    VELTA_LOG(flashVerbosity(), 2, "FlashVl::Fraction", "Fraction = " << oneMinusAlfa_);
    return oneMinusAlfa_;
  }
  return dimensionlessZero;
}

Vector FlashVl::X(int phaseIndex) { return Vector(phaseIndex == vaporIndex_ ? &y : &x); }

const Value &FlashVl::sumx(int phaseIndex) {
  if (phaseIndex == vaporIndex_)
    return sumy_;
  if (phaseIndex == liquidIndex_)
    return sumx_;
  return dimensionlessZero;
}
