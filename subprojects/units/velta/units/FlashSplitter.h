#pragma once
// The flash splitter (type "FlashSplitter"): a flash drum whose internal
// stream (option "embeddedTypeStream", listed default
// "StreamIdealLiquidSolid") is split by phase, phase i of the stream to
// outlet i + 1. Each outlet port has the name of its phase's PhaseIndex
// ("vapor", "liquid1", "solid1", ...) as a synonym.

#include "velta/units/FlashDrumSeparator.h"

class FlashSplitter : public FlashDrumSeparator {
public:
  FlashSplitter(Defaults defaults, int id, Persistency *persistency, Node *parent, Node *root);
  ~FlashSplitter() override;

  // "out1" north, other outlets south, inlets west.
  int locationFromPort(std::string port) override;

  static const char *const typeName;

protected:
  // Every connected outlet, in outlet order.
  bool attachOutlets_() override;
  void revert_() override;
};
