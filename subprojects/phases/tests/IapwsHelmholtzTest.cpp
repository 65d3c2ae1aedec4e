// The water Helmholtz energy against the verification table of the IAPWS
// release (R6-95(2018), Table 6, printed to 9 significant digits), its
// coefficients against the published data file, and the outer derivatives
// of the active instance against its own inner gradient.

#include "velta/phases/IapwsHelmholtz.h"
#include "velta/phases/Iapws.h"
#include "velta/value/DerivativeContext.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

using namespace Phase;

namespace {

using First = IapwsGradient<double>;
using Second = IapwsGradient<IapwsGradient<double>>;

// Value, first and second derivatives of phi0 or phir at one state.
struct Derivatives {
  double value, d, dd, t, tt, dt;
};

template <class F> Derivatives secondOrder(F part, double delta, double tau) {
  const Second d(First::variable(delta, 0), First(1.0, 0.0, 0.0), First(0.0));
  const Second t(First::variable(tau, 1), First(0.0), First(1.0, 0.0, 0.0));
  const Second r = part(d, t);
  return {r.value.value,
          r.value.gradient[0],
          r.gradient[0].gradient[0],
          r.value.gradient[1],
          r.gradient[1].gradient[1],
          r.value.gradient[1] == 0.0 ? 0.0 : r.gradient[0].gradient[1]};
}

void expectRelative(double expected, double actual, double tolerance, const char *what) {
  EXPECT_NEAR(actual, expected, tolerance * std::fabs(expected)) << what;
}

struct TableState {
  const char *name;
  double T, rho;
  Derivatives phi0, phir; // release values; NaN where the release prints none
};

const double nan = std::nan("");

// Release Table 6. phi0 at 500 K is the 2002 paper's 2.04797734 (the
// revised release prints 2.04797733 from slightly revised n°1, n°2).
const TableState states[] = {
    {"T500rho838",
     500.0,
     838.025,
     {2.04797734, 0.384236747, -0.147637878, 9.04611106, -1.93249185, 0.0},
     {-3.42693206, -0.364366650, 0.856063701, -5.81403435, -2.23440737, -1.12176915}},
    {"T647rho358",
     647.0,
     358.0,
     {nan, nan, nan, nan, nan, nan},
     {-1.21202657, -0.714012024, 0.475730696, -3.21722501, -9.96029507, -1.33214720}},
};

class IapwsHelmholtz : public testing::TestWithParam<TableState> {};

TEST_P(IapwsHelmholtz, ReleaseVerificationValues) {
  const TableState &s = GetParam();
  const double delta = s.rho / 322.0, tau = 647.096 / s.T;
  const auto phi0 = [](const Second &d, const Second &t) { return iapwsPhi0(d, t); };
  const auto phir = [](const Second &d, const Second &t) { return iapwsPhir(d, t); };
  const std::pair<Derivatives, Derivatives> cases[] = {{s.phi0, secondOrder(phi0, delta, tau)},
                                                       {s.phir, secondOrder(phir, delta, tau)}};
  for (const auto &[expected, got] : cases) {
    if (std::isnan(expected.value))
      continue;
    expectRelative(expected.value, got.value, 1e-8, "value");
    expectRelative(expected.d, got.d, 1e-8, "d/ddelta");
    expectRelative(expected.dd, got.dd, 1e-8, "d2/ddelta2");
    expectRelative(expected.t, got.t, 1e-8, "d/dtau");
    expectRelative(expected.tt, got.tt, 1e-8, "d2/dtau2");
    if (expected.dt == 0.0)
      EXPECT_EQ(got.dt, 0.0);
    else
      expectRelative(expected.dt, got.dt, 1e-8, "d2/ddelta dtau");
  }
  // Every number type gives the same value and first derivatives (up to the
  // rounding of the nested powers).
  const Derivatives nested = secondOrder(phir, delta, tau);
  expectRelative(nested.value, iapwsPhir(delta, tau), 1e-14, "plain value");
  const First r = iapwsPhir(First::variable(delta, 0), First::variable(tau, 1));
  expectRelative(nested.value, r.value, 1e-14, "first-order value");
  expectRelative(nested.d, r.dDelta(), 1e-14, "first-order d/ddelta");
  expectRelative(nested.t, r.dTau(), 1e-14, "first-order d/dtau");
}

void PrintTo(const TableState &state, std::ostream *out) { *out << state.name; }

INSTANTIATE_TEST_SUITE_P(Release, IapwsHelmholtz, testing::ValuesIn(states),
                         [](const testing::TestParamInfo<TableState> &info) {
                           return std::string(info.param.name);
                         });

// The outer derivatives of the active instance: with delta and tau both
// functions of one outer unknown x (delta = x, tau = x / 2), d phir / dx
// must be phir_delta + phir_tau / 2 from the inner gradient.
TEST(IapwsHelmholtzActive, OuterDerivativesFollowTheInnerGradient) {
  pushDerivativeContext(1);
  {
    Active x(838.025 / 322.0);
    x.setDerivative(0, 1.0);
    const Active tauOuter = 0.5 * x;
    using G = IapwsGradient<Active>;
    const G r = iapwsPhir(G::variable(x, 0), G::variable(tauOuter, 1));
    const G r0 = iapwsPhi0(G::variable(x, 0), G::variable(tauOuter, 1));
    const double outer = r.dDelta().value() + 0.5 * r.dTau().value();
    const double outer0 = r0.dDelta().value() + 0.5 * r0.dTau().value();
    expectRelative(outer, r.value.derivative(0), 1e-13, "phir");
    expectRelative(outer0, r0.value.derivative(0), 1e-13, "phi0");
    expectRelative(iapwsPhir(x.value(), tauOuter.value()), r.value.value(), 1e-14, "value");
  }
  popDerivativeContext();
}

// The model's chain-rule evaluation against the active instance of the
// template, with two outer directions and inner gradients other than the
// plain seeds.
TEST(IapwsHelmholtzActive, ChainRuleEqualsTheActiveTemplate) {
  pushDerivativeContext(2);
  {
    using G = Phase::Iapws::ActiveGradient;
    Active d(358.0 / 322.0), t(647.096 / 647.0), dGrad(0.7);
    d.setDerivative(0, 1.0);
    d.setDerivative(1, -0.3);
    t.setDerivative(1, 2.0);
    dGrad.setDerivative(0, 0.4);
    const G delta(d, dGrad, Active(0.2)), tau(t, Active(-0.1), Active(1.0));
    G chained, direct;
    for (int part = 0; part < 2; ++part) {
      SCOPED_TRACE(part == 0 ? "phi0" : "phir");
      if (part == 0) {
        Phase::Iapws::phi0(chained, delta, tau);
        direct = iapwsPhi0(delta, tau);
      } else {
        Phase::Iapws::phir(chained, delta, tau);
        direct = iapwsPhir(delta, tau);
      }
      const Active *pairs[3][2] = {{&chained.value, &direct.value},
                                   {&chained.gradient[0], &direct.gradient[0]},
                                   {&chained.gradient[1], &direct.gradient[1]}};
      for (const auto &pair : pairs) {
        expectRelative(pair[1]->value(), pair[0]->value(), 1e-13, "value");
        for (int k = 0; k < 2; ++k)
          EXPECT_NEAR(pair[0]->derivative(k), pair[1]->derivative(k),
                      1e-12 * (1.0 + std::fabs(pair[1]->derivative(k))));
      }
    }
  }
  popDerivativeContext();
}

// The edge points where powers meet zero bases stay finite.
TEST(IapwsHelmholtzEdges, ZeroBasesGiveFiniteValuesAndNegativeDeltaKeepsSigns) {
  const First atCritical = iapwsPhir(First::variable(1.0, 0), First::variable(1.0, 1));
  EXPECT_TRUE(std::isfinite(atCritical.value));
  EXPECT_TRUE(std::isfinite(atCritical.dDelta()));
  EXPECT_TRUE(std::isfinite(atCritical.dTau()));
  const First atZero = iapwsPhir(First::variable(0.0, 0), First::variable(1.5, 1));
  EXPECT_EQ(atZero.value, 0.0);
  // delta^d at 0 has derivative 0 even for d = 1; only the plain delta
  // factor of the two non-analytic terms is left, times exp(-28 - 175).
  EXPECT_LT(std::fabs(atZero.dDelta()), 1e-80);
  EXPECT_TRUE(std::isinf(iapwsPhi0(0.0, 1.5)));
  // delta^3 at -0.5: value -0.125, derivative 3 * 0.25.
  const First cube = powWithGradient(First::variable(-0.5, 0), 3.0);
  EXPECT_DOUBLE_EQ(cube.value, -0.125);
  EXPECT_DOUBLE_EQ(cube.dDelta(), 0.75);
  // Finite difference check of phir's delta derivative at a negative delta.
  const double h = 1e-6;
  const First neg = iapwsPhir(First::variable(-0.3, 0), First(1.2));
  EXPECT_NEAR(neg.dDelta(), (iapwsPhir(-0.3 + h, 1.2) - iapwsPhir(-0.3 - h, 1.2)) / (2 * h),
              1e-6 * std::fabs(neg.dDelta()));
}

// ------------------------------------------------------------ data file

std::vector<std::vector<std::string>> readCsv(const std::string &path) {
  std::ifstream in(path);
  std::vector<std::vector<std::string>> rows;
  std::string line;
  std::getline(in, line); // header
  while (std::getline(in, line)) {
    std::vector<std::string> cells;
    std::stringstream stream(line);
    std::string cell;
    while (std::getline(stream, cell, ','))
      cells.push_back(cell);
    cells.resize(15);
    rows.push_back(cells);
  }
  return rows;
}

double number(const std::string &text) {
  std::istringstream in(text);
  in.imbue(std::locale::classic());
  double value = 0.0;
  in >> value;
  return value;
}

TEST(IapwsCoefficients, EveryLiteralEqualsThePublishedDataFile) {
  const std::string path = std::string(VELTA_SHARED_DATA_DIR) + "/iapws95/residual.csv";
  if (!std::ifstream(path))
    GTEST_SKIP() << "the published coefficient file " << path << " is absent";
  namespace c = IapwsCoefficients;
  const auto rows = readCsv(path);
  ASSERT_EQ(rows.size(), 56u);
  // Columns: i, n, c, d, t, alpha, beta, gamma, epsilon, a, b, B, C, D, A.
  for (std::size_t i = 1; i <= 51; ++i) {
    const auto &r = rows[i - 1];
    SCOPED_TRACE("term " + r[0]);
    EXPECT_EQ(c::residualN[i], number(r[1]));
    EXPECT_EQ(c::residualC[i], r[2].empty() ? 0 : number(r[2]));
    EXPECT_EQ(c::residualD[i], number(r[3]));
    EXPECT_EQ(c::residualT[i], number(r[4]));
  }
  for (std::size_t i = 1; i <= 3; ++i) {
    const auto &r = rows[50 + i];
    SCOPED_TRACE("term " + r[0]);
    EXPECT_EQ(c::gaussianN[i], number(r[1]));
    EXPECT_EQ(c::gaussianD, number(r[3]));
    EXPECT_EQ(c::gaussianT[i], number(r[4]));
    EXPECT_EQ(c::gaussianAlpha, number(r[5]));
    EXPECT_EQ(c::gaussianBeta[i], number(r[6]));
    EXPECT_EQ(c::gaussianGamma[i], number(r[7]));
    EXPECT_EQ(c::gaussianEpsilon, number(r[8]));
  }
  for (std::size_t i = 1; i <= 2; ++i) {
    const auto &r = rows[53 + i];
    SCOPED_TRACE("term " + r[0]);
    EXPECT_EQ(c::nonAnalyticN[i], number(r[1]));
    EXPECT_EQ(c::nonAnalyticBeta, number(r[6]));
    EXPECT_EQ(c::nonAnalyticA, number(r[9]));
    EXPECT_EQ(c::nonAnalyticB[i], number(r[10]));
    EXPECT_EQ(c::nonAnalyticBigB, number(r[11]));
    EXPECT_EQ(c::nonAnalyticC[i], number(r[12]));
    EXPECT_EQ(c::nonAnalyticD[i], number(r[13]));
    EXPECT_EQ(c::nonAnalyticBigA, number(r[14]));
  }
}

} // namespace
