#pragma once
// A liquid pump (type "Pump"): a flash drum with one inlet that brings it
// to the outlet pressure and state of the drum's options, then derives
//   rho = outlet density, Wf = deltaP mdot / rho (fluid power),
//   Wm = Wf / etaM (shaft), We = Wm / etaE (electrical), the current, and
//   cr = outlet over inlet pressure.
// The powers keep the sign of deltaP (inlet minus outlet pressure): a pump
// that raises the pressure has negative powers. mdot is the inlet mass
// flow of the current calculation.
//
// A second inlet is refused when it is attached; the set-up attaches the
// embedded reactions as the flash drum's does.

#include "velta/units/ElectricalConsumption.h"
#include "velta/units/FlashDrum.h"

class Pump : public ElectricalConsumption, public FlashDrum {
public:
  Pump(Defaults defaults, int id, Persistency *persistency, Node *parent, Node *root);
  ~Pump() override;

  // --- Model: the flash drum's set-up and the flags of the pump's values.
  void setup() override;

  // --- VertexBase
  void go(int mode, int level) override;

  static const char *const typeName;

  Quantity etaM;
  Quantity etaE;
  Quantity rho;
  Quantity Wf;
  Quantity Wm;
  Quantity cr;
};
