#pragma once
// The water-steam stream (type "StreamIapwsLiquidVapor"): a total phase
// "Tphase" and two IAPWS-95 phases, "Vphase" ("PhaseIapws<vapor>") and
// "Lphase" ("PhaseIapws<liquid>"), split by the temperature-dependent
// vapour-liquid flash. The unknowns are T, P, the reduced density of each
// phase and alfa; the single equilibrium residual is the Rachford-Rice one.
// Only the component named exactly "H2O" is distributed: its K-value is
// the ratio of the two phases' IAPWS fugacity coefficients, every other
// component has K = 1.
//
// Unlike the two-phase streams it has no phase-type options, and its
// prepare_residuals does nothing: the split that the density residuals see
// is the one left by the previous equilibrium residual or estimate.

#include "velta/streams/FlashVlT.h"
#include "velta/streams/Stream.h"

#include <memory>
#include <vector>

namespace Phase {
class Generic;
class MassMolarProperties;
} // namespace Phase

class StreamIapwsLiquidVapor : public Stream, public FlashVlT {
public:
  StreamIapwsLiquidVapor(Defaults defaults, int id, Persistency *persistency, Node *parent,
                         Node *root);
  ~StreamIapwsLiquidVapor() override;

  static const char *typeName() { return "StreamIapwsLiquidVapor"; }

  // --- Stream
  void precompute_isIdeal() override {}
  Stream &assign(const Stream &other) override;
  Stream &assignFrom(const Stream &other) override;
  MassBalanceMode representation() const override { return MassBalanceMode::Nx; }
  // PA and SA take the vapour-fraction set point from Vphase's fraction.
  void setFlash(int fm) override;
  // K-values and alfa from the phases' present compositions and fraction.
  void estimateFlash() override;
  void updateFlash() override;

  // --- Model
  std::unique_ptr<Node> clone() const override;
  ObjectiveNleAd *objectiveFunction() override { return this; }
  void initializeNonPersistents() override;

  // --- FlashBase
  void prepare_residuals() override {}
  int calculateResidualsEquilibrium(std::vector<Value> &y, unsigned start) override;
  void estimateEquilibrium(const Value &P, const Value &T) override;
  // The phases' own starts, with the liquid's density raised to that of
  // the saturated liquid where it lies below: near the critical point the
  // liquid's own start lies closer to the unstable branch of the isotherm,
  // and the flash would find a false saturation state there. Both starts
  // keep off the critical density (above the critical temperature the
  // liquid's own start lies on it, at high pressure the ideal gas beyond).
  void estimateEos(const Value &P, const Value &T) override;

  // Not owned: views of the children.
  Phase::MassMolarProperties *TphaseProperties_ = nullptr;
  Phase::Generic *VphaseGeneric_ = nullptr;
  Phase::Generic *LphaseGeneric_ = nullptr;

private:
  // The equilibrium residual of every mode but PA. Water is the only
  // component the phases distribute (every other has K = 1), and for one
  // distributed component the Rachford-Rice residual with its single-phase
  // corrections is of second order in K - 1, value and Jacobian row alike:
  // near saturation it is below the flash's tolerance at any alfa and the
  // Newton iterations stall. Instead alfa solves the phase choice of one
  // component, with s = sum(y - x) of the present split (the sign of K - 1):
  // in PT, where nothing else fixes alfa, r = alfa where s < 0 (all liquid)
  // and alfa - 1 where s > 0 (all vapour); in the modes where an energy or
  // density set point fixes alfa in two phases,
  //   r = alfa - clamp(alfa + s, 0, 1),
  // zero for two phases at K = 1 and for alfa at the bound that K chooses.
  Value phaseChoiceResidual();
  // The feed of the split: Tphase's mole fractions.
  Vector feed();
  // kVL_[i] = phiL/phiV for "H2O" from the phases' last fugacity
  // preparation, other for every other component.
  void fugacityKValues(const Value &other, const char *name);
};
