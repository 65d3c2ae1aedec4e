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

#include <cmath>
#include <memory>
#include <string>

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
inline void useClausiusPair() {
  components.clear();
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
  components.add(new ClausiusComponent("A", a, 10.0));
  components.add(new ClausiusComponent("B", b, 12.0));
}

// The unit types with the reaction types that drums embed.
inline void registerDrumTypes() {
  registerUnitTypes();
  Velta::Units::registerReactionTypes();
}

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
