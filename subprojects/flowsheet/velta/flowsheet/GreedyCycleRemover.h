#pragma once
// Breaks the cycles of a weighted directed graph by the greedy heuristic of
// Eades, Lin and Smyth: vertices are taken off as sinks (numbered from the
// back), as sources or, failing both, by the largest difference of outgoing
// and incoming weight (numbered from the front); every edge that then runs
// backward is replaced by the opposite edge of the same weight.
//
// Weights of 0 count for no vertex's sums: such an edge only orders its
// ends when it is reversed at the end.

#include <boost/graph/adjacency_list.hpp>

#include <list>
#include <map>
#include <vector>

class GreedyCycleRemover {
public:
  // The edge property is the weight.
  using WeightedGraph = boost::adjacency_list<boost::listS, boost::vecS, boost::bidirectionalS,
                                              boost::no_property, int, boost::no_property,
                                              boost::listS>;
  using Vertex = boost::graph_traits<WeightedGraph>::vertex_descriptor;

  explicit GreedyCycleRemover(WeightedGraph &graph);
  void run();
  // Position of each vertex in the order found by run.
  const std::vector<long> &order() const { return order_; }

private:
  void take(Vertex v, long number);
  void remove(Vertex v);
  void reclassify(Vertex u);

  WeightedGraph &graph_;
  std::vector<int> out_;
  std::vector<int> in_;
  std::vector<bool> removed_;
  std::vector<long> order_;
  std::list<Vertex> sinks_;
  std::list<Vertex> sources_;
  std::multimap<int, Vertex> others_;
  std::vector<std::multimap<int, Vertex>::iterator> place_;
};
