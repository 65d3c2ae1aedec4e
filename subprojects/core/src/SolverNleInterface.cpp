#include "velta/core/SolverNleInterface.h"

#include "ScopeExit.h"
#include "StopWatch.h"
#include "velta/core/ObjectiveNleAd.h"
#include "velta/core/ObjectiveNleInterface.h"

#include <algorithm>
#include <cmath>

SolverNleInterface::SolverNleInterface(ObjectiveNleInterface *objective) : objective_(objective) {}

SolverNleInterface::~SolverNleInterface() {
  VELTA_LOG(logVerbosity(), 1, "SolverNleInterface::~SolverNleInterface", "Entered");
  VELTA_LOG(logVerbosity(), 2, "SolverNleInterface::~SolverNleInterface", "Done");
}

void SolverNleInterface::resize(int n) {
  n = std::max(n, 0); // a negative size means no unknowns
  if (n == n_)
    return;
  n_ = n;
  VELTA_LOG(logVerbosity(), 2, "SolverNleInterface::resize", "Set size = " << n);
  F_.assign(static_cast<std::size_t>(n), 0.0);
  x_.assign(static_cast<std::size_t>(n), 0.0);
  J_.resize(static_cast<unsigned>(n));
}

bool SolverNleInterface::notConverged() const {
  const double f = halfSumOfSquares(F_.data());
  return f > 0.001 || std::isnan(f) || std::isinf(f);
}

void SolverNleInterface::logResiduals(const char *function) const {
  // These lines follow the plain rule: verbosityGlobal + verbosity() > L.
  const int local = verbosity() + 1;
  if (!Velta::Utility::logEnabled(local, 2))
    return;
  double largest = -1.0;
  int at = 0;
  for (int i = 0; i < n_; ++i) {
    VELTA_LOG(local, 2, function, "F_[" << i << "] = " << F_[i]);
    if (std::fabs(F_[i]) > largest) {
      largest = std::fabs(F_[i]);
      at = i;
    }
  }
  VELTA_LOG(local, 2, function, at << "-th residual is max = " << largest);
}

double Automatic::evaluate() {
  StopWatch watch(statistics_.residualSeconds);
  (*objective_)(x_.data(), F_.data(), nullptr);
  ++statistics_.residualEvaluations;
  return halfSumOfSquares(F_.data());
}

double Automatic::calculateFJ() {
  StopWatch watch(statistics_.jacobianSeconds);
  (*objective_)(x_.data(), F_.data(), &J_);
  ++statistics_.automaticJacobians;
  return halfSumOfSquares(F_.data());
}

void Automatic::verifySolution() {
  const int local = verbosity() + 1;
  VELTA_LOG(local, 1, "Automatic::verifySolution", "Entered with size = " << n_);
  if (auto *scaled = dynamic_cast<ObjectiveNleAd *>(objective_)) {
    VELTA_LOG(local, 1, "Automatic::verifySolution", "f.size = " << scaled->size());
    scaled->init(x_.data());
  }
  objective_->scalex(x_.data());
  (*objective_)(x_.data(), F_.data(), &J_);
  objective_->unscalex(x_.data());
  logResiduals("Automatic::verifySolution");
}

Numeric::~Numeric() {
  VELTA_LOG(logVerbosity(), 1, "Numeric::~Numeric", "Entered");
  VELTA_LOG(logVerbosity(), 2, "Numeric::~Numeric", "Done");
}

void Numeric::resize(int n) {
  SolverNleInterface::resize(n);
  VELTA_LOG(logVerbosity(), 2, "Numeric::resize", "Set size = " << n);
  perturbed_.assign(static_cast<std::size_t>(n_), 0.0);
}

double Numeric::evaluate() {
  StopWatch watch(statistics_.residualSeconds);
  (*objective_)(x_.data(), F_.data(), nullptr);
  ++statistics_.residualEvaluations;
  return halfSumOfSquares(F_.data());
}

double Numeric::calculateFJ() {
  StopWatch watch(statistics_.jacobianSeconds);
  VELTA_LOG(logVerbosity(), 3, "Numeric::calculateFJ",
            "calculating reference base case, n_ = " << n_);
  (*objective_)(x_.data(), F_.data(), nullptr);
  for (int i = 0; i < n_; ++i) {
    const double xOld = x_[i];
    ScopeExit restore([this, i, xOld] { x_[i] = xOld; }); // also when the objective throws
    x_[i] = (xOld + 1e-4) * 1.0001;
    // Near x = -(1 + 1e-4), the fixed point of the rule above, the step
    // vanishes; a step relative to the value avoids dividing by (nearly) 0.
    if (!(std::fabs(x_[i] - xOld) >= 1e-6 * std::max(1.0, std::fabs(xOld))))
      x_[i] = xOld + 1e-4 * std::max(1.0, std::fabs(xOld));
    VELTA_LOG(logVerbosity(), 3, "Numeric::calculateFJ",
              "Perturbing " << i << "-th variable from " << xOld << " to " << x_[i]);
    (*objective_)(x_.data(), perturbed_.data(), nullptr);
    const double step = x_[i] - xOld;
    for (int j = 0; j < n_; ++j) {
      const double entry = J_.set(j, i, (perturbed_[j] - F_[j]) / step);
      VELTA_LOG(logVerbosity(), 2, "Numeric::calculateFJ",
                "Derivative d y[" << j << "] / d x[" << i << "] = " << entry);
    }
  }
  ++statistics_.numericJacobians;
  return halfSumOfSquares(F_.data());
}

void Numeric::verifySolution() {
  VELTA_LOG(verbosity() + 1, 1, "Numeric::verifySolution", "Entered");
  objective_->scalex(x_.data());
  (*objective_)(x_.data(), F_.data(), nullptr);
  objective_->unscalex(x_.data());
  logResiduals("Numeric::verifySolution");
}
