#pragma once
// The phase splitter (type "Splitter"): outlet i receives phase i of the
// inlet (in the inlet's phase order) at the inlet's temperature and
// pressure. revert composes the inlet's phases back from the outlets.

#include "velta/units/SimpleUnit.h"

class Splitter : public SimpleUnit {
public:
  Splitter(Defaults defaults, int id, Persistency *persistency, Node *parent, Node *root);
  ~Splitter() override;

  // An outlet count other than the inlet's number of phases, or outlet
  // slots with gaps, are errors of the unit and nothing is calculated.
  void go(int mode, int level) override;
  // Outlets whose flows sum to zero give every inlet phase an equal share.
  void revert();

  static const char *const typeName;
};
