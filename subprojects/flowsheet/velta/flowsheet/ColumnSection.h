#pragma once
// One section of a tray column (type "ColumnSection"): a counter-current
// cascade of adiabatic equilibrium stages with two couples, the gas A
// rising ("bottomtop", fed as FA into the bottom stage, leaving as A from
// S[0]) and the liquid B falling (the reference couple, fed as FB into S[0],
// leaving as B from the bottom stage); the gas streams between stages are
// torn. The owning column sets the stage pressures before every pass and
// asks for the end properties (flows, densities, surface tensions,
// viscosities) after it, which the tray ratings read.

#include "velta/flowsheet/MultiStage.h"

#include <vector>

class FlashDrumBase;
class Stream;

class ColumnSection : public MultiStage {
public:
  static const char *const typeName;

  // The caller's option set, with two couples, the gas rising and the
  // liquid as reference added when it does not name them itself.
  ColumnSection(Defaults defaults, int id, Persistency *persistency, Node *parent, Node *root);
  ~ColumnSection() override;

  // Records "non-adiabatic equilibrium stage" once per adiabatic ("PH")
  // stage whose |duty| exceeds 1000 W; a stage run at a given vapour
  // fraction has the duty that fraction needs.
  void post(int mode, int level) override;
  // Every stage an adiabatic flash at given pressure ("PH", duty 0 W input).
  void setup() override;
  // Binds the children of a restored section.
  void initializeNonPersistents() override;
  // Passes until the stages stop changing: from a warm start the gas tears
  // converge by a steady ratio, faster than one stage per pass.
  int sequential() override;

  // The children, bound when the section is built (the torn gas streams at
  // set-up) or, restored, when its non-persistent state is initialised: stage i, the gas and the liquid leaving it, and the torn gas
  // that stage i sends to stage i - 1 (i >= 1).
  FlashDrumBase &stage(int i) const;
  Stream &gasFrom(int i) const;
  Stream &liquidFrom(int i) const;
  Stream &gasCutFrom(int i) const;

  // The fourteen end properties from the current streams.
  void calculateProperties();
  // Stage i at first + i * step.
  void setPressureProfile(Value first, Value step);

  Quantity Gtop;
  Quantity Gbtm;
  Quantity Ltop;
  Quantity Lbtm;
  Quantity rhoGtop;
  Quantity rhoGbtm;
  Quantity rhoLtop;
  Quantity rhoLbtm;
  Quantity sigmaTop;
  Quantity sigmaBtm;
  Quantity etaGtop;
  Quantity etaGbtm;
  Quantity etaLtop;
  Quantity etaLbtm;

private:
  // Binds what exists: a missing stage or stream is an error here, not in
  // a later pass.
  void bindChildren_(const char *caller);

  std::vector<FlashDrumBase *> stages_;
  std::vector<Stream *> gas_;
  std::vector<Stream *> liquid_;
  std::vector<Stream *> gasCuts_;
  Stream *gasFeed_ = nullptr;
  Stream *liquidFeed_ = nullptr;
};
