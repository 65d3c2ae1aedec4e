#include "velta/units/Degasser.h"

#include "velta/phases/Mass.h"
#include "velta/streams/Stream.h"
#include "velta/utility/Diagnostic.h"
#include "velta/utility/Error.h"
#include "velta/utility/SharedEnumerations.h"

#include <algorithm>

using Velta::Utility::MassBalanceMode;
using Velta::Utility::PhaseIndex;
using Velta::Utility::PhaseType;

namespace {
const int vaporIndex = static_cast<int>(PhaseIndex::vapor);
}

const char *const Degasser::typeName = "Degasser";

Degasser::Degasser(Defaults defaults, int id, Persistency *persistency, Node *parent, Node *root)
    : Object(defaults, id, persistency, parent, root),
      Model(defaults, id, persistency, parent, root),
      VertexBase(defaults, id, persistency, parent, root),
      SimpleUnit(defaults, id, persistency, typeName) {
  maxNIn = 1;
  maxNOut = 2;
  inletRequired(0);
  registerSynonym("vapor", "out1");
  registerSynonym("condensate", "out2");
}

Degasser::~Degasser() = default;

int Degasser::locationFromPort(std::string port) {
  if (port == "out1")
    return PortTable::north;
  if (port == "out2")
    return PortTable::south;
  return PortTable::west;
}

bool Degasser::streams_(const char *caller, Stream *&in, Stream *&vapor, Stream *&condensate) {
  if (!inletConnected(0)) {
    setError("no inlet connected, nothing to do");
    return false;
  }
  if (!outletConnected(0) || !outletConnected(1)) {
    setError("no outlet connected, nothing to do");
    return false;
  }
  in = inletStream(0, caller);
  vapor = outletStream(0, caller);
  condensate = outletStream(1, caller);
  if (in->findPhaseIndex(vaporIndex) == -1 || vapor->findPhaseIndex(vaporIndex) == -1) {
    setError("inlet and vapor outlet need a vapor phase, nothing to do");
    return false;
  }
  for (Phase::Mass *p : in->phases())
    if (p->phaseIndex() != vaporIndex && condensate->findPhaseIndex(p->phaseIndex()) == -1) {
      setError("condensate outlet has no phase " + Velta::Utility::phaseIndexName(p->phaseIndex()) +
               ", nothing to do");
      return false;
    }
  return true;
}

void Degasser::go(int, int) {
  static const char *const name = "Degasser::go";
  VELTA_TRACE_BEGIN
  VELTA_LOG(verbosity(), 1, name, "Entered for " << fullTag());
  Stream *in = nullptr, *vaporStream = nullptr, *condensateStream = nullptr;
  if (!streams_(name, in, vaporStream, condensateStream))
    return;
  vaporStream->T = in->Q("T");
  condensateStream->T = in->Q("T");
  vaporStream->P = in->Q("P");
  condensateStream->P = in->Q("P");

  // The fluid phase: "Vphase", or "Xphase" of solid-bearing streams, or
  // else the phase that carries the vapour index.
  Phase::Mass *V = nullptr;
  if (in->hasChild("Vphase"))
    V = my_cast<Phase::Mass *>(&in->child("Vphase"), name);
  else if (in->hasChild("Xphase"))
    V = my_cast<Phase::Mass *>(&in->child("Xphase"), name);
  else
    V = in->findPhase(vaporIndex);
  if (!V)
    throw ErrorBrowsing(name, fullTag().c_str(), type().c_str(),
                        "Vphase or Xphase required in inlet stream");
  if (V->phaseType() != static_cast<int>(PhaseType::vapor))
    throw ErrorBrowsing(name, fullTag().c_str(), type().c_str(),
                        "vapor phase required in inlet stream");
  const Value f = V->fraction;

  if (vaporStream->nphases() > 1)
    for (Phase::Mass *p : vaporStream->phases())
      if (p->phaseType() != static_cast<int>(PhaseType::vapor)) {
        emptyPhase(*p);
      }
  // A total phase of its own (every multi-phase stream, and the simple
  // single-phase streams) is built up from the phases it receives.
  const auto ownTotal = [](Stream &s) {
    return std::find(s.phases().begin(), s.phases().end(), s.Tphase) == s.phases().end();
  };
  const bool vaporTotal = ownTotal(*vaporStream);
  const bool condensateTotal = ownTotal(*condensateStream);
  if (condensateTotal) {
    emptyPhase(*condensateStream->Tphase);
  }
  for (Phase::Mass *p : in->phases()) {
    if (p->phaseIndex() == vaporIndex) {
      VELTA_LOG(verbosity(), 2, name, "Looking for vapor phase in vaporPhase");
      Phase::Mass &target = *vaporStream->findPhase(vaporIndex);
      assignPhaseValues(target, *p);
      target.fraction = Value(1.0);
      if (vaporTotal)
        assignPhaseValues(*vaporStream->Tphase, *p);
      VELTA_LOG(verbosity(), 2, name, "Looking for vapor phase in condensateStream");
      if (Phase::Mass *m = condensateStream->findPhase(vaporIndex)) {
        m->clear();
        m->fraction = Value(0.0);
      }
    } else {
      VELTA_LOG(verbosity(), 2, name,
                "Looking for phase " << Velta::Utility::phaseIndexName(p->phaseIndex())
                                     << " in condensateStream");
      Phase::Mass &target = *condensateStream->findPhase(p->phaseIndex());
      assignPhaseValues(target, *p);
      if (condensateTotal)
        *condensateStream->Tphase += *p;
      target.fraction = f.value() == 1.0 ? Value(0.0) : p->fraction / (Value(1.0) - f);
    }
  }
  if (condensateTotal) {
    // The condensate's own flash state (phase split, densities of its
    // equation-of-state phases) follows the phases it has just received,
    // so that its total properties are those of these phases.
    condensateStream->initializeNonPersistents();
    condensateStream->prepare_residuals();
    condensateStream->Tphase->calculateProperties(condensateStream->P, condensateStream->T, true);
  }
  prepareOutletFlash(*vaporStream);
  prepareOutletFlash(*condensateStream);
  incrementCalculations();
  VELTA_LOG(verbosity(), 2, name, "Done");
  VELTA_TRACE_END(name)
}

void Degasser::revert() {
  static const char *const name = "Degasser::revert";
  VELTA_TRACE_BEGIN
  VELTA_LOG(verbosity(), 1, name, "Entered for " << fullTag());
  Stream *in = nullptr, *vaporStream = nullptr, *condensateStream = nullptr;
  if (!streams_(name, in, vaporStream, condensateStream))
    return;
  in->Q("T") = vaporStream->T;
  in->Q("P") = vaporStream->P;
  const Value r = vaporStream->Tphase->totalFlow() + condensateStream->Tphase->totalFlow();
  const double n = static_cast<double>(in->nphases());
  for (Phase::Mass *p : in->phases()) {
    const Phase::Mass &source = p->phaseIndex() == vaporIndex
                                    ? *vaporStream->Tphase
                                    : *condensateStream->findPhase(p->phaseIndex());
    assignPhaseValues(*p, source);
    // Empty outlets give every phase an equal share.
    p->fraction = r.value() != 0.0 ? source.totalFlow() / r : Value(1.0 / n);
  }
  assignPhaseValues(*in->Tphase, *condensateStream->Tphase);
  *in->Tphase += *vaporStream->Tphase;
  VELTA_LOG(verbosity(), 2, name, "Done");
  VELTA_TRACE_END(name)
}
