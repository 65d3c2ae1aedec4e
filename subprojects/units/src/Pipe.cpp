#include "velta/units/Pipe.h"

#include "velta/core/ValueHelpers.h"
#include "velta/phases/MassMolarProperties.h"
#include "velta/streams/Stream.h"
#include "velta/units/BeggsBrill.h"
#include "velta/utility/Diagnostic.h"
#include "velta/utility/Error.h"
#include "velta/utility/SharedEnumerations.h"

using Velta::Utility::PhaseType;

const char *const Pipe::typeName = "Pipe";

namespace {

const char *const goName = "Pipe::go";

const Value &gravity() {
  static const Value g(9.806, "m/s2");
  return g;
}

// Diagnostic lines of the two-phase models: written at every ordinary
// verbosity (down to a combined verbosity of -10), without asterisks.
#define PIPE_DIAGNOSTIC(label, value) VELTA_LOG(verbosity() + 9, -2, goName, label << (value))

// The flows and densities that both two-phase models start from.
struct TwoPhaseInlet {
  Phase::MassMolarProperties *total, *liquid, *vapor;
  Value qL, qV, lambda, rhoL, rhoV, muL, muV;
};

TwoPhaseInlet twoPhaseInlet(Stream &in) {
  TwoPhaseInlet t;
  t.total = my_cast<Phase::MassMolarProperties *>(in.Tphase, goName);
  t.liquid = my_cast<Phase::MassMolarProperties *>(&in.at("Lphase"), goName);
  t.vapor = my_cast<Phase::MassMolarProperties *>(&in.at("Vphase"), goName);
  t.qL = t.total->vdot - t.vapor->vdot;
  t.qV = t.vapor->vdot;
  t.lambda = t.qL / (t.qL + t.qV);
  t.rhoL = t.qL.value() > 0.0 ? Value((t.total->mdot - t.vapor->mdot) / t.qL)
                              : Value(1000.0, "kg/m3");
  t.rhoV = t.vapor->rho;
  t.muL = t.liquid->mu(in.P, in.T);
  t.muV = t.vapor->mu(in.P, in.T);
  return t;
}

Value slipDensity(const TwoPhaseInlet &t, const Value &hL) {
  return t.rhoL * hL + t.rhoV * (1.0 - hL);
}

} // namespace

Pipe::Pipe(Defaults defaults, int id, Persistency *persistency, Node *parent, Node *root)
    : Object(defaults, id, persistency, parent, root),
      Model(defaults, id, persistency, parent, root),
      VertexBase(defaults, id, persistency, parent, root),
      FlashDrum(defaults, id, persistency, parent, root), PipeBase(defaults),
      v("v", "Mixture velocity", 1.0, "m/s", nullptr),
      Re("Re", "Reynolds number", Value(1.0), nullptr),
      vhConcentrated("vhConcentrated", "Velocity heads due to concentrated pressure losses",
                     Value(0.0), nullptr),
      vhDistributed("vhDistributed", "Velocity heads due to distributed pressure losses",
                    Value(0.0), nullptr),
      E("E", "Mass kinetic energy", 1.0, "m2/s2", nullptr),
      f("f", "Moody friction factor", Value(1.0), nullptr),
      rho("rho", "Mixture density", 1.0, "kg/m3", nullptr),
      deltaPfrictional("deltaPfrictional", "Frictional pressure drop", 0.0, "Pa", nullptr),
      deltaPgravitational("deltaPgravitational", "Gravitational pressure drop", 0.0, "Pa",
                          nullptr),
      tau("tau", "Mixture residence time", 0.0, "s", nullptr),
      hL("hL", "Liquid holdup", Value(0.0), nullptr),
      tpfm("tpfm", "two phase flow model", "beggs-brill", nullptr) {
  VELTA_TRACE_BEGIN
  setType(typeName);
  for (Quantity *q : {&v, &Re, &vhConcentrated, &vhDistributed, &E, &f, &rho, &deltaPfrictional,
                      &deltaPgravitational, &tau, &hL})
    addVariable(*q);
  addVariable(tpfm);
  // One inlet: a second one is refused when it is attached.
  maxNIn = 1;
  setIcon("Pipe", 99.995331, 30.000134);
  VELTA_TRACE_END("Pipe::Pipe")
}

Pipe::~Pipe() = default;

void Pipe::setup() {
  VELTA_TRACE_BEGIN
  // The flash drum's set-up binds the outlet and attaches the reactions.
  FlashDrum::setup();
  PipeBase::setup();
  vhConcentrated.setInput();
  for (Quantity *q : {&v, &Re, &vhConcentrated, &vhDistributed, &E, &f, &rho, &deltaPfrictional,
                      &deltaPgravitational, &tau, &hL})
    q->setOutput();
  VELTA_TRACE_END("Pipe::setup")
}

void Pipe::go(int mode, int level) {
  VELTA_TRACE_BEGIN
  VELTA_LOG(verbosity(), 1, goName, "Entered for " << fullTag());
  if (nIn.value() != 1) {
    // Without its inlet the drum records the error and does nothing else.
    FlashDrum::go(mode, level);
    return;
  }
  Stream &in = *inletStream(0, goName);
  calculateGeometry();
  v = in.Q("Tphase.vdot") / At;
  E = v * v / 2.0;
  Value rhoS;
  if (!(in.Tphase->totalFlow().value() > 0.0)) {
    // Nothing flows: no friction and no mixture to weigh (its fractions
    // would be 0/0); the drum reports the empty inlet.
    Re = Value(0.0);
    f = Value(0.0);
    rhoS = Value(0.0, "kg/m3");
  } else if (in.nphases() == 1) {
    auto *total = my_cast<Phase::MassMolarProperties *>(in.Tphase, goName);
    hL = Value(total->phaseType() == static_cast<int>(PhaseType::vapor) ? 0.0 : 1.0);
    rho = total->rho;
    const Value mu = total->mu(in.P, in.T);
    Re = total->mdot * di / (mu * At);
    f = frictionFactor(Re, ed);
    rhoS = rho;
  } else if (tpfm.value() == "homogeneous") {
    rhoS = homogeneous_(in);
  } else if (tpfm.value() == "beggs-brill") {
    rhoS = beggsBrill_(in);
  } else {
    throw ErrorBrowsing(goName, tag().c_str(), tpfm.description().c_str(), tpfm.value().c_str());
  }
  vhDistributed = f * L / di;
  deltaPfrictional = (vhConcentrated + vhDistributed) * E * rho;
  deltaPgravitational = gravity() * h * rhoS;
  deltaP = deltaPfrictional + deltaPgravitational;
  if (v.value() != 0.0)
    tau = L / v;
  option = "DH";
  FlashDrum::go(mode, level);
  if (deltaP > in.P / 10.0)
    setWarning("Pressure drop greater than one tenth of inlet pressure, consider using a "
               "MultiStage of Pipe units instead");
  incrementCalculations();
  VELTA_LOG(verbosity(), 2, goName, "Done");
  VELTA_TRACE_END(goName)
}

Value Pipe::homogeneous_(Stream &in) {
  const TwoPhaseInlet t = twoPhaseInlet(in);
  hL = t.lambda;
  rho = t.total->rho;
  const Value muM = hL * t.muL + (1.0 - hL) * t.muV;
  Re = rho * v * di / muM;
  f = frictionFactor(Re, ed);
  PIPE_DIAGNOSTIC("qL = ", t.qL);
  PIPE_DIAGNOSTIC("qV = ", t.qV);
  PIPE_DIAGNOSTIC("muL = ", t.muL);
  PIPE_DIAGNOSTIC("muV = ", t.muV);
  PIPE_DIAGNOSTIC("hL = ", hL);
  PIPE_DIAGNOSTIC("muM = ", muM);
  PIPE_DIAGNOSTIC("Re = ", Re);
  PIPE_DIAGNOSTIC("f = ", f);
  return slipDensity(t, hL);
}

Value Pipe::beggsBrill_(Stream &in) {
  const TwoPhaseInlet t = twoPhaseInlet(in);
  const Value &lambda = t.lambda;
  if (lambda.value() < 0.01) {
    // Gas flow: no flow pattern.
    rho = t.vapor->rho;
    Re = t.total->mdot * di / (t.muV * At);
    f = frictionFactor(Re, ed);
    hL = lambda;
    return slipDensity(t, hL);
  }
  const Value Fr = v * v / (gravity() * di);
  rho = t.total->rho;
  const Value sigma = t.liquid->sigma(in.P, in.T);
  const Value vSL = t.qL / At;
  const Value NLv = pow(vSL * vSL * vSL * vSL * t.rhoL / (gravity() * sigma), 0.25);
  const BeggsBrill::Holdup holdup = BeggsBrill::holdup(lambda, Fr, NLv, theta);
  VELTA_LOG(verbosity() + 9, -2, goName, holdup.pattern);
  hL = holdup.hL;
  const Value muM = lambda * t.muL + (1.0 - lambda) * t.muV;
  Re = rho * v * di / muM;
  const Value fns = frictionFactor(Re, ed);
  const Value S = BeggsBrill::frictionExponent(lambda / (hL * hL));
  f = fns * exp(S);
  PIPE_DIAGNOSTIC("qL = ", t.qL);
  PIPE_DIAGNOSTIC("qV = ", t.qV);
  PIPE_DIAGNOSTIC("Fr = ", Fr);
  PIPE_DIAGNOSTIC("rhoL = ", t.rhoL);
  PIPE_DIAGNOSTIC("rhoV = ", t.rhoV);
  PIPE_DIAGNOSTIC("muL = ", t.muL);
  PIPE_DIAGNOSTIC("muV = ", t.muV);
  PIPE_DIAGNOSTIC("sigma = ", sigma);
  PIPE_DIAGNOSTIC("NLv = ", NLv);
  PIPE_DIAGNOSTIC("lambda = ", lambda);
  PIPE_DIAGNOSTIC("L1 = ", holdup.L1);
  PIPE_DIAGNOSTIC("L2 = ", holdup.L2);
  PIPE_DIAGNOSTIC("hL0 = ", holdup.hL0);
  PIPE_DIAGNOSTIC("psi = ", holdup.psi);
  PIPE_DIAGNOSTIC("hL = ", hL);
  PIPE_DIAGNOSTIC("muM = ", muM);
  PIPE_DIAGNOSTIC("Re = ", Re);
  PIPE_DIAGNOSTIC("fns = ", fns);
  PIPE_DIAGNOSTIC("S = ", S);
  PIPE_DIAGNOSTIC("f = ", f);
  return slipDensity(t, hL);
}
