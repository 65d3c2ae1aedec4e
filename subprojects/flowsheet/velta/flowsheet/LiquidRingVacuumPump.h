#pragma once
// The liquid-ring vacuum pump (type "LiquidRingVacuumPump"): the vacuum
// vapours S01 (inlet 1) meet the cool ring liquid in "MIX1"; "DRUM1"
// separates them, "COMPRV" brings the vapour and the pump "COMPRL" the
// liquid to the discharge pressure P; "MIX2" joins them with the makeup
// liquid S00 (inlet 2) and "DRUM2" separates the recompressed vapours S04
// (outlet 1) from the liquids, of which "TEE" purges the fraction purge as
// the liquid discharge S06 (outlet 2) and sends the rest through the
// cooler "HX" back to MIX1 as the ring liquid S08, the torn stream.
//
// Solved sequentially only, with up to 100 passes.

#include "velta/flowsheet/FlowSheet.h"
#include "velta/persistency/Quantity.h"

class LiquidRingVacuumPump : public FlowSheet {
public:
  LiquidRingVacuumPump(Defaults defaults, int id, Persistency *persistency, Node *parent,
                       Node *root);
  ~LiquidRingVacuumPump() override;

  // The pump's inputs onto the torn ring liquid, the machines, the cooler
  // and the purge split.
  void pre(int mode, int level) override;
  // cr and We from the pass.
  void post(int mode, int level) override;
  void makeUserEquations(Position &) override {}
  int sequential() override { return 100; }
  bool supportsSimultaneous() override { return false; }
  // Inside an enclosing flowsheet's simultaneous solution the pump stays a
  // block that converges its own ring: it lends no unknowns (pre writes the
  // torn ring liquid, which would otherwise be one of them), and each
  // evaluation of the enclosing residuals runs its sequential solution.
  ObjectiveNleAd *objectiveFunction() override { return nullptr; }
  void calculateResidualsLocal() override;
  // Starts the ring liquid as 5000 kg/h of the first component, fixes the
  // drums, the compressor and the cooler and tears the ring at S08.
  void setup() override;

  static const char *const typeName;

  Quantity P;
  Quantity T;
  Quantity purge;
  Quantity cr;
  Quantity We;
};
