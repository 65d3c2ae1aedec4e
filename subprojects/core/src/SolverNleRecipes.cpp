#include "velta/core/SolverNleRecipes.h"

#include "StopWatch.h"

#include "velta/core/NumericHelpers.h"
#include "velta/core/ObjectiveNleAd.h"
#include "velta/core/ObjectiveNleInterface.h"
#include "velta/core/QuantityTag.h"
#include "velta/utility/Error.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>

namespace {
constexpr const char *solveName = "SolverNleRecipes::solve";
constexpr const char *lnsrchName = "SolverNleRecipes::lnsrch_";
} // namespace

SolverNleRecipes::SolverNleRecipes(int n) { SolverNleRecipes::resize(n); }

SolverNleRecipes::~SolverNleRecipes() {
  VELTA_LOG(logVerbosity(), 1, "SolverNleRecipes::~SolverNleRecipes", "Entered");
  VELTA_LOG(logVerbosity(), 2, "SolverNleRecipes::~SolverNleRecipes", "Done");
}

void SolverNleRecipes::resize(int n) {
  SolverNleInterface::resize(n);
  VELTA_LOG(logVerbosity(), 2, "SolverNleRecipes::resize", "Set size = " << n);
  g_.assign(static_cast<std::size_t>(n_), 0.0);
  p_.assign(static_cast<std::size_t>(n_), 0.0);
  xold_.assign(static_cast<std::size_t>(n_), 0.0);
  rejected_.assign(static_cast<std::size_t>(n_), 0.0);
}

void SolverNleRecipes::setTolerances(double ALF, double TOLX, double TOLF, double TOLMIN) {
  if (ALF != 0.0)
    ALF_ = ALF;
  if (TOLX != 0.0)
    TOLX_ = TOLX;
  if (TOLF != 0.0)
    TOLF_ = TOLF;
  if (TOLMIN != 0.0)
    TOLMIN_ = TOLMIN;
}

double SolverNleRecipes::halfSumOfSquares(const double *F) const {
  double sum = 0.0;
  for (int i = 0; i < n_; ++i)
    sum += F[i] * F[i];
  return 0.5 * sum;
}

std::string SolverNleRecipes::statusText(int code) const {
  switch (code) {
  case convergedFine:
    return "converged fine";
  case exceededMaximumIterations:
    return "exceeded maximum iterations limit";
  case residualEvaluationError:
    return "error when evaluating the residuals";
  case Jacobian::sparseFactorisationFailed:
    return "sparse factorisation of the Newton matrix not obtained";
  case singularMatrixType1:
    return "singular matrix, type 1";
  case singularMatrixType2:
    return "singular matrix, type 2";
  case nanEncountered:
    return "NaN encountered";
  case noUsableDirection:
    return "line search without a usable direction: the Newton step is zero";
  case localMinimum:
    return "converged to a local minimum; try a different initial guess";
  case plateau:
    return "objective function insensitive (plateau)";
  case convergenceOnDeltaX:
    return "convergence on deltax; dubious convergence";
  default:
    return "unknown error code " + std::to_string(code);
  }
}

// Largest |F_i|; NaN when any F_i is NaN.
double SolverNleRecipes::maxAbsResidual() const {
  double largest = 0.0;
  for (int i = 0; i < n_; ++i) {
    if (std::isnan(F_[i]))
      return std::numeric_limits<double>::quiet_NaN();
    largest = std::max(largest, std::fabs(F_[i]));
  }
  return largest;
}

void SolverNleRecipes::unscale() { objective_->unscalex(x_.data()); }

void SolverNleRecipes::logProgress(double f) const {
  if (!Velta::Utility::logEnabled(logVerbosity(), -1))
    return;
  Velta::Utility::LogLine line(solveName, -1);
  line << iteration_ << " " << f;
  const auto *scaled = dynamic_cast<const ObjectiveNleAd *>(objective_);
  if (scaled == nullptr)
    return;
  const double largest = maxAbsResidual();
  line << " max residual: " << largest;
  // The index of the largest residual names an unknown of the same index.
  for (int d = 0; d < n_; ++d)
    if (std::fabs(F_[d]) == largest) {
      if (const std::optional<std::string> tag = quantityFullTag(scaled->unknown(d)))
        line << " in " << *tag;
      break;
    }
}

int SolverNleRecipes::solve() {
  iteration_ = 0;
  statistics_ = Statistics();
  objective_->scalex(x_.data());
  evaluate();

  double test = maxAbsResidual();
  if (std::isinf(test) || std::isnan(test)) {
    unscale();
    VELTA_LOG(logVerbosity(), 1, solveName, "(test == infinity()) || isnan(test)");
    return residualEvaluationError;
  }
  VELTA_LOG(logVerbosity(), 1, solveName,
            "test = " << test << " TOLF = " << TOLF_ << " 0.01*TOLF = " << 0.01 * TOLF_);
  if (test < 0.01 * TOLF_) {
    unscale();
    VELTA_LOG(logVerbosity(), 1, solveName, "test < 0.01*TOLF");
    if (n_ > 0)
      VELTA_LOG(logVerbosity(), 1, solveName, "F[0] = " << F_[0]);
    else
      VELTA_LOG(logVerbosity(), 1, solveName, "F[0] = (no unknowns)");
    VELTA_LOG(logVerbosity(), 1, solveName, "newton converged: test < 0.01*TOLF");
    return convergedFine;
  }

  double sum = 0.0;
  for (int i = 0; i < n_; ++i)
    sum += x_[i] * x_[i];
  const double stpmax = STPMX_ * std::max(std::sqrt(sum), static_cast<double>(n_));
  VELTA_LOG(logVerbosity(), 1, solveName, "Newton iterations beginning with stpmax = " << stpmax);
  VELTA_LOG(logVerbosity(), 0, solveName, "Newton iteration  SSQ  x");

  while (iteration_ < maxIterations_) {
    double f = calculateFJ();
    // Gradient of f: J^T F, in time proportional to the stored entries.
    J_.multiplyTransposed(F_.data(), g_.data());
    std::copy(x_.begin(), x_.end(), xold_.begin());
    for (int i = 0; i < n_; ++i)
      p_[i] = -F_[i];
    int r;
    {
      StopWatch watch(statistics_.factorisationSeconds);
      r = J_.solve(p_.data());
    }
    VELTA_LOG(logVerbosity(), 2, solveName, "backslash returned check = " << r);
    if (r != 0) {
      unscale();
      return r;
    }
    // Bring the model to the current iterate once per iteration.
    unscale();
    objective_->scalex(x_.data());
    logProgress(f);

    const double fStart = f;
    const int check = lnsrch_(f, f, stpmax);
    if (check == convergenceOnDeltaX)
      settleRejectedStep_(fStart, f);
    if (n_ > 0)
      VELTA_LOG(logVerbosity(), 2, solveName,
                "lnsrch_ returned x = " << x_[0] << " check = " << check);
    if (check == noUsableDirection)
      VELTA_LOG(logVerbosity(), 1, solveName, "Unknown direction");

    test = maxAbsResidual();
    VELTA_LOG(logVerbosity(), 2, solveName, "test = " << test << " TOLF = " << TOLF_);
    if (test < TOLF_) {
      unscale();
      VELTA_LOG(logVerbosity(), 1, solveName, "newton converged: test < TOLF");
      return convergedFine;
    }
    if (check != 0) {
      const double den = std::max(0.5 * n_, f);
      test = 0.0;
      for (int i = 0; i < n_; ++i)
        test = std::max(test, std::fabs(g_[i]) * std::max(std::fabs(x_[i]), 1.0) / den);
      const int result = test < TOLMIN_ ? localMinimum : check;
      VELTA_LOG(logVerbosity(), 1, solveName, "lnsrch step check != 0; test < TOLMIN ? " << result);
      unscale();
      return result;
    }
    test = 0.0;
    for (int i = 0; i < n_; ++i)
      test = std::max(test, std::fabs(x_[i] - xold_[i]) / std::max(std::fabs(x_[i]), 1.0));
    if (test < TOLX_) {
      unscale();
      VELTA_LOG(logVerbosity(), 1, solveName, "newton converged: test < TOLX");
      return convergedFine;
    }
    ++iteration_;
    ++statistics_.iterations;
  }
  VELTA_LOG(logVerbosity(), 1, solveName, "newton reached MAXITS");
  unscale();
  return exceededMaximumIterations;
}

void SolverNleRecipes::settleRejectedStep_(double fStart, double &f) {
  // The line search restored xold but left F and f at the rejected trial
  // point. Whatever the solve tests next must be the residuals of the point
  // it hands back: the trial when it lowers the merit function (a step this
  // short is the last one of a converging iteration), else xold again.
  if (f < fStart) {
    std::copy(rejected_.begin(), rejected_.end(), x_.begin());
    VELTA_LOG(logVerbosity(), 2, solveName, "step below TOLX lowers f, taken: f = " << f);
    return;
  }
  f = evaluate();
  VELTA_LOG(logVerbosity(), 2, solveName, "step below TOLX rejected: f = " << f);
}

double SolverNleRecipes::evaluateTrial_() {
  // A trial point outside the domain of a model (a temperature at or below
  // zero, a negative flow) is refused by the model with an error: for the
  // search it is a trial whose merit cannot be evaluated, like a NaN.
  try {
    return evaluate();
  } catch (const Error &e) {
    VELTA_LOG(logVerbosity(), 2, lnsrchName, "Trial point refused: " << e.message());
    return std::numeric_limits<double>::infinity();
  }
}

int SolverNleRecipes::lnsrch_(double fold, double &f, double stpmax) {
  double norm = 0.0;
  for (int i = 0; i < n_; ++i)
    norm += p_[i] * p_[i];
  norm = std::sqrt(norm);
  if (norm > stpmax)
    for (int i = 0; i < n_; ++i)
      p_[i] *= stpmax / norm;

  double slope = 0.0;
  for (int i = 0; i < n_; ++i)
    slope += g_[i] * p_[i];
  if (slope >= 0.0 || n_ == 0)
    VELTA_LOG(logVerbosity(), 2, lnsrchName, "Caution positive or zero slope = " << slope);
  if (n_ < 1)
    return noUsableDirection;

  double test = 0.0;
  for (int i = 0; i < n_; ++i) {
    const double ratio = std::fabs(p_[i]) / std::max(std::fabs(xold_[i]), 1.0);
    if (!std::isnan(ratio))
      test = std::max(test, ratio);
  }
  if (test == 0.0)
    return noUsableDirection;

  const double alamin = TOLX_ / test;
  double alam = 1.0, alam2 = 0.0, f2 = 0.0;
  for (;;) {
    for (int i = 0; i < n_; ++i) {
      x_[i] = xold_[i] + alam * p_[i];
      VELTA_LOG(logVerbosity(), 3, lnsrchName,
                "x = " << x_[i] << " xold = " << xold_[i] << " lambda = " << alam
                       << " p = " << p_[i]);
    }
    f = evaluateTrial_();
    VELTA_LOG(logVerbosity(), 2, lnsrchName,
              "f = " << f << " fold+ALF*alam*slope = " << ALF_ * alam * slope + fold
                     << " fold = " << fold << " ALF = " << ALF_ << " alam = " << alam
                     << " slope = " << slope);
    // A trial where the residuals cannot be evaluated (an infinite or NaN
    // merit) tells nothing about the direction: shorten the step and try
    // again, down to the same smallest step as any other trial.
    if (!std::isfinite(f)) {
      VELTA_LOG(logVerbosity(), 2, lnsrchName, "Merit function not finite, shortening the step");
      alam *= 0.1;
      if (alam < alamin) {
        // Back at the start, with its residuals: the caller judges the point
        // it is left at, not an unevaluable trial.
        std::copy(xold_.begin(), xold_.end(), x_.begin());
        f = evaluate();
        return convergenceOnDeltaX;
      }
      continue;
    }
    if (nearlyEqual(fold, fold, TOLF_) && nearlyEqual(f, fold, TOLF_)) {
      VELTA_LOG(logVerbosity(), 2, lnsrchName,
                "No change, we are on a plateau, trust descent Direction");
      return plateau;
    }
    if (alam < alamin) {
      VELTA_LOG(logVerbosity(), 2, lnsrchName,
                "Convergence on deltax. For zero finding, the calling program should verify "
                "the convergence.");
      VELTA_LOG(logVerbosity(), 2, lnsrchName,
                "TOLX = " << TOLX_ << " alamin = " << alamin << " alam = " << alam
                          << " test = " << test);
      std::copy(x_.begin(), x_.end(), rejected_.begin());
      std::copy(xold_.begin(), xold_.end(), x_.begin());
      return convergenceOnDeltaX;
    }
    if (f <= fold + std::max(ALF_ * alam * slope, 0.0))
      return 0;

    double tmplam;
    if (alam2 == 0.0) {
      // No earlier finite trial: the quadratic through fold, slope and f.
      tmplam = -slope * alam * alam / (2.0 * (f - fold - slope * alam));
    } else {
      const double rhs1 = f - fold - alam * slope;
      const double rhs2 = f2 - fold - alam2 * slope;
      const double a = (rhs1 / (alam * alam) - rhs2 / (alam2 * alam2)) / (alam - alam2);
      const double b =
          (-alam2 * rhs1 / (alam * alam) + alam * rhs2 / (alam2 * alam2)) / (alam - alam2);
      if (a == 0.0) {
        tmplam = -slope / (2.0 * b);
      } else {
        const double disc = b * b - 3.0 * a * slope;
        if (disc < 0.0)
          tmplam = 0.5 * alam;
        else if (b <= 0.0)
          tmplam = (-b + std::sqrt(disc)) / (3.0 * a);
        else
          tmplam = -slope / (b + std::sqrt(disc));
      }
      if (tmplam > 0.5 * alam)
        tmplam = 0.5 * alam;
    }
    // The acceptance and plateau tests keep comparing with the merit value at
    // the start of the search: comparing with the previous (rejected) trial
    // would accept steps that increase f and let the iteration climb away
    // from a minimum of the merit function.
    f2 = f;
    alam2 = alam;
    alam = (std::isnan(tmplam) || tmplam >= 0.1 * alam) ? tmplam : 0.1 * alam;
    VELTA_LOG(logVerbosity(), 2, lnsrchName, "Lambda = " << alam);
    if (std::isnan(alam))
      return nanEncountered;
  }
}

SolverNleRecipesAutomatic::SolverNleRecipesAutomatic(int n, ObjectiveNleInterface *objective)
    : SolverNleInterface(objective), SolverNleRecipes(n) {
  resize(n);
}

SolverNleRecipesNumeric::SolverNleRecipesNumeric(int n, ObjectiveNleInterface *objective)
    : SolverNleInterface(objective), SolverNleRecipes(n) {
  resize(n);
}

void SolverNleRecipesNumeric::resize(int n) {
  VELTA_LOG(logVerbosity(), 2, "SolverNleRecipesNumeric::resize", "Set size = " << n);
  SolverNleRecipes::resize(n);
  Numeric::resize(n);
}
