#include "velta/streams/StreamOne.h"

#include "velta/streams/EmbeddedType.h"

#include "velta/phases/Generic.h"
#include "velta/utility/Error.h"
#include "velta/utility/SharedEnumerations.h"

StreamOne::StreamOne(Defaults defaults, int id, Persistency *persistency, Node *parent, Node *root)
    : Object(defaults, id, persistency, parent, root),
      Model(defaults, id, persistency, parent, root), Stream(defaults, id, persistency, parent, root),
      embeddedTypePhase("embeddedTypePhase", "Type of the embedded phase", "PhaseIdeal<vapor>",
                        nullptr) {
  static const char *const name = "StreamOne::StreamOne";
  setType("StreamOne");
  VELTA_LOG(streamVerbosity(), 1, name, "Entered");
  addVariable(embeddedTypePhase);
  embeddedTypePhase = retrieveString(defaults, id, persistency, "embeddedTypePhase", " ");
  retrieveIntegersAndStrings(persistency);
  requireEmbeddedType(embeddedTypePhase.value(), "embeddedTypePhase", name);
  phases_.assign(1, nullptr);
  Tphase = addPhase(embeddedTypePhase.value(), "Tphase", "Total phase", 0, persistency);
  phase_ = dynamic_cast<Phase::Generic *>(Tphase);
  if (!phase_)
    throw ErrorDynamicCast(name, Tphase->type().c_str(), "Phase::Generic", Tphase->tag().c_str());
  x_ = &phase_->x;
  postconstruct_(id);
  appendToName("StreamOne[" + Velta::Utility::phaseTypeName(phase_->phaseType()) + ":" +
               embeddedTypePhase.value() + "]:" + fullTag());
  VELTA_LOG(streamVerbosity(), 2, name, "Done");
}

StreamOne::~StreamOne() = default;

Stream &StreamOne::assign(const Stream &other) {
  Object::operator=(static_cast<const Node &>(other));
  return *this;
}

Stream &StreamOne::assignFrom(const Stream &other) { return assign(other); }

std::unique_ptr<Node> StreamOne::clone() const {
  auto copy = std::make_unique<StreamOne>(defaults(), 0, nullptr, nullptr, nullptr);
  copy->Object::operator=(static_cast<const Node &>(*this));
  copy->registerVariables();
  return copy;
}

void StreamOne::prepare_residuals() {
  prepare_Flash_residuals();
  sumx_ = Vector(x_).sum();
  VELTA_LOG(streamVerbosity() + verbosity(), 2, "StreamOne::prepare_residuals",
            "Now prepare residuals for phase " << phase_->fullTag());
  phase_->prepare(FlashBase::T);
}
