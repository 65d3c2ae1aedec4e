#pragma once
// Property model of ordinary water and steam by the IAPWS-95 Helmholtz
// energy (IAPWS R6-95(2018); Wagner and Pruss 2002): pressure, density,
// enthalpy, entropy, isobaric heat capacity and the fugacity coefficient
// of water. The model describes pure water: the phase's composition is
// accepted and ignored, every molar property is that of water per kmol
// (M = 18.015268 kg/kmol), and only the component named exactly "H2O" gets
// a fugacity coefficient (every other entry is 0).
//
// State: the reduced density `delta` = rho / 322 kg/m3, which the owning
// stream solves for as one unknown of its flash (bounds from deltaBounds,
// start from estimate); temperature comes with every call and the pressure
// is a result. Every number carries the flash unknowns' derivatives.
//
// Caches: prepare and calculate_P_ evaluate phi0 and phir with their
// gradients at (delta, 647.096 K / T). calculate_H_, calculate_S_,
// calculate_Cp_ and preparefugacity use that evaluation when it belongs to
// the current delta (value and derivatives) and T, and evaluate afresh
// otherwise, so they never combine results of different states.
// calculate_Cp_ leaves the caches as it found them.
//
// Water's log fugacity coefficient is the standard
//   ln phi = phir + delta phir_delta - ln Z,  Z = 1 + delta phir_delta,
// which is equal in two phases of equal T and P exactly where their Gibbs
// energies are equal. Z is taken as p~ / (rho R T) with p~ the pressure
// through regularizePositive (a smooth floor at 4e-5/3 Pa), so a
// metastable state of zero or negative pressure gives a finite ln phi
// instead of NaN; above 2e-5 Pa the two forms are identical. A liquid whose
// pressure exceeds the given P adds ln(p~ / P~) (both floored alike).
//
// Beyond its spinodal a phase has no state on the isotherm: below the
// critical temperature a vapour denser than the vapour spinodal, or a liquid
// lighter than the liquid spinodal (iapwsSpinodalDelta), is continued from
// the spinodal state delta*: the caches, and with them H, S, Cp and ln phi,
// belong to (delta*, T), and the pressure runs on monotonically with the
// ideal gas's slope at delta*, to a pole at the critical density:
//   vapour  p = p* + rhoc R T (1 - delta*) (delta - delta*) / (1 - delta)
//   liquid  p = p* - rhoc R T (delta* - 1) (delta* - delta) / (delta - 1).
// So every pressure has a root on each side and a flash finds the phase
// that is absent there; its ln phi is that of the spinodal state carried to
// the pressure p along the spinodal's volume,
//   ln phi = phir* + Pi - 1 - ln Pi,  Pi = p / (rho* R T),
// which keeps it the unstable phase: a continued vapour always has the
// higher Gibbs energy, a continued liquid too. Where the phase has a state,
// nothing changes. Where a side has no spinodal (at and above the critical
// temperature) it is continued from delta* = 0.99 (vapour) or 1.01
// (liquid), for the pressures beyond that of the critical density: above
// the critical temperature a fluid within 1 % of the critical density is
// found at delta*, not at its own density.
//
// No range checks otherwise: outside the formulation's range the same
// formulas are evaluated; at delta = 0 the logarithms are infinite.

#include "velta/phases/IapwsGradient.h"
#include "velta/phases/Ideal.h"

#include <limits>
#include <memory>
#include <utility>

namespace Phase {

class Iapws : public Ideal, public virtual Diagnostic {
public:
  using ActiveGradient = IapwsGradient<Active>;

  Iapws();
  ~Iapws() override;

  // delta := rho / 322 kg/m3 from the stored mass density.
  void initializeNonPersistents(Vector x, const Value &rho, const Value &MW) override;
  void prepare(const Value &T, Vector x) override;
  void preparefugacity(const Value &P, const Value &T, Vector x, const Value &sumx) override;
  // rho and sumx are ignored: the pressure belongs to delta.
  const Value &calculate_P_(const Value &rho, const Value &T, Vector x, const Value &sumx) override;
  const Value &calculate_rho_(const Value &P, const Value &T, Vector x) override;
  const Value &calculate_H_(const Value &P, const Value &T, Vector x) override;
  const Value &calculate_S_(const Value &P, const Value &T, Vector x) override;
  // By finite differences of the first derivatives (relative steps 1e-6 in
  // T and in the specific volume).
  const Value &calculate_Cp_(const Value &P, const Value &T, Vector x) override;

  // A starting delta: the ideal gas for a vapour (phaseType 1, with the
  // derivatives of P and T), a liquid-density correlation otherwise.
  void estimate(const Value &P, const Value &T, int phaseType);
  // ln phi of water carried from the present state to the pressure P along
  // the state's volume (the first-order change of its Gibbs energy), a plain
  // number: phir + Pi - 1 - ln Pi with Pi = P / (rho R T). Equal to the
  // fugacity entry at a state whose pressure is P; in between it tells the
  // sign of ln K of a flash that has not yet found its densities.
  double waterLnPhiAt(const Value &P, const Value &T);
  // The reduced critical density, 1.
  static const double &deltac();
  // Bounds of delta as a flash unknown, as addresses of process-lifetime
  // constants (a flash reads them when it builds the unknown's scaler):
  // vapour [0, deltac], liquid [deltac, 4], any other phase type [0, 4].
  static std::pair<const double *, const double *> deltaBounds(int phaseType);

  // The two parts of the reduced Helmholtz energy with their gradients over
  // (delta, tau); the arguments are copies seeded with variable(value, 0)
  // and variable(value, 1). The outer derivatives come by the chain rule
  // from the plain second derivatives: the numbers of the active template
  // instance at a fraction of its cost.
  static void phi0(ActiveGradient &result, const ActiveGradient &delta,
                   const ActiveGradient &tau);
  static void phir(ActiveGradient &result, const ActiveGradient &delta,
                   const ActiveGradient &tau);

  // The reduced density, dimensionless once first assigned.
  Value delta;

private:
  // phi0 and phir at the present values of deltaVar_ and tauVar_.
  void evaluateCaches();
  // The delta* this phase is continued from at T (its spinodal, or 0.99 and
  // 1.01 where its side has none), NaN for any phase type but vapour and
  // liquid; kept for the last T.
  double spinodal(double T);
  // The density the caches belong to at T: delta, or delta* (a constant)
  // where delta lies beyond the spinodal.
  Active evaluationDelta(const Value &T, bool &continued);
  // The caches and deltaPhirDelta_ at (evaluationDelta, 647.096 / T).
  void evaluate(const Value &T);
  // evaluate unless the caches already belong to that state.
  void ensureEvaluated(const Value &T);
  // Pressure of the cached evaluation at T, Pa.
  Value cachedPressure(const Value &T) const;
  // ln phi of water at the cached evaluation, without the liquid's
  // pressure correction.
  Value waterLnPhi(const Value &pressure, const Value &T) const;

  std::unique_ptr<ActiveGradient> phi0_;
  std::unique_ptr<ActiveGradient> phir_;
  std::unique_ptr<ActiveGradient> deltaVar_;
  std::unique_ptr<ActiveGradient> tauVar_;
  Active deltaPhirDelta_; // delta * dphir/ddelta of the cached evaluation
  Value hTau_;            // temperature part of the last enthalpy, J/kmol
  bool continued_ = false; // the caches belong to the spinodal state
  double spinodalT_ = std::numeric_limits<double>::quiet_NaN();
  double spinodalDelta_ = std::numeric_limits<double>::quiet_NaN();
};

} // namespace Phase
