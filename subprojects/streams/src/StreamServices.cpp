// The operations of Stream that units call (phase lookups, mixing and
// scaling of streams) and the totals over the phases that the flash asks
// for.

#include "velta/streams/Stream.h"

#include "velta/components/ComponentGeneric.h"
#include "velta/components/ListComponents.h"
#include "velta/core/MyCast.h"
#include "velta/phases/Generic.h"
#include "velta/phases/MassMolar.h"
#include "velta/utility/Error.h"
#include "velta/value/Constants.h"

using Velta::Utility::phaseIndexName;
using Velta::Utility::PhaseType;

// ---------------------------------------------------------------- lookups

Phase::Mass *Stream::findPhase(int phaseIndex) {
  const int position = findPhaseIndex(phaseIndex);
  return position < 0 ? nullptr : phases_[static_cast<std::size_t>(position)];
}

int Stream::findPhaseIndex(int phaseIndex) {
  static const char *const name = "Stream::findPhaseIndex";
  VELTA_LOG(streamVerbosity(), 1, name,
            "Entered for " << fullTag() << " of type " << type() << " with " << phases_.size()
                           << " phases, looking for " << phaseIndexName(phaseIndex));
  VELTA_LOG(streamVerbosity(), 3, name, "Print out phasesmap");
  for (const auto &[index, position] : phasesmap)
    VELTA_LOG(streamVerbosity(), 3, name,
              "phasesmap[" << phaseIndexName(index) << "] = " << position);
  const auto found = phasesmap.find(phaseIndex);
  if (found == phasesmap.end()) {
    VELTA_LOG(streamVerbosity(), 2, name, "not found");
    return -1;
  }
  VELTA_LOG(streamVerbosity(), 2, name, "found: " << found->second);
  return static_cast<int>(found->second);
}

void Stream::setphase(int phaseIndex) {
  static const char *const name = "Stream::setphase";
  VELTA_LOG(streamVerbosity(), 1, name,
            "Entered for " << fullTag() << " looking for " << phaseIndexName(phaseIndex));
  bool chosen = false;
  std::vector<Quantity> &total = Tphase->fracs();
  for (Phase::Mass *phase : phases_) {
    VELTA_LOG(streamVerbosity(), 2, name,
              "indexintegers_ it this one: " << phaseIndexName(phase->phaseIndex()));
    std::vector<Quantity> &fractions = phase->fracs();
    const bool choose = !chosen && phase->phaseIndex() == phaseIndex;
    phase->fraction = Value(choose ? 1.0 : 0.0);
    for (std::size_t i = 0; i < fractions.size(); ++i)
      fractions[i] = choose ? static_cast<const Value &>(total[i]) : Value(0.0);
    VELTA_LOG(streamVerbosity(), 2, name, (choose ? "Yes, set it" : "No, set to zero"));
    chosen = chosen || choose;
  }
  if (!chosen)
    throw ErrorBrowsing(name, tag().c_str(), type().c_str(), "PhaseIndex",
                        phaseIndexName(phaseIndex).c_str());
}

void Stream::clearComposition() {
  VELTA_LOG(streamVerbosity(), 1, "Stream::clearComposition", "Entered for " << fullTag());
  Tphase->clearComposition(
      static_cast<MassBalanceMode>(Velta::Utility::massBalanceModeIndex(flowoption.value())));
}

// ---------------------------------------------------------------- arithmetic

Stream &Stream::operator+=(const Stream &rhs) {
  static const char *const name = "Stream::operator +=";
  VELTA_TRACE_BEGIN
  VELTA_LOG(streamVerbosity(), 1, name, "Entered for " << fullTag() << " with rhs = " << rhs.tag());
  VELTA_LOG(streamVerbosity(), 2, name, "rhs.P = " << rhs.P << " lhs.P = " << P);
  // An empty stream carries no pressure into the sum: its P is only a
  // default (101325 Pa) and would lower the mixture's.
  if (rhs.Tphase->mdot.value() > 0.0) {
    if (P > rhs.P) {
      P = rhs.P;
      VELTA_LOG(streamVerbosity(), 2, name, "lhs.P set to rhs.P = " << P);
    }
    *Tphase += *rhs.Tphase;
  }
  return *this;
  VELTA_TRACE_END(name)
}

Stream &Stream::operator*=(const Value &factor) {
  VELTA_TRACE_BEGIN
  *Tphase *= factor;
  if (phases_.size() > 1)
    for (Phase::Mass *phase : phases_)
      *phase *= factor;
  return *this;
  VELTA_TRACE_END("Stream::operator *=")
}

namespace {

// The values of the quantities of to that from has under the same tags; the
// type and the tree of to stay.
void copyQuantities(Object &to, const Object &from) {
  for (const auto &[tag, quantity] : to.quantities()) {
    const auto found = from.quantities().find(tag);
    if (found != from.quantities().end())
      *quantity = *found->second;
  }
}

} // namespace

void gather(int verbosity, Node *outlet, const std::vector<Node *> &inlets, Value &P, Value &T) {
  static const char *const name = "gather";
  Stream *out = my_cast<Stream *>(outlet, name);
  VELTA_LOG(verbosity, 1, name, "Entered for " << out->tag());
  Phase::Mass &total = *out->Tphase;
  T = Value(0.0, "K");
  Stream::totalFlowOf(total).setZero();
  bool first = true;
  for (Node *node : inlets) {
    Stream *in = my_cast<Stream *>(node, name);
    VELTA_LOG(verbosity, 2, name, "Looking at " << in->tag());
    if (in->representation() != out->representation())
      throw ErrorRunTime(name, ("inlet " + in->tag() + " keeps its balance as " +
                                Velta::Utility::massBalanceModeName(in->representation()) +
                                ", the outlet " + out->tag() + " as " +
                                Velta::Utility::massBalanceModeName(out->representation()))
                                   .c_str());
    if (in->Tphase->totalFlow().value() == 0.0)
      continue;
    VELTA_LOG(verbosity, 2, name,
              "Gathering " << in->tag() << " with P = " << in->P << " T = " << in->T
                           << " ndot = " << in->Tphase->mdot);
    if (first) {
      copyQuantities(total, *in->Tphase);
      P = in->P;
      first = false;
    } else {
      total += *in->Tphase;
      if (in->P < P)
        P = in->P;
    }
    T += Value(in->T.value() * in->Tphase->mdot.value(), "K");
  }
  if (total.totalFlow().value() != 0.0) {
    T /= total.mdot.value();
  } else {
    T = referenceTemperature;
    P = referencePressure;
  }
}

Value Stream::dhvl(const Value &T) {
  static const char *const name = "Stream::dhvl";
  VELTA_TRACE_BEGIN
  VELTA_LOG(streamVerbosity(), 1, name, "Entered for " << fullTag());
  auto *molar = my_cast<Phase::MassMolar *>(Tphase, name);
  Value sum(0.0, "J/kmol");
  Value xsum(0.0);
  for (int i = 0; i < NCOMPONENTS; ++i) {
    const Value &x = molar->x[static_cast<std::size_t>(i)];
    if (x.value() > 0.0 && !components[i]->isSolid()) {
      sum += x * components[i]->dhvl(T);
      xsum += x;
    }
  }
  VELTA_LOG(streamVerbosity(), 2, name, "Done");
  // Nothing to vaporize: no heat of vaporization.
  if (xsum.value() == 0.0)
    return Value(0.0, "J/kmol");
  return sum / xsum;
  VELTA_TRACE_END(name)
}

// ---------------------------------------------------------------- totals

Phase::Generic *Stream::takingPart(Phase::Mass *phase) {
  auto *generic = dynamic_cast<Phase::Generic *>(phase);
  if (generic && Fraction(phase->phaseIndex(), false).value() > 0.0)
    return generic;
  return nullptr;
}

const Value &Stream::calculateTotalRho() {
  VELTA_LOG(streamVerbosity(), 1, "Stream::calculateTotalRho", "Entered");
  v_ = Value(0.0, "m3/kmol");
  for (Phase::Mass *phase : phases_)
    if (Phase::Generic *generic = takingPart(phase)) {
      const int pi = phase->phaseIndex();
      v_ += Fraction(pi, false) /
            generic->model().calculate_rho_(FlashBase::P, FlashBase::T, X(pi));
    }
  // Without a phase with properties (the simple streams) the density is
  // zero like the other totals, not the reciprocal of a zero volume.
  if (v_.value() == 0.0)
    rho_ = Value(0.0, "kmol/m3");
  else
    rho_ = dimensionlessOne / v_;
  return rho_;
}

const Value &Stream::calculateTotalH() {
  static const char *const name = "Stream::calculateTotalH";
  VELTA_LOG(streamVerbosity(), 1, name,
            "Entered for " << fullTag() << " with T = " << FlashBase::T);
  H_ = Value(0.0, "J/kmol");
  for (Phase::Mass *phase : phases_)
    if (Phase::Generic *generic = takingPart(phase)) {
      const int pi = phase->phaseIndex();
      const Value &f = Fraction(pi, false);
      const Value &h = generic->model().calculate_H_(FlashBase::P, FlashBase::T, X(pi));
      VELTA_LOG(streamVerbosity(), 2, name,
                Velta::Utility::phaseTypeName(phase->phaseType())
                    << " fraction = " << f << " H = " << h);
      H_ += f * h;
    }
  VELTA_LOG(streamVerbosity(), 2, name, "H_ = " << H_ << " " << H_.activeValue().toString());
  return H_;
}

const Value &Stream::calculateTotalS() {
  static const char *const name = "Stream::calculateTotalS";
  VELTA_LOG(streamVerbosity(), 1, name, "Entered");
  S_ = Value(0.0, "J/(kmol*K)");
  for (Phase::Mass *phase : phases_)
    if (Phase::Generic *generic = takingPart(phase)) {
      const int pi = phase->phaseIndex();
      S_ += Fraction(pi, false) *
            generic->model().calculate_S_(FlashBase::P, FlashBase::T, X(pi));
    }
  VELTA_LOG(streamVerbosity(), 2, name, "S_ = " << S_ << " " << S_.activeValue().toString());
  return S_;
}

const Value &Stream::calculateTotalP(const Value &rho) {
  static const char *const name = "Stream::calculateTotalP";
  VELTA_TRACE_BEGIN
  VELTA_LOG(streamVerbosity(), 1, name, "Entered for " << fullTag());
  Value v = dimensionlessOne / rho;
  Phase::Mass *vapor = nullptr;
  Phase::Generic *condensedEos = nullptr;
  for (Phase::Mass *phase : phases_) {
    if (phase->phaseType() == static_cast<int>(PhaseType::vapor)) {
      vapor = phase;
      continue;
    }
    if (Phase::Generic *generic = takingPart(phase)) {
      const int pi = phase->phaseIndex();
      v -= Fraction(pi, false) /
           generic->model().calculate_rho_(FlashBase::P, FlashBase::T, X(pi));
      if (!condensedEos)
        condensedEos = eosPhase(phase);
    }
  }
  P_ = 0.01 * gasConstant * FlashBase::T / v;
  auto *vaporGeneric = dynamic_cast<Phase::Generic *>(vapor);
  if (vaporGeneric) {
    const int pi = vapor->phaseIndex();
    return vaporGeneric->model().calculate_P_(Fraction(pi, false) / v, FlashBase::T, X(pi),
                                              sumx(pi));
  }
  // Without a vapour only an equation of state relates the condensed
  // phases' density to their pressure; the left-over volume does not.
  if (condensedEos) {
    const int pi = condensedEos->phaseIndex();
    return condensedEos->model().calculate_P_(rho, FlashBase::T, X(pi), sumx(pi));
  }
  throw ErrorRunTime(name, ("stream " + fullTag() +
                            " has no vapour phase and no equation-of-state phase whose pressure "
                            "follows from a density: the flash modes RH and RT do not apply")
                               .c_str());
  VELTA_TRACE_END(name)
}
