#include "velta/flowsheet/FlowsheetTypes.h"

#include "velta/flowsheet/Column.h"
#include "velta/flowsheet/ColumnSection.h"
#include "velta/flowsheet/CompressionStage.h"
#include "velta/flowsheet/Decanter.h"
#include "velta/flowsheet/LiquidRingVacuumPump.h"
#include "velta/flowsheet/MultiCompressorIntercooled.h"
#include "velta/flowsheet/MultiStage.h"
#include "velta/flowsheet/PressureSwingAbsorption.h"
#include "velta/flowsheet/RatingColumnTraySieve.h"
#include "velta/flowsheet/ReboilerCrossFlow.h"
#include "velta/flowsheet/Terminator.h"
#include "velta/flowsheet/Zone.h"
#include "velta/persistency/NodeFactory.h"

#include <climits>

namespace {

template <class T>
void registerComposite(const char *description, const char *category, const char *icon = "",
                       double width = 100, double height = 100) {
  NodeFactory().registerType<T>(T::typeName, description, category, false, {}, {}, {}, icon, width,
                                height);
}

// The column's stage counts and its two stream types, offered from the
// column's stream enumerators.
void registerColumn() {
  NodeFactory().registerType<Column>(
      Column::typeName, "Distillation column", "flowsheet", false,
      {IntegerOption("stages", "total number of stages", 2, 2, INT_MAX),
       IntegerOption("feedStage", "position of the feed stage", 1, 1, INT_MAX)},
      {StringOption("typeU", "the type of the vapor+condensate stream", "StreamIdealLiquidVapor",
                    "streamVCEnum"),
       StringOption("typeW", "the type of the condensate stream", "StreamLiquid", "streamCEnum")},
      {}, "Column", 60, 199.875);
}

// The listing order; the composite types still to be built take their
// places between these rows as they come.
void registerAll() {
  registerComposite<Terminator>("Source or sink of all streams entering a flowsheet", "unit");
  registerComposite<ReboilerCrossFlow>("Vertical shell and tube water steam heated reboiler",
                                       "unit");
  registerComposite<Decanter>("Vapor-Liquid-Liquid decanter", "flowsheet", "Decanter", 99.986,
                              59.999771);
  registerComposite<LiquidRingVacuumPump>("Liquid ring vacuum pump", "flowsheet",
                                          "LiquidRingVacuumPump", 200, 232.5);
  registerComposite<PressureSwingAbsorption>("Pressure Swing Absorbtion", "flowsheet", "Column", 60,
                                             199.875);
  registerColumn();
  registerComposite<ColumnSection>("Section of a distillation column", "flowsheet", "MultiStage",
                                   80, 20);
  registerComposite<RatingColumnTraySieve>("Rating model for sieve trays", "option");
  registerComposite<Zone>("Zone of a vertical shell and tube water steam fed thermosiphon", "unit");
  registerComposite<MultiStage>("Generic multi-stage countercurrent unit", "unit", "MultiStage", 80,
                                20);
  registerComposite<CompressionStage>("Single compression stage", "flowsheet");
  registerComposite<MultiCompressorIntercooled<1>>("Single stage compressor with cooler", "unit",
                                                   "MultiStage", 80, 20);
  registerComposite<MultiCompressorIntercooled<2>>("2-stage intercooled compressor", "unit",
                                                   "MultiStage", 80, 20);
  registerComposite<MultiCompressorIntercooled<3>>("3-stage intercooled compressor", "unit",
                                                   "MultiStage", 80, 20);
}

} // namespace

namespace Velta::Flowsheet {

void registerFlowsheetTypes() {
  // Not atomic: start-up runs on one thread.
  static bool registered = false;
  if (registered)
    return;
  registered = true;
  registerAll();
}

Velta::Core::Enumerator streamVCEnumerator() {
  return Velta::Core::Enumerator(
      "streamVCEnum", "Vapor+condensate stream type enumerator",
      {{"StreamIdealLiquidVapor", "Ideal Liquid Vapor stream"},
       {"StreamNrtl1LiquidVapor", "Nrtl1 liquid and ideal vapor stream"},
       {"StreamNrtl2LiquidVapor", "Nrtl2 liquid and ideal vapor stream"},
       {"StreamIdealLiquidSolidVapor", "Ideal Liquid Solid Vapor stream"},
       {"StreamNrtl1LiquidSolidVapor", "Nrtl1 liquid and ideal vapor and solid stream"},
       {"StreamNrtl2LiquidSolidVapor", "Nrtl2 liquid and ideal vapor and solid stream"},
       {"StreamKwongRedlichSoaveLiquidSolidVapor",
        "Equation of state liquid and vapor and ideal solid stream"},
       {"StreamKwongRedlichSoaveLiquidVapor", "Equation of state liquid and vapor stream"}});
}

Velta::Core::Enumerator streamCEnumerator() {
  return Velta::Core::Enumerator(
      "streamCEnum", "Condensate stream type enumerator",
      {{"StreamLiquid", "Ideal Liquid stream"},
       {"StreamLiquidSolid", "Ideal Liquid Solid stream"},
       {"StreamNrtl1LiquidSolid", "Nrtl1 liquid and and solid stream"},
       {"StreamNrtl2LiquidSolid", "Nrtl2 liquid and solid stream"},
       {"StreamKwongRedlichSoaveLiquid", "Equation of state liquid stream"}});
}

} // namespace Velta::Flowsheet
