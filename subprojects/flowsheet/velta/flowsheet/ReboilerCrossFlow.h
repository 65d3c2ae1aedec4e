#pragma once
// A vertical shell-and-tube reboiler heated by condensing steam (type
// "ReboilerCrossFlow"), split into n zones HX[j] along the tubes. The
// process liquid ("liquid", in1) runs through the zones in series (A[j]),
// each flashing it to its pressure and vapour fraction; the steam
// ("steam", in2) is divided over all zones by "SPLIT" (B[j]) and the
// condensates (C[j]) mixed by "MIX" ("water", out2); the last zone's outlet
// is "mixture" (out1).
//
// Before every pass the reboiler hands the zones their pressures (the
// cold-side drop divided by deltaPfraction), vapour fractions (rising
// linearly to coldAlfa), the tube geometry (the length divided by
// Lfraction) and the condensing temperatures. After it, it sums the zones'
// results and writes the Assignments that make the steam split follow the
// zones' heat balances, the length follow their required areas and the
// pressure drop follow their rated tube-side drops.
//
// The zones' heat transfer units need a shell-and-tube rating
// "ratings[0]": the options given to the reboiler must create it.

#include "velta/flowsheet/FlowSheet.h"
#include "velta/persistency/Integer.h"
#include "velta/persistency/Quantity.h"

#include <string>
#include <vector>

class Zone;

class ReboilerCrossFlow : public FlowSheet {
public:
  // The option "zones" (n > 0) has no default.
  ReboilerCrossFlow(Defaults defaults, int id, Persistency *persistency, Node *parent, Node *root);
  ~ReboilerCrossFlow() override;

  void pre(int mode, int level) override;
  void post(int, int) override {}
  void makeUserEquations(Position &position) override;
  void setup() override;

  // 0 <= j < n (fatal otherwise); ErrorDynamicCast when HX[j] is no Zone.
  Zone &zone(int j);
  std::string indexedTag(const std::string &prefix, int j) const;
  std::string zoneTag(int j) const { return indexedTag("HX", j); }
  std::string boilupTag(int j) const { return indexedTag("A", j); }
  std::string steamTag(int j) const { return indexedTag("B", j); }
  std::string condensateTag(int j) const { return indexedTag("C", j); }

  static const char *const typeName;

  Quantity coldP;
  Quantity coldAlfa;
  Quantity N;
  Quantity L;
  Quantity de;
  Quantity s;
  Quantity R1f;
  Quantity R2f;
  Quantity A;
  Quantity Areq;
  Quantity excessArea;
  Quantity factor;
  Quantity deltaP_1;
  std::vector<Quantity> deltaPfraction;
  std::vector<Quantity> Lfraction;
  Quantity duty;
  Quantity MTD;
  Quantity U;
  Integer zones;

private:
  // Zone pressures from SL.P down to coldP by the deltaPfraction.
  void pressureProfile();

  int zones_ = 0;
  double nZones_ = 0.0;
};
