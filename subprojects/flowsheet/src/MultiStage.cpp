#include "velta/flowsheet/MultiStage.h"

#include "velta/core/MyCast.h"
#include "velta/flowsheet/StageTag.h"
#include "velta/streams/Stream.h"
#include "velta/utility/Diagnostic.h"
#include "velta/utility/Error.h"
#include "velta/utility/StringEdits.h"

#include <algorithm>
#include <climits>
#include <sstream>

const char *const MultiStage::typeName = "MultiStage";

namespace {

const char *const topbottom = "topbottom";
const char *const bottomtop = "bottomtop";

} // namespace

MultiStage::MultiStage(Defaults defaults, int id, Persistency *persistency, Node *parent,
                       Node *root)
    : Object(defaults, id, persistency, parent, root),
      Model(defaults, id, persistency, parent, root),
      VertexBase(defaults, id, persistency, parent, root),
      FlowSheet(defaults, id, persistency, parent, root),
      nStage("nStage", "Number of stages", 1, nullptr),
      nStreams("nStreams", "Number of stream couples connected", 2, nullptr),
      referenceStream("referenceStream", "Reference stream will not be cut", 0, nullptr),
      pressureoption("pressureoption", "Mechanical equilibrium setting equilibrium or separate",
                     "equilibrium", nullptr),
      typeT("typeT", "the type of the model which sits on the Vertexes", "", nullptr),
      typeU("typeU", "the type of the model which sits on the top bottom Edges", "", nullptr),
      typeV("typeV", "the type of the model which sits on the bottom top Edges", "", nullptr) {
  static const char *const name = "MultiStage::MultiStage";
  setType(typeName);
  std::ostringstream printed;
  defaults.print(printed);
  VELTA_LOG(verbosity(), 1, name, "Entered for " << tag() << " with options = " << printed.str());
  nStage = retrieveInteger(defaults, id, persistency, "nStage", 0, INT_MAX, 1);
  nStreams = retrieveInteger(defaults, id, persistency, "nStreams", 0, 18, 2);
  referenceStream = retrieveInteger(defaults, id, persistency, "referenceStream", -1, INT_MAX, 0);
  typeT =
      retrieveString(defaults, id, persistency, "typeT", "FlashDegasser<StreamIdealLiquidVapor>");
  typeU = retrieveString(defaults, id, persistency, "typeU", "StreamIdealLiquidVapor");
  typeV = retrieveString(defaults, id, persistency, "typeV", "StreamLiquid");
  // setup and pre read option[referenceStream].
  if (referenceStream.value() >= nStreams.value())
    throw ErrorRunTime(
        name, ("Integer parameter referenceStream = " + std::to_string(referenceStream.value()) +
               " must be stricly smaller than nStreams = " + std::to_string(nStreams.value()))
                  .c_str());
  addVariable(nStage);
  addVariable(nStreams);
  addVariable(referenceStream);
  const auto n = static_cast<unsigned>(nStreams.value());
  addVector(deltaP, "deltaP", "Pressure difference", n, Value(0.0, "Pa"));
  addVector(option, "option", "topbottom or bottomtop", n, topbottom);
  addVariable(pressureoption);
  addVariable(typeT);
  addVariable(typeU);
  addVariable(typeV);
  if (persistency != nullptr)
    return;

  for (int j = 0; j < nStreams.value(); ++j) {
    const std::string key = "option[" + std::to_string(j) + "]";
    VELTA_LOG(verbosity(), 2, name, "Looking for " << key);
    if (defaults.hasString(key)) {
      VELTA_LOG(verbosity(), 2, name, key << " = " << defaults.getString(key));
      option[static_cast<std::size_t>(j)] = defaults.getString(key);
    }
  }

  VELTA_LOG(verbosity(), 1, name, "Define unit operations");
  for (int i = 0; i < nStage.value(); ++i)
    addUnit(typeT.value(), defaults.relay(stageTag(i), "Stage " + std::to_string(i)));

  VELTA_LOG(verbosity(), 1, name, "Define stream objects and connect");
  const int last = nStage.value() - 1;
  for (int i = 0; i <= last; ++i)
    for (int j = 0; j < nStreams.value(); ++j) {
      const bool tb = topBottom(j, name);
      if (!leavesToStage(j, i, name))
        continue;
      const int next = tb ? i + 1 : i - 1;
      VELTA_LOG(verbosity(), 2, name,
                "Connecting stream " << j << " from " << stageTag(i) << " to " << stageTag(next));
      addStream(tb ? typeU.value() : typeV.value(),
                defaults.relay(streamTag(j, i), std::string(tb ? "TB" : "BT") +
                                                    " stream from stage " + std::to_string(i) +
                                                    " to stage " + std::to_string(next)),
                stageTag(i), portOutlet(j + 1), stageTag(next), portInlet(j + 1));
    }
  for (int j = 0; j < nStreams.value(); ++j) {
    const std::string in = portInlet(j + 1);
    const std::string out = portOutlet(j + 1);
    const std::string feed = "F" + letter(j);
    if (topBottom(j, name)) {
      addStream(typeU.value(), defaults.relay(feed, "TB feed to stage 00"), "source", "out",
                stageTag(0), in);
      addStream(typeU.value(),
                defaults.relay(letter(j), "TB product from stage " + std::to_string(last)),
                stageTag(last), out, "sink", "in");
    } else {
      addStream(typeV.value(), defaults.relay(letter(j), "BT product from stage 00"), stageTag(0),
                out, "sink", "in");
      addStream(typeV.value(), defaults.relay(feed, "BT feed to stage " + std::to_string(last)),
                "source", "out", stageTag(last), in);
    }
  }
}

MultiStage::~MultiStage() { VELTA_LOG(verbosity(), 1, "MultiStage::~MultiStage", "Entered"); }

std::string MultiStage::letter(int j) const { return indexToLetter(j); }

bool MultiStage::topBottom(int j, const char *caller) const {
  const std::string &value = option.at(static_cast<std::size_t>(j)).value();
  if (value == topbottom)
    return true;
  if (value == bottomtop)
    return false;
  throw ErrorBrowsing(caller, tag().c_str(), ("option[" + std::to_string(j) + "]").c_str(),
                      value.c_str());
}

bool MultiStage::leavesToStage(int j, int i, const char *caller) const {
  return topBottom(j, caller) ? i < nStage.value() - 1 : i > 0;
}

bool MultiStage::isReference(int j) const {
  return option.at(static_cast<std::size_t>(j)).value() ==
         option.at(static_cast<std::size_t>(referenceStream.value())).value();
}

std::string MultiStage::stageTag(int i) const { return Velta::Flowsheet::stageTag(i); }

std::string MultiStage::streamTag(int j, int i) const {
  const bool leaves = option.at(static_cast<std::size_t>(j)).value() == bottomtop
                          ? i == 0
                          : i == nStage.value() - 1;
  return leaves ? letter(j) : Velta::Flowsheet::indexedTag(letter(j), i);
}

std::string MultiStage::cutTag(int j, int i) const { return streamTag(j, i) + "bis"; }

int MultiStage::sequential() { return std::max(10, 2 * I("nStage")); }

void MultiStage::setup() {
  static const char *const name = "MultiStage::setup";
  VELTA_TRACE_BEGIN
  VELTA_LOG(verbosity(), 1, name, "Entered for " << fullTag());
  VELTA_LOG(verbosity(), 2, name, "Defining cut streams");
  if (isDag()) {
    restoreCuts();
  } else {
    VELTA_LOG(verbosity(), 0, name, "Output graph in DOT format before cuts");
    const auto base = static_cast<unsigned>(parentId());
    printDot(tag() + "_Q1.dot", base);
    VELTA_LOG(verbosity(), 2, name,
              "Cutting cut streams with referenceStream = " << referenceStream.value());
    for (int i = 0; i < nStage.value(); ++i)
      for (int j = 0; j < nStreams.value(); ++j)
        if (!isReference(j) && leavesToStage(j, i, name))
          addCut(streamTag(j, i));
    VELTA_LOG(verbosity(), 0, name, "Output graph in DOT format after cuts");
    printDot(tag() + "_Q2.dot", base);
  }
  VELTA_LOG(verbosity(), 2, name, "Calling flowsheet::setup to initialize any subflowsheet");
  FlowSheet::setup();
  VELTA_TRACE_END(name)
}

void MultiStage::pre(int mode, int) {
  static const char *const name = "MultiStage::pre";
  VELTA_TRACE_BEGIN
  VELTA_LOG(verbosity(), 1, name, "Entered for " << fullTag());
  if (!isPristine() || mode != 1)
    return;
  VELTA_LOG(verbosity(), 2, name, "Initializing cut streams");
  for (int i = 0; i < nStage.value(); ++i)
    for (int j = 0; j < nStreams.value(); ++j) {
      if (isReference(j))
        continue;
      const Stream *feed = my_cast<Stream *>(&at("F" + letter(j)), name);
      if (!leavesToStage(j, i, name))
        continue;
      auto *cut = my_cast<Stream *>(&at(cutTag(j, i)), name);
      cut->assign(*feed);
      cut->P = cut->P + static_cast<double>(i) * deltaP[static_cast<std::size_t>(j)] /
                            static_cast<double>(nStage.value());
    }
  VELTA_TRACE_END(name)
}

void MultiStage::post(int, int) {
  static const char *const name = "MultiStage::post";
  VELTA_TRACE_BEGIN
  VELTA_LOG(verbosity(), 1, name, "Entered for " << fullTag());
  incrementCalculations();
  VELTA_TRACE_END(name)
}
