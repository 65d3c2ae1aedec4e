#include "velta/phases/PhaseSimpleTotal.h"

#include "velta/utility/Diagnostic.h"

PhaseSimpleTotal::PhaseSimpleTotal(Defaults defaults, int id, Persistency *persistency,
                                   Node *parent, Node *root)
    : Object(defaults, id, persistency, parent, root), Model(defaults, id, persistency, parent, root),
      Phase::Mass(defaults, id, persistency, parent, root) {
  setType("PhaseSimpleTotal");
  VELTA_LOG(verbosity(), 1, "PhaseSimpleTotal::PhaseSimpleTotal", "Entered for " << id);
}

PhaseSimpleTotal::~PhaseSimpleTotal() = default;

std::unique_ptr<Node> PhaseSimpleTotal::clone() const {
  auto copy = std::make_unique<PhaseSimpleTotal>(optionSet(), 0, nullptr, nullptr, nullptr);
  copy->Object::operator=(static_cast<const Node &>(*this));
  copy->initializeMassVariables();
  return copy;
}

void PhaseSimpleTotal::initializeNonPersistents() {
  requireComponents("PhaseSimpleTotal::initializeNonPersistents");
}
