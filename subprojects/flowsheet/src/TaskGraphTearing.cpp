// Tearing of a cyclic task graph: the streams to tear are chosen one at a
// time on a copy of each strongly connected component. The elementary
// circuits of the copy are counted (Tarjan's backtracking enumeration of
// 1973) into the weights of its units and streams; the vertices are
// ordered by the mean weight of their in-streams less that of their
// out-streams, and of the streams that run against that ordering the one
// on the most circuits is torn. The rest of the copy is examined again
// until no component has more than one vertex.

#include "velta/flowsheet/TaskGraph.h"

#include "velta/core/EdgeBase.h"
#include "velta/core/VertexBase.h"
#include "velta/utility/Assert.h"

#include <boost/graph/strong_components.hpp>

#include <iostream>
#include <locale>
#include <sstream>

namespace {

std::vector<int> strongComponents(const Graph::AdjacencyList &g, int &count) {
  std::vector<int> component(boost::num_vertices(g), 0);
  count =
      boost::num_vertices(g) == 0
          ? 0
          : boost::strong_components(g, boost::make_iterator_property_map(
                                            component.begin(), boost::get(boost::vertex_index, g)));
  return component;
}

// The members of one component for its log line: "[", the label of each
// item of the range that belongs, each followed by a blank, "] " and their
// number.
struct Members {
  std::string text;
  int count = 0;
};

template <class Range, class Belongs, class Label>
Members membersOf(Range range, Belongs belongs, Label label) {
  Members members;
  std::ostringstream text;
  text.imbue(std::locale::classic());
  for (auto item = range.first; item != range.second; ++item)
    if (belongs(*item)) {
      text << label(*item) << ' ';
      ++members.count;
    }
  members.text = "[" + text.str() + "] " + std::to_string(members.count);
  return members;
}

} // namespace

void TaskGraph::findStrongComponents() const {
  static const char *const name = "TaskGraph::findStrongComponents";
  VELTA_LOG(verbosity(), 1, name, "Entered");
  int n = 0;
  const std::vector<int> component = strongComponents(graph_, n);
  VELTA_LOG(verbosity(), 2, name, "Total number of strong components: " << n);
  VELTA_LOG(verbosity(), 2, name, "Vertex partitioning in strong components");
  const auto id = [this](auto item) { return graph_[item]->id(); };
  for (int c = 0; c < n; ++c) {
    const auto in = [&, c](auto v) { return component[v] == c; };
    VELTA_LOG(verbosity(), 2, name,
              "Component " << c << " = " << membersOf(boost::vertices(graph_), in, id).text);
  }
  VELTA_LOG(verbosity(), 2, name, "Edges partitioning in strong components");
  for (int c = 0; c < n; ++c) {
    const auto in = [&, c](auto e) {
      return component[boost::source(e, graph_)] == c && component[boost::target(e, graph_)] == c;
    };
    VELTA_LOG(verbosity(), 2, name,
              "Component " << c << " = " << membersOf(boost::edges(graph_), in, id).text);
  }
  VELTA_LOG(verbosity(), 2, name, "Done");
}

void TaskGraph::makeDag_(const AdjacencyList &G, std::vector<EdgeBase *> &chosen) {
  static const char *const name = "TaskGraph::makeDag_";
  VELTA_LOG(verbosity(), 1, name, "Entered");
  int n = 0;
  const std::vector<int> component = strongComponents(G, n);
  VELTA_LOG(verbosity(), 2, name, "Total number of strong components: " << n);
  if (static_cast<std::size_t>(n) == boost::num_vertices(G))
    return;
  VELTA_LOG(verbosity(), 2, name, "Vertex partitioning in strong components");
  for (int c = 0; c < n; ++c) {
    const Members members = membersOf(
        boost::vertices(G), [&, c](auto v) { return component[v] == c; }, [](auto v) { return v; });
    VELTA_LOG(verbosity(), 2, name, "Component " << c << " = " << members.text);
    if (members.count < 2)
      continue;
    VELTA_LOG(verbosity(), 2, name, "Component is non trivial.");
    // The component alone, on a copy whose properties are the same units
    // and streams; removing a vertex renumbers those above it, so the
    // component keeps its vertices in their order in G.
    AdjacencyList H(boost::num_vertices(G));
    for (auto [v, end] = boost::vertices(G); v != end; ++v)
      H[*v] = G[*v];
    for (auto [e, end] = boost::edges(G); e != end; ++e)
      boost::add_edge(boost::source(*e, G), boost::target(*e, G), G[*e], H);
    for (auto v = boost::num_vertices(G); v-- > 0;)
      if (component[v] != c) {
        VELTA_LOG(verbosity(), 2, name, "Removing vertex: " << v);
        boost::clear_vertex(v, H);
        boost::remove_vertex(v, H);
      }
    std::cout << std::endl;
    VELTA_LOG(
        verbosity(), 2, name, "Vertex list:" << [&H] {
          std::ostringstream text;
          for (auto [j, end] = boost::vertices(H); j != end; ++j) {
            text << *j << "  in: ";
            for (auto [e, last] = boost::in_edges(*j, H); e != last; ++e)
              text << "(" << boost::source(*e, H) << "," << *j << ") ";
            text << "  out: ";
            for (auto [e, last] = boost::out_edges(*j, H); e != last; ++e)
              text << "(" << *j << "," << boost::target(*e, H) << ") ";
            text << '\n';
          }
          return text.str();
        }());
    VELTA_LOG(
        verbosity(), 2, name, "Edge list:" << [&H] {
          std::ostringstream text;
          for (auto [e, end] = boost::edges(H); e != end; ++e)
            text << " (" << boost::source(*e, H) << "," << boost::target(*e, H) << ")";
          return text.str();
        }());
    findCycles_(H);
    const EdgeDescriptor cut = suggestCut(H);
    EdgeBase *stream = H[cut];
    VELTA_LOG(verbosity(), 2, name, "Select edge " << stream->id());
    chosen.push_back(stream);
    VELTA_LOG(verbosity(), 2, name, "Remove edge " << stream->id());
    boost::remove_edge(cut, H);
    VELTA_LOG(verbosity(), 2, name, "Recurse");
    makeDag_(H, chosen);
  }
  VELTA_LOG(verbosity(), 2, name, "Done");
}

void TaskGraph::findCycles_(const AdjacencyList &H) {
  static const char *const name = "TaskGraph::findCycles_";
  VELTA_LOG(verbosity(), 1, name, "Entered");
  mark_.assign(boost::num_vertices(H), false);
  markedstack_.clear();
  pointstack_.clear();
  for (auto [v, end] = boost::vertices(H); v != end; ++v)
    H[*v]->weight = 0;
  for (auto [e, end] = boost::edges(H); e != end; ++e)
    H[*e]->weight = 0;
  for (auto [s, end] = boost::vertices(H); s != end; ++s) {
    VELTA_LOG(verbosity(), 1, name,
              "Now looking at cycles starting from vertex " << *s << " = " << H[*s]->id());
    backTrack_(H, *s, *s);
    for (const VertexDescriptor v : markedstack_)
      mark_[v] = false;
    markedstack_.clear();
  }
  VELTA_LOG(verbosity(), -1, name, "Vertex weights:");
  for (auto [v, end] = boost::vertices(H); v != end; ++v)
    VELTA_LOG(verbosity(), -1, name, "weight[" << H[*v]->id() << "] = " << H[*v]->weight);
}

bool TaskGraph::backTrack_(const AdjacencyList &H, VertexDescriptor s, VertexDescriptor v) {
  static const char *const name = "TaskGraph::backTrack_";
  VELTA_LOG(verbosity(), 1, name,
            "Entered with start = " << s << " = " << H[s]->id() << " and current vertex = " << v
                                    << " = " << H[v]->id());
  bool found = false;
  pointstack_.push_back(v);
  mark_[v] = true;
  markedstack_.push_back(v);
  for (auto [e, end] = boost::out_edges(v, H); e != end; ++e) {
    const VertexDescriptor w = boost::target(*e, H);
    if (w < s)
      continue;
    if (w == s) {
      // The point stack closes a circuit: count it on its units and, for
      // each step, on the first stream that makes it.
      for (std::size_t i = 0; i < pointstack_.size(); ++i) {
        H[pointstack_[i]]->weight += 1;
        const VertexDescriptor next = i + 1 < pointstack_.size() ? pointstack_[i + 1] : s;
        const auto step = boost::edge_range(pointstack_[i], next, H);
        VELTA_ASSERT_AS(step.first != step.second, "found", __FILE__, __LINE__);
        H[*step.first]->weight += 1;
      }
      found = true;
    } else if (!mark_[w]) {
      found = backTrack_(H, s, w) || found;
    }
  }
  if (found) {
    while (markedstack_.back() != v) {
      mark_[markedstack_.back()] = false;
      markedstack_.pop_back();
    }
    VELTA_ASSERT_AS(markedstack_.back() == v, "markedstack_.back() == v", __FILE__, __LINE__);
    mark_[v] = false;
    markedstack_.pop_back();
  }
  VELTA_ASSERT_AS(pointstack_.back() == v, "pointstack_.back() == v", __FILE__, __LINE__);
  pointstack_.pop_back();
  return found;
}

Graph::EdgeDescriptor TaskGraph::suggestCut(const AdjacencyList &H) const {
  static const char *const name = "TaskGraph::suggestCut";
  VELTA_LOG(verbosity(), 1, name, "Entered");
  VELTA_LOG(verbosity(), 2, name,
            "Graph has " << boost::num_vertices(H) << " vertexes and " << boost::num_edges(H)
                         << " edges");
  // Sources first, sinks last, else by mean circuit count in less out.
  std::vector<float> ordering(boost::num_vertices(H), 0.0F);
  for (auto [i, end] = boost::vertices(H); i != end; ++i) {
    const auto in = boost::in_degree(*i, H), out = boost::out_degree(*i, H);
    if (in == 0) {
      ordering[*i] = 100.0F;
    } else if (out == 0) {
      ordering[*i] = -100.0F;
    } else {
      float sumIn = 0.0F, sumOut = 0.0F;
      for (auto [e, last] = boost::in_edges(*i, H); e != last; ++e)
        sumIn += static_cast<float>(H[*e]->weight);
      for (auto [e, last] = boost::out_edges(*i, H); e != last; ++e)
        sumOut += static_cast<float>(H[*e]->weight);
      ordering[*i] = sumIn / static_cast<float>(in) - sumOut / static_cast<float>(out);
    }
    VELTA_LOG(verbosity(), 2, name, "vertexordering[" << H[*i]->id() << "] = " << ordering[*i]);
  }
  bool any = false;
  EdgeDescriptor best{};
  for (auto [e, end] = boost::edges(H); e != end; ++e) {
    const VertexDescriptor u = boost::source(*e, H), v = boost::target(*e, H);
    const bool backwards = ordering[u] < ordering[v] || (ordering[u] == ordering[v] && v < u);
    if (u != v && backwards && (!any || H[*e]->weight >= H[best]->weight)) {
      best = *e;
      any = true;
    }
  }
  // Every linear arrangement of a strongly connected graph leaves an edge
  // running backwards.
  VELTA_ASSERT_AS(any, "candidate", __FILE__, __LINE__);
  return best;
}

void TaskGraph::addCuts(const std::vector<EdgeBase *> &cuts) {
  static const char *const name = "TaskGraph::addCuts";
  VELTA_LOG(verbosity(), 1, name, "Entered, now cutting " << cuts.size() << " streams");
  for (auto stream = cuts.rbegin(); stream != cuts.rend(); ++stream) {
    VELTA_LOG(verbosity(), 2, name,
              "Cutting stream: " << (*stream)->tag() << " with weight = " << (*stream)->weight);
    cutStream((*stream)->tag());
  }
}
