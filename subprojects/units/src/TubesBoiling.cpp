#include "velta/units/TubesBoiling.h"

#include "velta/components/ComponentGeneric.h"
#include "velta/components/ListComponents.h"
#include "velta/core/MyCast.h"
#include "velta/phases/MassMolarProperties.h"
#include "velta/streams/Stream.h"
#include "velta/units/HeatTransfer.h"
#include "velta/units/HeatTransferCorrelations.h"
#include "velta/utility/Diagnostic.h"
#include "velta/utility/Error.h"
#include "velta/value/Constants.h"

using namespace HeatTransferCorrelations;

namespace {

const char *const preName = "TubesBoiling::preCalculate";

const Value &gravity() {
  static const Value g(9.806, "m/s2");
  return g;
}

} // namespace

TubesBoiling::TubesBoiling(Defaults defaults, int id, Persistency *persistency, Node *parent,
                           Node *root)
    : Object(defaults, id, persistency, parent, root),
      Model(defaults, id, persistency, parent, root),
      ShellAndTube(defaults, id, persistency, parent, root),
      Re_L1("Re_L1", "Reynolds number based on liquid only flow and physical properties",
            Value(1.0), nullptr),
      Pr_L1("Pr_L1", "Prandlt number based on liquid physical properties", Value(1.0), nullptr),
      UL1("UL1", "liquid phase forced convection coefficient based on the liquid fraction of the "
                 "flow",
          1.0, "W/m2/K", nullptr),
      chi("chi", "mass base vapor quality", Value(1.0), nullptr),
      Xtt("Xtt", "Martinelli parameter", Value(1.0), nullptr),
      hLG("hLG", "mass base latent heat of vaporization", 0.0, "J/kg", nullptr),
      Bo("Bo", "Boiling number", Value(1.0), nullptr),
      E("E", "convection enhancement factor", Value(1.0), nullptr),
      S("S", "boiling suppression factor", Value(1.0), nullptr),
      Pr("Pr", "reduced pressure", Value(1.0), nullptr),
      v_V1("v_V1", "Superficial vapor velocity", 0.0, "m/s", nullptr),
      v_L1("v_L1", "Superficial liquid velocity", 0.0, "m/s", nullptr),
      Fr_V1("Fr_V1", "Froude number for the liquid in the tubes", Value(1.0), nullptr),
      alfa_1("alfa_1", "Vapor volume holdup fraction", Value(1.0), nullptr),
      UNB1("UNB1", "nucleate pool boiling coefficient", 1.0, "W/m2/K", nullptr),
      Re_V1("Re_V1", "Reynolds number based on vapor only flow and physical properties",
            Value(1.0), nullptr),
      deltaP_A1("deltaP_A1", "Acceleration pressure drop", 0.0, "Pa", nullptr),
      deltaP_G1("deltaP_G1", "Gravitational pressure drop", 0.0, "Pa", nullptr),
      deltaP_VL1("deltaP_VL1", "Two phase pressure drop", 0.0, "Pa", nullptr),
      deltaP_1("deltaP_1", "Total pressure drop", 0.0, "Pa", nullptr),
      slip("slip", "ratio of the average vapor and liquid velocities", Value(1.0), nullptr),
      rho1("rho1", "Average density based on holdup", 0.0, "kg/m3", nullptr) {
  static const char *const name = "TubesBoiling::TubesBoiling";
  VELTA_TRACE_BEGIN
  VELTA_LOG(verbosity(), 1, name, "Entered with " << id);
  for (Quantity *q : {&chi, &Xtt, &hLG, &Bo, &E, &Re_L1, &Pr_L1, &UL1, &S, &Pr, &v_V1, &v_L1,
                      &Fr_V1, &alfa_1, &UNB1, &Re_V1, &deltaP_A1, &deltaP_G1, &deltaP_VL1,
                      &deltaP_1, &slip, &rho1})
    addVariable(*q);
  VELTA_LOG(verbosity(), 2, name, "Done");
  VELTA_TRACE_END(name)
}

TubesBoiling::~TubesBoiling() = default;

void TubesBoiling::setup() {
  U1.unSetInput();
  h.unSetInput();
  for (Quantity *q : {&U1, &h, &chi, &Xtt, &hLG, &Bo, &E, &Re_L1, &Pr_L1, &UL1, &S, &Pr, &v_V1,
                      &v_L1, &Fr_V1, &alfa_1, &UNB1, &Re_V1, &deltaP_A1, &deltaP_G1, &deltaP_VL1,
                      &deltaP_1, &slip, &rho1})
    q->setOutput();
}

void TubesBoiling::preCalculate() {
  VELTA_TRACE_BEGIN
  VELTA_LOG(verbosity(), 1, preName, "Entered for " << fullTag());
  HeatTransfer &unit = owner(preName);
  Stream &in = in1();
  Stream &out = out1();
  const Value &mOut = out.Q("Tphase.mdot");
  chi = out.Q("Vphase.mdot") / mOut;
  const Value &x = chi;
  auto *liquid = my_cast<Phase::MassMolarProperties *>(&out.at("Lphase"), preName);
  auto *vapor = my_cast<Phase::MassMolarProperties *>(&out.at("Vphase"), preName);
  const Value muL = liquid->mu(out.P, out.T);
  const Value muV = vapor->mu(out.P, out.T);
  const Value &rhoL = liquid->rho;
  const Value &rhoG = vapor->rho;
  VELTA_LOG(verbosity(), 2, preName, "rhoG / rhoL = " << rhoG / rhoL);
  VELTA_LOG(verbosity(), 2, preName, "muL / muV = " << muL / muV);
  Xtt = pow((1.0 - x) / x, 0.9) * pow(rhoG / rhoL, 0.5) * pow(muL / muV, 0.1);
  hLG = out.dhvl((in.T + out.T) / 2.0) / out.Q("Tphase.AMW");
  const Value q = unit.duty2 / A;
  Bo = q / (in.Q("Tphase.mdot") * hLG / At);
  E = 1.0 + 24000.0 * pow(Bo, 1.16) + 1.37 / pow(Xtt, 0.86);
  Re_L1 = (1.0 - x) * mOut * di / (muL * At);
  const Value kL = liquid->kappa(out.P, out.T);
  Pr_L1 = liquid->cp * muL / kL;
  UL1 = dittusBoelter<Value>(Re_L1, Pr_L1, true) * kL / di;
  S = 1.0 / (1.0 + 1.15e-06 * E * E * pow(Re_L1, 1.17));
  const bool twoPhase = out.Q("Vphase.fraction").value() > 0.0;
  if (twoPhase) {
    Pr = in.P / pseudoCriticalPressure_(in);
    const Value M = out.Q("Tphase.AMW") / Value(1.0, "kg/kmol");
    UNB1 = Value(55.0, "W/(m2*K)") * pow(Pr, 0.12) * pow(-log10(Pr), -0.55) *
           pow(q / Value(1.0, "W/m2"), 0.67) / sqrt(M);
    U1 = S * UNB1 + E * UL1;
  } else {
    Pr = Value(0.0);
    UNB1 = Value(0.0, "W/(m2*K)");
    U1 = UL1;
  }
  v_V1 = out.Q("Vphase.vdot") / At;
  v_L1 = out.Q("Lphase.vdot") / At;
  Fr_V1 = v_V1 / sqrt(di * gravity());
  Re_V1 = x * mOut * di / (muV * At);
  if (twoPhase) {
    twoPhasePressureDrop_(in, rhoL, rhoG);
  } else {
    alfa_1 = Value(0.0);
    deltaP_VL1 = 2.0 * fanning<Value>(Re_L1) * rhoL * v_L1 * v_L1 * L / di;
    slip = Value(0.0);
    rho1 = out.Q("Lphase.rho");
    deltaP_A1 = Value(0.0, "Pa");
  }
  h = L;
  deltaP_G1 = rho1 * gravity() * h;
  deltaP_1 = deltaP_VL1 + deltaP_A1 + deltaP_G1;
  VELTA_LOG(verbosity(), 2, preName, "Done");
  VELTA_TRACE_END(preName)
}

Value TubesBoiling::pseudoCriticalPressure_(Stream &in) const {
  Value zc(0.0), Tc(0.0, "K"), vc(0.0, "m3/kmol"), sum(0.0);
  auto *total = my_cast<Phase::MassMolar *>(in.Tphase, preName);
  for (int i = 0; i < NCOMPONENTS; ++i) {
    const Value &xi = total->x[static_cast<std::size_t>(i)];
    if (!(xi.value() > 0.0) || components[i]->isSolid())
      continue;
    zc += xi * components[i]->zc();
    Tc += xi * components[i]->Tc();
    vc += xi * components[i]->vc();
    sum += xi;
  }
  zc = zc / sum;
  Tc = Tc / sum;
  vc = vc / sum;
  return zc * gasConstant * Tc / vc;
}

void TubesBoiling::twoPhasePressureDrop_(Stream &in, const Value &rhoL, const Value &rhoG) {
  const Value &x = chi;
  const bool liquidTurbulent = Re_L1.value() > 4000.0;
  const bool gasTurbulent = Re_V1.value() > 4000.0;
  const double C = chisholmConstant(liquidTurbulent, gasTurbulent);
  // The liquid-alone multiplier also gives the liquid holdup, 1 / phiL.
  Value phiL2;
  if (liquidTurbulent) {
    phiL2 = chisholmLiquid<Value>(Xtt, C);
    deltaP_VL1 = phiL2 * 2.0 * fanning<Value>(Re_L1) * rhoL * v_L1 * v_L1 * L / di;
  } else {
    const Value phiG2 = chisholmGas<Value>(Xtt, C);
    deltaP_VL1 = phiG2 * 2.0 * fanning<Value>(Re_V1) * rhoG * v_V1 * v_V1 * L / di;
    phiL2 = phiG2 / (Xtt * Xtt);
  }
  alfa_1 = 1.0 - 1.0 / sqrt(phiL2);
  slip = (1.0 - alfa_1) * x * rhoL / ((1.0 - x) * alfa_1 * rhoG);
  rho1 = rhoG * alfa_1 + rhoL * (1.0 - alfa_1);
  // Separated flow at the outlet against the inlet's specific volume.
  const Value G = in.Q("Tphase.mdot") / At;
  const Value vOut = x * x / (rhoG * alfa_1) + (1.0 - x) * (1.0 - x) / (rhoL * (1.0 - alfa_1));
  deltaP_A1 = G * G * (vOut - 1.0 / in.Q("Tphase.rho"));
}
