#pragma once
// The degasser (type "Degasser"): the inlet's vapour phase goes to outlet 1
// ("vapor"), its liquid and solid phases to outlet 2 ("condensate"), both
// at the inlet's temperature and pressure. revert composes the inlet back
// from the two outlets.

#include "velta/units/SimpleUnit.h"

class Degasser : public SimpleUnit {
public:
  Degasser(Defaults defaults, int id, Persistency *persistency, Node *parent, Node *root);
  ~Degasser() override;

  // Missing streams, an inlet or vapour outlet without a vapour phase, or
  // a condensate without the phases of the inlet's non-vapour phases are
  // errors of the unit and nothing is calculated.
  void go(int mode, int level) override;
  void revert();
  // "out1" north, "out2" south, every other port west.
  int locationFromPort(std::string port) override;

  static const char *const typeName;

private:
  // The three streams, or false with an error filed.
  bool streams_(const char *caller, Stream *&in, Stream *&vapor, Stream *&condensate);
};
