#include "velta/core/ObjectiveNleAd.h"

#include "ScopeExit.h"
#include "StopWatch.h"
#include "velta/core/Jacobian.h"
#include "velta/core/QuantityTag.h"
#include "velta/utility/Assert.h"
#include "velta/utility/Error.h"

#include <optional>

ObjectiveNleAd::ObjectiveNleAd(std::string name) : ObjectiveNleAuto(std::move(name)) {
  VELTA_LOG(logVerbosity(), 1, "ObjectiveNleAd::ObjectiveNleAd", "Entered for " << this->name());
}

unsigned ObjectiveNleAd::size() const {
  const unsigned s = ObjectiveNleAuto::size();
  VELTA_ASSERT_AS(s == scaler_.size(), "s == scaler_.size()", "subprojects/core/src/ObjectiveNleAd",
                  __LINE__);
  return s;
}

unsigned ObjectiveNleAd::addUnknown(Value *p, const Scaler &s, const std::string &tag) {
  VELTA_LOG(logVerbosity(), 2, "ObjectiveNleAd::addUnknown",
            "Setting " << size() << "-th variable to " << tag << " with scaling " << s.modeName());
  scaler_.push_back(s);
  ObjectiveNleAuto::addUnknown(p, tag);
  return size();
}

void ObjectiveNleAd::setUnknown(unsigned i, Value *p, const Scaler &s, const std::string &tag) {
  ObjectiveNleAuto::setUnknown(i, p, tag);
  scaler_[i] = s;
}

void ObjectiveNleAd::addObjectiveFunction(const ObjectiveNleAd &other) {
  VELTA_LOG(logVerbosity(), 1, "ObjectiveNleAd::addObjectiveFunction", "Entered for " << name());
  const unsigned n = other.size();
  for (unsigned i = 0; i < n; ++i)
    addUnknown(other.unknown(i), Scaler(other.scaler_[i]),
               other.name() + "/" + other.unknownTag(i));
}

void ObjectiveNleAd::scalex(double *X) {
  VELTA_LOG(logVerbosity(), 1, "ObjectiveNleAd::scalex", "Entered");
  for (unsigned i = 0; i < scaler_.size(); ++i)
    X[i] = scaler_[i].X(X[i]);
}

void ObjectiveNleAd::prepare_(double *X, Jacobian *J) {
  VELTA_LOG(logVerbosity(), 1, "ObjectiveNleAd::prepare_",
            "Entered with size = " << scaler_.size());
  const unsigned n = size();
  if (J != nullptr) {
    StopWatch watch(assemblySeconds_);
    VELTA_LOG(logVerbosity(), 2, "ObjectiveNleAd::prepare_",
              "Setting " << n << " active variables");
    openDerivativeContext();
    // Lists of a dozen entries and more are folded where the model folds
    // them (a flowsheet, at the inlets of its units): shorter ones cost less
    // than the extra row of an intermediate.
    if (J->allowsIntermediates() && J->isSparse())
      currentDerivativeContext().enableFolding(12);
    for (unsigned i = 0; i < n; ++i) {
      VELTA_ASSERT(xp_[i] != nullptr);
      if (logEnabledAt(2)) {
        const std::optional<std::string> tag = quantityFullTag(xp_[i]);
        if (tag)
          VELTA_LOG(logVerbosity(), 2, "ObjectiveNleAd::prepare_",
                    "Activating unknown[" << i << "] " << *tag);
        else
          VELTA_LOG(logVerbosity(), 2, "ObjectiveNleAd::prepare_",
                    "Activating unknown[" << i << "]");
      }
      xp_[i]->activeValue().setActive(static_cast<int>(i));
    }
  }
  for (unsigned i = 0; i < n; ++i) {
    VELTA_ASSERT(xp_[i] != nullptr);
    xp_[i]->activeValue().value() = scaler_[i].x(X[i]);
    VELTA_LOG(logVerbosity(), 2, "ObjectiveNleAd::prepare_",
              "scaled " << i << "-th unknown = " << X[i] << " unscaled " << i
                        << "-th var = " << xp_[i]->activeValue().toString());
  }
  VELTA_LOG(logVerbosity(), 2, "ObjectiveNleAd::prepare_", "done");
}

void ObjectiveNleAd::packResults_(double *X, double *y, Jacobian *J) {
  VELTA_LOG(logVerbosity(), 1, "ObjectiveNleAd::packResults_", "Entered");
  copyResidualValues(y, "ObjectiveNleAd::packResults_");
  if (J == nullptr)
    return;
  StopWatch watch(assemblySeconds_);
  const unsigned n = size();
  VELTA_ASSERT_AS(n == static_cast<unsigned>(J->size()), "size() == J->size()",
                  "subprojects/core/src/ObjectiveNleAd", __LINE__);
  J->clear();
  std::vector<double> factors(n), columnSums(n);
  for (unsigned i = 0; i < n; ++i)
    factors[i] = scaler_[i].dx(X[i]);
  J->fillColumns(residuals, factors.data(), columnSums.data());
  if (!currentDerivativeContext().intermediates().empty())
    releaseIntermediates();
  // Written at every verbosity but the lowest: such a column makes the
  // matrix singular, which the solver reports later by its status code.
  for (unsigned i = 0; i < n; ++i) {
    if (columnSums[i] != 0.0)
      continue;
    const std::optional<std::string> tag = quantityFullTag(xp_[i]);
    if (tag)
      VELTA_LOG(verbosity() + ownVerbosity(), -2, "ObjectiveNleAd::packResults_",
                "In the Jacobian of " << name() << ", unknown " << i << " [" << *tag
                                      << "] has no effect on any equation: singularity");
    else
      VELTA_LOG(verbosity() + ownVerbosity(), -2, "ObjectiveNleAd::packResults_",
                "In the Jacobian of " << name() << ", unknown " << i
                                      << " has no effect on any equation: singularity");
  }
  closeDerivativeContext("ObjectiveNleAd::packResults_");
}

void ObjectiveNleAd::operator()(double *X, double *y, Jacobian *J) {
  VELTA_LOG(logVerbosity(), 1, "ObjectiveNleAd::operator ()", "Entered for " << name());
  VELTA_TRACE_BEGIN
  ScopeExit release([this] { releaseDerivativeContext(); });
  prepare_(X, J);
  calculateResiduals(residuals, 0);
  packResults_(X, y, J);
  VELTA_TRACE_END("ObjectiveNleAd::operator ()")
}

void ObjectiveNleAd::unscalex(double *X) {
  VELTA_LOG(logVerbosity(), 1, "ObjectiveNleAd::unscalex", "Entered");
  const unsigned n = size();
  for (unsigned i = 0; i < n; ++i)
    X[i] = scaler_[i].x(X[i]);
  DerivativeContextScope context(static_cast<int>(n));
  ScopeExit unseed([this] { inactivate(); });
  setValues(X);
  clearderivatives();
  calculateResiduals(residuals, 0);
}

ObjectiveNleAdVertex::ObjectiveNleAdVertex(std::string name) : ObjectiveNleAd(std::move(name)) {}

unsigned ObjectiveNleAdVertex::calculateResiduals(std::vector<Value> &y, unsigned start) {
  const unsigned n = size();
  VELTA_LOG(logVerbosity(), 1, "ObjectiveNleAdVertex::calculateResiduals",
            "Entered for " << name() << " with size = " << n);
  for (unsigned i = start; i < start + n; ++i) {
    VELTA_LOG(logVerbosity(), 2, "ObjectiveNleAdVertex::calculateResiduals",
              "copying the value of " << residuals[i - start] << " into " << i
                                      << "-th element = " << y[i]);
    y[i] = residuals[i - start];
  }
  VELTA_LOG(logVerbosity(), 2, "ObjectiveNleAdVertex::calculateResiduals", "done for " << name());
  return n;
}

void ObjectiveNleAdVertex::operator()(double *X, double *y, Jacobian *J) {
  VELTA_LOG(logVerbosity(), 1, "ObjectiveNleAdVertex::operator ()", "Entered for " << name());
  VELTA_TRACE_BEGIN
  ScopeExit release([this] { releaseDerivativeContext(); });
  prepare_(X, J);
  calculateResidualsLocal();
  ObjectiveNleAd::packResults_(X, y, J);
  VELTA_TRACE_END("ObjectiveNleAdVertex::operator ()")
}

void ObjectiveNleAdVertex::unscalex(double *X) {
  const unsigned n = size();
  for (unsigned i = 0; i < n; ++i)
    X[i] = scaler_[i].x(X[i]);
  DerivativeContextScope context(static_cast<int>(n));
  ScopeExit unseed([this] { inactivate(); });
  setValues(X);
  clearderivatives();
}

ObjectiveNleAdFlowsheet::ObjectiveNleAdFlowsheet(std::string name)
    : ObjectiveNleAdVertex(std::move(name)) {}

ObjectiveNleAdFlowsheet::~ObjectiveNleAdFlowsheet() {
  VELTA_LOG(logVerbosity(), 1, "ObjectiveNleAdFlowsheet::~ObjectiveNleAdFlowsheet", "Entered");
}
