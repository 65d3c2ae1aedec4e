#pragma once
// The order in which a flowsheet runs its units: the flowsheet's graph
// sorted topologically once (the graph must be acyclic: recycles are torn
// by cuts), then every pass runs each unit followed by the streams leaving
// it, on the calling thread.

#include "velta/flowsheet/Graph.h"

#include <vector>

class Node;

class TaskGraph : public Graph {
public:
  TaskGraph() = default;

  // Orders the units; a cyclic graph is an ErrorConnectivity naming the
  // streams whose removal would make it acyclic.
  void doSchedule(int level, int nProcessors, Node *parent);
  bool scheduled() const { return scheduled_; }
  // Runs every unit and then each stream it feeds, in schedule order.
  void singlePass(int mode, int level);
  const std::vector<VertexDescriptor> &order() const { return order_; }
  // Streams on back edges of a depth-first search: tearing them makes the
  // graph acyclic.
  std::vector<std::string> suggestedCuts() const;

private:
  bool scheduled_ = false;
  std::vector<VertexDescriptor> order_;
};
