#include "velta/components/GroupBkk.h"

#include "velta/utility/Assert.h"

#include <algorithm>
#include <limits>

GroupBkk::GroupBkk(const ParameterBkk &r1, const ParameterBkk &r2, const ParameterBkk &r3,
                   const ParameterBkk &r4, const ParameterBkk &r5, const ParameterBkk &r6,
                   const ParameterBkk &r7) {
  add(r1);
  for (const ParameterBkk *record : {&r2, &r3, &r4, &r5, &r6, &r7}) {
    if (*record == emptyParameterBkk)
      break;
    add(*record);
  }
}

GroupBkk::GroupBkk(const GroupBkk &other) {
  for (const ParameterBkk &record : other.records_)
    add(record);
}

void GroupBkk::add(const ParameterBkk &record) {
  if (records_.empty()) {
    xmin_ = record.xmin();
    xmax_ = record.xmax();
  } else if (record.xmax() == xmin_) {
    xmin_ = record.xmin();
  } else if (record.xmin() == xmax_) {
    xmax_ = record.xmax();
  } else {
    VELTA_ASSERT_AS(false, "!\"Inconsistent Barin parameter group\"",
                    "subprojects/components/src/GroupBkk", __LINE__);
  }
  records_.push_back(record);
  std::stable_sort(
      records_.begin(), records_.end(),
      [](const ParameterBkk &a, const ParameterBkk &b) { return a.xmin() < b.xmin(); });
}

Active GroupBkk::evaluate(int kind, const Active &T) const {
  if (records_.empty())
    return Active(0.0);
  if (T.value() < xmin_)
    return records_.front().extrapolateBelow(kind, T);
  if (T.value() > xmax_)
    return records_.back().extrapolateAbove(kind, T);
  // At a shared bound the lower record wins.
  for (const ParameterBkk &record : records_)
    if (record.xmin() <= T.value() && T.value() <= record.xmax())
      return record.evaluate(kind, T);
  // Only a NaN temperature is held by no record: pass it on rather than
  // turning it into a plausible number.
  return Active(std::numeric_limits<double>::quiet_NaN());
}
