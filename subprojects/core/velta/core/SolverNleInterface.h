#pragma once
// Base of the non-linear equation solvers: the solver's copy of the unknowns
// x, the residuals F and the Newton-step matrix J, a pointer to the system
// being solved, and the operations a concrete solver combines. Two mix-ins
// say where the Jacobian comes from: Automatic asks the objective for it
// (automatic differentiation), Numeric builds it by forward differences.

#include "velta/core/Jacobian.h"
#include "velta/utility/Diagnostic.h"

#include <string>
#include <vector>

class ObjectiveNleInterface;

class SolverNleInterface : public Diagnostic {
public:
  // Counters and wall-clock times of one solve, reset at its start. The
  // times split a solve into the residual evaluations (values only), the
  // Jacobian evaluations (residuals with derivatives and the matrix) and the
  // factorisations with their triangular solves.
  struct Statistics {
    int residualEvaluations = 0;
    int iterations = 0;
    int automaticJacobians = 0;
    int numericJacobians = 0;
    double residualSeconds = 0.0;
    double jacobianSeconds = 0.0;
    double factorisationSeconds = 0.0;
  };

  explicit SolverNleInterface(ObjectiveNleInterface *objective = nullptr);
  ~SolverNleInterface() override;
  SolverNleInterface(const SolverNleInterface &) = delete;
  SolverNleInterface &operator=(const SolverNleInterface &) = delete;

  // Sizes x, F and J for n unknowns; nothing happens when n is the size.
  virtual void resize(int n);
  // Each argument that is not exactly 0 replaces its tolerance.
  virtual void setTolerances(double ALF, double TOLX, double TOLF, double TOLMIN) = 0;
  // 0.5 * sum of F_i^2 over the n residuals.
  virtual double halfSumOfSquares(const double *F) const = 0;
  // F at x; returns the merit value.
  virtual double evaluate() = 0;
  // F and J at x; returns the merit value.
  virtual double calculateFJ() = 0;
  // Solves the system from x; returns a status code. x holds model values on
  // entry and on return.
  virtual int solve() = 0;
  virtual std::string statusText(int code) const = 0;
  // Diagnostic re-evaluation of the residuals at the current state.
  virtual void verifySolution() = 0;

  void setMaxIterations(int m) { maxIterations_ = m; }
  int maxIterations() const { return maxIterations_; }
  // Factor of the maximum Newton step.
  void setStepMax(double s) { STPMX_ = s; }
  double stepMax() const { return STPMX_; }
  // True when the residuals left by the last evaluation have a merit value
  // above 0.001, or one that is NaN or infinite.
  bool notConverged() const;

  int size() const { return n_; }
  double *x() { return x_.data(); }
  const double *x() const { return x_.data(); }
  const double *F() const { return F_.data(); }
  Jacobian &jacobian() { return J_; }
  ObjectiveNleInterface *objective() const { return objective_; }
  // Newton iterations of the last solve that did not end it.
  int iterations() const { return iteration_; }
  const Statistics &statistics() const { return statistics_; }

  void setOwnVerbosity(int verbosity) { ownVerbosity_ = verbosity; }
  int ownVerbosity() const { return ownVerbosity_; }

protected:
  // Local verbosity for the log macros: a line of level L is written when
  // verbosityGlobal + verbosity() + ownVerbosity() - 3 > L.
  int logVerbosity() const { return verbosity() + ownVerbosity_ - 2; }
  // Logs every residual and the first largest one (verifySolution).
  void logResiduals(const char *function) const;

  int n_ = 0;
  ObjectiveNleInterface *objective_;
  int maxIterations_ = 200;
  int ownVerbosity_ = 0;
  Statistics statistics_;
  double STPMX_ = 0.5;
  int iteration_ = 0;
  std::vector<double> F_;
  std::vector<double> x_;
  Jacobian J_;
};

// Jacobians by automatic differentiation, from the objective.
class Automatic : public virtual SolverNleInterface {
public:
  double evaluate() override;
  double calculateFJ() override;
  void verifySolution() override;
};

// Jacobians by forward finite differences, one residual evaluation per unknown.
class Numeric : public virtual SolverNleInterface {
public:
  ~Numeric() override;
  void resize(int n) override;
  double evaluate() override;
  double calculateFJ() override;
  void verifySolution() override;

private:
  std::vector<double> perturbed_; // residuals at the perturbed point
};
