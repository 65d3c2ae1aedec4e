#pragma once
// One of the two boundary units of a flowsheet (type "Terminator"): "source",
// where every feed stream starts, and "sink", where every product stream
// ends. In a calculation the source flashes the streams that leave it
// (except the feeds of a nested flowsheet whose state comes from outside);
// the sink only checks itself.

#include "velta/units/Connectivity.h"

class Terminator : public Connectivity {
public:
  // Any tag other than exactly "source" or "sink" is an ErrorConnectivity.
  Terminator(Defaults defaults, int id, Persistency *persistency, Node *parent, Node *root);
  ~Terminator() override;

  void go(int mode, int level) override;
  Value massBalance() override;
  Value energyBalance() override;

  void calculate(int level) override { go(1, level); }
  void setup() override {}
  void initializeNonPersistents() override {}
  ObjectiveNleAd *objectiveFunction() override { return nullptr; }

  static const char *const typeName;
};
