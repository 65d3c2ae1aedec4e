#pragma once
// Tube-side model of a shell-and-tube rating for a fluid that does not
// change phase: the film coefficient U1 from the Nusselt correlation named
// by "correlation" ("PetukhovKirilov", "DittusBoelter" or "SiederTate", a
// warning for each bound of its range that the point violates) and the
// frictional and gravitational pressure drop of all passes.

#include "velta/persistency/String.h"
#include "velta/units/ShellAndTube.h"

class TubesSensible : public virtual ShellAndTube {
public:
  TubesSensible(Defaults defaults, int id, Persistency *persistency, Node *parent, Node *root);
  ~TubesSensible() override;

  // U1 and the quantities but f are outputs.
  void setup() override;
  void preCalculate() override;

  Quantity Re_1;
  Quantity Pr_1;
  Quantity f;
  Quantity Nu_1;
  Quantity v_1;
  Quantity deltaP_A1;
  Quantity deltaP_G1;
  Quantity deltaP_F1;
  Quantity deltaP_1;
  Quantity rho1;
  String correlation;
};
