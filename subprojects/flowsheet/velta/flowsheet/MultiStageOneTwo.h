#pragma once
// Stages in series (the base of the intercooled compressor trains, not a
// registered type): nStage stages S[i] of type typeT, stage i's outlet 1
// feeding stage i+1's inlet 1 through A[i] (typeU), every stage's outlet 2
// collected by the mixer "MIX" through B[i] (typeV). Its inlet 1 ("FEED")
// feeds S[0], its outlet 1 ("OUT1") is the last stage's outlet 1, its
// outlet 2 ("OUT2") the mixed outlets 2. A subclass supplies pre and post.
//
// Its variables are stored with it: nStage, the two pressure differences
// deltaP[0] and deltaP[1] and the strings pressureoption, typeT, typeU and
// typeV (pressureoption and deltaP are kept for the stored cases; nothing
// here reads them).

#include "velta/flowsheet/FlowSheet.h"
#include "velta/persistency/Integer.h"
#include "velta/persistency/Quantity.h"
#include "velta/persistency/String.h"

#include <string>
#include <vector>

class MultiStageOneTwo : public FlowSheet {
public:
  // Reads the options nStage (default 1, exclusive bounds 0 and INT_MAX),
  // typeT, typeU and typeV; a new arrangement builds its children.
  MultiStageOneTwo(Defaults defaults, int id, Persistency *persistency, Node *parent, Node *root);
  ~MultiStageOneTwo() override;

  void makeUserEquations(Position &) override {}
  // Writes "MultiStageOneTwo::sequential = 3" to standard output whatever
  // the verbosity and returns 3 (the flowsheet still runs up to 5 passes).
  int sequential() override;
  // Draws the graph to "<tag>_Q1.dot", then sets up the children.
  void setup() override;

  // The letter of the couple (A main line, B crossflow), "[", the stage and
  // "]".
  static std::string streamTag(int couple, int stage);

  static const char *const typeName;

  std::vector<Quantity> deltaP;
  Integer nStage;
  String pressureoption;
  String typeT;
  String typeU;
  String typeV;
};
