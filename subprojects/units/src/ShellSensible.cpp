#include "velta/units/ShellSensible.h"

#include "velta/core/MyCast.h"
#include "velta/phases/MassMolarProperties.h"
#include "velta/streams/Stream.h"
#include "velta/units/HeatTransferCorrelations.h"
#include "velta/units/ShellBundle.h"
#include "velta/utility/Diagnostic.h"
#include "velta/utility/Error.h"

using namespace HeatTransferCorrelations;

ShellSensible::ShellSensible(Defaults defaults, int id, Persistency *persistency, Node *parent,
                             Node *root)
    : Object(defaults, id, persistency, parent, root),
      Model(defaults, id, persistency, parent, root),
      ShellAndTube(defaults, id, persistency, parent, root),
      Re_2("Re_2", "Reynolds number at the shell side", Value(1.0), nullptr),
      Pr_2("Pr_2", "Prandtl number at the shell side", Value(1.0), nullptr),
      Pr_w2("Pr_w2", "Prandtl number at the shell side wall conditions", Value(1.0), nullptr),
      Nu_2("Nu_2", "Nusselt number at the shell side", Value(1.0), nullptr),
      deltaP_2("deltaP_2", "Shell-side pressure drop", 0.0, "Pa", nullptr) {
  static const char *const name = "ShellSensible::ShellSensible";
  VELTA_TRACE_BEGIN
  VELTA_LOG(verbosity(), 1, name, "Entered with " << id);
  for (Quantity *q : {&Re_2, &Pr_2, &Pr_w2, &Nu_2, &deltaP_2})
    addVariable(*q);
  VELTA_LOG(verbosity(), 2, name, "Done");
  VELTA_TRACE_END(name)
}

ShellSensible::~ShellSensible() = default;

void ShellSensible::setup() {
  U2.unSetInput();
  for (Quantity *q : {&U2, &Re_2, &Pr_2, &Pr_w2, &Nu_2, &deltaP_2})
    q->setOutput();
}

void ShellSensible::preCalculate() {
  static const char *const name = "ShellSensible::preCalculate";
  VELTA_TRACE_BEGIN
  VELTA_LOG(verbosity(), 1, name, "Entered for " << fullTag());
  constexpr double pi = 3.141592653589793;
  Stream &in = in2();
  Stream &out = out2();
  auto *pIn = my_cast<Phase::MassMolarProperties *>(in.Tphase, name);
  auto *pOut = my_cast<Phase::MassMolarProperties *>(out.Tphase, name);
  if (pOut->phaseType() != pIn->phaseType())
    throw ErrorRunTime(name, "out->phaseType() == in->phaseType()");
  const Value vdot = (pIn->vdot + pOut->vdot) / 2.0;
  const Value rho = (pIn->rho + pOut->rho) / 2.0;
  const Value cp = (pIn->cp + pOut->cp) / 2.0;
  const Value mu = (pIn->mu(in.P, in.T) + pOut->mu(out.P, out.T)) / 2.0;
  const Value k = (pIn->kappa(in.P, in.T) + pOut->kappa(out.P, out.T)) / 2.0;

  const ShellBundle bundle(N, de, L, D, b, c);
  if (bundle.freeLengthClamped)
    setError("Free length available for cross-flow is too low");
  if (bundle.windowClamped)
    setError("Flow area for a window secton is too low");
  const ShellBundle::PressureDrop drop = bundle.pressureDrop(vdot, rho, mu, ns, eps, d1);
  VELTA_LOG(verbosity(), 3, name, "b = " << b);
  if (b.value() > 0.0) {
    VELTA_LOG(verbosity(), 3, name, "Asmu = " << drop.Asmu);
    VELTA_LOG(verbosity(), 3, name, "Asru = " << drop.Asru);
    VELTA_LOG(verbosity(), 3, name, "Asg = " << drop.Asmu + drop.Asru);
    VELTA_LOG(verbosity(), 3, name, "rm = " << drop.rm);
    VELTA_LOG(verbosity(), 3, name, "rl = " << drop.rl);
    VELTA_LOG(verbosity(), 3, name, "r = " << drop.r);
    VELTA_LOG(verbosity(), 3, name, "fL = " << drop.fL);
    VELTA_LOG(verbosity(), 3, name, "deltaPc = " << drop.deltaPc);
  }
  VELTA_LOG(verbosity(), 3, name, "deltaP_2 = " << drop.total);
  deltaP_2 = drop.total;

  // Heat transfer on the whole mean flow through the baffle spacing times
  // the mean of the shell diameter and the baffle edge.
  const Value vh = vdot / (bundle.S * (D + bundle.chord) / 2.0);
  const Value uMax = vh * bundle.pitch / bundle.gap;
  Re_2 = rho * uMax * de / mu;
  Pr_2 = cp * mu / k;
  const Value Tw = (out1().T + out.T) / 2.0;
  Pr_w2 = pIn->Pr(in.P, Tw);
  Nu_2 = tubeBankNusselt<Value>(Re_2, Pr_2, Pr_w2);

  const Value Jc = baffleCutFactor<Value>(D * (1.0 - 2.0 * c) / (D - Value(0.011, "m")));
  const Value Ssb = (pi - bundle.phi) * D * Value(0.004, "m") / 2.0;
  const Value Stb = (N - bundle.Nw) * pi * de * Value(0.0005, "m") / 2.0;
  const Value Jl = leakageFactor<Value>(Ssb / (Ssb + Stb), (Ssb + Stb) / bundle.Ae);
  const Value Jr = laminarFactor<Value>(rho * vh * D / mu, bundle.nr);
  U2 = 0.9 * Jc * Jl * Jr * Nu_2 * k / de;
  VELTA_LOG(verbosity(), 2, name, "Done");
  VELTA_TRACE_END(name)
}
