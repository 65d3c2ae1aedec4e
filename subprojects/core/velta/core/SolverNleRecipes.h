#pragma once
// Globally convergent Newton method: full Newton steps from the Jacobian,
// limited to a maximum length and shortened by a backtracking line search on
// the merit function f = 0.5 * sum F_i^2. Iterates on scaled unknowns and
// always hands the model back unscaled values. Combined with a Jacobian
// source into SolverNleRecipesAutomatic or SolverNleRecipesNumeric.

#include "velta/core/SolverNleInterface.h"

#include <string>
#include <vector>

class SolverNleRecipes : public virtual SolverNleInterface {
public:
  // Status codes of solve() (codes 1, 6 and 7 come from Jacobian::solve).
  static constexpr int convergedFine = 0;
  static constexpr int exceededMaximumIterations = 2;
  static constexpr int residualEvaluationError = 3;
  static constexpr int singularMatrixType1 = 6;
  static constexpr int singularMatrixType2 = 7;
  static constexpr int nanEncountered = 8;
  static constexpr int noUsableDirection = 9;
  static constexpr int localMinimum = -1;
  static constexpr int plateau = -4;
  static constexpr int convergenceOnDeltaX = -5;

  explicit SolverNleRecipes(int n);
  ~SolverNleRecipes() override;

  void resize(int n) override;
  void setTolerances(double ALF, double TOLX, double TOLF, double TOLMIN) override;
  double halfSumOfSquares(const double *F) const override;
  int solve() override;
  std::string statusText(int code) const override;

  double ALF() const { return ALF_; }
  double TOLX() const { return TOLX_; }
  double TOLF() const { return TOLF_; }
  double TOLMIN() const { return TOLMIN_; }

protected:
  // Backtracking along p from xold; f receives the new merit value.
  int lnsrch_(double fold, double &f, double stpmax);

private:
  double maxAbsResidual() const;
  void unscale();
  void logProgress(double f) const;
  // After the line search rejected a step below TOLX: takes the rejected
  // point when its merit f is below fStart (the merit at xold), else
  // evaluates F and f at xold again, so that F belongs to x either way.
  void settleRejectedStep_(double fStart, double &f);
  // The merit at a trial point of the line search; infinite where a model
  // refuses the point with an error.
  double evaluateTrial_();

  double ALF_ = 1e-4;
  double TOLX_ = 1e-8;
  double TOLF_ = 1e-5;
  double TOLMIN_ = 1e-6;
  std::vector<double> g_;    // gradient J^T F of the merit function
  std::vector<double> p_;    // Newton step
  std::vector<double> xold_; // x at the start of the iteration
  std::vector<double> rejected_; // the trial point the step-tolerance test rejected
};

class SolverNleRecipesAutomatic : public SolverNleRecipes, public Automatic {
public:
  SolverNleRecipesAutomatic(int n, ObjectiveNleInterface *objective);
};

class SolverNleRecipesNumeric : public SolverNleRecipes, public Numeric {
public:
  SolverNleRecipesNumeric(int n, ObjectiveNleInterface *objective);
  void resize(int n) override;
};
