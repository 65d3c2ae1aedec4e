#pragma once
// The total phase of the streams that keep mass balances only: the mass
// balance of a phase and the link to its stream, no properties.

#include "velta/phases/Mass.h"
#include "velta/phases/Total.h"

class PhaseSimpleTotal : public Phase::Mass, public Phase::Total {
public:
  PhaseSimpleTotal(Defaults defaults, int id, Persistency *persistency, Node *parent, Node *root);
  ~PhaseSimpleTotal() override;

  // A copy with this phase's variables and no stream.
  std::unique_ptr<Node> clone() const override;
  // Only tests that components are defined.
  void initializeNonPersistents() override;
};
