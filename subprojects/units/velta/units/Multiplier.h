#pragma once
// The multiplier (type "Multiplier"): every outlet receives a full copy of
// the one inlet. The material so created is the unit's own mass and
// enthalpy source, declared by massBalance and energyBalance.

#include "velta/units/SimpleUnit.h"

class Multiplier : public SimpleUnit {
public:
  Multiplier(Defaults defaults, int id, Persistency *persistency, Node *parent, Node *root);
  ~Multiplier() override;

  void go(int mode, int level) override;
  // -(nOut - 1) times the inlet's mass and enthalpy flow; 0 without inlet.
  Value massBalance() override;
  Value energyBalance() override;

  static const char *const typeName;
};
