#pragma once
// The packed absorption or stripping column (type "HtuNtu"): a gas feed
// (inlet 1) enters below a bed of random packing, a liquid feed (inlet 2)
// above it; the column yields a vapour outlet (outlet 1) and a liquid outlet
// (outlet 2).
//
// Hydraulics: the packing constants of the row named by `packing`, the
// loading and flooding points (one and two Newton equations), hold-up,
// interfacial area and the dry and irrigated pressure drop. In hydraulic
// design (`hydraulics_calc` "Design") the diameter follows from the given
// approach to flooding `fractfloodV`, else `D` is given.
//
// Mass transfer of the components from `startID` on (dilute, linear
// equilibrium) by the HTU-NTU relations: in mass-transfer design
// (`masstransfer_calc` "Design") the packing height that reaches the
// required vapour split `outSplit[0]` of every such component, the largest
// becoming `H`; then, always, the rating of the column at `H`. Components
// below `startID` leave with the liquid of an equilibrium flash of the mixed
// feeds. The liquid outlet is flashed to the enthalpy that closes the heat
// balance, so `duty` is its residue.
//
// The loading and flooding correlations take the mass flows of the phases;
// the stripping factor S = K V / L the molar flows `V` and `L`. Properties
// and equilibrium ratios are those of the column pressure, the liquid
// feed's. A gas feed less than half vapour or a liquid feed more than half
// vapour is not calculated: with a warning, the feeds' vapours leave by
// outlet 1 and their liquids by outlet 2, unflashed.
//
// Only calculated sequentially: the unit gives no equation system to a
// flowsheet's simultaneous solution.

#include "velta/core/ObjectiveNleInterface.h"
#include "velta/core/Scaler.h"
#include "velta/core/SolverNleRecipes.h"
#include "velta/persistency/Integer.h"
#include "velta/persistency/Quantity.h"
#include "velta/persistency/String.h"
#include "velta/units/Connectivity.h"

#include <string>
#include <vector>

class HtuNtu;
class PhaseTotal;
class Stream;

// The loading point: uVScalc(x) - x = 0 in the loading velocity x, iterated
// through a rational scaler (0 to 100 m/s onto 1 to 10).
class ObjectiveLoad : public ObjectiveNleInterface {
public:
  explicit ObjectiveLoad(HtuNtu *unit);
  void operator()(double *x, double *y, Jacobian *J) override;
  void scalex(double *x) override;
  void unscalex(double *x) override;
  // The loading velocity (m/s) that belongs to the liquid load at gas
  // velocity v (m/s), at the unit's present state.
  double uVScalc(double v) const;

private:
  HtuNtu *unit_;
  Scaler scaler_;
};

// The flooding point: two equations in ten times the flooding velocity
// (m/s) and the flooding hold-up.
class ObjectiveFlood : public ObjectiveNleInterface {
public:
  explicit ObjectiveFlood(HtuNtu *unit);
  void operator()(double *x, double *y, Jacobian *J) override;
  void scalex(double *x) override;
  void unscalex(double *x) override;

private:
  HtuNtu *unit_;
};

class HtuNtu : public Connectivity {
public:
  // Throws ErrorRunTime "no components defined" without components, and
  // refuses an option startID outside 0 to the number of components
  // (default 3, or the number of components when there are fewer).
  HtuNtu(Defaults defaults, int id, Persistency *persistency, Node *parent, Node *root);
  ~HtuNtu() override;

  // --- Model
  void calculate(int level) override { go(1, level); }
  void setup() override {}
  void initializeNonPersistents() override {}
  ObjectiveNleAd *objectiveFunction() override { return nullptr; }

  // --- VertexBase
  // The whole calculation, whatever mode and level.
  void go(int mode, int level) override;
  // "out1" north, "out2" south, every other port west.
  int locationFromPort(std::string port) override;

  // --- parts of the calculation, on the unit's variables
  // Loading point: psiS, uVS, NITER_load.
  void calculateLoad_();
  // Flooding point from the present uVFl and hLFl: psiFl, uVFl, hLFl,
  // NITER_flood.
  void calculateFlood_();
  // Overall gas-side mass-transfer coefficient of component i, kmol/(m2 s).
  Value calculateKog_(int i, const Value &gasMW, const Value &liquidMW, const Value &dv,
                      const Value &m);
  // The mass flows of the gas and of the liquid through the packing, which
  // the loading and flooding points use (go sets them from the feeds).
  void setMassFlows(const Value &gas, const Value &liquid);
  // The seven packing constants of the row named by packing; ErrorBrowsing
  // from "HtuNtu::go" for a name outside the table.
  void setPacking_();

  static const char *const typeName;

  Quantity duty, deltaP, D, H, ap, epsilon, CL, CG, CS, CFl, CP0, V, L, T, P, rhov, rhol, muv, mul,
      psiS, psiFl, Ac, uV, uVS, uVFl, uVzero, uL, uLS, uLFl, fractloadL, fractloadV, fractfloodL,
      fractfloodV, hL, hLFl, dh, ReG, ReL, FrL, WeL, ae, K, ReGdp, psi0, Fv2, dp, deltaP0, FrLdp,
      psiL, hLS;
  Integer NITER_load;
  Integer NITER_flood;
  Integer startID;
  String packing;
  String hydraulics_calc;
  String masstransfer_calc;
  std::vector<Quantity> KVL;
  std::vector<Quantity> Hcomps;
  std::vector<std::vector<Quantity>> outSplit;

private:
  friend class ObjectiveLoad;
  friend class ObjectiveFlood;

  // L/V on a mass basis times sqrt(rhov/rhol).
  Value flowParameter_() const;
  // Ratio of the liquid to the gas mass flow.
  Value massRatio_() const;
  // Per-component design (required split to height) and rating (height to
  // liquid outlet fractions of LL); R = V/L, dv the gas diffusion volume.
  void designMassTransfer_(PhaseTotal &VV, PhaseTotal &LL, const Value &R, const Value &dv);
  void rateMassTransfer_(PhaseTotal &VV, PhaseTotal &LL, const Value &R, const Value &dv);
  void fallback_();
  void outlets_(Stream &work, PhaseTotal &LL);
  void pressureDrop_();
  void balances_();

  ObjectiveLoad objectiveLoad_;
  ObjectiveFlood objectiveFlood_;
  SolverNleRecipesNumeric solverLoad_;
  SolverNleRecipesNumeric solverFlood_;
  Value gasMassFlow_;
  Value liquidMassFlow_;
  std::vector<Stream *> inletstreams_;
  std::vector<Stream *> outletstreams_;
  Stream *vapin = nullptr;
  Stream *liqin = nullptr;
};

// Diffusivity (m2/s) of component i in a gas by the Fuller relation, at T
// (K) and P (Pa), for a gas of molar mass gasMW (kg/kmol) and diffusion
// volume dv (dimensionless). The component's own diffusion volume must be
// dimensionless (ErrorUnit otherwise).
Value gasDiffusivity(int i, const Value &T, const Value &P, const Value &gasMW, const Value &dv);
// Diffusivity (m2/s) of component i in liquid water at T (K) by the
// Wilke-Chang relation, with the viscosity of water at T.
Value liquidDiffusivity(int i, const Value &T);
// Viscosity of liquid water (Pa*s) at T (K).
Value waterViscosity(const Value &T);
