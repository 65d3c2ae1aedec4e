#pragma once
// The mixer (type "Mixer"): any number of inlets into one outlet at the
// lowest inlet pressure with the sum of the inlets' enthalpy flows. It
// solves the outlet's flash itself (PH, or PT for a mass-only total phase),
// and its equation system is that of the outlet's flash.

#include "velta/persistency/Integer.h"
#include "velta/persistency/Quantity.h"
#include "velta/units/SimpleUnit.h"

class Mixer : public SimpleUnit {
public:
  Mixer(Defaults defaults, int id, Persistency *persistency, Node *parent, Node *root);
  ~Mixer() override;

  void go(int mode, int level) override;
  // The outlet's flash system; the outlet must be connected.
  ObjectiveNleAd *objectiveFunction() override;

  static const char *const typeName;

  // Iterations of the outlet's flash in the last sequential pass.
  Integer NITER;
  // Mass-weighted mean temperature of the inlets that carried flow.
  Quantity Tavg;
};
