// The recycles of a flowsheet converged one by one before its first
// simultaneous solution.
//
// A sequential pass steps every cut once, so along a chain of recycles a
// change of the feed reaches one recycle further with each pass and the
// passes leave the far end of a long chain near where it started. The
// Newton solution then crosses the chain in many short steps, each with
// all the chain's units. Passing round each recycle on its own, in schedule
// order, carries the feed through the whole chain in one pass whose work
// grows with the units only. A recycle through a nested flowsheet is left
// to the passes: every round would run the nested flowsheet's own passes.

#include "velta/flowsheet/FlowSheet.h"
#include "velta/flowsheet/TaskGraph.h"
#include "velta/streams/Stream.h"
#include "velta/utility/Error.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <limits>
#include <map>
#include <string>
#include <vector>

using Velta::Utility::CutsSolution;

namespace {

// A recycle is passed round again while each step takes its cut's error
// below this share of the step before.
constexpr double reductionToContinue = 0.9;

// The unit runs allowed to all recycles together, as so many full passes:
// nested recycles pass round the inner ones with every round of the outer.
constexpr std::size_t passesAllowed = 50;

} // namespace

// One cut with its place in the schedule: the unit its "bis" stream feeds
// (from) and the unit computing the torn stream (to); from after to is a
// cut whose downstream unit runs later in the same pass. Only a recycle
// that is passed round alone has rounds.
struct FlowSheet::Recycle {
  const CutPair *cut;
  Position first;
  std::size_t from;
  std::size_t to;
  bool alone;
  bool inside(const Recycle &outer) const { return from >= outer.from && from <= outer.to; }
};

bool FlowSheet::recycleContinues(double error, double previous, double tolerance) {
  return error >= tolerance && error < reductionToContinue * previous;
}

double FlowSheet::stepRecycle(const Recycle &recycle, int level) {
  Position p = recycle.first;
  makeCutAssignments(p, *recycle.cut);
  double error = 0.0;
  for (Position a = recycle.first; a != p; ++a) {
    (*a)->directstep(damping_, maxRelativeStepChange_);
    error += (*a)->delta();
  }
  // The "bis" stream's consumer reads its new state before the next pass
  // of the source would flash it.
  recycle.cut->in->go(1, level + 1);
  return error;
}

int FlowSheet::convergeRecycles(int level) {
  static const char *const name = "FlowSheet::convergeRecycles";
  VELTA_TRACE_BEGIN
  VELTA_LOG(verbosity(), 1, name, "Entered for " << fullTag());
  const bool stepped =
      cutsSolution_ == CutsSolution::direct || cutsSolution_ == CutsSolution::wegstein;
  // A NaN error is not above the tolerance either.
  if (!isRoot() || cuts_.empty() || !taskGraph().scheduled() || taskGraph().taskLists().empty() ||
      !stepped ||
      !(seqErr.value() >= seqTol.value()))
    return 0;
  TaskGraph &tasks = taskGraph();
  const std::vector<Graph::VertexDescriptor> &order = tasks.taskLists().front();
  std::map<std::string, std::size_t> place;
  for (std::size_t t = 0; t < order.size(); ++t)
    place[tasks.graph()[order[t]]->tag()] = t;

  // Each cut's run of Assignments, found by refreshing them once (the state
  // has not changed since the last pass assembled them), and the cuts
  // computed by each task.
  std::vector<Recycle> recycles;
  std::vector<std::vector<std::size_t>> computedBy(order.size());
  Position p = firstAssignment();
  for (const auto &[tag, cut] : cuts_) {
    const Position first = p;
    makeCutAssignments(p, *cut);
    const auto from = place.find(cut->in->toTAG.value());
    const auto to = place.find(cut->out->fromTAG.value());
    if (from == place.end() || to == place.end())
      continue;
    bool alone = from->second <= to->second;
    for (std::size_t q = from->second; alone && q <= to->second; ++q)
      alone = dynamic_cast<FlowSheet *>(tasks.graph()[order[q]]) == nullptr;
    computedBy[to->second].push_back(recycles.size());
    recycles.push_back(Recycle{cut.get(), first, from->second, to->second, alone});
  }
  if (std::none_of(recycles.begin(), recycles.end(), [](const Recycle &r) { return r.alone; }))
    return 0;

  const std::size_t allowed = passesAllowed * order.size();
  std::size_t runs = 0;
  int converged = 0;
  pre(1, level);
  for (std::size_t t = 0; t < order.size(); ++t) {
    tasks.runTask(order[t], 1, level);
    ++runs;
    for (const std::size_t r : computedBy[t]) {
      const Recycle &recycle = recycles[r];
      double previous = std::numeric_limits<double>::infinity();
      int steps = 0;
      for (;;) {
        const double error = stepRecycle(recycle, level);
        ++steps;
        const std::size_t round = recycle.to - recycle.from + 1;
        if (!recycle.alone || !recycleContinues(error, previous, seqTol.value()) ||
            runs + round > allowed) {
          converged += error < seqTol.value();
          VELTA_LOG(verbosity(), 2, name,
                    "Recycle " << recycle.cut->out->tag() << ": " << steps
                               << " steps, error = " << error);
          break;
        }
        previous = error;
        // One round: the recycle's units, stepping the cuts whose
        // downstream units are among them (inner recycles step once).
        for (std::size_t q = recycle.from; q <= recycle.to; ++q) {
          tasks.runTask(order[q], 1, level);
          ++runs;
          for (const std::size_t inner : computedBy[q])
            if (inner != r && recycles[inner].inside(recycle))
              stepRecycle(recycles[inner], level);
        }
      }
    }
  }
  post(1, level);
  VELTA_LOG(verbosity(), 0, name,
            "Recycles converged on their own: " << converged << " of " << recycles.size()
                                                << " in " << runs << " unit runs");
  return static_cast<int>(runs);
  VELTA_TRACE_END(name)
}
