// Single-phase streams over the IAPWS-95 and GERG-2004 phases: the flash
// unknown each adds, water and steam against independent values, and the
// round trips between the flash modes.

#include "StreamTestSupport.h"

#include "velta/phases/Generic.h"
#include "velta/phases/Iapws.h"
#include "velta/phases/MassMolarProperties.h"

#include <gtest/gtest.h>

using namespace streamtest;
using Velta::Utility::FlashMode;

namespace {

constexpr double waterMolarMass = 18.015268; // kg/kmol, as IAPWS-95

Phase::MassMolarProperties &total(Stream &s) {
  return dynamic_cast<Phase::MassMolarProperties &>(*s.Tphase);
}

void useWater() {
  components.clear();
  PureData water;
  water.mw = waterMolarMass;
  components.add(new CriticalComponent("H2O", water, 647.096, 22.064e6, 0.3443));
}

// The 18 GERG-2004 fluids in the equation's order (molar mass, Tc, Pc, omega).
void useGergFluids() {
  const struct {
    const char *name;
    double mw, Tc, Pc, omega;
  } fluids[] = {{"CH4", 16.04246, 190.564, 4.5992e6, 0.01142},
                {"N2", 28.0134, 126.192, 3.3958e6, 0.0372},
                {"CO2", 44.0095, 304.1282, 7.3773e6, 0.22394},
                {"C2H6", 30.06904, 305.322, 4.8722e6, 0.0995},
                {"C3H8", 44.09562, 369.825, 4.2512e6, 0.1521},
                {"nC4", 58.1222, 425.125, 3.796e6, 0.201},
                {"iC4", 58.1222, 407.817, 3.629e6, 0.184},
                {"nC5", 72.14878, 469.7, 3.37e6, 0.251},
                {"iC5", 72.14878, 460.35, 3.378e6, 0.2274},
                {"nC6", 86.17536, 507.82, 3.034e6, 0.299},
                {"nC7", 100.20194, 540.13, 2.736e6, 0.349},
                {"nC8", 114.22852, 569.32, 2.497e6, 0.393},
                {"H2", 2.01588, 33.19, 1.2964e6, -0.219},
                {"O2", 31.9988, 154.595, 5.043e6, 0.0222},
                {"CO", 28.0101, 132.8, 3.494e6, 0.0497},
                {"H2O", 18.01528, 647.096, 22.064e6, 0.3443},
                {"He", 4.002602, 5.1953, 0.2276e6, -0.382},
                {"Ar", 39.948, 150.687, 4.863e6, -0.00219}};
  components.clear();
  for (const auto &f : fluids) {
    PureData d;
    d.mw = f.mw;
    components.add(new CriticalComponent(f.name, d, f.Tc, f.Pc, f.omega));
  }
}

const std::vector<double> naturalGas = {0.8657, 0.0234, 0.0131, 0.064,  0.0209, 0.0043,
                                        0.0039, 0.0011, 0.0012, 0.0014, 0,      0,
                                        0.001,  0,      0,      0,      0,      0};

void calculate(Stream &s) {
  s.go(1);
  ASSERT_TRUE(s.errors.value().empty()) << s.errors.value().front();
}

class StreamIapws : public ComponentsFixture {
protected:
  void SetUp() override { useWater(); }
};

TEST_F(StreamIapws, ReducedDensityIsTheFlashUnknownWithThePhaseBounds) {
  auto vapor = makeStreamOne("PhaseIapws<vapor>");
  auto liquid = makeStreamOne("PhaseIapws<liquid>");
  ASSERT_EQ(vapor->size(), 3u);
  EXPECT_EQ(vapor->scaler(2).xmin(), 0.0);
  EXPECT_EQ(vapor->scaler(2).xmax(), Phase::Iapws::deltac());
  EXPECT_EQ(liquid->scaler(2).xmin(), Phase::Iapws::deltac());
  EXPECT_EQ(liquid->scaler(2).xmax(), 4.0);
}

TEST_F(StreamIapws, WaterAndSteamAgreeWithIapws95) {
  // python3-iapws 1.5: IAPWS95(P=0.101325, T=300) and IAPWS95(P=0.1, T=400),
  // rho in kg/m3, h in kJ/kg.
  const struct {
    const char *phase;
    double T, P, rho, h;
  } rows[] = {{"PhaseIapws<liquid>", 300.0, 101325.0, 996.5569352652717, 112.65489965428957},
              {"PhaseIapws<vapor>", 400.0, 1e5, 0.5476054152259426, 2730.4271568027093}};
  for (const auto &row : rows) {
    auto s = makeStreamOne(row.phase);
    setFeed(*s, {1.0}, row.T, row.P);
    calculate(*s);
    EXPECT_NEAR(total(*s).rho.value() / row.rho, 1.0, 1e-7) << row.phase;
    EXPECT_NEAR(total(*s).H.value() / waterMolarMass / 1000.0, row.h, 1e-4) << row.phase;
  }
}

struct Trip {
  const char *name;
  const char *phase;
  double T, P;
  FlashMode mode;
  // Tolerances of the return: T in K, P relative. A liquid's pressure is
  // K/P times as sensitive as its density (about 400 for water at 50 bar),
  // and its temperature to H about as much, so the solver's tolerances
  // show magnified there.
  double Ttol = 1e-5, Ptol = 1e-6;
};

void PrintTo(const Trip &trip, std::ostream *os) { *os << trip.name; }

// Flash PT, then flash the other mode at the PT state's H, S or density
// from a shifted start: T, P and rho return to the stated tolerances
// (rho to 1e-6 relative).
void roundTrip(const Trip &c, const std::vector<double> &x) {
  auto pt = makeStreamOne(c.phase, "A");
  setFeed(*pt, x, c.T, c.P);
  calculate(*pt);
  const bool densityMode = c.mode == FlashMode::RT || c.mode == FlashMode::RH;
  auto other = makeStreamOne(c.phase, "B");
  setFeed(*other, x, c.mode == FlashMode::RT ? c.T : 0.98 * c.T, densityMode ? 0.95 * c.P : c.P);
  total(*other).H = total(*pt).H;
  total(*other).S = total(*pt).S;
  total(*other).v = total(*pt).v;
  other->flashoption = Velta::Utility::flashModeName(static_cast<int>(c.mode));
  calculate(*other);
  EXPECT_NEAR(other->T.value(), c.T, c.Ttol);
  EXPECT_NEAR(other->P.value() / c.P, 1.0, c.Ptol);
  EXPECT_NEAR(total(*other).rho.value() / total(*pt).rho.value(), 1.0, 1e-6);
}

std::vector<Trip> trips(const std::vector<std::pair<const char *, Trip>> &states) {
  static std::vector<std::string> names;
  names.reserve(64);
  std::vector<Trip> result;
  const std::pair<const char *, FlashMode> modes[] = {
      {"PH", FlashMode::PH}, {"PS", FlashMode::PS}, {"RT", FlashMode::RT}, {"RH", FlashMode::RH}};
  for (const auto &[stateName, state] : states)
    for (const auto &[modeName, mode] : modes) {
      names.push_back(std::string(stateName) + modeName);
      result.push_back({names.back().c_str(), state.phase, state.T, state.P, mode, state.Ttol,
                        state.Ptol});
    }
  return result;
}

class StreamIapwsRoundTrip : public StreamIapws, public testing::WithParamInterface<Trip> {};

TEST_P(StreamIapwsRoundTrip, ReturnsToThePtState) { roundTrip(GetParam(), {1.0}); }

INSTANTIATE_TEST_SUITE_P(
    Iapws, StreamIapwsRoundTrip,
    testing::ValuesIn(trips({{"Steam", {"", "PhaseIapws<vapor>", 400.0, 1e5, FlashMode::PT}},
                             {"Water",
                              {"", "PhaseIapws<liquid>", 300.0, 101325.0, FlashMode::PT, 1e-4,
                               1e-4}},
                             {"CompressedWater",
                              {"", "PhaseIapws<liquid>", 500.0, 50e5, FlashMode::PT, 1e-4,
                               1e-4}}})),
    [](const auto &info) { return std::string(info.param.name); });

class StreamGerg2004 : public ComponentsFixture {
protected:
  void SetUp() override { useGergFluids(); }
};

class StreamGerg2004RoundTrip : public StreamGerg2004, public testing::WithParamInterface<Trip> {};

TEST_P(StreamGerg2004RoundTrip, ReturnsToThePtState) { roundTrip(GetParam(), naturalGas); }

TEST_F(StreamGerg2004, InheritsThePackingFractionUnknownOfItsCubicBase) {
  auto s = makeStreamOne("PhaseGerg2004<vapor>");
  ASSERT_EQ(s->size(), 3u);
  EXPECT_EQ(s->unknownTag(2), "beta[0]");
}

INSTANTIATE_TEST_SUITE_P(
    Gerg2004, StreamGerg2004RoundTrip,
    testing::ValuesIn(trips({{"NaturalGas",
                              {"", "PhaseGerg2004<vapor>", 300.0, 50e5, FlashMode::PT}}})),
    [](const auto &info) { return std::string(info.param.name); });

} // namespace
