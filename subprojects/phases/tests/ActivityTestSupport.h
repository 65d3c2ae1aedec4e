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

// An asymmetric ternary with every kind of temperature dependence.
inline void setTernaryNrtl2() {
  Phase::Activity::ParametersNrtl2::resize(3);
  const double a[3][3] = {{0, 0.4, -0.2}, {-0.3, 0, 0.5}, {0.1, 0.2, 0}};
  const double b[3][3] = {{0, 420, 150}, {-80, 0, 260}, {310, 40, 0}};
  const double e[3][3] = {{0, 0.05, -0.02}, {0.03, 0, 0.01}, {-0.04, 0.02, 0}};
  const double f[3][3] = {{0, -1e-4, 2e-4}, {3e-4, 0, -2e-4}, {1e-4, 1e-4, 0}};
  const double c[3][3] = {{0, 0.3, 0.2}, {0.35, 0, 0.47}, {0.25, 0.4, 0}};
  const double d[3][3] = {{0, 1e-3, -5e-4}, {2e-4, 0, 8e-4}, {-1e-3, 5e-4, 0}};
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j) {
      Phase::Activity::ParametersNrtl2::a(i, j) = a[i][j];
      Phase::Activity::ParametersNrtl2::b(i, j) = b[i][j];
      Phase::Activity::ParametersNrtl2::e(i, j) = e[i][j];
      Phase::Activity::ParametersNrtl2::f(i, j) = f[i][j];
      Phase::Activity::ParametersNrtl2::c(i, j) = c[i][j];
      Phase::Activity::ParametersNrtl2::d(i, j) = d[i][j];
    }
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
