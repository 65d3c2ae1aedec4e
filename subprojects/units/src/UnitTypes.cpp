#include "velta/units/UnitTypes.h"

#include "velta/persistency/NodeFactory.h"
#include "velta/units/Compressor.h"
#include "velta/units/Degasser.h"
#include "velta/units/Divider.h"
#include "velta/units/Exchanger.h"
#include "velta/units/FlashDegasser.h"
#include "velta/units/FlashDrum.h"
#include "velta/units/FlashSplitter.h"
#include "velta/units/HeatTransfer.h"
#include "velta/units/HtuNtu.h"
#include "velta/units/Mixer.h"
#include "velta/units/MultiExchanger.h"
#include "velta/units/Multiplier.h"
#include "velta/units/Pipe.h"
#include "velta/units/Pump.h"
#include "velta/units/RatingHeatShellAndTube.h"
#include "velta/units/ReactionTypes.h"
#include "velta/units/Selector.h"
#include "velta/units/Separator.h"
#include "velta/units/Splitter.h"

#include <climits>
#include <string>

namespace {

template <class U>
void registerUnit(const char *description, const char *icon, double width, double height,
                  std::vector<IntegerOption> integerOptions = {},
                  std::vector<StringOption> stringOptions = {}) {
  NodeFactory().registerType<U>(U::typeName, description, "unit", false, integerOptions,
                                stringOptions, {}, icon, width, height);
}

// A rating that units create by name: category "option", no icon of its
// own.
template <class R> void registerRating(const char *description) {
  NodeFactory().registerType<R>(R::typeName, description, "option", false, {}, {}, {}, "", 100,
                                100);
}

// An alias presetting one integer option; it lists the base's icon.
void registerIntegerAlias(const char *base, const char *alias, const char *description,
                          const char *option, int value) {
  Defaults preset("", "");
  preset.setInteger(option, value);
  NodeFactory().registerAlias(base, alias, description, preset, "", 100, 100);
}

// An alias "Base<StreamType>" presetting the internal stream type of a
// flash splitter or degasser; it lists the base's icon.
void registerStreamAlias(const char *base, const std::string &alias, const char *description) {
  const std::size_t open = alias.find('<');
  Defaults preset("", "");
  preset.setString("embeddedTypeStream", alias.substr(open + 1, alias.size() - open - 2));
  NodeFactory().registerAlias(base, alias, description, preset, "", 100, 100);
}

StringOption streamOption(const char *defaultType) {
  return StringOption("embeddedTypeStream", "internal flash type", defaultType, "streamEnum");
}

void registerFlashSplitter() {
  registerUnit<FlashSplitter>("Parameterized vertex model to represent an (optionally) reactive "
                              "Flash drum with many inlets and X outlets",
                              "FlashDrum", 60, 99.985695, {},
                              {streamOption("StreamIdealLiquidSolid")});
  registerStreamAlias(FlashSplitter::typeName, "FlashSplitter<StreamIdealLiquidSolid>",
                      "Optionally reactive ideal flash drum with many inlets and 2 outlets, one "
                      "liquid and one solid");
  registerStreamAlias(FlashSplitter::typeName, "FlashSplitter<StreamIdealLiquidSolidVapor>",
                      "Optionally reactive ideal flash drum with many inlets and 3 outlets, one "
                      "liquid, one solid and one vapor");
}

void registerFlashDegasser() {
  registerUnit<FlashDegasser>(
      "Optionally reactive flash drum with many inlets and 2 outlets, one vapor and one liquid",
      "FlashDrum", 60, 99.985695, {}, {streamOption("StreamIdealLiquidVapor")});
  const char *const nrtl1 = "Optionally reactive flash drum based on the Non Random Two Liquids "
                            "activity coefficient model in the original formulation with "
                            "temperature-independent bij, with many inlets and 2 outlets, one "
                            "vapor and one liquid";
  const char *const nrtl2 = "Optionally reactive flash drum based on the Non Random Two Liquids "
                            "activity coefficient model with temperature-dependent bij and "
                            "alfaij, with many inlets and 2 outlets, one vapor and one liquid";
  const char *const idealVapor = "Optionally reactive ideal flash drum with many inlets and 2 "
                                 "outlets, one vapor and one liquid";
  const struct {
    const char *alias;
    const char *description;
  } aliases[] = {
      {"FlashDegasser<StreamIdealLiquidVapor>", idealVapor},
      {"FlashDegasser<StreamIdealSolidVapor>",
       "Optionally reactive ideal flash drum with many inlets and 2 outlets, one vapor and one "
       "solid"},
      {"FlashDegasser<StreamNrtl1LiquidVapor>", nrtl1},
      {"FlashDegasser<StreamNrtl2LiquidVapor>", nrtl2},
      {"FlashDegasser<StreamUnifacLiquidVapor>",
       "Optionally reactive flash drum based on the UNIFAC activity coefficient model, with many "
       "inlets and 2 outlets, one vapor and one liquid"},
      // These three repeat the description of a sibling as registered.
      {"FlashDegasser<StreamIdealLiquidSolidVapor>", idealVapor},
      {"FlashDegasser<StreamNrtl1LiquidSolidVapor>", nrtl1},
      {"FlashDegasser<StreamNrtl2LiquidSolidVapor>", nrtl2},
      {"FlashDegasser<StreamKwongRedlichSoaveLiquidSolidVapor>",
       "Optionally reactive flash drum based on the Kwong-Redlich-Soave equation of state, with "
       "many inlets and 3 outlets, one vapor, one liquid and one solid"},
      {"FlashDegasser<StreamKwongRedlichSoaveLiquidVapor>",
       "Optionally reactive flash drum based on the Kwong-Redlich-Soave equation of state, with "
       "many inlets and 2 outlets, one vapor and one liquid"},
  };
  for (const auto &row : aliases)
    registerStreamAlias(FlashDegasser::typeName, row.alias, row.description);
}

// The listing order; the unit types still to be built take their places
// between these rows as they come.
void registerAll() {
  registerUnit<Divider>("Multi-stream divider", "Divider", 73, 83.46875);
  registerUnit<Mixer>("Multi-stream mixer", "Mixer", 73, 83.4375);
  registerUnit<Separator>("Parameterized separator with many inlets and X outlets", "Separator", 60,
                          99.985695,
                          {IntegerOption("nOutlets", "The number of outlets", 2, 2, INT_MAX)});
  registerIntegerAlias(Separator::typeName, "Separator<2>",
                       "Separator with many inlets and 2 outlets", "nOutlets", 2);
  registerIntegerAlias(Separator::typeName, "Separator<3>",
                       "Separator with many inlets and 3 outlets", "nOutlets", 3);
  registerUnit<FlashDrum>("Optionally reactive flash drum with many inlets and one outlet",
                          "FlashDrum", 60, 99.985695);
  registerUnit<Degasser>(
      "Degasser with one vapor phase outlet and a fluid / condensate / solid phase outlet",
      "FlashDrum", 60, 99.985695);
  registerUnit<Splitter>("Stream phase separator", "Divider", 73, 83.46875);
  registerFlashSplitter();
  registerUnit<HtuNtu>(
      "Absorber or stripper with countercurrent multicomponent mass transfer of dilute components",
      "Column", 60, 199.875);
  registerUnit<Multiplier>("Stream multiplier", "Multiplier", 73, 83.46875);
  registerUnit<Exchanger>("Rating heat exchanger", "Exchanger", 80, 80);
  registerUnit<Compressor>("Isentropic compressor", "Compressor", 62, 81.499969);
  registerUnit<MultiExchanger>("Rating multi-stream heat exchanger", "Exchanger", 80, 80);
  registerFlashDegasser();
  registerUnit<HeatTransfer>("Heat transfer unit operation rating", "Exchanger", 80, 80);
  registerRating<RatingHeatShellAndTubeThermosiphon>("Shell and Tube heat Vertical Thermosiphon");
  registerRating<RatingHeatShellAndTubeHeater>("Shell and Tube heat heater");
  registerRating<RatingHeatShellAndTubeFallingFilmReboiler>("Shell and tube falling film reboiler");
  registerRating<RatingHeatShellAndTubeRecovery>("Shell and tube heat recovery");
  registerUnit<Pipe>("Pipe model with liquid flow", "Pipe", 99.995331, 30.000134);
  registerUnit<Pump>("Pump model for liquid flow", "Pump", 80, 85);
  registerUnit<Selector>("Stream selector", "Selector", 73, 83.46875);
  Velta::Units::registerMultiReactionTypes();
}

} // namespace

namespace Velta::Units {

void registerUnitTypes() {
  // Not atomic: start-up runs on one thread.
  static bool registered = false;
  if (registered)
    return;
  registered = true;
  registerAll();
}

Velta::Core::Enumerator streamEnumerator() {
  return Velta::Core::Enumerator(
      "streamEnum", "Stream type enumerator",
      {
          {"StreamIdealLiquidVapor", "Ideal Liquid Vapor stream"},
          {"StreamIdealSolidVapor", "Ideal Vapor Solid stream"},
          {"StreamNrtl1LiquidVapor", "Nrtl1 liquid and ideal vapor stream"},
          {"StreamNrtl2LiquidVapor", "Nrtl2 liquid and ideal vapor stream"},
          {"StreamIdealLiquidSolidVapor", "Ideal Liquid Solid Vapor stream"},
          {"StreamNrtl1LiquidSolidVapor", "Nrtl1 liquid and ideal vapor and solid stream"},
          {"StreamNrtl2LiquidSolidVapor", "Nrtl2 liquid and ideal vapor and solid stream"},
          {"StreamKwongRedlichSoaveLiquidSolidVapor",
           "Equation of state liquid and vapor and ideal solid stream"},
          {"StreamKwongRedlichSoaveLiquidVapor", "Equation of state liquid and vapor stream"},
      });
}

} // namespace Velta::Units
