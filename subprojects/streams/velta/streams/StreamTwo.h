#pragma once
// The two-phase material streams: a total phase "Tphase" and two embedded
// phases, "Vphase" (the vapour side of the split) and "Lphase" (the liquid
// side), whose types name the string options "embeddedTypePhase[0]" and
// "embeddedTypePhase[1]", split by the flash class F:
//
//   StreamTwo<FlashVl>   "StreamVl"   K-values kept as set by the owner
//   StreamTwo<FlashVlT>  "StreamVlT"  K-values from the components at (T, P)
//   StreamTwo<FlashVlTx> "StreamVlTx" K-values unknowns, equal fugacities
//   StreamTwo<FlashLlTx> "StreamLlTx" two liquids, PT only
//
// Both embedded types must be phases with a property model (Phase::Generic)
// and at most one of them a vapour: other options are refused at
// construction with an error that names the type. In a StreamLlTx both are
// liquids: "Vphase" is liquid1 and "Lphase" liquid2.
//
// The equilibrium residuals (Rachford-Rice, then for the Tx flashes one
// K-value residual per component) and the flash estimation, preparation and
// updating live in StreamTwoEquilibrium.cpp and StreamTwoFlash.cpp.
// Classes derived from StreamTwo<FlashVl> behave as "StreamVl".
//
// Log lines are written when verbosityGlobal + verbosity() - 1 > level.

#include "velta/persistency/String.h"
#include "velta/streams/FlashLlTx.h"
#include "velta/streams/FlashVl.h"
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

template <class F> class StreamTwo : public Stream, public F {
public:
  StreamTwo(Defaults defaults, int id, Persistency *persistency, Node *parent, Node *root);
  ~StreamTwo() override;

  // --- Stream
  // The ideal pre-solve of a non-ideal flash (nothing for StreamLlTx):
  // isIdeal is true for exactly the duration of that solve.
  void precompute_isIdeal() override;
  Stream &assign(const Stream &other) override;
  Stream &assignFrom(const Stream &other) override;
  MassBalanceMode representation() const override { return MassBalanceMode::Nx; }
  // PA and SA take the vapour-fraction set point from Vphase's fraction.
  // A mode that the flash refuses leaves "flashoption" as it was.
  void setFlash(int fm) override;
  // The flash unknowns (compositions, K-values, alfa) from the phases.
  void estimateFlash() override;
  // The flash solution into the phases' compositions and fractions.
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

  // The registered type name of the instance and its flash class's name.
  static const char *typeName();
  static const char *flashName();

  // Not owned: views of the children.
  Phase::MassMolarProperties *TphaseProperties_ = nullptr;
  Phase::Generic *VphaseGeneric_ = nullptr;
  Phase::Generic *LphaseGeneric_ = nullptr;
  std::vector<String> embeddedTypePhase;
  Phase::Mass *Vphase = nullptr;
  Phase::Mass *Lphase = nullptr;

protected:
  // K-values are unknowns (StreamVlTx, StreamLlTx).
  static constexpr bool compositionDependent = std::is_base_of_v<FlashVlTx, F>;
  static constexpr bool liquidLiquid = std::is_base_of_v<FlashLlTx, F>;
  static constexpr bool temperatureDependent = std::is_base_of_v<FlashVlT, F>;

  // "StreamTwo<class " + flash + ">::" + operation.
  static std::string qualified(const char *operation);
  // Adds the embedded phase of type at tag after checking that it has a
  // property model and is not a second vapour phase.
  Phase::Generic *addEmbeddedPhase(const std::string &type, const std::string &tag,
                                   const std::string &description, int index,
                                   Persistency *persistency);
  // The feed of the split: Tphase's mole fractions.
  Vector feed();
  // kVL_[i] from each component's own ratio at the flash T and P (1e-100
  // for solids), logged.
  void idealKValues();
};

template <> const char *StreamTwo<FlashVl>::typeName();
template <> const char *StreamTwo<FlashVlT>::typeName();
template <> const char *StreamTwo<FlashVlTx>::typeName();
template <> const char *StreamTwo<FlashLlTx>::typeName();
template <> const char *StreamTwo<FlashVl>::flashName();
template <> const char *StreamTwo<FlashVlT>::flashName();
template <> const char *StreamTwo<FlashVlTx>::flashName();
template <> const char *StreamTwo<FlashLlTx>::flashName();

// StreamLlTx is never pre-solved with ideal K-values.
template <> void StreamTwo<FlashLlTx>::precompute_isIdeal();

extern template class StreamTwo<FlashVl>;
extern template class StreamTwo<FlashVlT>;
extern template class StreamTwo<FlashVlTx>;
extern template class StreamTwo<FlashLlTx>;

using StreamVl = StreamTwo<FlashVl>;
using StreamVlT = StreamTwo<FlashVlT>;
using StreamVlTx = StreamTwo<FlashVlTx>;
using StreamLlTx = StreamTwo<FlashLlTx>;
