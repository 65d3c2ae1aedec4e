#pragma once
// A sensitivity study: calculates a model at every point of the grid of a
// SensitivityInput, in the order that the input names, each round starting
// from the state of the latest error-free round, and records one result row
// per round. The results file is rewritten after every round, so that a
// study that stops early leaves the rows of every completed round; the
// model is changed in memory only.

#include "velta/core/Ordering.h"
#include "velta/core/SensitivityInput.h"
#include "velta/core/SensitivityResult.h"
#include "velta/utility/Diagnostic.h"

#include <memory>
#include <string>

class Model;

class Sensitivity : public SensitivityInput, public SensitivityResult, public Diagnostic {
public:
  Sensitivity(SensitivityInput input, const char *resultsFile);
  ~Sensitivity() override;

  void setModel(Model *model) { model_ = model; }
  // Raises an Error on failure; the rows of completed rounds stay.
  void execute();

  // The ordering of an order text over the radices (the variables' points,
  // last variable first): "boustrophedon" reflected Gray, "quasi-spiral"
  // the pseudo-spiral from the middle (see spiralStart), any other text
  // lexicographical. The radices must form a valid grid (gridProblem).
  static std::unique_ptr<Ordering> makeOrdering(const std::string &order,
                                                const std::vector<int> &radices);
  // s = s * m + m / 2 over the radices from the first to the last.
  static int spiralStart(const std::vector<int> &radices);
  // Why the controlled variables form no grid of 1 to 2^31 - 1 points with 1
  // to 999 points per variable, or empty.
  static std::string gridProblem(const std::vector<ControlledVariable> &controlled);

private:
  Model *model_ = nullptr;
  std::unique_ptr<Ordering> ordering_;
  std::string resultsFile_;
};
