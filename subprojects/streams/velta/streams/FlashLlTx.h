#pragma once
// The liquid-liquid form of FlashVlTx: its two sides are two liquid phases,
// its initial K-values come from kllEstimates (1 for a component without an
// entry), and it accepts only the PT flash.

#include "velta/streams/FlashVlTx.h"

#include <map>

// Initial liquid-liquid K-values by component index, filled by code that
// builds a model before the flash is estimated; only read here.
extern std::map<int, double> kllEstimates;

class FlashLlTx : public FlashVlTx {
public:
  FlashLlTx();
  ~FlashLlTx() override;

  void fillkvl(const Value &P, const Value &T, bool all) override;
  // PT only: any other mode throws ErrorSmartEnum from "FlashLlTx::setFlash_"
  // and leaves the mode as it was.
  void setFlash_(int fm, const Value &s1, const Value &s2, bool strict) override;
};
