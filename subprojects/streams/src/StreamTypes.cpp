#include "velta/streams/StreamTypes.h"

#include "velta/persistency/NodeFactory.h"
#include "velta/streams/StreamIapwsLiquidVapor.h"
#include "velta/streams/StreamOne.h"
#include "velta/streams/StreamOneSolid.h"
#include "velta/streams/StreamSimple.h"
#include "velta/streams/StreamTabular.h"
#include "velta/streams/StreamTwo.h"
#include "velta/streams/StreamTwoSolid.h"

#include <iterator>
#include <string>
#include <vector>

namespace {

// Every stream type: category "stream", not instantiable, the category's
// icon at 100 x 100.
template <class S>
void registerStream(const char *type, const char *description,
                    std::vector<StringOption> stringOptions = {}) {
  NodeFactory().registerType<S>(type, description, "stream", false, {}, std::move(stringOptions),
                                {}, "", 100, 100);
}

template <class S> void registerSimple(const char *description) {
  registerStream<S>(S::typeName(), description);
}

struct OneAlias {
  const char *name;
  const char *phase;
  const char *description;
};

// The single-phase streams by the model of their phase.
const OneAlias streamOneAliases[] = {
    {"StreamVapor", "PhaseIdeal<vapor>", "Ideal stream with one vapor phase"},
    {"StreamLiquid", "PhaseIdeal<liquid>", "Ideal stream with one liquid phase"},
    {"StreamSolid", "PhaseIdeal<solid>", "Ideal stream with one solid phase"},
    {"StreamKwongRedlichSoaveVapor", "PhaseKwongRedlichSoave<vapor>",
     "Stream based on the Kwong-Redlich-Soave equation of state with one vapor "
     "phase"},
    {"StreamKwongRedlichSoaveLiquid", "PhaseKwongRedlichSoave<liquid>",
     "Stream based on the Kwong-Redlich-Soave equation of state with one "
     "liquid phase"},
    {"StreamPengRobinsonVapor", "PhasePengRobinson<vapor>",
     "Stream based on the Peng-Robinson equation of state with one vapor "
     "phase"},
    {"StreamPengRobinsonLiquid", "PhasePengRobinson<liquid>",
     "Stream based on the Peng-Robinson equation of state with one liquid "
     "phase"},
    {"StreamNrtl1Liquid", "PhaseNrtl1",
     "Stream based on the Non Random Two Liquids activity coefficient model in "
     "the original "
     "formulation with temperature-independent bij, with one liquid phase"},
    {"StreamNrtl2Liquid", "PhaseNrtl2",
     "Stream based on the Non Random Two Liquids activity coefficient model "
     "with "
     "temperature-dependent bij and alfaij, with one liquid phase"},
    {"StreamUnifacLiquid", "PhaseUnifac",
     "Stream based on the UNIFAC activity coefficient model, with one liquid "
     "phase"},
    {"StreamPcsaftVapor", "PhasePcsaft<vapor>",
     "Stream based on the PC-SAFT equation of state with one vapor phase"},
    {"StreamPcsaftLiquid", "PhasePcsaft<liquid>",
     "Stream based on the PC-SAFT equation of state with one liquid phase"},
    {"StreamGerg2004Vapor", "PhaseGerg2004<vapor>",
     "Stream based on the GERG-2004 equation of state with one vapor phase see "
     "PhaseGerg2004 "
     "for limitations"},
    {"StreamGerg2004Liquid", "PhaseGerg2004<liquid>",
     "Stream based on the GERG-2004 equation of state with one liquid phase "
     "see PhaseGerg2004 "
     "for limitations"},
    {"StreamIapwsVapor", "PhaseIapws<vapor>",
     "Stream based on the IAPWS-95 equation of state with one vapor phase"},
    {"StreamIapwsLiquid", "PhaseIapws<liquid>",
     "Stream based on the IAPWS-95 equation of state with one liquid phase"},
};

struct TwoAlias {
  const char *name;
  const char *base;
  const char *first;  // embeddedTypePhase[0]: the vapour (or first liquid)
  const char *second; // embeddedTypePhase[1]: the liquid
  const char *description;
};

// The liquid-liquid and vapour-liquid streams by the models of their phases.
const TwoAlias streamTwoAliases[] = {
    {"StreamNrtl1LiquidLiquid", "StreamLlTx", "PhaseNrtl1", "PhaseNrtl1",
     "Stream based on the Non Random Two Liquids activity coefficient model in "
     "the original "
     "formulation with temperature-independent bij, with two liquids"},
    {"StreamNrtl2LiquidLiquid", "StreamLlTx", "PhaseNrtl2", "PhaseNrtl2",
     "Stream based on the Non Random Two Liquids activity coefficient model in "
     "the original "
     "formulation with temperature-dependent bij and alfaij, with two liquids"},
    {"StreamIdealLiquidVapor", "StreamVlT", "PhaseIdeal<vapor>", "PhaseIdeal<liquid>",
     "Ideal stream with one liquid and one vapor phase"},
    {"StreamNrtl1LiquidVapor", "StreamVlTx", "PhaseIdeal<vapor>", "PhaseNrtl1",
     "Stream based on the Non Random Two Liquids activity coefficient model in "
     "the original "
     "formulation with temperature-independent bij, with one liquid and one "
     "vapor phase"},
    {"StreamNrtl2LiquidVapor", "StreamVlTx", "PhaseIdeal<vapor>", "PhaseNrtl2",
     "Stream based on the Non Random Two Liquids activity coefficient model "
     "with "
     "temperature-dependent bij and alfaij, with one liquid and one vapor "
     "phase"},
    {"StreamUnifacLiquidVapor", "StreamVlTx", "PhaseIdeal<vapor>", "PhaseUnifac",
     "Stream based on the UNIFAC activity coefficient model, with one liquid "
     "and one vapor "
     "phase"},
    {"StreamKwongRedlichSoaveLiquidVapor", "StreamVlTx", "PhaseKwongRedlichSoave<vapor>",
     "PhaseKwongRedlichSoave<liquid>",
     "Stream based on the Kwong-Redlich-Soave equation of state with one "
     "liquid and one vapor "
     "phase"},
    {"StreamPengRobinsonLiquidVapor", "StreamVlTx", "PhasePengRobinson<vapor>",
     "PhasePengRobinson<liquid>",
     "Stream based on the Peng-Robinson equation of state with one liquid and "
     "one vapor phase"},
    {"StreamPcsaftLiquidVapor", "StreamVlTx", "PhasePcsaft<vapor>", "PhasePcsaft<liquid>",
     "Stream based on the PC-SAFT equation of state with one liquid and one "
     "vapor phase"},
    {"StreamGerg2004LiquidVapor", "StreamVlTx", "PhaseGerg2004<vapor>", "PhaseGerg2004<liquid>",
     "Stream based on the GERG-2004 equation of state with one liquid and one "
     "vapor phase"},
};

// The fluid-solid streams by the model of their fluid phase.
const OneAlias streamOneSolidAliases[] = {
    {"StreamIdealSolidVapor", "PhaseIdeal<vapor>",
     "Ideal stream with one solid and one vapor phase"},
    {"StreamIdealLiquidSolid", "PhaseIdeal<liquid>",
     "Ideal stream with one liquid and one solid phase"},
    {"StreamKwongRedlichSoaveSolidVapor", "PhaseKwongRedlichSoave<vapor>",
     "Stream based on the Kwong-Redlich-Soave equation of state with one solid "
     "and one vapor "
     "phase"},
    {"StreamNrtl1LiquidSolid", "PhaseNrtl1",
     "Stream based on the Non Random Two Liquids activity coefficient model in "
     "the original "
     "formulation with temperature-independent bij, with one liquid and one "
     "solid phase"},
    {"StreamNrtl2LiquidSolid", "PhaseNrtl2",
     "Stream based on the Non Random Two Liquids activity coefficient model "
     "with "
     "temperature-dependent bij and alfaij, with one liquid and one solid "
     "phase"},
};

// The three-phase streams by the models of their fluid phases.
const TwoAlias streamTwoSolidAliases[] = {
    {"StreamIdealLiquidSolidVapor", "StreamSolidVlT", "PhaseIdeal<vapor>", "PhaseIdeal<liquid>",
     "Ideal stream with one liquid, one solid and one vapor phase"},
    {"StreamKwongRedlichSoaveLiquidSolidVapor", "StreamSolidVlTx", "PhaseKwongRedlichSoave<vapor>",
     "PhaseKwongRedlichSoave<liquid>",
     "Stream based on the Kwong-Redlich-Soave equation of state with one "
     "liquid, one solid and "
     "one vapor phase"},
    {"StreamNrtl1LiquidSolidVapor", "StreamSolidVlTx", "PhaseIdeal<vapor>", "PhaseNrtl1",
     "Stream based on the Non Random Two Liquids activity coefficient model in "
     "the original "
     "formulation with temperature-independent bij, with one liquid, one solid "
     "and one vapor "
     "phase"},
    {"StreamNrtl2LiquidSolidVapor", "StreamSolidVlTx", "PhaseIdeal<vapor>", "PhaseNrtl2",
     "Stream based on the Non Random Two Liquids activity coefficient model "
     "with "
     "temperature-dependent bij and alfaij, with one liquid, one solid and one "
     "vapor phase"},
};

// Each alias presets every option of its base, so its descriptor lists none.
void registerAliases(const char *base, const char *option, const OneAlias *begin,
                     const OneAlias *end) {
  for (const OneAlias *alias = begin; alias != end; ++alias)
    NodeFactory().registerAlias(base, alias->name, alias->description,
                                Defaults().setString(option, alias->phase), "", 100, 100);
}

template <std::size_t n> void registerAliases(const TwoAlias (&aliases)[n]) {
  for (const TwoAlias &alias : aliases)
    NodeFactory().registerAlias(alias.base, alias.name, alias.description,
                                Defaults()
                                    .setString("embeddedTypePhase[0]", alias.first)
                                    .setString("embeddedTypePhase[1]", alias.second),
                                "", 100, 100);
}

std::vector<StringOption> fluidPair(const char *first, const char *second) {
  return {StringOption("embeddedTypePhase[0]", "phase type for phase 1", first, "phaseEnum"),
          StringOption("embeddedTypePhase[1]", "phase type for phase 2", second, "phaseEnum")};
}

void registerAll() {
  registerSimple<StreamSimple<0, 1, 0>>("Simple, mass-balance only stream with one liquid phase");
  registerSimple<StreamSimple<0, 0, 1>>("Simple, mass-balance only stream with one solid phase");
  registerSimple<StreamSimple<1, 0, 0>>("Simple, mass-balance only stream with one vapor phase");
  registerSimple<StreamSimple<0, 1, 1>>(
      "Simple, mass-balance only stream with one liquid and one solid phase");
  registerSimple<StreamSimple<1, 1, 1>>(
      "Simple, mass-balance only stream with one liquid, one solid and one "
      "vapor phase");
  registerStream<StreamOne>("StreamOne", "Parameterized single-phase stream",
                            {StringOption("embeddedTypePhase", "type of the embedded phase",
                                          "PhaseIdeal<vapor>", "phaseEnum")});
  registerAliases("StreamOne", "embeddedTypePhase", std::begin(streamOneAliases),
                  std::end(streamOneAliases));
  const std::vector<StringOption> vaporLiquid =
      fluidPair("PhaseIdeal<vapor>", "PhaseIdeal<liquid>");
  registerStream<StreamVl>("StreamVl",
                           "Parameterized two-phase stream with kvli "
                           "independent from temperature and composition",
                           vaporLiquid);
  registerStream<StreamVlT>("StreamVlT",
                            "Parameterized two-phase stream with kvli dependent from temperature "
                            "but not from composition",
                            vaporLiquid);
  registerStream<StreamVlTx>("StreamVlTx",
                             "Parameterized vapor-liquid stream with with kvli dependent from "
                             "temperature and composition",
                             vaporLiquid);
  registerStream<StreamLlTx>("StreamLlTx",
                             "Parametrized liquid-liquid stream with with kvli dependent from "
                             "temperature and composition",
                             fluidPair("PhaseIdeal<liquid>", "PhaseIdeal<liquid>"));
  registerStream<StreamTabularLiquidLiquid>("StreamTabularLiquidLiquid", "aaaaaaaaaaaaaaa");
  registerStream<StreamTabularLiquidVapor>("StreamTabularLiquidVapor", "aaaaaaaaaaaaaaa");
  registerAliases(streamTwoAliases);
  registerStream<StreamOneSolid>(
      "StreamOneSolid", "Parameterized stream with a single fluid phase and one solid phase",
      {StringOption("embeddedTypePhase", "type of the embedded fluid phase", "PhaseIdeal<vapor>",
                    "phaseEnum")});
  registerAliases("StreamOneSolid", "embeddedTypePhase", std::begin(streamOneSolidAliases),
                  std::end(streamOneSolidAliases));
  registerStream<StreamSolidVlT>(
      "StreamSolidVlT",
      "Parameterized three-phase stream with two fluid phases and one solid "
      "phase and with kvli "
      "dependent from temperature but not from composition",
      vaporLiquid);
  registerStream<StreamSolidVlTx>(
      "StreamSolidVlTx",
      "Parameterized three-phase stream with two fluid phases and one solid "
      "phase and with kvli "
      "dependent from temperature and from composition",
      vaporLiquid);
  registerAliases(streamTwoSolidAliases);
  registerStream<StreamIapwsLiquidVapor>("StreamIapwsLiquidVapor",
                                         "Stream based on the IAPWS-95 equation of "
                                         "state with one liquid and one vapor phase");
}

} // namespace

namespace Velta::Streams {

void registerStreamTypes() {
  // Not atomic: start-up runs on one thread.
  static bool registered = false;
  if (registered)
    return;
  registered = true;
  registerAll();
}

Velta::Core::Enumerator phaseEnumerator() {
  return Velta::Core::Enumerator(
      "phaseEnum", "Phase type enumerator",
      {
          {"PhaseSimple<vapor>", "Vapor simple phase"},
          {"PhaseSimple<liquid>", "Liquid simple phase"},
          {"PhaseSimple<solid>", "Solid simple phase"},
          {"PhaseIdeal<vapor>", "Vapor ideal phase"},
          {"PhaseIdeal<liquid>", "Liquid ideal phase"},
          {"PhaseIdeal<solid>", "Solid ideal phase"},
          {"PhaseKwongRedlichSoave<vapor>", "Vapor Equation-of-State phase"},
          {"PhaseKwongRedlichSoave<liquid>", "Liquid Equation-of-State phase"},
          {"PhasePengRobinson<vapor>", "Vapor Equation-of-State phase"},
          {"PhasePengRobinson<liquid>", "Liquid Equation-of-State phase"},
          {"PhaseNrtl1", "Liquid Nrtl1 phase"},
          {"PhaseNrtl2", "Liquid Nrtl2 phase"},
          {"PhasePcsaft<vapor>", "Vapor Pcsaft-equation phase"},
          {"PhasePcsaft<liquid>", "Liquid Pcsaft-equation phase"},
          {"PhaseGerg2004<vapor>", "Vapor Gerg2004-equation phase"},
          {"PhaseGerg2004<liquid>", "Liquid Gerg2004-equation phase"},
          {"PhaseIapws<vapor>", "Vapor Iapws-equation phase"},
          {"PhaseIapws<liquid>", "Liquid Iapws-equation phase"},
      });
}

} // namespace Velta::Streams
