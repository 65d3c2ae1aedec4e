#include "velta/flowsheet/Graph.h"

#include "velta/core/EdgeBase.h"
#include "velta/core/VertexBase.h"
#include "velta/utility/Error.h"

#include <boost/graph/depth_first_search.hpp>

#include <cstdint>
#include <fstream>
#include <vector>

Graph::~Graph() = default;

std::uint64_t Graph::vertexIndex(const std::string &tag, const char *caller) const {
  const auto found = vertexMap_.find(tag);
  if (found == vertexMap_.end())
    throw ErrorConnectivity(caller, tag.c_str(), "Unknown vertex tag");
  return found->second;
}

Graph::EdgeDescriptor Graph::edgeOf(const std::string &edgeTag, const char *caller) const {
  const auto found = edgeMap_.find(edgeTag);
  if (found == edgeMap_.end())
    throw ErrorBrowsing(caller, "", "Graph", edgeTag.c_str());
  return found->second;
}

Graph::VertexDescriptor Graph::addVertex(VertexBase *vertex) {
  static const char *const name = "Graph::addVertex";
  VELTA_LOG(verbosity(), 1, name, "Entered for " << vertex->tag());
  if (vertexMap_.count(vertex->tag()) > 0)
    throw ErrorConnectivity(name, vertex->tag().c_str(), "Duplicate vertex tag");
  const VertexDescriptor v = boost::add_vertex(vertex, graph_);
  vertexMap_[vertex->tag()] = v;
  return v;
}

Graph::EdgeDescriptor Graph::addEdge(const std::string &sourceTag, const std::string &targetTag,
                                     EdgeBase *edge) {
  static const char *const name = "Graph::addEdge";
  VELTA_LOG(verbosity(), 1, name,
            "Entered for " << edge->tag() << ": " << sourceTag << " -> " << targetTag);
  if (edgeMap_.count(edge->tag()) > 0)
    throw ErrorConnectivity(name, edge->tag().c_str(), "Duplicate edge tag");
  const auto target = vertexIndex(targetTag, name);
  const auto source = vertexIndex(sourceTag, name);
  const EdgeDescriptor e = boost::add_edge(source, target, edge, graph_).first;
  edgeMap_[edge->tag()] = e;
  return e;
}

void Graph::removeEdge(const std::string &sourceTag, const std::string &targetTag) {
  static const char *const name = "Graph::removeEdge";
  VELTA_LOG(verbosity(), 1, name, "Entered for " << sourceTag << " -> " << targetTag);
  const auto source = vertexIndex(sourceTag, name);
  const auto target = vertexIndex(targetTag, name);
  const auto range = boost::edge_range(source, target, graph_);
  if (range.first == range.second)
    throw ErrorBrowsing(name, "", "Graph", (sourceTag + "->" + targetTag).c_str());
  const std::size_t nodes = nVertices();
  const std::size_t arcs = nEdges();
  for (auto e = range.first; e != range.second; ++e) {
    const std::string &tag = graph_[*e]->tag();
    VELTA_LOG(verbosity(), 2, name,
              "About to remove edge " << tag << ": nodes = " << nodes << ", arcs = " << arcs);
    edgeMap_.erase(tag);
  }
  boost::remove_edge(source, target, graph_);
  VELTA_LOG(verbosity(), 2, name, "Done: nodes = " << nVertices() << ", arcs = " << nEdges());
}

void Graph::removeEdge(const std::string &edgeTag) {
  static const char *const name = "Graph::removeEdge";
  VELTA_LOG(verbosity(), 1, name, "Entered for " << edgeTag);
  const EdgeDescriptor e = edgeOf(edgeTag, name);
  VELTA_LOG(verbosity(), 2, name,
            "About to remove edge " << edgeTag << ": nodes = " << nVertices()
                                    << ", arcs = " << nEdges());
  boost::remove_edge(e, graph_);
  edgeMap_.erase(edgeTag);
  VELTA_LOG(verbosity(), 2, name, "Done: nodes = " << nVertices() << ", arcs = " << nEdges());
}

Graph::EdgeDescriptor Graph::revertEdge(const std::string &edgeTag) {
  static const char *const name = "Graph::revertEdge";
  const EdgeDescriptor e = edgeOf(edgeTag, name);
  EdgeBase *edge = graph_[e];
  const auto oldSource = boost::source(e, graph_);
  const auto oldTarget = boost::target(e, graph_);
  boost::remove_edge(e, graph_);
  edgeMap_.erase(edgeTag);
  const EdgeDescriptor reverted = boost::add_edge(oldTarget, oldSource, edge, graph_).first;
  edgeMap_[edgeTag] = reverted;
  return reverted;
}

std::string Graph::sourceOf(const std::string &edgeTag) const {
  return graph_[boost::source(edgeOf(edgeTag, "Graph::sourceOf"), graph_)]->tag();
}

std::string Graph::targetOf(const std::string &edgeTag) const {
  return graph_[boost::target(edgeOf(edgeTag, "Graph::targetOf"), graph_)]->tag();
}

namespace {

struct BackEdgeFinder : boost::default_dfs_visitor {
  bool *cyclic;
  explicit BackEdgeFinder(bool *flag) : cyclic(flag) {}
  template <class E, class G> void back_edge(E, const G &) { *cyclic = true; }
};

} // namespace

bool Graph::isDag() const {
  if (nVertices() == 0)
    return true;
  bool cyclic = false;
  std::vector<boost::default_color_type> colors(nVertices());
  boost::depth_first_search(
      graph_, BackEdgeFinder(&cyclic),
      boost::make_iterator_property_map(colors.begin(), boost::get(boost::vertex_index, graph_)));
  return !cyclic;
}

void Graph::printDot(const std::string &fileName, unsigned idOffset) const {
  std::ofstream out(fileName, std::ios::out | std::ios::trunc);
  if (!out)
    return;
  const auto idText = [idOffset](int id) {
    return std::to_string(static_cast<std::uint32_t>(static_cast<std::uint32_t>(id) - idOffset));
  };
  out << "digraph Q {" << std::endl;
  out << "  rankdir = LR;" << std::endl;
  for (auto [v, end] = boost::vertices(graph_); v != end; ++v) {
    const VertexBase *vertex = graph_[*v];
    out << "  \"" << vertex->tag() << "\" [URL=\"" << idText(vertex->id()) << "\"];" << std::endl;
  }
  for (auto [e, end] = boost::edges(graph_); e != end; ++e) {
    const EdgeBase *edge = graph_[*e];
    out << "  \"" << graph_[boost::source(*e, graph_)]->tag() << "\" -> \""
        << graph_[boost::target(*e, graph_)]->tag() << "\"[label=\"" << edge->tag()
        << "\", URL=\"" << idText(edge->id()) << "\"];" << std::endl;
  }
  out << "}" << std::endl;
}
