#pragma once
// Shell-side model of a shell-and-tube rating for a fluid that does not
// change phase, in a shell with single segmental baffles: the film
// coefficient U2 from the tube-bank Nusselt number (Zukauskas form) with
// the baffle-cut, leakage and laminar-flow factors of the Bell-Delaware
// method, and the shell-side pressure drop (ShellBundle), both on the mean
// of inlet and outlet properties.

#include "velta/units/ShellAndTube.h"

class ShellSensible : public virtual ShellAndTube {
public:
  ShellSensible(Defaults defaults, int id, Persistency *persistency, Node *parent, Node *root);
  ~ShellSensible() override;

  // U2 and the five quantities are outputs.
  void setup() override;
  void preCalculate() override;

  Quantity Re_2;
  Quantity Pr_2;
  Quantity Pr_w2;
  Quantity Nu_2;
  Quantity deltaP_2;
};
