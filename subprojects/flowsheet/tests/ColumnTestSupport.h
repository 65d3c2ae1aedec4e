#pragma once
// Test support of the distillation column: a binary of constant relative
// volatility 2.5 (vapour pressures 2.5 bar and 1 bar at 298.15 K with the
// same Clausius-Clapeyron slope, equal heats of vaporization and heat
// capacities) and columns built through the type factory.

#include "FlashDrumTestSupport.h"
#include "FlowsheetTestSupport.h"

#include "velta/flowsheet/Column.h"

#include <memory>
#include <string>

namespace columntest {

using namespace flowsheettest;

inline void useConstantVolatilityPair() {
  components.clear();
  PureData a;
  a.mw = 30.0;
  a.psat = 2.5e5;
  PureData b;
  b.mw = 60.0;
  b.psat = 1e5;
  for (PureData *d : {&a, &b}) {
    d->cpv = 1000.0;
    d->cpl = 1000.0;
    d->dhvap = 3e7;
    d->h0 = -2e8;
  }
  components.add(new flashdrumtest::ClausiusComponent("A", a, 10.0));
  components.add(new flashdrumtest::ClausiusComponent("B", b, 10.0));
}

// Five components with vapour pressures 2.4, 1.8, 1.3, 1 and 0.75 bar at
// 298.15 K on the binary's Clausius-Clapeyron slope, molar masses 30 to 90.
inline void useFiveComponents() {
  components.clear();
  const double p0[] = {2.4e5, 1.8e5, 1.3e5, 1e5, 7.5e4};
  for (int i = 0; i < 5; ++i) {
    PureData d;
    d.mw = 30.0 + 15.0 * i;
    d.psat = p0[i];
    d.cpv = 1000.0;
    d.cpl = 1000.0;
    d.dhvap = 3e7;
    d.h0 = -2e8;
    components.add(
        new flashdrumtest::ClausiusComponent("C" + std::to_string(i + 1), d, 10.0));
  }
}

inline Defaults columnOptions(int stages, int feedStage,
                              const std::string &typeU = "StreamIdealLiquidVapor") {
  Defaults options("C", "test column");
  options.setInteger("stages", stages).setInteger("feedStage", feedStage);
  options.setString("typeU", typeU).setString("typeW", "StreamLiquid");
  return options;
}

inline std::unique_ptr<Column> makeColumn(const Defaults &options) {
  registerFlowsheetTypes();
  std::unique_ptr<Node> node =
      NodeFactory().create("Column", options, 0, nullptr, nullptr, nullptr);
  return std::unique_ptr<Column>(dynamic_cast<Column *>(node.release()));
}

} // namespace columntest
