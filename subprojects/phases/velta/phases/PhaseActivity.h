#pragma once
// The phase types of the liquid activity-coefficient models: a
// PhaseGeneric<T> under its own class name, with no members of its own.
// Its clone is a PhaseGeneric<T> of the same type name.

#include "velta/phases/PhaseGeneric.h"

template <class T> class PhaseActivity : public PhaseGeneric<T> {
public:
  PhaseActivity(Defaults defaults, int id, Persistency *persistency, Node *parent, Node *root)
      : Object(defaults, id, persistency, parent, root),
        Model(defaults, id, persistency, parent, root),
        PhaseGeneric<T>(defaults, id, persistency, parent, root) {}
  ~PhaseActivity() override = default;
};
