#include "velta/phases/Generic.h"

#include "velta/components/ListComponents.h"
#include "velta/utility/Assert.h"
#include "velta/utility/Error.h"
#include "velta/value/Constants.h"

#include <utility>

namespace Phase {

Generic::Generic(Defaults defaults, int id, Persistency *persistency, Node *parent, Node *root,
                 std::unique_ptr<Interface> model)
    : Model(defaults, id, persistency, parent, root),
      MassMolarProperties(defaults, id, persistency, parent, root), model_(std::move(model)) {
  VELTA_ASSERT(model_ != nullptr);
}

Generic::~Generic() = default;

void Generic::setPhaseType(int type) {
  Mass::setPhaseType(type);
  model_->phaseType_ = type;
}

Value Generic::sumx() const {
  Value sum(dimensionlessZero);
  for (const Quantity &fractionOfComponent : x)
    sum += fractionOfComponent;
  return sum;
}

const Value &Generic::calculate_P(const Value &rho, const Value &T) {
  requireComponents("Phase::Generic::calculate_P");
  return model_->calculate_P_(rho, T, xView(), sumx());
}

const Value &Generic::calculate_rho(const Value &P, const Value &T) {
  static const char *const name = "Phase::Generic::calculate_rho";
  requireComponents(name);
  VELTA_LOG(verbosity(), 1, name, "Entered");
  VELTA_TRACE_BEGIN
  return model_->calculate_rho_(P, T, xView());
  VELTA_TRACE_END(name)
}

const Value &Generic::calculate_H(const Value &P, const Value &T) {
  static const char *const name = "Phase::Generic::calculate_H";
  requireComponents(name);
  VELTA_LOG(verbosity(), 1, name, "Entered with Pres = " << P << " Temp = " << T);
  VELTA_TRACE_BEGIN
  return model_->calculate_H_(P, T, xView());
  VELTA_TRACE_END(name)
}

const Value &Generic::calculate_Cp(const Value &P, const Value &T) {
  requireComponents("Phase::Generic::calculate_Cp");
  return model_->calculate_Cp_(P, T, xView());
}

const Value &Generic::calculate_S(const Value &P, const Value &T) {
  requireComponents("Phase::Generic::calculate_S");
  return model_->calculate_S_(P, T, xView());
}

Value Generic::mu(const Value &P, const Value &T) {
  requireComponents("Phase::Generic::mu");
  return model_->mu_(T, P, xView());
}

Value Generic::kappa(const Value &P, const Value &T) {
  requireComponents("Phase::Generic::kappa");
  return model_->kappa_(T, P, xView());
}

Value Generic::sigma(const Value &P, const Value &T) {
  requireComponents("Phase::Generic::sigma");
  return model_->sigma_(T, P, xView());
}

const Value &Generic::fugacity(int i) {
  requireComponents("Phase::Generic::fugacity");
  return model_->fugacity(i);
}

void Generic::prepare(const Value &T) {
  requireComponents("Phase::Generic::prepare");
  model_->prepare(T, xView());
}

void Generic::preparefugacity(const Value &P, const Value &T) {
  requireComponents("Phase::Generic::preparefugacity");
  model_->preparefugacity(P, T, xView(), sumx());
}

} // namespace Phase
