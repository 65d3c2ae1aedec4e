#include "velta/core/Sensitivity.h"

#include "ScopeExit.h"
#include "StudyRun.h"
#include "velta/core/Model.h"
#include "velta/core/OrderingLexicographical.h"
#include "velta/core/OrderingReflectedGray.h"
#include "velta/core/OrderingSpiral.h"
#include "velta/utility/Error.h"
#include "velta/utility/Timer.h"

#include <algorithm>
#include <fstream>
#include <limits>

namespace {

constexpr const char *executeName = "Sensitivity::execute";

// The run's lines are written when verbosityGlobal + verbosity + 10 >= 0.
int logVerbosity(const Diagnostic &run) { return run.verbosity() + 11; }

std::vector<int> radicesOf(const std::vector<ControlledVariable> &controlled) {
  std::vector<int> radices;
  for (const ControlledVariable &variable : controlled)
    radices.push_back(variable.points);
  std::reverse(radices.begin(), radices.end());
  return radices;
}

// The unit in which a controlled or monitored quantity is set and reported.
std::string unitOf(const MonitoredVariable &variable, const Value &quantity) {
  return variable.unit.empty() ? quantity.uom() : variable.unit;
}

} // namespace

Sensitivity::Sensitivity(SensitivityInput input, const char *resultsFile)
    : SensitivityInput(std::move(input)), resultsFile_(resultsFile) {
  // Without a valid grid no ordering is built; execute refuses the study.
  if (!controlled.empty() && gridProblem(controlled).empty())
    ordering_ = makeOrdering(order, radicesOf(controlled));
}

Sensitivity::~Sensitivity() = default;

std::unique_ptr<Ordering> Sensitivity::makeOrdering(const std::string &order,
                                                    const std::vector<int> &radices) {
  if (order == "boustrophedon")
    return std::make_unique<OrderingReflectedGray>(radices);
  if (order == "quasi-spiral")
    return std::make_unique<OrderingSpiral>(radices, spiralStart(radices));
  return std::make_unique<OrderingLexicographical>(radices);
}

int Sensitivity::spiralStart(const std::vector<int> &radices) {
  int s = 0;
  for (int m : radices)
    s = s * m + m / 2;
  return s;
}

std::string Sensitivity::gridProblem(const std::vector<ControlledVariable> &controlled) {
  std::vector<int> radices;
  for (const ControlledVariable &variable : controlled) {
    if (variable.points < 1 || variable.points > 999)
      return "Controlled variable " + variable.path + " has " + std::to_string(variable.points) +
             " points, not 1 to 999";
    radices.push_back(variable.points);
  }
  if (Ordering::gridSize(radices) > std::numeric_limits<int>::max())
    return "Grid of more than 2147483647 points";
  return {};
}

void Sensitivity::execute() {
  VELTA_TRACE_BEGIN
  VELTA_LOG(logVerbosity(*this), -1, executeName, "Entered");
  double totalTime = 0.0;
  int totalErrors = 0;
  int totalWarnings = 0;
  int totalIterations = 0;
  int errorfreeIterations = 0;
  int errorfreeRows = 0;
  int rowCount = 0;

  if (!isDefined())
    throw ErrorRunTime(executeName, "Sensitivity not defined");
  if (!model_)
    throw ErrorRunTime(executeName, "Model error");
  if (const std::string problem = gridProblem(controlled); !problem.empty())
    throw ErrorRunTime(executeName, problem.c_str());
  if (startinground >= ordering_->maxRound())
    throw ErrorRunTime(executeName, "Starting round outside upper limit");

  Model &model = *model_;
  for (const ControlledVariable &variable : controlled)
    StudyRun::requireQuantity(model, variable.path, "controlled", executeName);
  for (const MonitoredVariable &variable : monitored)
    StudyRun::requireQuantity(model, variable.path, "monitored", executeName);
  model.push();
  // No snapshot outlives the run, whichever way it ends.
  const ScopeExit dropSnapshots([&model] { model.clear(); });
  Timer timer;
  const int rounds = ordering_->maxRound();
  for (int i = startinground; i < rounds; ++i) {
    model.resetErrors();
    StudyRun::SetValues values;
    for (std::size_t j = 0; j < controlled.size(); ++j) {
      const ControlledVariable &variable = controlled[j];
      Value &quantity = model.Q(variable.path);
      const int digit = ordering_->digit(i, static_cast<int>(j));
      quantity.set(variable.value(digit), unitOf(variable, quantity));
      values.add(variable.path, quantity.value());
    }
    VELTA_LOG(logVerbosity(*this), -1, executeName,
              "Performing round " << i << ": " << values.text());

    timer.reset();
    {
      const StudyRun::QuietCalculation quiet;
      model.calculate(0);
    }
    model.reportMessages();
    const double t = timer.elapsed();

    const int errors = static_cast<int>(model.errors.size());
    const int warnings = static_cast<int>(model.warnings.size());
    const int iterations = model.I("NITER");
    SensitivityResultRow row(i, t, errors, warnings, iterations);
    for (const ControlledVariable &variable : controlled) {
      const Value &quantity = model.Q(variable.path);
      row.addControlled(quantity.toDouble(unitOf(variable, quantity)));
    }
    for (const MonitoredVariable &variable : monitored) {
      const Value &quantity = model.Q(variable.path);
      row.addMonitored(quantity.toDouble(unitOf(variable, quantity)));
    }
    rows.push_back(std::move(row));

    totalErrors += errors;
    totalWarnings += warnings;
    totalIterations += iterations;
    if (errors == 0) {
      errorfreeIterations += iterations;
      errorfreeRows += 1;
    }
    rowCount += 1;

    // A file that cannot be written is passed over: the rows stay in memory.
    if (std::ofstream file(resultsFile_); file)
      SensitivityResult::write(file);

    if (errors > 0) {
      // Back to the latest error-free state, whose snapshot is taken again
      // so that a run of failing rounds always restarts from it.
      model.pop();
      model.push();
      model.initializeNonPersistents();
      model.setPristineRecursive();
    } else {
      model.clear();
      model.push();
    }
    totalTime += t;
  }

  const int v = logVerbosity(*this);
  VELTA_LOG(v, -1, executeName, "Total calculation time = " << totalTime << " s");
  VELTA_LOG(v, -1, executeName, "Total errors = " << totalErrors);
  VELTA_LOG(v, -1, executeName, "Total warnings = " << totalWarnings);
  VELTA_LOG(v, -1, executeName, "Total iterations = " << totalIterations);
  VELTA_LOG(v, -1, executeName, "Total iterations for errorfree rows = " << errorfreeIterations);
  VELTA_LOG(v, -1, executeName,
            "Average iterations for each errorfree row = "
                << static_cast<double>(errorfreeIterations) / static_cast<double>(errorfreeRows));
  VELTA_LOG(v, -1, executeName,
            "Errorfree rows = " << errorfreeRows << " / " << rowCount << " = "
                                << static_cast<double>(errorfreeRows) * 100.0 / rowCount
                                << " %");
  VELTA_LOG(v, -1, executeName, "Exit");
  VELTA_TRACE_END(executeName)
}
