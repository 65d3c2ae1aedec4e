#include "velta/streams/FlashVlTx.h"

#include "velta/components/ComponentGeneric.h"
#include "velta/components/ListComponents.h"

using Velta::Utility::ScalingMode;

FlashVlTx::FlashVlTx() {
  isIdeal = false;
  setName("FlashVlTx");
}

FlashVlTx::~FlashVlTx() = default;

void FlashVlTx::prepare_Flash_residuals() {
  VELTA_LOG(flashVerbosity(), 1, "FlashVlTx::prepare_Flash_residuals", "Entered");
}

void FlashVlTx::addUnknowns(std::vector<Value *> unknowns, std::vector<const double *> lower,
                            std::vector<const double *> upper) {
  const int n = static_cast<int>(unknowns.size());
  FlashVl::addUnknowns(std::move(unknowns), std::move(lower), std::move(upper));
  for (int i = 0; i < NCOMPONENTS; ++i)
    addUnknown(&kVL_[static_cast<std::size_t>(i)],
               Scaler(ScalingMode::log, 1.0, 100.0, 1.0, 10.0),
               "kVL[" + components[i]->name() + "]");
  solver_.resize(n + NCOMPONENTS + 3);
}
