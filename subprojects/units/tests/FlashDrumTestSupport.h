#pragma once
// Test support of the flash drums: two components whose vapour pressures
// follow psat = p0 exp(b (1 - T0/T)) over LinearComponent's closed-form
// routes, so that flashes and balances can be computed by hand, and
// vapour-liquid streams of the library's ideal type joined to units.

#include "UnitTestSupport.h"

#include "velta/units/FlashDegasser.h"
#include "velta/units/FlashDrum.h"
#include "velta/units/FlashSplitter.h"
#include "velta/units/ReactionTypes.h"
#include "velta/phases/ActivityParameters.h"

#include <cmath>
#include <memory>
#include <string>
#include <utility>

namespace flashdrumtest {

using namespace unittest;

class ClausiusComponent : public LinearComponent {
public:
  ClausiusComponent(const std::string &name, const PureData &data, double b)
      : LinearComponent(name, data), p0_(data.psat), b_(b) {}
  Value psat(const Value &T, double *dpsatdT = nullptr,
             double *d2psatdT2 = nullptr) const override {
    const double t = T.value();
    const double p = p0_ * std::exp(b_ * (1.0 - 298.15 / t));
    const double d = p * b_ * 298.15 / (t * t);
    if (dpsatdT)
      *dpsatdT = d;
    if (d2psatdT2)
      *d2psatdT2 = d * b_ * 298.15 / (t * t) - 2.0 * d / t;
    return Value(p0_, "Pa") * exp(Value(b_) * (dimensionlessOne - Value(298.15, "K") / T));
  }

private:
  double p0_, b_;
};

// "A" (30 kg/kmol, p0 3 bar, b 10) and "B" (60 kg/kmol, p0 0.2 bar, b 12);
// heat capacities and heats of vaporization as in the reference script.
inline std::pair<PureData, PureData> clausiusPairData() {
  PureData a;
  a.mw = 30.0;
  a.psat = 3e5;
  a.cpv = 30000.0;
  a.cpl = 75000.0;
  a.dhvap = 4e7;
  PureData b;
  b.mw = 60.0;
  b.psat = 2e4;
  b.cpv = 50000.0;
  b.cpl = 90000.0;
  b.dhvap = 3e7;
  return {a, b};
}

inline void useClausiusPair() {
  const auto [a, b] = clausiusPairData();
  components.clear();
  components.add(new ClausiusComponent("A", a, 10.0));
  components.add(new ClausiusComponent("B", b, 12.0));
}

// The Clausius pair with the critical constants of propane and n-hexane,
// so that the equations of state see a volatile and a heavy component.
class CriticalClausius : public ClausiusComponent {
public:
  CriticalClausius(const std::string &name, const PureData &data, double b, double Tc, double Pc,
                   double omega)
      : ClausiusComponent(name, data, b), Tc_(Tc, "K"), Pc_(Pc, "Pa"), omega_(omega) {}
  const Value &Tc() const override { return Tc_; }
  const Value &Pc() const override { return Pc_; }
  const Value &omega() const override { return omega_; }

private:
  Value Tc_, Pc_, omega_;
};

// With them, NRTL tables without interactions and the UNIFAC groups of the
// two alkanes, so that every stream type of the library can be built.
inline void useCriticalPair() {
  const auto [a, b] = clausiusPairData();
  components.clear();
  components.add(new CriticalClausius("A", a, 10.0, 369.83, 4.248e6, 0.152));
  components.add(new CriticalClausius("B", b, 12.0, 507.6, 3.025e6, 0.301));
  using namespace Phase::Activity;
  ParametersNrtl1::resize(2);
  ParametersNrtl2::resize(2);
  // Propane (2 CH3, 1 CH2) and n-hexane (2 CH3, 4 CH2).
  ParametersUnifac::componentSubgroups() = {{0, {{1, 2}, {2, 1}}}, {1, {{1, 2}, {2, 4}}}};
}

inline void clearActivityTables() {
  using namespace Phase::Activity;
  ParametersNrtl1::alphaTable().clear();
  ParametersNrtl1::bTable().clear();
  ParametersNrtl2::resize(0);
  ParametersUnifac::componentSubgroups().clear();
}

// The unit types with the reaction types that drums embed.
inline void registerDrumTypes() {
  registerUnitTypes();
  Velta::Units::registerReactionTypes();
}

// A parameterised test over the critical pair, without log lines.
template <class Case> class CriticalPairTest : public testing::TestWithParam<Case> {
protected:
  void SetUp() override {
    verbosityGlobal = 0;
    useCriticalPair();
    registerDrumTypes();
  }
  void TearDown() override {
    components.clear();
    clearActivityTables();
  }
};

template <class U> std::unique_ptr<U> makeDrum(const std::string &type, Defaults options) {
  registerDrumTypes();
  return makeUnit<U>(type, std::move(options));
}

inline std::unique_ptr<Stream> vaporLiquid(const std::string &tag) {
  return makeStream<Stream>("StreamIdealLiquidVapor", tag);
}

// A flashed feed of ndot kmol/s.
inline std::unique_ptr<Stream> feed(const std::string &tag, const std::vector<double> &x, double T,
                                    double P, double ndot = 1.0) {
  auto s = vaporLiquid(tag);
  setFeed(*s, x, T, P, ndot);
  s->go(1);
  EXPECT_TRUE(s->errors.value().empty()) << tag;
  return s;
}

inline void join(Connectivity &unit, Stream &s, std::string port) { unit.attach(&s, port); }

inline std::string messages(const Model &m) {
  std::string text;
  for (const std::string &e : m.errors.value())
    text += "error: " + e + "\n";
  for (const std::string &w : m.warnings.value())
    text += "warning: " + w + "\n";
  return text;
}

} // namespace flashdrumtest
