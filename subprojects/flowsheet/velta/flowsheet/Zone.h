#pragma once
// One zone of the cross-flow reboiler (type "Zone"): the flash drum "COLD"
// (the process side, flashed at a given pressure and vapour fraction) and
// the heat transfer unit "HOT" condensing steam against it. Inlet 1
// ("liquid") feeds COLD, inlet 2 ("steam") feeds HOT; outlet 1 ("mixture")
// is COLD's outlet, outlet 2 ("water") HOT's.

#include "velta/flowsheet/FlowSheet.h"

class Zone : public FlowSheet {
public:
  Zone(Defaults defaults, int id, Persistency *persistency, Node *parent, Node *root);
  ~Zone() override;

  void pre(int, int) override {}
  void post(int, int) override {}
  void makeUserEquations(Position &) override {}
  // COLD flashes at given pressure and vapour fraction ("PA").
  void setup() override;

  static const char *const typeName;
};
