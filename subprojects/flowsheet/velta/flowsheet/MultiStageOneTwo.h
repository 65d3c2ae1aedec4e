#pragma once
// Stages in series (the base of the intercooled compressor trains, not a
// registered type): nStage stages S[i] of type typeT, stage i's outlet 1
// feeding stage i+1's inlet 1 through A[i] (typeU), every stage's outlet 2
// collected by the mixer "MIX" through B[i] (typeV). Its inlet 1 ("FEED")
// feeds S[0], its outlet 1 ("OUT1") is the last stage's outlet 1, its
// outlet 2 ("OUT2") the mixed outlets 2. A subclass supplies pre and post.

#include "velta/flowsheet/FlowSheet.h"

class MultiStageOneTwo : public FlowSheet {
public:
  MultiStageOneTwo(Defaults defaults, int id, Persistency *persistency, Node *parent, Node *root);
  ~MultiStageOneTwo() override;

  void makeUserEquations(Position &) override {}
  // Writes "MultiStageOneTwo::sequential = 3" to standard output whatever
  // the verbosity and returns 3 (the flowsheet still runs up to 5 passes).
  int sequential() override;
  // Draws the graph to "<tag>_Q1.dot", then sets up the children.
  void setup() override;

  static const char *const typeName;

protected:
  int nStage_ = 1;
};
