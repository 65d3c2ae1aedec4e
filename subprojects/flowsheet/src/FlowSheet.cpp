#include "velta/flowsheet/FlowSheet.h"

#include "velta/core/MyCast.h"
#include "velta/flowsheet/FlowSheetPrivate.h"
#include "velta/flowsheet/SubstitutionAccelerator.h"
#include "velta/flowsheet/Layout.h"
#include "velta/phases/MassMolarProperties.h"
#include "velta/streams/Stream.h"
#include "velta/utility/Error.h"
#include "velta/utility/StringEdits.h"

#include <boost/graph/depth_first_search.hpp>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <map>
#include <set>

FlowSheet::FlowSheet(Defaults defaults, int id, Persistency *persistency, Node *parent,
                     Node *root)
    : Object(defaults, id, persistency, parent, root),
      Model(defaults, id, persistency, parent, root),
      VertexBase(defaults, id, persistency, parent, root), ObjectiveNleAdFlowsheet("FlowSheet"),
      Connectivity(defaults, id, persistency),
      enableAssignment("enableAssignment", "Enable Assignment", 0, 1, nullptr),
      NITER("NITER", "Number of iterations for flowsheet cuts convergence", -1, nullptr),
      seqTol("seqTol", "Tolerance for sequential modular mode", Value(1e-6), nullptr),
      seqErr("seqErr", "Current error for sequential modular mode", Value(1e-6), nullptr),
      private_(std::make_unique<Private>(this)) {
  static const char *const name = "FlowSheet::FlowSheet";
  VELTA_LOG(verbosity(), 1, name,
            "Entered for " << id << " with nAssignments = " << enableAssignment.size());
  addVariable(enableAssignment);
  addVariable(NITER);
  addVariable(seqTol);
  addVariable(seqErr);
  if (persistency != nullptr) {
    retrieveIntegersAndStrings(persistency);
    VELTA_LOG(verbosity(), 2, name, "Build from persistent storage");
  }
  maxNIn = 0;
  maxNOut = 0;
  if (persistency != nullptr) {
    private_->build();
  } else {
    VELTA_LOG(verbosity(), 1, name,
              "Define dummy unit operations to get inlet and outlet streams to and from "
              "flowsheet");
    addUnit("Terminator", defaults.relay("source", "Source of all feed streams to the graph"));
    addUnit("Terminator", defaults.relay("sink", "Destination for all streams exiting the graph"));
  }
  setName(ObjectiveNleAdFlowsheet::name() + "/" + fullTag());
  VELTA_LOG(verbosity(), 2, name, "Done");
}

void FlowSheet::retrieveIntegersAndStrings(Persistency *persistency) {
  Object::retrieveIntegersAndStrings(persistency);
  // The port limits count the port maps, which the stored values of a
  // flowsheet restored after new cuts do not.
  maxNIn = static_cast<int>(private_->inletMap_.size());
  maxNOut = static_cast<int>(private_->outletMap_.size());
}

FlowSheet::~FlowSheet() {
  VELTA_LOG(verbosity(), 1, "FlowSheet::~FlowSheet", "Entered");
  VELTA_LOG(verbosity(), 2, "FlowSheet::~FlowSheet", "Done");
}

TaskGraph &FlowSheet::taskGraph() { return *private_->taskGraph_; }
const TaskGraph &FlowSheet::taskGraph() const { return *private_->taskGraph_; }

bool FlowSheet::isActive(Position position) {
  if (position == ass_.end())
    return false;
  return enableAssignment.at((*position)->index) == 1;
}

int FlowSheet::sequential() { return private_->maxIterations_; }

// ------------------------------------------------------------ building

void FlowSheet::addUnit(const std::string &type, const Defaults &options) {
  static const char *const name = "FlowSheet::addUnit";
  VELTA_LOG(verbosity(), 1, name, "Making " << options.tag());
  Node &child = addChild(type, options);
  taskGraph().addVertex(my_cast<VertexBase *>(&child, name));
  VELTA_LOG(verbosity(), 2, name, "Done " << options.tag());
}

void FlowSheet::addStream(const std::string &type, const Defaults &options,
                          const std::string &fromTAG, const std::string &fromPort,
                          const std::string &toTAG, const std::string &toPort) {
  static const char *const name = "FlowSheet::addStream";
  VELTA_LOG(verbosity(), 1, name, "Making " << options.tag());
  if (fromTAG == toTAG)
    throw ErrorConnectivity(name, tag().c_str(), "can not attach to self");
  Node &stream = addChild(type, options);
  std::string from = fromPort, to = toPort;
  private_->postMakeEdge_(stream, fromTAG, from, toTAG, to);
  if (fromTAG == "source") {
    VELTA_LOG(verbosity(), 2, name, "Setting as input stream");
    if (!replaceFirst(from, "out", "in"))
      throw ErrorConnectivity(name, tag().c_str(), "the from port does not contain out");
    setInputConnection(from, options.tag());
  }
  if (toTAG == "sink") {
    VELTA_LOG(verbosity(), 2, name, "Setting as output stream");
    if (!replaceFirst(to, "in", "out"))
      throw ErrorConnectivity(name, tag().c_str(), "the to port does not contain in");
    setOutputConnection(to, options.tag());
  }
  VELTA_LOG(verbosity(), 2, name, "Added " << options.tag());
}

void FlowSheet::setInputConnection(const std::string &port, const std::string &streamTag) {
  VELTA_LOG(verbosity(), 2, "FlowSheet::setInputConnection",
            "Connecting internal stream [" << streamTag << "] to external inlet port " << port);
  private_->checkInputConnection_(port, streamTag);
  private_->inletMap_[port] = streamTag;
  private_->reverseInletMap_[streamTag] = port;
  maxNIn = maxNIn.value() + 1;
}

void FlowSheet::setOutputConnection(const std::string &port, const std::string &streamTag) {
  VELTA_LOG(verbosity(), 2, "FlowSheet::setOutputConnection",
            "Connecting internal stream [" << streamTag << "] to external outlet port " << port);
  private_->checkOutputConnection_(port, streamTag);
  private_->outletMap_[port] = streamTag;
  private_->reverseOutletMap_[streamTag] = port;
  maxNOut = maxNOut.value() + 1;
}

int FlowSheet::inletConnection(const std::string &streamTag) const {
  const auto found = private_->reverseInletMap_.find(streamTag);
  if (found == private_->reverseInletMap_.end())
    throw ErrorConnectivity("FlowSheet::inletConnection", tag().c_str(),
                            "the supplied tag does not correspond to an inlet stream");
  return inletIdFromPort(found->second);
}

namespace {

// The streams a depth-first walk meets against its direction: reversing
// them leaves a drawable acyclic graph (the drawing only, nothing is torn).
struct BackEdgeCollector : boost::default_dfs_visitor {
  std::vector<std::string> *tags;
  explicit BackEdgeCollector(std::vector<std::string> *found) : tags(found) {}
  template <class E, class G> void back_edge(E e, const G &g) { tags->push_back(g[e]->tag()); }
};

std::vector<std::string> backEdges(const Graph &drawn) {
  std::vector<std::string> tags;
  if (drawn.nVertices() == 0)
    return tags;
  std::vector<boost::default_color_type> colors(drawn.nVertices());
  const Graph::AdjacencyList &g = drawn.graph();
  boost::depth_first_search(
      g, BackEdgeCollector(&tags),
      boost::make_iterator_property_map(colors.begin(), boost::get(boost::vertex_index, g)));
  std::sort(tags.begin(), tags.end());
  return tags;
}

int portId(const std::string &port, const std::string &prefix, const char *function,
           const std::string &subject) {
  if (port.size() > prefix.size() && port.compare(0, prefix.size(), prefix) == 0) {
    const int k = std::atoi(port.c_str() + prefix.size());
    if (k >= 1)
      return k - 1;
    throw ErrorConnectivity(function, subject.c_str(), "port id is invalid");
  }
  throw ErrorConnectivity(function, subject.c_str(), "port name is invalid");
}

} // namespace

int FlowSheet::inletIdFromPort(const std::string &port) const {
  return portId(port, "in", "FlowSheet::inletIdFromPort", tag());
}

int FlowSheet::outletIdFromPort(const std::string &port) const {
  return portId(port, "out", "FlowSheet::outletIdFromPort", tag());
}

bool FlowSheet::checkFlowsheet() {
  static const char *const name = "FlowSheet::check";
  VELTA_LOG(verbosity(), 1, name, "Entered");
  VELTA_LOG(verbosity(), 2, name, "Now checking Edges");
  for (const auto &[tag, child] : children()) {
    auto *edge = dynamic_cast<EdgeBase *>(child.get());
    if (edge == nullptr)
      continue;
    for (const auto &[unitTag, port] : {std::pair{edge->fromTAG.value(), edge->fromPort.value()},
                                        std::pair{edge->toTAG.value(), edge->toPort.value()}}) {
      auto *unit = my_cast<VertexBase *>(&this->child(unitTag), name);
      if (unit->edgeFromPort(port) != tag || unit->portFromEdge(tag) != port)
        throw ErrorConnectivity(name, tag.c_str(), "connectivity mismatch");
    }
  }
  VELTA_LOG(verbosity(), 2, name, "Now checking Vertexes");
  bool result = false;
  for (const auto &[tag, child] : children())
    if (auto *nested = dynamic_cast<FlowSheet *>(child.get()))
      result = nested->checkFlowsheet() || result;
  return checkConnections() || result;
}

Value FlowSheet::balance(bool energy) {
  const char *const name = energy ? "FlowSheet::energyBalance" : "FlowSheet::massBalance";
  VELTA_LOG(verbosity(), 1, name, "Entered for " << fullTag());
  Value total(0.0, energy ? "W" : "kg/s");
  for (const auto &[tag, child] : children()) {
    auto *unit = dynamic_cast<VertexBase *>(child.get());
    if (unit == nullptr || unit->type() == "Terminator")
      continue;
    const Value term = energy ? unit->energyBalance() : unit->massBalance();
    VELTA_LOG(verbosity(), 2, name, "Adding " << unit->fullTag() << " = " << term);
    total += term;
  }
  if (!isRoot()) {
    const auto flow = [&](const std::string &streamTag) {
      auto *stream = my_cast<Stream *>(&child(streamTag), name);
      if (!energy)
        return Value(stream->Tphase->mdot);
      auto *properties = dynamic_cast<Phase::MassMolarProperties *>(stream->Tphase);
      if (properties == nullptr)
        return Value(0.0, "W");
      return Value(stream->Tphase->mdot * properties->h);
    };
    for (const auto &[port, streamTag] : private_->inletMap_)
      if (!inletConnected(static_cast<unsigned>(inletIdFromPort(port))))
        total -= flow(streamTag);
    for (const auto &[port, streamTag] : private_->outletMap_)
      if (!outletConnected(static_cast<unsigned>(outletIdFromPort(port))))
        total += flow(streamTag);
  }
  VELTA_LOG(verbosity(), 2, name,
            (energy ? "Done with ebtot = " : "Done with mbtot = ") << total);
  return total;
}

Value FlowSheet::massBalance() { return balance(false); }
Value FlowSheet::energyBalance() { return balance(true); }

void FlowSheet::printDot(const std::string &fileName, unsigned idOffset) const {
  taskGraph().printDot(fileName, idOffset);
}

bool FlowSheet::isDag() const { return taskGraph().isDag(); }

void FlowSheet::printSvg(const char *fileName, bool tiny, bool raster, unsigned) const {
  static const char *const name = "FlowSheet::printSvg";
  VELTA_LOG(verbosity(), 1, name, "Entered");
  std::ofstream file(fileName, std::ios::out | std::ios::trunc);
  if (!file)
    throw ErrorRunTime(name, (std::string("can not write to ") + fileName).c_str());
  for (const auto &[tag, child] : children()) {
    VELTA_LOG(verbosity(), 2, name, "Looking at: " << tag << " type = " << child->type());
    if (dynamic_cast<const EdgeBase *>(child.get()) != nullptr)
      VELTA_LOG(verbosity(), 2, name, "Looking at edge: " << tag);
  }
  // The halves of each cut, by the tag of the "bis" half, as the cut table
  // records them: no tag is taken for a cut half by its spelling.
  std::map<std::string, const CutPair *> cutsByHalf;
  std::set<const EdgeBase *> halves;
  for (const auto &[torn, pair] : cuts()) {
    cutsByHalf[pair->in->tag()] = pair.get();
    halves.insert(pair->in);
    halves.insert(pair->out);
  }
  const TaskGraph &graph = taskGraph();
  const Graph::AdjacencyList &g = graph.graph();
  TaskGraph drawn;
  for (auto [v, end] = boost::vertices(g); v != end; ++v)
    drawn.addVertex(g[*v]);
  for (auto [e, end] = boost::edges(g); e != end; ++e)
    if (halves.count(g[*e]) == 0)
      drawn.addEdge(g[boost::source(*e, g)]->tag(), g[boost::target(*e, g)]->tag(), g[*e]);
  Layout::PortHolders holders;
  std::vector<std::string> reversed;
  for (const auto &[half, pair] : cutsByHalf) {
    const std::string &torn = pair->out->tag();
    VELTA_LOG(verbosity(), 2, name, "Drawing cut " << torn);
    // The torn stream runs from the unit that its cut half feeds back to
    // the unit it leaves, and is drawn at the cut half's port there.
    drawn.addEdge(graph.targetOf(half), graph.sourceOf(torn), pair->out);
    holders[torn] = half;
    reversed.push_back(torn);
  }
  if (!drawn.isDag())
    for (const std::string &stream : backEdges(drawn)) {
      VELTA_LOG(verbosity(), 2, name, "Drawing recycle " << stream << " without a cut");
      drawn.revertEdge(stream);
      reversed.push_back(stream);
    }
  VELTA_LOG(verbosity(), 2, name, "Instantiating Layout");
  Layout layout(drawn, holders);
  for (const std::string &stream : reversed)
    layout.setReversed(stream);
  VELTA_LOG(verbosity(), 2, name, "Setting options");
  layout.setP(20.0);
  layout.setDebug(true);
  layout.setBalance(false);
  layout.setVmvs(10.0);
  layout.setMcs(20.0);
  layout.setSvs(10.0);
  VELTA_LOG(verbosity(), 2, name, "Performing actual layout");
  layout.run();
  VELTA_LOG(verbosity(), 2, name, "Printing to SVG");
  if (tiny)
    layout.printSvgTiny(file);
  else
    layout.printSvg(file);
  file.close();
  if (!file)
    throw ErrorRunTime(name, (std::string("can not write to ") + fileName).c_str());
  VELTA_LOG(verbosity(), 2, name, "Done");
}
