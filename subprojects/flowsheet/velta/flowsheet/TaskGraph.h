#pragma once
// The order in which a flowsheet runs its units: once, every unit gets its
// level (the number of edges on the longest path from it to a unit without
// out-edges) and the units are listed by decreasing level, ties by vertex
// index, on one processor (the graph must be acyclic: recycles are torn by
// cuts); then every pass runs each unit followed by the streams leaving
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
  // Levels of every unit (0 for units without out-edges).
  void setLevels();
  // Finish time of "sink" in the schedule.
  double makeSpan() const;
  // The schedule as DOT, units coloured by processor, and as an SVG Gantt
  // chart; a file that cannot be opened is skipped.
  void printDot(const std::string &fileName) const;
  void printSvg(const std::string &fileName) const;
  using Graph::printDot;
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
