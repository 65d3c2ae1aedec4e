#include "velta/phases/PhaseTotal.h"

#include "velta/core/MyCast.h"
#include "velta/utility/Diagnostic.h"
#include "velta/utility/Error.h"
#include "velta/utility/SharedEnumerations.h"
#include "velta/components/ListComponents.h"
#include "velta/value/Constants.h"

using Velta::Utility::phaseTypeName;

PhaseTotal::PhaseTotal(Defaults defaults, int id, Persistency *persistency, Node *parent,
                       Node *root)
    : Object(defaults, id, persistency, parent, root), Model(defaults, id, persistency, parent, root),
      Phase::MassMolarProperties(defaults, id, persistency, parent, root), H_(0.0, "J/kmol"),
      Cp_(0.0, "J/(kmol*K)"), S_(0.0, "J/(kmol*K)"), vtotal_(0.0, "m3/kmol"),
      rho_(0.0, "kmol/m3") {
  setType("PhaseTotal");
  VELTA_LOG(verbosity(), 1, "PhaseTotal::PhaseTotal", "Entered for " << id);
}

PhaseTotal::~PhaseTotal() = default;

std::unique_ptr<Node> PhaseTotal::clone() const {
  auto copy = std::make_unique<PhaseTotal>(optionSet(), 0, nullptr, nullptr, nullptr);
  copy->Object::operator=(static_cast<const Node &>(*this));
  copy->initializeMassVariables();
  return copy;
}

void PhaseTotal::initializeNonPersistents() {
  requireComponents("PhaseTotal::initializeNonPersistents");
}

std::vector<Phase::Mass *> PhaseTotal::memberPhases(const char *function) const {
  if (!stream_)
    throw ErrorRunTime(function, "no stream attached to the total phase");
  return stream_->phases();
}

Phase::MassMolarProperties &PhaseTotal::withProperties(Phase::Mass *p, const char *function) {
  return *my_cast<Phase::MassMolarProperties *>(p, function);
}

const Value &PhaseTotal::calculate_H(const Value &, const Value &T) {
  static const char *const name = "PhaseTotal::calculate_H";
  VELTA_LOG(verbosity(), 1, name, "Entered for " << tag() << " with T = " << T);
  H_ = Value(0.0, "J/kmol");
  for (Phase::Mass *p : memberPhases(name)) {
    Phase::MassMolarProperties &phase = withProperties(p, name);
    const std::string &type = phaseTypeName(phase.phaseType());
    VELTA_LOG(verbosity(), 2, name, "h[" << type << "] = " << phase.H.activeValue().toString());
    const Value &f = stream_->phaseFraction(*p);
    if (f.value() > 0.0) {
      VELTA_LOG(verbosity(), 2, name, type << " fraction = " << f << " H = " << phase.H);
      H_ += f * phase.H;
    }
  }
  VELTA_LOG(verbosity(), 2, name, "H = " << H_);
  return H_;
}

const Value &PhaseTotal::calculate_Cp(const Value &, const Value &) {
  static const char *const name = "PhaseTotal::calculate_Cp";
  VELTA_LOG(verbosity(), 1, name, "Entered");
  Cp_ = Value(0.0, "J/kmol/K");
  for (Phase::Mass *p : memberPhases(name)) {
    Phase::MassMolarProperties &phase = withProperties(p, name);
    const Value &f = stream_->phaseFraction(*p);
    if (f.value() > 0.0)
      Cp_ += f * phase.Cp;
  }
  return Cp_;
}

const Value &PhaseTotal::calculate_S(const Value &, const Value &) {
  static const char *const name = "PhaseTotal::calculate_S";
  VELTA_LOG(verbosity(), 1, name, "Entered");
  S_ = Value(0.0, "J/kmol/K");
  for (Phase::Mass *p : memberPhases(name)) {
    Phase::MassMolarProperties &phase = withProperties(p, name);
    const Value &f = stream_->phaseFraction(*p);
    if (f.value() > 0.0) {
      VELTA_LOG(verbosity(), 2, name, "Now adding entropy for phase " << phase.fullTag());
      S_ += f * phase.S;
    }
  }
  VELTA_LOG(verbosity(), 1, name, "Done with S_ = " << S_);
  return S_;
}

const Value &PhaseTotal::calculate_rho(const Value &P, const Value &T) {
  static const char *const name = "PhaseTotal::calculate_rho";
  VELTA_LOG(verbosity(), 1, name, "Entered");
  vtotal_ = Value(0.0, "m3/kmol");
  for (Phase::Mass *p : memberPhases(name)) {
    Phase::MassMolarProperties &phase = withProperties(p, name);
    const Value &f = stream_->phaseFraction(*p);
    if (f.value() > 0.0)
      vtotal_ += f / phase.calculate_rho(P, T);
  }
  // Without a contributing phase there is no volume to invert.
  if (vtotal_.value() == 0.0)
    rho_ = Value(0.0, "kmol/m3");
  else
    rho_ = dimensionlessOne / vtotal_;
  return rho_;
}

const Value &PhaseTotal::calculate_P(const Value &, const Value &) {
  static const Value pressure(1e10, "Pa");
  return pressure;
}

Value PhaseTotal::mu(const Value &, const Value &) { return Value(1e10, "Pa*s"); }

Value PhaseTotal::kappa(const Value &, const Value &) { return Value(1e10, "W/(m*K)"); }

Value PhaseTotal::sigma(const Value &, const Value &) { return Value(0.0, "N/m"); }

const Value &PhaseTotal::fugacity(int) { return dimensionlessOne; }
