#pragma once
// The flash degasser (type "FlashDegasser"): a flash drum whose internal
// stream (option "embeddedTypeStream", listed default
// "StreamIdealLiquidVapor") sends its vapour phase to outlet 1 ("vapor")
// and its other phases to outlet 2 ("condensate").

#include "velta/units/FlashDrumSeparator.h"

class FlashDegasser : public FlashDrumSeparator {
public:
  FlashDegasser(Defaults defaults, int id, Persistency *persistency, Node *parent, Node *root);
  ~FlashDegasser() override;

  // "out1" north, "out2" south, every other port west.
  int locationFromPort(std::string port) override;

  static const char *const typeName;

protected:
  // Outlets 1 and 2; an error when either is missing.
  bool attachOutlets_() override;
  void revert_() override;
};
