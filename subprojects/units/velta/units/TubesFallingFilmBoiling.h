#pragma once
// Tube-side model of a falling-film reboiler: the liquid runs down the
// inside of the tubes as a film and partly evaporates. The film coefficient
// U1 comes from a fit of the Kunz-Yerazunis chart at the film's terminal
// Reynolds number (over the inner perimeter of all tubes) and Prandtl
// number; the pressure drop is that of the vapour: acceleration from the
// inlet to the outlet momentum flux and Darcy friction over one tube length.

#include "velta/units/ShellAndTube.h"

class TubesFallingFilmBoiling : public virtual ShellAndTube {
public:
  TubesFallingFilmBoiling(Defaults defaults, int id, Persistency *persistency, Node *parent,
                          Node *root);
  ~TubesFallingFilmBoiling() override;

  // U1 and the quantities but Re_V1 are outputs.
  void setup() override;
  void preCalculate() override;

  Quantity Re_L1;
  Quantity Pr_L1;
  Quantity Ky_L1;
  Quantity Re_V1;
  Quantity deltaP_A1;
  Quantity deltaP_V1;
  Quantity deltaP_1;
  Quantity slip;
};
