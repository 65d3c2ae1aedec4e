#pragma once
// A two-phase reaction block whose reaction is an electrochemical cell
// reaction moving two electrons per event between its phases. From the
// block's rate (conv, kmol/s) and the phases' compositions and pressures it
// computes the equilibrium quotients, the reversible potential (Nernst),
// current, current density, cell and stack voltage and power.
//
// Not registered with the type factory: the owning unit (the multi-stream
// heat exchanger) creates it and finds it by a type test. Its variables are
// registered under their member names; option ("z", "V", "I", "J") names
// the specified quantity, Koption ("linear", "log", "outlet") the quotient
// used in the Nernst relation.
//
// Owner protocol per equilibrium step: Tact := the solid temperature,
// Kin := calceqconst at the inlet state, then calculateEquilibrium at the
// outlet pressures (bar, as dimensionless values) after calculate.

#include "velta/persistency/String.h"
#include "velta/units/MultiReaction.h"

class Vector;

class MultiReactionElectrochemical : public MultiReaction<2> {
public:
  static const char *const typeName;

  MultiReactionElectrochemical(Defaults defaults, int id, Persistency *persistency, Node *parent,
                               Node *root);
  ~MultiReactionElectrochemical() override;

  // K = 1 / prod (x P)^nu over both phases and the components taking part
  // that are present; P0, P1 dimensionless (bar).
  Value calceqconst(const Value &P0, const Value &P1, const Vector &x0, const Vector &x1) const;
  // Writes Teq, Kout, area, E, I, J, V, Vstack, power, powerDensity and the
  // set values that option does not fix; ErrorBrowsing for an unknown
  // option or Koption.
  void calculateEquilibrium(const Value &P0, const Value &P1);
  // Hook at the outlet state before Kout is computed; does nothing here.
  virtual void prepareOutletState(const Value &P0, const Value &P1, const Vector &x0,
                                  const Vector &x1);

  Quantity powerFactor;
  Quantity Teq;
  Quantity Tact;
  Quantity deltaT;
  Quantity Kin;
  Quantity Kout;
  Quantity areaFactor1;
  Quantity areaFactor2;
  Quantity area;
  Quantity nCells;
  Quantity E0;
  Quantity E;
  Quantity specificResistance;
  Quantity faraday;
  Quantity J;
  Quantity Jset;
  Quantity I;
  Quantity Iset;
  Quantity Voffset;
  Quantity V;
  Quantity Vset;
  Quantity Vstack;
  Quantity power;
  Quantity powerDensity;
  String option;
  String Koption;

private:
  // ln of the quotient that Koption selects.
  Value lnQuotient();
};
