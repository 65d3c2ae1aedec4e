#pragma once
// One section of a tray column (type "ColumnSection"): a counter-current
// cascade of adiabatic equilibrium stages with two couples, the gas A
// rising ("bottomtop", fed as FA into the bottom stage, leaving as A from
// S[0]) and the liquid B falling (the reference couple, fed as FB into S[0],
// leaving as B from the bottom stage); the gas streams between stages are
// torn. The owning column sets the stage pressures before every pass and
// asks for the end properties (flows, densities, surface tensions,
// viscosities) after it, which the tray ratings read.

#include "velta/flowsheet/MultiStage.h"

class ColumnSection : public MultiStage {
public:
  static const char *const typeName;

  // The caller's option set, with two couples, the gas rising and the
  // liquid as reference added when it does not name them itself.
  ColumnSection(Defaults defaults, int id, Persistency *persistency, Node *parent, Node *root);
  ~ColumnSection() override;

  // Records "non-adiabatic equilibrium stage" once per stage whose |duty|
  // exceeds 1000 W.
  void post(int mode, int level) override;
  // Every stage an adiabatic flash at given pressure ("PH", duty 0 W input).
  void setup() override;

  // The fourteen end properties from the current streams.
  void calculateProperties();
  // Stage i at first + i * step.
  void setPressureProfile(Value first, Value step);

  Quantity Gtop;
  Quantity Gbtm;
  Quantity Ltop;
  Quantity Lbtm;
  Quantity rhoGtop;
  Quantity rhoGbtm;
  Quantity rhoLtop;
  Quantity rhoLbtm;
  Quantity sigmaTop;
  Quantity sigmaBtm;
  Quantity etaGtop;
  Quantity etaGbtm;
  Quantity etaLtop;
  Quantity etaLbtm;
};
