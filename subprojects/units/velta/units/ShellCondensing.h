#pragma once
// Shell-side model of a shell-and-tube rating for a vapour that condenses
// completely on the outside of the tubes: the film coefficient U2 from a
// fit of the Dukler diagram at the condensate's terminal film Reynolds and
// Prandtl numbers, and the shell-side pressure drop of the inlet vapour
// (ShellBundle). The shell-side inlet must be vapour and its outlet liquid.

#include "velta/units/ShellAndTube.h"

class ShellCondensing : public virtual ShellAndTube {
public:
  ShellCondensing(Defaults defaults, int id, Persistency *persistency, Node *parent, Node *root);
  ~ShellCondensing() override;

  // U2 and the four quantities are outputs.
  void setup() override;
  void preCalculate() override;

  Quantity Re_L2;
  Quantity Pr_L2;
  Quantity Du_L2;
  Quantity deltaP_2;
};
