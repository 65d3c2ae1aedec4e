#include "velta/streams/StreamSimple.h"

#include "velta/components/ComponentGeneric.h"
#include "velta/components/ListComponents.h"
#include "velta/core/MyCast.h"
#include "velta/phases/Total.h"
#include "velta/utility/Error.h"
#include "velta/utility/SharedEnumerations.h"
#include "velta/value/Constants.h"

#include <string>

using Velta::Utility::PhaseIndex;
using Velta::Utility::phaseIndexName;
using Velta::Utility::phaseTypeName;

std::vector<int> StreamBaseSimple::componentPhase_;

namespace {

// The PhaseType of a PhaseIndex (0 outside the table).
int phaseTypeOfIndex(int index) {
  if (index == static_cast<int>(PhaseIndex::vapor))
    return 1;
  if (index >= static_cast<int>(PhaseIndex::liquid1) &&
      index <= static_cast<int>(PhaseIndex::liquid3))
    return 2;
  if (index >= static_cast<int>(PhaseIndex::solid1) &&
      index <= static_cast<int>(PhaseIndex::solid9))
    return 3;
  return 0;
}

std::string logName(int nV, int nL, int nS, const char *operation) {
  return "StreamSimple<" + std::to_string(nV) + "," + std::to_string(nL) + "," +
         std::to_string(nS) + ">::" + operation;
}

} // namespace

template <> const char *StreamSimple<1, 1, 1>::typeName() { return "StreamSimpleLiquidSolidVapor"; }
template <> const char *StreamSimple<1, 0, 0>::typeName() { return "StreamSimpleVapor"; }
template <> const char *StreamSimple<0, 1, 1>::typeName() { return "StreamSimpleLiquidSolid"; }
template <> const char *StreamSimple<0, 1, 0>::typeName() { return "StreamSimpleLiquid"; }
template <> const char *StreamSimple<0, 0, 1>::typeName() { return "StreamSimpleSolid"; }

StreamBaseSimple::StreamBaseSimple(Defaults defaults, int id, Persistency *persistency,
                                   Node *parent, Node *root)
    : Stream(defaults, id, persistency, parent, root) {
  flowoption = "Mw";
  componentPhase_.assign(static_cast<std::size_t>(std::max(NCOMPONENTS, 0)), 0);
  for (int i = 0; i < NCOMPONENTS; ++i) {
    const ComponentGeneric &c = *components[i];
    int home = static_cast<int>(PhaseIndex::liquid1);
    if (c.isSolid())
      home = static_cast<int>(PhaseIndex::solid1);
    else if (c.Tc() < referenceTemperature)
      home = static_cast<int>(PhaseIndex::vapor);
    componentPhase_[static_cast<std::size_t>(i)] = home;
  }
}

StreamBaseSimple::~StreamBaseSimple() = default;

void StreamBaseSimple::updateFlash() {
  static const char *const name = "StreamBaseSimple::updateFlash";
  VELTA_LOG(streamVerbosity(), 1, name, "Entered for " << fullTag());
  VELTA_TRACE_BEGIN
  Value accumulated = Tphase->totalFlow();
  accumulated.setZero();
  for (int t = 0; t < NCOMPONENTS; ++t) {
    const int home = componentPhase_[static_cast<std::size_t>(t)];
    VELTA_LOG(streamVerbosity(), 2, name,
              "Component[" << t << "] = " << components[t]->name() << " is headed for phase "
                           << phaseIndexName(home));
    const Value &flow = Tphase->flow(t);
    bool placed = false;
    for (Phase::Mass *p : phases_) {
      VELTA_LOG(streamVerbosity(), 2, name, "Now looking at phase " << p->fullTag());
      if (p->phaseIndex() == home) {
        p->flow(t) = flow;
        accumulated += flow;
        VELTA_LOG(streamVerbosity(), 2, name, "Sending to " << phaseIndexName(home));
        placed = true;
      } else {
        p->flow(t).setZero();
      }
    }
    if (!placed) {
      const int homeType = phaseTypeOfIndex(home);
      for (Phase::Mass *p : phases_) {
        VELTA_LOG(streamVerbosity(), 2, name, "Now looking at phase " << p->fullTag());
        if (p->phaseType() == homeType) {
          p->flow(t) = flow;
          accumulated += flow;
          VELTA_LOG(streamVerbosity(), 2, name, "Sending to " << phaseTypeName(homeType));
          placed = true;
        }
      }
    }
    if (!placed && !phases_.empty()) {
      VELTA_LOG(streamVerbosity(), 2, name, "Sending to first phase, whatever");
      phases_.front()->flow(t) = flow;
      accumulated += flow;
    }
  }
  for (Phase::Mass *p : phases_) {
    p->calculateX(Phase::flowonly(Tphase->representation()));
    // A stream without flow leaves its phases at fraction 0 rather than
    // dividing by zero.
    if (accumulated.value() != 0.0)
      p->fraction = p->totalFlow() / accumulated;
    else
      p->fraction = Value(0.0);
    VELTA_LOG(streamVerbosity(), 2, name,
              p->fullTag() << ".fraction = " << p->fraction << " .accumulated = " << accumulated
                           << " .totalFlow = " << Tphase->totalFlow());
  }
  Stream::updateFlash();
  VELTA_TRACE_END(name)
}

template <int nV, int nL, int nS>
StreamSimple<nV, nL, nS>::StreamSimple(Defaults defaults, int id, Persistency *persistency,
                                       Node *parent, Node *root)
    : Object(defaults, id, persistency, parent, root),
      Model(defaults, id, persistency, parent, root),
      StreamBaseSimple(defaults, id, persistency, parent, root) {
  const std::string name = logName(nV, nL, nS, "StreamSimple");
  setType(typeName());
  VELTA_LOG(streamVerbosity(), 1, name.c_str(), "Entered");
  if (persistency)
    retrieveIntegersAndStrings(persistency);
  phases_.assign(static_cast<std::size_t>(nV + nL + nS), nullptr);
  Tphase = addPhase("PhaseSimpleTotal", "Tphase", "Total phase", -1, persistency);
  my_cast<Phase::Total *>(Tphase, name)->setStream(this);
  auto tagOf = [](const char *kind, int i) { return std::string(kind) + "[" + std::to_string(i) + "]"; };
  for (int i = 0; i < nV; ++i)
    addPhase("PhaseSimple<vapor>", tagOf("Vphase", i), "Vapor phase", i, persistency);
  for (int i = 0; i < nL; ++i)
    addPhase("PhaseSimple<liquid>", tagOf("Lphase", i), "Liquid phase", nV + i, persistency);
  for (int i = 0; i < nS; ++i)
    addPhase("PhaseSimple<solid>", tagOf("Sphase", i), "Solid phase", nV + nL + i, persistency);
  postconstruct_(id);
  appendToName("StreamSimple<" + std::to_string(nV) + "," + std::to_string(nL) + "," +
               std::to_string(nS) + ">:" + fullTag());
  VELTA_LOG(streamVerbosity(), 2, name.c_str(), "Done");
}

template <int nV, int nL, int nS> StreamSimple<nV, nL, nS>::~StreamSimple() {
  const std::string name = logName(nV, nL, nS, "~StreamSimple");
  VELTA_LOG(streamVerbosity(), 1, name.c_str(), "Entered");
  VELTA_LOG(streamVerbosity(), 2, name.c_str(), "Done");
}

template <int nV, int nL, int nS>
Stream &StreamSimple<nV, nL, nS>::assign(const Stream &other) {
  Object::operator=(static_cast<const Node &>(other));
  return *this;
}

template <int nV, int nL, int nS>
Stream &StreamSimple<nV, nL, nS>::assignFrom(const Stream &other) {
  return assign(other);
}

template <int nV, int nL, int nS>
std::unique_ptr<Node> StreamSimple<nV, nL, nS>::clone() const {
  auto copy = std::make_unique<StreamSimple<nV, nL, nS>>(defaults(), 0, nullptr, nullptr, nullptr);
  copy->Object::operator=(static_cast<const Node &>(*this));
  copy->registerVariables();
  return copy;
}

template class StreamSimple<1, 1, 1>;
template class StreamSimple<1, 0, 0>;
template class StreamSimple<0, 1, 1>;
template class StreamSimple<0, 1, 0>;
template class StreamSimple<0, 0, 1>;
