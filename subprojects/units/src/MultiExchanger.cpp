#include "velta/units/MultiExchanger.h"

#include "velta/components/ComponentGeneric.h"
#include "velta/components/ListComponents.h"
#include "velta/core/ValueHelpers.h"
#include "velta/phases/MassMolarProperties.h"
#include "velta/phases/PhaseTotal.h"
#include "velta/streams/Stream.h"
#include "velta/units/Exchanger.h"
#include "velta/units/MultiReaction.h"
#include "velta/units/Reaction.h"
#include "velta/units/ReactionEquilibrium.h"
#include "velta/utility/Diagnostic.h"
#include "velta/utility/Error.h"
#include "velta/utility/SharedEnumerations.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <cstdlib>

using Velta::Utility::FlashMode;
using Velta::Utility::MassBalanceMode;
using Velta::Utility::PhaseIndex;
using Velta::Utility::ScalingMode;

const char *const MultiExchanger::typeName = "MultiExchanger";

namespace {

// The slot counts come from the caller or from storage: a broken count is an
// error of the input, reported with the condition's text.
void require(bool condition, const char *function, const char *text) {
  if (!condition)
    throw ErrorRunTime(function, text);
}

Phase::MassMolarProperties &properties(Stream &stream, const char *caller) {
  return *my_cast<Phase::MassMolarProperties *>(stream.Tphase, caller);
}

Value enthalpyFlowOf(Stream &stream, const char *caller) {
  Phase::MassMolarProperties &total = properties(stream, caller);
  return total.mdot * total.h;
}

} // namespace

MultiExchanger::MultiExchanger(Defaults defaults, int id, Persistency *persistency, Node *parent,
                               Node *root)
    : Object(defaults, id, persistency, parent, root),
      Model(defaults, id, persistency, parent, root),
      VertexBase(defaults, id, persistency, parent, root),
      Connectivity(defaults, id, persistency), ObjectiveNleAdVertex("MultiExchanger"),
      Ts("Ts", "Solid temperature", 298.15, "K", nullptr),
      TsSet("TsSet", "Solid temperature set value used when option is set to Ts", 298.15, "K",
            nullptr),
      A("A", "Heat transfer area", 10.0, "m2", nullptr),
      beta("beta", "Fraction of deltaPmax when the pressure drop limitation logic will start acting",
           Value(0.9), nullptr),
      netDuty("netDuty", "Heat losses", 0.0, "W", nullptr),
      totDuty("totDuty", "Sum of heat transfer duties", 0.0, "W", nullptr),
      apparentDuty("apparentDuty", "Duty from overall heat balance", 0.0, "W", nullptr),
      maxT("maxT", "Maximum allowable temperature at outlet", 50.0, "K", nullptr),
      minT("minT", "Minimum allowable temperature at outlet", 1500.0, "K", nullptr),
      NITER_Exchanger("NITER_Exchanger", "Number of iterations", -1, nullptr),
      nStreams("nStreams", "Number of stream couples connected", 2, nullptr),
      nReactions("nReactions", "Number of reactions", 0, nullptr),
      nmultiReactions("nmultiReactions", "Number of multistream reactions", 0, nullptr),
      nreactionEquilibriums("nreactionEquilibriums", "Number of equilibrium reactions", 0,
                            nullptr),
      option("option", "Calculation mode", "UA", nullptr),
      reactionOrder("reactionOrder", "Order of Reaction conversion computation", "reactionsfirst",
                    nullptr),
      MTDoption("MTDoption", "MTD calculation mode", "LMTD", nullptr), solver_(0, this) {
  static const char *const name = "MultiExchanger::MultiExchanger";
  VELTA_TRACE_BEGIN
  setType(typeName);
  VELTA_LOG(verbosity(), 1, name, "Entered with " << id << " and options " << defaults);
  nReactions = retrieveInteger(defaults, id, persistency, "nReactions", -1, INT_MAX, 0);
  nmultiReactions = retrieveInteger(defaults, id, persistency, "nmultiReactions", -1, INT_MAX, 0);
  nStreams = retrieveInteger(defaults, id, persistency, "nStreams", 0, INT_MAX, 2);
  const unsigned n = static_cast<unsigned>(nStreams.value());
  addVector(T, "T", "Temperature of outlet stream", n, Value(298.15, "K"));
  addVector(P, "P", "Pressure of outlet stream", n, Value(101325.0, "Pa"));
  addVector(duty, "duty", "Heat transfer duty", n, Value(0.0, "W"));
  addVector(Qoffset, "Qoffset", "Duty offset", n, Value(0.0, "W"));
  addVector(U, "U", "Overall heat transfer coefficient", n, Value(100.0, "W/(m2*K)"));
  addVector(deltaT, "deltaT", "Temperature difference", n, Value(0.0, "K"));
  addVector(deltaP, "deltaP", "Pressure difference", n, Value(0.0, "Pa"));
  addVector(MTD, "MTD", "Mean temperature difference", n, Value(0.0, "K"));
  addVector(inletApproach, "inletApproach", "Temperature approach at inlet", n, Value(-10.0, "K"));
  addVector(outletApproach, "outletApproach", "Temperature approach at outlet", n,
            Value(-10.0, "K"));
  addVector(hfluxin, "hfluxin", "Heat flux inlet", n, Value(0.0, "W"));
  addVector(flowcoefficient, "flowcoefficient", "Flow coefficient", n, Value(1000.0, "kg/m7"));
  addVector(deltaPMax, "deltaPMax", "Maximum allowable pressure drop", n, Value(0.0, "Pa"));
  addVector(pressureOption, "pressureOption", "Pressure computation option", n, "D");
  for (Quantity *q : {&Ts, &TsSet, &A, &beta, &netDuty, &totDuty, &apparentDuty, &maxT, &minT})
    addVariable(*q);
  addVariable(NITER_Exchanger);
  for (String *s : {&option, &reactionOrder, &MTDoption})
    addVariable(*s);
  addVariable(nStreams);
  maxNIn = nStreams.value();
  maxNOut = nStreams.value();
  addVariable(nReactions);
  addVariable(nmultiReactions);
  addVariable(nreactionEquilibriums);
  const unsigned nr = static_cast<unsigned>(nReactions.value());
  const unsigned nm = static_cast<unsigned>(nmultiReactions.value());
  addVector(reactionSides, "reactionSides", "heat exchange side the reactions are taking place",
            nr, -1);
  addVector(embeddedTypeReactions, "embeddedTypeReactions", "type of the embedded reaction", nr,
            " ");
  addVector(embeddedTypemultiReactions, "embeddedTypemultiReactions",
            "type of the embedded multireaction", nm, " ");
  if (persistency) {
    retrieveIntegersAndStrings(persistency);
  } else {
    // The types the sub-objects are built from, kept with the unit.
    for (unsigned i = 0; i < nr; ++i)
      embeddedTypeReactions[i] = retrieveString(
          defaults, id, persistency, "embeddedTypeReactions[" + std::to_string(i) + "]", " ");
    for (unsigned i = 0; i < nm; ++i)
      embeddedTypemultiReactions[i] = retrieveString(
          defaults, id, persistency, "embeddedTypemultiReactions[" + std::to_string(i) + "]", " ");
  }
  addSubObjects(-1, defaults, persistency, nReactions.value(), "embeddedTypeReactions",
                "Reaction", "reactions", "embedded Reaction", reactions);
  reactionEquilibria_.assign(reactions.size(), nullptr);
  nreactionEquilibriums = 0;
  for (std::size_t j = 0; j < reactions.size(); ++j) {
    reactionEquilibria_[j] = dynamic_cast<ReactionEquilibrium *>(reactions[j]);
    if (reactionEquilibria_[j])
      nreactionEquilibriums += 1;
  }
  addSubObjects(-1, defaults, persistency, nmultiReactions.value(), "embeddedTypemultiReactions",
                "MultiReaction", "multiReactions", "embedded MultiReaction", multiReactions);
  solver_.setStepMax(0.5);
  solver_.setTolerances(1e-8, 1e-10, 1e-11, 0.0);
  solver_.setMaxIterations(100);
  for (std::vector<Quantity> *v :
       {&T, &P, &duty, &deltaT, &deltaP, &inletApproach, &outletApproach})
    for (Quantity &q : *v)
      q.setOutput();
  for (Quantity *q : {&Ts, &A, &netDuty, &totDuty, &apparentDuty})
    q->setOutput();
  setOwnVerbosity(0);
  if (nStreams.value() == 2) {
    registerSynonym("hotin", "in1");
    registerSynonym("hotout", "out1");
    registerSynonym("coldin", "in2");
    registerSynonym("coldout", "out2");
  }
  appendToName(fullTag());
  VELTA_TRACE_END(name)
}

MultiExchanger::~MultiExchanger() {
  VELTA_LOG(verbosity(), 1, "MultiExchanger::~MultiExchanger",
            "Entered with " << id() << " and nReactions = " << nReactions.value());
  VELTA_LOG(verbosity(), 2, "MultiExchanger::~MultiExchanger", "Done");
}

void MultiExchanger::initializeNonPersistents() {
  VELTA_LOG(verbosity(), 1, "MultiExchanger::initializeNonPersistents", "Entered for " << tag());
  VELTA_LOG(verbosity(), 2, "MultiExchanger::initializeNonPersistents", "Done");
}

void MultiExchanger::calculate(int level) {
  VELTA_LOG(verbosity(), 1, "MultiExchanger::calculate", "Entered for " << fullTag());
  go(1, level);
  VELTA_LOG(verbosity(), 2, "MultiExchanger::calculate", "Done");
}

Value MultiExchanger::energyBalance() {
  static const char *const name = "MultiExchanger::energyBalance";
  VELTA_LOG(verbosity(), 1, name, "Entered for " << tag() << " with netDuty = " << netDuty);
  VELTA_LOG(verbosity(), 2, name, "Done, ebtot = " << netDuty);
  return netDuty;
}

int MultiExchanger::locationFromPort(std::string port) {
  const auto digit = std::find_if(port.begin(), port.end(),
                                  [](unsigned char c) { return std::isdigit(c) != 0; });
  const long n = digit == port.end() ? 0 : std::strtol(&*digit, nullptr, 10);
  const bool odd = n % 2 != 0;
  if (port.rfind("in", 0) == 0)
    return odd ? 0 : 3;
  return odd ? 1 : 2;
}

// ---------------------------------------------------------------- set-up

void MultiExchanger::checkSlots_(const char *function, bool withInlets) const {
  const auto n = static_cast<std::size_t>(std::max(nStreams.value(), 0));
  if (withInlets)
    require(inlets_.size() == n, function,
            "equal_unsigned_signed(inlets_.size(), nStreams.value())");
  require(outlets_.size() == n, function,
          "equal_unsigned_signed(outlets_.size(), nStreams.value())");
  if (withInlets)
    require(nStreams.value() == nIn.value(), function, "nStreams.value() == nIn.value()");
  require(nStreams.value() == nOut.value(), function, "nStreams.value() == nOut.value()");
}

bool MultiExchanger::sideValid_(std::size_t j) const {
  const int side = reactionSides[j].value();
  return side >= 0 && side < static_cast<int>(outletStreams_.size());
}

void MultiExchanger::setup() {
  static const char *const name = "MultiExchanger::setup";
  VELTA_TRACE_BEGIN
  VELTA_LOG(verbosity(), 1, name, "Entered for " << tag());
  const auto n = static_cast<unsigned>(std::max(nStreams.value(), 0));
  inletStreams_.assign(n, nullptr);
  outletStreams_.assign(n, nullptr);
  for (unsigned i = 0; i < n; ++i) {
    inletStreams_[i] = inletStream(i, name);
    outletStreams_[i] = outletStream(i, name);
  }
  for (std::size_t j = 0; j < reactions.size(); ++j) {
    if (reactionSides[j].value() == -1)
      setError("ReactionSide not set");
    else if (!sideValid_(j))
      setError("ReactionSide out of range");
    else
      reactions[j]->setOutlet(outletStreams_[static_cast<std::size_t>(reactionSides[j].value())]
                                  ->Tphase);
  }
  for (std::size_t j = 0; j < multiReactions.size(); ++j) {
    VELTA_LOG(verbosity(), 2, name, "Setting outp for " << j << "-th MultiReaction");
    MultiReaction<2> &block = *multiReactions[j];
    const auto phases = static_cast<std::size_t>(std::max(block.nPhases.value(), 0));
    for (std::size_t k = 0; k < phases && k < block.outp.size(); ++k)
      if (k < outletStreams_.size())
        block.outp[k] = outletStreams_[k]->Tphase;
      else
        setError("MultiReaction with more reacting phases than couples");
  }
  VELTA_LOG(verbosity(), 2, name, "Done");
  VELTA_TRACE_END(name)
}

void MultiExchanger::setup_of() {
  static const char *const name = "MultiExchanger::setup_of";
  VELTA_TRACE_BEGIN
  VELTA_LOG(verbosity(), 1, name, " Entered for " << tag());
  checkSlots_(name, false);
  if (isSetUp())
    return;
  if (outletStreams_.size() != outlets_.size())
    setup();
  addUnknown(&Ts, Scaler(ScalingMode::log, 0.1, 1500.0, 1.0, 10.0), "Ts");
  unsigned F = 1;
  for (std::size_t j = 0; j < outletStreams_.size(); ++j) {
    ObjectiveNleAd &flash = *outletStreams_[j]->objectiveFunction();
    const unsigned n = flash.size();
    VELTA_LOG(verbosity(), 2, name,
              "stream " << outletStreams_[j]->fullTag() << " has " << n
                        << " unknowns; set at position " << F);
    addObjectiveFunction(flash);
    setUnknown(F, &outletApproach[j], Scaler(ScalingMode::linear, 0.0, -50.0, 1.0, 10.0),
               "outletApproach[" + std::to_string(j) + "]");
    F += n;
  }
  for (std::size_t k = 0; k < reactions.size(); ++k) {
    if (!reactionEquilibria_[k])
      continue;
    prepareEquilibriumUnknown(*reactions[k]);
    addUnknown(&reactions[k]->conv, Scaler(ScalingMode::linear, -0.001, 0.001, 1.0, 10.0),
               "reaction[" + std::to_string(k) + "].conv");
    VELTA_LOG(verbosity(), 2, name, "Set variable to " << reactions[k]->fullTag() << ".conv");
  }
  setSetUp(true);
  VELTA_TRACE_END(name)
}

// ---------------------------------------------------------------- reactions

void MultiExchanger::computeReactionConversions_() {
  static const char *const name = "MultiExchanger::computeReactionConversions_";
  VELTA_TRACE_BEGIN
  const std::size_t n = outletStreams_.size();
  for (std::size_t i = 0; i < n; ++i) {
    Node &target = *outletStreams_[i]->Tphase;
    target = static_cast<const Node &>(*inletStreams_[i]->Tphase);
  }
  const auto single = [&] {
    for (std::size_t j = 0; j < reactions.size(); ++j) {
      VELTA_LOG(verbosity(), 2, name, "Now computing Reaction " << j);
      reactions[j]->calculate(0);
    }
  };
  if (reactionOrder.value() == "reactionsfirst")
    single();
  for (std::size_t j = 0; j < multiReactions.size(); ++j) {
    VELTA_LOG(verbosity(), 2, name, "Now computing multiphase Reaction " << j);
    MultiReaction<2> &block = *multiReactions[j];
    block.calculate(0);
    const auto phases = static_cast<std::size_t>(std::max(block.nPhases.value(), 0));
    for (std::size_t k = 0; k < phases && k < n && k < block.phases.size(); ++k)
      *outletStreams_[k]->Tphase += *block.phases[k];
  }
  if (reactionOrder.value() == "multireactionfirst")
    single();
  Value in(0.0, "kg/s"), out(0.0, "kg/s");
  for (std::size_t i = 0; i < n; ++i) {
    outletStreams_[i]->Tphase->calculateX(MassBalanceMode::N);
    in += inletStreams_[i]->Tphase->mdot;
    out += outletStreams_[i]->Tphase->mdot;
  }
  checkReactionMassBalance(*this, in, out, "unbalanced reactions");
  VELTA_TRACE_END(name)
}

void MultiExchanger::computeReactionEquilibria_() {
  static const char *const name = "MultiExchanger::computeReactionEquilibria_";
  VELTA_TRACE_BEGIN
  VELTA_LOG(verbosity(), 1, name, "Entered for " << tag());
  for (std::size_t j = 0; j < reactions.size(); ++j) {
    ReactionEquilibrium *equilibrium = reactionEquilibria_[j];
    if (!equilibrium || !sideValid_(j))
      continue;
    Stream &out = *outletStreams_[static_cast<std::size_t>(reactionSides[j].value())];
    equilibrium->Tact = out.T;
    equilibrium->P = out.P;
    equilibrium->calculateEquilibrium(out.X(static_cast<int>(PhaseIndex::vapor)));
  }
  VELTA_LOG(verbosity(), 2, name, "Done");
  VELTA_TRACE_END(name)
}

// ---------------------------------------------------------------- residuals

void MultiExchanger::calculateResidualsLocal() {
  static const char *const name = "MultiExchanger::calculateResidualsLocal";
  VELTA_TRACE_BEGIN
  VELTA_LOG(verbosity(), 1, name, "Entered for " << fullTag());
  const std::size_t n = outletStreams_.size();
  for (std::size_t i = 0; i < n; ++i) {
    Stream &out = *outletStreams_[i];
    inletApproach[i] = inletStreams_[i]->T - Ts;
    const Value Tout = outletApproach[i] + Ts;
    out.T = Tout;
    out.objectiveFunction()->setUnknownValue(0, Tout);
    VELTA_LOG(verbosity(), 2, name,
              "inletApproach[" << i << "] = " << inletApproach[i] << " outletApproach[" << i
                               << "] = " << outletApproach[i] << " Ts = " << Ts);
  }
  if (hasEquilibria_)
    computeReactionConversions_();
  const bool fixedTs = option.value() == "Ts";
  if (!fixedTs && option.value() != "UA")
    throw ErrorBrowsing(name, tag().c_str(), "Calculation mode", option.value().c_str());
  // The solid's balance: sum of duty + Qr over the couples, W.
  Value balance(0.0, "W");
  if (fixedTs)
    netDuty = Value(0.0, "W");
  totDuty = Value(0.0, "W");
  unsigned m = 1;
  for (std::size_t i = 0; i < n; ++i) {
    Stream &in = *inletStreams_[i];
    Stream &out = *outletStreams_[i];
    Phase::MassMolarProperties &outTotal = properties(out, name);
    VELTA_LOG(verbosity(), 2, name, "pi = " << in.tag() << " po = " << out.tag());
    VELTA_LOG(verbosity(), 2, name, "pi->T = " << in.T << " po->T = " << out.T);
    calculateAverage(MTDoption.value(), inletApproach[i], outletApproach[i], MTD[i]);
    duty[i] = U[i] * A * MTD[i] + Qoffset[i];
    totDuty += duty[i];

    // Reaction heat, released at the solid temperature.
    Value Qr(0.0, "W");
    if (i < 2) {
      for (std::size_t j = 0; j < multiReactions.size(); ++j) {
        MultiReaction<2> &block = *multiReactions[j];
        if (static_cast<int>(i) >= block.nPhases.value() || i >= block.phases.size())
          continue;
        VELTA_LOG(verbosity(), 2, name, "Now computing Reaction heat for multiphase Reaction " << j);
        for (int k = 0; k < NCOMPONENTS; ++k) {
          Qr -= block.phases[i]->ndotcomps[static_cast<std::size_t>(k)] *
                components[k]->hv(Ts, out.P);
          VELTA_LOG(verbosity(), 2, name,
                    "after MultiReaction " << j << " component " << k << " Qr = " << Qr);
        }
      }
    }
    for (std::size_t j = 0; j < reactions.size(); ++j) {
      if (reactionSides[j].value() != static_cast<int>(i))
        continue;
      VELTA_LOG(verbosity(), 2, name, "Now computing Reaction heat for Reaction " << j);
      for (int k = 0; k < NCOMPONENTS; ++k) {
        Qr -= reactions[j]->conv * reactions[j]->coeff[static_cast<std::size_t>(k)] *
              components[k]->hv(Ts, out.P);
        VELTA_LOG(verbosity(), 2, name,
                  "after Reaction " << j << " component " << k << " Qr = " << Qr);
      }
    }
    if (fixedTs)
      netDuty += duty[i] + Qr;
    else
      balance += duty[i] + Qr;

    outTotal.H = (hfluxin[i] - duty[i] - Qr) / outTotal.ndot;
    VELTA_LOG(verbosity(), 2, name, "hfluxin[i] = " << hfluxin[i]);
    VELTA_LOG(verbosity(), 2, name, "duty[i] = " << duty[i]);
    VELTA_LOG(verbosity(), 2, name, "Qr = " << Qr);
    VELTA_LOG(verbosity(), 2, name, "(*po)->Tphase->ndot = " << outTotal.ndot);
    out.P = P[i];
    out.setFlash(static_cast<int>(FlashMode::PH));
    m += out.objectiveFunction()->calculateResiduals(residuals, m);
    VELTA_LOG(verbosity(), 2, name,
              "MTD[" << i << "] = " << MTD[i] << " Qr = " << Qr << " duty[" << i
                     << "] = " << duty[i]);
  }
  if (hasEquilibria_) {
    computeReactionEquilibria_();
    for (ReactionEquilibrium *equilibrium : reactionEquilibria_)
      if (equilibrium)
        equilibrium->calculateResidual(residuals[m++]);
  }
  // In K ("Ts") or W ("UA"), stored as the plain SI number so that a change
  // of mode keeps the residual's units.
  if (fixedTs)
    residuals[0] = (TsSet - Ts) / Value(1.0, "K");
  else
    residuals[0] = (balance - netDuty) / Value(1.0, "W");
  VELTA_TRACE_END(name)
}

// ---------------------------------------------------------------- calculation

void MultiExchanger::go(int mode, int) {
  static const char *const name = "MultiExchanger::go";
  VELTA_TRACE_BEGIN
  resetErrors();
  VELTA_LOG(verbosity(), 1, name, "Entered for " << fullTag());
  require(nStreams.value() > 1, name, "nStreams.value() > 1");
  VELTA_LOG(verbosity(), 2, name,
            "nStreams = " << nStreams.value() << " inlets = " << inlets_.size()
                          << " outlets = " << outlets_.size());
  require(nreactionEquilibriums.value() >= 0, name, "nreactionEquilibriums.value() >= 0");
  require(nReactions.value() >= 0, name, "nReactions.value() >= 0");
  require(nmultiReactions.value() >= 0, name, "nmultiReactions.value() >= 0");
  checkSlots_(name, true);
  if (inletStreams_.size() != inlets_.size())
    setup();

  const std::size_t n = inletStreams_.size();
  for (std::size_t i = 0; i < n; ++i) {
    Stream &in = *inletStreams_[i];
    Stream &out = *outletStreams_[i];
    if (!(in.T < maxT))
      maxT = in.T;
    if (!(in.T > minT))
      minT = in.T;
    deltaPMax[i] = in.P;
    Node &target = *out.Tphase;
    target = static_cast<const Node &>(*in.Tphase);
    Phase::MassMolarProperties &inTotal = properties(in, name);
    pressureDrop(pressureOption[i].value(), deltaP[i], deltaPMax[i], beta, in.P, P[i],
                 flowcoefficient[i], inTotal.vdot, name);
    hfluxin[i] = inTotal.mdot * inTotal.h;
  }
  VELTA_LOG(verbosity(), 2, name, "maxT = " << maxT << " minT = " << minT);

  // Whether the extents are unknowns does not depend on the history of the
  // object: a unit read back from storage decides it here as well.
  hasEquilibria_ = nreactionEquilibriums.value() > 0;
  if (isPristine()) {
    setup();
    if (mode == 1) {
      for (std::size_t j = 0; j < reactions.size(); ++j) {
        if (!reactionEquilibria_[j] || !sideValid_(j))
          continue;
        startEquilibriumExtent(*reactions[j], 0.001);
        VELTA_LOG(verbosity(), 2, name,
                  "reactions[i]->z = " << reactions[j]->z << " reactions[i]->conv = "
                                       << reactions[j]->conv);
      }
      if (option.value() == "Ts")
        Ts = TsSet;
      else
        Ts = maxT + Value(50.0, "K");
    }
  }
  if (!hasEquilibria_)
    computeReactionConversions_();

  setup_of();
  const Value oneK(1.0, "K");
  const double low = std::min((maxT - oneK).value(), minT.value());
  const double high = std::max(maxT.value(), (minT + oneK).value());
  scaler_[0].setup(ScalingMode::linear, low, high, 1.0, 10.0);
  solver_.resize(static_cast<int>(size()));

  if (mode < 2) {
    for (std::size_t i = 0; i < n; ++i) {
      Stream &out = *outletStreams_[i];
      VELTA_LOG(verbosity(), 2, name, "P[" << i << "] = " << P[i]);
      out.P = P[i];
      out.T = inletStreams_[i]->T;
      out.setFlash(static_cast<int>(FlashMode::PT));
      out.estimate(P[i], inletStreams_[i]->T);
      if (option.value() == "Ts")
        outletApproach[i] = out.T - Ts;
    }
    init(solver_.x());
    solver_.setVerbosity(0);
    recordSolve(solver_, solver_.solve(), "MTD convergence failure;");
    NITER_Exchanger = solver_.iterations();
  } else {
    calculateResidualsLocal();
  }

  for (std::size_t i = 0; i < n; ++i) {
    T[i] = outletStreams_[i]->T;
    outletStreams_[i]->calculateX(MassBalanceMode::N);
  }
  apparentDuty = Value(0.0, "W");
  VELTA_LOG(verbosity(), 2, name, "Ts = " << Ts);
  if (option.value() != "Ts")
    TsSet = Ts;
  for (std::size_t i = 0; i < n; ++i) {
    apparentDuty += enthalpyFlowOf(*outletStreams_[i], name) -
                    enthalpyFlowOf(*inletStreams_[i], name);
    VELTA_LOG(verbosity(), 2, name, "T[" << i << "] = " << T[i]);
    deltaT[i] = outletStreams_[i]->T - inletStreams_[i]->T;
  }
  incrementCalculations();
  VELTA_TRACE_END(name)
}
