#include "velta/flowsheet/LiquidRingVacuumPump.h"

#include "velta/components/ListComponents.h"
#include "velta/core/MyCast.h"
#include "velta/streams/Stream.h"
#include "velta/utility/Diagnostic.h"
#include "velta/utility/Error.h"

const char *const LiquidRingVacuumPump::typeName = "LiquidRingVacuumPump";

LiquidRingVacuumPump::LiquidRingVacuumPump(Defaults defaults, int id, Persistency *persistency,
                                           Node *parent, Node *root)
    : Object(defaults, id, persistency, parent, root),
      Model(defaults, id, persistency, parent, root),
      VertexBase(defaults, id, persistency, parent, root),
      FlowSheet(defaults, id, persistency, parent, root),
      P("P", "Discharge pressure", 101325.0, "Pa", nullptr),
      T("T", "Liquid ring temperature", 278.15, "K", nullptr),
      purge("purge", "Fraction of liquid ring circulation purged", Value(0.1), nullptr),
      cr("cr", "Compression ratio", Value(1.0), nullptr),
      We("We", "Total electrical power", 0.0, "W", nullptr) {
  static const char *const name = "LiquidRingVacuumPump::LiquidRingVacuumPump";
  VELTA_TRACE_BEGIN
  setType(typeName);
  VELTA_LOG(verbosity(), 1, name, "Entered for " << tag());
  maxNIn = 2;
  maxNOut = 2;
  inletRequired(0);
  inletRequired(1);
  for (Quantity *q : {&P, &T, &purge, &cr, &We})
    addVariable(*q);
  if (persistency == nullptr) {
    VELTA_LOG(verbosity(), 1, name, "Define unit operations");
    const std::string drum = "FlashDegasser<StreamIdealLiquidVapor>";
    addUnit("Compressor", defaults.relay("COMPRV", "Liquid Ring Vacuum Pump"));
    addUnit(drum, defaults.relay("DRUM2", "Separation drum"));
    // The divider counts its outlets by "nOutlets"; a count given to the
    // pump prevails.
    addUnit("Divider", defaults.relay("TEE", "Stream Divider").setInteger("nOutlets", 2));
    addUnit("FlashDrum", defaults.relay("HX", "Liquid ring cooler"));
    addUnit("Mixer", defaults.relay("MIX1", "Liquid ring Mixer"));
    addUnit(drum, defaults.relay("DRUM1", "Separation drum"));
    addUnit("Pump", defaults.relay("COMPRL", "Liquid Ring Vacuum Pump"));
    my_cast<VertexBase *>(&at("COMPRL"), name)->setIcon("Compressor", 62, 81.499969);
    addUnit("Mixer", defaults.relay("MIX2", "Post Mixer"));

    VELTA_LOG(verbosity(), 1, name, "Define stream objects and connect");
    const std::string type = "StreamIdealLiquidVapor";
    struct Connection {
      const char *tag, *description, *from, *fromPort, *to, *toPort;
    };
    static const Connection inner[] = {
        {"S02", "Vacuum vapor liquid mixture", "MIX1", "out", "DRUM1", "in"},
        {"S02V", "Vacuum vapor", "DRUM1", "out1", "COMPRV", "in"},
        {"S02L", "Vacuum liquid", "DRUM1", "out2", "COMPRL", "in"},
        {"S03V", "Recompressed vapor", "COMPRV", "out", "MIX2", "in"},
        {"S03L", "Recompressed liquid", "COMPRL", "out", "MIX2", "in"},
        {"S03", "Recompressed vapor liquid mixture", "MIX2", "out", "DRUM2", "in"},
        {"S05", "Recompressed liquids", "DRUM2", "out2", "TEE", "in"},
        {"S07", "Warm liquid ring", "TEE", "out2", "HX", "in"},
        {"S08", "Cool liquid ring", "HX", "out", "MIX1", "in2"}};
    static const Connection inlets[] = {{"S01", "Vacuum vapors", "source", "out", "MIX1", "in1"},
                                        {"S00", "Makeup liquid", "source", "out", "MIX2", "in"}};
    static const Connection outlets[] = {
        {"S04", "Recompressed vapors", "DRUM2", "out1", "sink", "in"},
        {"S06", "Liquid discharge", "TEE", "out1", "sink", "in"}};
    auto add = [&](const Connection &c) {
      addStream(type, defaults.relay(c.tag, c.description), c.from, c.fromPort, c.to, c.toPort);
    };
    for (const Connection &c : inner)
      add(c);
    VELTA_LOG(verbosity(), 2, name, "Setting input streams");
    for (const Connection &c : inlets)
      add(c);
    VELTA_LOG(verbosity(), 2, name, "Setting output streams");
    for (const Connection &c : outlets)
      add(c);
    // The limits are the ports the pump has: two inlets, two outlets.
    maxNIn = 2;
    maxNOut = 2;
  }
  VELTA_LOG(verbosity(), 2, name, "Making selected inputs/outputs visible in GUI");
  for (Quantity *q : {&P, &T, &purge})
    q->setInput();
  cr.setOutput();
  We.setOutput();
  VELTA_LOG(verbosity(), 2, name, "Done");
  VELTA_TRACE_END(name)
}

LiquidRingVacuumPump::~LiquidRingVacuumPump() = default;

void LiquidRingVacuumPump::calculateResidualsLocal() {
  VELTA_TRACE_BEGIN
  go(1, 0);
  VELTA_TRACE_END("LiquidRingVacuumPump::calculateResidualsLocal")
}

void LiquidRingVacuumPump::setup() {
  static const char *const name = "LiquidRingVacuumPump::setup";
  VELTA_TRACE_BEGIN
  VELTA_LOG(verbosity(), 1, name, "Entered for " << tag());
  VELTA_LOG(verbosity(), 2, name, "Setting input variables");
  VELTA_LOG(verbosity(), 2, name, "Initializing cut streams");
  S("S08.flowoption") = "Mx";
  Q("S08:Tphase.mdot").set(5000.0, "kg/h");
  for (int i = 0; i < components.count(); ++i)
    Q("S08:Tphase.x", i).set(Value(i == 0 ? 1.0 : 0.0));
  my_cast<Model *>(&at("S08"), name)->calculate(0);
  S("COMPRV.option") = "P";
  Q("COMPRV.deltas").set(0.0, "W/K");
  for (const char *drum : {"DRUM1", "DRUM2"}) {
    const std::string tag = drum;
    S(tag + ".option") = "DH";
    Q(tag + ".deltaP").set(0.0, "Pa");
    Q(tag + ".duty").set(0.0, "W");
  }
  S("HX.option") = "DT";
  Q("HX.deltaP").set(0.0, "Pa");
  VELTA_LOG(verbosity(), 2, name, "Defining cut streams");
  // A second set-up, or one of a pump read back with its cut, finds the
  // ring already torn.
  if (!hasChild("S08bis"))
    addCut("S08");
  VELTA_LOG(verbosity(), 2, name, "Making selected outputs visible in GUI");
  VELTA_TRACE_END(name)
}

void LiquidRingVacuumPump::pre(int, int) {
  static const char *const name = "LiquidRingVacuumPump::pre";
  VELTA_TRACE_BEGIN
  VELTA_LOG(verbosity(), 1, name, "Entered for " << fullTag());
  VELTA_LOG(verbosity(), 2, name, "Setting input values");
  Q("S08bis.T") = T;
  Q("S08bis.P") = P;
  Q("COMPRL.P") = P;
  Q("COMPRV.P") = P;
  Q("HX.T") = T;
  Q("TEE.outSplit", 0) = purge;
  VELTA_TRACE_END(name)
}

void LiquidRingVacuumPump::post(int, int) {
  static const char *const name = "LiquidRingVacuumPump::post";
  VELTA_TRACE_BEGIN
  VELTA_LOG(verbosity(), 1, name, "Entered for " << fullTag());
  cr = P / my_cast<Stream *>(inlet(0), name)->P;
  We = Q("COMPRL.We") + Q("COMPRV.We");
  incrementCalculations();
  VELTA_TRACE_END(name)
}
