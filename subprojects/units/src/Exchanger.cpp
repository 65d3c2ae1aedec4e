#include "velta/units/Exchanger.h"

#include "velta/core/ValueHelpers.h"
#include "velta/phases/MassMolarProperties.h"
#include "velta/streams/Stream.h"
#include "velta/units/Reaction.h"
#include "velta/units/ReactionEquilibrium.h"
#include "velta/utility/Assert.h"
#include "velta/utility/Diagnostic.h"
#include "velta/utility/Error.h"
#include "velta/utility/SharedEnumerations.h"

#include <climits>
#include <cmath>

using Velta::Utility::FlashMode;
using Velta::Utility::MassBalanceMode;
using Velta::Utility::PhaseIndex;
using Velta::Utility::ScalingMode;

const char *const Exchanger::typeName = "Exchanger";

namespace {

const char *const sourceFile = "subprojects/units/src/Exchanger";

// Ports and stored counts come from the caller or from storage: a broken
// count is an error of the input, reported with the invariant's text.
void require(bool condition, const char *function, const char *text) {
  if (!condition)
    throw ErrorRunTime(function, text);
}

} // namespace

// ---------------------------------------------------------------- helpers

Value &flashTemperature(Stream &stream) { return static_cast<FlashBase &>(stream).T; }

void prepareEquilibriumUnknown(Reaction &reaction) {
  reaction.S("option") = "conv";
  auto *rY = dynamic_cast<ReactionYield *>(&reaction);
  VELTA_ASSERT_AS(rY != nullptr, "rY != nullptr", sourceFile, __LINE__);
  rY->silentBounding = true;
}

void startEquilibriumExtent(Reaction &reaction, double zStart) {
  if (reaction.z.value() == 0.0)
    reaction.z = Value(zStart);
  const int key = reaction.keycomp.value();
  reaction.conv = -reaction.outFlow(key) * reaction.z / reaction.coeff[key];
}

void checkReactionMassBalance(Model &unit, const Value &in, const Value &out,
                              const std::string &text) {
  const double d = std::fabs((in - out).value());
  const double s = std::fabs((in + out).value()) + Value(0.1, "kg/h").value();
  if (d > s / 1000.0)
    unit.setError(text);
  else if (d > s / 100000.0)
    unit.setWarning(text);
}

// ---------------------------------------------------------------- construction

Exchanger::Exchanger(Defaults defaults, int id, Persistency *persistency, Node *parent,
                     Node *root)
    : Object(defaults, id, persistency, parent, root),
      Model(defaults, id, persistency, parent, root),
      VertexBase(defaults, id, persistency, parent, root),
      Connectivity(defaults, id, persistency), ObjectiveNleAdVertex("Exchanger"),
      coldT("coldT", "Temperature of cold outlet stream", 298.15, "K", nullptr),
      coldP("coldP", "Pressure of cold outlet stream", 101325.0, "Pa", nullptr),
      hotT("hotT", "Temperature of hot outlet stream", 298.15, "K", nullptr),
      hotP("hotP", "Pressure of hot outlet stream", 101325.0, "Pa", nullptr),
      dutyhot("dutyhot", "Hot side duty absolute value", 0.0, "W", nullptr),
      dutycold("dutycold", "Cold side duty absolute value", 0.0, "W", nullptr),
      heat_losses("heat_losses", "Heat losses to environment dutyhot minus dutycold", 0.0, "W",
                  nullptr),
      eta("eta", "Heat transfer efficiency dutycold divided by dutyhot", Value(1.0), nullptr),
      U("U", "Overall heat transfer coefficient in terms of dutyhot", 100.0, "W/(m2*K)", nullptr),
      Ft("Ft", "MTD correction factor", Value(1.0), nullptr),
      A("A", "Heat transfer area", 10.0, "m2", nullptr),
      deltaTcold("deltaTcold", "Temperature difference for cold stream", 0.0, "K", nullptr),
      deltaThot("deltaThot", "Temperature difference for hot stream", 0.0, "K", nullptr),
      deltaPhot("deltaPhot", "Pressure difference for hot stream", 0.0, "Pa", nullptr),
      deltaPcold("deltaPcold", "Pressure difference for cold stream", 0.0, "Pa", nullptr),
      MTD("MTD", "Mean temperature difference", 0.0, "K", nullptr),
      deltaTcoldApproach("deltaTcoldApproach", "Temperature approach for cold stream", 0.0, "K",
                         nullptr),
      deltaThotApproach("deltaThotApproach", "Temperature approach for hot stream", 0.0, "K",
                        nullptr),
      coldhfluxin("coldhfluxin", "Heat flux cold side inlet", 0.0, "W", nullptr),
      hothfluxin("hothfluxin", "Heat flux hot side inlet", 0.0, "W", nullptr),
      coldflowcoefficient("coldflowcoefficient", "Flow coefficient cold side", 1000.0, "kg/m7",
                          nullptr),
      hotflowcoefficient("hotflowcoefficient", "Flow coefficient hot side", 1000.0, "kg/m7",
                         nullptr),
      deltaPcoldMax("deltaPcoldMax", "maximum allowable pressure drop, cold side", 0.0, "Pa",
                    nullptr),
      deltaPhotMax("deltaPhotMax", "maximum allowable pressure drop, hot side", 0.0, "Pa",
                   nullptr),
      beta("beta", "Fraction of deltaPmax when the pressure drop limitation logic will start acting",
           Value(0.9), nullptr),
      maxduty("maxduty", "Maximum allowable duty", 100.0, "kW", nullptr),
      NITER_Exchanger("NITER_Exchanger", "Number of iterations", -1, nullptr),
      option("option", "Calculation mode", "UA", nullptr),
      hotoption("hotoption", "Pressure computation option, hot side", "D", nullptr),
      coldoption("coldoption", "Pressure computation option, cold side", "D", nullptr),
      hotflowoption("hotflowoption", "Flow Direction option hot side", "backward", nullptr),
      coldflowoption("coldflowoption", "Flow Direction option cold side", "forward", nullptr),
      MTDoption("MTDoption", "MTD calculation mode", "LMTD", nullptr),
      nReactions("nReactions", "Number of reactions", 0, nullptr),
      nreactionEquilibriums("nreactionEquilibriums", "Number of equilibrium reactions", 0,
                            nullptr),
      solver_(5, this) {
  static const char *const name = "Exchanger::Exchanger";
  VELTA_TRACE_BEGIN
  setType(typeName);
  VELTA_LOG(verbosity(), 1, name, "Entered with " << id);
  maxNIn = 2;
  maxNOut = 2;
  inletRequired(0);
  inletRequired(1);
  nReactions = retrieveInteger(defaults, id, persistency, "nReactions", -1, INT_MAX, 0);
  for (Quantity *q :
       {&coldT, &coldP, &hotT, &hotP, &dutyhot, &dutycold, &heat_losses, &eta, &U, &Ft, &A,
        &deltaTcold, &deltaThot, &deltaPhot, &deltaPcold, &MTD, &deltaTcoldApproach,
        &deltaThotApproach, &coldhfluxin, &hothfluxin, &coldflowcoefficient, &hotflowcoefficient,
        &deltaPcoldMax, &deltaPhotMax, &beta, &maxduty})
    addVariable(*q);
  addVariable(NITER_Exchanger);
  for (String *s : {&option, &hotoption, &coldoption, &hotflowoption, &coldflowoption, &MTDoption})
    addVariable(*s);
  addVariable(nReactions);
  addVariable(nreactionEquilibriums);
  const unsigned n = static_cast<unsigned>(nReactions.value());
  addVector(reactionSides, "reactionSides", "heat exchange side the reactions are taking place", n,
            -1);
  addVector(embeddedTypeReactions, "embeddedTypeReactions", "type of the embedded reaction", n,
            " ");
  if (persistency)
    retrieveIntegersAndStrings(persistency);
  for (unsigned i = 0; i < n; ++i) {
    const std::string element = "[" + std::to_string(i) + "]";
    reactionSides[i] =
        retrieveInteger(defaults, id, persistency, "reactionSides" + element, -1, INT_MAX, 0);
    if (!persistency)
      embeddedTypeReactions[i] =
          retrieveString(defaults, id, persistency, "embeddedTypeReactions" + element, " ");
  }
  addSubObjects(-1, defaults, persistency, nReactions.value(), "embeddedTypeReactions",
                "Reaction", "reactions", "embedded Reaction", reactions);
  reactionEquilibria.clear();
  int equilibria = 0;
  for (Reaction *reaction : reactions) {
    reactionEquilibria.push_back(dynamic_cast<ReactionEquilibrium *>(reaction));
    if (reactionEquilibria.back())
      ++equilibria;
  }
  nreactionEquilibriums = equilibria;
  solver_.setStepMax(0.1);
  solver_.setTolerances(1e-8, 1e-10, 1e-11, 0.0);
  solver_.setMaxIterations(500);
  for (Quantity *q : {&coldT, &coldP, &hotT, &hotP, &dutyhot, &heat_losses, &A, &deltaTcold,
                      &deltaThot, &deltaPhot, &deltaPcold, &deltaTcoldApproach, &deltaThotApproach,
                      &coldflowcoefficient, &hotflowcoefficient})
    q->setOutput();
  registerSynonym("hotin", "in1");
  registerSynonym("hotout", "out1");
  registerSynonym("coldin", "in2");
  registerSynonym("coldout", "out2");
  negativeColdApproach_ = false;
  negativeHotApproach_ = false;
  appendToName(fullTag());
  VELTA_TRACE_END(name)
}

Exchanger::~Exchanger() {
  VELTA_LOG(verbosity(), 1, "Exchanger::~Exchanger",
            "Entered with " << id() << " and nReactions = " << nReactions.value());
  VELTA_LOG(verbosity(), 2, "Exchanger::~Exchanger", "Done");
}

int Exchanger::locationFromPort(std::string port) {
  if (port == "in1")
    return 0;
  if (port == "out1")
    return 1;
  if (port == "in2")
    return 3;
  return 2;
}

// ---------------------------------------------------------------- approaches

void Exchanger::calculateApproaches(bool warn, const Value &Tco, const Value &Tho) {
  static const char *const name = "Exchanger::calculateApproaches";
  VELTA_TRACE_BEGIN
  const Value &Thi = hoti_->T;
  const Value &Tci = coldi_->T;
  const std::string &hot = hotflowoption.value();
  const std::string &cold = coldflowoption.value();
  const bool hotPlug = hot == "backward" || hot == "forward";
  const bool coldPlug = cold == "backward" || cold == "forward";
  if (hotPlug && coldPlug && hot != cold) { // counter-current
    deltaTcoldApproach = Thi - Tco;
    deltaThotApproach = Tho - Tci;
  } else if (hotPlug && coldPlug) { // co-current
    deltaTcoldApproach = Tho - Tco;
    deltaThotApproach = Thi - Tci;
  } else if (hotPlug && cold == "mixed") {
    deltaTcoldApproach = Tho - Tco;
    deltaThotApproach = Thi - Tco;
  } else if (hot == "mixed" && coldPlug) {
    // The mirror of the cold-mixed case: the hot side sits at its outlet
    // temperature, the cold side runs from its inlet to its outlet.
    deltaTcoldApproach = Tho - Tco;
    deltaThotApproach = Tho - Tci;
  } else if (hot == "mixed" && cold == "mixed") {
    deltaTcoldApproach = Tho - Tco;
    deltaThotApproach = Tho - Tco;
  } else {
    throw ErrorBrowsing(name, tag().c_str(), hotflowoption.description().c_str(), hot.c_str());
  }
  if (!warn)
    return;
  const Value zero(0.0, "K");
  negativeColdApproach_ = deltaTcoldApproach <= zero;
  if (negativeColdApproach_) {
    setWarning("negative deltaTcoldApproach");
    deltaTcoldApproach = fabs(deltaTcoldApproach);
  }
  negativeHotApproach_ = deltaThotApproach <= zero;
  if (negativeHotApproach_) {
    setWarning("negative deltaThotApproach");
    deltaThotApproach = fabs(deltaThotApproach);
  }
  VELTA_TRACE_END(name)
}

// ---------------------------------------------------------------- streams

void Exchanger::bind_(const char *caller) {
  require(inlets_.size() == 2, caller, "inlets_.size() == 2");
  require(outlets_.size() == 2, caller, "outlets_.size() == 2");
  hoti_ = inletStream(0, caller);
  coldi_ = inletStream(1, caller);
  hoto_ = outletStream(0, caller);
  coldo_ = outletStream(1, caller);
  hotiTotal_ = my_cast<Phase::MassMolarProperties *>(hoti_->Tphase, caller);
  coldiTotal_ = my_cast<Phase::MassMolarProperties *>(coldi_->Tphase, caller);
  hotoTotal_ = my_cast<Phase::MassMolarProperties *>(hoto_->Tphase, caller);
  coldoTotal_ = my_cast<Phase::MassMolarProperties *>(coldo_->Tphase, caller);
}

Stream *Exchanger::sideOutlet_(std::size_t i) const {
  return reactionSides[i].value() == 0 ? hoto_ : coldo_;
}

// ---------------------------------------------------------------- reactions

void Exchanger::computeReactionConversions_() {
  static const char *const name = "Exchanger::computeReactionConversions_";
  VELTA_TRACE_BEGIN
  hoto_->assign(*hoti_);
  coldo_->assign(*coldi_);
  for (std::size_t i = 0; i < reactions.size(); ++i) {
    VELTA_LOG(verbosity(), 2, name, "Now computing Reaction " << i);
    reactions[i]->calculate(0);
  }
  hoto_->Tphase->calculateX(MassBalanceMode::N);
  coldo_->Tphase->calculateX(MassBalanceMode::N);
  checkReactionMassBalance(*this, hoti_->Tphase->mdot, hoto_->Tphase->mdot,
                           "unbalanced reactions, side 1");
  checkReactionMassBalance(*this, coldi_->Tphase->mdot, coldo_->Tphase->mdot,
                           "unbalanced reactions, side 2");
  VELTA_TRACE_END(name)
}

void Exchanger::computeReactionEquilibria_() {
  static const char *const name = "Exchanger::computeReactionEquilibria_";
  VELTA_TRACE_BEGIN
  for (std::size_t i = 0; i < reactions.size(); ++i) {
    ReactionEquilibrium *equilibrium = reactionEquilibria[i];
    if (!equilibrium)
      continue;
    Stream &out = *sideOutlet_(i);
    equilibrium->Teq = flashTemperature(out);
    equilibrium->Tact = flashTemperature(out);
    equilibrium->P = out.P;
    equilibrium->calculateEquilibrium(out.X(static_cast<int>(PhaseIndex::vapor)));
  }
  VELTA_TRACE_END(name)
}

// ---------------------------------------------------------------- equation system

void Exchanger::setup_of() {
  static const char *const name = "Exchanger::setup_of";
  VELTA_TRACE_BEGIN
  VELTA_LOG(verbosity(), 1, name, "Entered for " << fullTag());
  if (isSetUp())
    return;
  bind_(name);
  addUnknown(&dutyhot, Scaler(ScalingMode::linear, 0.0, maxduty.value(), 1.0, 10.0), "duty");
  VELTA_LOG(verbosity(), 2, name, "pointer and Scaler for duty are set");
  addObjectiveFunction(*hoto_->objectiveFunction());
  addObjectiveFunction(*coldo_->objectiveFunction());
  VELTA_LOG(verbosity(), 2, name, "pointers and scalers are set");
  for (std::size_t i = 0; i < reactions.size(); ++i) {
    if (!reactionEquilibria[i])
      continue;
    prepareEquilibriumUnknown(*reactions[i]);
    addUnknown(&reactions[i]->conv, Scaler(ScalingMode::noscaling, -1.0, 1.0, 1.0, 10.0),
               "reaction[" + std::to_string(i) + "].conv");
    VELTA_LOG(verbosity(), 2, name, "Reaction " << i << " is set");
  }
  setSetUp(true);
  VELTA_TRACE_END(name)
}

void Exchanger::calculateResidualsLocal() {
  static const char *const name = "Exchanger::calculateResidualsLocal";
  VELTA_TRACE_BEGIN
  VELTA_LOG(verbosity(), 1, name, "Entered for " << fullTag());
  VELTA_LOG(verbosity(), 2, name,
            " hoto_->T = " << flashTemperature(*hoto_) << "coldo_->T = "
                           << flashTemperature(*coldo_));
  if (nreactionEquilibriums.value() > 0)
    computeReactionConversions_();
  hothfluxin = hotiTotal_->mdot * hotiTotal_->h;
  coldhfluxin = coldiTotal_->mdot * coldiTotal_->h;

  const Value Hhot = (hothfluxin - dutyhot) / hotoTotal_->ndot;
  VELTA_LOG(verbosity(), 2, name, "H = " << Hhot << " dutyhot = " << dutyhot);
  hoto_->P = hotP;
  hotoTotal_->H = Hhot;
  hoto_->setFlash(static_cast<int>(FlashMode::PH));
  unsigned m = 1;
  m += hoto_->objectiveFunction()->calculateResiduals(residuals, m);

  dutycold = dutyhot * eta;
  const Value Hcold = (coldhfluxin + dutycold) / coldoTotal_->ndot;
  VELTA_LOG(verbosity(), 2, name, "H = " << Hcold << " dutycold = " << dutycold);
  coldo_->P = coldP;
  coldoTotal_->H = Hcold;
  coldo_->setFlash(static_cast<int>(FlashMode::PH));
  m += coldo_->objectiveFunction()->calculateResiduals(residuals, m);

  const Value &Tho = flashTemperature(*hoto_);
  const Value &Tco = flashTemperature(*coldo_);
  calculateApproaches(false, Tco, Tho);
  VELTA_LOG(verbosity(), 2, name,
            "deltaTcoldApproach = " << deltaTcoldApproach << " hoti_->T = " << hoti_->T
                                    << " coldo_->T = " << Tco);
  VELTA_LOG(verbosity(), 2, name,
            "deltaThotApproach = " << deltaThotApproach << " hoto_->T = " << Tho
                                   << "coldi_->T = " << coldi_->T);
  calculateAverage(MTDoption.value(), deltaTcoldApproach, deltaThotApproach, MTD);
  VELTA_LOG(verbosity(), 2, name,
            "deltaTcoldApproach - deltaThotApproach = "
                << deltaTcoldApproach - deltaThotApproach << " MTD = " << MTD);
  VELTA_LOG(verbosity(), 2, name, "dutyhot = " << dutyhot << " MTD = " << MTD);

  // In K for the temperature modes, in m2 for "UA"; stored as the plain SI
  // number so that a change of mode keeps the residual's units.
  if (option.value() == "Thot")
    residuals[0] = (hotT - Tho) / Value(1.0, "K");
  else if (option.value() == "Tcold")
    residuals[0] = (coldT - Tco) / Value(1.0, "K");
  else
    residuals[0] = (dutyhot / (U * Ft * MTD) - A) / Value(1.0, "m2");
  VELTA_LOG(verbosity(), 2, name, "y[0]= " << residuals[0]);

  if (nreactionEquilibriums.value() >= 1) {
    computeReactionEquilibria_();
    for (ReactionEquilibrium *equilibrium : reactionEquilibria)
      if (equilibrium)
        equilibrium->calculateResidual(residuals[m++]);
  }
  VELTA_TRACE_END(name)
}

// ---------------------------------------------------------------- calculation

void Exchanger::bypass_(int mode, const std::string &warning) {
  setWarning(warning);
  if (mode >= 2) {
    setup_of();
    zero_residuals(residuals, 0);
  }
}

void Exchanger::go(int mode, int) {
  static const char *const name = "Exchanger::go";
  VELTA_TRACE_BEGIN
  // Written as if the unit's verbosity were 10 higher.
  const int v = verbosity() + 10;
  resetErrors();
  VELTA_LOG(v, 1, name, "Entered for " << fullTag());
  VELTA_ASSERT_AS(nreactionEquilibriums.value() >= 0, "nreactionEquilibriums.value() >= 0",
                  sourceFile, __LINE__);
  VELTA_ASSERT_AS(nReactions.value() >= 0, "nReactions.value() >= 0", sourceFile, __LINE__);
  bind_(name);

  for (std::size_t i = 0; i < reactions.size(); ++i) {
    if (reactionSides[i].value() == -1)
      setError("reactionSide not set");
    reactions[i]->setOutlet(sideOutlet_(i)->Tphase);
  }
  VELTA_LOG(v, 2, name, "Now copying streams");
  hoto_->assign(*hoti_);
  coldo_->assign(*coldi_);
  VELTA_LOG(v, 2, name, "Finished copying streams");

  if (hoti_->T.value() == coldi_->T.value()) {
    bypass_(mode, "Exchanger: hot cold isothermal, bypassing block");
    incrementCalculations();
    return;
  }
  // A side without flow can neither give nor take heat: the duty range
  // would be empty.
  if (hotiTotal_->mdot.value() == 0.0 || coldiTotal_->mdot.value() == 0.0) {
    bypass_(mode, "Exchanger: no flow on one side, bypassing block");
    incrementCalculations();
    return;
  }
  if (hoti_->T < coldi_->T)
    setWarning("Exchanger: potential hot/cold swap");

  const Value Thi = hoti_->T;
  const Value Tci = coldi_->T;
  const bool pristine = isPristine();
  hasEquilibria_ = nreactionEquilibriums.value() > 0;
  if (pristine) {
    setup();
    if (mode == 1)
      for (std::size_t i = 0; i < reactions.size(); ++i) {
        if (!reactionEquilibria[i])
          continue;
        startEquilibriumExtent(*reactions[i], 0.01);
        VELTA_LOG(v, 2, name,
                  "reactions[i]->z = " << reactions[i]->z << " reactions[i]->conv = "
                                       << reactions[i]->conv);
        if (reactionSides[i].value() == -1)
          setError("reactionSides not set");
        reactionEquilibria[i]->Teq = sideOutlet_(i)->T;
        reactionEquilibria[i]->P = sideOutlet_(i)->P;
      }
  } else {
    if (negativeColdApproach_) {
      VELTA_LOG(v, 2, name, "Resetting cold side outlet T");
      coldo_->T = Tci;
    }
    if (negativeHotApproach_) {
      VELTA_LOG(v, 2, name, "Resetting hot side outlet T");
      hoto_->T = Thi;
    }
  }
  if (!hasEquilibria_)
    computeReactionConversions_();

  deltaPhotMax = hoti_->P;
  deltaPcoldMax = coldi_->P;
  pressureDrop(coldoption.value(), deltaPcold, deltaPcoldMax, beta, coldi_->P, coldP,
               coldflowcoefficient, coldiTotal_->vdot, name);
  pressureDrop(hotoption.value(), deltaPhot, deltaPhotMax, beta, hoti_->P, hotP,
               hotflowcoefficient, hotiTotal_->vdot, name);
  VELTA_LOG(v, 2, name, "Initial condition");
  VELTA_LOG(v, 2, name, "U = " << U);
  VELTA_LOG(v, 2, name, "coldi->T = " << coldi_->T);
  VELTA_LOG(v, 2, name, "coldo->T = " << coldo_->T);
  VELTA_LOG(v, 2, name, "coldT = " << coldT);
  VELTA_LOG(v, 2, name, "hoti->T = " << hoti_->T);
  VELTA_LOG(v, 2, name, "hoto->T = " << hoto_->T);
  VELTA_LOG(v, 2, name, "hotT = " << hotT);

  if (mode < 2) {
    // The largest duty each side can exchange: cooled (heated) to the
    // other side's inlet temperature.
    coldhfluxin = coldiTotal_->mdot * coldiTotal_->h;
    coldo_->P = coldP;
    coldo_->T = Thi;
    coldo_->setFlash(static_cast<int>(FlashMode::PT));
    coldo_->calculate(0);
    const Value maxdutycold = coldoTotal_->mdot * coldoTotal_->h - coldhfluxin;
    VELTA_LOG(v, 2, name, "coldhfluxin = " << coldhfluxin);
    VELTA_LOG(v, 2, name,
              "coldhfluxout(P = " << coldP << ", T = " << Thi
                                  << ") = " << coldoTotal_->mdot * coldoTotal_->h);
    VELTA_LOG(v, 2, name, "maxdutycold = " << maxdutycold << " at P = " << coldP);
    if (maxdutycold < Value(0.0, "W"))
      setWarning("unphysical cold side duty estimate");

    hothfluxin = hotiTotal_->mdot * hotiTotal_->h;
    hoto_->P = hotP;
    hoto_->T = Tci;
    hoto_->setFlash(static_cast<int>(FlashMode::PT));
    hoto_->calculate(0);
    const Value maxdutyhot = hothfluxin - hotoTotal_->mdot * hotoTotal_->h;
    VELTA_LOG(v, 2, name, "hothfluxin = " << hothfluxin);
    VELTA_LOG(v, 2, name,
              "hothfluxout(P = " << hotP << ", T = " << Tci
                                 << ") = " << hotoTotal_->mdot * hotoTotal_->h);
    VELTA_LOG(v, 2, name, "maxdutyhot = " << maxdutyhot << " at P = " << hotP);
    if (maxdutyhot < Value(0.0, "W"))
      setWarning("unphysical hot side duty estimate");
    maxduty = maxdutycold > maxdutyhot ? maxdutyhot : maxdutycold;
    VELTA_LOG(v, 2, name, "maxduty = " << maxduty);

    const Value margin(0.1, "K");
    const Value hotEstimate = (9.0 * Thi + Tci) / 10.0;
    const Value coldEstimate = (9.0 * Tci + Thi) / 10.0;
    const auto outside = [&](const Value &T) { return T > Thi || T < Tci; };
    if (option.value() == "UA") {
      if (pristine) {
        hoto_->T = hotEstimate;
        coldo_->T = coldEstimate;
      } else {
        hoto_->T = hotT;
        coldo_->T = coldT;
        if (outside(hoto_->T))
          hoto_->T = hotEstimate;
        if (outside(coldo_->T))
          coldo_->T = coldEstimate;
      }
    } else if (option.value() == "Thot") {
      if (hotT < Tci + margin) {
        setError("Specified hot side outlet temperature is lower than minimum allowable "
                 "temperature to avoid temperature crossing; hot side temperature will be set "
                 "to the minimum allowable value");
        hotT = Tci + margin;
      }
      hoto_->T = hotT;
      if (pristine || outside(coldo_->T))
        coldo_->T = coldEstimate;
    } else if (option.value() == "Tcold") {
      if (coldT > Thi - margin) {
        setError("Specified cold side outlet temperature is higher than maximum allowable "
                 "temperature to avoid temperature crossing; cold side temperature will be set "
                 "to the maximum allowable value");
        coldT = Thi - margin;
      }
      coldo_->T = coldT;
      if (pristine || outside(hoto_->T))
        hoto_->T = hotEstimate;
    } else {
      throw ErrorBrowsing(name, tag().c_str(), option.description().c_str(),
                          option.value().c_str());
    }
    dutyhot = 0.9 * maxduty;

    hoto_->P = hotP;
    hoto_->setFlash(static_cast<int>(FlashMode::PT));
    coldo_->P = coldP;
    coldo_->setFlash(static_cast<int>(FlashMode::PT));
    hoto_->estimate(hoto_->P, hoto_->T);
    coldo_->estimate(coldo_->P, coldo_->T);

    setup_of();
    scaler_[0].setup(ScalingMode::linear, 0.0, maxduty.value(), 1.0, 10.0);
    coldo_->P = coldP;
    hoto_->P = hotP;

    solver_.resize(static_cast<int>(size()));
    init(solver_.x());
    recordSolve(solver_, solver_.solve(), "MTD convergence failure;");
    NITER_Exchanger = solver_.iterations();
  } else {
    setup_of();
    calculateResidualsLocal();
  }

  hoto_->calculateX(MassBalanceMode::N);
  coldo_->calculateX(MassBalanceMode::N);
  VELTA_LOG(v, 2, name, "Condition after convergence");
  VELTA_LOG(v, 2, name, "coldi->T = " << coldi_->T << " coldo->T = " << coldo_->T);
  VELTA_LOG(v, 2, name, "hoti->T = " << hoti_->T << " hoto->T = " << hoto_->T);
  calculateApproaches(true, coldo_->T, hoto_->T);

  VELTA_LOG(v, 2, name,
            "duty = " << dutyhot << " = " << 100.0 * (dutyhot / maxduty).value()
                      << " % of maxduty");
  dutycold = dutyhot * eta;
  if (option.value() != "UA")
    A = dutyhot / (U * Ft * MTD);
  if (option.value() != "Tcold")
    coldT = coldo_->T;
  if (option.value() != "Thot")
    hotT = hoto_->T;
  VELTA_LOG(v, 2, name, "coldT = " << coldT << " hotT = " << hotT);
  deltaTcold = coldo_->T - Tci;
  deltaThot = hoto_->T - Thi;
  heat_losses = dutyhot - dutycold;
  VELTA_LOG(v, 2, name, "Final condition");
  VELTA_LOG(v, 2, name, "coldi->T = " << coldi_->T << " coldo->T = " << coldo_->T);
  VELTA_LOG(v, 2, name, "hoti->T = " << hoti_->T << " hoto->T = " << hoto_->T);
  incrementCalculations();
  VELTA_TRACE_END(name)
}
