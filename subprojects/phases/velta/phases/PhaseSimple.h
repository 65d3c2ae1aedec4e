#pragma once
// A member phase with mass balances only, whose phase type comes from the
// stored string option "typeP" ("vapor", "liquid" or "solid"; "vapor" when
// the option is not given).

#include "velta/phases/Mass.h"
#include "velta/persistency/String.h"

class PhaseSimple : public Phase::Mass {
public:
  PhaseSimple(Defaults defaults, int id, Persistency *persistency, Node *parent, Node *root);
  ~PhaseSimple() override;

  std::unique_ptr<Node> clone() const override;
  // Only tests that components are defined.
  void initializeNonPersistents() override;

  String typeP;
};
