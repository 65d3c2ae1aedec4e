#pragma once
// The vapour-liquid flash with K-values from each component's own
// correlation at the flash T and P (ComponentGeneric::kvli), refreshed
// before every residual evaluation, and the two modes that fix the vapour
// fraction: PA (P and alfa) and SA (S and alfa). In PA the flash-mode
// residual is alfaset - alfa and the pressure residual P against Pset_; in
// SA the flash-mode residual is the same and the entropy residual takes the
// place of the pressure residual.

#include "velta/streams/FlashVl.h"

class FlashVlT : public FlashVl {
public:
  FlashVlT();
  ~FlashVlT() override;

  Value calculateResidualsFlashMode() override;
  void fillkvl(const Value &P, const Value &T, bool all) override;
  // K-values of every component outside PT, of the present ones in PT.
  void prepare_Flash_residuals() override;
  // Flash's set points, plus PA (s1 a pressure, s2 dimensionless) and SA
  // (s1 a molar entropy, s2 dimensionless); strict is ignored.
  void setFlash_(int fm, const Value &s1, const Value &s2, bool strict) override;

  // The vapour-fraction set point of PA and SA.
  Value alfaset;
};
