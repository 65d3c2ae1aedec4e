#pragma once
// A scaled equation system for the tests, whose unknowns are values owned by
// the system and whose residuals come from a function.

#include "velta/core/ObjectiveNleAd.h"
#include "velta/core/Scaler.h"
#include "velta/value/DerivativeContext.h"

#include <deque>
#include <functional>
#include <string>
#include <vector>

class TestSystem : public ObjectiveNleAd {
public:
  using Unknowns = std::deque<Value>;
  // Writes the n residuals of the unknowns x into y[start ...].
  using Residuals = std::function<void(const Unknowns &x, std::vector<Value> &y, unsigned start)>;

  TestSystem(const std::string &name, const std::vector<double> &start, Residuals residualsOf,
             const Scaler &scaler = Scaler(Velta::Utility::ScalingMode::noscaling, 0, 1, 0, 1))
      : ObjectiveNleAd(name), residualsOf_(std::move(residualsOf)) {
    for (unsigned i = 0; i < start.size(); ++i) {
      values.emplace_back(start[i]);
      addUnknown(&values.back(), scaler, "x" + std::to_string(i));
    }
  }

  unsigned calculateResiduals(std::vector<Value> &y, unsigned start) override {
    ++evaluations;
    depthDuringEvaluation = derivativeContextDepth();
    residualsOf_(values, y, start);
    return size();
  }

  Unknowns values;
  int evaluations = 0;
  int depthDuringEvaluation = 0;

private:
  Residuals residualsOf_;
};

// Discrete Bratu problem u'' + exp(u) = 0 on (0, 1), u(0) = u(1) = 0, on n
// interior points: F_i = (u_{i-1} - 2 u_i + u_{i+1}) / h^2 + exp(u_i).
inline void bratuResiduals(const TestSystem::Unknowns &u, std::vector<Value> &y, unsigned start) {
  const std::size_t n = u.size();
  const double h = 1.0 / static_cast<double>(n + 1);
  const double scale = 1.0 / (h * h);
  for (std::size_t i = 0; i < n; ++i) {
    Value second = -2.0 * u[i];
    if (i > 0)
      second += u[i - 1];
    if (i + 1 < n)
      second += u[i + 1];
    y[start + i] = second * scale + exp(u[i]);
  }
}
