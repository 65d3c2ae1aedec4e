#pragma once
// The vapour-liquid-liquid decanter (type "Decanter"): the feed F is
// flashed adiabatically in "DRUM"; its vapour leaves as V (outlet 1), its
// liquid L12 is split component by component by "SEP" into the light
// (organic) liquid L1 (outlet 2) and the heavy (aqueous) liquid L2
// (outlet 3). One design equation moves the water split of SEP until the
// water mole fraction of L1 is xH2O.

#include "velta/flowsheet/FlowSheet.h"
#include "velta/persistency/Quantity.h"

class Decanter : public FlowSheet {
public:
  Decanter(Defaults defaults, int id, Persistency *persistency, Node *parent, Node *root);
  ~Decanter() override;

  void pre(int, int) override {}
  void post(int, int) override {}
  // SEP.outSplit[0][H2O] := s (1 + (xH2O - x) / x), x the water mole
  // fraction of L1 and s the split itself.
  void makeUserEquations(Position &position) override;
  // Adiabatic drum at the feed pressure, the fixed splits of the first nine
  // components to L1, then the children's set-up.
  void setup() override;
  // "out1" north, "out2" east, "out3" south, every other port west.
  int locationFromPort(std::string port) override;

  static const char *const typeName;

  Quantity xH2O;
};
