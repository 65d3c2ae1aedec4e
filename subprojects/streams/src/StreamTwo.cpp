#include "velta/streams/StreamTwo.h"

#include "velta/streams/EmbeddedType.h"

#include "velta/core/MyCast.h"
#include "velta/phases/Generic.h"
#include "velta/phases/MassMolarProperties.h"
#include "velta/persistency/NodeFactory.h"
#include "velta/phases/Total.h"
#include "velta/utility/Error.h"
#include "velta/utility/SharedEnumerations.h"

using Velta::Utility::PhaseType;

template <> const char *StreamTwo<FlashVl>::typeName() { return "StreamVl"; }
template <> const char *StreamTwo<FlashVlT>::typeName() { return "StreamVlT"; }
template <> const char *StreamTwo<FlashVlTx>::typeName() { return "StreamVlTx"; }
template <> const char *StreamTwo<FlashLlTx>::typeName() { return "StreamLlTx"; }
template <> const char *StreamTwo<FlashVl>::flashName() { return "FlashVl"; }
template <> const char *StreamTwo<FlashVlT>::flashName() { return "FlashVlT"; }
template <> const char *StreamTwo<FlashVlTx>::flashName() { return "FlashVlTx"; }
template <> const char *StreamTwo<FlashLlTx>::flashName() { return "FlashLlTx"; }

template <class F> std::string StreamTwo<F>::qualified(const char *operation) {
  return std::string("StreamTwo<class ") + flashName() + ">::" + operation;
}

template <class F>
StreamTwo<F>::StreamTwo(Defaults defaults, int id, Persistency *persistency, Node *parent,
                        Node *root)
    : Object(defaults, id, persistency, parent, root),
      Model(defaults, id, persistency, parent, root),
      Stream(defaults, id, persistency, parent, root) {
  const std::string name = qualified("StreamTwo");
  setType(typeName());
  VELTA_LOG(streamVerbosity(), 1, name.c_str(), "Entered with " << id);
  addVector(embeddedTypePhase, "embeddedTypePhase", "type of the embedded phase", 2, " ");
  readEmbeddedTypePair(*this, embeddedTypePhase, defaults, id, persistency);
  if (persistency)
    retrieveIntegersAndStrings(persistency);
  requireEmbeddedTypePair(embeddedTypePhase, name.c_str());
  phases_.assign(2, nullptr);
  Tphase = addPhase("PhaseTotal", "Tphase", "Total phase", -1, persistency);
  my_cast<Phase::Total *>(static_cast<Node *>(Tphase), name.c_str())->setStream(this);
  VphaseGeneric_ = addEmbeddedPhase(embeddedTypePhase[0].value(), "Vphase", "Vapor phase", 0,
                                    persistency);
  Vphase = VphaseGeneric_;
  LphaseGeneric_ = addEmbeddedPhase(embeddedTypePhase[1].value(), "Lphase", "Liquid phase", 1,
                                    persistency);
  Lphase = LphaseGeneric_;
  TphaseProperties_ = dynamic_cast<Phase::MassMolarProperties *>(Tphase);
  this->vaporIndex_ = Vphase->phaseIndex();
  this->liquidIndex_ = Lphase->phaseIndex();
  postconstruct_(id);
  this->appendToName("StreamTwo[Liquid:" + embeddedTypePhase[1].value() +
                     ", Vapor:" + embeddedTypePhase[0].value() + "]:" + fullTag());
  VELTA_LOG(streamVerbosity(), 2, name.c_str(), "Finished");
}

template <class F>
Phase::Generic *StreamTwo<F>::addEmbeddedPhase(const std::string &type, const std::string &tag,
                                               const std::string &description, int index,
                                               Persistency *persistency) {
  const std::string name = qualified("StreamTwo");
  // The embedded types come from user options and stored cases: a phase
  // without a property model, or a second vapour phase, is refused here
  // before the stream holds it (the flash needs both property models, the
  // stream base admits one vapour phase).
  std::unique_ptr<Node> probe;
  const Node *candidate = nullptr;
  if (persistency) {
    candidate = &at(tag);
  } else {
    probe = NodeFactory().create(type, Defaults(tag, description), 0, nullptr, nullptr, nullptr);
    candidate = probe.get();
  }
  const auto *generic = dynamic_cast<const Phase::Generic *>(candidate);
  if (!generic)
    throw ErrorDynamicCast(name.c_str(), type.c_str(), "Phase::Generic", tag.c_str());
  const int vapor = static_cast<int>(PhaseType::vapor);
  if (generic->phaseType() == vapor && vphases_ > 0)
    throw ErrorRunTime(name.c_str(), ("phase " + tag + " of type " + type +
                                      " would be a second vapour phase of the stream")
                                         .c_str());
  probe.reset();
  return dynamic_cast<Phase::Generic *>(addPhase(type, tag, description, index, persistency));
}

template <class F> StreamTwo<F>::~StreamTwo() {
  const std::string name = qualified("~StreamTwo");
  VELTA_LOG(streamVerbosity(), 1, name.c_str(), "Entered with " << id());
  VELTA_LOG(streamVerbosity(), 2, name.c_str(), "Done");
}

template <class F> Stream &StreamTwo<F>::assign(const Stream &other) {
  Object::operator=(static_cast<const Node &>(other));
  return *this;
}

template <class F> Stream &StreamTwo<F>::assignFrom(const Stream &other) { return assign(other); }

template <class F> std::unique_ptr<Node> StreamTwo<F>::clone() const {
  Defaults options = defaults();
  // The embedded types travel with the copy even where the registered
  // descriptor does not list them.
  options.setString("embeddedTypePhase[0]", embeddedTypePhase[0].value());
  options.setString("embeddedTypePhase[1]", embeddedTypePhase[1].value());
  auto copy = std::make_unique<StreamTwo<F>>(options, 0, nullptr, nullptr, nullptr);
  copy->Object::operator=(static_cast<const Node &>(*this));
  copy->registerVariables();
  return copy;
}

template class StreamTwo<FlashVl>;
template class StreamTwo<FlashVlT>;
template class StreamTwo<FlashVlTx>;
template class StreamTwo<FlashLlTx>;
