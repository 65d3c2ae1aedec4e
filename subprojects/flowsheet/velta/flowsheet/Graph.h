#pragma once
// The directed graph of one flowsheet: every unit is a vertex, every stream
// an edge from the unit it leaves to the unit it enters, both found by their
// tags. Vertex indices are handed out in order of addition and never reused
// (a new flowsheet's "source" is 0, its "sink" 1). Out-edges are kept in a
// multiset ordered by target, so parallel edges (two streams between the
// same units) are separate edges in their order of addition.
//
// Unit tags passed to addEdge and removeEdge must name vertices: an
// unknown tag is an ErrorConnectivity, so that no edge is silently hung on
// vertex 0.

#include "velta/utility/Diagnostic.h"

#include <boost/graph/adjacency_list.hpp>

#include <cstdint>
#include <map>
#include <string>

class VertexBase;
class EdgeBase;

class Graph : public virtual Diagnostic {
public:
  using AdjacencyList =
      boost::adjacency_list<boost::multisetS, boost::vecS, boost::bidirectionalS, VertexBase *,
                            EdgeBase *>;
  using VertexDescriptor = boost::graph_traits<AdjacencyList>::vertex_descriptor;
  using EdgeDescriptor = boost::graph_traits<AdjacencyList>::edge_descriptor;

  Graph() = default;
  Graph(const Graph &) = delete;
  Graph &operator=(const Graph &) = delete;
  ~Graph() override;

  // ErrorConnectivity "Duplicate vertex tag" for a tag already present.
  VertexDescriptor addVertex(VertexBase *vertex);
  // ErrorConnectivity "Duplicate edge tag" for a stream tag already present,
  // "Unknown vertex tag" for a unit tag that names no vertex.
  EdgeDescriptor addEdge(const std::string &sourceTag, const std::string &targetTag,
                         EdgeBase *edge);
  // Removes every edge from source to target (ErrorBrowsing when there is
  // none).
  void removeEdge(const std::string &sourceTag, const std::string &targetTag);
  // Removes the edge of this stream only (ErrorBrowsing for an unknown tag).
  void removeEdge(const std::string &edgeTag);
  // Replaces the stream's edge by one in the opposite direction, appended to
  // the edge list.
  EdgeDescriptor revertEdge(const std::string &edgeTag);

  // True when no directed cycle exists (a self loop is a cycle).
  bool isDag() const;
  std::size_t nVertices() const { return boost::num_vertices(graph_); }
  std::size_t nEdges() const { return boost::num_edges(graph_); }

  // Writes the graph as "digraph Q", ids less the offset; a file that
  // cannot be opened is silently skipped.
  void printDot(const std::string &fileName, unsigned idOffset) const;

  bool hasVertex(const std::string &tag) const { return vertexMap_.count(tag) > 0; }
  bool hasEdge(const std::string &tag) const { return edgeMap_.count(tag) > 0; }
  // Tags of the source and target units of a stream's edge.
  std::string sourceOf(const std::string &edgeTag) const;
  std::string targetOf(const std::string &edgeTag) const;
  const AdjacencyList &graph() const { return graph_; }

protected:
  std::map<std::string, std::uint64_t> vertexMap_;
  std::map<std::string, EdgeDescriptor> edgeMap_;
  AdjacencyList graph_;

private:
  std::uint64_t vertexIndex(const std::string &tag, const char *caller) const;
  EdgeDescriptor edgeOf(const std::string &edgeTag, const char *caller) const;
};
