#include "velta/units/ShellCondensing.h"

#include "velta/core/MyCast.h"
#include "velta/phases/MassMolarProperties.h"
#include "velta/streams/Stream.h"
#include "velta/units/HeatTransferCorrelations.h"
#include "velta/units/ShellBundle.h"
#include "velta/utility/Diagnostic.h"
#include "velta/utility/Error.h"
#include "velta/utility/SharedEnumerations.h"

using Velta::Utility::PhaseType;

ShellCondensing::ShellCondensing(Defaults defaults, int id, Persistency *persistency, Node *parent,
                                 Node *root)
    : Object(defaults, id, persistency, parent, root),
      Model(defaults, id, persistency, parent, root),
      ShellAndTube(defaults, id, persistency, parent, root),
      Re_L2("Re_L2", "Terminal Reynolds number of the condensing film at the shell side",
            Value(1.0), nullptr),
      Pr_L2("Pr_L2", "Terminal Prandtl number of the condensing film at the shell side",
            Value(1.0), nullptr),
      Du_L2("Du_L2", "Dukler diagram reading", Value(1.0), nullptr),
      deltaP_2("deltaP_2", "Shell-side pressure drop", 0.0, "Pa", nullptr) {
  static const char *const name = "ShellCondensing::ShellCondensing";
  VELTA_TRACE_BEGIN
  VELTA_LOG(verbosity(), 1, name, "Entered with " << id);
  for (Quantity *q : {&Re_L2, &Pr_L2, &Du_L2, &deltaP_2})
    addVariable(*q);
  VELTA_LOG(verbosity(), 2, name, "Done");
  VELTA_TRACE_END(name)
}

ShellCondensing::~ShellCondensing() = default;

void ShellCondensing::setup() {
  U2.unSetInput();
  for (Quantity *q : {&U2, &Re_L2, &Pr_L2, &Du_L2, &deltaP_2})
    q->setOutput();
}

void ShellCondensing::preCalculate() {
  static const char *const name = "ShellCondensing::preCalculate";
  VELTA_TRACE_BEGIN
  VELTA_LOG(verbosity(), 1, name, "Entered for " << fullTag());
  Stream &in = in2();
  Stream &out = out2();
  auto *in2V = my_cast<Phase::MassMolarProperties *>(in.Tphase, name);
  auto *out2L = my_cast<Phase::MassMolarProperties *>(out.Tphase, name);
  if (out2L->phaseType() != static_cast<int>(PhaseType::liquid))
    throw ErrorRunTime(name, "out2L->phaseType() == Velta::Utility::PhaseType::liquid");
  if (in2V->phaseType() != static_cast<int>(PhaseType::vapor))
    throw ErrorRunTime(name, "in2V->phaseType() == Velta::Utility::PhaseType::vapor");
  const Value mu = out2L->mu(out.P, out.T);
  const Value k = out2L->kappa(out.P, out.T);
  const Value &cp = out2L->cp;
  const Value &rho = out2L->rho;
  VELTA_LOG(verbosity(), 2, name, "mu_L2 = " << mu << " k_L2 = " << k << " cp_L2 = " << cp);
  const Value g(9.806, "m/s2");
  // The film runs down the outer perimeter of all tubes.
  Re_L2 = 4.0 * out2L->mdot / (3.141592653589793 * N * de * mu);
  Pr_L2 = cp * mu / k;
  Du_L2 = Value(HeatTransferCorrelations::dukler(Re_L2.value(), Pr_L2.value()));
  if (Du_L2.value() == 0.0)
    setError("Dukler correlation out-of-range");
  U2 = Du_L2 * curt(rho * rho * g * k * k * k / (mu * mu));

  const ShellBundle bundle(N, de, L, D, b, c);
  if (bundle.freeLengthClamped)
    setError("Free length available for cross-flow is too low");
  if (bundle.windowClamped)
    setError("Flow area for a window secton is too low");
  const ShellBundle::PressureDrop drop =
      bundle.pressureDrop(in2V->vdot, in2V->rho, in2V->mu(in.P, in.T), ns, eps, d1);
  deltaP_2 = drop.total;
#define SHELL_LOG(label, value) VELTA_LOG(verbosity(), 3, name, label << (value))
  SHELL_LOG("N = ", N);
  SHELL_LOG("Ats = ", bundle.As);
  SHELL_LOG("de = ", de);
  SHELL_LOG("td = ", bundle.td);
  SHELL_LOG("D = ", D);
  SHELL_LOG("S = ", bundle.S);
  SHELL_LOG("Lt = ", bundle.Lt);
  SHELL_LOG("vdot = ", in2V->vdot);
  SHELL_LOG("Ae = ", bundle.Ae);
  SHELL_LOG("pa = ", bundle.pa);
  SHELL_LOG("pb = ", bundle.pb);
  SHELL_LOG("Fal = ", drop.Fal);
  SHELL_LOG("Re = ", drop.Re);
  SHELL_LOG("zetal = ", drop.zetal);
  SHELL_LOG("Fat = ", drop.Fat);
  SHELL_LOG("zetat = ", drop.zetat);
  SHELL_LOG("zeta = ", drop.zeta);
  SHELL_LOG("nr = ", bundle.nr);
  SHELL_LOG("rho = ", in2V->rho);
  SHELL_LOG("we = ", drop.we);
  SHELL_LOG("nre = ", drop.nre);
  SHELL_LOG("Nw = ", bundle.Nw);
  SHELL_LOG("Awg = ", bundle.Awg);
  SHELL_LOG("Awr = ", bundle.Awr);
  SHELL_LOG("Aw = ", bundle.Aw);
  SHELL_LOG("Uw = ", bundle.Uw);
  SHELL_LOG("wp = ", drop.wp);
  SHELL_LOG("zetaw = ", drop.zetaw);
  SHELL_LOG("S = ", bundle.S);
  SHELL_LOG("dg = ", bundle.dg);
  SHELL_LOG("ww = ", drop.ww);
  if (b.value() > 0.0) {
    VELTA_LOG(verbosity(), 3, name, "b > 0");
    SHELL_LOG("rm = ", drop.rm);
    SHELL_LOG("rl = ", drop.rl);
    SHELL_LOG("r = ", drop.r);
    SHELL_LOG("b = ", b);
    SHELL_LOG("deltaPc0 = ", drop.deltaPc0);
    SHELL_LOG("fL = ", drop.fL);
    SHELL_LOG("fB = ", drop.fB);
    SHELL_LOG("deltaPc = ", drop.deltaPc);
    SHELL_LOG("deltaPe0 = ", drop.deltaPe0);
    SHELL_LOG("fB = ", drop.fB);
    SHELL_LOG("deltaPe = ", drop.deltaPe);
    SHELL_LOG("deltaPw = ", drop.deltaPw);
    SHELL_LOG("deltaPn = ", drop.deltaPn);
  } else {
    VELTA_LOG(verbosity(), 3, name, "b <= 0");
  }
  SHELL_LOG("deltaP_2 = ", deltaP_2);
#undef SHELL_LOG
  VELTA_LOG(verbosity(), 2, name, "Done");
  VELTA_TRACE_END(name)
}
