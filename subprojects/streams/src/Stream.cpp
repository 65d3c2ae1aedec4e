#include "velta/streams/Stream.h"

#include "velta/core/SolverNleInterface.h"
#include "velta/phases/Generic.h"
#include "velta/phases/MassMolarProperties.h"
#include "velta/utility/Assert.h"
#include "velta/utility/Error.h"
#include "velta/value/Constants.h"

#include <cmath>

using Velta::Utility::FlashMode;
using Velta::Utility::flashModeName;
using Velta::Utility::PhaseIndex;
using Velta::Utility::PhaseType;

namespace {

constexpr double epsilon = 2.220446049250313e-16;

bool is(int mode, FlashMode m) { return mode == static_cast<int>(m); }

} // namespace

Stream::Stream(Defaults defaults, int id, Persistency *persistency, Node *parent, Node *root)
    : EdgeBase(defaults, id, persistency, parent, root),
      T("T", "Temperature", referenceTemperature, nullptr),
      P("P", "Pressure", referencePressure, nullptr),
      NITER_NLEFlash("NITER_NLEFlash", "Number of iterations for Flash", -1, nullptr),
      flowoption("flowoption", "Feed stream flow configuration", "Nx", nullptr),
      flashoption("flashoption", "Feed stream Flash configuration", "PT", nullptr) {
  VELTA_LOG(streamVerbosity(), 1, "Stream::Stream", "Entered");
  registerVariables();
  retrieveIntegersAndStrings(persistency);
  T.setOutput();
  P.setOutput();
  VELTA_LOG(streamVerbosity(), 2, "Stream::Stream", "Done");
}

Stream::~Stream() = default;

void Stream::registerVariables() {
  addVariable(T);
  addVariable(P);
  addVariable(NITER_NLEFlash);
  addVariable(flowoption);
  addVariable(flashoption);
}

// ---------------------------------------------------------------- building

Phase::Mass *Stream::addPhase(const std::string &type, const std::string &tag,
                              const std::string &description, int index,
                              Persistency *persistency) {
  static const char *const name = "Stream::addPhase";
  VELTA_LOG(streamVerbosity(), 1, name, "Entered adding phase " << type);
  if (!persistency)
    addChild(type, Defaults(tag, description));
  Object &child = at(tag);
  auto *phase = dynamic_cast<Phase::Mass *>(&child);
  if (!phase)
    throw ErrorDynamicCast(name, child.type().c_str(), "Phase::Mass", tag.c_str());
  if (phase->representation() != representation())
    throw ErrorRunTime(name, ("phase " + tag + " of type " + type + " keeps its balance as " +
                              Velta::Utility::massBalanceModeName(phase->representation()) +
                              ", the stream as " +
                              Velta::Utility::massBalanceModeName(representation()))
                                 .c_str());
  auto place = [&](PhaseIndex base, int &count, int limit, const char *what) {
    VELTA_LOG(streamVerbosity(), 2, name, what);
    VELTA_ASSERT_AS(count < limit,
                    limit == 1 ? "vphases_ < 1" : (limit == 3 ? "lphases_ < 3" : "sphases_ < 9"),
                    "subprojects/streams/src/Stream", __LINE__);
    VELTA_ASSERT_AS(index >= 0 && static_cast<std::size_t>(index) < phases_.size(),
                    "index < phases().size()", "subprojects/streams/src/Stream", __LINE__);
    phasesmap[static_cast<int>(base) + count] = static_cast<unsigned>(index);
    phases_[static_cast<std::size_t>(index)] = phase;
    phase->setPhaseIndex(base, count);
    ++count;
  };
  switch (phase->phaseType()) {
  case static_cast<int>(PhaseType::vapor):
    place(PhaseIndex::vapor, vphases_, 1, "Vapor phase");
    break;
  case static_cast<int>(PhaseType::liquid):
    place(PhaseIndex::liquid1, lphases_, 3, "Liquid phase");
    break;
  case static_cast<int>(PhaseType::solid):
    place(PhaseIndex::solid1, sphases_, 9, "solid phase");
    break;
  default:
    VELTA_LOG(streamVerbosity(), 2, name, "Unrecognized phase");
  }
  return phase;
}

void Stream::postconstruct_(int id) {
  static const char *const name = "Stream::postconstruct_";
  VELTA_LOG(streamVerbosity(), 1, name, "Entered with " << phases_.size() << " phases");
  std::vector<Value *> unknowns;
  std::vector<const double *> lower, upper;
  for (Phase::Mass *phase : phases_) {
    if (!phase)
      continue;
    VELTA_LOG(streamVerbosity(), 2, name, "Looking at phase " << phase->tag());
    if (id < 0) {
      VELTA_LOG(streamVerbosity(), 2, name, "fraction = " << phase->fraction);
      phase->fraction = Value(1.0 / static_cast<double>(phases_.size()));
    }
    addEosUnknown(*phase, unknowns, lower, upper);
  }
  addUnknowns(unknowns, lower, upper);
}

// ---------------------------------------------------------------- driver

Stream::MassBalanceMode Stream::goMassBalanceMode(bool cutMode) const {
  if (cutMode)
    return Phase::flowonly(Tphase->representation());
  return static_cast<MassBalanceMode>(Velta::Utility::massBalanceModeIndex(flowoption.value()));
}

void Stream::go(int mode) {
  static const char *const name = "Stream::go";
  // A torn copy follows the cut from its first calculation on; in the
  // simultaneous solution always, where its pressure, enthalpy and flows are
  // unknowns of the flowsheet, also when a reset made it pristine again.
  const bool cutMode = !cutsource.value().empty() && (nCalculations.value() > 0 || mode >= 2);
  VELTA_LOG(streamVerbosity(), 1, name,
            "Entered for " << fullTag() << " with flowoption = " << flowoption.value()
                           << ", flashoption = " << flashoption.value()
                           << " and cut mode = " << (cutMode ? "true" : "false"));
  VELTA_LOG(streamVerbosity(), 2, name, "Now setting Flash variables");
  if (cutMode)
    setFlash(dynamic_cast<Phase::MassMolarProperties *>(Tphase)
                 ? static_cast<int>(FlashMode::PH)
                 : static_cast<int>(FlashMode::PT));
  else
    setFlash(Velta::Utility::flashModeIndex(flashoption.value()));
  Tphase->calculateX(goMassBalanceMode(cutMode));
  if (mode < 2 && isPristine()) {
    estimate(P, T);
    precompute_isIdeal();
  }
  VELTA_LOG(streamVerbosity(), 2, name, "Tphase->totalFlow() = " << Tphase->totalFlow());
  const int status =
      solveFlash(mode >= 2, std::fabs(Tphase->totalFlow().value()) <= 100.0 * epsilon);
  calculateX(goMassBalanceMode(cutMode));
  if (mode >= 2)
    return;
  NITER_NLEFlash = static_cast<int>(iterations());
  if (status < 0)
    setWarning(solverMessage(status));
  else if (status > 0)
    setError(solverMessage(status));
  if (solver().notConverged())
    setError("Flash convergence failure in stream::calculate;");
  else
    incrementCalculations();
}

void Stream::calculate(int) { go(1); }

void Stream::setFlash(int fm) {
  static const char *const name = "Stream::setFlash";
  VELTA_TRACE_BEGIN
  if (fm != 0)
    flashoption = flashModeName(fm);
  else
    fm = Velta::Utility::flashModeIndex(flashoption.value());
  auto *props = dynamic_cast<Phase::MassMolarProperties *>(Tphase);
  if (props)
    VELTA_LOG(streamVerbosity(), 1, name,
              "Entered with fm = " << flashoption.value() << " P = " << P << " T = " << T
                                   << " H = " << props->H << " S = " << props->S
                                   << " rho = " << props->rho);
  else
    VELTA_LOG(streamVerbosity(), 1, name,
              "Entered with fm = " << flashoption.value() << " P = " << P << " T = " << T);
  const Value noH(0.0, "J/kmol"), noS(0.0, "J/(kmol*K)"), noRho(0.0, "kmol/m3");
  const Value &H = props ? static_cast<const Value &>(props->H) : noH;
  const Value &S = props ? static_cast<const Value &>(props->S) : noS;
  const Value rho = props ? dimensionlessOne / props->v : noRho;
  if (is(fm, FlashMode::PT))
    setFlash_(fm, P, T, true);
  else if (is(fm, FlashMode::PH))
    setFlash_(fm, P, H, true);
  else if (is(fm, FlashMode::RH))
    setFlash_(fm, rho, H, true);
  else if (is(fm, FlashMode::RT))
    setFlash_(fm, rho, T, true);
  else if (is(fm, FlashMode::PS))
    setFlash_(fm, P, S, true);
  else
    throw ErrorSmartEnum(name, "Flash mode", flashModeName(fm).c_str());
  VELTA_LOG(streamVerbosity(), 2, name, "Done");
  VELTA_TRACE_END(name)
}

void Stream::updateFlash() {
  static const char *const name = "Stream::updateFlash";
  VELTA_TRACE_BEGIN
  VELTA_LOG(streamVerbosity(), 1, name, "Entered for " << fullTag());
  if (mode < 1 || mode > 7)
    throw ErrorSmartEnum(name, "Flash mode", flashModeName(mode).c_str());
  const bool newT = is(mode, FlashMode::PA) || is(mode, FlashMode::PH) ||
                    is(mode, FlashMode::PS) || is(mode, FlashMode::RH) ||
                    is(mode, FlashMode::SA);
  const bool newP = is(mode, FlashMode::RT) || is(mode, FlashMode::RH) || is(mode, FlashMode::SA);
  if (newT)
    T = FlashBase::T;
  if (newP)
    P = FlashBase::P;
  VELTA_TRACE_END(name)
}

// ---------------------------------------------------------------- balances

void Stream::calculateX(MassBalanceMode mb) {
  static const char *const name = "Stream::calculateX";
  VELTA_TRACE_BEGIN
  VELTA_LOG(streamVerbosity(), 1, name,
            "Entered for " << fullTag() << " of type " << type() << " with MassBalanceMode = "
                           << Velta::Utility::massBalanceModeName(mb));
  VELTA_LOG(streamVerbosity(), 2, name, "Now calculating phase separation balances");
  updateFlash();
  VELTA_LOG(streamVerbosity(), 2, name, "Perform the mass balances for the phases");
  calculateXnoFlash(mb);
  VELTA_LOG(streamVerbosity(), 2, name,
            "Now computing P- and T-dependent properties for the phases");
  if (vphases_ + lphases_ + sphases_ > 1) {
    for (Phase::Mass *phase : phases_) {
      VELTA_LOG(streamVerbosity(), 2, name,
                "Now processing " << Velta::Utility::phaseIndexName(phase->phaseIndex()));
      phase->calculateProperties(P, T, true);
    }
  }
  VELTA_LOG(streamVerbosity(), 2, name, "Now computing total properties for the total phase");
  Tphase->calculateProperties(P, T, cutsource.value().empty());
  VELTA_TRACE_END(name)
}

void Stream::calculateXnoFlash(MassBalanceMode mb) {
  static const char *const name = "Stream::calculateXnoFlash";
  VELTA_TRACE_BEGIN
  VELTA_LOG(streamVerbosity(), 1, name, "Entered for " << fullTag());
  Tphase->calculateX(mb);
  const Value F = Tphase->totalFlow();
  if (F.value() < -1000.0 * epsilon)
    setError("negative material flow");
  else if (std::fabs(F.value()) <= 1000.0 * epsilon)
    setWarning("zero material flow");
  if (phases_.size() == 1)
    return;
  const double tol = 10.0 * std::sqrt(epsilon);
  const double n = static_cast<double>(phases_.size());
  Value sum(0.0);
  for (std::size_t i = 0; i < phases_.size(); ++i) {
    Phase::Mass &phase = *phases_[i];
    VELTA_LOG(streamVerbosity(), 2, name,
              "Now processing " << Velta::Utility::phaseTypeName(phase.phaseType()));
    if (F.value() == 0.0)
      phase.fraction = Value(1.0 / n);
    const bool last = i + 1 == phases_.size();
    if (last) {
      if (sum.value() > 1.0 + tol)
        setError("sum of phase fractions exceeds one");
      // The last fraction closes the sum before its flows are derived, so
      // that the phase flows add up to the total.
      phase.fraction = dimensionlessOne - sum;
    }
    totalFlowOf(phase) = F * phase.fraction;
    phase.calculateX(Tphase->representation());
    if (!last) {
      if (phase.fraction.value() < -tol)
        setError("negative phase fraction in Stream::calculateXnoFlash");
      if (phase.fraction.value() > 1.0 + tol)
        setError("phase fraction larger than one in Stream::calculateXnoFlash");
      sum += phase.fraction;
    }
  }
  VELTA_TRACE_END(name)
}

void Stream::initializeNonPersistents() {
  static const char *const name = "Stream::initializeNonPersistents";
  VELTA_LOG(streamVerbosity(), 1, name, "Entered for " << fullTag());
  FlashBase::P = P;
  FlashBase::T = T;
  for (Phase::Mass *phase : phases_)
    phase->initializeNonPersistents();
  VELTA_LOG(streamVerbosity(), 2, name, "Done");
}

Value &Stream::totalFlowOf(Phase::Mass &phase) {
  if (auto *molar = dynamic_cast<Phase::MassMolar *>(&phase))
    return molar->ndot;
  return phase.mdot;
}

const Value &Stream::phaseFraction(const Phase::Mass &phase) {
  return Fraction(phase.phaseIndex(), false);
}
