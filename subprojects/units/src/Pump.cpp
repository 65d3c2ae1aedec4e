#include "velta/units/Pump.h"

#include "velta/streams/Stream.h"
#include "velta/utility/Diagnostic.h"
#include "velta/utility/Error.h"

const char *const Pump::typeName = "Pump";

Pump::Pump(Defaults defaults, int id, Persistency *persistency, Node *parent, Node *root)
    : Object(defaults, id, persistency, parent, root),
      Model(defaults, id, persistency, parent, root),
      VertexBase(defaults, id, persistency, parent, root), ElectricalConsumption(defaults),
      FlashDrum(defaults, id, persistency, parent, root),
      etaM("etaM", "Mechanical efficiency", Value(0.9), nullptr),
      etaE("etaE", "Electrical efficiency", Value(0.9), nullptr),
      rho("rho", "Fluid density", 0.0, "kg/m3", nullptr),
      Wf("Wf", "Fluid power", 0.0, "W", nullptr), Wm("Wm", "Shaft power", 0.0, "W", nullptr),
      cr("cr", "Compression ratio", Value(1.0), nullptr) {
  VELTA_TRACE_BEGIN
  setType(typeName);
  for (Quantity *q : {&etaM, &etaE, &rho, &Wf, &Wm, &cr})
    addVariable(*q);
  // One inlet: a second one is refused when it is attached.
  maxNIn = 1;
  setIcon("Pump", 80, 85);
  VELTA_TRACE_END("Pump::Pump")
}

Pump::~Pump() = default;

void Pump::setup() {
  VELTA_TRACE_BEGIN
  // The flash drum's set-up binds the outlet and attaches the reactions.
  FlashDrum::setup();
  etaM.setInput();
  etaE.setInput();
  for (Quantity *q : {&rho, &Wf, &Wm})
    q->setOutput();
  We.unSetInput();
  We.setOutput();
  VELTA_TRACE_END("Pump::setup")
}

void Pump::go(int mode, int level) {
  static const char *const name = "Pump::go";
  VELTA_TRACE_BEGIN
  VELTA_LOG(verbosity(), 1, name, "Entered for " << fullTag());
  FlashDrum::go(mode, level);
  // Without its inlet the drum has recorded the error and done nothing.
  if (nIn.value() != 1)
    return;
  rho = myout_->Q("Tphase.rho");
  // The inlet flow of this calculation: the balance quantity mdotin is
  // only brought up to date after the unit's calculation.
  Wf = deltaP * inletStream(0, name)->Tphase->mdot / rho;
  Wm = Wf / etaM;
  We = Wm / etaE;
  cr = myout_->P / deltaPMax;
  calculateElectricalConsumption();
  incrementCalculations();
  VELTA_LOG(verbosity(), 2, name, "Done");
  VELTA_TRACE_END(name)
}
