#pragma once
// The vapour-liquid streams with an inert solid phase: a total phase
// "Tphase", a vapour phase "Vphase" and a liquid phase "Lphase" of the
// types named by "embeddedTypePhase[0]" and "embeddedTypePhase[1]", and an
// ideal solid phase "Sphase", over the flash class F:
//
//   StreamTwoSolid<FlashVlT>   "StreamSolidVlT"   K-values from (T, P)
//   StreamTwoSolid<FlashVlTx>  "StreamSolidVlTx"  K-values unknowns
//
// Solid components go wholly into Sphase; the rest, the fluid, is split by
// the Rachford-Rice flash, whose alfa is the vapour fraction of the fluid
// alone. Fraction and the phases' "fraction" variables are on the basis of
// the whole stream: V + L + S = 1.
//
// The flash operations (split, residuals, estimates) live in
// StreamTwoSolidFlash.cpp.

#include "velta/persistency/String.h"
#include "velta/streams/FlashVlT.h"
#include "velta/streams/FlashVlTx.h"
#include "velta/streams/Stream.h"

#include <memory>
#include <string>
#include <type_traits>
#include <vector>

namespace Phase {
class Generic;
class MassMolarProperties;
} // namespace Phase

template <class F> class StreamTwoSolid : public Stream, public F {
public:
  StreamTwoSolid(Defaults defaults, int id, Persistency *persistency, Node *parent, Node *root);
  ~StreamTwoSolid() override;

  static const char *typeName();
  static const char *flashName();

  // --- Stream
  void precompute_isIdeal() override;
  Stream &assign(const Stream &other) override;
  Stream &assignFrom(const Stream &other) override;
  MassBalanceMode representation() const override { return MassBalanceMode::Nx; }
  // PA and SA take the set point from Vphase's fraction (whole stream).
  void setFlash(int fm) override;
  void estimateFlash() override;
  void updateFlash() override;

  // --- Model
  std::unique_ptr<Node> clone() const override;
  ObjectiveNleAd *objectiveFunction() override { return this; }
  void initializeNonPersistents() override;
  void initializeNonPersistentsCommon();

  // --- FlashBase
  void prepare_residuals() override;
  int calculateResidualsEquilibrium(std::vector<Value> &y, unsigned start) override;
  void estimateEquilibrium(const Value &P, const Value &T) override;
  // Whole-stream fractions: Vphase, Lphase, Sphase's own, zero otherwise.
  const Value &Fraction(int phaseIndex, bool clipped) override;
  // y, x or Sphase's composition; ErrorBrowsing for any other index.
  Vector X(int phaseIndex) override;

  Value fluidFraction_;
  Value vaporFraction_;
  Value vaporFractionClipped_;
  Value liquidFraction_;
  Value liquidFractionClipped_;
  std::vector<Value> fluidx_;
  // Not owned: views of the children.
  Phase::MassMolarProperties *TphaseProperties_ = nullptr;
  Phase::Generic *VphaseGeneric_ = nullptr;
  Phase::Generic *LphaseGeneric_ = nullptr;
  Phase::Generic *SphaseGeneric_ = nullptr;
  std::vector<String> embeddedTypePhase;
  Phase::Mass *Vphase = nullptr;
  Phase::Mass *Lphase = nullptr;
  Phase::Mass *Sphase = nullptr;

protected:
  static constexpr bool compositionDependent = std::is_base_of_v<FlashVlTx, F>;

  static std::string qualified(const char *operation);
  // Sphase's composition and fraction, fluidx_ and fluidFraction_ from the
  // total composition.
  void splitInertSolids();
  // The vapour fraction of the fluid from whole-stream fractions V, L, S:
  // 0 for V = 0, V / (V + L) while there is fluid, 0.5 otherwise.
  static Value fluidAlfa(const Value &V, const Value &L, const Value &S);
  // The four whole-stream fractions from alfa and fluidFraction_.
  void wholeStreamFractions();
};

template <> const char *StreamTwoSolid<FlashVlT>::typeName();
template <> const char *StreamTwoSolid<FlashVlTx>::typeName();
template <> const char *StreamTwoSolid<FlashVlT>::flashName();
template <> const char *StreamTwoSolid<FlashVlTx>::flashName();

extern template class StreamTwoSolid<FlashVlT>;
extern template class StreamTwoSolid<FlashVlTx>;

using StreamSolidVlT = StreamTwoSolid<FlashVlT>;
using StreamSolidVlTx = StreamTwoSolid<FlashVlTx>;
