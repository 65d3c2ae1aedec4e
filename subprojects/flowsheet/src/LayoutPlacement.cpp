// Vertical placement of the layout's vertices: four placements, each an
// alignment of vertices into blocks along median edges and a compaction of
// the blocks (Brandes and Koepf, with ports: the two ports an alignment
// edge joins get the same height), then the narrowest placement or the
// balanced average of the four.

#include "velta/flowsheet/Layout.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

namespace {

constexpr double infinity = std::numeric_limits<double>::infinity();

bool undefined(double y) { return std::isnan(y); }

} // namespace

void Layout::assignCoordinates() {
  for (const int d : {0, 1})
    for (const int s : {0, 1})
      placeOnce(d, s);
  std::array<double, 4> extent{};
  for (std::size_t k = 0; k < 4; ++k)
    for (const auto &vertex : vertices_)
      extent[k] = std::max(extent[k], vertex->candidate[k]);
  std::size_t narrowest = 0;
  for (std::size_t k = 1; k < 4; ++k)
    if (extent[k] < extent[narrowest])
      narrowest = k;
  if (!balance_) {
    for (auto &vertex : vertices_)
      vertex->y = vertex->candidate[narrowest];
    return;
  }
  double smallest = infinity;
  for (auto &vertex : vertices_) {
    vertex->candidate[2] += extent[narrowest] - extent[2];
    vertex->candidate[3] += extent[narrowest] - extent[3];
    std::array<double, 4> sorted = vertex->candidate;
    std::sort(sorted.begin(), sorted.end());
    vertex->y = (sorted[1] + sorted[2]) / 2.0;
    smallest = std::min(smallest, vertex->y);
  }
  for (auto &vertex : vertices_)
    vertex->y -= smallest;
}

bool Layout::neighbour(VertexIndex v, int d, VertexIndex &n) const {
  const Vertex &vertex = *graph_[v];
  const std::vector<VertexIndex> &layer = layers_[vertex.layer];
  if (d == 0) {
    if (vertex.position == 0)
      return false;
    n = layer[vertex.position - 1];
    return true;
  }
  if (vertex.position + 1 >= layer.size())
    return false;
  n = layer[vertex.position + 1];
  return true;
}

void Layout::placeOnce(int d, int s) {
  for (auto [e, end] = boost::edges(graph_); e != end; ++e)
    graph_[*e].visited = false;
  markConflicts();
  for (auto [v, end] = boost::vertices(graph_); v != end; ++v) {
    at(*v).root = *v;
    at(*v).align = *v;
    at(*v).aligned = false;
  }
  alignVertically(d, s);
  // Offsets within each block, so that the ports an alignment edge joins
  // lie at one height.
  for (auto [v, end] = boost::vertices(graph_); v != end; ++v) {
    if (at(*v).root != *v)
      continue;
    at(*v).innerShift = 0.0;
    VertexIndex w = *v;
    while (at(w).align != *v) {
      const VertexIndex n = at(w).align;
      const Edge &e = graph_[at(w).alignment];
      if (s == 0)
        at(n).innerShift = at(w).innerShift + at(w).edgeShift(e.sourceLocation, e.sourcePort) -
                           at(n).edgeShift(e.targetLocation, e.targetPort);
      else
        at(n).innerShift = at(w).innerShift + at(w).edgeShift(e.targetLocation, e.targetPort) -
                           at(n).edgeShift(e.sourceLocation, e.sourcePort);
      w = n;
    }
  }
  for (auto [v, end] = boost::vertices(graph_); v != end; ++v) {
    at(*v).sink = *v;
    at(*v).shift = d == 0 ? infinity : -infinity;
    at(*v).y = std::numeric_limits<double>::quiet_NaN();
  }
  for (auto [v, end] = boost::vertices(graph_); v != end; ++v)
    findSink(*v, d);
  for (auto [v, end] = boost::vertices(graph_); v != end; ++v)
    if (at(*v).root == *v)
      placeBlock(*v, d);
  for (auto [v, end] = boost::vertices(graph_); v != end; ++v)
    shiftClasses(*v, d);
  for (auto [v, end] = boost::vertices(graph_); v != end; ++v) {
    const double shift = at(at(*v).sink).shift;
    if (at(*v).root == *v && std::isfinite(shift))
      at(*v).y += shift;
  }
  // A root's inner shift is 0: its own y stays.
  double smallest = 0.0;
  for (auto [v, end] = boost::vertices(graph_); v != end; ++v) {
    at(*v).y = at(at(*v).root).y + at(*v).innerShift;
    smallest = std::min(smallest, at(*v).y);
  }
  const std::size_t k = static_cast<std::size_t>(2 * d + s);
  for (auto [v, end] = boost::vertices(graph_); v != end; ++v) {
    if (d == 1)
      at(*v).y -= smallest;
    at(*v).candidate[k] = at(*v).y;
  }
}

void Layout::markConflicts() {
  const auto isDummy = [this](VertexIndex v) {
    return is<LongEdgeDummy>(v) || is<EdgeLabelDummy>(v);
  };
  const auto isInner = [&](VertexIndex t) {
    if (!isDummy(t))
      return false;
    for (auto [e, end] = boost::in_edges(t, graph_); e != end; ++e)
      if (isDummy(boost::source(*e, graph_)))
        return true;
    return false;
  };
  for (std::size_t j = 2; j < layers_.size(); ++j) {
    const std::vector<VertexIndex> &layer = layers_[j];
    std::size_t k0 = 0;
    std::size_t k = 0;
    for (std::size_t l = 0; l < layer.size(); ++l) {
      const VertexIndex t = layer[l];
      const bool inner = isInner(t);
      if (!inner && l + 1 != layer.size())
        continue;
      // Unsigned like every position: an empty previous layer wraps.
      const std::size_t k1 =
          inner ? at(boost::source(*boost::in_edges(t, graph_).first, graph_)).position
                : layers_[j - 1].size() - 1;
      for (std::size_t pos = k; pos <= l; ++pos)
        for (auto [e, end] = boost::in_edges(layer[pos], graph_); e != end; ++e) {
          const Vertex &u = at(boost::source(*e, graph_));
          if ((u.position + 1 < k0 || u.position > k1) && u.layer != j)
            graph_[*e].visited = true;
        }
      k = l + 1;
      k0 = k1;
    }
  }
}

void Layout::alignVertically(int d, int s) {
  if (layers_.size() < 3)
    return;
  const std::size_t last = layers_.size() - 1;
  std::vector<std::size_t> visited;
  if (s == 0)
    for (std::size_t j = 2; j + 1 <= last; ++j)
      visited.push_back(j);
  else
    for (std::size_t j = last - 1; j-- > 1;)
      visited.push_back(j);
  for (const std::size_t j : visited) {
    const std::vector<VertexIndex> &layer = layers_[j];
    const std::size_t other = s == 0 ? j - 1 : j + 1;
    long long r = d == 0 ? -1 : static_cast<long long>(layers_[other].size());
    for (std::size_t i = 0; i < layer.size(); ++i) {
      const VertexIndex t = layer[d == 0 ? i : layer.size() - 1 - i];
      std::vector<std::pair<VertexIndex, EdgeDescriptor>> neighbours;
      const auto take = [&](EdgeDescriptor e, VertexIndex u) {
        if (graph_[e].sourceLocation == east && graph_[e].targetLocation == west)
          neighbours.emplace_back(u, e);
      };
      if (s == 0)
        for (auto [e, end] = boost::in_edges(t, graph_); e != end; ++e)
          take(*e, boost::source(*e, graph_));
      else
        for (auto [e, end] = boost::out_edges(t, graph_); e != end; ++e)
          take(*e, boost::target(*e, graph_));
      if (neighbours.empty())
        continue;
      const std::size_t m = neighbours.size();
      std::vector<std::size_t> medians{(m - 1) / 2};
      if (m / 2 != (m - 1) / 2)
        medians.push_back(m / 2);
      if (d == 1)
        std::reverse(medians.begin(), medians.end());
      for (const std::size_t index : medians) {
        const auto [u, e] = neighbours[index];
        const auto position = static_cast<long long>(at(u).position);
        if (at(t).align == t && !graph_[e].visited && (d == 0 ? r < position : position < r)) {
          at(u).align = t;
          at(u).alignment = e;
          at(u).aligned = true;
          at(t).root = at(u).root;
          at(t).align = at(t).root;
          r = position;
        }
      }
    }
  }
}

void Layout::findSink(VertexIndex t, int d) {
  VertexIndex n = 0;
  if (!neighbour(t, d, n))
    return;
  const VertexIndex a = at(n).root;
  findSink(a, d);
  at(t).sink = at(a).sink;
}

void Layout::placeBlock(VertexIndex r, int d) {
  if (!undefined(at(r).y))
    return;
  at(r).y = 0.0;
  VertexIndex w = r;
  do {
    VertexIndex n = 0;
    Vertex &vertex = at(w);
    if (neighbour(w, d, n)) {
      const VertexIndex q = at(n).root;
      placeBlock(q, d);
      if (d == 0)
        at(r).y = std::max(at(r).y, at(q).y + at(n).innerShift + at(n).height() -
                                        vertex.innerShift + vmvs_);
      else
        at(r).y = std::min(at(r).y, at(q).y + at(n).innerShift - vertex.height() -
                                        vertex.innerShift - vmvs_);
    } else if (d == 0) {
      at(r).y = std::max(at(r).y, -vertex.innerShift);
    } else {
      at(r).y = std::min(at(r).y, -vertex.innerShift - vertex.height());
    }
    w = vertex.align;
  } while (w != r);
}

void Layout::shiftClasses(VertexIndex t, int d) {
  if (undefined(at(t).y))
    return;
  VertexIndex w = t;
  do {
    VertexIndex n = 0;
    if (neighbour(w, d, n)) {
      const VertexIndex q = at(n).root;
      const VertexIndex classOfQ = at(q).sink;
      if (classOfQ != at(t).sink) {
        double &shift = at(classOfQ).shift;
        if (d == 0)
          shift = std::min(shift, at(w).innerShift + at(t).y - at(q).y - at(n).innerShift -
                                      at(n).height() - vmvs_);
        else
          shift = std::max(shift, at(t).y + at(w).innerShift + at(w).height() + vmvs_ -
                                      at(q).y - at(n).innerShift);
      }
    }
    w = at(w).align;
  } while (w != t);
}
