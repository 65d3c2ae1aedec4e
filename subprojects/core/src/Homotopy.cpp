#include "velta/core/Homotopy.h"

#include "ScopeExit.h"
#include "StudyRun.h"
#include "velta/core/Model.h"
#include "velta/utility/Error.h"
#include "velta/utility/Timer.h"

namespace {

constexpr const char *executeName = "Homotopy::execute";

} // namespace

Homotopy::Homotopy(HomotopyInput input) : HomotopyInput(std::move(input)) {}

Homotopy::~Homotopy() = default;

void Homotopy::execute() {
  VELTA_TRACE_BEGIN
  // The run's lines are written when verbosityGlobal + verbosity + 10 >= 0.
  const int v = verbosity() + 11;
  VELTA_LOG(v, -1, executeName, "Entered");
  failedPoint_ = -1;
  Model &model = *model_;
  for (const HomotopyVariable &variable : controlled)
    StudyRun::requireQuantity(model, variable.path, "controlled", executeName);
  model.push();
  const ScopeExit dropSnapshots([&model] { model.clear(); });
  Timer timer;
  for (int i = 0; i < points; ++i) {
    StudyRun::SetValues values;
    for (const HomotopyVariable &variable : controlled) {
      Value &quantity = model.Q(variable.path);
      // An SI value, without unit check; the flags stay.
      quantity.activeValue() = variable.value(i, points);
      values.add(variable.path, quantity.value());
    }
    VELTA_LOG(v, -1, executeName, "Performing point " << i << ": " << values.text());

    timer.reset();
    // Messages stored with the case, or left by the previous point, must
    // not make this point look failed.
    model.resetErrors();
    {
      const StudyRun::QuietCalculation quiet;
      model.calculate(0);
    }
    model.reportMessages();
    const double t = timer.elapsed();

    if (model.errors.size() > 0) {
      VELTA_LOG(v, -1, executeName, "Failed point " << i << " in " << t << " s");
      model.pop();
      failedPoint_ = i;
      break;
    }
    VELTA_LOG(v, -1, executeName, "Performed point " << i << " in " << t << " s");
    model.clear();
    model.push();
  }
  VELTA_LOG(v, -1, executeName, "Exit");
  VELTA_TRACE_END(executeName)
}
