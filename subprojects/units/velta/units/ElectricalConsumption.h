#pragma once
// The electrical side of a machine driven by an electric motor (a
// compressor, a pump): the power drawn We, the supply voltage V, the power
// factor cosphi and the line current i of the three-phase active power
// We = sqrt(3) V i cosphi. The machine assigns We and then calls
// calculateElectricalConsumption at the end of its own calculation; V and
// cosphi keep the values given by the case.

#include "velta/core/Model.h"
#include "velta/persistency/Quantity.h"

class ElectricalConsumption : public virtual Model {
public:
  // The Model base is built by the most derived class.
  explicit ElectricalConsumption(Defaults defaults);
  ~ElectricalConsumption() override;

  // i := We / (V cosphi sqrt(3)). A zero V or cosphi is recorded as an
  // error of the machine and leaves i unchanged.
  void calculateElectricalConsumption();

  Quantity cosphi;
  Quantity We;
  Quantity V;
  Quantity i;
};
