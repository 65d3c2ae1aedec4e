#include "velta/units/FlashDrum.h"

#include "velta/phases/Mass.h"
#include "velta/streams/Stream.h"
#include "velta/utility/Diagnostic.h"
#include "velta/utility/Error.h"
#include "velta/utility/SharedEnumerations.h"

using Velta::Utility::MassBalanceMode;

const char *const FlashDrum::typeName = "FlashDrum";

FlashDrum::FlashDrum(Defaults defaults, int id, Persistency *persistency, Node *parent, Node *root)
    : Object(defaults, id, persistency, parent, root),
      Model(defaults, id, persistency, parent, root),
      VertexBase(defaults, id, persistency, parent, root),
      FlashDrumBase(defaults, id, persistency), Connectivity(defaults, id, persistency),
      Tavg("Tavg", "Mass-weighted average inlet temperature", 298.15, "K", nullptr) {
  static const char *const name = "FlashDrum::FlashDrum";
  VELTA_TRACE_BEGIN
  setType(typeName);
  addVariable(Tavg);
  maxNIn = -1;
  maxNOut = 1;
  inletRequired(0);
  setIcon("FlashDrum", 60, 99.985695);
  VELTA_LOG(verbosity(), 1, name, "Entered with " << id);
  VELTA_TRACE_END(name)
}

FlashDrum::~FlashDrum() = default;

void FlashDrum::bindOutletStream_(const char *caller) { bindOutlet_(outletStream(0, caller)); }

void FlashDrum::setup() {
  static const char *const name = "FlashDrum::setup";
  VELTA_TRACE_BEGIN
  VELTA_LOG(verbosity(), 1, name, "Entered with " << id());
  bindOutletStream_(name);
  FlashDrumBase::setup();
  VELTA_LOG(verbosity(), 2, name, "Done");
  VELTA_TRACE_END(name)
}

void FlashDrum::setup_of() {
  if (isSetUp())
    return;
  bindOutletStream_("FlashDrum::setup_of");
  FlashDrumBase::setup_of();
  setSetUp(true);
}

void FlashDrum::initializeNonPersistents() {
  static const char *const name = "FlashDrum::initializeNonPersistents";
  VELTA_TRACE_BEGIN
  VELTA_LOG(verbosity(), 1, name, "Entered for " << fullTag());
  bindOutletStream_(name);
  setFlash_();
  myout_->initializeNonPersistents();
  VELTA_LOG(verbosity(), 2, name, "Done");
  VELTA_TRACE_END(name)
}

void FlashDrum::go(int mode, int level) {
  static const char *const name = "FlashDrum::go";
  VELTA_TRACE_BEGIN
  VELTA_LOG(verbosity(), 1, name, "Entered for " << fullTag());
  resetErrors();
  if (nIn.value() == 0) {
    setError("no inlet connected, nothing to do");
    return;
  }
  setup_of();
  if (mixInlets_(connectedInlets(), Tavg, mode, name)) {
    FlashDrumBase::go(mode, level);
  } else {
    myout_->calculateXnoFlash(outletFlowMode(*myout_));
    setWarning("Empty inlet stream");
    if (mode >= 2)
      zeroResiduals_();
  }
  incrementCalculations();
  VELTA_TRACE_END(name)
}
