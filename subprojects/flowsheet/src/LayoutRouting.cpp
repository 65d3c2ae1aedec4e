// Channel routing and drawing geometry: the heights of the ports, the slots
// of the vertical segments in each channel between two layers, the x of
// the layers, and the points of every stream's path.

#include "velta/flowsheet/Layout.h"

#include "LayoutAssert.h"
#include "velta/core/VertexBase.h"
#include "velta/flowsheet/GreedyCycleRemover.h"

#include <boost/graph/topological_sort.hpp>

#include <algorithm>
#include <cmath>
#include <iterator>

namespace {

// Number of levels of the longest paths of an acyclic graph; level of each
// vertex in levels.
std::size_t longestPath(const GreedyCycleRemover::WeightedGraph &graph,
                        std::vector<std::size_t> &levels) {
  std::vector<GreedyCycleRemover::Vertex> finished;
  boost::topological_sort(graph, std::back_inserter(finished));
  levels.assign(boost::num_vertices(graph), 0);
  for (auto v = finished.rbegin(); v != finished.rend(); ++v)
    for (auto [e, end] = boost::out_edges(*v, graph); e != end; ++e) {
      const auto w = boost::target(*e, graph);
      levels[w] = std::max(levels[w], levels[*v] + 1);
    }
  std::size_t largest = 0;
  for (const std::size_t level : levels)
    largest = std::max(largest, level);
  return largest + 1;
}

// The span of a vertical segment: its upper end a0 on side l0, its lower
// end a1 on side l1.
struct Span {
  double a0, a1;
  int l0, l1;
};

Span spanOf(const Layout::Edge &e) {
  if (e.y1 <= e.y2)
    return {e.y1, e.y2, e.sourceLocation, e.targetLocation};
  return {e.y2, e.y1, e.targetLocation, e.sourceLocation};
}

bool inside(double y, const Span &span) { return span.a0 < y && y < span.a1; }

} // namespace

void Layout::route() {
  for (auto [e, end] = boost::edges(graph_); e != end; ++e) {
    Edge &record = graph_[*e];
    const Vertex &u = at(boost::source(*e, graph_));
    const Vertex &w = at(boost::target(*e, graph_));
    // Streams to and from the terminators are horizontal.
    if (is<SourceVertex>(boost::source(*e, graph_))) {
      record.y1 = record.y2 = w.y + w.edgeShift(record.targetLocation, record.targetPort);
    } else if (is<SinkVertex>(boost::target(*e, graph_))) {
      record.y1 = record.y2 = u.y + u.edgeShift(record.sourceLocation, record.sourcePort);
    } else {
      record.y1 = u.y + u.edgeShift(record.sourceLocation, record.sourcePort);
      record.y2 = w.y + w.edgeShift(record.targetLocation, record.targetPort);
    }
  }
  routeChannels();
  placeLayers();
  for (auto [e, end] = boost::edges(graph_); e != end; ++e) {
    Edge &record = graph_[*e];
    const Vertex &u = at(boost::source(*e, graph_));
    record.x1 = u.sideCoordinate(record.sourceLocation);
    record.x2 = at(boost::target(*e, graph_)).sideCoordinate(record.targetLocation);
    const std::size_t b = u.layer;
    double left = 0.0;
    double right = 0.0;
    unsigned n = 1;
    if (record.sourceLocation != west) {
      left = layerX_[b] + layerWidth_[b];
      right = layerX_[b + 1];
      n = slots_[b + 1];
    } else {
      LAYOUT_ASSERT(record.targetLocation == west, "e.targetLocation == VertexBase::west");
      left = layerX_[b - 1] + layerWidth_[b - 1];
      right = layerX_[b];
      n = slots_[b];
    }
    const double a = left + gap_ + arrowLength_;
    const double usable = right - gap_ - arrowLength_ - a;
    record.xm = a + (record.slot + 0.5) * usable / n;
  }
}

void Layout::routeChannels() {
  for (auto [e, end] = boost::edges(graph_); e != end; ++e) {
    graph_[*e].visited = false;
    graph_[*e].slot = 0;
  }
  const std::size_t nLayers = layers_.size();
  slots_.assign(nLayers + 1, 1);
  for (std::size_t c = 0; c <= nLayers; ++c) {
    // Every edge is taken by one channel: east-to-west edges by the one
    // after their source's layer, east-to-east by the one right of their
    // layer, west-to-west by the one left of it.
    std::vector<EdgeDescriptor> segments;
    if (c > 0)
      for (const VertexIndex v : layers_[c - 1])
        for (auto [e, end] = boost::out_edges(v, graph_); e != end; ++e)
          if (!graph_[*e].visited && graph_[*e].sourceLocation == east) {
            graph_[*e].visited = true;
            segments.push_back(*e);
          }
    if (c < nLayers)
      for (const VertexIndex v : layers_[c])
        for (auto [e, end] = boost::in_edges(v, graph_); e != end; ++e)
          if (!graph_[*e].visited && graph_[*e].targetLocation == west) {
            graph_[*e].visited = true;
            segments.push_back(*e);
          }
    if (segments.empty())
      continue;
    GreedyCycleRemover::WeightedGraph dependencies(segments.size());
    for (std::size_t i = 0; i < segments.size(); ++i)
      for (std::size_t j = i + 1; j < segments.size(); ++j) {
        const Edge &A = graph_[segments[i]];
        const Edge &B = graph_[segments[j]];
        if (A.y1 == A.y2 || B.y1 == B.y2)
          continue;
        const Span a = spanOf(A);
        const Span b = spanOf(B);
        // Runs at nearly one height must not overlap: a run into an east
        // side leaves its segment to the left, one into a west side to the
        // right.
        bool aFirst = false;
        bool bFirst = false;
        const auto critical = [&](double ya, int la, double yb, int lb) {
          if (std::abs(ya - yb) >= 5.0)
            return;
          if (la == east && lb == west)
            aFirst = true;
          else
            bFirst = true;
        };
        critical(a.a0, a.l0, b.a0, b.l0);
        critical(a.a1, a.l1, b.a1, b.l1);
        critical(a.a0, a.l0, b.a1, b.l1);
        critical(a.a1, a.l1, b.a0, b.l0);
        if (aFirst != bFirst)
          boost::add_edge(aFirst ? i : j, aFirst ? j : i, 10, dependencies);
        // A run that passes another segment's height range crosses it when
        // that segment lies on the run's side.
        bool preferA = false;
        bool preferB = false;
        const auto prefer = [&](bool crosses, bool towardA) {
          if (crosses)
            (towardA ? preferA : preferB) = true;
        };
        prefer(inside(A.y1, b), A.sourceLocation == east);
        prefer(inside(A.y2, b), A.targetLocation != west);
        prefer(inside(B.y1, a), B.sourceLocation != east);
        prefer(inside(B.y2, a), B.targetLocation == west);
        if (preferA != preferB) {
          boost::add_edge(preferA ? i : j, preferA ? j : i, 1, dependencies);
        } else if (a.a0 <= b.a1 && b.a0 <= a.a1) {
          // Undecided: the cycle removal orders the pair.
          boost::add_edge(i, j, 0, dependencies);
          boost::add_edge(j, i, 0, dependencies);
        }
      }
    GreedyCycleRemover(dependencies).run();
    std::vector<std::size_t> levels;
    slots_[c] = static_cast<unsigned>(longestPath(dependencies, levels));
    for (std::size_t i = 0; i < segments.size(); ++i)
      graph_[segments[i]].slot = static_cast<unsigned>(levels[i]);
  }
}

void Layout::placeLayers() {
  layerWidth_.assign(layers_.size(), 0.0);
  layerX_.assign(layers_.size(), 0.0);
  for (std::size_t i = 0; i < layers_.size(); ++i)
    for (const VertexIndex v : layers_[i])
      layerWidth_[i] = std::max(layerWidth_[i], at(v).width());
  for (std::size_t i = 1; i < layers_.size(); ++i)
    layerX_[i] = layerX_[i - 1] + layerWidth_[i - 1] +
                 std::max(mcs_, slots_[i] * svs_ + 2.0 * (arrowLength_ + gap_));
  for (std::size_t i = 0; i < layers_.size(); ++i)
    for (const VertexIndex v : layers_[i])
      at(v).x = layerX_[i] + (layerWidth_[i] - at(v).width()) / 2.0;
}

// ------------------------------------------------------------ drawing

void Layout::buildDrawing(Drawing &drawing) const {
  drawing = Drawing();
  if (!layers_.empty())
    drawing.width = layerX_.back() + layerWidth_.back();
  for (const auto &vertex : vertices_)
    drawing.height = std::max(drawing.height, vertex->y + vertex->height());
  std::vector<VertexIndex> starts;
  for (auto [v, end] = boost::vertices(graph_); v != end; ++v) {
    const Vertex &vertex = *graph_[*v];
    if (const auto *normal = dynamic_cast<const NormalVertex *>(&vertex)) {
      starts.push_back(*v);
      const VertexBase &unit = normal->unit();
      drawing.units.push_back({vertex.sideCoordinate(west), vertex.y, unit.iconWidth(),
                               unit.iconHeight(), unit.icon(), unit.tag(), unit.id(),
                               unit.type()});
      drawing.labels[unit.tag()] = {vertex.x + vertex.width() / 2.0, vertex.y + vertex.height(),
                                    unit.tag()};
    } else if (const auto *label = dynamic_cast<const EdgeLabelDummy *>(&vertex)) {
      drawing.labels[label->label()] = {vertex.x + vertex.width() / 2.0, vertex.y + fontSize_,
                                        label->label()};
    } else if (is<SourceVertex>(*v) || is<PortDummy>(*v)) {
      starts.push_back(*v);
    }
  }
  const auto styleOf = [&drawing](const Edge &e) {
    const std::pair<std::string, double> style(e.colour, e.strokeWidth);
    const auto found = drawing.styles.right.find(style);
    if (found != drawing.styles.right.end())
      return found->second;
    const int number = static_cast<int>(drawing.styles.size());
    drawing.styles.insert(Styles::value_type(number, style));
    return number;
  };
  // Streams of a north or south side: outgoing ones numbered from the right
  // of the side, incoming ones from the left.
  const auto portX = [](const PortDummy &dummy, int side, bool outgoing) {
    const NormalVertex &owner = dummy.owner();
    const unsigned n = owner.ports[static_cast<std::size_t>(side)];
    const unsigned pos = outgoing ? n - dummy.index() - 1 : dummy.index();
    return owner.edgeShift(side, pos) + owner.sideCoordinate(west);
  };
  for (const VertexIndex s : starts) {
    for (auto [out, end] = boost::out_edges(s, graph_); out != end; ++out) {
      const Edge &first = graph_[*out];
      Path path;
      path.reversed = first.reversed;
      path.label = first.label;
      path.id = first.id;
      path.type = first.type;
      path.style = styleOf(first);
      std::vector<Point> &points = path.points;
      const auto *dummy = dynamic_cast<const PortDummy *>(graph_[s]);
      if (dummy != nullptr) {
        const int side = is<NorthernPortDummy>(s) ? north : south;
        const double px = portX(*dummy, side, true);
        points.push_back({px, dummy->owner().sideCoordinate(side)});
        points.push_back({px, first.y1});
      }
      points.push_back({first.x1, first.y1});
      EdgeDescriptor e = *out;
      for (;;) {
        const Edge &record = graph_[e];
        points.push_back({record.xm, record.y1});
        points.push_back({record.xm, record.y2});
        points.push_back({record.x2, record.y2});
        const VertexIndex t = boost::target(e, graph_);
        if (!is<LongEdgeDummy>(t) && !is<EdgeLabelDummy>(t))
          break;
        const Vertex &through = *graph_[t];
        points.push_back({through.x + through.width(), through.y});
        e = *boost::out_edges(t, graph_).first;
      }
      const VertexIndex t = boost::target(e, graph_);
      if (const auto *end = dynamic_cast<const PortDummy *>(graph_[t])) {
        const int side = is<NorthernPortDummy>(t) ? north : south;
        const double px = portX(*end, side, false);
        points.push_back({px, graph_[e].y2});
        points.push_back({px, end->owner().sideCoordinate(side)});
      }
      for (std::size_t k = 2; k < points.size();) {
        const Point &p0 = points[k - 2];
        const Point &p1 = points[k - 1];
        const Point &p2 = points[k];
        bool redundant = false;
        if (std::abs(p1.x - p0.x) < 0.001)
          redundant = std::abs(p2.x - p1.x) < 0.001;
        else if (std::abs(p1.y - p0.y) < 0.001)
          redundant = std::abs(p2.y - p1.y) < 0.001;
        else
          LAYOUT_ASSERT(false, "non-orthogonal segment !");
        if (redundant)
          points.erase(points.begin() + static_cast<std::ptrdiff_t>(k - 1));
        else
          ++k;
      }
      drawing.paths.push_back(std::move(path));
    }
  }
}
