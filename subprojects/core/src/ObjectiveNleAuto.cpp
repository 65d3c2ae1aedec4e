#include "velta/core/ObjectiveNleAuto.h"

#include "ScopeExit.h"
#include "velta/core/Jacobian.h"
#include "velta/core/QuantityTag.h"
#include "velta/utility/Assert.h"
#include "velta/utility/Error.h"

#include <optional>
#include <string>
#include <vector>

DerivativeContextScope::DerivativeContextScope(int n) { pushDerivativeContext(n); }

DerivativeContextScope::~DerivativeContextScope() { popDerivativeContext(); }

ObjectiveNleAuto::ObjectiveNleAuto(std::string name) : name_(std::move(name)) {
  VELTA_LOG(logVerbosity(), 1, "ObjectiveNleAuto::ObjectiveNleAuto", "Entered for " << name_);
}

unsigned ObjectiveNleAuto::size() const {
  VELTA_ASSERT_AS(xp_.size() == residuals.size(), "xp_.size() == residuals.size()",
                  "subprojects/core/src/ObjectiveNleAuto", __LINE__);
  return static_cast<unsigned>(xp_.size());
}

void ObjectiveNleAuto::addUnknown(Value *p, const std::string &tag) {
  residuals.emplace_back();
  xp_.push_back(p);
  tags_.push_back(tag);
}

void ObjectiveNleAuto::setUnknown(unsigned i, Value *p, const std::string &tag) {
  xp_[i] = p;
  if (&tag != &tags_[i])
    tags_[i] = tag;
}

void ObjectiveNleAuto::setUnknownValue(unsigned i, const Value &v) { xp_[i]->set(v); }

void ObjectiveNleAuto::appendToName(const std::string &s) { name_ += "/" + s; }

bool ObjectiveNleAuto::init(double *x) const {
  bool missing = false;
  for (unsigned i = 0; i < xp_.size(); ++i) {
    if (xp_[i] == nullptr) {
      missing = true;
      VELTA_LOG(logVerbosity(), 2, "ObjectiveNleAuto::init",
                "Impossible to init unknown[" << i << "] " << tags_[i]);
      continue;
    }
    x[i] = xp_[i]->value();
    VELTA_LOG(logVerbosity(), 2, "ObjectiveNleAuto::init",
              "Initting unknown[" << i << "] " << tags_[i] << " = " << x[i]);
  }
  return missing;
}

void ObjectiveNleAuto::clearderivatives() {
  VELTA_LOG(logVerbosity(), 1, "ObjectiveNleAuto::clearderivatives", "Entered");
  for (Value *p : xp_) {
    VELTA_ASSERT(p != nullptr);
    p->activeValue().clearDerivatives();
  }
}

void ObjectiveNleAuto::inactivate() {
  VELTA_LOG(logVerbosity(), 1, "ObjectiveNleAuto::inactivate", "Entered");
  for (unsigned i = 0; i < xp_.size(); ++i)
    if (xp_[i] != nullptr)
      xp_[i]->activeValue().setInactive(static_cast<int>(i));
}

void ObjectiveNleAuto::setValues(const double *x) {
  for (unsigned i = 0; i < xp_.size(); ++i) {
    VELTA_ASSERT(xp_[i] != nullptr);
    xp_[i]->activeValue() = x[i];
  }
}

unsigned ObjectiveNleAuto::zero_residuals(std::vector<Value> &y, unsigned start) {
  const unsigned n = size();
  for (unsigned i = 0; i < n; ++i) {
    // Zero plus the derivative part of the unknown: dimensionless 0 with the
    // unknown's derivatives, assigned with the unit check.
    y[start + i] = Value(xp_[i]->activeValue().derivativePart(), dimensionless);
    VELTA_LOG(logVerbosity(), 2, "ObjectiveNleAuto::zero_residuals",
              "xp_[" << i << "] = " << xp_[i]->activeValue().toString());
    VELTA_LOG(logVerbosity(), 2, "ObjectiveNleAuto::zero_residuals",
              "y[" << i << "] = " << y[start + i].activeValue().toString());
  }
  VELTA_LOG(logVerbosity(), 2, "ObjectiveNleAuto::zero_residuals", "Done");
  return n;
}

void ObjectiveNleAuto::operator()(double *x, double *y, Jacobian *J) {
  VELTA_LOG(logVerbosity(), 1, "ObjectiveNleAuto::operator ()", "Entered for " << name_);
  VELTA_TRACE_BEGIN
  // On an error between prepare_ and packResults_ the seeds and the context
  // are released here, so that the context stack stays balanced.
  ScopeExit release([this] { releaseDerivativeContext(); });
  prepare_(x, J);
  calculateResiduals(residuals, 0);
  packResults_(x, y, J);
  VELTA_TRACE_END("ObjectiveNleAuto::operator ()")
}

void ObjectiveNleAuto::openDerivativeContext() {
  pushDerivativeContext(static_cast<int>(size()));
  contextPushed_ = true;
  // A model that overwrites one of these unknowns is told which, and in
  // which system: the quantity's full tag names the unit that holds it.
  currentDerivativeContext().setUnknownNamer([this](int i) {
    const auto k = static_cast<unsigned>(i);
    const std::optional<std::string> tag = quantityFullTag(xp_[k]);
    return "the unknown " + (tag ? *tag : unknownTag(k)) + " of the equation system " + name();
  });
}

void ObjectiveNleAuto::closeDerivativeContext(const char *function) {
  inactivate();
  VELTA_LOG(logVerbosity(), 2, function, "Unsetting " << size() << " active variables");
  contextPushed_ = false;
  popDerivativeContext();
}

void ObjectiveNleAuto::releaseDerivativeContext() {
  if (!contextPushed_)
    return;
  contextPushed_ = false;
  inactivate();
  popDerivativeContext();
}

void ObjectiveNleAuto::prepare_(double *x, Jacobian *J) {
  const unsigned n = size();
  VELTA_LOG(logVerbosity(), 1, "ObjectiveNleAuto::prepare_", "Entered with size = " << n);
  if (J != nullptr) {
    VELTA_LOG(logVerbosity(), 2, "ObjectiveNleAuto::prepare_",
              "Setting " << n << " active variables");
    openDerivativeContext();
    for (unsigned i = 0; i < n; ++i) {
      VELTA_ASSERT(xp_[i] != nullptr);
      VELTA_LOG(logVerbosity(), 2, "ObjectiveNleAuto::prepare_",
                "Activating unknown[" << i << "] " << tags_[i]);
      xp_[i]->activeValue().setActive(static_cast<int>(i));
    }
  }
  for (unsigned i = 0; i < n; ++i) {
    VELTA_ASSERT(xp_[i] != nullptr);
    xp_[i]->activeValue().value() = x[i];
    VELTA_LOG(logVerbosity(), 2, "ObjectiveNleAuto::prepare_",
              "unknown[" << i << "] " << tags_[i] << " = " << xp_[i]->activeValue().toString());
  }
  VELTA_LOG(logVerbosity(), 2, "ObjectiveNleAuto::prepare_", "done");
}

void ObjectiveNleAuto::copyResidualValues(double *y, const char *function) const {
  for (unsigned i = 0; i < residuals.size(); ++i) {
    VELTA_LOG(logVerbosity(), 2, function,
              "y[" << i << "] = " << residuals[i].activeValue().toString());
    y[i] = residuals[i].value();
  }
}

void ObjectiveNleAuto::packResults_(double *x, double *y, Jacobian *J) {
  (void)x;
  VELTA_LOG(logVerbosity(), 1, "ObjectiveNleAuto::packResults_", "Entered");
  copyResidualValues(y, "ObjectiveNleAuto::packResults_");
  if (J == nullptr)
    return;
  const unsigned n = size();
  VELTA_ASSERT_AS(n == static_cast<unsigned>(J->size()), "size() == J->size()",
                  "subprojects/core/src/ObjectiveNleAuto", __LINE__);
  J->clear();
  std::vector<double> columnSums(n);
  J->fillColumns(residuals, nullptr, columnSums.data());
  for (unsigned i = 0; i < n; ++i)
    if (columnSums[i] == 0.0)
      VELTA_LOG(logVerbosity(), -1, "ObjectiveNleAuto::packResults_",
                "Variable " << i << " has no effect on any equation: singularity");
  closeDerivativeContext("ObjectiveNleAuto::packResults_");
}

void ObjectiveNleAuto::unscalex(double *x) {
  VELTA_LOG(logVerbosity(), 1, "ObjectiveNleAuto::unscalex", "Entered");
  DerivativeContextScope context(static_cast<int>(size()));
  ScopeExit unseed([this] { inactivate(); });
  setValues(x);
  clearderivatives();
  calculateResiduals(residuals, 0);
}
