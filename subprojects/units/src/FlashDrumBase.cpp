#include "velta/units/FlashDrumBase.h"

#include "velta/phases/Mass.h"
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
using Velta::Utility::PhaseIndex;
using Velta::Utility::ScalingMode;

namespace {
// A phase fraction this far outside [0, 1] is an error of the drum.
constexpr double fractionTolerance = 2.220446049250313e-8;
// Absolute tolerance (W and W/K) of the given duty and entropy power
// against the balance of the converged outlet.
constexpr double balanceTolerance = 1000.0;
} // namespace

FlashDrumBase::FlashDrumBase(Defaults defaults, int id, Persistency *persistency)
    : ObjectiveNleAdVertex("FlashDrumBase"), T("T", "Temperature", 298.15, "K", nullptr),
      P("P", "Pressure", 101325.0, "Pa", nullptr),
      deltaP("deltaP", "Pressure drop", 0.0, "Pa", nullptr),
      alfa("alfa", "Molar vapor fraction", Value(0.5), nullptr),
      duty("duty", "Duty inlet - outlet", 0.0, "W", nullptr),
      deltas("deltas", "Entropy power", 0.0, "W/K", nullptr),
      flowcoefficient("flowcoefficient", "Flow coefficient", 1000.0, "kg/m7", nullptr),
      deltaPMax("deltaPMax", "Maximum allowable pressure drop", 0.0, "Pa", nullptr),
      beta("beta", "Fraction of deltaPmax when the pressure drop limitation logic will start acting",
           Value(0.9), nullptr),
      option("option", "Flash configuration", "PT", nullptr),
      reactionMode("reactionMode", "Reaction processing mode", "series", nullptr),
      nReactions("nReactions", "Number of reactions", 0, nullptr),
      nreactionEquilibriums("nreactionEquilibriums", "Number of equilibrium reactions", 0, nullptr),
      NITER("NITER", "Number of iterations", -1, nullptr),
      pin(defaults, 0, nullptr, this, this), solver_(0, this) {
  static const char *const name = "FlashDrumBase::FlashDrumBase";
  VELTA_TRACE_BEGIN
  VELTA_LOG(verbosity(), 1, name, "Entered with " << id << " and options = " << defaults);
  for (Quantity *q : {&T, &P, &deltaP, &alfa, &duty, &deltas, &flowcoefficient, &deltaPMax, &beta})
    addVariable(*q);
  addVariable(option);
  addVariable(reactionMode);
  for (Integer *i : {&nReactions, &nreactionEquilibriums, &NITER})
    addVariable(*i);
  for (Quantity *q : {&T, &P, &deltaP, &alfa, &duty, &deltas, &flowcoefficient})
    q->setOutput();

  nReactions = retrieveInteger(defaults, id, persistency, "nReactions", -1, INT_MAX, 0);
  addVector(embeddedTypeReactions, "embeddedTypeReactions", "type of the embedded reaction",
            static_cast<unsigned>(nReactions.value()), " ");
  if (persistency)
    retrieveIntegersAndStrings(persistency);
  addSubObjects<Reaction>(0, defaults, persistency, nReactions.value(), "embeddedTypeReactions",
                          "Reaction", "reactions", "embedded Reaction", reactions);
  equilibria_.assign(reactions.size(), nullptr);
  nreactionEquilibriums = 0;
  for (std::size_t i = 0; i < reactions.size(); ++i)
    if ((equilibria_[i] = dynamic_cast<ReactionEquilibrium *>(reactions[i])))
      nreactionEquilibriums = nreactionEquilibriums.value() + 1;

  solver_.setStepMax(0.1);
  solver_.setTolerances(1e-8, 1e-10, 1e-11, 0.0);
  solver_.setMaxIterations(200);
  appendToName(fullTag());
  VELTA_TRACE_END(name)
}

FlashDrumBase::~FlashDrumBase() = default;

void FlashDrumBase::bindOutlet_(Stream *stream) {
  myout_ = stream;
  myout_Tphase_MNP = dynamic_cast<Phase::MassMolarProperties *>(stream->Tphase);
}

bool FlashDrumBase::mixInlets_(const std::vector<Node *> &inlets, Quantity &Tavg, int mode,
                               const char *caller) {
  gather(verbosity(), myout_, inlets, deltaPMax, Tavg);
  VELTA_LOG(verbosity(), 2, caller, "Tavg = " << Tavg << " myout.T = " << myout_->T);
  if (isPristine() && mode == 1) {
    myout_->T = T.value() == 298.15 ? Value(Tavg) : Value(T);
    VELTA_LOG(verbosity(), 2, caller, "Tavg = " << Tavg << " myout.T = " << myout_->T);
  }
  myout_->flowoption = Velta::Utility::massBalanceModeName(outletFlowMode(*myout_));
  if (myout_->Tphase->totalFlow().value() <= 0.0)
    return false;
  static_cast<Object &>(pin) = static_cast<const Node &>(*myout_->Tphase);
  return true;
}

Velta::Utility::MassBalanceMode FlashDrumBase::outletFlowMode(const Stream &outlet) {
  const Velta::Utility::MassBalanceMode mode = outlet.representation();
  return mode == Velta::Utility::MassBalanceMode::Nx ? mode : Phase::flowonly(mode);
}

void FlashDrumBase::zeroResiduals_() { zero_residuals(residuals, 0); }

std::string FlashDrumBase::thermalLetter() const { return option.value().substr(1, 1); }

// ---------------------------------------------------------------- set-up

void FlashDrumBase::setup() {
  static const char *const name = "FlashDrumBase::setup";
  VELTA_LOG(verbosity(), 1, name, "Entered with " << id() << " and nReactions = " << nReactions);
  for (int i = 0; i < nReactions.value(); ++i)
    reactions[static_cast<std::size_t>(i)]->setOutlet(myout_->Tphase);
  VELTA_LOG(verbosity(), 2, name, "Done");
}

void FlashDrumBase::setup_of() {
  static const char *const name = "FlashDrumBase::setup_of";
  VELTA_TRACE_BEGIN
  VELTA_LOG(verbosity(), 1, name, "Entered with " << id());
  if (isSetUp())
    return;
  ObjectiveNleAd &flash = *myout_->objectiveFunction();
  nFlash_ = static_cast<int>(flash.size());
  solver_.resize(nFlash_ + nreactionEquilibriums.value());
  setup();
  addObjectiveFunction(flash);
  for (int i = 0; i < nReactions.value(); ++i) {
    ReactionEquilibrium *equilibrium = equilibria_[static_cast<std::size_t>(i)];
    if (!equilibrium)
      continue;
    // The solver drives the rate, not the fractional conversion, and an
    // iterate that overshoots is cut without a warning.
    auto *rY = dynamic_cast<ReactionYield *>(equilibrium);
    VELTA_ASSERT_AS(rY != nullptr, "rY != nullptr", __FILE__, __LINE__);
    rY->option = "conv";
    rY->silentBounding = true;
    addUnknown(&rY->conv, Scaler(ScalingMode::noscaling, -1.0, 1.0, 1.0, 10.0),
               "reaction[" + std::to_string(i) + "].conv");
    VELTA_LOG(verbosity(), 2, name, "Reaction " << i << " is set");
  }
  setSetUp(true);
  VELTA_TRACE_END(name)
}

// ---------------------------------------------------------------- residuals

void FlashDrumBase::setEnthalpySetPoint_(const char *caller) {
  if (!myout_Tphase_MNP)
    throw ErrorRunTime(caller, ("option " + option.value() + " of " + fullTag() +
                                " needs an outlet whose total phase has properties")
                                   .c_str());
  myout_Tphase_MNP->H = (pin.mdot * pin.h - duty) / myout_Tphase_MNP->ndot;
  myout_->setFlash(static_cast<int>(FlashMode::PH));
}

void FlashDrumBase::setEntropySetPoint_(const char *caller) {
  if (!myout_Tphase_MNP)
    throw ErrorRunTime(caller, ("option " + option.value() + " of " + fullTag() +
                                " needs an outlet whose total phase has properties")
                                   .c_str());
  myout_Tphase_MNP->S = (pin.mdot * pin.s - deltas) / myout_Tphase_MNP->ndot;
  myout_->setFlash(static_cast<int>(FlashMode::PS));
}

void FlashDrumBase::calculateResidualsLocal() {
  static const char *const name = "FlashDrumBase::calculateResidualsLocal";
  VELTA_TRACE_BEGIN
  VELTA_LOG(verbosity(), 1, name, "Entered with " << id());
  if (nreactionEquilibriums.value() > 0)
    computeReactionConversions_();
  // The reactions change the outlet's molar flow: the set points of the
  // energy and entropy balances follow it at every evaluation.
  const std::string letter = thermalLetter();
  if (letter == "H") {
    setEnthalpySetPoint_(name);
    VELTA_LOG(verbosity(), 2, name,
              "Calling outlet stream PH Flash with H = " << myout_Tphase_MNP->H
                                                         << " myout_->Tphase->ndot = "
                                                         << myout_Tphase_MNP->ndot);
    VELTA_LOG(verbosity(), 2, name,
              "pin.mdot x pin.h = " << Value(pin.mdot * pin.h) << " myout_->Tphase->mdot = "
                                    << myout_->Tphase->mdot);
  } else if (letter == "S") {
    setEntropySetPoint_(name);
    VELTA_LOG(verbosity(), 2, name, "Calling outlet stream PS Flash with S = " << myout_Tphase_MNP->S);
  }
  const unsigned n = myout_->objectiveFunction()->calculateResiduals(residuals, 0);
  if (nreactionEquilibriums.value() < 1)
    return;
  computeReactionEquilibria_();
  unsigned k = 0;
  for (ReactionEquilibrium *equilibrium : equilibria_)
    if (equilibrium)
      equilibrium->calculateResidual(residuals[n + k++]);
  VELTA_TRACE_END(name)
}

// ---------------------------------------------------------------- calculation

void FlashDrumBase::setFlash_() {
  static const char *const name = "FlashDrumBase::setFlash_";
  VELTA_TRACE_BEGIN
  VELTA_LOG(verbosity(), 1, name, "Entered");
  myout_->P = P;
  const std::string letter = thermalLetter();
  if (letter == "T") {
    myout_->T = T;
    myout_->setFlash(static_cast<int>(FlashMode::PT));
  } else if (letter == "A") {
    myout_->Q("Vphase.fraction") = alfa;
    myout_->setFlash(static_cast<int>(FlashMode::PA));
  } else if (letter == "H") {
    setEnthalpySetPoint_(name);
    VELTA_LOG(verbosity(), 2, name,
              "Calling outlet stream PH Flash with H = " << myout_Tphase_MNP->H
                                                         << " myout_:Tphase.ndot = "
                                                         << myout_Tphase_MNP->ndot);
  } else if (letter == "S") {
    setEntropySetPoint_(name);
    VELTA_LOG(verbosity(), 2, name, "Calling outlet stream PS Flash with S = " << myout_Tphase_MNP->S);
  } else {
    throw ErrorBrowsing(name, tag().c_str(), type().c_str(), option.description().c_str(),
                        option.value().c_str());
  }
  VELTA_TRACE_END(name)
}

void FlashDrumBase::estimate_() {
  static const char *const name = "FlashDrumBase::estimate_";
  VELTA_TRACE_BEGIN
  VELTA_LOG(verbosity(), 1, name, "Entered");
  myout_->estimate(myout_->P, myout_->T);
  if (nreactionEquilibriums.value() == 0)
    return;
  static_cast<Object &>(*myout_->Tphase) = static_cast<const Node &>(pin);
  const bool series = reactionMode.value() == "series";
  for (std::size_t i = 0; i < reactions.size(); ++i) {
    if (ReactionEquilibrium *equilibrium = equilibria_[i]) {
      const std::size_t key = static_cast<std::size_t>(equilibrium->keycomp.value());
      if (equilibrium->z.value() != 0.0) {
        equilibrium->conv = -equilibrium->outFlow(static_cast<int>(key)) * equilibrium->z /
                            equilibrium->coeff[key];
      } else {
        equilibrium->Teq = myout_->T;
        equilibrium->P = myout_->P;
        VELTA_LOG(verbosity(), 2, name, "P = " << myout_->P << " T = " << myout_->T);
        equilibrium->calculateKSollwert();
        equilibrium->estimate(equilibrium->K);
      }
    }
    if (series) {
      VELTA_LOG(verbosity(), 2, name, "Now computing Reaction " << i);
      reactions[i]->calculate(0);
    }
  }
  if (reactionMode.value() == "parallel")
    computeReactionConversions_();
  VELTA_TRACE_END(name)
}

void FlashDrumBase::solve_() {
  init(solver_.x());
  recordSolve(solver_, solver_.solve(), "Flash convergence failure in FlashDrumBase::go;");
  NITER = solver_.iterations();
}

void FlashDrumBase::go(int mode, int level) {
  static const char *const name = "FlashDrumBase::go";
  VELTA_TRACE_BEGIN
  VELTA_LOG(verbosity(), 1, name,
            "Entered for " << fullTag() << " with option = " << option.value() << ", "
                           << nReactions.value() << " reactions and myout_: " << myout_->tag());
  (void)level;
  resetErrors();
  VELTA_ASSERT_AS(nreactionEquilibriums.value() >= 0, "nreactionEquilibriums.value() >= 0",
                  __FILE__, __LINE__);
  VELTA_ASSERT_AS(nReactions.value() >= 0, "nReactions.value() >= 0", __FILE__, __LINE__);
  setup_of();

  pressureDrop(option.value().substr(0, 1), deltaP, deltaPMax, beta, deltaPMax, P,
               flowcoefficient, pin.vdot, name);
  setFlash_();
  if (nreactionEquilibriums.value() == 0)
    computeReactionConversions_();
  // The unit calls the core only for an outlet with flow.
  myout_->zero_residuals_ = false;
  if (isPristine() && mode == 1) {
    estimate_();
    solve_();
  } else if (mode < 2) {
    solve_();
  } else {
    calculateResidualsLocal();
  }

  VELTA_LOG(verbosity(), 2, name, "Calculating myout_ of type " << myout_->type());
  myout_->calculateX(myout_->representation());
  VELTA_LOG(verbosity(), 2, name, "Calculating duty and deltas if required and set local canonical state");
  deriveResults_();
  incrementCalculations();
  VELTA_TRACE_END(name)
}

void FlashDrumBase::deriveResults_() {
  static const char *const name = "FlashDrumBase::go";
  const std::string letter = thermalLetter();
  if (letter != "A") {
    Phase::Mass *vapor = myout_->findPhase(static_cast<int>(PhaseIndex::vapor));
    alfa = vapor ? Value(vapor->fraction) : Value(0.0);
  }
  if (letter != "T")
    T = myout_->T;
  const Phase::Mass &total = *myout_->Tphase;
  if (myout_Tphase_MNP) {
    const Value dutyBalance = pin.mdot * pin.h - total.mdot * myout_Tphase_MNP->h;
    const Value entropyBalance = pin.mdot * pin.s - total.mdot * myout_Tphase_MNP->s;
    if (letter != "H")
      duty = dutyBalance;
    else if (std::fabs(duty.value() - dutyBalance.value()) > balanceTolerance)
      setWarning("Dubious duty convergence");
    if (letter != "S") {
      VELTA_LOG(verbosity(), 2, name,
                "pin.mdot = " << pin.mdot << " pin.s = " << pin.s << " myout_->Tphase->mdot = "
                              << total.mdot << " myout_Tphase_MNP->s = " << myout_Tphase_MNP->s
                              << " myout_Tphase_MNP->h = " << myout_Tphase_MNP->h
                              << " myout_Tphase_MNP->H = " << myout_Tphase_MNP->H);
      deltas = entropyBalance;
    } else if (std::fabs(deltas.value() - entropyBalance.value()) > balanceTolerance) {
      setWarning("Dubious deltas convergence");
    }
  } else {
    // H and S need the properties (setFlash_ refuses them): only T and A
    // arrive here.
    duty = Value(0.0, "W");
    deltas = Value(0.0, "W/K");
  }
  if (myout_->nphases() < 2)
    return;
  // Written down to a combined verbosity of -9, without asterisks.
  if (alfa.value() < -fractionTolerance) {
    VELTA_LOG(verbosity() + 9, -2, name, "phase fraction = " << alfa);
    setError("negative phase fraction in FlashDrumBase::go");
  } else if (alfa.value() > 1.0 + fractionTolerance) {
    VELTA_LOG(verbosity() + 9, -2, name, "phase fraction = " << alfa);
    VELTA_LOG(verbosity() + 9, -2, name, "phase fraction - 1 = " << Value(alfa - 1.0));
    setError("phase fraction larger than one in FlashDrumBase::go");
  }
}
