// The column's passes: pressures, the first-pass initialisation and the
// stage specifications before a pass, the profiles and ratings after it,
// the CMO design equations, and the set-up.

#include "velta/core/MyCast.h"
#include "velta/flowsheet/Column.h"
#include "velta/flowsheet/ColumnSection.h"
#include "velta/flowsheet/RatingColumn.h"
#include "velta/flowsheet/StageTag.h"
#include "velta/streams/FlashBase.h"
#include "velta/streams/Stream.h"
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

Stream &streamAt(Object &fs, const std::string &path, const char *caller) {
  return *my_cast<Stream *>(&fs.at(path), caller);
}

// A stream given by temperature and pressure on a molar basis, calculated.
void calculatePT(Stream &s) {
  s.flashoption = "PT";
  s.flowoption = "Nx";
  s.calculate(0);
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

} // namespace

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

void Column::pre(int mode, int) {
  static const char *const name = "Column::pre";
  VELTA_TRACE_BEGIN
  VELTA_LOG(verbosity(), 1, name, "Entered for " << fullTag());
  const Value dP = stageStep();
  Q("COND.P") = P1;
  my_cast<ColumnSection *>(&at("ENRICH"), name)->setPressureProfile(P1 + consenserDeltaP, dP);
  Q("FFLASH.P") =
      P1 + consenserDeltaP + static_cast<double>(feedStage_) * columnDeltaP /
                                 static_cast<double>(stages_ - 1);
  my_cast<ColumnSection *>(&at("STRIP"), name)->setPressureProfile(Q("FFLASH.P"), dP);
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
    at("SPLIT").Q("outSplit", 0) = gamma;
  else if (condenserOption.value() != "DF")
    throwUnsupported(name, tag(), condenserOption);

  const struct {
    const char *section;
    Value alfa;
  } sections[] = {{"ENRICH", Ve / (Ve + Le)}, {"STRIP", Vs / (Vs + Ls)}};
  for (const auto &s : sections) {
    Object &section = at(s.section);
    for (int j = 0; j < section.I("nStage"); ++j) {
      Object &stage = section.at(Velta::Flowsheet::stageTag(j));
      if (mode == 1) {
        stage.S("option") = "PA";
        stage.Q("alfa") = s.alfa;
      } else {
        stage.S("option") = "PH";
        stage.Q("duty").set(0.0, "W");
      }
    }
  }

  if (reboilerOption.value() == "QN")
    Q("REB.duty") = QN;
  else if (reboilerOption.value() == "BR")
    Q("REB.alfa") = delta;
  else
    throwUnsupported(name, tag(), reboilerOption);
  VELTA_LOG(verbosity(), 2, name, "Done");
  VELTA_TRACE_END(name)
}

void Column::initialize(const char *caller) {
  Model &flash = *my_cast<Model *>(&at("FFLASH"), caller);
  Stream &F = streamAt(*this, "F", caller);
  Stream &FV = streamAt(*this, "FV", caller);
  Stream &FL = streamAt(*this, "FL", caller);
  const Value &feed = F.Q("Tphase.ndot");
  auto solids = [&] { return Value(my_cast<FlashBase *>(&F, caller)->Fraction(solid1, false)); };

  flash.calculate(0);
  alfa = Q("FFLASH.alfa");
  beta = solids();
  const Cmo c = cmo(RR, BR, alfa, beta);
  Ve = c.Ve;
  Le = c.Le;
  Vs = c.Vs;
  Ls = c.Ls;
  BF = c.BF;
  DF = c.DF;
  gamma = c.gamma;
  delta = Vs / Ls;
  my_cast<Model *>(&at("ENRICH"), caller)->incrementCalculations();
  my_cast<Model *>(&at("STRIP"), caller)->incrementCalculations();

  const struct {
    const char *stream;
    Stream &from;
    Value ratio;
  } starts[] = {{"EF", FV, Ve}, {"SF", FL, Ls}, {"ELbis", FL, Ls - 1.0}};
  for (const auto &s : starts) {
    Stream &target = streamAt(*this, s.stream, caller);
    target.assign(s.from);
    target.Q("Tphase.ndot") = feed * s.ratio;
    calculatePT(target);
  }
  S("FFLASH.option") = "PA";

  // Each stage of a section starts from its own point of a sweep of the
  // feed flash's vapour fraction: richer vapours towards the top.
  auto startFrom = [&](Stream &cut, const Stream &source, const Value &ratio) {
    cut.T = source.T;
    copyPhaseValues(*cut.Tphase, *source.Tphase);
    cut.Q("Tphase.ndot") = feed * ratio;
    calculatePT(cut);
  };
  auto sweep = [&](double vf) {
    Q("FFLASH.alfa").set(Value(vf));
    flash.calculate(0);
  };
  double vfMin = std::min(delta.value(), DF.value());
  double vfMax = 1.0 - solids().value();
  VELTA_LOG(verbosity(), 2, caller, "pseudoVaporFraction = [" << vfMin << " - " << vfMax << "]");
  if (!(vfMax > vfMin))
    throw ErrorRunTime(caller, ("empty pseudo vapor fraction range [" + std::to_string(vfMin) +
                                " - " + std::to_string(vfMax) + "] for the enrichment section")
                                   .c_str());
  sweep(vfMin);
  Stream &Rbis = streamAt(*this, "Rbis", caller);
  Rbis.P = P1 + consenserDeltaP;
  startFrom(Rbis, FV, Le);
  auto *enrich = my_cast<ColumnSection *>(&at("ENRICH"), caller);
  for (int i = 1; i < feedStage_; ++i) {
    VELTA_LOG(verbosity(), 2, caller, "Initializing stage " << i << " in the enrichment section");
    sweep(static_cast<double>(i) / feedStage_ * (vfMax - vfMin) + vfMin);
    startFrom(streamAt(*enrich, enrich->cutTag(0, i), caller), FV, Ve);
  }

  vfMax = std::min(std::max(delta.value(), DF.value()), 0.99);
  VELTA_LOG(verbosity(), 2, caller, "pseudoVaporFraction = [" << 0 << " - " << vfMax << "]");
  if (!(vfMax > 0.0))
    throw ErrorRunTime(caller, ("empty pseudo vapor fraction range [0 - " +
                                std::to_string(vfMax) + "] for the stripping section")
                                   .c_str());
  auto *strip = my_cast<ColumnSection *>(&at("STRIP"), caller);
  for (int i = 1; i < strippingStages_; ++i) {
    VELTA_LOG(verbosity(), 2, caller, "Initializing stage " << i << " in the stripping section");
    sweep(static_cast<double>(i) / strippingStages_ * vfMax);
    startFrom(streamAt(*strip, strip->cutTag(0, i), caller), FL, Vs);
  }
  sweep(vfMax);
  Stream &BVbis = streamAt(*this, "BVbis", caller);
  BVbis.P = P1 + consenserDeltaP + columnDeltaP;
  startFrom(BVbis, FL, Vs);
  // The sweep leaves the feed flash far from the feed's state; the adiabatic
  // flash starts again from the feed temperature, as a PH flash of a deeply
  // subcooled feed cannot find its way back from a two-phase point.
  S("FFLASH.option") = "PT";
  Q("FFLASH.T") = F.T;
  flash.calculate(0);
  S("FFLASH.option") = "PH";
  Q("FFLASH.duty").set(0.0, "W");
  flash.calculate(0);
}

void Column::post(int, int) {
  static const char *const name = "Column::post";
  VELTA_TRACE_BEGIN
  VELTA_LOG(verbosity(), 1, name, "Entered for " << fullTag());
  my_cast<ColumnSection *>(&at("ENRICH"), name)->calculateProperties();
  my_cast<ColumnSection *>(&at("STRIP"), name)->calculateProperties();
  Q1 = Q("COND.duty");
  QN = Q("REB.duty");
  T[0] = Q("COND.T");
  V[0] = Q("DV:Tphase.ndot");
  L[0] = Q("DL:Tphase.ndot");
  const struct {
    const char *section;
    int count, offset;
  } sections[] = {{"ENRICH", feedStage_, 1}, {"STRIP", strippingStages_, feedStage_ + 1}};
  for (const auto &s : sections) {
    auto *section = my_cast<ColumnSection *>(&at(s.section), name);
    for (int i = 0; i < s.count; ++i) {
      const auto k = static_cast<std::size_t>(s.offset + i);
      T[k] = section->Q(section->stageTag(i) + ".T");
      V[k] = section->Q(section->streamTag(0, i) + ":Tphase.ndot");
      L[k] = section->Q(section->streamTag(1, i) + ":Tphase.ndot");
    }
  }
  const auto last = static_cast<std::size_t>(stages_ + 1);
  T[last] = Q("REB.T");
  V[last] = Q("BV:Tphase.ndot");
  L[last] = Q("B:Tphase.ndot");
  BRs = Q("BV:Tphase.ndot") / Q("B:Tphase.ndot");
  for (RatingColumn *rating : ratings)
    rating->calculate(0);
  incrementCalculations();
  VELTA_LOG(verbosity(), 2, name, "Done");
  VELTA_TRACE_END(name)
}

void Column::makeUserEquations(Position &position) {
  static const char *const name = "Column::makeUserEquations";
  VELTA_TRACE_BEGIN
  VELTA_LOG(verbosity(), 1, name, "Entered for " << fullTag());
  const Value &One = dimensionlessOne;
  auto assign = [&](Quantity &lhs, const Value &rhs, const std::string &tag,
                    const std::string &text) {
    makeAssignment(position, &lhs, rhs, tag, text, 0, ScalingMode::noscaling, 0.0, 1.0, One);
  };
  assign(alfa, Q("FFLASH.alfa"), "vapor fraction in feed", "Q(\"FFLASH.alfa\")");
  assign(beta, my_cast<FlashBase *>(&at("F"), name)->Fraction(solid1, false),
         "solid1 fraction in feed",
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

  auto resetIfFailed = [&](Object &unit) {
    Model *model = my_cast<Model *>(&unit, name);
    if (!model->errors.value().empty())
      model->setPristine();
  };
  resetIfFailed(at("COND"));
  Model *reb = my_cast<Model *>(&at("REB"), name);
  if (!reb->errors.value().empty()) {
    VELTA_LOG(verbosity(), 2, name, "Resetting REB");
    reb->setPristine();
    Q("REB.T") = Value(500.0, "K");
    Q("SL.T") = Value(500.0, "K");
  }
  const struct {
    const char *section;
    int count;
  } sections[] = {{"ENRICH", feedStage_}, {"STRIP", strippingStages_}};
  for (const auto &s : sections) {
    auto *section = my_cast<MultiStage *>(&at(s.section), name);
    for (int i = 0; i < s.count; ++i)
      resetIfFailed(section->at(section->stageTag(i)));
  }
  VELTA_LOG(verbosity(), 2, name, "Done");
  VELTA_TRACE_END(name)
}

void Column::setup() {
  static const char *const name = "Column::setup";
  VELTA_TRACE_BEGIN
  VELTA_LOG(verbosity(), 1, name, "Entered for " << fullTag());
  // Only options that the passes can calculate: a case that set-up accepts
  // must not fail at every calculation.
  checkOptions(name);
  VELTA_LOG(verbosity(), 2, name, "Calling flowsheet::setup to initialize any subflowsheet");
  FlowSheet::setup();
  setMaxRelativeStepChange(0.1);
  my_cast<SequentialAssembly *>(&at("STRIP"), name)->setMaxRelativeStepChange(0.1);
  my_cast<SequentialAssembly *>(&at("ENRICH"), name)->setMaxRelativeStepChange(0.1);
  S("COND.option") = "PA";
  Q("COND.alfa").set(Value(0.0));
  S("FFLASH.option") = "PH";
  Q("FFLASH.duty").set(0.0, "W");
  Q("REB.deltaP").set(0.0, "Pa");
  VELTA_LOG(verbosity(), 2, name, "Defining cut streams");
  if (isDag()) {
    restoreCuts();
  } else {
    for (const char *cut : {"EL", "BV", "R"})
      addCut(cut);
  }
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
  S("REB.option") = r == "QN" ? "DH" : "DA";
  BRs.setOutput();
  VELTA_LOG(verbosity(), 2, name, "Done");
  VELTA_TRACE_END(name)
}
