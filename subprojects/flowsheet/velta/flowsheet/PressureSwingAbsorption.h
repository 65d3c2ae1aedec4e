#pragma once
// The pressure-swing absorption (type "PressureSwingAbsorption"), a
// fixed-yield hydrogen purifier: "SEPARATOR" sends the fraction recovery of
// the feed's hydrogen and just enough of its impurities (H2O, N2, O2, CH4,
// CO, CO2) for a product of the given purity to S02 (outlet 1, "h2"); the
// offgas S03 is flashed by "F2" at 1 atm + 2 psi and 313.15 K into S04
// (outlet 2, "offgas"). With option "calculated" the recovery follows from
// the feed pressure; with "fixed" it is an input. Feeds outside the range
// of validity are warnings of the unit.

#include "velta/flowsheet/FlowSheet.h"
#include "velta/persistency/Quantity.h"
#include "velta/persistency/String.h"

class PressureSwingAbsorption : public FlowSheet {
public:
  PressureSwingAbsorption(Defaults defaults, int id, Persistency *persistency, Node *parent,
                          Node *root);
  ~PressureSwingAbsorption() override;

  // The separator's splits and the offgas flash from recovery and purity;
  // ErrorBrowsing for an option other than "calculated" and "fixed".
  void pre(int mode, int level) override;
  // The range warnings on the feed.
  void post(int mode, int level) override;
  void makeUserEquations(Position &) override {}
  void setup() override;
  // "out1" north, "out2" south, every other port west.
  int locationFromPort(std::string port) override;

  // 1 - 10^(-0.7 p / 1.5 MPa - 0.07), p the feed pressure in Pa.
  static double calculatedRecovery(double pressure);

  static const char *const typeName;

  Quantity recovery;
  Quantity purity;
  String option;
};
