#include "velta/streams/StreamOneSolid.h"

#include "velta/streams/EmbeddedType.h"

#include "velta/core/MyCast.h"
#include "velta/phases/Generic.h"
#include "velta/phases/MassMolarProperties.h"
#include "velta/phases/Total.h"
#include "velta/utility/Error.h"
#include "velta/utility/SharedEnumerations.h"
#include "velta/value/Constants.h"


StreamOneSolid::StreamOneSolid(Defaults defaults, int id, Persistency *persistency, Node *parent,
                               Node *root)
    : Object(defaults, id, persistency, parent, root),
      Model(defaults, id, persistency, parent, root),
      Stream(defaults, id, persistency, parent, root),
      embeddedTypePhase("embeddedTypePhase", "Type of the embedded fluid phase", " ", nullptr) {
  static const char *const name = "StreamOneSolid::StreamOneSolid";
  setType(typeName());
  VELTA_LOG(streamVerbosity(), 1, name, "Entered");
  addVariable(embeddedTypePhase);
  embeddedTypePhase = retrieveString(defaults, id, persistency, "embeddedTypePhase", " ");
  retrieveIntegersAndStrings(persistency);
  requireEmbeddedType(embeddedTypePhase.value(), "embeddedTypePhase", name);
  phases_.assign(2, nullptr);
  Tphase = addPhase("PhaseTotal", "Tphase", "Total phase", -1, persistency);
  my_cast<Phase::Total *>(static_cast<Node *>(Tphase), name)->setStream(this);
  Xphase = addPhase(embeddedTypePhase.value(), "Xphase", "Fluid phase", 0, persistency);
  Sphase = addPhase("PhaseIdeal<solid>", "Sphase", "Solid phase", 1, persistency);
  TphaseProperties_ = dynamic_cast<Phase::MassMolarProperties *>(Tphase);
  SphaseGeneric_ = dynamic_cast<Phase::Generic *>(Sphase);
  XphaseGeneric_ = dynamic_cast<Phase::Generic *>(Xphase);
  // The split and the preparation need a molar phase with a property model.
  if (!XphaseGeneric_)
    throw ErrorDynamicCast(name, Xphase->type().c_str(), "Phase::Generic", Xphase->tag().c_str());
  postconstruct_(id);
  appendToName("StreamOneSolid[" + Velta::Utility::phaseTypeName(Xphase->phaseType()) + ":" +
               embeddedTypePhase.value() + "]:" + fullTag());
  VELTA_LOG(streamVerbosity(), 2, name, "Done");
}

StreamOneSolid::~StreamOneSolid() = default;

Stream &StreamOneSolid::assign(const Stream &other) {
  Object::operator=(static_cast<const Node &>(other));
  return *this;
}

Stream &StreamOneSolid::assignFrom(const Stream &other) { return assign(other); }

std::unique_ptr<Node> StreamOneSolid::clone() const {
  Defaults options = defaults();
  // The fluid type travels with the copy even where the option set lacks it.
  options.setString("embeddedTypePhase", embeddedTypePhase.value());
  auto copy = std::make_unique<StreamOneSolid>(options, 0, nullptr, nullptr, nullptr);
  copy->Object::operator=(static_cast<const Node &>(*this));
  copy->registerVariables();
  return copy;
}

void StreamOneSolid::prepare_residuals() {
  static const char *const name = "StreamOneSolid::prepare_residuals";
  VELTA_TRACE_BEGIN
  prepare_Flash_residuals();
  calculateInertSolids(TphaseProperties_->x, Sphase->fracs(), Vector(&Xphase->fracs()),
                       Sphase->fraction, Xphase->fraction);
  sumx_ = Vector(&Xphase->fracs()).sum();
  VELTA_LOG(streamVerbosity() + verbosity(), 2, name,
            "Now prepare residuals for phase " << Xphase->fullTag());
  XphaseGeneric_->prepare(FlashBase::T);
  VELTA_TRACE_END(name)
}

const Value &StreamOneSolid::Fraction(int phaseIndex, bool) {
  VELTA_LOG(streamVerbosity(), 1, "StreamOneSolid::Fraction", "Entered");
  if (phaseIndex == Xphase->phaseIndex())
    return Xphase->fraction;
  if (phaseIndex == Sphase->phaseIndex())
    return Sphase->fraction;
  return dimensionlessZero;
}

Vector StreamOneSolid::X(int phaseIndex) {
  static const char *const name = "StreamOneSolid::X";
  VELTA_LOG(streamVerbosity(), 1, name, "Entered");
  if (phaseIndex == Xphase->phaseIndex())
    return Vector(&Xphase->fracs());
  if (phaseIndex == Sphase->phaseIndex())
    return Vector(&Sphase->fracs());
  throw ErrorBrowsing(name, tag().c_str(), type().c_str(), "PhaseIndex",
                      Velta::Utility::phaseIndexName(phaseIndex).c_str());
}
