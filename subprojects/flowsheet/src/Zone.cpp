#include "velta/flowsheet/Zone.h"

#include "velta/flowsheet/OptionPresets.h"
#include "velta/utility/Diagnostic.h"
#include "velta/utility/Error.h"

const char *const Zone::typeName = "Zone";

Zone::Zone(Defaults defaults, int id, Persistency *persistency, Node *parent, Node *root)
    : Object(defaults, id, persistency, parent, root),
      Model(defaults, id, persistency, parent, root),
      VertexBase(defaults, id, persistency, parent, root),
      FlowSheet(defaults, id, persistency, parent, root) {
  static const char *const name = "Zone::Zone";
  VELTA_TRACE_BEGIN
  setType(typeName);
  VELTA_LOG(verbosity(), 1, name, "Entered");
  maxNIn = 2;
  maxNOut = 2;
  inletRequired(0);
  inletRequired(1);
  if (persistency == nullptr) {
    addUnit("FlashDrum", defaults.relay("COLD", "Cold side"));
    addUnit("HeatTransfer",
            Velta::Flowsheet::withPresets(defaults.relay("HOT", "Hot side"),
                                          Defaults().setString("processSide", "COLD")));
    addStream("StreamNrtl2LiquidSolidVapor", defaults.relay("SL", "Liquid from Stripping Section"),
              "source", "out", "COLD", "in");
    addStream("StreamIapwsVapor", defaults.relay("STMIN", "Steam"), "source", "out", "HOT", "in");
    addStream("StreamNrtl2LiquidSolidVapor", defaults.relay("B", "Boilup Vapor and liquids"),
              "COLD", "out", "sink", "in");
    addStream("StreamIapwsLiquid", defaults.relay("WATOU", "Condenses"), "HOT", "out", "sink",
              "in");
    // The limits are the ports the zone has: two inlets, two outlets.
    maxNIn = 2;
    maxNOut = 2;
  }
  registerSynonym("liquid", "in1");
  registerSynonym("mixture", "out1");
  registerSynonym("steam", "in2");
  registerSynonym("water", "out2");
  VELTA_TRACE_END(name)
}

Zone::~Zone() = default;

void Zone::setup() {
  VELTA_TRACE_BEGIN
  S("COLD.option") = "PA";
  FlowSheet::setup();
  VELTA_TRACE_END("Zone::setup")
}
