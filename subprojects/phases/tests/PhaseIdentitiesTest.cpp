// Thermodynamic identities of every registered phase type with a property
// model, at states of both phases, with phases made by type name:
//   cp = (dh/dT)_P by automatic differentiation (along the isobar, the
//   density variable following the pressure) and by central differences;
//   T (ds/dT)_P = cp and (d(h - T s)/dP)_T = v by central differences, which
//   tie h, s and v together through g = h - T s;
//   ln phi against the Gibbs energy over the model's reference,
//   g - g_ref = R T sum x_i (ln phi_i - ln phi_ref,i): the ideal gas of the
//   vapour routes for the equations of state, the ideal solution for the
//   activity models, IAPWS-95's own ideal gas for water;
//   for the equations of state, hV - hL = T (vV - vL) dpsat/dT of the same
//   model at its own saturation (psat from equal fugacities);
//   a state asked for after another one is that state: A, then B, then A
//   again (with nothing prepared) equals a fresh phase at A.
// None of the numbers compared comes from the other side of the identity.

#include "ActivityTestSupport.h"
#include "GergTestSupport.h"
#include "PcsaftTestSupport.h"

#include "velta/persistency/NodeFactory.h"
#include "velta/phases/ActivityParameters.h"
#include "velta/phases/Iapws.h"
#include "velta/phases/IapwsCoefficients.h"
#include "velta/phases/IapwsHelmholtz.h"
#include "velta/phases/PcsaftEquations.h"
#include "velta/phases/PhaseTypes.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <memory>
#include <string>
#include <vector>

using namespace phasetest;
using eostest::ScopedContext;

namespace {

enum class Setup { ternary, water, gerg };
// What ln phi is measured against (None: the model is its own reference).
enum class Reference { idealGas, idealSolution, water, none };

struct IdentityCase {
  const char *name;
  const char *type;      // registered phase type
  const char *phaseType; // "vapor" or "liquid"
  Setup setup;
  std::vector<double> x;
  double T, P;       // K, Pa
  Reference reference;
  double R;          // the model's gas constant, J/(kmol*K)
  double tolerance;  // relative, of the difference identities
  bool volumetric;   // whether (dg/dP)_T = v holds (not for the liquid routes)
  double Tsat;       // saturation of the pure component pure, 0 for none
  int pure;
  double Pguess;     // start of the saturation pressure, Pa
};

std::ostream &operator<<(std::ostream &os, const IdentityCase &c) { return os << c.name; }

constexpr double processR = 8314.4;
constexpr double pcsaftR = Phase::pcsaft::R * 1000.0;
// IAPWS-95: R = 0.46151805 kJ/(kg K), M = 18.015268 kg/kmol.
constexpr double waterR = Phase::IapwsCoefficients::gasConstant * Phase::IapwsCoefficients::molarMass * 1000.0;

// ---------------------------------------------------------------- set-up

// Ternary of methane, n-butane and carbon dioxide: critical constants for
// the cubics, PC-SAFT parameters (Gross and Sadowski 2001, Table 2), NRTL
// and UNIFAC parameters for the activity models (any values serve an
// identity; the UNIFAC groups are those of ethanol, water and n-hexane).
void useTernary() {
  components.clear();
  components.add(new eostest::CriticalComponent("CH4", eostest::methane));
  components.add(new eostest::CriticalComponent("C4H10", eostest::butane));
  components.add(new eostest::CriticalComponent("CO2", eostest::co2));
  const pcsafttest::Parameters pc[3] = {
      pcsafttest::methane, pcsafttest::butane, {2.0729, 2.7852, 169.21, 20.0}};
  for (int i = 0; i < 3; ++i) {
    Phase::pcsaftM[i] = pc[i].m;
    Phase::pcsaftSigma[i] = pc[i].sigma;
    Phase::pcsaftEpsilon[i] = pc[i].epsilon;
  }
  Phase::pcsaftSetNcomp(3);
  using namespace Phase::Activity;
  ParametersNrtl1::resize(3);
  const double b1[3][3] = {{0, 600, -120}, {300, 0, 250}, {80, -40, 0}};
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j) {
      ParametersNrtl1::alpha(i, j) = i == j ? 0.0 : 0.3;
      ParametersNrtl1::b(i, j) = b1[i][j];
    }
  activitytest::setTernaryNrtl2();
  ParametersUnifac::componentSubgroups() = {
      {0, {{1, 1}, {2, 1}, {14, 1}}}, {1, {{16, 1}}}, {2, {{1, 2}, {2, 4}}}};
}

void use(Setup setup) {
  switch (setup) {
  case Setup::ternary:
    useTernary();
    break;
  case Setup::water:
    components.clear();
    components.add(new LinearComponent("H2O", PureData{}));
    break;
  case Setup::gerg:
    gergtest::useFluids();
    break;
  }
}

std::unique_ptr<Phase::Generic> makePhase(const std::vector<double> &x, const std::string &type,
                                          const char *phaseType) {
  std::unique_ptr<Node> node = NodeFactory().create(
      type, Defaults("X", "x").setString("typeP", phaseType), 0, nullptr, nullptr, nullptr);
  auto *phase = dynamic_cast<Phase::Generic *>(node.get());
  if (!phase)
    throw std::runtime_error(type + " is not a phase with a property model");
  node.release();
  setComposition(*phase, x);
  return std::unique_ptr<Phase::Generic>(phase);
}

// ---------------------------------------------------------------- states

// The density variable that a stream would solve for: beta of an engine,
// delta of IAPWS-95, with the bounds of the phase type; none for the ideal
// and activity models.
struct DensityVariable {
  Value *value = nullptr;
  double low = 0.0, high = 0.0;
};

DensityVariable densityOf(Phase::Generic &phase) {
  Phase::Generic::Interface &model = phase.model();
  const int type = model.phaseType();
  if (auto *iapws = dynamic_cast<Phase::Iapws *>(&model)) {
    const auto bounds = Phase::Iapws::deltaBounds(type);
    return {&iapws->delta, *bounds.first, *bounds.second};
  }
  if (auto *eos = dynamic_cast<Phase::EosInterface *>(&model)) {
    const bool vapor = type == static_cast<int>(Velta::Utility::PhaseType::vapor);
    return {&eos->beta, vapor ? 0.0 : eos->betamin(), vapor ? eos->betamax() : 1.0};
  }
  return {};
}

double pressureAt(Phase::Generic &phase, const DensityVariable &d, double density,
                  const Value &T) {
  *d.value = Value(density);
  return phase.calculate_P(Value(1.0, "kmol/m3"), T).value();
}

// The root of the phase's pressure at P: a vapour's from the dilute end up,
// a liquid's from the dense end down, then bisection to the last bit.
void solveDensity(Phase::Generic &phase, const Value &T, double P) {
  const DensityVariable d = densityOf(phase);
  if (!d.value)
    return;
  const bool vapor = phase.model().phaseType() == static_cast<int>(Velta::Utility::PhaseType::vapor);
  double below, above; // pressure below P at `below`, above P at `above`
  if (vapor) {
    above = 1e-12 * d.high;
    while (pressureAt(phase, d, above, T) < P && above < d.high)
      above *= 1.5;
    below = above / 1.5;
  } else {
    const double step = 0.01 * (d.high - d.low);
    below = d.high - 1e-9 * (d.high - d.low);
    while (pressureAt(phase, d, below, T) > P && below > d.low)
      below -= step;
    above = below + step;
  }
  for (int i = 0; i < 200 && std::fabs(above - below) > 2e-16 * std::fabs(above); ++i) {
    const double middle = 0.5 * (above + below);
    (pressureAt(phase, d, middle, T) < P ? below : above) = middle;
  }
  *d.value = Value(0.5 * (above + below));
}

struct Properties {
  double H, S, Cp, v;
  std::vector<double> lnphi;
};

// The properties of the state the phase is in, asked in the order of a
// phase's property pass.
Properties read(Phase::Generic &phase, const Value &T, const Value &P) {
  Properties p;
  p.v = 1.0 / phase.calculate_rho(P, T).value();
  p.H = phase.calculate_H(P, T).value();
  p.S = phase.calculate_S(P, T).value();
  p.Cp = phase.calculate_Cp(P, T).value();
  phase.preparefugacity(P, T);
  for (int i = 0; i < NCOMPONENTS; ++i)
    p.lnphi.push_back(phase.fugacity(i).value());
  return p;
}

Properties propertiesAt(Phase::Generic &phase, double T, double P) {
  const Value t(T, "K"), p(P, "Pa");
  phase.prepare(t);
  solveDensity(phase, t, P);
  return read(phase, t, p);
}

// (dH/dT)_P by automatic differentiation in T and the density variable d:
// H_T + H_d dd/dT with dd/dT = -P_T / P_d from the model's pressure.
double cpByDerivatives(Phase::Generic &phase, double T, double P) {
  const Value pressure(P, "Pa");
  propertiesAt(phase, T, P);
  const DensityVariable d = densityOf(phase);
  Value t(T, "K");
  ScopedContext context(2);
  t.activeValue().setActive(0);
  if (d.value)
    d.value->activeValue().setActive(1);
  phase.prepare(t);
  double follow = 0.0;
  if (d.value) {
    const Active &p = phase.calculate_P(Value(1.0, "kmol/m3"), t).activeValue();
    follow = -p.derivative(0) / p.derivative(1);
  }
  const Active &h = phase.calculate_H(pressure, t).activeValue();
  const double cp = h.derivative(0) + h.derivative(1) * follow;
  t.activeValue().setInactive(0);
  if (d.value)
    d.value->activeValue().setInactive(1);
  return cp;
}

// Saturation pressure of the pure phases at T: Newton in ln P on
// ln phiL - ln phiV = (gL - gV) / (R T), whose slope is (vL - vV) P / (R T).
double saturationPressure(Phase::Generic &vapour, Phase::Generic &liquid, int i, double T,
                          double P, double R) {
  for (int iteration = 0; iteration < 100; ++iteration) {
    const Properties v = propertiesAt(vapour, T, P), l = propertiesAt(liquid, T, P);
    const double f = l.lnphi[i] - v.lnphi[i];
    const double step = -f / ((l.v - v.v) * P / (R * T));
    P *= std::exp(std::max(-0.5, std::min(0.5, step)));
    if (std::fabs(step) < 1e-15)
      break;
  }
  return P;
}

double relative(double a, double b) { return std::fabs(a - b) / std::fabs(b); }

class PhaseIdentities : public testing::TestWithParam<IdentityCase> {
protected:
  void SetUp() override {
    Velta::Phases::registerPhaseTypes();
    use(GetParam().setup);
  }
  void TearDown() override {
    components.clear();
    pcsafttest::clearTables();
    activitytest::clearParameters();
  }
};

} // namespace

TEST_P(PhaseIdentities, HeatCapacityIsTheTemperatureDerivativeOfEnthalpy) {
  const IdentityCase &c = GetParam();
  auto phase = makePhase(c.x, c.type, c.phaseType);
  const Properties at = propertiesAt(*phase, c.T, c.P);
  const double dT = 1e-4 * c.T;
  const Properties hot = propertiesAt(*phase, c.T + dT, c.P);
  const Properties cold = propertiesAt(*phase, c.T - dT, c.P);
  EXPECT_LT(relative(cpByDerivatives(*phase, c.T, c.P), at.Cp), c.tolerance);
  EXPECT_LT(relative((hot.H - cold.H) / (2 * dT), at.Cp), c.tolerance);
  EXPECT_LT(relative(c.T * (hot.S - cold.S) / (2 * dT), at.Cp), c.tolerance);
}

TEST_P(PhaseIdentities, GibbsEnergyHasTheVolumeAsPressureDerivative) {
  const IdentityCase &c = GetParam();
  if (!c.volumetric)
    GTEST_SKIP() << "the liquid routes carry no pressure dependence";
  auto phase = makePhase(c.x, c.type, c.phaseType);
  const Properties at = propertiesAt(*phase, c.T, c.P);
  const double dP = 1e-4 * c.P;
  const Properties high = propertiesAt(*phase, c.T, c.P + dP);
  const Properties low = propertiesAt(*phase, c.T, c.P - dP);
  const double dgdP = ((high.H - c.T * high.S) - (low.H - c.T * low.S)) / (2 * dP);
  // On the ideal gas of the routes (R = 8314.4 J/(kmol K)) a model with a
  // gas constant of its own adds (8314.4 - R) T / P.
  const double offset = c.reference == Reference::idealGas ? (processR - c.R) * c.T / c.P : 0.0;
  EXPECT_LT(relative(dgdP, at.v + offset), c.tolerance);
}

TEST_P(PhaseIdentities, FugacityCoefficientsGiveTheGibbsEnergyOverTheReference) {
  const IdentityCase &c = GetParam();
  if (c.reference == Reference::none)
    GTEST_SKIP() << "the ideal solution is its own reference";
  auto phase = makePhase(c.x, c.type, c.phaseType);
  const Properties at = propertiesAt(*phase, c.T, c.P);
  double gReference = 0.0;
  std::vector<double> lnphiReference(c.x.size(), 0.0);
  if (c.reference == Reference::water) {
    // IAPWS-95's ideal gas at T and P: g = R T (1 + phi0(delta_ig, tau)).
    namespace w = Phase::IapwsCoefficients;
    const double deltaIdeal = c.P / (w::gasConstant * 1000.0 * w::criticalDensity * c.T);
    gReference = waterR * c.T * (1.0 + Phase::iapwsPhi0(deltaIdeal, w::criticalTemperature / c.T));
  } else {
    auto reference = makePhase(c.x, "PhaseIdeal",
                               c.reference == Reference::idealGas ? "vapor" : "liquid");
    const Properties r = propertiesAt(*reference, c.T, c.P);
    gReference = r.H - c.T * r.S;
    lnphiReference = r.lnphi;
  }
  double sum = 0.0;
  for (std::size_t i = 0; i < c.x.size(); ++i)
    if (c.x[i] > 0.0)
      sum += c.x[i] * (at.lnphi[i] - lnphiReference[i]);
  const double g = at.H - c.T * at.S;
  EXPECT_NEAR(g - gReference, c.R * c.T * sum, 1e-9 * std::fabs(g) + 1e-6);
}

TEST_P(PhaseIdentities, EnthalpyOfVaporisationIsTheClapeyronValue) {
  const IdentityCase &c = GetParam();
  if (c.Tsat == 0.0)
    GTEST_SKIP() << "no saturation case";
  std::vector<double> x(c.x.size(), 0.0);
  x[static_cast<std::size_t>(c.pure)] = 1.0;
  auto vapour = makePhase(x, c.type, "vapor");
  auto liquid = makePhase(x, c.type, "liquid");
  const int i = c.pure;
  const double dT = 0.01;
  const double p = saturationPressure(*vapour, *liquid, i, c.Tsat, c.Pguess, c.R);
  const double pHot = saturationPressure(*vapour, *liquid, i, c.Tsat + dT, p, c.R);
  const double pCold = saturationPressure(*vapour, *liquid, i, c.Tsat - dT, p, c.R);
  const Properties v = propertiesAt(*vapour, c.Tsat, p), l = propertiesAt(*liquid, c.Tsat, p);
  ASSERT_GT(v.v, 1.5 * l.v) << "two distinct phases";
  EXPECT_LT(relative(v.H - l.H, c.Tsat * (v.v - l.v) * (pHot - pCold) / (2 * dT)), 1e-6);
}

TEST_P(PhaseIdentities, TheStateAskedForIsTheStateComputed) {
  const IdentityCase &c = GetParam();
  auto phase = makePhase(c.x, c.type, c.phaseType);
  propertiesAt(*phase, c.T, c.P);
  const DensityVariable d = densityOf(*phase);
  const double densityA = d.value ? d.value->value() : 0.0;
  propertiesAt(*phase, c.T + 20.0, 2.0 * c.P);
  // Back at A's density variable, with nothing prepared.
  if (d.value)
    *d.value = Value(densityA);
  const Properties again = read(*phase, Value(c.T, "K"), Value(c.P, "Pa"));
  auto fresh = makePhase(c.x, c.type, c.phaseType);
  const Properties expected = propertiesAt(*fresh, c.T, c.P);
  EXPECT_DOUBLE_EQ(again.H, expected.H);
  EXPECT_DOUBLE_EQ(again.S, expected.S);
  EXPECT_DOUBLE_EQ(again.Cp, expected.Cp);
  EXPECT_DOUBLE_EQ(again.v, expected.v);
  for (std::size_t i = 0; i < c.x.size(); ++i)
    if (c.x[i] > 0.0)
      EXPECT_DOUBLE_EQ(again.lnphi[i], expected.lnphi[i]) << i;
}

namespace {

const std::vector<double> vapourMix{0.7, 0.3, 0.0};
const std::vector<double> liquidMix{0.1, 0.9, 0.0};
const std::vector<double> ternary{0.3, 0.4, 0.3};
const std::vector<double> water{1.0};
// The natural gas of Gerg2004HelmholtzTest.cpp, and n-octane.
const std::vector<double> naturalGas{0.8657, 0.0234, 0.0131, 0.064,  0.0209, 0.0043,
                                     0.0039, 0.0011, 0.0012, 0.0014, 0,      0,
                                     0.001,  0,      0,      0,      0,      0};
std::vector<double> only(int i) {
  std::vector<double> x(18, 0.0);
  x[static_cast<std::size_t>(i)] = 1.0;
  return x;
}

} // namespace

// Tolerances: 1e-6 of the differences taken over 1e-4 of T or P; IAPWS-95
// makes its heat capacity from forward differences of its own (relative
// steps 1e-6), good to some 1e-6.
INSTANTIATE_TEST_SUITE_P(
    Table, PhaseIdentities,
    testing::Values(
        IdentityCase{"IdealVapour", "PhaseIdeal", "vapor", Setup::ternary, ternary, 300, 1e5,
                     Reference::idealGas, processR, 1e-6, true, 0, 0, 0},
        IdentityCase{"IdealLiquid", "PhaseIdeal", "liquid", Setup::ternary, ternary, 300, 1e5,
                     Reference::none, processR, 1e-6, false, 0, 0, 0},
        IdentityCase{"VanDerWaalsVapour", "PhaseVanDerWaals", "vapor", Setup::ternary, vapourMix,
                     300, 5e5, Reference::idealGas, processR, 1e-6, true, 300, 1, 2.5e5},
        IdentityCase{"VanDerWaalsLiquid", "PhaseVanDerWaals", "liquid", Setup::ternary, liquidMix,
                     300, 2e6, Reference::idealGas, processR, 1e-6, true, 0, 0, 0},
        IdentityCase{"SoaveVapour", "PhaseKwongRedlichSoave", "vapor", Setup::ternary, vapourMix,
                     300, 5e5, Reference::idealGas, processR, 1e-6, true, 300, 1, 2.5e5},
        IdentityCase{"SoaveLiquid", "PhaseKwongRedlichSoave", "liquid", Setup::ternary,
                     liquidMix, 300, 2e6, Reference::idealGas, processR, 1e-6, true, 0, 0, 0},
        IdentityCase{"PengRobinsonVapour", "PhasePengRobinson", "vapor", Setup::ternary,
                     vapourMix, 300, 5e5, Reference::idealGas, processR, 1e-6, true, 300, 1, 2.5e5},
        IdentityCase{"PengRobinsonLiquid", "PhasePengRobinson", "liquid", Setup::ternary,
                     liquidMix, 300, 2e6, Reference::idealGas, processR, 1e-6, true, 0, 0, 0},
        IdentityCase{"PcsaftVapour", "PhasePcsaft", "vapor", Setup::ternary, vapourMix, 300,
                     5e5, Reference::idealGas, pcsaftR, 1e-6, true, 300, 1, 2.5e5},
        IdentityCase{"PcsaftLiquid", "PhasePcsaft", "liquid", Setup::ternary, liquidMix, 300,
                     2e6, Reference::idealGas, pcsaftR, 1e-6, true, 0, 0, 0},
        IdentityCase{"Gerg2004Vapour", "PhaseGerg2004", "vapor", Setup::gerg, naturalGas, 280,
                     2e6, Reference::idealGas, processR, 1e-6, true, 150, 0, 1e6},
        IdentityCase{"Gerg2004Liquid", "PhaseGerg2004", "liquid", Setup::gerg, only(11), 300,
                     5e5, Reference::idealGas, processR, 1e-6, true, 0, 0, 0},
        IdentityCase{"IapwsVapour", "PhaseIapws", "vapor", Setup::water, water, 400, 1e5,
                     Reference::water, waterR, 1e-5, true, 373.15, 0, 1e5},
        IdentityCase{"IapwsLiquid", "PhaseIapws", "liquid", Setup::water, water, 300, 1e5,
                     Reference::water, waterR, 1e-5, true, 0, 0, 0},
        IdentityCase{"Nrtl1Liquid", "PhaseNrtl1", "liquid", Setup::ternary, ternary, 320, 1e5,
                     Reference::idealSolution, processR, 1e-6, false, 0, 0, 0},
        IdentityCase{"Nrtl2Liquid", "PhaseNrtl2", "liquid", Setup::ternary, ternary, 320, 1e5,
                     Reference::idealSolution, processR, 1e-6, false, 0, 0, 0},
        IdentityCase{"UnifacLiquid", "PhaseUnifac", "liquid", Setup::ternary, ternary, 320, 1e5,
                     Reference::idealSolution, processR, 1e-6, false, 0, 0, 0}),
    [](const testing::TestParamInfo<IdentityCase> &info) { return std::string(info.param.name); });
