#include "velta/phases/ActivityInterface.h"

#include "velta/components/ListComponents.h"

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

} // namespace Phase::Activity
