// GERG-2004 Helmholtz energy: pressures, compressibility factors and the
// reduced Helmholtz energies of pure methane and of mixtures against an
// independent evaluation of the published equation, the worked numbers of
// the reducing functions and of the ideal-gas part, and the 20-entry
// gradient against central finite differences.

#include "velta/phases/Gerg2004Helmholtz.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <string>
#include <vector>

using namespace Phase;
using namespace Phase::Gerg2004Helmholtz;

namespace {

// Mole fractions by component index; the others are zero.
const std::map<std::string, std::map<int, double>> compositions = {
    {"methane", {{0, 1}}},
    {"methaneNitrogen", {{0, 0.5}, {1, 0.5}}},
    {"carbonDioxideEthane", {{2, 0.3}, {3, 0.7}}},
    {"naturalGas",
     {{0, 0.8657},
      {1, 0.0234},
      {2, 0.0131},
      {3, 0.064},
      {4, 0.0209},
      {5, 0.0043},
      {6, 0.0039},
      {7, 0.0011},
      {8, 0.0012},
      {9, 0.0014},
      {12, 0.001}}},
    {"allEighteen",
     {{0, 0.67},
      {1, 0.04},
      {2, 0.03},
      {3, 0.05},
      {4, 0.03},
      {5, 0.02},
      {6, 0.02},
      {7, 0.01},
      {8, 0.01},
      {9, 0.01},
      {10, 0.01},
      {11, 0.01},
      {12, 0.03},
      {13, 0.01},
      {14, 0.02},
      {15, 0.01},
      {16, 0.01},
      {17, 0.01}}}};

template <class N> Fractions<N> amounts(const std::string &name) {
  Fractions<N> n;
  for (int i = 0; i < gerg2004Components; ++i) {
    const auto &x = compositions.at(name);
    n[i].value() = x.count(i) ? x.at(i) : 0.0;
    n[i].seed(i + 2);
  }
  return n;
}

template <class N> GenericDeriv<N> seeded(double value, int k) {
  GenericDeriv<N> d{N(value)};
  d.seed(k);
  return d;
}

// The total functions at a state seeded as the property model seeds them.
template <class N> struct Evaluation {
  Evaluation(const std::string &name, double T, double rho)
      : V(seeded<N>(1 / rho, 0)), temperature(seeded<N>(T, 1)), n(amounts<N>(name)),
        ideal(helmholtzIdealTotal(V, temperature, n)),
        residual(helmholtzResidualTotal(V, temperature, n)) {}
  double pressure() const {
    return -(plainValue(ideal[0]) + plainValue(residual[0])) * gasConstant *
           plainValue(temperature);
  }
  GenericDeriv<N> V, temperature;
  Fractions<N> n;
  GenericDeriv<N> ideal, residual;
};

// Independent values: subprojects/phases/tests/Gerg2004Reference.py, an
// evaluation of the published equation with mpmath at 40 digits from the
// published coefficient files (the delta derivative term by term, checked
// there against a numerical derivative); P = R T rho (1 + delta alphar_delta).
struct Reference {
  const char *composition;
  double T, rho; // K, kmol/m3
  double P, Z;   // Pa, -
  double a0, ar; // alpha0 and alphar per amount
};
const Reference references[] = {
    {"methane", 300, 1, 2395255.8570586174, 0.96027579264147999, 2.2033946339479064,
     -0.04091779149118275},
    {"methane", 250, 10, 13364609.27273093, 0.64295648708569491, 4.2541249735019737,
     -0.50691623542927262},
    {"methane", 200, 5, 4809785.9162571698, 0.57848362665207963, 3.025884232756589,
     -0.47284584241203499},
    {"methane", 120, 25, -6952873.9968070456, -0.27874586210673974, 2.1464617766203019,
     -3.9283331009441174},
    {"methane", 400, 15, 67652538.337074871, 1.3561201548551905, 5.0241242914802754,
     0.017231688464152079},
    {"methane", 190, 10.1, 4517575.6310030118, 0.28313644978291261, 3.5655201916829722,
     -0.94538948121928382},
    {"methaneNitrogen", 200, 8, 8769796.729909227, 0.65922682236385749, 2.8333720492540873,
     -0.43149425394174053},
    {"carbonDioxideEthane", 320, 6, 7584355.6895638615, 0.47509754738258519, 3.4346311873569255,
     -0.65608962071294249},
    {"naturalGas", 280, 2, 4112481.0867384056, 0.8832450486715911, 2.208930325209508,
     -0.12343241891304998},
    {"naturalGas", 300, 12, 24422505.014145334, 0.8159302443493617, 4.0754105162220061,
     -0.43278941753244168},
    {"naturalGas", 250, 18, 36199503.891970374, 0.96750992705437443, 4.2337842589092725,
     -0.8553984878184509},
    {"allEighteen", 350, 0.5, 1416710.3457511961, 0.97366227103859811, -0.25551504022466823,
     -0.026826562488561612},
    {"allEighteen", 300, 9, 14867359.579911835, 0.66227049342897786, 2.6484970748241636,
     -0.531170276461105},
};

class Gerg2004States : public testing::TestWithParam<Reference> {};

TEST_P(Gerg2004States, AgreeWithTheIndependentEvaluation) {
  const Reference &r = GetParam();
  const Evaluation<Active> e(r.composition, r.T, r.rho);
  const double P = e.pressure();
  EXPECT_NEAR(P, r.P, 1e-9 * std::fabs(r.P));
  EXPECT_NEAR(P / (r.rho * gasConstant * r.T), r.Z, 1e-9 * std::fabs(r.Z));
  EXPECT_NEAR(plainValue(e.ideal), r.a0, 1e-9 * std::fabs(r.a0));
  EXPECT_NEAR(plainValue(e.residual), r.ar, 1e-9 * std::fabs(r.ar));
  // The ideal-gas part alone gives rho R T.
  EXPECT_NEAR(-plainValue(e.ideal[0]) * gasConstant * r.T, r.rho * gasConstant * r.T,
              1e-12 * r.rho * gasConstant * r.T);
}

INSTANTIATE_TEST_SUITE_P(Gerg2004, Gerg2004States, testing::ValuesIn(references),
                         [](const testing::TestParamInfo<Reference> &info) {
                           return std::string(info.param.composition) + "_" +
                                  std::to_string(static_cast<int>(info.param.T)) + "K_" +
                                  std::to_string(info.index);
                         });

// Every entry of the gradient against central differences of the plain
// evaluation, and the automatic-differentiation instance equal to the plain one.
TEST(Gerg2004Gradient, AgreesWithCentralDifferences) {
  const double T = 300, rho = 9;
  const Evaluation<double> e("allEighteen", T, rho);
  const Evaluation<Active> a("allEighteen", T, rho);
  const auto total = [](const std::vector<double> &v) {
    GenericDeriv<double> V(v[0]), temperature(v[1]);
    Fractions<double> n;
    for (int i = 0; i < gerg2004Components; ++i)
      n[i].value() = v[i + 2];
    return helmholtzIdealTotal(V, temperature, n).value() +
           helmholtzResidualTotal(V, temperature, n).value();
  };
  std::vector<double> point{1 / rho, T};
  for (const GenericDeriv<double> &amount : e.n)
    point.push_back(amount.value());
  for (int k = 0; k < derivLength; ++k) {
    const double h = 1e-5 * point[k];
    std::vector<double> up(point), down(point);
    up[k] += h;
    down[k] -= h;
    const double difference = (total(up) - total(down)) / (2 * h);
    const double gradient = e.ideal[k] + e.residual[k];
    EXPECT_NEAR(gradient, difference, 1e-7 * std::max(1.0, std::fabs(difference))) << "entry " << k;
    EXPECT_EQ(a.ideal[k].value(), e.ideal[k]) << "entry " << k;
    EXPECT_EQ(a.residual[k].value(), e.residual[k]) << "entry " << k;
  }
}

TEST(Gerg2004Reducing, WorkedNumbers) {
  // Pure methane: the component's own critical point.
  const Fractions<double> methane = amounts<double>("methane");
  EXPECT_DOUBLE_EQ(reducingDensityDeriv(methane).value(), 10.139342719);
  EXPECT_DOUBLE_EQ(reducingTemperatureDeriv(methane).value(), 190.564);
  // Equimolar methane-nitrogen, by the printed formula (mpmath, 30 digits):
  // T_r = 155.118291263544804.
  const Fractions<double> equimolar = amounts<double>("methaneNitrogen");
  EXPECT_NEAR(reducingTemperatureDeriv(equimolar).value(), 155.118291263544804, 1e-12);
  EXPECT_NEAR(reducingTemperatureDeriv(equimolar).value(), 155.11829, 5e-6);
  // Plain variants over a view of the phase's fractions agree.
  std::vector<Value> x(gerg2004Components + 2, Value(0.0));
  x[0] = 0.5;
  x[1] = 0.5;
  x[19] = 0.7; // beyond the 18 GERG fluids: not read
  EXPECT_DOUBLE_EQ(reducingTemperature(Vector(&x)).value(),
                   reducingTemperatureDeriv(equimolar).value());
  EXPECT_DOUBLE_EQ(reducingDensity(Vector(&x)).value(), reducingDensityDeriv(equimolar).value());
  // R*/R
  EXPECT_NEAR(idealFitRatio, idealFitGasConstant / equationGasConstant, 1e-15);
}

// Helium keeps only n_1 to n_3: alpha0 = ln delta + R*/R (n1 + n2 tau + n3 ln tau).
TEST(Gerg2004Ideal, HeliumHasOnlyTheFirstThreeTerms) {
  const double delta = 0.3, tau = 1.7;
  const GenericDeriv<double> a = helmholtzIdealPure(
      GenericDeriv<double>(delta), GenericDeriv<double>(tau), gerg2004Parameters().pure[16]);
  const double expected =
      std::log(delta) +
      8.31451 / 8.314472 * (13.628441975 - 143.470759602 * tau + 1.5 * std::log(tau));
  EXPECT_NEAR(a.value(), expected, 1e-13 * std::fabs(expected));
}

// The mixture residual is the sum of its pure-fluid and departure parts:
// pure methane reduces to methane's terms; equimolar methane-nitrogen adds
// 0.25 F (polynomial + exponential departure terms).
TEST(Gerg2004Residual, IsTheSumOfItsParts) {
  const Gerg2004Parameters &p = gerg2004Parameters();
  GenericDeriv<double> delta(0.8), tau(1.3);
  delta.seed(0);
  tau.seed(1);
  const auto pure = [&](int i) {
    return polynomialTerms<double>(p.pure[i].pol, delta, tau) +
           exponentialTerms<double>(p.pure[i].exp, delta, tau);
  };
  const Gerg2004Departure &d = p.departure[gerg2004PairIndex(0, 1)];
  const GenericDeriv<double> departure = polynomialTerms<double>(d.pol, delta, tau) +
                                         departureExponentialTerms<double>(d.exp, delta, tau);
  Fractions<double> methane, equimolar;
  methane[0].value() = 1;
  equimolar[0].value() = equimolar[1].value() = 0.5;
  const GenericDeriv<double> parts[] = {pure(0), 0.5 * pure(0) + 0.5 * pure(1) + 0.25 * departure};
  const GenericDeriv<double> wholes[] = {helmholtzResidual(delta, tau, methane),
                                         helmholtzResidual(delta, tau, equimolar)};
  for (int m = 0; m < 2; ++m)
    for (int k = -1; k < 2; ++k) {
      const double part = k < 0 ? parts[m].value() : parts[m][k];
      const double whole = k < 0 ? wholes[m].value() : wholes[m][k];
      EXPECT_NEAR(whole, part, 1e-14 * std::fabs(part)) << m << " " << k;
    }
  // cosh x = (exp x + exp(-x))/2, entry sinh x.
  const GenericDeriv<double> c = coshDeriv(delta);
  EXPECT_DOUBLE_EQ(c.value(), std::cosh(0.8));
  EXPECT_DOUBLE_EQ(c[0], std::sinh(0.8));
}

// Towards zero density the compressibility factor tends to 1.
TEST(Gerg2004Ideal, DiluteLimitIsTheIdealGas) {
  const double rho = 1e-9, T = 300;
  const Evaluation<double> e("naturalGas", T, rho);
  EXPECT_NEAR(e.pressure() / (rho * gasConstant * T), 1.0, 1e-8);
}

} // namespace
