#include "velta/streams/StreamTypes.h"

#include "velta/persistency/NodeFactory.h"
#include "velta/streams/StreamOne.h"
#include "velta/streams/StreamSimple.h"

#include <string>
#include <vector>

namespace {

// Every stream type: category "stream", not instantiable, the category's
// icon at 100 x 100.
template <class S>
void registerStream(const char *type, const char *description,
                    std::vector<StringOption> stringOptions = {}) {
  NodeFactory().registerType<S>(type, description, "stream", false, {},
                                std::move(stringOptions), {}, "", 100, 100);
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
     "Stream based on the Kwong-Redlich-Soave equation of state with one vapor phase"},
    {"StreamKwongRedlichSoaveLiquid", "PhaseKwongRedlichSoave<liquid>",
     "Stream based on the Kwong-Redlich-Soave equation of state with one liquid phase"},
    {"StreamPengRobinsonVapor", "PhasePengRobinson<vapor>",
     "Stream based on the Peng-Robinson equation of state with one vapor phase"},
    {"StreamPengRobinsonLiquid", "PhasePengRobinson<liquid>",
     "Stream based on the Peng-Robinson equation of state with one liquid phase"},
    {"StreamNrtl1Liquid", "PhaseNrtl1",
     "Stream based on the Non Random Two Liquids activity coefficient model in the original "
     "formulation with temperature-independent bij, with one liquid phase"},
    {"StreamNrtl2Liquid", "PhaseNrtl2",
     "Stream based on the Non Random Two Liquids activity coefficient model with "
     "temperature-dependent bij and alfaij, with one liquid phase"},
    {"StreamUnifacLiquid", "PhaseUnifac",
     "Stream based on the UNIFAC activity coefficient model, with one liquid phase"},
    {"StreamPcsaftVapor", "PhasePcsaft<vapor>",
     "Stream based on the PC-SAFT equation of state with one vapor phase"},
    {"StreamPcsaftLiquid", "PhasePcsaft<liquid>",
     "Stream based on the PC-SAFT equation of state with one liquid phase"},
    {"StreamGerg2004Vapor", "PhaseGerg2004<vapor>",
     "Stream based on the GERG-2004 equation of state with one vapor phase see PhaseGerg2004 "
     "for limitations"},
    {"StreamGerg2004Liquid", "PhaseGerg2004<liquid>",
     "Stream based on the GERG-2004 equation of state with one liquid phase see PhaseGerg2004 "
     "for limitations"},
    {"StreamIapwsVapor", "PhaseIapws<vapor>",
     "Stream based on the IAPWS-95 equation of state with one vapor phase"},
    {"StreamIapwsLiquid", "PhaseIapws<liquid>",
     "Stream based on the IAPWS-95 equation of state with one liquid phase"},
};

void registerAll() {
  registerSimple<StreamSimple<0, 1, 0>>("Simple, mass-balance only stream with one liquid phase");
  registerSimple<StreamSimple<0, 0, 1>>("Simple, mass-balance only stream with one solid phase");
  registerSimple<StreamSimple<1, 0, 0>>("Simple, mass-balance only stream with one vapor phase");
  registerSimple<StreamSimple<0, 1, 1>>(
      "Simple, mass-balance only stream with one liquid and one solid phase");
  registerSimple<StreamSimple<1, 1, 1>>(
      "Simple, mass-balance only stream with one liquid, one solid and one vapor phase");
  registerStream<StreamOne>("StreamOne", "Parameterized single-phase stream",
                            {StringOption("embeddedTypePhase", "type of the embedded phase",
                                          "PhaseIdeal<vapor>", "phaseEnum")});
  // Each alias presets every option of its base, so its descriptor lists none.
  for (const OneAlias &alias : streamOneAliases)
    NodeFactory().registerAlias("StreamOne", alias.name, alias.description,
                                Defaults().setString("embeddedTypePhase", alias.phase), "", 100,
                                100);
  // The two-phase streams ("StreamVl", "StreamVlT", "StreamVlTx", "StreamLlTx"
  // with their liquid-liquid and liquid-vapour aliases), the tabular streams,
  // the streams with a solid phase ("StreamOneSolid", "StreamSolidVlT",
  // "StreamSolidVlTx" with their aliases) and "StreamIapwsLiquidVapor" come
  // here, in this order, once their classes exist.
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
  static const EnumeratorOption rows[] = {
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
  };
  Velta::Core::Enumerator enumerator("phaseEnum", "Phase type enumerator");
  for (const EnumeratorOption &row : rows)
    enumerator.addOption(row);
  return enumerator;
}

} // namespace Velta::Streams
