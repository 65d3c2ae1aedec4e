#include "velta/phases/ActivityInterface.h"

#include "velta/components/ListComponents.h"
#include "velta/value/Constants.h"

namespace Phase::Activity {

Interface::Interface()
    : gamma_(static_cast<std::size_t>(NCOMPONENTS > 0 ? NCOMPONENTS : 0)), HE_(0.0, "J/kmol"),
      CpE_(0.0, "J/kmol/K"), SE_(0.0, "J/kmol/K") {}

Interface::~Interface() = default;

const Value &Interface::setT(const Value &T) {
  T_ = T.activeValue();
  Tvalue_ = T;
  return Tvalue_;
}

void Interface::excessFromGibbs() {
  hE_ = -T_ * dgEdT_;
  sE_ = (hE_ - gE_) / T_;
  cpE_ = -2.0 * dgEdT_ - T_ * d2gEdT2_;
  HE_ = gasConstant * Tvalue_ * hE_;
  SE_ = gasConstant * T_ * sE_;
  CpE_ = gasConstant * T_ * cpE_;
}

} // namespace Phase::Activity
