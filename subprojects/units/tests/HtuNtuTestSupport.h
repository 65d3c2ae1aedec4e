#pragma once
// Test support of the packed column: an absorber of a dilute solute from a
// nitrogen-like carrier into water, with components of closed-form routes
// that carry diffusion volumes and liquid molar volumes.

#include "FlashDrumTestSupport.h"

#include "velta/units/HtuNtu.h"

#include <memory>
#include <string>
#include <vector>

namespace htuntutest {

using namespace flashdrumtest;

class TransferComponent : public LinearComponent {
public:
  TransferComponent(const std::string &name, const PureData &data, double diffvol, double vb)
      : LinearComponent(name, data), diffvol_(diffvol), vb_(vb, "m3/kmol") {}
  const Value &diffvol() const override { return diffvol_; }
  const Value &vb() const override { return vb_; }

private:
  Value diffvol_, vb_;
};

// 0 "N2" (28 kg/kmol, psat 1e9 Pa: stays in the gas), 1 "H2O" (psat 3170
// Pa), 2 "Solute" (SO2-like: 64 kg/kmol, psat 3e5 Pa, Fuller volume 41.8,
// 0.0448 m3/kmol) and 3 "Trace" (in neither feed). Liquids at 50 kmol/m3,
// viscosities 1e-3 and 1.8e-5 Pa*s.
inline void useAbsorberComponents() {
  components.clear();
  PureData n2, water, solute, trace;
  n2.mw = 28.0;
  n2.psat = 1e9;
  water.mw = 18.0;
  water.psat = 3170.0;
  solute.mw = 64.0;
  solute.psat = 3e5;
  trace.mw = 44.0;
  trace.psat = 5e4;
  for (PureData *d : {&n2, &water, &solute, &trace})
    d->muv = 1.8e-5;
  components.add(new TransferComponent("N2", n2, 18.5, 0.0312));
  components.add(new TransferComponent("H2O", water, 13.1, 0.0189));
  components.add(new TransferComponent("Solute", solute, 41.8, 0.0448));
  components.add(new TransferComponent("Trace", trace, 26.9, 0.034));
}

// A column with startID 2, H 1 m and D 1.2 m, joined to a gas feed of 0.03
// kmol/s (5 % solute, wholly vapour) and a
// water feed of 0.3 kmol/s at 300 K, and to its outlets.
struct Absorber {
  explicit Absorber(Defaults options = Defaults("C1", "absorber"), double P = 2e5) {
    registerDrumTypes();
    options.setInteger("startID", 2);
    unit = makeUnit<HtuNtu>("HtuNtu", options);
    unit->H = Value(1.0, "m");
    unit->D = Value(1.2, "m");
    gas = feed("G", {0.95, 0.0, 0.05, 0.0}, 300.0, P + 5000.0, 0.03);
    water = feed("W", {0.0, 1.0, 0.0, 0.0}, 300.0, P, 0.3);
    vapor = vaporLiquid("VOUT");
    liquid = vaporLiquid("LOUT");
    join(*unit, *gas, "in1");
    join(*unit, *water, "in2");
    join(*unit, *vapor, "out1");
    join(*unit, *liquid, "out2");
  }
  std::unique_ptr<HtuNtu> unit;
  std::unique_ptr<Stream> gas, water, vapor, liquid;
};

} // namespace htuntutest
