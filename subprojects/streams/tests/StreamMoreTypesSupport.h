#pragma once
// Test support: the water-steam, fluid-solid, solid-bearing two-phase and
// tabular stream types registered under their names (once per process),
// with the aliases the tests create, until the library registers them.

#include "StreamTwoTestSupport.h"

#include "velta/streams/StreamIapwsLiquidVapor.h"
#include "velta/streams/StreamOneSolid.h"
#include "velta/streams/StreamTabular.h"
#include "velta/streams/StreamTwoSolid.h"

namespace streammoretest {

using namespace streamtwotest;

inline void registerMoreStreamTypes() {
  registerStreamTypes();
  registerStreamTwoTypes();
  static const bool registered = [] {
    NodeFactory factory;
    auto twoFluid = [](const char *vapor, const char *liquid) {
      return std::vector<StringOption>{
          StringOption("embeddedTypePhase[0]", "phase type for phase 1", vapor, "phaseEnum"),
          StringOption("embeddedTypePhase[1]", "phase type for phase 2", liquid, "phaseEnum")};
    };
    auto alias = [&](const char *base, const char *name, Defaults presets) {
      factory.registerAlias(base, name, "alias", presets, "", 100, 100);
    };
    auto twoPresets = [](const char *vapor, const char *liquid) {
      return Defaults()
          .setString("embeddedTypePhase[0]", vapor)
          .setString("embeddedTypePhase[1]", liquid);
    };
    factory.registerType<StreamTabularLiquidLiquid>("StreamTabularLiquidLiquid", "tabular",
                                                    "stream", false, {}, {}, {}, "", 100, 100);
    factory.registerType<StreamTabularLiquidVapor>("StreamTabularLiquidVapor", "tabular",
                                                   "stream", false, {}, {}, {}, "", 100, 100);
    factory.registerType<StreamOneSolid>(
        "StreamOneSolid", "fluid-solid", "stream", false, {},
        {StringOption("embeddedTypePhase", "type of the embedded fluid phase",
                      "PhaseIdeal<vapor>", "phaseEnum")},
        {}, "", 100, 100);
    alias("StreamOneSolid", "StreamIdealLiquidSolid",
          Defaults().setString("embeddedTypePhase", "PhaseIdeal<liquid>"));
    factory.registerType<StreamSolidVlT>("StreamSolidVlT", "solid-bearing", "stream", false, {},
                                         twoFluid("PhaseIdeal<vapor>", "PhaseIdeal<liquid>"),
                                         {}, "", 100, 100);
    factory.registerType<StreamSolidVlTx>("StreamSolidVlTx", "solid-bearing", "stream", false,
                                          {}, twoFluid("PhaseIdeal<vapor>", "PhaseIdeal<liquid>"),
                                          {}, "", 100, 100);
    alias("StreamSolidVlT", "StreamIdealLiquidSolidVapor",
          twoPresets("PhaseIdeal<vapor>", "PhaseIdeal<liquid>"));
    alias("StreamSolidVlTx", "StreamKwongRedlichSoaveLiquidSolidVapor",
          twoPresets("PhaseKwongRedlichSoave<vapor>", "PhaseKwongRedlichSoave<liquid>"));
    factory.registerType<StreamIapwsLiquidVapor>("StreamIapwsLiquidVapor", "water-steam",
                                                 "stream", false, {}, {}, {}, "", 100, 100);
    return true;
  }();
  (void)registered;
}

// A stream created by type or alias name.
template <class S>
std::unique_ptr<S> makeNamed(const std::string &type,
                             const Defaults &options = Defaults("S01", "test stream")) {
  registerMoreStreamTypes();
  std::unique_ptr<Node> node = NodeFactory().create(type, options, 0, nullptr, nullptr, nullptr);
  return std::unique_ptr<S>(dynamic_cast<S *>(node.release()));
}

} // namespace streammoretest
