#include "velta/flowsheet/Zone.h"

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
    VELTA_LOG(verbosity(), 1, name, "Define unit operations");
    addUnit("FlashDrum", defaults.relay("COLD", "Cold side"));
    // A process side given to the zone prevails.
    addUnit("HeatTransfer", defaults.relay("HOT", "Hot side").setString("processSide", "COLD"));
    VELTA_LOG(verbosity(), 1, name, "Define stream objects and connect");
    VELTA_LOG(verbosity(), 2, name, "Setting input streams");
    addStream("StreamNrtl2LiquidSolidVapor", defaults.relay("SL", "Liquid from Stripping Section"),
              "source", "out", "COLD", "in");
    addStream("StreamIapwsVapor", defaults.relay("STMIN", "Steam"), "source", "out", "HOT", "in");
    VELTA_LOG(verbosity(), 2, name, "Setting output streams");
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
  static const char *const name = "Zone::setup";
  VELTA_TRACE_BEGIN
  VELTA_LOG(verbosity(), 1, name, " entered for " << tag());
  S("COLD.option") = "PA";
  VELTA_LOG(verbosity(), 2, name, "Calling flowsheet::setup to initialize any subflowsheet");
  FlowSheet::setup();
  VELTA_TRACE_END(name)
}
