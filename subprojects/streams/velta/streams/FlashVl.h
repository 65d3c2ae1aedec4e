#pragma once
// The vapour-liquid flash: splits a feed of total mole fractions z into a
// vapour side (y) and a liquid side (x) with the vapour fraction alfa, an
// extra unknown of the flash, given one K-value per component (kVL_,
// vapour over liquid). The Rachford-Rice residual sum(y - x) is corrected
// so that the Newton iteration stays meaningful for an all-vapour or
// all-liquid feed (single-phase corrections from sum z/K and sum K z), when
// every K-value is 1 (slope 1 in alfa), and beyond the bounds of alfa
// (quadratic penalties).
//
// The owning stream sets vaporIndex_ and liquidIndex_ (the PhaseIndex of
// its two sides) in its constructor and, in each residual evaluation, calls
// prepare_Flash_residuals (K-values), calculateSplit with the feed, then
// prepares its phases with X of each side, and writes
// calculateResidualsRrg as its first equilibrium residual. For an estimate:
// fillkvl (all components), computealfaminmax, centeralfa, calculateSplit.
//
// kVL_, x and y hold one entry per component of the list at construction:
// the component list must not change afterwards.

#include "velta/streams/Flash.h"

#include <vector>

class FlashVl : public Flash {
public:
  FlashVl();
  ~FlashVl() override;

  // K-values at P and T for every component (all) or only for those present
  // on either side; nothing here (a stream that uses FlashVl directly fills
  // kVL_ itself).
  virtual void fillkvl(const Value &P, const Value &T, bool all);

  // x, y, the sums and the bounds of alfa for the feed z at the current
  // alfa and K-values, with the derivatives of all three.
  void calculateSplit(Vector z);
  // Bounds of alfa between which the Rachford-Rice function has its root.
  void computealfaminmax(Vector z);
  // The corrected Rachford-Rice residual.
  Value calculateResidualsRrg();
  // alfa into [0, 1], keeping its derivatives.
  void hardclipalfa(Value &v);
  // alfa in the middle of its bounds, without derivatives.
  void centeralfa();
  // alfa taken from a phase that holds a solved state, with its clipped
  // copy, so that the fractions the flash reports are that state's before
  // the next split is calculated.
  void takeAlfa(const Value &fraction);
  Value *zk() { return &zk_; }
  Value *kz() { return &kz_; }

  // --- FlashBase
  void addUnknowns(std::vector<Value *> unknowns, std::vector<const double *> lower,
                   std::vector<const double *> upper) override;
  void estimate(const Value &P, const Value &T) override;
  // alfa (or its clipped copy) for the vapour side, 1 - that for the liquid
  // side, 0 for any other PhaseIndex.
  const Value &Fraction(int phaseIndex, bool clipped) override;
  // y for the vapour side, x for every other PhaseIndex.
  Vector X(int phaseIndex) override;
  const Value &sumx(int phaseIndex) override;

  Value alfa;
  std::vector<Value> kVL_;
  int vaporIndex_ = 0;
  int liquidIndex_ = 0;
  std::vector<Value> x;
  std::vector<Value> y;

  double alfamin() const { return alfamin_; }
  double alfamax() const { return alfamax_; }

protected:
  Value zk_;
  Value kz_;
  Value den_;
  double alfamin_ = 0.0;
  double alfamax_ = 1.0;
  Value oneMinusAlfa_;
  Value sumy_;
  Value alfaClipped_;
};
