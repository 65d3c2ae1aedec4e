#pragma once
// What the simple units (mixer, divider, multiplier, selector, splitter,
// degasser) share beyond their ports: the model operations that do nothing
// or only run go, and the unit's registered type name. The unit's
// constructor builds Object, Model and VertexBase itself (virtual bases)
// and then this class.

#include "velta/units/Connectivity.h"

class SimpleUnit : public Connectivity {
public:
  SimpleUnit(Defaults defaults, int id, Persistency *persistency, const char *typeName);

  void calculate(int level) override { go(1, level); }
  void setup() override {}
  void initializeNonPersistents() override {}
  ObjectiveNleAd *objectiveFunction() override { return nullptr; }
};
