#pragma once
// The distillation column (type "Column"): a flowsheet of a feed flash
// FFLASH, an enrichment section ENRICH (feedStage stages) over a stripping
// section STRIP (stages - feedStage stages), a partial condenser COND with
// the condensate split SPLIT into reflux R and liquid distillate D, a
// reboiler REB, and the mixers M1 (feed vapour + stripping vapour into
// ENRICH) and M2 (feed liquid + enrichment liquid into STRIP). Inlet "feed"
// (in1), outlets "vdistillate" (out1), "ldistillate" (out2), "bottom" (out3).
//
// The sequential passes run every stage at the vapour fraction of the
// constant-molar-overflow (CMO) flows that follow from the reflux ratio RR
// and the boil-up ratio BR; the user equations keep those CMO ratios in
// line with the feed condition. The simultaneous passes make every stage
// adiabatic. The profiles T, V and L run from the condenser (0) over the
// stages (1..stages) to the reboiler (stages + 1).

#include "velta/flowsheet/FlowSheet.h"
#include "velta/persistency/String.h"

#include <string>
#include <vector>

class RatingColumn;

class Column : public FlowSheet {
public:
  static const char *const typeName;

  // Options: stages (>= 2), feedStage (1 .. stages - 1), typeU (required),
  // typeW, nRatings with embeddedTypeRatings[i] and ratingTarget[i].
  Column(Defaults defaults, int id, Persistency *persistency, Node *parent, Node *root);
  ~Column() override;

  void pre(int mode, int level) override;
  void post(int mode, int level) override;
  void makeUserEquations(Position &position) override;
  int sequential() override { return 10; }
  void setup() override;
  int locationFromPort(std::string port) override;

  Quantity Q1;
  Quantity RR;
  Quantity DF;
  Quantity QN;
  Quantity BR;
  Quantity BF;
  Quantity BRs;
  Quantity P1;
  Quantity consenserDeltaP;
  Quantity columnDeltaP;
  Quantity Ve;
  Quantity Le;
  Quantity Vs;
  Quantity Ls;
  Quantity alfa;
  Quantity beta;
  Quantity gamma;
  Quantity delta;
  std::vector<Quantity> T;
  std::vector<Quantity> V;
  std::vector<Quantity> L;
  String condenserOption;
  String reboilerOption;
  String typeU;
  String typeW;
  Integer stages;
  Integer feedStage;
  Integer nRatings;
  std::vector<String> embeddedTypeRatings;
  std::vector<String> ratingTarget;
  std::vector<RatingColumn *> ratings;

private:
  // Throws ErrorBrowsing from caller unless both options can calculate.
  void checkOptions(const char *caller) const;
  // The first sequential pass of a never calculated column: the internal
  // streams from the CMO estimates and a sweep of the feed flash.
  void initialize(const char *caller);
  // Pressure step between stages.
  Value stageStep() const;

  int stages_ = 2;
  int feedStage_ = 1;
  int strippingStages_ = 1;
};
