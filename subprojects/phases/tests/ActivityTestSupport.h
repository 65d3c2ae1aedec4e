#pragma once
// Shared set-up of the activity-model tests: a component list of water-like
// liquids (optionally with Henry-law hydrogen), compositions as values, and
// the process-wide parameter tables emptied around every test.

#include "velta/components/ListComponents.h"
#include "velta/components/PureComponents.h"
#include "velta/phases/ActivityParameters.h"
#include "velta/value/Value.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace activitytest {

// One component per flag: true adds Henry-law hydrogen, false water.
inline void setComponents(const std::vector<bool> &henry) {
  components.clear();
  for (std::size_t i = 0; i < henry.size(); ++i) {
    const std::string name = "c" + std::to_string(i);
    if (henry[i])
      components.add(new purecomps::H2(name, true));
    else
      components.add(new purecomps::water(name));
  }
}

inline std::vector<Value> composition(const std::vector<double> &x) {
  return std::vector<Value>(x.begin(), x.end());
}

inline void clearParameters() {
  Phase::Activity::ParametersNrtl1::alphaTable().clear();
  Phase::Activity::ParametersNrtl1::bTable().clear();
  Phase::Activity::ParametersNrtl2::resize(0);
  Phase::Activity::ParametersUnifac::componentSubgroups().clear();
}

class ActivityTest : public ::testing::Test {
protected:
  void SetUp() override { clearParameters(); }
  void TearDown() override {
    clearParameters();
    components.clear();
  }
};

} // namespace activitytest
