#pragma once
// The component splitter (type "Separator"): any number of inlets mixed and
// divided component by component among nOutlets outlets by the splits
// outSplit[i][j] (component j to outlet i; the last outlet takes the
// remainder). The outlets leave at the separator's temperature T and at
// pressures set by one pressure rule ("P", "D", "K") or, with option "S",
// by one pressure drop per outlet; duty is what the enthalpy balance needs.
// Below mode 2 it solves the outlet flashes (PT) itself; from mode 2 on its
// equation system (the outlets' flash systems) belongs to the flowsheet.

#include "velta/core/ObjectiveNleAd.h"
#include "velta/persistency/Integer.h"
#include "velta/persistency/Quantity.h"
#include "velta/persistency/String.h"
#include "velta/units/Connectivity.h"

#include <vector>

class Separator : public Connectivity, public ObjectiveNleAdVertex {
public:
  Separator(Defaults defaults, int id, Persistency *persistency, Node *parent, Node *root);
  ~Separator() override;

  void calculateResidualsLocal() override;
  void setup_of() override;

  void calculate(int level) override { go(1, level); }
  void setup() override {}
  void initializeNonPersistents() override {}
  ObjectiveNleAd *objectiveFunction() override { return this; }

  // Connection faults (no inlet, outlets missing or other than nOutlets)
  // and outlets of differing representations are errors of the unit, and
  // nothing is calculated.
  void go(int mode, int level) override;
  Value energyBalance() override { return duty; }

  static const char *const typeName;

  Quantity T;
  Quantity P;
  Quantity duty;
  Quantity deltaP;
  Quantity flowcoefficient;
  Quantity deltaPMax;
  Quantity beta;
  Quantity Tavg;
  String option;
  Integer nOutlets;
  std::vector<Quantity> outSplitTotal;
  std::vector<Quantity> deltaPstream;
  std::vector<std::vector<Quantity>> outSplit;

private:
  // Binds the streams; false (with an error filed) when the connections do
  // not allow a calculation.
  bool testconnect_();
  void normalize_();
  void calculateFlows_();

  std::vector<Stream *> inletstreams_;
  std::vector<Stream *> outletstreams_;
  std::vector<Value> flows_;
  std::vector<Value> fractions_;
};
