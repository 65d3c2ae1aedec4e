#pragma once
// The vapour-liquid flash whose K-values are unknowns of the flash
// ("kVL[" + component name + "]", after alfa), so that they may depend on
// composition: the owning stream writes one residual per component that
// fixes each K-value (ideally or by equal fugacities). The K-values start
// from the correlation at the estimate and then belong to the solver.

#include "velta/streams/FlashVlT.h"

class FlashVlTx : public FlashVlT {
public:
  FlashVlTx();
  ~FlashVlTx() override;

  // Nothing: the K-values are the solver's.
  void prepare_Flash_residuals() override;
  void addUnknowns(std::vector<Value *> unknowns, std::vector<const double *> lower,
                   std::vector<const double *> upper) override;
};
