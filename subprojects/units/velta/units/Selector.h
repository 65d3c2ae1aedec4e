#pragma once
// The selector (type "Selector"): the inlet in slot selectedInlet goes
// unchanged to the one outlet; the other inlets leave the process inside
// the unit, so their mass and enthalpy flows are its balance terms.

#include "velta/persistency/Integer.h"
#include "velta/units/SimpleUnit.h"

class Selector : public SimpleUnit {
public:
  Selector(Defaults defaults, int id, Persistency *persistency, Node *parent, Node *root);
  ~Selector() override;

  // A selectedInlet that is not a connected slot is an error of the unit
  // and nothing is calculated.
  void go(int mode, int level) override;
  Value massBalance() override;
  Value energyBalance() override;

  static const char *const typeName;

  // 0-based inlet slot whose stream passes.
  Integer selectedInlet;

private:
  // The summed flow of the discarded inlets, by mass or by enthalpy.
  Value discarded(bool enthalpy);
};
