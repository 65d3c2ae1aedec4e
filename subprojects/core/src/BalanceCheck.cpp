#include "velta/core/BalanceCheck.h"

namespace {

// The comparisons are strict: a difference equal to a tolerance passes.
BalanceVerdict verdict(const Value &difference, const Value &errorTolerance,
                       const Value &warningTolerance) {
  if (difference.isNan() || errorTolerance.isNan() || difference > errorTolerance)
    return BalanceVerdict::error;
  if (difference > warningTolerance)
    return BalanceVerdict::warning;
  return BalanceVerdict::balanced;
}

} // namespace

BalanceVerdict massBalanceVerdict(const Value &cmdot, const Value &massBalance, const Value &mdotin,
                                  const Value &mdotout) {
  const Value difference = fabs(cmdot - massBalance);
  const Value scale = fabs(mdotin + mdotout) + Value(0.1, "kg/h");
  return verdict(difference, scale / 1000.0, scale / 100000.0);
}

BalanceVerdict energyBalanceVerdict(const Value &cduty, const Value &energyBalance) {
  const Value difference = fabs(cduty - energyBalance);
  return verdict(difference, Value(1.0, "kW"), Value(10.0, "W"));
}
