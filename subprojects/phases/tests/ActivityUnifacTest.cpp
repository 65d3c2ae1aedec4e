#include "ActivityTestSupport.h"

#include "velta/core/Vector.h"
#include "velta/phases/ActivityParameters.h"
#include "velta/phases/ActivityUnifac.h"
#include "velta/utility/Error.h"
#include "velta/value/DerivativeContext.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

using namespace Phase::Activity;
using activitytest::ActivityTest;
using activitytest::composition;
using activitytest::setComponents;

namespace {

using Subgroups = std::map<int, int>;

void setMap(const std::map<int, Subgroups> &map) { ParametersUnifac::componentSubgroups() = map; }

// Activity coefficients of the model at T and x (the component list must
// match the map).
std::vector<double> gammas(Unifac &model, double T, const std::vector<double> &x) {
  std::vector<Value> xs = composition(x);
  model.setTemperature(Value(T, "K"));
  model.calculateExcess(Vector(&xs));
  std::vector<double> result;
  for (int i = 0; i < model.ncoefficients(); ++i)
    result.push_back(model.gamma(i).value());
  return result;
}

// Ethanol-like component (CH3, CH2, OH) and water.
const std::map<int, Subgroups> ethanolWater{{0, {{1, 1}, {2, 1}, {14, 1}}}, {1, {{16, 1}}}};

} // namespace

TEST_F(ActivityTest, UnifacHoldsThePublishedGroupTables) {
  Unifac model;
  std::size_t entries = 0;
  for (const auto &[m, row] : model.a()) {
    entries += row.size();
    EXPECT_EQ(row.count(m), 0u) << m;
    // Every pair is held in both orders.
    for (const auto &[n, value] : row)
      EXPECT_TRUE(model.a().count(n) && model.a().at(n).count(m)) << m << ", " << n;
  }
  EXPECT_EQ(entries, 1270u);
  EXPECT_EQ(model.a().size(), 54u);
  EXPECT_EQ(model.a().at(1).size(), 53u);
  EXPECT_EQ(model.a().at(51).size(), 1u);
  EXPECT_EQ(model.a().at(51).count(1), 1u);

  struct Telling {
    int m, n;
    double amn, anm;
  };
  for (const Telling &t : std::vector<Telling>{{1, 2, 86.02, -35.36},
                                               {1, 3, 61.13, -11.12},
                                               {1, 5, 986.5, 156.4},
                                               {1, 7, 1318, 300},
                                               {3, 7, 903.8, 362.3},
                                               {5, 7, 353.5, -229.1},
                                               {6, 7, -180.95, 289.6},
                                               {4, 7, 5695, 377.6},
                                               {8, 24, 1827, 10000},
                                               {22, 23, 0, 0},
                                               {42, 43, -2166, 745.3},
                                               {84, 85, 1517.5, -1869.9}}) {
    EXPECT_EQ(model.a().at(t.m).at(t.n), t.amn) << t.m << ", " << t.n;
    EXPECT_EQ(model.a().at(t.n).at(t.m), t.anm) << t.n << ", " << t.m;
  }

  EXPECT_EQ(model.R().size(), 113u);
  EXPECT_EQ(model.Q().size(), 113u);
  EXPECT_EQ(model.subgroupMainGroup().size(), 113u);
  EXPECT_EQ(model.mainGroupSubgroups().size(), 54u);
  EXPECT_EQ(model.R().at(1), 0.9011);
  EXPECT_EQ(model.Q().at(1), 0.848);
  EXPECT_EQ(model.Q().at(4), 0.0);
  EXPECT_EQ(model.R().at(179), 5.774);
  EXPECT_EQ(model.Q().at(179), 4.932);
  EXPECT_EQ(model.mainGroupSubgroups().at(2), (std::set<int>{5, 6, 7, 8, 70}));
  EXPECT_EQ(model.mainGroupSubgroups().at(38), (std::set<int>{71}));
  EXPECT_EQ(model.subgroupMainGroup().at(70), 2);
  EXPECT_EQ(model.subgroupMainGroup().at(179), 85);
  // The two membership maps agree entry for entry.
  for (const auto &[group, members] : model.mainGroupSubgroups())
    for (const int k : members)
      EXPECT_EQ(model.subgroupMainGroup().at(k), group) << k;
}

TEST_F(ActivityTest, UnifacConstructionDerivesPureComponentGroupData) {
  setMap(ethanolWater);
  Unifac model;
  EXPECT_EQ(model.ncomponents(), 2);
  EXPECT_EQ(model.subgroupsPresent(), (std::set<int>{1, 2, 14, 16}));
  EXPECT_EQ(model.componentSubgroups(), ethanolWater);
  // r0 = R1 + R2 + R14, q0 = Q1 + Q2 + Q14; each X0 = 1/3 and
  // Theta0 = Q_k / (Q1 + Q2 + Q14); water: r = R16, q = Q16, X0 = Theta0 = 1.
  EXPECT_DOUBLE_EQ(model.r()[0], 0.9011 + 0.6744 + 1);
  EXPECT_DOUBLE_EQ(model.q()[0], 0.848 + 0.54 + 1.2);
  EXPECT_DOUBLE_EQ(model.r()[1], 0.92);
  EXPECT_DOUBLE_EQ(model.q()[1], 1.4);
  for (const auto &[k, Qk] : std::map<int, double>{{1, 0.848}, {2, 0.54}, {14, 1.2}}) {
    EXPECT_DOUBLE_EQ(model.X0().at(0).at(k), 1.0 / 3) << k;
    EXPECT_DOUBLE_EQ(model.Theta0().at(0).at(k), Qk / 2.588) << k;
  }
  EXPECT_EQ(model.X0().at(1).at(16), 1.0);
  EXPECT_EQ(model.Theta0().at(1).at(16), 1.0);
  // Nothing composition-dependent yet.
  EXPECT_TRUE(model.X().empty());
  EXPECT_EQ(model.logGAMMAi().size(), 2u);
  EXPECT_TRUE(model.logGAMMAi()[0].empty());
}

TEST_F(ActivityTest, UnifacConstructionEdgeCasesOfTheMap) {
  // A subgroup outside the tables counts as a group but adds no volume or area.
  setMap({{0, {{1, 1}, {110, 1}}}});
  {
    Unifac model;
    EXPECT_EQ(model.R().size(), 114u);
    EXPECT_EQ(model.R().at(110), 0.0);
    EXPECT_DOUBLE_EQ(model.r()[0], 0.9011);
    EXPECT_EQ(model.X0().at(0).at(110), 0.5);
    EXPECT_EQ(model.Theta0().at(0).at(110), 0.0);
    EXPECT_EQ(model.Theta0().at(0).at(1), 1.0);
  }
  // A component with no subgroups gets no group data.
  setMap({{0, {}}, {1, {{16, 1}}}});
  {
    Unifac model;
    EXPECT_EQ(model.r()[0], 0.0);
    EXPECT_EQ(model.q()[0], 0.0);
    EXPECT_EQ(model.X0().count(0), 0u);
    EXPECT_EQ(model.Theta0().count(0), 0u);
  }
  // An empty map: no components.
  setMap({});
  EXPECT_EQ(Unifac().ncomponents(), 0);

  EXPECT_THROW(ParametersUnifac::subgroups(0), std::out_of_range);
  setMap({{0, {{1, 1}}}});
  EXPECT_EQ(ParametersUnifac::subgroups(0).at(1), 1);
  try {
    ParametersUnifac::subgroups(1);
    ADD_FAILURE() << "no error";
  } catch (const std::out_of_range &error) {
    EXPECT_STREQ(error.what(), "invalid map<K, T> key");
  }
}

TEST_F(ActivityTest, UnifacRefusesMapsThatDoNotCoverTheComponents) {
  // Keys with a gap: an error of the system naming the model, not a standard
  // exception or a read of a missing entry.
  setMap({{0, {{1, 1}}}, {2, {{16, 1}}}});
  try {
    Unifac model;
    ADD_FAILURE() << "no error";
  } catch (const ErrorRunTime &error) {
    EXPECT_NE(error.message().find("Phase::Activity::Unifac::Unifac"), std::string::npos);
    EXPECT_NE(error.message().find("UNIFAC model"), std::string::npos);
    EXPECT_NE(error.message().find("component 1"), std::string::npos) << error.message();
  }

  struct Case {
    const char *what;
    std::map<int, Subgroups> map;
    std::vector<bool> components;
    const char *expected;
  };
  const std::vector<Case> cases{
      {"map for two of three components",
       ethanolWater,
       {false, false, false},
       "ParametersUnifac describes 2 components, the component list holds 3"},
      {"map for three of two components",
       {{0, {{1, 1}}}, {1, {{16, 1}}}, {2, {{2, 1}}}},
       {false, false},
       "ParametersUnifac describes 3 components, the component list holds 2"},
      {"component without groups", {{0, {}}, {1, {{16, 1}}}}, {false, false}, "component 0 has no"},
      {"component of unknown groups only",
       {{0, {{1, 1}}}, {1, {{110, 2}}}},
       {false, false},
       "component 1 has no"},
  };
  for (const Case &c : cases) {
    setComponents(c.components);
    setMap(c.map);
    Unifac model;
    std::vector<Value> xs = composition(std::vector<double>(c.components.size(), 0.5));
    for (int step = 0; step < 2; ++step) {
      try {
        if (step == 0)
          model.setTemperature(Value(350.0, "K"));
        else
          model.calculateExcess(Vector(&xs));
        ADD_FAILURE() << c.what << ": no error in step " << step;
      } catch (const ErrorRunTime &error) {
        EXPECT_NE(error.message().find("UNIFAC model: "), std::string::npos) << error.message();
        EXPECT_NE(error.message().find(c.expected), std::string::npos) << c.what << "\n"
                                                                       << error.message();
      }
    }
  }
  // A list that changed after construction.
  setComponents({false, false});
  setMap(ethanolWater);
  Unifac model;
  setComponents({false, false, false});
  setMap({{0, {{1, 1}}}, {1, {{16, 1}}}, {2, {{2, 1}}}});
  EXPECT_THROW(model.setTemperature(Value(350.0, "K")), ErrorRunTime);
}

TEST_F(ActivityTest, UnifacWorkedExampleByHand) {
  setComponents({false, false});
  setMap(ethanolWater);
  Unifac model;
  const double T = 350;
  const std::vector<double> g = gammas(model, T, {0.4, 0.6});

  // Hand calculation. Groups: 1 CH3, 2 CH2 (main group 1), 14 OH (main
  // group 5), 16 H2O (main group 7); component 0 = {1, 2, 14}, 1 = {16}.
  const double R1 = 0.9011, R2 = 0.6744, R14 = 1.0, R16 = 0.92;
  const double Q1 = 0.848, Q2 = 0.54, Q14 = 1.2, Q16 = 1.4;
  const double x0 = 0.4, x1 = 0.6;
  // Combinatorial part: r0 = 2.5755, q0 = 2.588, r1 = 0.92, q1 = 1.4;
  // V0 = 1.627797, V1 = 0.581469, F0 = 1.380119, F1 = 0.746587;
  // ln gC0 = 0.045811, ln gC1 = 0.077869.
  const double r0 = R1 + R2 + R14, q0 = Q1 + Q2 + Q14, r1 = R16, q1 = Q16;
  const double V0 = r0 / (x0 * r0 + x1 * r1), V1 = r1 / (x0 * r0 + x1 * r1);
  const double F0 = q0 / (x0 * q0 + x1 * q1), F1 = q1 / (x0 * q0 + x1 * q1);
  const double lnC0 = 1 - V0 + std::log(V0) - 5 * q0 * (1 - V0 / F0 + std::log(V0 / F0));
  const double lnC1 = 1 - V1 + std::log(V1) - 5 * q1 * (1 - V1 / F1 + std::log(V1 / F1));
  EXPECT_NEAR(lnC0, 0.045811, 1e-6);
  EXPECT_NEAR(lnC1, 0.077869, 1e-6);
  // Residual part. Group order (CH3, CH2, OH, H2O); Psi(m, k) = exp(-a(m, k)/T):
  // a(1,5) = 986.5 -> 0.059691, a(5,1) = 156.4 -> 0.639635,
  // a(1,7) = 1318 -> 0.023151, a(7,1) = 300 -> 0.424373,
  // a(5,7) = 353.5 -> 0.364219, a(7,5) = -229.1 -> 1.924318.
  const double pCO = std::exp(-986.5 / T), pOC = std::exp(-156.4 / T);
  const double pCW = std::exp(-1318 / T), pWC = std::exp(-300 / T);
  const double pOW = std::exp(-353.5 / T), pWO = std::exp(-(-229.1) / T);
  const double psi[4][4] = {
      {1, 1, pCO, pCW}, {1, 1, pCO, pCW}, {pOC, pOC, 1, pOW}, {pWC, pWC, pWO, 1}};
  const double Q[4] = {Q1, Q2, Q14, Q16};
  // ln GAMMA_k = Q_k [1 - ln(sum_m t_m psi_mk) - sum_m t_m psi_km / sum_n t_n psi_nm]
  auto lnGAMMA = [&](const double(&theta)[4], int k) {
    double s1 = 0, s2 = 0;
    for (int m = 0; m < 4; ++m) {
      double den = 0;
      for (int n = 0; n < 4; ++n)
        den += theta[n] * psi[n][m];
      s1 += theta[m] * psi[m][k];
      s2 += theta[m] * psi[k][m] / den;
    }
    return Q[k] * (1 - std::log(s1) - s2);
  };
  // Mixture: X = (2/9, 2/9, 2/9, 1/3); Theta = Q X / sum Q X
  //   = (0.180887, 0.115188, 0.255973, 0.447952);
  // ln GAMMA = (0.799653, 0.509213, 0.069957, 0.219756).
  const double groupSum = x0 * 3 + x1 * 1;
  const double X[4] = {x0 / groupSum, x0 / groupSum, x0 / groupSum, x1 / groupSum};
  double areaSum = 0;
  for (int k = 0; k < 4; ++k)
    areaSum += Q[k] * X[k];
  double theta[4];
  for (int k = 0; k < 4; ++k)
    theta[k] = Q[k] * X[k] / areaSum;
  // Pure component 0: Theta = (Q1, Q2, Q14, 0) / q0, ln GAMMA(0) =
  // (0.409654, 0.260864, 0.425415); pure water: ln GAMMA(0)_H2O = 0.
  const double pure0[4] = {Q1 / q0, Q2 / q0, Q14 / q0, 0};
  const double pure1[4] = {0, 0, 0, 1};
  // ln gR0 = 0.282889, ln gR1 = 0.219756.
  double lnR0 = 0;
  for (int k = 0; k < 3; ++k)
    lnR0 += lnGAMMA(theta, k) - lnGAMMA(pure0, k);
  const double lnR1 = lnGAMMA(theta, 3) - lnGAMMA(pure1, 3);
  EXPECT_NEAR(lnR0, 0.282889, 1e-6);
  EXPECT_NEAR(lnR1, 0.219756, 1e-6);
  // gamma0 = exp(0.045811 + 0.282889) = 1.389160, gamma1 = exp(0.077869 + 0.219756) = 1.346657.
  EXPECT_NEAR(g[0], std::exp(lnC0 + lnR0), 1e-12);
  EXPECT_NEAR(g[1], std::exp(lnC1 + lnR1), 1e-12);
  EXPECT_NEAR(g[0], 1.389160, 1e-6);
  EXPECT_NEAR(g[1], 1.346657, 1e-6);

  // The model's intermediate values agree with the hand calculation.
  EXPECT_NEAR(model.logGammaC()[0].value(), lnC0, 1e-12);
  EXPECT_NEAR(model.logGammaR()[1].value(), lnR1, 1e-12);
  for (const int k : {1, 2, 14})
    EXPECT_NEAR(model.X().at(k).value(), 2.0 / 9, 1e-15) << k;
  EXPECT_NEAR(model.X().at(16).value(), 1.0 / 3, 1e-15);
  EXPECT_NEAR(model.Theta().at(16).value(), theta[3], 1e-15);
  for (const int k : {1, 2, 14, 16})
    EXPECT_EQ(model.Psi().at(k).at(k).value(), 1.0);
  EXPECT_NEAR(model.Psi().at(1).at(14).value(), pCO, 1e-15);
  EXPECT_LT(model.Psi().at(1).at(14).value(), 1.0);
  EXPECT_NEAR(model.Psi().at(16).at(14).value(), pWO, 1e-15);
  EXPECT_GT(model.Psi().at(16).at(14).value(), 1.0);
  // Excess properties from the temperature derivatives of gE/RT = sum x_i
  // ln gamma_i, by UnifacReference.py (the same group data at 30 digits):
  // gE/RT = 0.31005484383637, HE = -22001.6964306382 J/kmol,
  // SE = -2640.78198339494 and CpE = 1576.64457266815 J/(kmol*K).
  EXPECT_NEAR(x0 * (lnC0 + lnR0) + x1 * (lnC1 + lnR1), 0.31005484383637, 1e-12);
  EXPECT_NEAR(model.gE().value(), 0.31005484383637, 1e-12);
  EXPECT_NEAR(model.HE().value(), -22001.6964306382, 1e-7);
  EXPECT_NEAR(model.SE().value(), -2640.78198339494, 1e-8);
  EXPECT_NEAR(model.CpE().value(), 1576.64457266815, 1e-8);
}

TEST_F(ActivityTest, UnifacMatchesPublishedExamples) {
  struct Example {
    const char *source;
    std::map<int, Subgroups> map;
    double T, x1, gamma1, gamma2, tolerance1, tolerance2;
  };
  const std::vector<Example> examples{
      // J. M. Smith, H. C. Van Ness, M. M. Abbott, Introduction to Chemical
      // Engineering Thermodynamics, 7th ed., McGraw-Hill 2005, Appendix H,
      // Example H.1: diethylamine (2 CH3, CH2, CH2NH) + n-heptane (2 CH3,
      // 5 CH2) at 308.15 K, x1 = 0.4: gamma1 = 1.133, gamma2 = 1.047.
      {"diethylamine + n-heptane",
       {{0, {{1, 2}, {2, 1}, {32, 1}}}, {1, {{1, 2}, {2, 5}}}},
       308.15,
       0.4,
       1.133,
       1.047,
       5e-4,
       5e-4},
      // B. E. Poling, J. M. Prausnitz, J. P. O'Connell, The Properties of
      // Gases and Liquids, 5th ed., McGraw-Hill 2001, Example 8-12: acetone
      // (CH3, CH3CO) + n-pentane (2 CH3, 3 CH2) at 307 K, x1 = 0.047:
      // gamma1 = 4.99, gamma2 = 1.005.
      {"acetone + n-pentane",
       {{0, {{1, 1}, {18, 1}}}, {1, {{1, 2}, {2, 3}}}},
       307.0,
       0.047,
       4.99,
       1.005,
       5e-3,
       5e-4},
  };
  setComponents({false, false});
  for (const Example &e : examples) {
    setMap(e.map);
    Unifac model;
    const std::vector<double> g = gammas(model, e.T, {e.x1, 1 - e.x1});
    EXPECT_NEAR(g[0], e.gamma1, e.tolerance1) << e.source;
    EXPECT_NEAR(g[1], e.gamma2, e.tolerance2) << e.source;
  }
}

TEST_F(ActivityTest, UnifacSingleComponentIsIdeal) {
  setComponents({false});
  setMap({{0, {{1, 1}, {2, 1}, {14, 1}}}});
  Unifac model;
  const std::vector<double> g = gammas(model, 350, {1});
  EXPECT_NEAR(model.V()[0].value(), 1.0, 1e-15);
  EXPECT_NEAR(model.F()[0].value(), 1.0, 1e-15);
  EXPECT_NEAR(model.logGammaC()[0].value(), 0.0, 1e-15);
  for (const int k : {1, 2, 14})
    EXPECT_NEAR(model.logGAMMA().at(k).value(), model.logGAMMAi()[0].at(k).value(), 1e-15) << k;
  EXPECT_NEAR(g[0], 1.0, 1e-15);
}

TEST_F(ActivityTest, UnifacOneMainGroupHasOnlyTheCombinatorialPart) {
  setComponents({false, false});
  setMap({{0, {{1, 2}}}, {1, {{1, 1}, {2, 1}}}});
  Unifac model;
  const std::vector<double> g = gammas(model, 320, {0.3, 0.7});
  for (const auto &[m, row] : model.Psi())
    for (const auto &[k, psi] : row)
      EXPECT_EQ(psi.value(), 1.0) << m << ", " << k;
  // ethane-like {2 CH3}: r = 1.8022, q = 1.696; propane-like {CH3, CH2}:
  // r = 1.5755, q = 1.388.
  const double r[2] = {2 * 0.9011, 0.9011 + 0.6744}, q[2] = {2 * 0.848, 0.848 + 0.54};
  const double x[2] = {0.3, 0.7};
  for (int i = 0; i < 2; ++i) {
    EXPECT_NEAR(model.logGammaR()[static_cast<std::size_t>(i)].value(), 0.0, 1e-15);
    const double V = r[i] / (x[0] * r[0] + x[1] * r[1]), F = q[i] / (x[0] * q[0] + x[1] * q[1]);
    const double lnC = 1 - V + std::log(V) - 5 * q[i] * (1 - V / F + std::log(V / F));
    EXPECT_NEAR(g[static_cast<std::size_t>(i)], std::exp(lnC), 1e-14) << i;
  }
}

TEST_F(ActivityTest, UnifacHenryComponentKeepsUnitActivity) {
  setComponents({false, true});
  setMap(ethanolWater);
  Unifac model;
  const std::vector<double> g = gammas(model, 350, {0.4, 0.6});
  EXPECT_EQ(g[1], 1.0);
  EXPECT_EQ(model.gamma(1).derivative(0), 0.0);
  EXPECT_NEAR(g[0], 1.389160, 1e-6);
}

TEST_F(ActivityTest, UnifacDerivativesFollowTemperatureAndComposition) {
  setComponents({false, false});
  setMap(ethanolWater);
  Unifac model;
  const double T = 350;
  double ad[4];
  pushDerivativeContext(2);
  {
    Value t(T, "K");
    std::vector<Value> xs = composition({0.4, 0.6});
    t.activeValue().setActive(0);
    xs[0].activeValue().setActive(1);
    model.setTemperature(t);
    model.calculateExcess(Vector(&xs));
    ad[0] = model.gamma(0).derivative(0);
    ad[1] = model.gamma(0).derivative(1);
    ad[2] = model.gamma(1).derivative(0);
    ad[3] = model.gamma(1).derivative(1);
  }
  popDerivativeContext();
  auto g = [&](double t, double x0, int i) {
    return gammas(model, t, {x0, 0.6})[static_cast<std::size_t>(i)];
  };
  const double hT = 1e-3, hx = 1e-6;
  EXPECT_NEAR(ad[0], (g(T + hT, 0.4, 0) - g(T - hT, 0.4, 0)) / (2 * hT), 1e-8);
  EXPECT_NEAR(ad[1], (g(T, 0.4 + hx, 0) - g(T, 0.4 - hx, 0)) / (2 * hx), 1e-7);
  EXPECT_NEAR(ad[2], (g(T + hT, 0.4, 1) - g(T - hT, 0.4, 1)) / (2 * hT), 1e-8);
  EXPECT_NEAR(ad[3], (g(T, 0.4 + hx, 1) - g(T, 0.4 - hx, 1)) / (2 * hx), 1e-7);
}
