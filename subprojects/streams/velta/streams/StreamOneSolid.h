#pragma once
// The fluid-solid stream (type "StreamOneSolid"): one fluid phase "Xphase"
// of the type named by the string option "embeddedTypePhase" and one ideal
// solid phase "Sphase". The solid is inert: before every residual
// evaluation the total composition is split by component (solid components
// wholly into Sphase, the others into Xphase), and the single-phase flash
// solves T, P and the fluid's density variable with its H, S and density
// specifications taken on the stream totals. No equilibrium residual.

#include "velta/persistency/String.h"
#include "velta/streams/Flash.h"
#include "velta/streams/Stream.h"

#include <memory>
#include <vector>

namespace Phase {
class Generic;
class MassMolarProperties;
} // namespace Phase

class StreamOneSolid : public Stream, public Flash {
public:
  StreamOneSolid(Defaults defaults, int id, Persistency *persistency, Node *parent, Node *root);
  ~StreamOneSolid() override;

  static const char *typeName() { return "StreamOneSolid"; }

  // --- Stream
  Stream &assign(const Stream &other) override;
  Stream &assignFrom(const Stream &other) override;
  MassBalanceMode representation() const override { return MassBalanceMode::Nx; }

  // --- Model
  std::unique_ptr<Node> clone() const override;
  ObjectiveNleAd *objectiveFunction() override { return this; }

  // --- FlashBase
  // The split of the total composition, the fluid's composition sum, then
  // the fluid phase's preparation at the flash temperature.
  void prepare_residuals() override;
  void prepare_Flash_residuals() override {}
  int calculateResidualsEquilibrium(std::vector<Value> &, unsigned) override { return 0; }
  // The fraction of Xphase or Sphase by PhaseIndex, zero for any other.
  const Value &Fraction(int phaseIndex, bool clipped) override;
  // The composition of Xphase or Sphase by PhaseIndex; ErrorBrowsing for
  // any other.
  Vector X(int phaseIndex) override;

  // Not owned: views of the children.
  Phase::MassMolarProperties *TphaseProperties_ = nullptr;
  Phase::Generic *SphaseGeneric_ = nullptr;
  Phase::Generic *XphaseGeneric_ = nullptr;
  String embeddedTypePhase;
  Phase::Mass *Xphase = nullptr;
  Phase::Mass *Sphase = nullptr;
};
