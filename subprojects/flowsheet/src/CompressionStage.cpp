#include "velta/flowsheet/CompressionStage.h"

#include "velta/utility/Diagnostic.h"
#include "velta/utility/Error.h"

const char *const CompressionStage::typeName = "CompressionStage";

CompressionStage::CompressionStage(Defaults defaults, int id, Persistency *persistency,
                                   Node *parent, Node *root)
    : Object(defaults, id, persistency, parent, root),
      Model(defaults, id, persistency, parent, root),
      VertexBase(defaults, id, persistency, parent, root),
      FlowSheet(defaults, id, persistency, parent, root) {
  static const char *const name = "CompressionStage::CompressionStage";
  VELTA_TRACE_BEGIN
  setType(typeName);
  VELTA_LOG(verbosity(), 1, name, "Entered");
  maxNIn = 1;
  maxNOut = 2;
  inletRequired(0);
  if (persistency == nullptr) {
    VELTA_LOG(verbosity(), 1, name, "Define unit operations");
    addUnit("Compressor", defaults.relay("C", "Compressor"));
    addUnit("FlashDegasser<StreamIdealLiquidVapor>", defaults.relay("COOL", "Intercooler"));
    VELTA_LOG(verbosity(), 1, name, "Define stream objects and connect");
    addStream("StreamVapor", defaults.relay("S03", "Compressed mixture"), "C", "out", "COOL", "in");
    VELTA_LOG(verbosity(), 2, name, "Setting input streams");
    addStream("StreamVapor", defaults.relay("S02", "Low pressure gas inlet"), "source", "out", "C",
              "in");
    VELTA_LOG(verbosity(), 2, name, "Setting output streams");
    addStream("StreamVapor", defaults.relay("S04", "Compressed gas outlet"), "COOL", "vapor",
              "sink", "in");
    addStream("StreamLiquid", defaults.relay("S05", "Condensate outlet"), "COOL", "condensate",
              "sink", "in");
    // The limits are the ports the stage has: one inlet, two outlets.
    maxNIn = 1;
    maxNOut = 2;
  }
  VELTA_TRACE_END(name)
}

CompressionStage::~CompressionStage() = default;
