#include "velta/flowsheet/ColumnSection.h"

#include "velta/core/MyCast.h"
#include "velta/phases/MassMolarProperties.h"
#include "velta/streams/Stream.h"
#include "velta/units/FlashDrumBase.h"
#include "velta/utility/Diagnostic.h"
#include "velta/utility/Error.h"

#include <algorithm>
#include <cmath>
#include <sstream>

const char *const ColumnSection::typeName = "ColumnSection";

namespace {

Defaults sectionOptions(const Defaults &given) {
  Defaults options = given.relay("", "");
  options.setInteger("nStreams", 2);
  options.setString("option[0]", "bottomtop");
  options.setInteger("referenceStream", 1);
  return options;
}

// The liquid phase of a stream: its "Lphase", else its "Xphase", else its
// total phase.
Phase::MassMolarProperties &liquidPhase(Object &stream, const char *caller) {
  for (const char *tag : {"Lphase", "Xphase"})
    if (stream.hasChild(tag))
      return *my_cast<Phase::MassMolarProperties *>(&stream.child(tag), caller);
  return *my_cast<Phase::MassMolarProperties *>(&stream.child("Tphase"), caller);
}

} // namespace

ColumnSection::ColumnSection(Defaults defaults, int id, Persistency *persistency, Node *parent,
                             Node *root)
    : Object(defaults, id, persistency, parent, root),
      Model(defaults, id, persistency, parent, root),
      VertexBase(defaults, id, persistency, parent, root),
      MultiStage(sectionOptions(defaults), id, persistency, parent, root),
      Gtop("Gtop", "Gas flow, top", 0.0, "kg/s", nullptr),
      Gbtm("Gbtm", "Gas flow, bottom", 0.0, "kg/s", nullptr),
      Ltop("Ltop", "Liquid flow, top", 0.0, "kg/s", nullptr),
      Lbtm("Lbtm", "Liquid flow, bottom", 0.0, "kg/s", nullptr),
      rhoGtop("rhoGtop", "Gas density, top", 0.0, "kg/m3", nullptr),
      rhoGbtm("rhoGbtm", "Gas density, bottom", 0.0, "kg/m3", nullptr),
      rhoLtop("rhoLtop", "Liquid density, top", 0.0, "kg/m3", nullptr),
      rhoLbtm("rhoLbtm", "Liquid density, bottom", 0.0, "kg/m3", nullptr),
      sigmaTop("sigmaTop", "Surface tension, top", 0.0, "N/m", nullptr),
      sigmaBtm("sigmaBtm", "Surface tension, bottom", 0.0, "N/m", nullptr),
      etaGtop("etaGtop", "Gas viscosity, top", 0.0, "Pa*s", nullptr),
      etaGbtm("etaGbtm", "Gas viscosity, bottom", 0.0, "Pa*s", nullptr),
      etaLtop("etaLtop", "Liquid viscosity, top", 0.0, "Pa*s", nullptr),
      etaLbtm("etaLbtm", "Liquid viscosity, bottom", 0.0, "Pa*s", nullptr) {
  static const char *const name = "ColumnSection::ColumnSection";
  setType(typeName);
  std::ostringstream printed;
  defaults.print(printed);
  VELTA_LOG(verbosity(), 1, name, "Entered with " << id << " and options = " << printed.str());
  for (Quantity *q : {&Gtop, &Gbtm, &Ltop, &Lbtm, &rhoGtop, &rhoGbtm, &rhoLtop, &rhoLbtm,
                      &sigmaTop, &sigmaBtm, &etaGtop, &etaGbtm, &etaLtop, &etaLbtm}) {
    addVariable(*q);
    q->setOutput();
  }
  accelerateSubstitution();
  // A restored section has its options back only once all its variables
  // are: it binds in initializeNonPersistents.
  if (persistency == nullptr)
    bindChildren_(name);
  VELTA_LOG(verbosity(), 2, name, "Done");
}

ColumnSection::~ColumnSection() = default;

void ColumnSection::bindChildren_(const char *caller) {
  const auto n = static_cast<std::size_t>(nStage.value());
  stages_.assign(n, nullptr);
  gas_.assign(n, nullptr);
  liquid_.assign(n, nullptr);
  gasCuts_.assign(n, nullptr);
  for (std::size_t i = 0; i < n; ++i) {
    const int k = static_cast<int>(i);
    stages_[i] = my_cast<FlashDrumBase *>(&child(stageTag(k)), caller);
    gas_[i] = my_cast<Stream *>(&child(streamTag(0, k)), caller);
    liquid_[i] = my_cast<Stream *>(&child(streamTag(1, k)), caller);
    if (k > 0 && hasChild(cutTag(0, k)))
      gasCuts_[i] = my_cast<Stream *>(&child(cutTag(0, k)), caller);
  }
  gasFeed_ = my_cast<Stream *>(&child("FA"), caller);
  liquidFeed_ = my_cast<Stream *>(&child("FB"), caller);
}

FlashDrumBase &ColumnSection::stage(int i) const { return *stages_.at(static_cast<std::size_t>(i)); }

Stream &ColumnSection::gasFrom(int i) const { return *gas_.at(static_cast<std::size_t>(i)); }

Stream &ColumnSection::liquidFrom(int i) const { return *liquid_.at(static_cast<std::size_t>(i)); }

Stream &ColumnSection::gasCutFrom(int i) const {
  Stream *cut = gasCuts_.at(static_cast<std::size_t>(i));
  if (cut == nullptr)
    throw ErrorRunTime("ColumnSection::gasCutFrom",
                       ("no torn gas stream from stage " + std::to_string(i) + " of " +
                        fullTag() + " (not set up)")
                           .c_str());
  return *cut;
}

int ColumnSection::sequential() { return std::max(50, 5 * nStage.value()); }

void ColumnSection::calculateProperties() {
  static const char *const name = "ColumnSection::calculateProperties";
  VELTA_TRACE_BEGIN
  VELTA_LOG(verbosity(), 1, name, "Entered for " << fullTag());
  Stream &top = gasFrom(0);
  Stream &bottom = liquidFrom(nStage.value() - 1);
  Gtop = top.Tphase->mdot;
  Gbtm = gasFeed_->Tphase->mdot;
  Ltop = liquidFeed_->Tphase->mdot;
  Lbtm = bottom.Tphase->mdot;
  rhoGtop = top.Q("Tphase.rho");
  rhoGbtm = gasFeed_->Q("Tphase.rho");
  rhoLtop = liquidFeed_->Q("Tphase.rho");
  rhoLbtm = bottom.Q("Tphase.rho");
  Phase::MassMolarProperties &liquidTop = liquidPhase(*liquidFeed_, name);
  sigmaTop = liquidTop.sigma(liquidFeed_->P, liquidFeed_->T);
  etaLtop = liquidTop.mu(liquidFeed_->P, liquidFeed_->T);
  Phase::MassMolarProperties &liquidBottom = liquidPhase(bottom, name);
  sigmaBtm = liquidBottom.sigma(bottom.P, bottom.T);
  etaLbtm = liquidBottom.mu(bottom.P, bottom.T);
  etaGtop = my_cast<Phase::MassMolarProperties *>(top.Tphase, name)->mu(top.P, top.T);
  etaGbtm = my_cast<Phase::MassMolarProperties *>(gasFeed_->Tphase, name)
                ->mu(gasFeed_->P, gasFeed_->T);
  VELTA_LOG(verbosity(), 2, name, "Done");
  VELTA_TRACE_END(name)
}

void ColumnSection::setPressureProfile(Value first, Value step) {
  static const char *const name = "ColumnSection::setPressureProfile";
  VELTA_TRACE_BEGIN
  VELTA_LOG(verbosity(), 1, name, "Entered for " << fullTag());
  for (int i = 0; i < nStage.value(); ++i)
    stage(i).P = first + static_cast<double>(i) * step;
  VELTA_LOG(verbosity(), 2, name, "Done");
  VELTA_TRACE_END(name)
}

void ColumnSection::initializeNonPersistents() {
  MultiStage::initializeNonPersistents();
  bindChildren_("ColumnSection::initializeNonPersistents");
}

void ColumnSection::setup() {
  static const char *const name = "ColumnSection::setup";
  VELTA_LOG(verbosity(), 1, name, "Entered for " << tag());
  MultiStage::setup();
  bindChildren_(name);
  for (FlashDrumBase *s : stages_) {
    s->option = "PH";
    s->duty.set(0.0, "W");
  }
  VELTA_LOG(verbosity(), 2, name, "Done");
}

void ColumnSection::post(int mode, int level) {
  static const char *const name = "ColumnSection::post";
  VELTA_TRACE_BEGIN
  VELTA_LOG(verbosity(), 1, name, "Entered for " << fullTag());
  MultiStage::post(mode, level);
  for (const FlashDrumBase *s : stages_)
    if (s->option.value() == "PH" && std::fabs(s->duty.toDouble("W")) > 1000.0)
      setError("non-adiabatic equilibrium stage");
  VELTA_TRACE_END(name)
}
