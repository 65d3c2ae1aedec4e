#include "velta/units/UnitTypes.h"

#include "velta/persistency/NodeFactory.h"
#include "velta/units/Compressor.h"
#include "velta/units/Degasser.h"
#include "velta/units/Divider.h"
#include "velta/units/Exchanger.h"
#include "velta/units/Mixer.h"
#include "velta/units/MultiExchanger.h"
#include "velta/units/Multiplier.h"
#include "velta/units/ReactionTypes.h"
#include "velta/units/Selector.h"
#include "velta/units/Separator.h"
#include "velta/units/Splitter.h"

#include <climits>

namespace {

template <class U>
void registerUnit(const char *description, const char *icon, double width, double height,
                  std::vector<IntegerOption> integerOptions = {},
                  std::vector<StringOption> stringOptions = {}) {
  NodeFactory().registerType<U>(U::typeName, description, "unit", false, integerOptions,
                                stringOptions, {}, icon, width, height);
}

// An alias presetting one integer option; it lists the base's icon.
void registerIntegerAlias(const char *base, const char *alias, const char *description,
                          const char *option, int value) {
  Defaults preset("", "");
  preset.setInteger(option, value);
  NodeFactory().registerAlias(base, alias, description, preset, "", 100, 100);
}

// The listing order; the unit types still to be built take their places
// between these rows as they come.
void registerAll() {
  registerUnit<Divider>("Multi-stream divider", "Divider", 73, 83.46875);
  registerUnit<Mixer>("Multi-stream mixer", "Mixer", 73, 83.4375);
  registerUnit<Separator>("Parameterized separator with many inlets and X outlets", "Separator",
                          60, 99.985695,
                          {IntegerOption("nOutlets", "The number of outlets", 2, 2, INT_MAX)});
  registerIntegerAlias(Separator::typeName, "Separator<2>",
                       "Separator with many inlets and 2 outlets", "nOutlets", 2);
  registerIntegerAlias(Separator::typeName, "Separator<3>",
                       "Separator with many inlets and 3 outlets", "nOutlets", 3);
  // FlashDrum
  registerUnit<Degasser>(
      "Degasser with one vapor phase outlet and a fluid / condensate / solid phase outlet",
      "FlashDrum", 60, 99.985695);
  registerUnit<Splitter>("Stream phase separator", "Divider", 73, 83.46875);
  // FlashSplitter and its aliases, HtuNtu
  registerUnit<Multiplier>("Stream multiplier", "Multiplier", 73, 83.46875);
  registerUnit<Exchanger>("Rating heat exchanger", "Exchanger", 80, 80);
  registerUnit<Compressor>("Isentropic compressor", "Compressor", 62, 81.499969);
  registerUnit<MultiExchanger>("Rating multi-stream heat exchanger", "Exchanger", 80, 80);
  // FlashDegasser and its aliases, HeatTransfer, the four
  // shell-and-tube ratings, Pipe, Pump
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
  static const EnumeratorOption rows[] = {
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
  };
  Velta::Core::Enumerator enumerator("streamEnum", "Stream type enumerator");
  for (const EnumeratorOption &row : rows)
    enumerator.addOption(row);
  return enumerator;
}

} // namespace Velta::Units
