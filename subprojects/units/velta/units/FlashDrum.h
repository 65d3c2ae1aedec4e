#pragma once
// The flash drum (type "FlashDrum"): any number of inlets mixed, optionally
// reacted, and flashed into its one outlet under the drum's flash
// configuration (FlashDrumBase). The outlet stream belongs to the
// flowsheet; the drum binds it at its set-up and after a restore. The heat
// transfer, pipe and pump units derive from it.

#include "velta/units/Connectivity.h"
#include "velta/units/FlashDrumBase.h"

class FlashDrum : public FlashDrumBase, public Connectivity {
public:
  FlashDrum(Defaults defaults, int id, Persistency *persistency, Node *parent, Node *root);
  ~FlashDrum() override;

  // --- equation system: binds the outlet before the first assembly.
  void setup_of() override;

  // --- Model
  void calculate(int level) override { go(1, level); }
  // Binds the outlet at port out1 and attaches the reactions to it.
  void setup() override;
  // After a restore: binds the outlet and passes the flash specification.
  void initializeNonPersistents() override;

  // --- VertexBase
  // Without inlets an error and nothing else; inlets without flow give the
  // warning "Empty inlet stream" and an outlet recomputed without a flash
  // (from mode 2 on, identity rows in place of the residuals).
  void go(int mode, int level) override;
  Value energyBalance() override { return duty; }

  static const char *const typeName;

  Quantity Tavg;

protected:
  // myout_ := the stream at outlet 0 (checked cast naming caller).
  void bindOutletStream_(const char *caller);
};
