// The reactions embedded in a flash drum: applied to the outlet's total
// phase in series or in parallel, and the equilibrium reactions evaluated at
// the outlet's flash state.

#include "velta/units/FlashDrumBase.h"

#include "velta/components/ComponentGeneric.h"
#include "velta/components/ListComponents.h"
#include "velta/core/Vector.h"
#include "velta/phases/Mass.h"
#include "velta/streams/Stream.h"
#include "velta/units/Reaction.h"
#include "velta/units/ReactionEquilibrium.h"
#include "velta/utility/Diagnostic.h"
#include "velta/utility/Error.h"
#include "velta/utility/SharedEnumerations.h"

#include <cmath>
#include <sstream>
#include <string>

using Velta::Utility::PhaseIndex;

namespace {

const char *const conversionsName = "FlashDrumBase::computeReactionConversions_";

// Rates below this (kmol/s) count as consumption.
constexpr double rateTolerance = 2.220446049250313e-15;

// The rate of change of component i by reaction r; nothing for a reaction
// that has never reached its flows (bypassed before its first pass).
Value componentRate(const Reaction &r, int i) {
  if (!r.coeffActive)
    return Value(0.0, "kmol/s");
  return r.componentRate(i);
}

// The values separated by blanks, for the level-3 lines.
std::string joined(const std::vector<Value> &values) {
  std::ostringstream text;
  for (const Value &v : values)
    text << v.value() << ' ';
  return text.str();
}

std::string joined(const std::vector<Reaction *> &reactions, Quantity Reaction::*rate) {
  std::ostringstream text;
  for (const Reaction *r : reactions)
    text << (r->*rate).value() << ' ';
  return text.str();
}

} // namespace

void FlashDrumBase::computeReactionConversions_() {
  VELTA_TRACE_BEGIN
  Phase::Mass &out = *myout_->Tphase;
  static_cast<Object &>(out) = static_cast<const Node &>(pin);
  if (reactionMode.value() == "series")
    seriesReactions_();
  else if (reactionMode.value() == "parallel")
    parallelReactions_();
  else
    throw ErrorBrowsing(conversionsName, tag().c_str(), "Reaction processing mode",
                        reactionMode.value().c_str());
  out.calculateX(Phase::flowonly(out.representation()));
  checkReactionBalance_();
  VELTA_TRACE_END(conversionsName)
}

void FlashDrumBase::seriesReactions_() {
  VELTA_LOG(verbosity(), 2, conversionsName, "Series reactions");
  // Each reaction starts from the flows that the previous ones left.
  for (std::size_t i = 0; i < reactions.size(); ++i) {
    VELTA_LOG(verbosity(), 2, conversionsName, "z[" << i << "] = " << reactions[i]->z);
    reactions[i]->calculate(0);
  }
}

void FlashDrumBase::parallelReactions_() {
  VELTA_LOG(verbosity(), 2, conversionsName, "Parallel reactions");
  for (Reaction *r : reactions)
    r->precalc();
  VELTA_LOG(verbosity(), 3, conversionsName,
            "conversions before =[ " << joined(reactions, &Reaction::conv) << "]");

  Phase::Mass &out = *myout_->Tphase;
  const Value noFlow(0.0, "kmol/s");
  deltan_.assign(static_cast<std::size_t>(NCOMPONENTS), noFlow);
  reductions_.assign(reactions.size(), Value(1.0));
  bool reduced = false;
  for (int i = 0; i < NCOMPONENTS; ++i) {
    const std::size_t k = static_cast<std::size_t>(i);
    VELTA_LOG(verbosity(), 2, conversionsName,
              "Balancing component " << i << " inlet = " << out.flow(i));
    for (const Reaction *r : reactions)
      deltan_[k] += componentRate(*r, i);
    if (deltan_[k].value() >= -rateTolerance || !(out.flow(i) < -deltan_[k]))
      continue;
    // Every reaction that consumes the vanishing component is slowed down
    // so that together they use exactly what there is.
    reduced = true;
    const ComponentGeneric &component = *components[i];
    setWarning("Conversion too high for component " + component.name() + " in " + type());
    VELTA_LOG(verbosity(), 2, conversionsName,
              "myout_->Tphase->flow(i) = " << out.flow(i) << " deltan[i] = " << deltan_[k]);
    for (std::size_t j = 0; j < reactions.size(); ++j) {
      Reaction &r = *reactions[j];
      if (componentRate(r, i).value() >= -rateTolerance)
        continue;
      const Value candidate = -out.flow(i) / deltan_[k];
      VELTA_LOG(verbosity(), 2, conversionsName,
                "reductions[" << j << "] = min(" << reductions_[j] << ", " << candidate << ")");
      if (candidate < reductions_[j])
        reductions_[j] = candidate;
      if (!component.isSolid())
        continue;
      if (r.coeff[k].value() < 0.0) {
        VELTA_LOG(verbosity(), 2, conversionsName,
                  "the vanishing component " << component.name()
                                             << " is a heterogeneous reactant of reaction "
                                             << r.type());
        r.markHeterogeneousReactant();
      } else {
        VELTA_LOG(verbosity(), 2, conversionsName,
                  "the vanishing component " << component.name()
                                             << " is a heterogeneous product of reaction "
                                             << r.type());
        r.markHeterogeneousProduct();
      }
    }
  }
  VELTA_LOG(verbosity(), 3, conversionsName, "deltan before = [" << joined(deltan_) << "]");
  if (reduced) {
    for (std::size_t j = 0; j < reactions.size(); ++j)
      reactions[j]->actconv = reactions[j]->actconv * reductions_[j];
    VELTA_LOG(verbosity(), 3, conversionsName,
              "conversions after = [" << joined(reactions, &Reaction::actconv) << "]");
  }
  for (int i = 0; i < NCOMPONENTS; ++i) {
    const std::size_t k = static_cast<std::size_t>(i);
    deltan_[k] = noFlow;
    for (const Reaction *r : reactions)
      deltan_[k] += componentRate(*r, i);
    out.flow(i) += deltan_[k];
  }
  if (reduced)
    VELTA_LOG(verbosity(), 3, conversionsName, "deltan after = [" << joined(deltan_) << "]");
}

void FlashDrumBase::checkReactionBalance_() {
  const Phase::Mass &out = *myout_->Tphase;
  const double d = std::fabs(pin.mdot.value() - out.mdot.value());
  // 0.1 kg/h keeps an almost empty drum from failing on rounding.
  const double s = std::fabs(pin.mdot.value() + out.mdot.value()) + 0.1 / 3600.0;
  if (d > s / 1000.0)
    setError("unbalanced reactions");
  else if (d > s / 100000.0)
    setWarning("unbalanced reactions");
}

void FlashDrumBase::computeReactionEquilibria_() {
  static const char *const name = "FlashDrumBase::computeReactionEquilibria_";
  VELTA_TRACE_BEGIN
  FlashBase &flash = *myout_;
  for (ReactionEquilibrium *equilibrium : equilibria_) {
    if (!equilibrium)
      continue;
    equilibrium->Tact = flash.T;
    equilibrium->P = flash.P;
    equilibrium->calculateEquilibrium(flash.X(static_cast<int>(PhaseIndex::vapor)));
  }
  VELTA_TRACE_END(name)
}
