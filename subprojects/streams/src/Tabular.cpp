#include "velta/streams/Tabular.h"

Tabular::Tabular(Defaults defaults, int id, Persistency *persistency, Node *parent, Node *root)
    : Object(defaults, id, persistency, parent, root),
      Model(defaults, id, persistency, parent, root) {
  static const char *const name = "Tabular::Tabular";
  VELTA_LOG(verbosity(), 1, name, "Entered with id = " << id);
  addComponentVector(kVL, "kVL", "Component volatility", Value(1.0));
  VELTA_LOG(verbosity(), 2, name, "Done");
}

Tabular::~Tabular() = default;
