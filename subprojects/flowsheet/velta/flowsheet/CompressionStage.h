#pragma once
// One compression stage (type "CompressionStage"): the compressor "C"
// followed by the intercooler "COOL", an ideal vapour-liquid flash drum.
// Inlet in1 is the gas to compress (stream S02), outlet out1 the cooled gas
// (S04), outlet out2 the condensate (S05). The stage holds no variables:
// its users set "C.P", "COOL.T" and so on by tag path.

#include "velta/flowsheet/FlowSheet.h"

class CompressionStage : public FlowSheet {
public:
  CompressionStage(Defaults defaults, int id, Persistency *persistency, Node *parent, Node *root);
  ~CompressionStage() override;

  void pre(int, int) override {}
  void post(int, int) override {}
  void makeUserEquations(Position &) override {}
  // Sets up nothing, its units included: whoever uses the stage sets them.
  void setup() override {}

  static const char *const typeName;
};
