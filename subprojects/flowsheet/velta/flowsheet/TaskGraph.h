#pragma once
// The flowsheet's graph read as tasks: every unit is a task, every stream a
// precedence from the unit it leaves to the unit it enters.
//
// Once, at the flowsheet's first calculation, doSchedule orders the tasks:
// a cyclic graph is first torn (the strong components, the elementary
// circuits of each, a stream chosen against a vertex ordering, repeated on
// what remains; the chosen streams go to the tear hook cutStream); every
// task gets its level (edges on the longest path to a task without
// out-edges) and list scheduling places the tasks on virtual processors by
// decreasing level. An attempt writes "cpMisf.dot", "start<i>.dot" and
// "tasks<i>.svg" (i from 4); another attempt follows only when parallelize
// hands an arc to the hook and the make span is still long.
//
// Every pass then runs the tasks in their processors' order on the calling
// thread, each unit followed by the flash of the streams it fills; at the
// outermost level each stream is guarded by a precedence lock.

#include "velta/flowsheet/Graph.h"

#include <string>
#include <vector>

class Node;

class TaskGraph : public Graph {
public:
  TaskGraph() = default;

  // --- own virtual operations
  // The tear hook; the task graph itself changes nothing.
  virtual void cutStream(std::string streamTag);
  // Hands the chosen streams to cutStream, the last chosen first.
  virtual void addCuts(const std::vector<EdgeBase *> &cuts);

  // --- scheduling
  // Schedules the tasks once on nProcessors processors. A graph that is
  // still cyclic after tearing is an ErrorConnectivity naming the streams
  // that tearing chose (and any stream from a unit to itself). searchNode
  // holds the units in its subtree; the graph's own vertices stand for them.
  void doSchedule(int level, int nProcessors, Node *searchNode);
  bool scheduled() const { return scheduled_; }
  // Levels of every task, rewrites "cpMisf.dot" and refills the order in
  // which cpMisf takes the tasks (from its end).
  void setLevels();
  // List scheduling on the processors of the current attempt; returns the
  // simulated clock when every task has finished.
  double cpMisf();
  // Suggests (through cutStream) the arc to tear so that the schedule gets
  // shorter; always false at a level above 0 or with one processor.
  bool parallelize(int level);
  // Finish time of the "sink" task.
  double makeSpan() const;
  double totalCost() const;
  int nProcessors() const { return static_cast<int>(current_.size()); }
  const std::vector<std::vector<VertexDescriptor>> &taskLists() const { return taskLists_; }
  const std::vector<VertexDescriptor> &order() const { return order_; }

  // --- schedule files (a file that cannot be opened is skipped)
  // The schedule in DOT, units coloured by processor.
  void printDot(const std::string &fileName) const;
  // The schedule as an SVG Gantt chart, time downwards.
  void printSvg(const std::string &fileName) const;
  using Graph::printDot;

  // --- passes
  void singlePass(int mode, int level);
  // Gives every stream leaving a task of the processor a fresh lock, taken.
  void setLocks_(int processor);
  void coreSinglePass(int processor, int mode, int level);
  // One task of a pass, without locks: the unit (in mode 2 when the pass is
  // in mode 3) and the flashes of the outlets it leaves unsolved.
  void runTask(VertexDescriptor v, int mode, int level);

  // --- tearing (steps of doSchedule on a cyclic graph)
  // Logs the strong components of the task graph.
  void findStrongComponents() const;
  // Appends to chosen the streams whose removal makes G acyclic; G is not
  // changed (each non-trivial component is examined on a copy).
  void makeDag_(const AdjacencyList &G, std::vector<EdgeBase *> &chosen);
  // Sets the weight of every unit and stream of H to the number of
  // elementary circuits of H through it.
  void findCycles_(const AdjacencyList &H);
  bool backTrack_(const AdjacencyList &H, VertexDescriptor s, VertexDescriptor v);
  // The heaviest stream that runs against the vertex ordering of H.
  EdgeDescriptor suggestCut(const AdjacencyList &H) const;

private:
  std::vector<std::vector<VertexDescriptor>> taskLists_;
  std::vector<int> current_;
  std::vector<double> readyTime_;
  std::vector<VertexDescriptor> markedstack_;
  std::vector<VertexDescriptor> pointstack_;
  std::vector<bool> mark_;
  // Vertices by increasing level, ties by decreasing index: taken from the
  // end by cpMisf and walked from the end by parallelize.
  std::vector<VertexDescriptor> order_;
  bool scheduled_ = false;

  bool predecessorIsBusy(VertexDescriptor v) const;
  // One step of the simulated clock: the busy processors whose task ends
  // first become idle.
  void advanceClock(double &clock);
};
