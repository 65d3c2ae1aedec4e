// The water and steam property model against the IAPWS release R6-95(2018):
// its single-phase verification table (Table 7: p, cv, w, s at 11 states)
// and its two-phase table (Table 8: saturation at 275, 450 and 625 K).
// Enthalpy and cp, which the release does not print, were computed once
// with Debian's python3-iapws 1.5.3 (IAPWS95(T=..., rho=...).h, .cp), an
// independent implementation; it uses the revised ideal-gas n°1, n°2, which
// shift h by 2.4e-7 kJ/kg only.

#include "TestPhases.h"

#include "velta/components/PureComponents.h"
#include "velta/phases/Iapws.h"
#include "velta/phases/IapwsHelmholtz.h"
#include "velta/value/DerivativeContext.h"
#include "velta/value/ErrorUnit.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

using namespace phasetest;

namespace {

constexpr double molarMass = 18.015268;
constexpr int vapor = 1, liquid = 2, solid = 3;

// A phase over the water model, built like the registered phase types.
class WaterPhase : public Phase::Generic {
public:
  explicit WaterPhase(int type)
      : Object(Defaults("W", "water"), 0, nullptr, nullptr, nullptr),
        Model(Defaults("W", "water"), 0, nullptr, nullptr, nullptr),
        Phase::Generic(Defaults("W", "water"), 0, nullptr, nullptr, nullptr,
                       std::make_unique<Phase::Iapws>()) {
    setType("WaterPhaseOfTheTests");
    setPhaseType(type);
  }
  std::unique_ptr<Node> clone() const override { return std::make_unique<WaterPhase>(2); }
  void initializeNonPersistents() override { model().initializeNonPersistents(xView(), rho, AMW); }
  Phase::Iapws &water() { return static_cast<Phase::Iapws &>(model()); }
  void restoreFrom(const Value &massDensity) {
    model().initializeNonPersistents(xView(), massDensity, AMW);
  }

  // Properties per kg at (T, delta); P is passed where the interface asks.
  void at(double T, double delta) {
    T_ = Value(T, "K");
    water().delta = Value(delta);
  }
  // Density solved at (P, T) from the model's own estimate for the phase.
  Phase::IapwsDensitySolution solveAt(double P, double T) {
    water().estimate(Value(P, "Pa"), Value(T, "K"), water().phaseType());
    const auto solved = Phase::solveIapwsDelta(P, T, water().delta.value());
    at(T, solved.delta);
    return solved;
  }
  double pressure() { return calculate_P(Value(0.0, "kmol/m3"), T_).value(); }
  double h() { return calculate_H(P_, T_).value() / molarMass / 1000.0; }   // kJ/kg
  double s() { return calculate_S(P_, T_).value() / molarMass / 1000.0; }   // kJ/(kg K)
  double cp() { return calculate_Cp(P_, T_).value() / molarMass / 1000.0; } // kJ/(kg K)
  double rhoMass() { return calculate_rho(P_, T_).value() * molarMass; }
  double lnPhi(double P, int i = 0) {
    preparefugacity(Value(P, "Pa"), T_);
    return fugacity(i).value();
  }

  Value T_{300.0, "K"};
  Value P_{101325.0, "Pa"};
};

class WaterFixture : public testing::Test {
protected:
  void SetUp() override {
    components.clear();
    components.add(new purecomps::water("H2O"));
  }
  void TearDown() override { components.clear(); }
};

void expectRelative(double expected, double actual, double tolerance, const char *what) {
  EXPECT_NEAR(actual, expected, tolerance * std::fabs(expected)) << what;
}

// ------------------------------------------------------------ single phase

struct SinglePhaseState {
  double T, rho;      // K, kg/m3
  double p, cv, w, s; // release: MPa, kJ/(kg K), m/s, kJ/(kg K)
  double h, cp;       // python3-iapws: kJ/kg, kJ/(kg K)
};

void PrintTo(const SinglePhaseState &s, std::ostream *out) {
  *out << s.T << " K, " << s.rho << " kg/m3";
}

const SinglePhaseState singlePhaseTable[] = {
    {300, 996.556, 0.992418352e-1, 0.413018112e1, 0.150151914e4, 0.393062643, 112.6529816,
     4.180641665},
    {300, 1005.308, 0.200022515e2, 0.406798347e1, 0.153492501e4, 0.387405401, 130.8398126,
     4.128217676},
    {300, 1188.202, 0.700004704e3, 0.346135580e1, 0.244357992e4, 0.132609616, 668.5179252,
     3.773219434},
    {500, 0.435, 0.999679423e-1, 0.150817541e1, 0.548314253e3, 0.794488271e1, 2928.559658,
     1.981249317},
    {500, 4.532, 0.999938125, 0.166991025e1, 0.535739001e3, 0.682502725e1, 2891.221083,
     2.279452788},
    {500, 838.025, 0.100003858e2, 0.322106219e1, 0.127128441e4, 0.256690919e1, 977.1816241,
     4.602224481},
    {500, 1084.564, 0.700000405e3, 0.307437693e1, 0.241200877e4, 0.203237509e1, 1411.113982,
     3.671541091},
    {647, 358.0, 0.220384756e2, 0.618315728e1, 0.252145078e3, 0.432092307e1, 2028.509693,
     3531.798428},
    {900, 0.241, 0.100062559, 0.175890657e1, 0.724027147e3, 0.916653194e1, 3764.975758,
     2.221644685},
    {900, 52.615, 0.200000690e2, 0.193510526e1, 0.698445674e3, 0.659070225e1, 3612.785555,
     2.719285383},
    {900, 870.769, 0.700000006e3, 0.266422350e1, 0.201933608e4, 0.417223802e1, 2865.524559,
     3.580319857},
};

// cv and the speed of sound from the second derivatives of the Helmholtz
// energy (nested gradients), with R in kJ/(kg K):
//   cv = -R tau^2 (phi0_tt + phir_tt)
//   w^2 = R T [1 + 2 d phir_d + d^2 phir_dd
//              - (1 + d phir_d - d t phir_dt)^2 / (t^2 (phi0_tt + phir_tt))].
struct SecondOrderProperties {
  double cv, w;
};
SecondOrderProperties secondOrder(double T, double rho) {
  using First = Phase::IapwsGradient<double>;
  using Second = Phase::IapwsGradient<First>;
  const double d = rho / 322.0, t = 647.096 / T, R = 0.46151805;
  const Second dv(First::variable(d, 0), First(1.0, 0.0, 0.0), First(0.0));
  const Second tv(First::variable(t, 1), First(0.0), First(1.0, 0.0, 0.0));
  const Second r = Phase::iapwsPhir(dv, tv);
  const Second o = Phase::iapwsPhi0(dv, tv);
  const double phirD = r.value.gradient[0], phirDD = r.gradient[0].gradient[0];
  const double phirDT = r.gradient[0].gradient[1];
  const double tt = o.gradient[1].gradient[1] + r.gradient[1].gradient[1];
  const double mixed = 1.0 + d * phirD - d * t * phirDT;
  const double w2 =
      R * 1000.0 * T * (1.0 + 2.0 * d * phirD + d * d * phirDD - mixed * mixed / (t * t * tt));
  return {-R * t * t * tt, std::sqrt(w2)};
}

class IapwsSinglePhase : public WaterFixture,
                         public testing::WithParamInterface<SinglePhaseState> {};

TEST_P(IapwsSinglePhase, ReproducesTheVerificationTable) {
  const SinglePhaseState &s = GetParam();
  WaterPhase phase(s.rho > 322.0 ? liquid : vapor);
  phase.at(s.T, s.rho / 322.0);
  // The liquid's 1 + delta phir_delta cancels: an absolute floor of 1e-3 Pa.
  EXPECT_NEAR(phase.pressure(), s.p * 1e6, std::max(1e-8 * s.p * 1e6, 1e-3)) << "p";
  expectRelative(s.rho, phase.rhoMass(), 1e-14, "rho");
  expectRelative(s.h, phase.h(), 1e-8, "h");
  expectRelative(s.s, phase.s(), 1e-8, "s");
  // Finite differences with relative steps 1e-6 (steeper near critical).
  expectRelative(s.cp, phase.cp(), s.T == 647 ? 1e-4 : 2e-6, "cp");
  const SecondOrderProperties second = secondOrder(s.T, s.rho);
  expectRelative(s.cv, second.cv, 1e-8, "cv");
  expectRelative(s.w, second.w, 1e-8, "w");
}

INSTANTIATE_TEST_SUITE_P(Release, IapwsSinglePhase, testing::ValuesIn(singlePhaseTable),
                         [](const testing::TestParamInfo<SinglePhaseState> &info) {
                           return "T" + std::to_string(static_cast<int>(info.param.T)) + "_rho" +
                                  std::to_string(static_cast<int>(info.param.rho * 1000));
                         });

// ------------------------------------------------------------ saturation

// Release Table 8: T, psat (MPa), rho' and rho'' (kg/m3). Each phase's
// density is solved at psat from the model's own estimate; the solved
// densities must be the release's, and the water ln phi of the two phases
// equal, so that a water-only vapour/liquid pair has K = 1 there.
struct SaturationState {
  double T, psat, rhoLiquid, rhoVapour;
};

TEST_F(WaterFixture, IapwsSaturationGivesEqualLiquidAndVapourLnPhi) {
  const SaturationState table[] = {
      {275.0, 0.698451167e-3, 0.999887406e3, 0.550664919e-2},
      {450.0, 0.932203564, 0.890341250e3, 0.481200360e1},
      {625.0, 0.169082693e2, 0.567090385e3, 0.118290280e3},
  };
  for (const SaturationState &state : table) {
    SCOPED_TRACE(state.T);
    const double P = state.psat * 1e6;
    double lnPhi[2];
    const double rhoExpected[2] = {state.rhoLiquid, state.rhoVapour};
    const int types[2] = {liquid, vapor};
    for (int k = 0; k < 2; ++k) {
      WaterPhase phase(types[k]);
      const Phase::IapwsDensitySolution solved = phase.solveAt(P, state.T);
      ASSERT_TRUE(solved.converged);
      EXPECT_LT(solved.evaluations, 10);
      expectRelative(rhoExpected[k], phase.rhoMass(), 2e-9, "density");
      expectRelative(P, phase.pressure(), 1e-7, "pressure");
      lnPhi[k] = phase.lnPhi(P);
    }
    EXPECT_NEAR(lnPhi[0], lnPhi[1], 5e-9); // psat is printed to 9 digits
  }
}

// ------------------------------------------------------------ caches

TEST_F(WaterFixture, IapwsCachesFollowTheStateAndCpLeavesThemUnperturbed) {
  WaterPhase phase(liquid);
  // Reference H at 500 K, 838.025 kg/m3 from a fresh model.
  phase.at(500.0, 838.025 / 322.0);
  phase.pressure();
  const double h = phase.h(), s = phase.s(), rho = phase.rhoMass();
  const double lnPhi = phase.lnPhi(10e6);
  // Cp perturbs T and v internally; what follows reads the base state.
  phase.cp();
  EXPECT_EQ(phase.h(), h);
  EXPECT_EQ(phase.s(), s);
  EXPECT_EQ(phase.rhoMass(), rho);
  EXPECT_EQ(phase.lnPhi(10e6), lnPhi);
  EXPECT_DOUBLE_EQ(phase.water().delta.value(), 838.025 / 322.0);
  // A new delta with only calculate_rho_ run: H and S belong to the new
  // state, not to the pressure evaluation of the old one (a liquid that
  // light lies beyond its spinodal and is continued from there, so the
  // fresh model is a liquid too).
  WaterPhase fresh(liquid);
  fresh.at(500.0, 4.532 / 322.0);
  fresh.pressure();
  const double hVapour = fresh.h(), sVapour = fresh.s();
  phase.at(500.0, 4.532 / 322.0);
  phase.rhoMass();
  EXPECT_EQ(phase.h(), hVapour);
  EXPECT_EQ(phase.s(), sVapour);
  // And a new temperature alone refreshes them too.
  phase.at(900.0, 4.532 / 322.0);
  fresh.at(900.0, 4.532 / 322.0);
  fresh.pressure();
  EXPECT_EQ(phase.h(), fresh.h());
}

// Cp against dH/dT at constant pressure (densities solved at P), and the
// outer derivatives of H and P against finite differences in delta.
TEST_F(WaterFixture, IapwsCpIsDhDtAndResultsCarryDeltaDerivatives) {
  const double P = 5e6;
  for (double T : {350.0, 700.0}) {
    SCOPED_TRACE(T);
    const int type = T < 500 ? liquid : vapor;
    const auto hAt = [&](double t) {
      WaterPhase phase(type);
      phase.solveAt(P, t);
      return phase.h();
    };
    WaterPhase phase(type);
    phase.solveAt(P, T);
    const double dT = 1e-3 * T;
    expectRelative((hAt(T + dT) - hAt(T - dT)) / (2 * dT), phase.cp(), 1e-6, "cp");
  }
  pushDerivativeContext(1);
  {
    WaterPhase phase(liquid);
    const double delta = 838.025 / 322.0, step = 1e-6 * delta;
    phase.at(500.0, delta);
    phase.water().delta.activeValue().setDerivative(0, 1.0);
    const Value P = phase.calculate_P(Value(0.0, "kmol/m3"), phase.T_);
    const Value H = phase.calculate_H(P, phase.T_);
    const double dP = P.activeValue().derivative(0), dH = H.activeValue().derivative(0);
    WaterPhase plus(liquid), minus(liquid);
    plus.at(500.0, delta + step);
    minus.at(500.0, delta - step);
    expectRelative((plus.pressure() - minus.pressure()) / (2 * step), dP, 1e-6, "dP/ddelta");
    plus.pressure();
    minus.pressure();
    expectRelative((plus.h() - minus.h()) * molarMass * 1000.0 / (2 * step), dH, 1e-6, "dH/ddelta");
  }
  popDerivativeContext();
}

// ------------------------------------------------------------ estimate

TEST_F(WaterFixture, IapwsEstimateGivesTheCorrelationAndIdealGasValues) {
  struct Case {
    int type;
    double P, T, delta, tolerance;
  };
  const Case cases[] = {
      {liquid, 1e5, 274.9, 1000.0 / 322.0, 1e-15},
      {liquid, 1e5, 275.0, 1001.8 / 322.0, 1e-4},     // polynomial at 275 K
      {liquid, 1e5, 373.15, 968.8 / 322.0, 1e-3},     // about 968.8 kg/m3
      {liquid, 1e5, 647.096, 421.1139 / 322.0, 1e-6}, // last polynomial point
      {liquid, 1e5, 647.1, 1.0, 1e-15},
      {solid, 1e5, 274.9, 1000.0 / 322.0, 1e-15}, // solids take the liquid branch
      {vapor, 101325.0, 373.15, 0.00182721, 1e-5},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(testing::Message() << "type " << c.type << " at " << c.T << " K");
    WaterPhase phase(c.type);
    phase.water().estimate(Value(c.P, "Pa"), Value(c.T, "K"), c.type);
    expectRelative(c.delta, phase.water().delta.value(), c.tolerance, "delta");
    EXPECT_TRUE(phase.water().delta.units() == dimensionless);
  }
  EXPECT_EQ(Phase::Iapws::deltac(), 1.0);
  const std::pair<int, std::pair<double, double>> bounds[] = {
      {vapor, {0.0, 1.0}}, {liquid, {1.0, 4.0}}, {solid, {0.0, 4.0}}};
  for (const auto &[type, expected] : bounds) {
    const auto [lower, upper] = Phase::Iapws::deltaBounds(type);
    EXPECT_EQ(*lower, expected.first);
    EXPECT_EQ(*upper, expected.second);
  }
  // A stored mass density restores delta; a molar one is refused, with
  // the call trace.
  WaterPhase stored(liquid);
  stored.rho = Value(644.0, "kg/m3");
  stored.initializeNonPersistents();
  EXPECT_DOUBLE_EQ(stored.water().delta.value(), 2.0);
  try {
    stored.restoreFrom(Value(35.0, "kmol/m3"));
    ADD_FAILURE() << "no ErrorUnit";
  } catch (const ErrorUnit &error) {
    EXPECT_NE(error.message().find("Called from function: Phase::Iapws::initializeNonPersistents"),
              std::string::npos);
  }
  // The liquid at 101325 Pa and 300 K solves to the steam tables' density.
  WaterPhase phase(liquid);
  phase.solveAt(101325.0, 300.0);
  EXPECT_NEAR(phase.rhoMass(), 996.5569353, 1e-6); // python3-iapws, T=300, P=0.101325
}

// ------------------------------------------------------------ fugacity

TEST_F(WaterFixture, IapwsLnPhiOnlyForH2OAndFiniteAtNegativePressure) {
  components.clear();
  components.add(new LinearComponent("N2", PureData{}));
  components.add(new purecomps::water("H2O"));
  components.add(new LinearComponent("h2o", PureData{}));
  WaterPhase phase(liquid);
  setComposition(phase, {0.5, 0.3, 0.2});
  phase.at(300.0, 996.556 / 322.0);
  phase.pressure();
  const double water = phase.lnPhi(101325.0, 1);
  EXPECT_TRUE(std::isfinite(water));
  EXPECT_EQ(phase.lnPhi(101325.0, 0), 0.0);
  EXPECT_EQ(phase.lnPhi(101325.0, 2), 0.0);
  // Pure-water properties whatever the composition.
  components.clear();
  components.add(new purecomps::water("H2O"));
  WaterPhase pure(liquid);
  pure.at(300.0, 996.556 / 322.0);
  EXPECT_EQ(pure.lnPhi(101325.0), water);
  // The liquid's pressure 99241.8 Pa is below P: no pressure correction,
  // ln phi = phir + Z - 1 - ln Z with Z = p / (rho R T); above P the ratio
  // term ln(p / P) is added.
  WaterPhase stretched(liquid);
  stretched.at(300.0, 996.556 / 322.0);
  const double p = stretched.pressure();
  EXPECT_NEAR(stretched.lnPhi(p / 2) - stretched.lnPhi(2 * p), std::log(2.0), 1e-12);
  // A stretched liquid of negative pressure (Z < 0, still above the liquid
  // spinodal at 892.6 kg/m3): finite through the floored pressure, and
  // without a correction, like a phase of neither type there.
  stretched.at(300.0, 990.0 / 322.0);
  EXPECT_LT(stretched.pressure(), 0.0);
  const double floored = stretched.lnPhi(101325.0);
  EXPECT_TRUE(std::isfinite(floored));
  WaterPhase other(solid);
  other.at(300.0, 990.0 / 322.0);
  EXPECT_EQ(other.lnPhi(101325.0), floored);
}

// ------------------------------------------------------------ spinodals

// Where dp/ddelta falls to a thousandth of its value at the saturated
// density of the auxiliary equations, by an independent search in
// python3-iapws 1.5.2 (IAPWS95()._phir derivatives, _Vapor_Density and
// _Liquid_Density, the same 32-step scan and bisection): delta*, p* (Pa) and
// phir(delta*).
struct Spinodal {
  double T;
  int type;
  double delta, p, phir;
};

constexpr Spinodal spinodals[] = {
    {300.0, vapor, 0.0011340428322793208, 39813.64692892843, -0.07628840756909425},
    {300.0, liquid, 2.7721690765800138, -165875681.7999729, -9.37894703511425},
    {450.0, vapor, 0.03762818184640022, 1837671.961642956, -0.1851597398050802},
    {450.0, liquid, 2.364462649728935, -100923058.672348, -4.138676066487951},
    {625.0, vapor, 0.4998452921457486, 17650323.97094644, -0.732943330322832},
    {625.0, liquid, 1.5972534321547993, 14518649.882024286, -1.6470357677525058},
};

TEST_F(WaterFixture, IapwsSpinodalsAgreeWithAnIndependentSearch) {
  for (const Spinodal &row : spinodals) {
    SCOPED_TRACE(std::to_string(row.T) + (row.type == vapor ? " vapour" : " liquid"));
    expectRelative(row.delta, Phase::iapwsSpinodalDelta(row.T, row.type == vapor), 1e-10, "delta*");
  }
  // At and above the critical temperature no phase has a spinodal.
  EXPECT_TRUE(std::isnan(Phase::iapwsSpinodalDelta(647.096, true)));
  EXPECT_TRUE(std::isnan(Phase::iapwsSpinodalDelta(700.0, false)));
}

// Beyond its spinodal a phase is the spinodal state: its pressure runs on
// monotonically to a pole at delta = 1,
//   vapour p = p* + rhoc R T (1 - delta*) (delta - delta*) / (1 - delta),
//   liquid p = p* - rhoc R T (delta* - 1) (delta* - delta) / (delta - 1),
// and ln phi = phir* + Pi - 1 - ln Pi with Pi = p / (rho* R T), the spinodal
// state's Gibbs energy carried to p; H is the spinodal state's.
TEST_F(WaterFixture, IapwsBeyondTheSpinodalContinuesFromIt) {
  const double R = 461.51805, rhoc = 322.0;
  for (const Spinodal &row : spinodals) {
    SCOPED_TRACE(std::to_string(row.T) + (row.type == vapor ? " vapour" : " liquid"));
    const bool isVapor = row.type == vapor;
    const double beyond = isVapor ? 0.5 * (row.delta + 1.0) : 0.5 * (row.delta + 1.0);
    const double slope = rhoc * R * row.T;
    const double expected =
        isVapor ? row.p + slope * (1.0 - row.delta) * (beyond - row.delta) / (1.0 - beyond)
                : row.p - slope * (row.delta - 1.0) * (row.delta - beyond) / (beyond - 1.0);
    WaterPhase phase(row.type);
    phase.at(row.T, beyond);
    const double p = phase.pressure();
    expectRelative(expected, p, 1e-9, "continued pressure");
    if (p > 0.0) {
      const double Pi = p / (rhoc * row.delta * R * row.T);
      EXPECT_NEAR(phase.lnPhi(p), row.phir + Pi - 1.0 - std::log(Pi), 1e-9);
    }
    WaterPhase atSpinodal(row.type);
    atSpinodal.at(row.T, row.delta);
    atSpinodal.pressure();
    EXPECT_NEAR(phase.h(), atSpinodal.h(), 1e-9 * std::fabs(atSpinodal.h()));
    // Monotonic: a step further from the spinodal raises (vapour) or
    // lowers (liquid) the pressure.
    phase.at(row.T, beyond + (isVapor ? 0.01 : -0.01) * std::fabs(beyond - 1.0));
    EXPECT_GT(isVapor ? phase.pressure() - p : p - phase.pressure(), 0.0);
  }
  // At 300 K and 1 atm, where no vapour exists (the spinodal is at 39.8
  // kPa), the continued vapour's root has the higher ln phi: water is liquid.
  WaterPhase vapour(vapor), water(liquid);
  const double P = 101325.0;
  const Phase::IapwsDensitySolution rootL = water.solveAt(P, 300.0);
  ASSERT_TRUE(rootL.converged);
  const double star = spinodals[0].delta, slope = rhoc * R * 300.0;
  // p = P solved by hand on the continuation: (delta - d*) / (1 - delta) = c.
  const double c = (P - spinodals[0].p) / (slope * (1.0 - star));
  vapour.at(300.0, (star + c) / (1.0 + c));
  expectRelative(P, vapour.pressure(), 1e-9, "vapour root");
  EXPECT_GT(vapour.lnPhi(P) - water.lnPhi(P), 1.0);
}

} // namespace
