// The column's passes: pressures, the first-pass initialisation and the
// stage specifications before a pass, the profiles and ratings after it,
// the CMO design equations, and the set-up.

#include "velta/core/MyCast.h"
#include "velta/flowsheet/Column.h"
#include "velta/flowsheet/ColumnSection.h"
#include "velta/flowsheet/RatingColumn.h"
#include "velta/phases/Mass.h"
#include "velta/streams/FlashBase.h"
#include "velta/streams/Stream.h"
#include "velta/units/Divider.h"
#include "velta/units/FlashDrumBase.h"
#include "velta/units/FlashDrumSeparator.h"
#include "velta/utility/Diagnostic.h"
#include "velta/utility/Error.h"
#include "velta/utility/SharedEnumerations.h"
#include "velta/value/Constants.h"

#include <algorithm>
#include <string>

using Velta::Utility::PhaseIndex;
using Velta::Utility::ScalingMode;

namespace {

const int solid1 = static_cast<int>(PhaseIndex::solid1);

// The first sequential passes run every stage at the CMO vapour fraction;
// from the CMO profile they leave, the passes after them run adiabatic
// stages, the model of the simultaneous solution, to its fixed point.
constexpr int cmoPasses = 3;

// The CMO ratios to the feed from the feed's vapour fraction alfa and solid
// fraction beta, the reflux ratio RR and the boil-up ratio BR.
struct Cmo {
  Value Ve, Le, Vs, Ls, BF, DF, gamma;
};

Cmo cmo(const Value &RR, const Value &BR, const Value &alfa, const Value &beta) {
  const Value &One = dimensionlessOne;
  const Value sum = RR + BR + One;
  return {(alfa * (RR + One) + (One - beta) * BR * RR + (One - beta) * BR) / sum,
          ((One - beta) * BR * RR + alfa * RR) / sum,
          -((beta - One) * BR * RR + (beta - One) * BR + alfa * BR) / sum,
          -(((beta - One) * BR - One) * RR + alfa * (BR + One) - BR - One) / sum,
          -(-RR - beta * BR + alfa - One) / sum,
          ((One - beta) * BR + alfa) / sum,
          RR / (One + RR)};
}

void throwUnsupported(const char *caller, const std::string &tag, const String &option) {
  throw ErrorBrowsing(caller, tag.c_str(), Column::typeName, option.tag().c_str(),
                      option.value().c_str());
}

// A stream given by temperature and pressure on a molar basis, calculated.
// A torn stream keeps its enthalpy through a flash (the cut's assignment
// sets it), so its start writes the enthalpy of the state it was given:
// the passes flash it from that enthalpy.
void calculatePT(Stream &s) {
  s.flashoption = "PT";
  s.flowoption = "Nx";
  s.calculate(0);
  if (!s.cutsource.value().empty())
    s.Tphase->calculateProperties(s.P, s.T, true);
}

// Phase assignment between phases of different types (a vapour phase into
// a liquid stream's): the values of the quantities that both have, so that
// the target keeps its own type and children.
void copyPhaseValues(Object &target, const Object &source) {
  for (const auto &[tag, quantity] : source.quantities()) {
    const auto found = target.quantities().find(tag);
    if (found != target.quantities().end())
      *found->second = *quantity;
  }
}

// A torn stream's start: the temperature and total phase of source, the
// molar flow flow.
void startFrom(Stream &cut, const Stream &source, const Value &flow) {
  cut.T = source.T;
  copyPhaseValues(*cut.Tphase, *source.Tphase);
  cut.Tphase->Q("ndot") = flow;
  calculatePT(cut);
}

Value solidFraction(Stream &feed, const char *caller) {
  return Value(my_cast<FlashBase *>(&feed, caller)->Fraction(solid1, false));
}

} // namespace

// ---------------------------------------------------------------- children

void Column::bindChildren_(const char *caller) {
  auto flash = [&](const char *tag) { return my_cast<FlashDrumBase *>(&child(tag), caller); };
  Parts p;
  p.enrich = my_cast<ColumnSection *>(&child("ENRICH"), caller);
  p.strip = my_cast<ColumnSection *>(&child("STRIP"), caller);
  p.feedFlash = flash("FFLASH");
  p.reboiler = flash("REB");
  p.condenser = flash("COND");
  p.split = my_cast<Divider *>(&child("SPLIT"), caller);
  const struct {
    Stream *Parts::*member;
    const char *tag;
    bool torn;
  } streams[] = {{&Parts::F, "F", false},        {&Parts::FV, "FV", false},
                 {&Parts::FL, "FL", false},      {&Parts::EF, "EF", false},
                 {&Parts::SF, "SF", false},      {&Parts::DV, "DV", false},
                 {&Parts::DL, "DL", false},      {&Parts::BV, "BV", false},
                 {&Parts::B, "B", false},        {&Parts::SL, "SL", false},
                 {&Parts::ELbis, "ELbis", true}, {&Parts::BVbis, "BVbis", true},
                 {&Parts::Rbis, "Rbis", true}};
  // The torn streams' copies exist only once the column is set up.
  for (const auto &s : streams)
    if (!s.torn || hasChild(s.tag))
      p.*s.member = my_cast<Stream *>(&child(s.tag), caller);
  parts_ = p;
}

void Column::initializeNonPersistents() {
  FlowSheet::initializeNonPersistents();
  bindChildren_("Column::initializeNonPersistents");
}

Stream &Column::cutCopy(Stream *stream, const char *tag, const char *caller) const {
  if (stream == nullptr)
    throw ErrorRunTime(caller, (std::string("no torn stream ") + tag + " in " + fullTag() +
                                ": the column has not been set up")
                                   .c_str());
  return *stream;
}

int Column::sequential() { return std::max(100, 10 * stages_); }

Value Column::stageStep() const {
  return columnDeltaP / static_cast<double>(stages_ - 1);
}

void Column::checkOptions(const char *caller) const {
  const std::string &c = condenserOption.value();
  if (c != "RR" && c != "DF")
    throwUnsupported(caller, tag(), condenserOption);
  const std::string &r = reboilerOption.value();
  if (r != "QN" && r != "BR")
    throwUnsupported(caller, tag(), reboilerOption);
}

void Column::go(int mode, int level) {
  const ProvisionalErrors provisional;
  FlowSheet::go(mode, level);
}

// ---------------------------------------------------------------- pre

void Column::pre(int mode, int) {
  static const char *const name = "Column::pre";
  VELTA_TRACE_BEGIN
  VELTA_LOG(verbosity(), 1, name, "Entered for " << fullTag());
  const Parts &p = parts_;
  const Value dP = stageStep();
  p.condenser->P = P1;
  p.enrich->setPressureProfile(P1 + consenserDeltaP, dP);
  p.feedFlash->P = P1 + consenserDeltaP + static_cast<double>(feedStage_) * columnDeltaP /
                                             static_cast<double>(stages_ - 1);
  p.strip->setPressureProfile(p.feedFlash->P, dP);
  if (isPristine() && mode == 1)
    initialize(name);
  VELTA_LOG(verbosity(), 2, name, "Ve = " << Ve);
  VELTA_LOG(verbosity(), 2, name, "Le = " << Le);
  VELTA_LOG(verbosity(), 2, name, "Vs = " << Vs);
  VELTA_LOG(verbosity(), 2, name, "Ls = " << Ls);
  VELTA_LOG(verbosity(), 2, name, "BF  = " << BF);
  VELTA_LOG(verbosity(), 2, name, "DF  = " << DF);
  VELTA_LOG(verbosity(), 2, name, "alfa = " << alfa);
  VELTA_LOG(verbosity(), 2, name, "beta = " << beta);
  VELTA_LOG(verbosity(), 2, name, "gamma = " << gamma);
  VELTA_LOG(verbosity(), 2, name, "delta = " << delta);

  if (condenserOption.value() == "RR")
    p.split->outSplit.at(0) = gamma;
  else if (condenserOption.value() != "DF")
    throwUnsupported(name, tag(), condenserOption);
  specifyStages(mode);
  if (reboilerOption.value() == "QN")
    p.reboiler->duty = QN;
  else if (reboilerOption.value() == "BR")
    p.reboiler->alfa = delta;
  else
    throwUnsupported(name, tag(), reboilerOption);
  VELTA_LOG(verbosity(), 2, name, "Done");
  VELTA_TRACE_END(name)
}

void Column::specifyStages(int mode) {
  const bool cmoStages = mode == 1 && nCalculations.value() < cmoPasses;
  const struct {
    ColumnSection *section;
    Value alfa;
  } sections[] = {{parts_.enrich, Ve / (Ve + Le)}, {parts_.strip, Vs / (Vs + Ls)}};
  for (const auto &s : sections)
    for (int j = 0; j < s.section->nStage.value(); ++j) {
      FlashDrumBase &stage = s.section->stage(j);
      if (cmoStages) {
        stage.option = "PA";
        stage.alfa = s.alfa;
      } else {
        stage.option = "PH";
        stage.duty.set(0.0, "W");
      }
    }
}

void Column::initialize(const char *caller) {
  const Parts &p = parts_;
  const Value &feed = p.F->Tphase->Q("ndot");
  // At the top of a case the feed is flashed by the pass after this start,
  // so until then it holds whatever was stored with it.
  if (isRoot())
    p.F->calculate(0);
  p.feedFlash->calculate(0);
  alfa = p.feedFlash->alfa;
  beta = solidFraction(*p.F, caller);
  const Cmo c = cmo(RR, BR, alfa, beta);
  Ve = c.Ve;
  Le = c.Le;
  Vs = c.Vs;
  Ls = c.Ls;
  BF = c.BF;
  DF = c.DF;
  gamma = c.gamma;
  delta = Vs / Ls;
  p.enrich->incrementCalculations();
  p.strip->incrementCalculations();

  const struct {
    Stream *stream;
    Stream *from;
    Value ratio;
  } starts[] = {{p.EF, p.FV, Ve},
                {p.SF, p.FL, Ls},
                {&cutCopy(p.ELbis, "ELbis", caller), p.FL, Ls - 1.0}};
  for (const auto &s : starts) {
    s.stream->assign(*s.from);
    s.stream->Tphase->Q("ndot") = feed * s.ratio;
    calculatePT(*s.stream);
  }
  p.feedFlash->option = "PA";

  // Each stage of a section starts from its own point of a sweep of the
  // feed flash's vapour fraction: richer vapours towards the top.
  const double vfMin = std::min(delta.value(), DF.value());
  const double vfMax = 1.0 - solidFraction(*p.F, caller).value();
  startEnrichment(vfMin, vfMax, caller);
  startStripping(std::min(std::max(delta.value(), DF.value()), 0.99), caller);
  // The sweep leaves the feed flash far from the feed's state; the adiabatic
  // flash starts again from the feed temperature, as a PH flash of a deeply
  // subcooled feed cannot find its way back from a two-phase point.
  p.feedFlash->option = "PT";
  p.feedFlash->T = p.F->T;
  p.feedFlash->calculate(0);
  p.feedFlash->option = "PH";
  p.feedFlash->duty.set(0.0, "W");
  p.feedFlash->calculate(0);
}

void Column::sweepFeedFlash(double vf) {
  parts_.feedFlash->alfa.set(Value(vf));
  parts_.feedFlash->calculate(0);
}

void Column::startEnrichment(double vfMin, double vfMax, const char *caller) {
  const Parts &p = parts_;
  const Value &feed = p.F->Tphase->Q("ndot");
  VELTA_LOG(verbosity(), 2, caller, "pseudoVaporFraction = [" << vfMin << " - " << vfMax << "]");
  if (!(vfMax > vfMin))
    throw ErrorRunTime(caller, ("empty pseudo vapor fraction range [" + std::to_string(vfMin) +
                                " - " + std::to_string(vfMax) + "] for the enrichment section")
                                   .c_str());
  sweepFeedFlash(vfMin);
  Stream &Rbis = cutCopy(p.Rbis, "Rbis", caller);
  Rbis.P = P1 + consenserDeltaP;
  startFrom(Rbis, *p.FV, feed * Le);
  for (int i = 1; i < feedStage_; ++i) {
    VELTA_LOG(verbosity(), 2, caller, "Initializing stage " << i << " in the enrichment section");
    sweepFeedFlash(static_cast<double>(i) / feedStage_ * (vfMax - vfMin) + vfMin);
    startFrom(p.enrich->gasCutFrom(i), *p.FV, feed * Ve);
  }
}

void Column::startStripping(double vfMax, const char *caller) {
  const Parts &p = parts_;
  const Value &feed = p.F->Tphase->Q("ndot");
  VELTA_LOG(verbosity(), 2, caller, "pseudoVaporFraction = [" << 0 << " - " << vfMax << "]");
  if (!(vfMax > 0.0))
    throw ErrorRunTime(caller, ("empty pseudo vapor fraction range [0 - " +
                                std::to_string(vfMax) + "] for the stripping section")
                                   .c_str());
  for (int i = 1; i < strippingStages_; ++i) {
    VELTA_LOG(verbosity(), 2, caller, "Initializing stage " << i << " in the stripping section");
    sweepFeedFlash(static_cast<double>(i) / strippingStages_ * vfMax);
    startFrom(p.strip->gasCutFrom(i), *p.FL, feed * Vs);
  }
  sweepFeedFlash(vfMax);
  Stream &BVbis = cutCopy(p.BVbis, "BVbis", caller);
  BVbis.P = P1 + consenserDeltaP + columnDeltaP;
  startFrom(BVbis, *p.FL, feed * Vs);
}

// ---------------------------------------------------------------- post

void Column::post(int, int) {
  static const char *const name = "Column::post";
  VELTA_TRACE_BEGIN
  VELTA_LOG(verbosity(), 1, name, "Entered for " << fullTag());
  const Parts &p = parts_;
  p.enrich->calculateProperties();
  p.strip->calculateProperties();
  Q1 = p.condenser->duty;
  QN = p.reboiler->duty;
  T[0] = p.condenser->T;
  V[0] = p.DV->Tphase->Q("ndot");
  L[0] = p.DL->Tphase->Q("ndot");
  const struct {
    ColumnSection *section;
    int count, offset;
  } sections[] = {{p.enrich, feedStage_, 1}, {p.strip, strippingStages_, feedStage_ + 1}};
  for (const auto &s : sections)
    for (int i = 0; i < s.count; ++i) {
      const auto k = static_cast<std::size_t>(s.offset + i);
      T[k] = s.section->stage(i).T;
      V[k] = s.section->gasFrom(i).Tphase->Q("ndot");
      L[k] = s.section->liquidFrom(i).Tphase->Q("ndot");
    }
  const auto last = static_cast<std::size_t>(stages_ + 1);
  T[last] = p.reboiler->T;
  V[last] = p.BV->Tphase->Q("ndot");
  L[last] = p.B->Tphase->Q("ndot");
  BRs = p.BV->Tphase->Q("ndot") / p.B->Tphase->Q("ndot");
  for (RatingColumn *rating : ratings)
    rating->calculate(0);
  incrementCalculations();
  VELTA_LOG(verbosity(), 2, name, "Done");
  VELTA_TRACE_END(name)
}

// ---------------------------------------------------------------- equations

void Column::makeUserEquations(Position &position) {
  static const char *const name = "Column::makeUserEquations";
  VELTA_TRACE_BEGIN
  VELTA_LOG(verbosity(), 1, name, "Entered for " << fullTag());
  const Parts &p = parts_;
  const Value &One = dimensionlessOne;
  auto assign = [&](Quantity &lhs, const Value &rhs, const std::string &tag,
                    const std::string &text) {
    makeAssignment(position, &lhs, rhs, tag, text, 0, ScalingMode::noscaling, 0.0, 1.0, One);
  };
  assign(alfa, p.feedFlash->alfa, "vapor fraction in feed", "Q(\"FFLASH.alfa\")");
  assign(beta, solidFraction(*p.F, name), "solid1 fraction in feed",
         "my_cast<FlashBase *>(&at(\"F\"), CURRENT_FUNCTION)->Fraction(Velta::Utility::PhaseIndex::"
         "solid1)");
  const Cmo c = cmo(RR, BR, alfa, beta);
  assign(Ve, c.Ve, Ve.description(),
         "(alfa * (RR + One) + (One - beta) * BR * RR + (One - beta) * BR) / (RR + BR + One)");
  assign(Le, c.Le, Le.description(), "((One - beta) * BR * RR + alfa * RR) / (RR + BR + One)");
  assign(Vs, c.Vs, Vs.description(),
         "-((beta - One) * BR * RR + (beta - One) * BR + alfa * BR) / (RR + BR + One)");
  assign(Ls, c.Ls,
         "Ratio of Liquid in Stripping section according to CMO hypothesis to feedStage",
         "-(((beta - One) * BR - One) * RR + alfa * (BR + One) - BR - One) / (RR + BR + One)");
  assign(BF, c.BF, BF.description(), "-(-RR - beta * BR + alfa - One) / (RR + BR + One)");
  assign(DF, c.DF, DF.description(), "((One - beta) * BR + alfa) / (RR + BR + One)");
  assign(gamma, c.gamma, gamma.description(), "RR / (One + RR)");
  assign(delta, Vs / Ls, delta.description(), "Vs / Ls");

  auto resetIfFailed = [](Model &unit) {
    if (!unit.errors.value().empty())
      unit.setPristine();
  };
  resetIfFailed(*p.condenser);
  if (!p.reboiler->errors.value().empty()) {
    VELTA_LOG(verbosity(), 2, name, "Resetting REB");
    p.reboiler->setPristine();
    p.reboiler->T = Value(500.0, "K");
    p.SL->T = Value(500.0, "K");
  }
  const struct {
    ColumnSection *section;
    int count;
  } sections[] = {{p.enrich, feedStage_}, {p.strip, strippingStages_}};
  for (const auto &s : sections)
    for (int i = 0; i < s.count; ++i) {
      // A pristine stage starts from its own temperature: a failed one
      // starts again from its inlets' mean, not from where it failed (a
      // liquid root far below the inlets is a stable failure).
      FlashDrumBase &stage = s.section->stage(i);
      if (!stage.errors.value().empty())
        if (const auto *separator = dynamic_cast<const FlashDrumSeparator *>(&stage))
          stage.T = separator->Tavg;
      resetIfFailed(stage);
    }
  VELTA_LOG(verbosity(), 2, name, "Done");
  VELTA_TRACE_END(name)
}

// ---------------------------------------------------------------- set-up

void Column::setup() {
  static const char *const name = "Column::setup";
  VELTA_TRACE_BEGIN
  VELTA_LOG(verbosity(), 1, name, "Entered for " << fullTag());
  // Only options that the passes can calculate: a case that set-up accepts
  // must not fail at every calculation.
  checkOptions(name);
  VELTA_LOG(verbosity(), 2, name, "Calling flowsheet::setup to initialize any subflowsheet");
  FlowSheet::setup();
  bindChildren_(name);
  const Parts &p = parts_;
  setMaxRelativeStepChange(0.1);
  p.strip->setMaxRelativeStepChange(0.1);
  p.enrich->setMaxRelativeStepChange(0.1);
  p.condenser->option = "PA";
  p.condenser->alfa.set(Value(0.0));
  p.feedFlash->option = "PH";
  p.feedFlash->duty.set(0.0, "W");
  p.reboiler->deltaP.set(0.0, "Pa");
  VELTA_LOG(verbosity(), 2, name, "Defining cut streams");
  if (isDag()) {
    restoreCuts();
  } else {
    for (const char *cut : {"EL", "BV", "R"})
      addCut(cut);
  }
  bindChildren_(name);
  VELTA_LOG(verbosity(), 2, name, "Making selected outputs visible in GUI");
  for (auto *profile : {&T, &V, &L})
    for (Quantity &q : *profile)
      q.setOutput();
  const std::string &c = condenserOption.value();
  (c == "RR" ? RR : DF).setInput();
  for (Quantity *q : {&Q1, &RR, &DF})
    if (!(q == &RR && c == "RR") && !(q == &DF && c == "DF"))
      q->setOutput();
  const std::string &r = reboilerOption.value();
  (r == "QN" ? QN : BR).setInput();
  for (Quantity *q : {&QN, &BR, &BF})
    if (!(q == &QN && r == "QN") && !(q == &BR && r == "BR"))
      q->setOutput();
  p.reboiler->option = r == "QN" ? "DH" : "DA";
  BRs.setOutput();
  VELTA_LOG(verbosity(), 2, name, "Done");
  VELTA_TRACE_END(name)
}
