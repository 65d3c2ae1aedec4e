#pragma once
// Tube-side model of a shell-and-tube rating for a liquid that boils while
// it flows up vertical tubes (a thermosiphon reboiler). The coefficient U1
// follows Gungor and Winterton: the liquid-only Dittus-Boelter coefficient
// enhanced by E (boiling number, Martinelli parameter) plus Cooper's
// nucleate pool-boiling coefficient suppressed by S. The pressure drop adds
// a Lockhart-Martinelli friction term in Chisholm's form on a Fanning
// single-phase drop, the acceleration from the inlet to the separated
// outlet flow, and the static head over the tube length (the tubes stand
// vertical: h := L).

#include "velta/units/ShellAndTube.h"

class TubesBoiling : public virtual ShellAndTube {
public:
  TubesBoiling(Defaults defaults, int id, Persistency *persistency, Node *parent, Node *root);
  ~TubesBoiling() override;

  // U1, h and the 22 quantities are outputs.
  void setup() override;
  void preCalculate() override;

  Quantity Re_L1;
  Quantity Pr_L1;
  Quantity UL1;
  Quantity chi;
  Quantity Xtt;
  Quantity hLG;
  Quantity Bo;
  Quantity E;
  Quantity S;
  Quantity Pr;
  Quantity v_V1;
  Quantity v_L1;
  Quantity Fr_V1;
  Quantity alfa_1;
  Quantity UNB1;
  Quantity Re_V1;
  Quantity deltaP_A1;
  Quantity deltaP_G1;
  Quantity deltaP_VL1;
  Quantity deltaP_1;
  Quantity slip;
  Quantity rho1;

private:
  // Pseudo-critical pressure of the inlet mixture (Kay's rule over the
  // non-solid components present).
  Value pseudoCriticalPressure_(Stream &in) const;
  // deltaP_VL1, alfa_1, slip, rho1 and deltaP_A1 of a two-phase outlet.
  void twoPhasePressureDrop_(Stream &in, const Value &rhoL, const Value &rhoG);
};
