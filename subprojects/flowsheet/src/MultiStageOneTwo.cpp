#include "velta/flowsheet/MultiStageOneTwo.h"

#include "velta/flowsheet/StageTag.h"
#include "velta/utility/Diagnostic.h"
#include "velta/utility/Error.h"
#include "velta/utility/StringEdits.h"

#include <climits>
#include <iostream>
#include <sstream>

using Velta::Flowsheet::indexedTag;
using Velta::Flowsheet::stageTag;

const char *const MultiStageOneTwo::typeName = "MultiStageOneTwo";

MultiStageOneTwo::MultiStageOneTwo(Defaults defaults, int id, Persistency *persistency,
                                   Node *parent, Node *root)
    : Object(defaults, id, persistency, parent, root),
      Model(defaults, id, persistency, parent, root),
      VertexBase(defaults, id, persistency, parent, root),
      FlowSheet(defaults, id, persistency, parent, root),
      nStage("nStage", "Number of stages", 0, nullptr),
      pressureoption("pressureoption", "Mechanical equilibrium setting equilibrium or separate",
                     "equilibrium", nullptr),
      typeT("typeT", "the type of the model which sits on the Vertexes", "", nullptr),
      typeU("typeU", "the type of the model which sits on the inflow outflow Edges", "", nullptr),
      typeV("typeV", "the type of the model which sits on the outflow only Edges", "", nullptr) {
  static const char *const name = "MultiStageOneTwo::MultiStageOneTwo";
  setType(typeName);
  std::ostringstream printed;
  defaults.print(printed);
  VELTA_LOG(verbosity(), 1, name, "Entered for " << tag() << " with options = " << printed.str());
  maxNIn = 1;
  maxNOut = 2;
  inletRequired(0);
  setIcon("MultiStage", 80, 20);
  nStage = retrieveInteger(defaults, id, persistency, "nStage", 0, INT_MAX, 1);
  typeT = retrieveString(defaults, id, persistency, "typeT", "CompressionStage");
  typeU = retrieveString(defaults, id, persistency, "typeU", "StreamVapor");
  typeV = retrieveString(defaults, id, persistency, "typeV", "StreamLiquid");
  addVariable(nStage);
  addVector(deltaP, "deltaP", "Pressure difference", 2, Value(0.0, "Pa"));
  for (String *s : {&pressureoption, &typeT, &typeU, &typeV})
    addVariable(*s);
  if (persistency != nullptr)
    return;

  const int last = nStage.value() - 1;
  VELTA_LOG(verbosity(), 1, name, "Define unit operations");
  for (int i = 0; i <= last; ++i) {
    VELTA_LOG(verbosity(), 2, name, "Defining stage " << stageTag(i));
    addUnit(typeT.value(), defaults.relay(stageTag(i), "Stage " + std::to_string(i)));
  }
  addUnit("Mixer", defaults.relay("MIX", "Mix crossflow streams"));
  VELTA_LOG(verbosity(), 1, name, "Define stream objects and connect");
  for (int i = 0; i <= last; ++i) {
    if (i < last) {
      VELTA_LOG(verbosity(), 2, name,
                "Connecting stream " << streamTag(0, i) << " from " << stageTag(i) << " to "
                                     << stageTag(i + 1));
      addStream(typeU.value(),
                defaults.relay(streamTag(0, i), "stream from stage " + std::to_string(i) +
                                                    " to stage " + std::to_string(i + 1)),
                stageTag(i), "out1", stageTag(i + 1), "in1");
    }
    VELTA_LOG(verbosity(), 2, name,
              "Connecting crossflow stream " << streamTag(1, i) << " from " << stageTag(i)
                                             << " to MIX");
    addStream(typeV.value(),
              defaults.relay(streamTag(1, i), "crossflow stream from stage " + std::to_string(i)),
              stageTag(i), "out2", "MIX", "in");
  }
  VELTA_LOG(verbosity(), 2, name, "Setting input stream");
  addStream(typeU.value(), defaults.relay("FEED", "feed to stage 0"), "source", "out",
            stageTag(0), "in1");
  VELTA_LOG(verbosity(), 2, name, "Setting output streams");
  addStream(typeU.value(), defaults.relay("OUT1", "product from stage " + std::to_string(last)),
            stageTag(last), "out1", "sink", "in");
  addStream(typeV.value(), defaults.relay("OUT2", "crossflow product"), "MIX", "out", "sink",
            "in");
  // The limits are the ports the cascade has: one inlet, two outlets.
  maxNIn = 1;
  maxNOut = 2;
}

MultiStageOneTwo::~MultiStageOneTwo() {
  VELTA_LOG(verbosity(), 1, "MultiStageOneTwo::~MultiStageOneTwo", "Entered");
}

std::string MultiStageOneTwo::streamTag(int couple, int stage) {
  return indexedTag(indexToLetter(couple), stage);
}

int MultiStageOneTwo::sequential() {
  std::cout << "MultiStageOneTwo::sequential = " << 3 << std::endl;
  return 3;
}

void MultiStageOneTwo::setup() {
  static const char *const name = "MultiStageOneTwo::setup";
  VELTA_TRACE_BEGIN
  VELTA_LOG(verbosity(), 1, name, "Entered for " << fullTag());
  VELTA_LOG(verbosity(), 0, name, "Output graph in AT&T DOT format");
  printDot(tag() + "_Q1.dot", static_cast<unsigned>(parentId()));
  VELTA_LOG(verbosity(), 2, name, "Calling flowsheet::setup to initialize any subflowsheet");
  FlowSheet::setup();
  VELTA_TRACE_END(name)
}
