#include "velta/units/Compressor.h"

#include "velta/phases/MassMolarProperties.h"
#include "velta/streams/Stream.h"
#include "velta/utility/Diagnostic.h"
#include "velta/utility/Error.h"
#include "velta/utility/SharedEnumerations.h"

using Velta::Utility::FlashMode;
using Velta::Utility::MassBalanceMode;
using Velta::Utility::PhaseIndex;

const char *const Compressor::typeName = "Compressor";

Compressor::Compressor(Defaults defaults, int id, Persistency *persistency, Node *parent,
                       Node *root)
    : Object(defaults, id, persistency, parent, root),
      Model(defaults, id, persistency, parent, root),
      VertexBase(defaults, id, persistency, parent, root),
      Connectivity(defaults, id, persistency), ElectricalConsumption(defaults),
      ObjectiveNleAdVertex("Compressor"),
      T("T", "Temperature", 298.15, "K", nullptr), P("P", "Pressure", 101325.0, "Pa", nullptr),
      deltaP("deltaP", "Pressure drop", 0.0, "Pa", nullptr),
      alfa("alfa", "Molar vapor fraction", Value(0.5), nullptr),
      duty("duty", "Duty inlet - outlet", 0.0, "W", nullptr),
      deltas("deltas", "Entropy power", 0.0, "W/K", nullptr),
      flowcoefficient("flowcoefficient", "Flow coefficient", 1000.0, "kg/m7", nullptr),
      deltaPMax("deltaPMax", "Maximum allowable pressure drop", 0.0, "Pa", nullptr),
      beta("beta", "Fraction of deltaPmax when the pressure drop limitation logic will start acting",
           Value(0.9), nullptr),
      Tavg("Tavg", "Mass-weighted average inlet temperature", 298.15, "K", nullptr),
      NITER("NITER", "Number of iterations", -1, nullptr),
      option("option", "pressure option", "P", nullptr),
      cr("cr", "Compression ratio", Value(1.0), nullptr),
      theta("theta", "Isentropic yield", Value(1.0), nullptr),
      Wfis("Wfis", "Isentropic fluid power", 0.0, "W", nullptr),
      Wf("Wf", "Fluid power", 0.0, "W", nullptr), Wm("Wm", "Shaft power", 0.0, "W", nullptr),
      etaM("etaM", "Mechanical efficiency", Value(0.9), nullptr),
      etaE("etaE", "Electrical efficiency", Value(0.9), nullptr),
      Tis("Tis", "Isentropic outlet temperature", 298.15, "K", nullptr) {
  VELTA_TRACE_BEGIN
  setType(typeName);
  for (Quantity *q : {&T, &P, &deltaP, &alfa, &duty, &deltas, &flowcoefficient, &deltaPMax, &beta,
                      &Tavg})
    addVariable(*q);
  addVariable(NITER);
  addVariable(option);
  for (Quantity *q : {&cr, &theta, &Wfis, &Wf, &Wm, &etaM, &etaE, &Tis})
    addVariable(*q);
  for (Quantity *q : {&T, &P, &deltaP, &duty, &cr, &Wfis, &Wf, &Wm, &Tis})
    q->setOutput();
  for (Quantity *q : {&theta, &etaM, &etaE})
    q->setInput();
  We.unSetInput();
  We.setOutput();
  maxNIn = -1;
  maxNOut = 1;
  inletRequired(0);
  appendToName(fullTag());
  VELTA_TRACE_END("Compressor::Compressor")
}

Compressor::~Compressor() = default;

int Compressor::locationFromPort(std::string port) { return port.rfind("out", 0) == 0 ? 1 : 0; }

void Compressor::bind_(const char *caller) {
  myout_ = outletStream(0, caller);
  outTotal_ = my_cast<Phase::MassMolarProperties *>(myout_->Tphase, caller);
  if (!isentropic_) {
    std::unique_ptr<Node> copy = myout_->clone();
    isentropic_.reset(my_cast<Stream *>(copy.get(), caller));
    copy.release();
    isentropic_->setTag("ISENTROPIC");
  }
  isTotal_ = my_cast<Phase::MassMolarProperties *>(isentropic_->Tphase, caller);
}

void Compressor::initializeNonPersistents() {
  static const char *const name = "Compressor::initializeNonPersistents";
  VELTA_TRACE_BEGIN
  VELTA_LOG(verbosity(), 1, name, "Entered for " << tag());
  // Without an outlet there is nothing to prepare: a calculation reports
  // it, so a compressor stored on its own can still be read back.
  if (!outletConnected(0))
    return;
  bind_(name);
  isentropic_->T = Tis;
  isentropic_->P = myout_->P;
  isTotal_->v = outTotal_->v;
  if (isentropic_->findPhase(static_cast<int>(PhaseIndex::vapor)) &&
      myout_->findPhase(static_cast<int>(PhaseIndex::vapor)))
    isentropic_->phases()[0]->fraction = myout_->phases()[0]->fraction;
  isTotal_->S = outTotal_->S;
  isentropic_->setFlash(static_cast<int>(FlashMode::PS));
  VELTA_LOG(verbosity(), 2, name, "Initializing T = " << myout_->T << " P = " << myout_->P);
  isentropic_->estimate(myout_->P, myout_->T);
  isentropic_->initializeNonPersistents();
  myout_->setFlash(static_cast<int>(FlashMode::PH));
  myout_->estimate(myout_->P, myout_->T);
  VELTA_TRACE_END(name)
}

void Compressor::setup_of() {
  static const char *const name = "Compressor::setup_of";
  VELTA_LOG(verbosity(), 1, name, "Entered with " << id());
  if (isSetUp())
    return;
  bind_(name);
  addObjectiveFunction(*myout_->objectiveFunction());
  addObjectiveFunction(*isentropic_->objectiveFunction());
  setSetUp(true);
}

void Compressor::calculateResidualsLocal() {
  VELTA_LOG(verbosity(), 1, "Compressor::calculateResidualsLocal", "Entered with " << id());
  const unsigned n = myout_->objectiveFunction()->calculateResiduals(residuals, 0);
  isentropic_->objectiveFunction()->calculateResiduals(residuals, n);
}

void Compressor::go(int mode, int level) {
  static const char *const name = "Compressor::go";
  VELTA_TRACE_BEGIN
  VELTA_LOG(verbosity(), 1, name, "Entered for " << fullTag());
  resetErrors();
  if (!outletConnected(0)) {
    setError("no outlet connected, nothing to do");
    return;
  }
  if (option.value() != "P" && option.value() != "D") {
    setError("pressure option " + option.value() + " unsupported, P or D expected, nothing to do");
    return;
  }
  setup_of();
  const MassBalanceMode nx = MassBalanceMode::Nx;

  gather(verbosity(), myout_, connectedInlets(), deltaPMax, Tavg);
  myout_->flowoption = "Nx";
  pressureDrop(option.value(), deltaP, deltaPMax, beta, deltaPMax, P, flowcoefficient,
               outTotal_->vdot, name);
  myout_->P = P;
  VELTA_LOG(verbosity(), 2, name, "Setting myout_->P = " << myout_->P);

  const Value Hin = outTotal_->mdot * outTotal_->h;
  const Value Sin = outTotal_->mdot * outTotal_->s;
  VELTA_LOG(verbosity(), 2, name, "Setting myout_->Tphase->s = " << outTotal_->s);
  VELTA_LOG(verbosity(), 2, name, "Performing PS Flash");

  isentropic_->flowoption = "Nx";
  isTotal_->ndot = outTotal_->ndot;
  for (std::size_t j = 0; j < outTotal_->x.size(); ++j)
    isTotal_->x[j] = outTotal_->x[j];
  isentropic_->P = myout_->P;
  isTotal_->S = outTotal_->S;
  isentropic_->setFlash(static_cast<int>(FlashMode::PS));
  VELTA_LOG(verbosity(), 2, name, "Calculating isentropic");
  if (mode < 2) {
    isentropic_->estimate(myout_->P, myout_->T);
    isentropic_->calculate(level + 1);
  } else {
    isentropic_->objectiveFunction()->calculateResiduals(residuals,
                                                         myout_->objectiveFunction()->size());
    isentropic_->calculateX(nx);
  }
  Tis = isentropic_->T;
  VELTA_LOG(verbosity(), 2, name, "Setting duty = " << duty << " based on isentropic efficiency");

  Wfis = isTotal_->mdot * isTotal_->h - Hin;
  if (Wfis.value() > 0.0) {
    Wf = Wfis / theta;
    Wm = Wf / etaM;
    We = Wm / etaE;
  } else {
    Wf = Wfis * theta;
    Wm = Wf * etaM;
    We = Wm * etaE;
  }
  calculateElectricalConsumption();
  cr = P / deltaPMax;
  duty = -Wf;

  outTotal_->H -= duty / outTotal_->ndot;
  myout_->setFlash(static_cast<int>(FlashMode::PH));
  VELTA_LOG(verbosity(), 2, name, "Calculating myout_");
  if (mode < 2) {
    myout_->T = isentropic_->T;
    myout_->estimate(myout_->P, myout_->T);
    myout_->calculate(level + 1);
  } else {
    myout_->objectiveFunction()->calculateResiduals(residuals, 0);
    myout_->calculateX(nx);
  }
  Phase::Mass *vapor = myout_->findPhase(static_cast<int>(PhaseIndex::vapor));
  alfa = vapor ? Value(vapor->fraction) : Value(0.0);
  T = myout_->T;
  deltas = Sin - outTotal_->mdot * outTotal_->s;
  incrementCalculations();
  VELTA_TRACE_END(name)
}
