#pragma once
// The attack section of the demonstration process (types "Attacco<1>" and
// "Attacco<3>"): an attack stage A (a Stadio) followed by a counter-current
// washing cascade L (a MultiStage of N Stadio stages). Inlets: 1 the solid,
// 2 the reactant, 3 the wash water; outlets: 1 the washed solid, 2 the
// attack's concentrated filtrate, 3 the washing's diluted filtrate.
//
// Options named "A_R_..." reach the attack stage (and its reactor R) without
// the prefix, and only there; every option reaches the cascade. The cake
// liquid fraction "hum" is imposed on every stage.

#include "velta/flowsheet/FlowSheet.h"
#include "velta/persistency/Quantity.h"

template <int N> class Attacco : public FlowSheet {
public:
  Attacco(Defaults defaults, int id, Persistency *persistency, Node *parent, Node *root);
  ~Attacco() override;

  void pre(int, int) override {}
  void post(int, int) override {}
  // "hum" onto A.hum and L:S[i].hum, N + 1 assignments.
  void makeUserEquations(Position &position) override;
  void setup() override;

  static const char *const typeName;

  Quantity hum;
};

extern template class Attacco<1>;
extern template class Attacco<3>;
