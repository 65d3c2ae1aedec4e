#pragma once
// A counter-current cascade (type "MultiStage"): nStage stages of one unit
// type (typeT), numbered from 0 at the top, through which nStreams stream
// couples pass. Couple j ("A", "B", ... by indexToLetter) runs "topbottom"
// (feed "F" + letter into S[0] port in<j+1>, product from the last stage)
// or "bottomtop" (feed into the last stage, product from S[0]); its
// streams are of type typeU (topbottom) or typeV (bottomtop). Feed and
// product of couple j are the cascade's own ports in<j+1> and out<j+1>.
//
// The set-up tears, at every stage boundary, the streams of the couples
// that do not run the way of couple referenceStream, and draws the graph
// before and after ("<tag>_Q1.dot", "<tag>_Q2.dot"). The first sequential
// pass of a never calculated cascade starts the torn streams from their
// couple's feed, the pressure raised by i * deltaP[j] / nStage at stage i.
//
// The column section derives from it and calls setup and post from its own
// overrides; the column classes use the tag functions.

#include "velta/flowsheet/FlowSheet.h"
#include "velta/persistency/Integer.h"
#include "velta/persistency/Quantity.h"
#include "velta/persistency/String.h"

#include <string>
#include <vector>

class MultiStage : public FlowSheet {
public:
  // ErrorRunTime for a referenceStream not below nStreams; ErrorBrowsing for
  // a couple option other than "topbottom" and "bottomtop".
  MultiStage(Defaults defaults, int id, Persistency *persistency, Node *parent, Node *root);
  ~MultiStage() override;

  void pre(int mode, int level) override;
  // Counts the pass (the torn streams are started only on the first one).
  void post(int mode, int level) override;
  void makeUserEquations(Position &) override {}
  // 2 nStage, at least 10.
  int sequential() override;
  void setup() override;

  std::string stageTag(int i) const;
  // The stream of couple j leaving stage i; the bare letter where it leaves
  // the cascade.
  std::string streamTag(int j, int i) const;
  std::string cutTag(int j, int i) const;

  static const char *const typeName;

  std::vector<Quantity> deltaP;
  Integer nStage;
  Integer nStreams;
  Integer referenceStream;
  std::vector<String> option;
  String pressureoption;
  String typeT;
  String typeU;
  String typeV;

private:
  bool topBottom(int j, const char *caller) const;
  // Whether couple j has a stream from stage i to another stage.
  bool leavesToStage(int j, int i, const char *caller) const;
  bool isReference(int j) const;
  std::string letter(int j) const;
};
