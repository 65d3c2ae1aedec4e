#pragma once
// The PC-SAFT engine: the equation of state of PcsaftEquations behind the
// engine interface, with the interface's packing fraction beta taken as the
// PC-SAFT packing fraction eta (the fraction of the volume filled by
// segments). Parameters come from the process-wide tables of
// PcsaftParameters.h, read at every precompute.
//
// State: T and x of the last precompute, eta, P, dP/deta and the contact
// values of the last pressure, the residual Helmholtz energy and phi_k of
// the last preparefugacity_eos. density, deosdbeta, eos and
// preparefugacity_eos read it without re-evaluating at their arguments: a
// caller that wants a state first calls precompute (or
// calculatePressureEos_, which does both) and a pressure at that state.
//
// Evaluation: the equations run on plain partials and the kept results
// become derivative-carrying numbers by the chain rule: on PcsaftDual
// (partials in T and eta) when no mole fraction carries derivatives (the
// common case), else on PcsaftGradient (partials in T, eta and every mole
// fraction). The derivative-carrying instance of the equations is only
// evaluated when the whole state is asked for (state(), helmholtz,
// helmholtzi).
//
// The Soave-Redlich-Kwong base only supplies the interface's layout; its
// mixture parameters are never computed. deosdv, deosdT, Tcm, helmholtzT
// and helmholtzT2 therefore throw ErrorRunTime; helmholtz and helmholtzi
// give the PC-SAFT values. One calculation thread only.

#include "velta/phases/EosCubicKwongRedlichSoave.h"
#include "velta/phases/PcsaftDual.h"
#include "velta/phases/PcsaftEquations.h"
#include "velta/phases/PcsaftGradient.h"
#include "velta/phases/TaylorJet.h"
#include "velta/phases/PcsaftParameters.h"

#include <vector>

namespace Phase {

class EosPcsaft : public PcsaftParameters, public EosCubic::KwongRedlichSoave {
public:
  EosPcsaft();
  ~EosPcsaft() override;

  // Critical packing fraction of the mixture from the correlation in m,
  // eta_c(m) = 10^(-0.240371 log10 m - 0.705191) - 0.08333636 0.5119087^m
  //            - 0.0123,
  // averaged with the weights x_i / sumx. Writes one line "betac[i] = "
  // per component to standard output on every call.
  Value &betac(const Value &sumx) override;
  // beta = 1e-5 for a vapour, 0.5 otherwise.
  void estimate(const Value &P, const Value &T, Vector x, int phaseType) override;
  // Copies T and x and computes every T- and x-dependent sum. Parameters
  // missing for any of the first ncomp components, or a composition shorter
  // than ncomp: ErrorRunTime.
  void precompute(const Value &T, Vector x) override;
  // Molar density at beta with the last precompute, kmol/m3.
  Value rho_(const Value &beta, const Value &sumx) override;
  // pressure(beta); T and sumx are those of the last precompute.
  Value eos(const Value &T, const Value &beta, const Value &sumx) override;
  // dP/deta of the last pressure; nothing is evaluated.
  Value deosdbeta(const Value &T, const Value &beta, const Value &sumx) override;
  Value deosdv(const Value &T, const Value &beta, const Value &sumx) override;
  Value deosdT(const Value &T, const Value &beta, const Value &sumx) override;
  Value Tcm(const Value &sumx) override;
  // ln phi_k at the last precompute and pressure (arguments not used); the
  // ln phi of the components beyond ncomp stay as they were.
  void preparefugacity_eos(const Value &P, const Value &T, Vector x, const Value &sumx,
                           int phaseType, std::vector<Value> &lnphi) override;
  // n a_res and d(n a_res)/dn_i at constant T and volume, at the last
  // precompute and at beta (which is evaluated).
  Value helmholtz(const Value &n, const Value &T, const Value &beta) override;
  Value helmholtzi(const Value &n, const Value &T, const Value &beta, int i) override;
  Value helmholtzT(const Value &n, const Value &T, const Value &beta) override;
  Value helmholtzT2(const Value &n, const Value &T, const Value &beta) override;

  // Z, P and dP/deta at the packing fraction dens with the last
  // precompute. The returned and stored P is regularised to stay positive
  // (velta/core/ValueHelpers.h); dP/deta is not.
  Value pressure(const Value &dens);
  // precompute(T, x), then the pressure at beta. Unlike the interface's
  // routine of that name, no correction past a critical packing fraction.
  void calculatePressureEos_(const Value &T, Vector x, const Value &sumx, int phaseType,
                             Value &result);
  // Molar density of the last pressure, kmol/m3.
  Value density();
  // Writes sResidual_, hResidual_ and cpResidual_ of the amount sumx at
  // (T, x) and beta, the departures from the ideal gas at T, the given P and
  // x (P enters as P v and R ln Z, as in the interface's calculateResiduals):
  //   h = -R T^2 a_T + P v - R T,   s = -R (T a_T + a) + R ln(P v / (R T)),
  //   cp = -R T (T a_TT + 2 a_T) - T (dP/dT)_v^2 / (dP/dv)_T - R,
  // per mole, times sumx; a = A_res / (N k T) at constant number density and
  // R the engine's own gas constant (8314.41 J/(kmol K)), with which its
  // pressure and fugacity coefficients are made. Precomputes at (T, x).
  void caloricResiduals(const Value &P, const Value &T, Vector x, const Value &sumx);
  // beta giving this molar density (kmol/m3) with the last precompute.
  void setbeta(const Value &density);

  // The equation's state on derivative-carrying numbers, for tests and
  // diagnostics (completed from the last precompute when needed).
  const PcsaftEquations<Active> &state();
  // phi_k of the last preparefugacity_eos.
  Active phi(int k) const { return exp(lnphiEngine_[k]); }

private:
  // ErrorRunTime from function unless a pressure has been evaluated since
  // the last precompute.
  void requirePressure(const char *function) const;
  [[noreturn]] void notProvided(const char *function) const;

  // A partial result as a derivative-carrying number: value and
  // (dr/dT) T' + (dr/deta) eta' with T of the last precompute and eta of
  // the last pressure.
  Active chain(const PcsaftDual &r) const;
  // The same over T, eta and the mole fractions of the last precompute.
  Active chain(const PcsaftGradient &r) const;
  // Fills the rest of state_ (sums, contact values, Z, a_res) when the last
  // evaluations took the plain path.
  void completeState();

  // The results the operations read live in state_ on either path (T, x,
  // zeta3t, eta, P, dP/deta) and in lnphiEngine_; the plain path leaves the
  // rest of state_ to completeState.
  PcsaftEquations<Active> state_;
  PcsaftEquations<PcsaftDual, double> plain_;
  PcsaftEquations<PcsaftGradient> general_;
  Active temperature_; // T of the last precompute
  Active packing_;     // eta of the last pressure
  Active lnphiEngine_[NC];
  bool plainPath_ = false;  // the last precompute's x carry no derivatives
  bool stateFilled_ = true; // state_ holds every sum and term
  bool precomputed_ = false;
  bool evaluated_ = false;
  bool fugacityEvaluated_ = false; // since the last precompute
};

} // namespace Phase
