#include "velta/phases/PhaseSimple.h"

#include "velta/utility/Diagnostic.h"
#include "velta/utility/SharedEnumerations.h"

PhaseSimple::PhaseSimple(Defaults defaults, int id, Persistency *persistency, Node *parent,
                         Node *root)
    : Object(defaults, id, persistency, parent, root), Model(defaults, id, persistency, parent, root),
      Phase::Mass(defaults, id, persistency, parent, root),
      typeP("typeP", "the phase type", "vapor", this) {
  setType("PhaseSimple");
  VELTA_LOG(verbosity(), 1, "PhaseSimple::PhaseSimple", "Entered for " << id);
  typeP = retrieveString(defaults, id, persistency, "typeP", "vapor");
  addVariable(typeP);
  Mass::setPhaseType(Velta::Utility::phaseTypeIndex(typeP.value()));
  VELTA_LOG(verbosity(), 2, "PhaseSimple::PhaseSimple",
            "ptype = " << Velta::Utility::phaseTypeName(phaseType()));
}

PhaseSimple::~PhaseSimple() = default;

std::unique_ptr<Node> PhaseSimple::clone() const {
  Defaults options = optionSet();
  options.setString("typeP", typeP.value());
  auto copy = std::make_unique<PhaseSimple>(options, 0, nullptr, nullptr, nullptr);
  copy->Object::operator=(static_cast<const Node &>(*this));
  copy->initializeMassVariables();
  return copy;
}

void PhaseSimple::initializeNonPersistents() {
  requireComponents("PhaseSimple::initializeNonPersistents");
}
