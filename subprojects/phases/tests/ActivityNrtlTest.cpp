#include "ActivityTestSupport.h"

#include "velta/core/Vector.h"
#include "velta/phases/ActivityNrtl.h"
#include "velta/phases/ActivityParameters.h"
#include "velta/utility/Error.h"
#include "velta/value/DerivativeContext.h"
#include "velta/value/ErrorUnit.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

using namespace Phase::Activity;
using activitytest::ActivityTest;
using activitytest::composition;
using activitytest::setComponents;
using activitytest::setTernaryNrtl2;

namespace {

constexpr double R = 8314.4; // J/(kmol*K)

struct Excess {
  std::vector<double> lngamma;
  double gE = 0;  // gE / (R T)
  double HE = 0;  // J/kmol
  double SE = 0;  // J/(kmol*K)
  double CpE = 0; // J/(kmol*K)
};

Excess evaluate(Nrtl &model, double T, const std::vector<double> &x) {
  std::vector<Value> xs = composition(x);
  model.setTemperature(Value(T, "K"));
  model.calculateExcess(Vector(&xs));
  Excess result;
  for (std::size_t i = 0; i < x.size(); ++i)
    result.lngamma.push_back(std::log(model.gamma(static_cast<int>(i)).value()));
  result.gE = model.gE().value();
  result.HE = model.HE().value();
  result.SE = model.SE().value();
  result.CpE = model.CpE().value();
  return result;
}

// alpha_01 = alpha_10 = 0.3, b_01 = 600 K, b_10 = 300 K.
void setWorkedExample() {
  ParametersNrtl1::resize(2);
  ParametersNrtl1::alpha(0, 1) = ParametersNrtl1::alpha(1, 0) = 0.3;
  ParametersNrtl1::b(0, 1) = 600;
  ParametersNrtl1::b(1, 0) = 300;
}

// Binary NRTL in closed form (0 = component 1, 1 = component 2):
//   ln g1 = x2^2 [t21 (G21 / (x1 + x2 G21))^2 + t12 G12 / (x2 + x1 G12)^2]
//   ln g2 = x1^2 [t12 (G12 / (x2 + x1 G12))^2 + t21 G21 / (x1 + x2 G21)^2]
//   gE/RT = x1 x2 [t21 G21 / (x1 + x2 G21) + t12 G12 / (x2 + x1 G12)]
struct Binary {
  double lng1, lng2, gE;
};
Binary binaryNrtl(double t12, double t21, double alpha, double x1) {
  const double x2 = 1 - x1, G12 = std::exp(-alpha * t12), G21 = std::exp(-alpha * t21);
  const double d1 = x1 + x2 * G21, d2 = x2 + x1 * G12;
  return {x2 * x2 * (t21 * std::pow(G21 / d1, 2) + t12 * G12 / (d2 * d2)),
          x1 * x1 * (t12 * std::pow(G12 / d2, 2) + t21 * G21 / (d1 * d1)),
          x1 * x2 * (t21 * G21 / d1 + t12 * G12 / d2)};
}

// Central difference of f over T with step h.
template <class F> double dT(F f, double T, double h) { return (f(T + h) - f(T - h)) / (2 * h); }

} // namespace

TEST_F(ActivityTest, NrtlWorkedExampleMatchesBinaryClosedForm) {
  setComponents({false, false});
  setWorkedExample();
  Nrtl1 model;
  const double T = 350;
  const Excess r = evaluate(model, T, {0.4, 0.6});
  // t12 = 600/350 = 1.714286, t21 = 300/350 = 0.857143, G12 = 0.597928,
  // G21 = 0.773258: ln g1 = 0.771188, ln g2 = 0.281326, gE/RT = 0.477270.
  const Binary expected = binaryNrtl(600 / T, 300 / T, 0.3, 0.4);
  EXPECT_NEAR(r.lngamma[0], expected.lng1, 1e-12);
  EXPECT_NEAR(r.lngamma[1], expected.lng2, 1e-12);
  EXPECT_NEAR(r.lngamma[0], 0.771188, 1e-6);
  EXPECT_NEAR(r.lngamma[1], 0.281326, 1e-6);
  EXPECT_NEAR(r.gE, 0.477270, 1e-6);
  EXPECT_NEAR(model.G()[1].value(), 0.597928, 1e-6);
  EXPECT_NEAR(model.G()[2].value(), 0.773258, 1e-6);
  // Both interactions repulsive: positive deviation.
  EXPECT_GT(r.gE, 0);
  EXPECT_GT(r.lngamma[0], 0);
  EXPECT_GT(r.lngamma[1], 0);
  // gE/RT = sum of x_i ln gamma_i.
  EXPECT_NEAR(r.gE, 0.4 * r.lngamma[0] + 0.6 * r.lngamma[1], 1e-12);
  // The stored excess values are R T times the reduced ones.
  EXPECT_NEAR(r.HE, R * T * model.hE().value(), 1e-9 * std::fabs(r.HE));
  EXPECT_NEAR(r.SE, R * T * model.sE().value(), 1e-9 * std::fabs(r.SE));
  EXPECT_NEAR(r.CpE, R * T * model.cpE().value(), 1e-9 * std::fabs(r.CpE));
  EXPECT_EQ(model.HE().uom(), Value(0.0, "J/kmol").uom());
  EXPECT_EQ(model.SE().uom(), Value(0.0, "J/kmol/K").uom());
  EXPECT_EQ(model.CpE().uom(), Value(0.0, "J/kmol/K").uom());
}

TEST_F(ActivityTest, NrtlExcessPropertiesAreTemperatureDerivativesOfGibbsEnergy) {
  setComponents({false, false});
  setWorkedExample();
  Nrtl1 model;
  const double T = 350, h = 1e-3;
  const std::vector<double> x{0.4, 0.6};
  const Excess r = evaluate(model, T, x);
  auto gE = [&](double t) { return evaluate(model, t, x).gE; };
  auto HE = [&](double t) { return evaluate(model, t, x).HE; };
  // hE = -R T^2 d(gE/RT)/dT; sE = (hE - gE)/T; cpE = dhE/dT at fixed x.
  // Independent finite differences: HE = 1.01140e6 J/kmol, CpE = 1962.3 J/(kmol*K).
  EXPECT_NEAR(r.HE, -R * T * T * dT(gE, T, h), 1e-6 * std::fabs(r.HE));
  EXPECT_NEAR(r.SE, (r.HE - R * T * r.gE) / T, 1e-9 * std::fabs(r.SE));
  EXPECT_NEAR(r.CpE, dT(HE, T, 0.01), 1e-6 * std::fabs(r.CpE));
  EXPECT_NEAR(r.HE, 1.011401e6, 1.0);
  EXPECT_NEAR(r.CpE, 1962.28, 0.01);
}

TEST_F(ActivityTest, NrtlInfiniteDilution) {
  setComponents({false, false});
  setWorkedExample();
  Nrtl1 model;
  const double T = 350, t12 = 600 / T, t21 = 300 / T;
  // ln g1(x1 -> 0) = t21 + t12 exp(-alpha t12); ln g2(x2 -> 0) = t12 + t21 exp(-alpha t21).
  EXPECT_NEAR(evaluate(model, T, {0, 1}).lngamma[0], t21 + t12 * std::exp(-0.3 * t12), 1e-12);
  EXPECT_NEAR(evaluate(model, T, {1, 0}).lngamma[1], t12 + t21 * std::exp(-0.3 * t21), 1e-12);
  // The pure components themselves are ideal.
  EXPECT_NEAR(evaluate(model, T, {1, 0}).lngamma[0], 0, 1e-15);
  EXPECT_NEAR(evaluate(model, T, {0, 1}).gE, 0, 1e-15);
}

TEST_F(ActivityTest, NrtlTernaryConsistency) {
  setComponents({false, false, false});
  setTernaryNrtl2();
  Nrtl2 model;
  const double T = 330;
  for (const std::vector<double> &x : std::vector<std::vector<double>>{
           {0.2, 0.3, 0.5}, {0.7, 0.2, 0.1}, {0.05, 0.05, 0.9}, {1.0 / 3, 1.0 / 3, 1.0 / 3}}) {
    const Excess r = evaluate(model, T, x);
    double sum = 0;
    for (int i = 0; i < 3; ++i)
      sum += x[i] * r.lngamma[i];
    EXPECT_NEAR(r.gE, sum, 1e-12) << x[0];
    // Temperature-dependent alpha and tau: every derivative term is exercised.
    auto gE = [&](double t) { return evaluate(model, t, x).gE; };
    auto HE = [&](double t) { return evaluate(model, t, x).HE; };
    const Excess again = evaluate(model, T, x);
    EXPECT_NEAR(again.HE, -R * T * T * dT(gE, T, 1e-3), 1e-6 * std::fabs(again.HE) + 1e-3);
    EXPECT_NEAR(again.CpE, dT(HE, T, 1e-2), 1e-5 * std::fabs(again.CpE) + 1e-3);
    // Gibbs-Duhem: sum x_i d ln gamma_i = 0 along any composition change;
    // here the change moves x0 against x2.
    const double h = 1e-6;
    std::vector<double> up = x, down = x;
    up[0] += h, up[2] -= h, down[0] -= h, down[2] += h;
    const Excess ru = evaluate(model, T, up), rd = evaluate(model, T, down);
    double gibbsDuhem = 0;
    for (int i = 0; i < 3; ++i)
      gibbsDuhem += x[i] * (ru.lngamma[i] - rd.lngamma[i]) / (2 * h);
    EXPECT_NEAR(gibbsDuhem, 0, 1e-7) << x[0];
  }
}

TEST_F(ActivityTest, Nrtl2ReducesToNrtl1) {
  setComponents({false, false});
  setWorkedExample();
  ParametersNrtl2::resize(2);
  ParametersNrtl2::c(0, 1) = ParametersNrtl2::c(1, 0) = 0.3;
  ParametersNrtl2::b(0, 1) = 600;
  ParametersNrtl2::b(1, 0) = 300;
  Nrtl1 one;
  Nrtl2 two;
  for (const double T : {300.0, 350.0, 420.0}) {
    const Excess r1 = evaluate(one, T, {0.3, 0.7}), r2 = evaluate(two, T, {0.3, 0.7});
    EXPECT_NEAR(r2.lngamma[0], r1.lngamma[0], 1e-13);
    EXPECT_NEAR(r2.lngamma[1], r1.lngamma[1], 1e-13);
    EXPECT_NEAR(r2.HE, r1.HE, 1e-8 * std::fabs(r1.HE));
    EXPECT_NEAR(r2.CpE, r1.CpE, 1e-8 * std::fabs(r1.CpE));
  }
}

TEST_F(ActivityTest, NrtlWithoutInteractionIsIdeal) {
  setComponents({false, false, false});
  ParametersNrtl1::resize(3);
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j)
      ParametersNrtl1::alpha(i, j) = 0.3;
  Nrtl1 model;
  const Excess r = evaluate(model, 350, {0.2, 0.3, 0.5});
  for (const double lng : r.lngamma)
    EXPECT_EQ(lng, 0.0);
  EXPECT_EQ(r.gE, 0.0);
  EXPECT_EQ(r.HE, 0.0);
  EXPECT_EQ(r.SE, 0.0);
  EXPECT_EQ(r.CpE, 0.0);
}

TEST_F(ActivityTest, NrtlSingleComponentNeedsNoParameters) {
  setComponents({false});
  Nrtl1 model;
  const Excess r = evaluate(model, 350, {1});
  EXPECT_EQ(r.lngamma[0], 0.0);
  EXPECT_EQ(model.tau()[0].value(), 0.0);
  EXPECT_EQ(model.G()[0].value(), 1.0);
  EXPECT_EQ(r.gE, 0.0);
  EXPECT_EQ(r.HE, 0.0);
  EXPECT_EQ(r.CpE, 0.0);
}

TEST_F(ActivityTest, NrtlHenryComponentKeepsUnitActivity) {
  setComponents({false, false, false});
  setTernaryNrtl2();
  Nrtl2 reference;
  const Excess plain = evaluate(reference, 330, {0.2, 0.3, 0.5});
  setComponents({false, false, true});
  Nrtl2 model;
  const Excess henry = evaluate(model, 330, {0.2, 0.3, 0.5});
  EXPECT_EQ(model.gamma(2).value(), 1.0);
  EXPECT_NE(plain.lngamma[2], 0.0);
  // It still takes part in the sums of the others.
  EXPECT_EQ(henry.lngamma[0], plain.lngamma[0]);
  EXPECT_EQ(henry.lngamma[1], plain.lngamma[1]);
  EXPECT_EQ(henry.gE, plain.gE);
}

TEST_F(ActivityTest, NrtlDerivativesFollowTemperatureAndComposition) {
  setComponents({false, false, false});
  setTernaryNrtl2();
  Nrtl2 model;
  const double T = 330;
  const std::vector<double> x{0.2, 0.3, 0.5};
  std::vector<double> ad(4), dHEdT(1);
  pushDerivativeContext(2);
  {
    Value t(T, "K");
    std::vector<Value> xs = composition(x);
    t.activeValue().setActive(0);
    xs[1].activeValue().setActive(1);
    model.setTemperature(t);
    model.calculateExcess(Vector(&xs));
    ad = {model.gamma(0).derivative(0), model.gamma(0).derivative(1), model.gamma(2).derivative(0),
          model.gamma(2).derivative(1)};
    dHEdT[0] = model.HE().activeValue().derivative(0);
  }
  popDerivativeContext();
  auto gamma = [&](double t, double x1, int i) {
    std::vector<double> xx = x;
    xx[1] = x1;
    return std::exp(evaluate(model, t, xx).lngamma[static_cast<std::size_t>(i)]);
  };
  const double hT = 1e-3, hx = 1e-6;
  EXPECT_NEAR(ad[0], (gamma(T + hT, x[1], 0) - gamma(T - hT, x[1], 0)) / (2 * hT), 1e-7);
  EXPECT_NEAR(ad[1], (gamma(T, x[1] + hx, 0) - gamma(T, x[1] - hx, 0)) / (2 * hx), 1e-7);
  EXPECT_NEAR(ad[2], (gamma(T + hT, x[1], 2) - gamma(T - hT, x[1], 2)) / (2 * hT), 1e-7);
  EXPECT_NEAR(ad[3], (gamma(T, x[1] + hx, 2) - gamma(T, x[1] - hx, 2)) / (2 * hx), 1e-7);
  // The derivative of HE along T is the excess heat capacity.
  const Excess r = evaluate(model, T, x);
  EXPECT_NEAR(dHEdT[0], r.CpE, 1e-9 * std::fabs(r.CpE));
}

TEST_F(ActivityTest, NrtlRefusesParameterSetsThatDoNotFit) {
  struct Case {
    const char *what;
    int components;
    void (*fill)();
    bool nrtl2;
    std::vector<std::string> expected;
  };
  const std::vector<Case> cases{
      {"unfilled set",
       2,
       [] {},
       false,
       {"Phase::Activity::Nrtl1", "NCOMPONENTS == ParametersNrtl1::size()",
        "subprojects/phases/src/ActivityNrtl"}},
      {"set for two components",
       3,
       [] { ParametersNrtl1::resize(2); },
       false,
       {"NCOMPONENTS == ParametersNrtl1::size()"}},
      {"short alpha table",
       3,
       [] {
         ParametersNrtl1::resize(3);
         ParametersNrtl1::alphaTable().resize(8);
       },
       false,
       {"table alpha of ParametersNrtl1 holds 8 elements, 9 needed"}},
      {"short b table",
       3,
       [] {
         ParametersNrtl1::resize(3);
         ParametersNrtl1::bTable().resize(4);
       },
       false,
       {"table b of ParametersNrtl1 holds 4 elements, 9 needed"}},
      {"unfilled set 2",
       2,
       [] {},
       true,
       {"Phase::Activity::Nrtl2", "NCOMPONENTS == ParametersNrtl2::size()"}},
      {"missing f table",
       2,
       [] {
         ParametersNrtl2::resize(2);
         ParametersNrtl2::fTable().clear();
       },
       true,
       {"table f of ParametersNrtl2 holds 0 elements, 4 needed"}},
  };
  for (const Case &c : cases) {
    activitytest::clearParameters();
    setComponents(std::vector<bool>(static_cast<std::size_t>(c.components), false));
    c.fill();
    std::vector<Value> xs = composition(
        std::vector<double>(static_cast<std::size_t>(c.components), 1.0 / c.components));
    Nrtl1 one;
    Nrtl2 two;
    Nrtl &model = c.nrtl2 ? static_cast<Nrtl &>(two) : static_cast<Nrtl &>(one);
    try {
      model.setTemperature(Value(350.0, "K"));
      ADD_FAILURE() << c.what << ": no error";
    } catch (const ErrorRunTime &error) {
      for (const std::string &text : c.expected)
        EXPECT_NE(error.message().find(text), std::string::npos) << c.what << "\n"
                                                                 << error.message();
      EXPECT_NE(error.message().find("Called from function: Phase::Activity::Nrtl::setTemperature"),
                std::string::npos)
          << error.message();
    }
  }
}

TEST_F(ActivityTest, NrtlRefusesAChangedComponentList) {
  setComponents({false, false});
  setWorkedExample();
  Nrtl1 model;
  setComponents({false, false, false});
  ParametersNrtl1::resize(3);
  EXPECT_THROW(model.setTemperature(Value(350.0, "K")), ErrorRunTime);
  std::vector<Value> xs = composition({0.2, 0.3, 0.5});
  EXPECT_THROW(model.calculateExcess(Vector(&xs)), ErrorRunTime);
}

TEST_F(ActivityTest, InterfaceStartsEmptyAndStoresTemperature) {
  components.clear();
  EXPECT_EQ(Nrtl1().ncoefficients(), 0);

  setComponents({false, false, false});
  Nrtl1 model;
  ASSERT_EQ(model.ncoefficients(), 3);
  // Nothing computed yet: coefficients 0 (not 1), excess values 0.
  for (int i = 0; i < 3; ++i)
    EXPECT_EQ(model.gamma(i).value(), 0.0);
  EXPECT_EQ(model.HE().value(), 0.0);
  EXPECT_EQ(model.HE().uom(), Value(1.0, "J/kmol").uom());
  EXPECT_EQ(model.SE().value(), 0.0);
  EXPECT_EQ(model.CpE().value(), 0.0);
  EXPECT_EQ(model.gE().value(), 0.0);

  EXPECT_EQ(model.setT(Value(350.0, "K")).value(), 350.0);
  EXPECT_EQ(model.T().value(), 350.0);
  EXPECT_EQ(model.Tvalue().uom(), Value(1.0, "K").uom());
  model.setT(Value(400.0, "K"));
  EXPECT_EQ(model.T().value(), 400.0);
  EXPECT_EQ(model.Tvalue().value(), 400.0);
  // A later temperature must carry the units of the first.
  EXPECT_THROW(model.setT(Value(400.0, "Pa")), ErrorUnit);
}

TEST(ActivityParameters, SizeIsTheRoundedRootOfTheTable) {
  for (const auto &[length, side] : std::vector<std::pair<int, int>>{
           {0, 0}, {1, 1}, {9, 3}, {10, 3}, {12, 3}, {13, 4}, {16, 4}}) {
    ParametersNrtl1::alphaTable().assign(static_cast<std::size_t>(length), 0.0);
    ParametersNrtl2::aTable().assign(static_cast<std::size_t>(length), 0.0);
    EXPECT_EQ(ParametersNrtl1::size(), side) << length;
    EXPECT_EQ(ParametersNrtl2::size(), side) << length;
  }
  activitytest::clearParameters();
}

TEST(ActivityParameters, ElementsAreRowMajorOverTheComponentCount) {
  activitytest::setComponents({false, false, false});
  ParametersNrtl1::resize(3);
  ParametersNrtl2::resize(3);
  ParametersNrtl1::b(1, 0) = 7;
  ParametersNrtl1::b(0, 2) = 5;
  ParametersNrtl2::d(1, 0) = 3;
  EXPECT_EQ(ParametersNrtl1::bTable()[3], 7);
  EXPECT_EQ(ParametersNrtl1::bTable()[2], 5);
  EXPECT_EQ(ParametersNrtl2::dTable()[3], 3);
  activitytest::clearParameters();
  components.clear();
}
