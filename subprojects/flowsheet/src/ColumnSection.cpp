#include "velta/flowsheet/ColumnSection.h"

#include "velta/core/MyCast.h"
#include "velta/phases/MassMolarProperties.h"
#include "velta/streams/Stream.h"
#include "velta/utility/Diagnostic.h"
#include "velta/utility/Error.h"

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
  VELTA_LOG(verbosity(), 2, name, "Done");
}

ColumnSection::~ColumnSection() = default;

void ColumnSection::calculateProperties() {
  static const char *const name = "ColumnSection::calculateProperties";
  VELTA_TRACE_BEGIN
  VELTA_LOG(verbosity(), 1, name, "Entered for " << fullTag());
  const std::string top = streamTag(0, 0);
  const std::string bottom = streamTag(1, nStage.value() - 1);
  Gtop = Q(top + ":Tphase.mdot");
  Gbtm = Q("FA:Tphase.mdot");
  Ltop = Q("FB:Tphase.mdot");
  Lbtm = Q(bottom + ":Tphase.mdot");
  rhoGtop = Q(top + ":Tphase.rho");
  rhoGbtm = Q("FA:Tphase.rho");
  rhoLtop = Q("FB:Tphase.rho");
  rhoLbtm = Q(bottom + ":Tphase.rho");
  Phase::MassMolarProperties &liquidTop = liquidPhase(at("FB"), name);
  sigmaTop = liquidTop.sigma(Q("FB.P"), Q("FB.T"));
  etaLtop = liquidTop.mu(Q("FB.P"), Q("FB.T"));
  Phase::MassMolarProperties &liquidBottom = liquidPhase(at(bottom), name);
  sigmaBtm = liquidBottom.sigma(Q(bottom + ".P"), Q(bottom + ".T"));
  etaLbtm = liquidBottom.mu(Q(bottom + ".P"), Q(bottom + ".T"));
  etaGtop = my_cast<Phase::MassMolarProperties *>(&at(top).child("Tphase"), name)
                ->mu(Q(top + ".P"), Q(top + ".T"));
  etaGbtm = my_cast<Phase::MassMolarProperties *>(&at("FA").child("Tphase"), name)
                ->mu(Q("FA.P"), Q("FA.T"));
  VELTA_LOG(verbosity(), 2, name, "Done");
  VELTA_TRACE_END(name)
}

void ColumnSection::setPressureProfile(Value first, Value step) {
  static const char *const name = "ColumnSection::setPressureProfile";
  VELTA_TRACE_BEGIN
  VELTA_LOG(verbosity(), 1, name, "Entered for " << fullTag());
  for (int i = 0; i < I("nStage"); ++i)
    Q(stageTag(i) + ".P") = first + static_cast<double>(i) * step;
  VELTA_LOG(verbosity(), 2, name, "Done");
  VELTA_TRACE_END(name)
}

void ColumnSection::setup() {
  static const char *const name = "ColumnSection::setup";
  VELTA_LOG(verbosity(), 1, name, "Entered for " << tag());
  MultiStage::setup();
  for (int i = 0; i < nStage.value(); ++i) {
    S(stageTag(i) + ".option") = "PH";
    Q(stageTag(i) + ".duty").set(0.0, "W");
  }
  VELTA_LOG(verbosity(), 2, name, "Done");
}

void ColumnSection::post(int mode, int level) {
  static const char *const name = "ColumnSection::post";
  VELTA_TRACE_BEGIN
  VELTA_LOG(verbosity(), 1, name, "Entered for " << fullTag());
  MultiStage::post(mode, level);
  for (int i = 0; i < nStage.value(); ++i)
    if (std::fabs(Q(stageTag(i) + ".duty").toDouble("W")) > 1000.0)
      setError("non-adiabatic equilibrium stage");
  VELTA_TRACE_END(name)
}
