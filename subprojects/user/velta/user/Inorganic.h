#pragma once
// The demonstration process (type "Inorganic", the kernel's default case):
// a solid feed S01 (Metal1, Metal2 and Inert with some liquid) through three
// acid attacks in series, A1 and A2 (Attacco<1>) and A3 (Attacco<3>), with
// reactant feeds S10-S12, osmotic wash water S21 and S22 and the diluted
// filtrate of A3 recycled to A1 as S20 (the one cut). MIX1 and MIX2 collect
// the high and low acidity waters.
//
// The "k" ratios are kg of pure chemical per kg of the solid basis (the
// 1000 kg/h of Metal1 of the feed); the "_eff" ratios per kg of commercial
// solution of mass fraction w_C.

#include "velta/flowsheet/FlowSheet.h"
#include "velta/persistency/Quantity.h"

class Inorganic : public FlowSheet {
public:
  Inorganic(Defaults defaults, int id, Persistency *persistency, Node *parent, Node *root);
  ~Inorganic() override;

  void pre(int, int) override {}
  void post(int, int) override {}
  // Six assignments (the Chemical1 ratios and the resuspension ratios k0 of
  // the second and third attacks), then the feeds that follow the inputs.
  void makeUserEquations(Position &position) override;
  int sequential() override { return 5; }
  // The inputs, the feeds, the conversions and the cut of S20.
  void setup() override;

  static const char *const typeName;

  Quantity hum;
  Quantity inert_fraction;
  Quantity metal2_fraction;
  Quantity pH;
  Quantity w_C1;
  Quantity w_C2;
  Quantity w_C4;
  Quantity k0;
  Quantity k1C1;
  Quantity k1C2;
  Quantity k2C4;
  Quantity k2C2;
  Quantity k3C1;
  Quantity K1C1_eff;
  Quantity K1C2_eff;
  Quantity K2C4_eff;
  Quantity K2C2_eff;
  Quantity K3C1_eff;

private:
  // Acid mass fraction of the osmotic water at "pH" (no derivatives).
  Value acidFraction() const;
  // Chemical1 to the first attack per solid basis, from the S01 flows.
  Value firstAttackChemical1();
  // The solid feed's flows other than Metal1, from the inputs.
  void feedFlows(const Value &c);
  void effectiveRatios();
  // S21 and S22 in mass fractions 1 - c of water and c of Chemical2.
  void washWaterFractions(const Value &c);
};
