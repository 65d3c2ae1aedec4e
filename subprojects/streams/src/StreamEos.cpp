// The flash unknowns, residuals and estimates of the stream's
// equation-of-state phases: each such phase adds its density variable (the
// packing fraction beta of an Eos engine, the reduced density delta of
// IAPWS-95) to the flash unknowns and one residual that ties it to the
// flash pressure (to the density set point for the first of them in RH and
// RT).

#include "velta/streams/Stream.h"

#include "velta/phases/EosInterface.h"
#include "velta/phases/Generic.h"
#include "velta/phases/Iapws.h"
#include "velta/utility/Assert.h"
#include "velta/utility/Error.h"

using Velta::Utility::FlashMode;
using Velta::Utility::PhaseType;

namespace {

// Bounds shared by every stream; the flash reads them once.
const double zeroBound = 0.0;
const double oneBound = 1.0;

Phase::EosInterface *engineOf(Phase::Generic &phase) {
  return dynamic_cast<Phase::EosInterface *>(&phase.model());
}

Phase::Iapws *iapwsOf(Phase::Generic &phase) {
  return dynamic_cast<Phase::Iapws *>(&phase.model());
}

} // namespace

Phase::Generic *Stream::eosPhase(Phase::Mass *phase) {
  auto *generic = dynamic_cast<Phase::Generic *>(phase);
  return generic && (engineOf(*generic) || iapwsOf(*generic)) ? generic : nullptr;
}

void Stream::addEosUnknown(Phase::Mass &phase, std::vector<Value *> &unknowns,
                           std::vector<const double *> &lower, std::vector<const double *> &upper) {
  Phase::Generic *generic = eosPhase(&phase);
  if (!generic)
    return;
  if (Phase::Iapws *iapws = iapwsOf(*generic)) {
    unknowns.push_back(&iapws->delta);
    const auto bounds = Phase::Iapws::deltaBounds(phase.phaseType());
    lower.push_back(bounds.first);
    upper.push_back(bounds.second);
    return;
  }
  Phase::EosInterface &eos = *engineOf(*generic);
  unknowns.push_back(&eos.beta);
  if (phase.phaseType() == static_cast<int>(PhaseType::vapor)) {
    lower.push_back(&zeroBound);
    upper.push_back(&eos.betamax_);
  } else if (phase.phaseType() == static_cast<int>(PhaseType::liquid)) {
    lower.push_back(&eos.betamin_);
    upper.push_back(&oneBound);
  } else {
    lower.push_back(&zeroBound);
    upper.push_back(&oneBound);
  }
}

int Stream::calculateResidualsEos(std::vector<Value> &y, unsigned start) {
  static const char *const name = "Stream::calculateResidualsEos";
  VELTA_TRACE_BEGIN
  VELTA_LOG(streamVerbosity(), 1, name, "Entered");
  static const Value anyDensity(1.0, "kmol/m3");
  const bool densityMode = mode == static_cast<int>(FlashMode::RH) ||
                           mode == static_cast<int>(FlashMode::RT);
  unsigned n = 0;
  for (Phase::Mass *phase : phases_) {
    Phase::Generic *generic = eosPhase(phase);
    if (!generic)
      continue;
    const int pi = phase->phaseIndex();
    if (n == 0 && densityMode)
      y[start] = calculateTotalRho() / rhoset_ - 1.0;
    else
      // Every further phase is at the flash pressure, whatever the mode
      // (in RH and RT no pressure set point exists).
      y[start + n] =
          generic->model().calculate_P_(anyDensity, FlashBase::T, X(pi), sumx(pi)) /
              FlashBase::P -
          1.0;
    if (Phase::EosInterface *eos = engineOf(*generic))
      eos->calculateResiduals(FlashBase::P, FlashBase::T, sumx(pi));
    ++n;
  }
  VELTA_LOG(streamVerbosity(), 2, name, "Done");
  return static_cast<int>(n);
  VELTA_TRACE_END(name)
}

void Stream::estimateEos(const Value &P, const Value &T) {
  static const char *const name = "Stream::estimateEos";
  VELTA_TRACE_BEGIN
  VELTA_LOG(streamVerbosity(), 1, name, "Entered");
  for (Phase::Mass *phase : phases_) {
    Phase::Generic *generic = eosPhase(phase);
    if (!generic)
      continue;
    VELTA_ASSERT_AS(phase->representation() == Velta::Utility::MassBalanceMode::Nx,
                    "phase->representation() == Velta::Utility::MassBalanceMode::Nx",
                    "subprojects/streams/src/Stream", __LINE__);
    if (Phase::Iapws *iapws = iapwsOf(*generic))
      iapws->estimate(P, T, phase->phaseType());
    else
      engineOf(*generic)->estimate(P, T, Vector(&phase->fracs()), phase->phaseType());
  }
  VELTA_LOG(streamVerbosity(), 2, name, "Done");
  VELTA_TRACE_END(name)
}
