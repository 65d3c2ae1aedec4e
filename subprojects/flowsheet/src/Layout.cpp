// The layout graph of a flowsheet drawing and the first steps of a run:
// edge-label dummies, layering by longest path from the source, long-edge
// dummies, port numbering and port dummies.

#include "velta/flowsheet/Layout.h"

#include "velta/core/EdgeBase.h"
#include "velta/core/VertexBase.h"
#include "velta/flowsheet/Graph.h"
#include "LayoutAssert.h"

#include <boost/container_hash/hash.hpp>
#include <boost/graph/topological_sort.hpp>

#include <algorithm>
#include <iterator>

// ------------------------------------------------------------ vertices

Layout::Vertex::~Vertex() = default;

double Layout::NormalVertex::width() const {
  return std::max(layout_->textWidth(unit_->tag()), unit_->iconWidth());
}

double Layout::NormalVertex::height() const {
  const double room = ports[south] != 0 ? layout_->arrowLength() + layout_->gap() : 0.0;
  return unit_->iconHeight() + layout_->fontSize() + room;
}

double Layout::NormalVertex::sideCoordinate(int location) const {
  switch (location) {
  case north:
    return y;
  case south:
    return y + unit_->iconHeight();
  case east:
    return x + (width() + unit_->iconWidth()) / 2.0;
  default:
    return x + (width() - unit_->iconWidth()) / 2.0;
  }
}

double Layout::NormalVertex::edgeShift(int location, unsigned pos) const {
  const double n = ports[static_cast<std::size_t>(location)];
  const double side =
      location == north || location == south ? unit_->iconWidth() : unit_->iconHeight();
  return (pos + 0.5) * side / n;
}

std::string Layout::NormalVertex::toString() const { return "NormalVertex[" + unit_->tag() + "]"; }

namespace {

void assertEastOrWest(int location) {
  LAYOUT_ASSERT(location == Layout::east || location == Layout::west,
                "location == VertexBase::east || location == VertexBase::west");
}

} // namespace

double Layout::TerminalVertex::sideCoordinate(int location) const {
  assertEastOrWest(location);
  return x;
}

double Layout::TerminalVertex::edgeShift(int, unsigned) const {
  LAYOUT_ASSERT(false, "edgeShift shouldn't be called on a TerminalVertex");
  return 0.0;
}

double Layout::DummyVertex::edgeShift(int location, unsigned pos) const {
  assertEastOrWest(location);
  LAYOUT_ASSERT(pos == 0, "pos == 0");
  return 0.0;
}

double Layout::LongEdgeDummy::sideCoordinate(int location) const {
  assertEastOrWest(location);
  return x;
}

double Layout::EdgeLabelDummy::sideCoordinate(int location) const {
  assertEastOrWest(location);
  return location == east ? x + width() : x;
}

double Layout::PortDummy::sideCoordinate(int location) const {
  assertEastOrWest(location);
  return location == east ? x + width() : x;
}

std::string Layout::NorthernPortDummy::toString() const {
  return "NorthernPortDummy[" + owner_->unit().tag() + "]";
}

std::string Layout::SouthernPortDummy::toString() const {
  return "SouthernPortDummy[" + owner_->unit().tag() + "]";
}

std::size_t Layout::StyleHash::operator()(const std::pair<std::string, double> &style) const {
  std::size_t seed = 0;
  boost::hash_combine(seed, style.first);
  boost::hash_combine(seed, style.second);
  return seed;
}

// ------------------------------------------------------------ construction

namespace {

bool connectedAt(const VertexBase &unit, const std::string &streamTag) {
  for (const auto &[edge, port] : unit.connections())
    if (edge == streamTag)
      return true;
  return false;
}

} // namespace

Layout::Layout(const Graph &graph, const PortHolders &holders) {
  const Graph::AdjacencyList &g = graph.graph();
  for (auto [v, end] = boost::vertices(g); v != end; ++v) {
    VertexBase *unit = g[*v];
    if (unit->tag() == "source")
      addVertex(std::make_unique<SourceVertex>());
    else if (unit->tag() == "sink")
      addVertex(std::make_unique<SinkVertex>());
    else
      addVertex(std::make_unique<NormalVertex>(unit, this));
  }
  const auto location = [&holders](VertexBase &unit, const std::string &streamTag) {
    const auto holder = holders.find(streamTag);
    if (holder != holders.end() && !connectedAt(unit, streamTag))
      return unit.locationFromEdge(holder->second);
    return unit.locationFromEdge(streamTag);
  };
  for (auto [e, end] = boost::edges(g); e != end; ++e) {
    EdgeBase *stream = g[*e];
    const auto from = boost::source(*e, g);
    const auto to = boost::target(*e, g);
    Edge record;
    record.sourceLocation = location(*g[from], stream->tag());
    record.targetLocation = location(*g[to], stream->tag());
    record.type = stream->type();
    record.label = stream->tag();
    record.id = stream->id();
    record.colour = stream->lineColor();
    record.strokeWidth = stream->lineWidth();
    boost::add_edge(from, to, record, graph_);
  }
}

Layout::~Layout() = default;

Layout::VertexIndex Layout::addVertex(std::unique_ptr<Vertex> vertex) {
  const VertexIndex v = boost::add_vertex(graph_);
  graph_[v] = vertex.get();
  vertices_.push_back(std::move(vertex));
  return v;
}

bool Layout::setReversed(const std::string &label) {
  for (auto [e, end] = boost::edges(graph_); e != end; ++e)
    if (graph_[*e].label == label) {
      graph_[*e].reversed = true;
      return true;
    }
  return false;
}

void Layout::setP(double p) {
  LAYOUT_ASSERT(p > 0.0, "p > 0.0");
  p_ = p;
}

void Layout::setVmvs(double vmvs) {
  LAYOUT_ASSERT(vmvs > 0.0, "vmvs > 0.0");
  vmvs_ = vmvs;
}

void Layout::setMcs(double mcs) {
  LAYOUT_ASSERT(mcs > 0.0, "mcs > 0.0");
  mcs_ = mcs;
}

void Layout::setSvs(double svs) {
  LAYOUT_ASSERT(svs > 0.0, "svs > 0.0");
  svs_ = svs;
}

// ------------------------------------------------------------ run

void Layout::run() {
  run_ = true;
  addEdgeLabels();
  assignLayers();
  addLongEdgeDummies();
  numberPorts();
  addPortDummies();
  assignCoordinates();
  route();
}

namespace {

template <class G> std::vector<typename boost::graph_traits<G>::edge_descriptor> edgeList(G &g) {
  std::vector<typename boost::graph_traits<G>::edge_descriptor> list;
  for (auto [e, end] = boost::edges(g); e != end; ++e)
    list.push_back(*e);
  return list;
}

} // namespace

void Layout::addEdgeLabels() {
  for (const EdgeDescriptor e : edgeList(graph_)) {
    const Edge record = graph_[e];
    const VertexIndex from = boost::source(e, graph_);
    const VertexIndex to = boost::target(e, graph_);
    const VertexIndex label =
        addVertex(std::make_unique<EdgeLabelDummy>(record.label, record.id, this));
    Edge in = record;
    in.targetLocation = west;
    boost::add_edge(from, label, in, graph_);
    Edge out = record;
    out.sourceLocation = east;
    boost::add_edge(label, to, out, graph_);
    boost::remove_edge(e, graph_);
  }
}

void Layout::assignLayers() {
  VertexIndex sink = 0;
  bool hasSink = false;
  for (auto [v, end] = boost::vertices(graph_); v != end; ++v) {
    at(*v).layer = is<SourceVertex>(*v) ? 0 : 1;
    if (is<SinkVertex>(*v)) {
      sink = *v;
      hasSink = true;
    }
  }
  // Depth-first finishing order; a cycle throws boost::not_a_dag.
  std::vector<VertexIndex> finished;
  boost::topological_sort(graph_, std::back_inserter(finished));
  std::size_t m = 0;
  for (auto v = finished.rbegin(); v != finished.rend(); ++v) {
    for (auto [e, end] = boost::out_edges(*v, graph_); e != end; ++e) {
      Vertex &w = at(boost::target(*e, graph_));
      w.layer = std::max(w.layer, at(*v).layer + 1);
    }
  }
  for (auto [v, end] = boost::vertices(graph_); v != end; ++v)
    if (!(hasSink && *v == sink))
      m = std::max(m, at(*v).layer);
  if (hasSink)
    at(sink).layer = m + 1;
  layers_.assign(m + 2, {});
  for (const VertexIndex v : finished) {
    std::vector<VertexIndex> &layer = layers_[at(v).layer];
    at(v).position = layer.size();
    layer.push_back(v);
  }
}

void Layout::addLongEdgeDummies() {
  for (const EdgeDescriptor e : edgeList(graph_)) {
    const VertexIndex u = boost::source(e, graph_);
    const VertexIndex w = boost::target(e, graph_);
    if (at(w).layer <= at(u).layer + 1)
      continue;
    // A product stream's label goes next to the sink: the chain is built
    // between the producing unit and the label instead.
    EdgeDescriptor chosen = e;
    if (is<EdgeLabelDummy>(u) && is<SinkVertex>(w))
      chosen = *boost::in_edges(u, graph_).first;
    const std::size_t k = at(w).layer - at(u).layer - 1;
    const Edge record = graph_[chosen];
    VertexIndex previous = boost::source(chosen, graph_);
    const VertexIndex last = boost::target(chosen, graph_);
    for (std::size_t i = 0; i <= k; ++i) {
      Edge piece = record;
      if (i > 0)
        piece.sourceLocation = east;
      VertexIndex next = last;
      if (i < k) {
        piece.targetLocation = west;
        next = addVertex(std::make_unique<LongEdgeDummy>(record.label));
      }
      boost::add_edge(previous, next, piece, graph_);
      previous = next;
    }
    boost::remove_edge(chosen, graph_);
  }
  assignLayers();
}

void Layout::numberPorts() {
  for (auto [v, end] = boost::vertices(graph_); v != end; ++v)
    at(*v).ports = {0, 0, 0, 0};
  for (auto [e, end] = boost::edges(graph_); e != end; ++e) {
    Edge &record = graph_[*e];
    Vertex &from = at(boost::source(*e, graph_));
    Vertex &to = at(boost::target(*e, graph_));
    record.sourcePort = from.ports[static_cast<std::size_t>(record.sourceLocation)]++;
    record.targetPort = to.ports[static_cast<std::size_t>(record.targetLocation)]++;
  }
}

namespace {

// The edges of a range that lie on one side, in list order.
template <class G, class Range, class Side>
std::vector<typename boost::graph_traits<G>::edge_descriptor> onSide(const G &g, Range range,
                                                                     Side side, int location) {
  std::vector<typename boost::graph_traits<G>::edge_descriptor> edges;
  for (auto e = range.first; e != range.second; ++e)
    if (side(g[*e]) == location)
      edges.push_back(*e);
  return edges;
}

} // namespace

void Layout::addPortDummies() {
  const auto targetSide = [](const Edge &e) { return e.targetLocation; };
  const auto sourceSide = [](const Edge &e) { return e.sourceLocation; };
  for (std::size_t b = 0; b < layers_.size(); ++b) {
    std::vector<VertexIndex> order;
    for (const VertexIndex t : layers_[b]) {
      std::vector<VertexIndex> above;
      std::vector<VertexIndex> below;
      const auto place = [&](std::unique_ptr<Vertex> dummy, std::vector<VertexIndex> &list) {
        dummy->layer = b;
        const VertexIndex d = addVertex(std::move(dummy));
        list.push_back(d);
        return d;
      };
      // The edges of each side, taken before any of them is replaced.
      const auto inOf = [&](int side) {
        return onSide(graph_, boost::in_edges(t, graph_), targetSide, side);
      };
      const auto outOf = [&](int side) {
        return onSide(graph_, boost::out_edges(t, graph_), sourceSide, side);
      };
      const std::array<std::vector<EdgeDescriptor>, 4> incoming{inOf(north), inOf(south),
                                                                inOf(east), {}};
      const std::array<std::vector<EdgeDescriptor>, 4> outgoing{outOf(north), outOf(south), {},
                                                                outOf(west)};
      // A stream arriving on the east side comes out of the channel right
      // of the layer and turns back into the unit; one leaving the west side
      // goes into the channel left of the layer and back out of it.
      const auto passDummy = [&](EdgeDescriptor e, std::vector<VertexIndex> &list) {
        const Edge record = graph_[e];
        const VertexIndex d = place(std::make_unique<LongEdgeDummy>(record.label), list);
        at(d).ports = {0, 0, 1, 1};
        Edge in = record;
        in.targetPort = 0;
        in.targetLocation = west;
        boost::add_edge(boost::source(e, graph_), d, in, graph_);
        Edge out = record;
        out.sourcePort = 0;
        out.sourceLocation = east;
        boost::add_edge(d, boost::target(e, graph_), out, graph_);
        boost::remove_edge(e, graph_);
      };
      for (const EdgeDescriptor e : incoming[east])
        passDummy(e, above);
      const auto portDummies = [&](int side, std::vector<VertexIndex> &list) {
        const auto &in = incoming[static_cast<std::size_t>(side)];
        const auto &out = outgoing[static_cast<std::size_t>(side)];
        const auto *owner = dynamic_cast<const NormalVertex *>(graph_[t]);
        for (std::size_t k = 0; k < in.size() || k < out.size(); ++k) {
          LAYOUT_ASSERT(owner != nullptr, "owner != nullptr");
          std::unique_ptr<Vertex> dummy;
          if (side == north)
            dummy = std::make_unique<NorthernPortDummy>(owner, static_cast<unsigned>(k));
          else
            dummy = std::make_unique<SouthernPortDummy>(owner, static_cast<unsigned>(k));
          const VertexIndex d = place(std::move(dummy), list);
          if (k < in.size()) {
            Edge record = graph_[in[k]];
            record.targetPort = 0;
            record.targetLocation = west;
            boost::add_edge(boost::source(in[k], graph_), d, record, graph_);
            at(d).ports[west] = 1;
            boost::remove_edge(in[k], graph_);
          }
          if (k < out.size()) {
            Edge record = graph_[out[k]];
            record.sourcePort = 0;
            record.sourceLocation = east;
            boost::add_edge(d, boost::target(out[k], graph_), record, graph_);
            at(d).ports[east] = 1;
            boost::remove_edge(out[k], graph_);
          }
        }
      };
      portDummies(north, above);
      portDummies(south, below);
      for (const EdgeDescriptor e : outgoing[west])
        passDummy(e, below);
      order.insert(order.end(), above.begin(), above.end());
      order.push_back(t);
      order.insert(order.end(), below.begin(), below.end());
    }
    for (std::size_t i = 0; i < order.size(); ++i)
      at(order[i]).position = i;
    layers_[b] = std::move(order);
  }
}
