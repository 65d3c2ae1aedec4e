#include "TestSystem.h"

#include "velta/core/SolverNleRecipes.h"
#include "velta/utility/Error.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <memory>
#include <string>
#include <utility>
#include <vector>

using Mode = Velta::Utility::ScalingMode;

namespace {

const double notANumber = std::numeric_limits<double>::quiet_NaN();

// x0^2 + x1^2 = 4 and x0 = x1: the solution is x0 = x1 = sqrt(2).
void circleAndDiagonal(const TestSystem::Unknowns &x, std::vector<Value> &y, unsigned start) {
  y[start] = x[0] * x[0] + x[1] * x[1] - 4.0;
  y[start + 1] = x[0] - x[1];
}

// Exact solution of u'' + exp(u) = 0, u(0) = u(1) = 0:
// u = -2 ln(cosh((t - 1/2) theta / 2) / cosh(theta / 4)), theta = sqrt(2) cosh(theta / 4).
double bratuExact(double t) {
  const double theta = 1.5171645990507543;
  return -2.0 * std::log(std::cosh((t - 0.5) * theta / 2) / std::cosh(theta / 4));
}

struct StatusCase {
  const char *name;
  std::function<std::unique_ptr<TestSystem>()> make;
  int maxIterations;
  int code;
  const char *text;
  // Checks of the solved system and solver; empty for none.
  std::function<void(const TestSystem &, const SolverNleRecipesAutomatic &)> check;
};

std::ostream &operator<<(std::ostream &os, const StatusCase &c) { return os << c.name; }

class SolverStatus : public testing::TestWithParam<StatusCase> {};

} // namespace

// Every solve leaves the derivative-context stack as it found it, and the
// model and the solver's x hold the same (unscaled) values.
TEST_P(SolverStatus, CodeTextAndState) {
  const StatusCase &c = GetParam();
  std::unique_ptr<TestSystem> system = c.make();
  SolverNleRecipesAutomatic solver(static_cast<int>(system->size()), system.get());
  solver.setMaxIterations(c.maxIterations);
  system->init(solver.x());
  const int depth = derivativeContextDepth();
  const int code = solver.solve();
  EXPECT_EQ(code, c.code);
  EXPECT_EQ(solver.statusText(code), c.text);
  EXPECT_EQ(derivativeContextDepth(), depth);
  for (unsigned i = 0; i < system->size(); ++i) {
    EXPECT_EQ(system->values[i].value(), solver.x()[i]) << i;
    EXPECT_FALSE(system->values[i].activeValue().isActive()) << i;
  }
  if (c.check)
    c.check(*system, solver);
}

INSTANTIATE_TEST_SUITE_P(
    Table, SolverStatus,
    testing::Values(
        StatusCase{"ScaledTwoUnknowns",
                   [] {
                     return std::make_unique<TestSystem>("circle", std::vector<double>{1.0, 3.0},
                                                         circleAndDiagonal,
                                                         Scaler(Mode::linear, 0, 10, 0, 1));
                   },
                   200, 0, "converged fine",
                   [](const TestSystem &s, const SolverNleRecipesAutomatic &solver) {
                     EXPECT_NEAR(s.values[0].value(), std::sqrt(2.0), 1e-6);
                     EXPECT_NEAR(s.values[1].value(), std::sqrt(2.0), 1e-6);
                     EXPECT_GT(solver.statistics().automaticJacobians, 1);
                     EXPECT_FALSE(solver.notConverged());
                   }},
        // 150 unknowns: sparse Jacobian, sparse derivatives, CSparse LU. The
        // discrete solution is within O(h^2) of the exact one.
        StatusCase{"SparseBratu150",
                   [] {
                     return std::make_unique<TestSystem>("bratu", std::vector<double>(150, 0.0),
                                                         bratuResiduals,
                                                         Scaler(Mode::linear, 0, 1, 0, 10));
                   },
                   200, 0, "converged fine",
                   [](const TestSystem &s, const SolverNleRecipesAutomatic &solver) {
                     EXPECT_TRUE(const_cast<SolverNleRecipesAutomatic &>(solver).jacobian().isSparse());
                     for (int i : {0, 37, 74, 149})
                       EXPECT_NEAR(s.values[i].value(), bratuExact((i + 1) / 151.0), 2e-5) << i;
                     EXPECT_LE(solver.iterations(), 6);
                   }},
        // x1 enters no equation: zero column.
        StatusCase{"ZeroColumn",
                   [] {
                     return std::make_unique<TestSystem>(
                         "zero", std::vector<double>{3.0, 1.0},
                         [](const TestSystem::Unknowns &x, std::vector<Value> &y, unsigned start) {
                           y[start] = x[0] - 1.0;
                           y[start + 1] = x[0] + 1.0;
                         });
                   },
                   200, 6, "singular matrix, type 1", nullptr},
        StatusCase{"NoIterationsAllowed",
                   [] {
                     return std::make_unique<TestSystem>("circle", std::vector<double>{1.0, 3.0},
                                                         circleAndDiagonal,
                                                         Scaler(Mode::linear, 0, 10, 0, 1));
                   },
                   0, 2, "exceeded maximum iterations limit",
                   [](const TestSystem &s, const SolverNleRecipesAutomatic &solver) {
                     EXPECT_DOUBLE_EQ(s.values[0].value(), 1.0);
                     EXPECT_DOUBLE_EQ(s.values[1].value(), 3.0);
                     EXPECT_EQ(solver.iterations(), 0);
                   }},
        StatusCase{"NanResidualAtStart",
                   [] {
                     return std::make_unique<TestSystem>(
                         "nan", std::vector<double>{1.0, 2.0},
                         [](const TestSystem::Unknowns &x, std::vector<Value> &y, unsigned start) {
                           y[start] = x[0] * notANumber;
                           y[start + 1] = x[1] - 2.0;
                         });
                   },
                   200, 3, "error when evaluating the residuals",
                   [](const TestSystem &s, const SolverNleRecipesAutomatic &solver) {
                     EXPECT_DOUBLE_EQ(s.values[0].value(), 1.0);
                     EXPECT_TRUE(solver.notConverged());
                     EXPECT_EQ(solver.statistics().automaticJacobians, 0);
                   }},
        // 2 x0 + x1 = 5, x0 - x1 = 1: solution (2, 1) after one full step
        // (step length |(0.5, 0.5)| below stpmax = 0.5 max(|x|, n) = 1).
        StatusCase{"LinearInOneIteration",
                   [] {
                     return std::make_unique<TestSystem>(
                         "linear", std::vector<double>{1.5, 0.5},
                         [](const TestSystem::Unknowns &x, std::vector<Value> &y, unsigned start) {
                           y[start] = 2.0 * x[0] + x[1] - 5.0;
                           y[start + 1] = x[0] - x[1] - 1.0;
                         });
                   },
                   200, 0, "converged fine",
                   [](const TestSystem &s, const SolverNleRecipesAutomatic &solver) {
                     EXPECT_NEAR(s.values[0].value(), 2.0, 1e-12);
                     EXPECT_NEAR(s.values[1].value(), 1.0, 1e-12);
                     EXPECT_EQ(solver.statistics().automaticJacobians, 1);
                     EXPECT_EQ(solver.iterations(), 0);
                   }},
        // F = 1e6 (x - 1 - 1e-10) from x = 1: the Newton step 1e-10 is below
        // TOLX, so the line search rejects it at once, while it reaches the
        // root. The solve takes it: convergence is declared for the point
        // whose residual passed the test, not for x = 1 (F = -1e-4 > TOLF).
        StatusCase{"StepBelowToleranceTaken",
                   [] {
                     return std::make_unique<TestSystem>(
                         "short", std::vector<double>{1.0},
                         [](const TestSystem::Unknowns &x, std::vector<Value> &y, unsigned start) {
                           y[start] = 1e6 * (x[0] - 1.0 - 1e-10);
                         });
                   },
                   200, 0, "converged fine",
                   [](const TestSystem &s, const SolverNleRecipesAutomatic &solver) {
                     EXPECT_NEAR(s.values[0].value(), 1.0 + 1e-10, 1e-15);
                     EXPECT_LT(std::fabs(1e6 * (s.values[0].value() - 1.0 - 1e-10)), 1e-5);
                     EXPECT_LT(std::fabs(solver.F()[0]), 1e-5);
                   }},
        // The same short step into a jump of 1e3 that the Jacobian does not
        // see: the rejected point raises the residual, so the solve keeps
        // x = 1, reports the dubious convergence on the step, and F holds
        // the residual of x = 1, not that of the rejected point.
        StatusCase{"StepBelowToleranceRejected",
                   [] {
                     return std::make_unique<TestSystem>(
                         "jump", std::vector<double>{1.0},
                         [](const TestSystem::Unknowns &x, std::vector<Value> &y, unsigned start) {
                           y[start] = 1e6 * (x[0] - 1.0 - 1e-10) + (x[0].value() > 1.0 ? 1e3 : 0.0);
                         });
                   },
                   200, -5, "convergence on deltax; dubious convergence",
                   [](const TestSystem &s, const SolverNleRecipesAutomatic &solver) {
                     EXPECT_EQ(s.values[0].value(), 1.0);
                     EXPECT_NEAR(solver.F()[0], -1e-4, 1e-9);
                   }},
        StatusCase{"AlreadyConverged",
                   [] {
                     return std::make_unique<TestSystem>(
                         "converged", std::vector<double>{2.0, 1.0},
                         [](const TestSystem::Unknowns &x, std::vector<Value> &y, unsigned start) {
                           y[start] = x[0] - 2.0 + 5e-8;
                           y[start + 1] = x[1] - 1.0;
                         });
                   },
                   200, 0, "converged fine",
                   [](const TestSystem &s, const SolverNleRecipesAutomatic &solver) {
                     EXPECT_EQ(solver.statistics().automaticJacobians, 0);
                     EXPECT_EQ(solver.statistics().residualEvaluations, 1);
                     EXPECT_EQ(s.evaluations, 2); // once more when the model is given x back
                   }}),
    [](const testing::TestParamInfo<StatusCase> &info) { return std::string(info.param.name); });

TEST(SolverNleRecipes, StatusTexts) {
  TestSystem system("S", {}, circleAndDiagonal);
  SolverNleRecipesAutomatic solver(0, &system);
  // Every code that solve() or Jacobian::solve() returns reads as a sentence.
  const std::pair<int, const char *> texts[] = {
      {0, "converged fine"},
      {1, "sparse factorisation of the Newton matrix not obtained"},
      {2, "exceeded maximum iterations limit"},
      {3, "error when evaluating the residuals"},
      {6, "singular matrix, type 1"},
      {7, "singular matrix, type 2"},
      {8, "NaN encountered"},
      {9, "line search without a usable direction: the Newton step is zero"},
      {-1, "converged to a local minimum; try a different initial guess"},
      {-4, "objective function insensitive (plateau)"},
      {-5, "convergence on deltax; dubious convergence"},
  };
  for (const auto &[code, text] : texts)
    EXPECT_EQ(solver.statusText(code), text) << code;
  EXPECT_EQ(solver.statusText(-12), "unknown error code -12");
  EXPECT_EQ(solver.statusText(4), "unknown error code 4");
}

TEST(SolverNleRecipes, SetTolerancesKeepsZeros) {
  TestSystem system("S", {}, circleAndDiagonal);
  SolverNleRecipesAutomatic solver(0, &system);
  solver.setTolerances(0, 1e-10, 0, 0);
  EXPECT_EQ(solver.ALF(), 1e-4);
  EXPECT_EQ(solver.TOLX(), 1e-10);
  EXPECT_EQ(solver.TOLF(), 1e-5);
  EXPECT_EQ(solver.TOLMIN(), 1e-6);
}

// Merit value 0.5 * F0^2: 0.0008 for 0.04 (converged), 0.00125 for 0.05.
TEST(SolverNleInterface, NotConverged) {
  for (auto [residual, expected] : {std::pair{0.04, false}, {0.05, true}, {notANumber, true}}) {
    TestSystem system("S", {0.0, 0.0},
                      [residual](const TestSystem::Unknowns &, std::vector<Value> &y,
                                 unsigned start) {
                        y[start] = Value(residual);
                        y[start + 1] = Value(0.0);
                      });
    SolverNleRecipesAutomatic solver(2, &system);
    solver.evaluate();
    EXPECT_EQ(solver.notConverged(), expected) << residual;
  }
}

namespace {

// A non-linear system of n unknowns with a banded, fully coupled Jacobian.
void coupledResiduals(const TestSystem::Unknowns &x, std::vector<Value> &y, unsigned start) {
  const std::size_t n = x.size();
  for (std::size_t i = 0; i < n; ++i) {
    Value r = x[i] * x[i] * x[i] - 2.0 + exp(x[(i + 1) % n] * 0.5);
    if (i > 0)
      r += x[i] * x[i - 1];
    y[start + i] = r;
  }
}

} // namespace

// The AD Jacobian (with respect to the scaled unknowns, through the chain
// rule) equals the forward-difference Jacobian of the Numeric solver within
// the difference step, for a dense and for a sparse system.
TEST(SolverJacobians, AutomaticMatchesFiniteDifferences) {
  for (int n : {3, 120}) {
    std::vector<double> start(n);
    for (int i = 0; i < n; ++i)
      start[i] = 0.5 + 0.01 * i;
    TestSystem system("S", start, coupledResiduals, Scaler(Mode::log, 0.1, 10, 1, 10));
    SolverNleRecipesAutomatic automatic(n, &system);
    SolverNleRecipesNumeric numeric(n, &system);
    system.init(automatic.x());
    system.scalex(automatic.x());
    std::copy(automatic.x(), automatic.x() + n, numeric.x());
    automatic.calculateFJ();
    numeric.calculateFJ();
    for (int r = 0; r < n; ++r)
      for (int c = 0; c < n; ++c) {
        const double ad = automatic.jacobian().element(r, c);
        const double fd = numeric.jacobian().element(r, c);
        // Forward-difference error: about half the second derivative times a
        // step of 1e-4 (1 + |X|).
        ASSERT_NEAR(ad, fd, 2e-3 * (1 + std::fabs(ad))) << n << ": " << r << "," << c;
      }
    EXPECT_EQ(automatic.jacobian().isSparse(), n >= 100);
  }
}

// Forward difference of x^2 - 4 at 1: x' = (1 + 1e-4) * 1.0001 and the slope
// (x'^2 - 1) / (x' - 1) = x' + 1 = 2.00020001.
TEST(SolverJacobians, ForwardDifferenceStep) {
  TestSystem system("S", {1.0},
                    [](const TestSystem::Unknowns &x, std::vector<Value> &y, unsigned start) {
                      y[start] = x[0] * x[0] - 4.0;
                    });
  SolverNleRecipesNumeric solver(1, &system);
  solver.x()[0] = 1.0;
  solver.calculateFJ();
  EXPECT_NEAR(solver.jacobian().element(0, 0), 2.00020001, 1e-9);
  EXPECT_EQ(solver.x()[0], 1.0);
  // At -(1 + 1e-4) the rule gives x' = x back; the slope stays finite (2 x).
  solver.x()[0] = -1.0001;
  solver.calculateFJ();
  EXPECT_NEAR(solver.jacobian().element(0, 0), -2.0002, 1e-3);
}

namespace {

// Records the merit value f = 0.5 sum F_i^2 at every Jacobian, that is at
// the start of every Newton iteration.
class MeritRecorder : public SolverNleRecipesAutomatic {
public:
  // The most derived class builds the virtual base with the objective.
  MeritRecorder(int n, ObjectiveNleInterface *objective)
      : SolverNleInterface(objective), SolverNleRecipesAutomatic(n, objective) {}
  double calculateFJ() override {
    merits.push_back(Automatic::calculateFJ());
    return merits.back();
  }
  std::vector<double> merits;
};

} // namespace

// Freudenstein-Roth from (0.5, -2) (More, Garbow and Hillstrom, problem 2):
// the Newton iteration is drawn towards a local minimum of the merit
// function away from the root (5, 4). The line search must never accept a
// step that raises f above its value at the start of the iteration, so the
// merit values of the iterations do not increase, and the solve stops early
// with a failure code instead of oscillating up to the iteration limit.
TEST(SolverNleRecipes, LineSearchNeverIncreasesTheMeritFunction) {
  TestSystem system("freudenstein", {0.5, -2.0},
                    [](const TestSystem::Unknowns &x, std::vector<Value> &y, unsigned start) {
                      y[start] = -13.0 + x[0] + ((5.0 - x[1]) * x[1] - 2.0) * x[1];
                      y[start + 1] = -29.0 + x[0] + ((x[1] + 1.0) * x[1] - 14.0) * x[1];
                    });
  MeritRecorder solver(2, &system);
  system.init(solver.x());
  const int code = solver.solve();
  EXPECT_NE(code, 0);
  EXPECT_NE(code, 2) << "oscillated up to the iteration limit";
  EXPECT_TRUE(solver.notConverged());
  ASSERT_GT(solver.merits.size(), 2u);
  EXPECT_DOUBLE_EQ(solver.merits[0], 200.25); // F = (19.5, -4.5) at (0.5, -2)
  for (std::size_t k = 1; k < solver.merits.size(); ++k)
    EXPECT_LE(solver.merits[k], solver.merits[k - 1]) << "iteration " << k;
}

// ln x = ln 3 from x = 10: the full Newton step (-12) lands where the
// residual is NaN (ln of a negative number) or, in the second system,
// infinite or, in the third, refused by the model with an error (as a
// temperature at or below zero is). Such a trial is a failed trial: the line
// search shortens the step and the solve converges, instead of stopping on
// "NaN encountered", fitting its step model through an infinite merit value
// or abandoning the whole solve.
TEST(SolverNleRecipes, UnevaluableTrialsShortenTheStep) {
  const double infinite = std::numeric_limits<double>::infinity();
  const std::function<void(const TestSystem::Unknowns &, std::vector<Value> &, unsigned)>
      systems[] = {
          [](const TestSystem::Unknowns &x, std::vector<Value> &y, unsigned start) {
            y[start] = log(x[0]) - std::log(3.0);
          },
          [infinite](const TestSystem::Unknowns &x, std::vector<Value> &y, unsigned start) {
            y[start] = x[0].value() > 0.0 ? log(x[0]) - std::log(3.0) : Value(infinite);
          },
          [](const TestSystem::Unknowns &x, std::vector<Value> &y, unsigned start) {
            if (x[0].value() <= 0.0)
              throw ErrorRunTime("log", "argument must be positive");
            y[start] = log(x[0]) - std::log(3.0);
          }};
  for (const auto &residuals : systems) {
    TestSystem system("log", {10.0}, residuals);
    SolverNleRecipesAutomatic solver(1, &system);
    system.init(solver.x());
    EXPECT_EQ(solver.solve(), 0);
    // The residual tolerance 1e-5 of ln x: x within 3e-5 of 3.
    EXPECT_NEAR(system.values[0].value(), 3.0, 3e-5);
    EXPECT_FALSE(solver.notConverged());
  }
}

// x = 5 with residuals only up to x = 2, from x = 2: every trial of the
// Newton direction is unevaluable. The search ends back at the start with
// its own (finite) residual, so the solve judges that point: a dubious
// convergence on the step, not "converged to a local minimum" of an
// infinite merit function.
TEST(SolverNleRecipes, OnlyUnevaluableTrialsLeaveTheStartPoint) {
  TestSystem system("wall", {2.0},
                    [](const TestSystem::Unknowns &x, std::vector<Value> &y, unsigned start) {
                      y[start] = x[0].value() <= 2.0
                                     ? x[0] - 5.0
                                     : Value(std::numeric_limits<double>::infinity());
                    });
  SolverNleRecipesAutomatic solver(1, &system);
  system.init(solver.x());
  const int code = solver.solve();
  EXPECT_EQ(code, -5);
  EXPECT_EQ(solver.statusText(code), "convergence on deltax; dubious convergence");
  EXPECT_EQ(system.values[0].value(), 2.0);
  EXPECT_EQ(solver.x()[0], 2.0);
  EXPECT_TRUE(solver.notConverged());
}

// The finite-difference solver converges like the automatic one.
TEST(SolverNleRecipesNumeric, Converges) {
  TestSystem system("circle", {1.0, 3.0}, circleAndDiagonal);
  SolverNleRecipesNumeric solver(2, &system);
  system.init(solver.x());
  EXPECT_EQ(solver.solve(), 0);
  EXPECT_NEAR(system.values[0].value(), std::sqrt(2.0), 1e-6);
  EXPECT_GT(solver.statistics().numericJacobians, 0);
}
