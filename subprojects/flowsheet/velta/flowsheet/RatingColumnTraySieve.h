#pragma once
// Rating of sieve trays (type "RatingColumnTraySieve"): from the rated
// section's end properties and the tray layout, the flow parameter, the gas
// velocity over the active area, the flooding velocity by a fit of Fair's
// flooding diagram, the weeping velocity, the flooding and weeping
// approaches and the gas-load rating parameters. Flooding and weeping are
// recorded as errors of the rating, their safe limits as warnings; nothing
// is raised for them.

#include "velta/flowsheet/RatingColumnTray.h"

class RatingColumnTraySieve : public RatingColumnTray {
public:
  static const char *const typeName;

  RatingColumnTraySieve(Defaults defaults, int id, Persistency *persistency, Node *parent,
                        Node *root);
  ~RatingColumnTraySieve() override;

  // The level is ignored. ErrorRunTime without a target section.
  void calculate(int level) override;
  void setup() override {}
  void initializeNonPersistents() override {}
  ObjectiveNleAd *objectiveFunction() override { return nullptr; }

  // Fair's hole-area factor at the relative free area phi.
  static Value holeAreaFactor(const Value &phi);
  // The minimum-gas-load parameter at the weeping approach WA.
  static Value minimumGasLoad(const Value &WA, const Value &eta);

  Quantity FLG;
  Quantity Un;
  Quantity Unflood;
  Quantity Unweep;
  Quantity FA;
  Quantity WA;
};
