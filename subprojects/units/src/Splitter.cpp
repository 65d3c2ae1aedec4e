#include "velta/units/Splitter.h"

#include "velta/phases/Mass.h"
#include "velta/streams/Stream.h"
#include "velta/utility/Diagnostic.h"
#include "velta/utility/Error.h"
#include "velta/utility/SharedEnumerations.h"

using Velta::Utility::MassBalanceMode;
using Velta::Utility::phaseIndexName;
using Velta::Utility::phaseTypeName;

const char *const Splitter::typeName = "Splitter";

Splitter::Splitter(Defaults defaults, int id, Persistency *persistency, Node *parent, Node *root)
    : Object(defaults, id, persistency, parent, root),
      Model(defaults, id, persistency, parent, root),
      VertexBase(defaults, id, persistency, parent, root),
      SimpleUnit(defaults, id, persistency, typeName) {
  maxNIn = 1;
  maxNOut = -1;
  inletRequired(0);
}

Splitter::~Splitter() = default;

void Splitter::go(int, int) {
  static const char *const name = "Splitter::go";
  VELTA_TRACE_BEGIN
  VELTA_LOG(verbosity(), 1, name, "Entered for " << fullTag());
  if (nIn.value() == 0) {
    setError("no inlet connected, nothing to do");
    return;
  }
  Stream *in = inletStream(0, name);
  if (in->nphases() != nOut.value() || outlets_.size() != static_cast<std::size_t>(nOut.value())) {
    setError("inlet " + in->tag() + " has " + std::to_string(in->nphases()) + " phases and " +
             std::to_string(nOut.value()) + " outlets are connected in " +
             std::to_string(outlets_.size()) + " slots, nothing to do");
    return;
  }
  const Value &F = in->Tphase->totalFlow();
  if (F.value() > 0.0) {
    for (std::size_t i = 0; i < outlets_.size(); ++i) {
      Stream *out = my_cast<Stream *>(outlets_[i], name);
      const Phase::Mass &source = *in->phases()[i];
      const std::string sourceIndex = phaseIndexName(source.phaseIndex());
      VELTA_LOG(verbosity(), 2, name,
                "Trying to match stream outlet[" << i << "] " << out->fullTag() << " of type "
                                                 << out->type() << " with " << sourceIndex);
      out->T = in->T;
      out->P = in->P;
      assignPhaseValues(*out->Tphase, source);
      out->Tphase->fraction = Value(1.0);
      if (out->nphases() < 2) {
        if (out->phaseType(0) != source.phaseType())
          throw ErrorRunTime(name, ("incompatible phase type " + phaseTypeName(source.phaseType()) +
                                    " for stream " + out->fullTag())
                                       .c_str());
      } else {
        bool matched = false;
        for (std::size_t j = 0; j < out->phases().size(); ++j) {
          Phase::Mass &w = *out->phases()[j];
          VELTA_LOG(verbosity(), 2, name,
                    "Trying to match phase [" << j << "] " << w.fullTag() << " of type "
                                              << w.type() << " with " << sourceIndex);
          if (!matched && w.phaseIndex() == source.phaseIndex()) {
            VELTA_LOG(verbosity(), 2, name, "found it");
            assignPhaseValues(w, source);
            w.fraction = Value(1.0);
            matched = true;
          } else {
            w.fraction = Value(0.0);
            VELTA_LOG(verbosity(), 2, name, "not found it");
            emptyPhase(w);
          }
        }
        if (!matched)
          throw ErrorRunTime(name, ("phase id " + sourceIndex + " missing").c_str());
      }
      prepareOutletFlash(*out);
      VELTA_LOG(verbosity(), 2, name,
                "set " << i << "-th phase type to " << phaseTypeName(source.phaseType()));
    }
  } else {
    setWarning("Empty inlet stream, bypassing block");
    for (std::size_t i = 0; i < outlets_.size(); ++i) {
      Stream *out = my_cast<Stream *>(outlets_[i], name);
      VELTA_LOG(verbosity(), 2, name,
                "Zeroing stream outlet[" << i << "] " << out->fullTag() << " of type "
                                         << out->type());
      out->T = in->T;
      out->P = in->P;
      out->Tphase->fraction = Value(1.0);
      Stream::totalFlowOf(*out->Tphase).setZero();
      out->Tphase->calculateX(out->Tphase->representation());
      prepareOutletFlash(*out);
    }
  }
  incrementCalculations();
  VELTA_LOG(verbosity(), 2, name, "Done");
  VELTA_TRACE_END(name)
}

void Splitter::revert() {
  static const char *const name = "Splitter::revert";
  VELTA_TRACE_BEGIN
  VELTA_LOG(verbosity(), 1, name, "Entered for " << fullTag());
  Stream *in = inletStream(0, name);
  Value r = Value(0.0, in->Tphase->totalFlow().units());
  for (EdgeBase *edge : outlets_)
    r += my_cast<Stream *>(edge, name)->Tphase->totalFlow();
  const double n = static_cast<double>(outlets_.size());
  for (std::size_t h = 0; h < outlets_.size(); ++h) {
    Stream *out = my_cast<Stream *>(outlets_[h], name);
    Phase::Mass &phase = *in->phases()[h];
    VELTA_LOG(verbosity(), 2, name,
              "Composing stream outlet[" << h << "] " << out->fullTag() << " of type "
                                         << out->type() << " back to "
                                         << phaseIndexName(phase.phaseIndex()));
    assignPhaseValues(phase, *out->Tphase);
    phase.fraction = r.value() != 0.0 ? out->Tphase->totalFlow() / r : Value(1.0 / n);
  }
  VELTA_LOG(verbosity(), 2, name, "Done");
  VELTA_TRACE_END(name)
}
