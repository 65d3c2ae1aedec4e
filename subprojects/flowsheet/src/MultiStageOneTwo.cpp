#include "velta/flowsheet/MultiStageOneTwo.h"

#include "velta/flowsheet/StageTag.h"
#include "velta/utility/Diagnostic.h"
#include "velta/utility/Error.h"

#include <climits>
#include <iostream>

using Velta::Flowsheet::indexedTag;
using Velta::Flowsheet::stageTag;

const char *const MultiStageOneTwo::typeName = "MultiStageOneTwo";

MultiStageOneTwo::MultiStageOneTwo(Defaults defaults, int id, Persistency *persistency,
                                   Node *parent, Node *root)
    : Object(defaults, id, persistency, parent, root),
      Model(defaults, id, persistency, parent, root),
      VertexBase(defaults, id, persistency, parent, root),
      FlowSheet(defaults, id, persistency, parent, root) {
  static const char *const name = "MultiStageOneTwo::MultiStageOneTwo";
  VELTA_TRACE_BEGIN
  setType(typeName);
  VELTA_LOG(verbosity(), 1, name, "Entered");
  nStage_ = retrieveInteger(defaults, id, persistency, "nStage", 0, INT_MAX, 1);
  const std::string typeT = retrieveString(defaults, id, persistency, "typeT", "CompressionStage");
  const std::string typeU = retrieveString(defaults, id, persistency, "typeU", "StreamVapor");
  const std::string typeV = retrieveString(defaults, id, persistency, "typeV", "StreamLiquid");
  maxNIn = 1;
  maxNOut = 2;
  inletRequired(0);
  setIcon("MultiStage", 80, 20);
  if (persistency == nullptr) {
    const int last = nStage_ - 1;
    for (int i = 0; i <= last; ++i)
      addUnit(typeT, defaults.relay(stageTag(i), "Stage " + std::to_string(i)));
    addUnit("Mixer", defaults.relay("MIX", "Mix crossflow streams"));
    for (int i = 0; i <= last; ++i) {
      if (i < last)
        addStream(typeU,
                  defaults.relay(indexedTag("A", i), "stream from stage " + std::to_string(i) +
                                                         " to stage " + std::to_string(i + 1)),
                  stageTag(i), "out1", stageTag(i + 1), "in1");
      addStream(
          typeV,
          defaults.relay(indexedTag("B", i), "crossflow stream from stage " + std::to_string(i)),
          stageTag(i), "out2", "MIX", "in");
    }
    addStream(typeU, defaults.relay("FEED", "feed to stage 0"), "source", "out", stageTag(0),
              "in1");
    addStream(typeU, defaults.relay("OUT1", "product from stage " + std::to_string(last)),
              stageTag(last), "out1", "sink", "in");
    addStream(typeV, defaults.relay("OUT2", "crossflow product"), "MIX", "out", "sink", "in");
    // The limits are the ports the cascade has: one inlet, two outlets.
    maxNIn = 1;
    maxNOut = 2;
  }
  VELTA_TRACE_END(name)
}

MultiStageOneTwo::~MultiStageOneTwo() = default;

int MultiStageOneTwo::sequential() {
  std::cout << "MultiStageOneTwo::sequential = " << 3 << std::endl;
  return 3;
}

void MultiStageOneTwo::setup() {
  static const char *const name = "MultiStageOneTwo::setup";
  VELTA_TRACE_BEGIN
  printDot(tag() + "_Q1.dot", static_cast<unsigned>(parentId()));
  FlowSheet::setup();
  VELTA_TRACE_END(name)
}
