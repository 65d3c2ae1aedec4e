#pragma once
// Registered object types for the tests of the object tree: a flowsheet of
// units, each unit holding one phase per stage, three levels in all.
//
//   TestFlowsheet  (flowsheet)  options: nUnits (1..9, default 2)
//     U1, U2 ...   TestUnit (unit)   options: nStages (1..9, default 2)
//       Sphase[0] ... TestPhase (phase) options: typeP (default "liquid")
//
// Fresh objects build their children from their options; objects read back
// from a store get them from the store. Every kind of variable is present:
// I (nUnits, nStages), IV (counts), Q (T, mdot, stageT[i] scalars), QV
// (mdotcomps), QM (k, 2 x 3), S (title, typeP), SV (names).

#include "velta/persistency/Integer.h"
#include "velta/persistency/IntegerVector.h"
#include "velta/persistency/Object.h"
#include "velta/persistency/Quantity.h"
#include "velta/persistency/QuantityMatrix.h"
#include "velta/persistency/QuantityVector.h"
#include "velta/persistency/String.h"
#include "velta/persistency/StringVector.h"

#include <vector>

class TestPhase : public Object {
public:
  TestPhase(Defaults defaults, int id, Persistency *persistency, Node *parent, Node *root);

  String typeP;
  Quantity mdot;
  QuantityVector mdotcomps;
  QuantityMatrix k;
  IntegerVector counts;
  StringVector names;
};

class TestUnit : public Object {
public:
  TestUnit(Defaults defaults, int id, Persistency *persistency, Node *parent, Node *root);

  Integer nStages;
  Quantity T;
  std::vector<Quantity> stageT;
};

class TestFlowsheet : public Object {
public:
  TestFlowsheet(Defaults defaults, int id, Persistency *persistency, Node *parent, Node *root);

  Integer nUnits;
  String title;
};

// Registers the three types and the alias "TestPhase<vapor>" once.
void registerTestTypes();
