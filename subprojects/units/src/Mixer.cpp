#include "velta/units/Mixer.h"

#include "velta/phases/MassMolarProperties.h"
#include "velta/streams/Stream.h"
#include "velta/utility/Diagnostic.h"
#include "velta/utility/Error.h"
#include "velta/utility/SharedEnumerations.h"

const char *const Mixer::typeName = "Mixer";

Mixer::Mixer(Defaults defaults, int id, Persistency *persistency, Node *parent, Node *root)
    : Object(defaults, id, persistency, parent, root),
      Model(defaults, id, persistency, parent, root),
      VertexBase(defaults, id, persistency, parent, root),
      SimpleUnit(defaults, id, persistency, typeName),
      NITER("NITER", "Number of iterations", -1, nullptr),
      Tavg("Tavg", "Mass-weighted average inlet temperature", 298.15, "K", nullptr) {
  VELTA_LOG(verbosity(), 1, "Mixer::Mixer", "Entered with id = " << id);
  maxNIn = -1;
  maxNOut = 1;
  inletRequired(0);
  addVariable(NITER);
  addVariable(Tavg);
}

Mixer::~Mixer() = default;

ObjectiveNleAd *Mixer::objectiveFunction() {
  return outletStream(0, "Mixer::objectiveFunction")->objectiveFunction();
}

void Mixer::go(int mode, int level) {
  static const char *const name = "Mixer::go";
  VELTA_TRACE_BEGIN
  VELTA_LOG(verbosity(), 1, name, "Entered for " << fullTag());
  resetErrors();
  if (!outletConnected(0)) {
    setError("no outlet connected, nothing to do");
    return;
  }
  Value P(0.0, "Pa");
  gather(verbosity(), outlets_[0], connectedInlets(), P, Tavg);
  Stream *out = outletStream(0, name);
  VELTA_LOG(verbosity(), 2, name, "setting Flash");
  out->P = P;
  // A stream never calculated still holds its initial temperature: start
  // its flash from the inlets' mean instead.
  if (out->T.value() == 298.15)
    out->T = Tavg;
  const bool withProperties = dynamic_cast<Phase::MassMolarProperties *>(out->Tphase);
  out->setFlash(static_cast<int>(withProperties ? Velta::Utility::FlashMode::PH
                                                : Velta::Utility::FlashMode::PT));
  VELTA_LOG(verbosity(), 2, name, "Solving Flash");
  out->go(mode, level + 1);
  if (mode < 2)
    NITER = out->I("NITER_NLEFlash");
  incrementCalculations();
  VELTA_LOG(verbosity(), 2, name, "Done");
  VELTA_TRACE_END(name)
}
