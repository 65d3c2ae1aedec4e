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

class ColumnSection;
class Divider;
class FlashDrumBase;
class RatingColumn;
class Stream;

class Column : public FlowSheet {
public:
  static const char *const typeName;

  // Options: stages (>= 2), feedStage (1 .. stages - 1), typeU (required),
  // typeW, nRatings with embeddedTypeRatings[i] and ratingTarget[i].
  Column(Defaults defaults, int id, Persistency *persistency, Node *parent, Node *root);
  ~Column() override;

  // The flowsheet's solution, its units' failures in passes that a later
  // pass clears recorded without being logged: the errors that remain at
  // the end are logged when they are reported.
  void go(int mode, int level) override;
  void pre(int mode, int level) override;
  void post(int mode, int level) override;
  void makeUserEquations(Position &position) override;
  // The passes run until the profile stops changing (about 55 for six
  // stages of water and Chemical1); this is only their upper bound.
  int sequential() override;
  void setup() override;
  // Binds the children of a restored column (and of its sections).
  void initializeNonPersistents() override;
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
  // The children the passes use, bound once: when the column is built and
  // after the set-up's cuts, or, restored, when its non-persistent state is
  // initialised. A renamed or missing child fails there, not in a pass.
  struct Parts {
    ColumnSection *enrich = nullptr, *strip = nullptr;
    FlashDrumBase *feedFlash = nullptr, *reboiler = nullptr, *condenser = nullptr;
    Divider *split = nullptr;
    Stream *F = nullptr, *FV = nullptr, *FL = nullptr, *EF = nullptr, *SF = nullptr;
    Stream *DV = nullptr, *DL = nullptr, *BV = nullptr, *B = nullptr, *SL = nullptr;
    Stream *ELbis = nullptr, *BVbis = nullptr, *Rbis = nullptr;
  };
  void bindChildren_(const char *caller);
  // The torn streams' copies; an error before the set-up made them.
  Stream &cutCopy(Stream *stream, const char *tag, const char *caller) const;

  // Throws ErrorBrowsing from caller unless both options can calculate.
  void checkOptions(const char *caller) const;
  // The first sequential pass of a never calculated column: the internal
  // streams from the CMO estimates and a sweep of the feed flash.
  void initialize(const char *caller);
  void startEnrichment(double vfMin, double vfMax, const char *caller);
  void startStripping(double vfMax, const char *caller);
  // Sets the feed flash to the vapour fraction vf and calculates it.
  void sweepFeedFlash(double vf);
  // The stage specifications of a pass: the CMO vapour fractions in the
  // first sequential passes, adiabatic stages after them.
  void specifyStages(int mode);
  // Pressure step between stages.
  Value stageStep() const;

  Parts parts_;
  int stages_ = 2;
  int feedStage_ = 1;
  int strippingStages_ = 1;
};
