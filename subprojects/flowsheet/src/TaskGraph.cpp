// Scheduling of a flowsheet's task graph (levels, list scheduling on
// virtual processors, the attempt loop) and the passes over the scheduled
// tasks.

#include "velta/flowsheet/TaskGraph.h"

#include "velta/core/EdgeBase.h"
#include "velta/core/IterationHistory.h"
#include "velta/core/ObjectiveNleAd.h"
#include "velta/core/VertexBase.h"
#include "velta/utility/Assert.h"
#include "velta/utility/Error.h"
#include "velta/utility/Timer.h"

#include <boost/graph/depth_first_search.hpp>

#include <algorithm>
#include <limits>

namespace {

// Abscissas of the process-wide iteration histories: one sample per unit
// run, counted from 0 over the whole process.
int sequentialSamples = 0;
int simultaneousSamples = 0;

// Raises the level of each predecessor of a finished vertex above its own.
struct LevelSetter : boost::default_dfs_visitor {
  template <class V, class G> void finish_vertex(V u, const G &g) const {
    for (auto [e, end] = boost::in_edges(u, g); e != end; ++e) {
      VertexBase *w = g[boost::source(*e, g)];
      w->setLevel(std::max(w->level(), g[u]->level() + 1));
    }
  }
};

} // namespace

void TaskGraph::cutStream(std::string) {}

void TaskGraph::doSchedule(int level, int nProcessors, Node *) {
  static const char *const name = "TaskGraph::doSchedule";
  VELTA_LOG(verbosity(), 1, name, "Entered");
  const bool dag = isDag();
  VELTA_LOG(verbosity(), 2, name, "TaskGraph is DAG ? " << (dag ? "True" : "False"));
  if (!dag) {
    findStrongComponents();
    std::vector<EdgeBase *> chosen;
    makeDag_(graph_, chosen);
    addCuts(chosen);
    if (!isDag()) {
      // The hook left cycles: name what tearing chose, and the streams from
      // a unit to itself, which no choice of tearing removes.
      std::string list;
      const auto add = [&list](const std::string &tag) {
        list += (list.empty() ? "" : ", ") + tag;
      };
      for (const EdgeBase *edge : chosen)
        add(edge->tag());
      for (auto [e, end] = boost::edges(graph_); e != end; ++e)
        if (boost::source(*e, graph_) == boost::target(*e, graph_))
          add(graph_[*e]->tag());
      throw ErrorConnectivity(name, "flowsheet", ("is cyclic: cut the stream(s) " + list).c_str());
    }
  }
  VELTA_LOG(verbosity(), 2, name, "NTHREADS = " << nProcessors);
  VELTA_LOG(verbosity(), 2, name, "NODES = " << nVertices());
  VELTA_LOG(verbosity(), 2, name, "ARCS = " << nEdges());
  VELTA_LOG(verbosity(), 2, name,
            "ARCS/NODES = " << static_cast<double>(nEdges()) / static_cast<double>(nVertices()));
  const auto processors = static_cast<std::size_t>(std::max(nProcessors, 1));
  current_.assign(processors, -1);
  taskLists_.assign(processors, {});
  readyTime_.assign(processors, 0.0);
  setLevels();
  const double cost = totalCost();
  const double ideal = cost / static_cast<double>(processors);
  int attempt = 4;
  bool suggested = false;
  double span = 0.0;
  do {
    for (auto &tasks : taskLists_)
      tasks.clear();
    std::fill(current_.begin(), current_.end(), -1);
    std::fill(readyTime_.begin(), readyTime_.end(), 0.0);
    cpMisf();
    printDot("start" + std::to_string(attempt) + ".dot");
    printSvg("tasks" + std::to_string(attempt) + ".svg");
    ++attempt;
    setLevels();
    suggested = parallelize(level);
    span = makeSpan();
    const double speedup = cost * 100.0 / span;
    VELTA_LOG(verbosity(), 2, name, "Total cost = " << cost);
    VELTA_LOG(verbosity(), 2, name, "Ideal make span = " << ideal);
    VELTA_LOG(verbosity(), 2, name, "Make span = " << span);
    VELTA_LOG(verbosity(), 2, name, "Speedup = " << speedup << " %");
    VELTA_LOG(verbosity(), 2, name, "Ideal speedup = " << processors * 100 << " %");
    VELTA_LOG(verbosity(), 2, name,
              "Speedup/isIdeal speedup = " << speedup / static_cast<double>(processors) << " %");
  } while (suggested && span > 1.1 * ideal && attempt < 50);
  scheduled_ = true;
}

double TaskGraph::totalCost() const {
  double cost = 0.0;
  for (auto [v, end] = boost::vertices(graph_); v != end; ++v)
    cost += graph_[*v]->cost();
  return cost;
}

double TaskGraph::makeSpan() const {
  const auto sink = vertexMap_.find("sink");
  VELTA_ASSERT_AS(sink != vertexMap_.end(), "sink", __FILE__, __LINE__);
  return graph_[sink->second]->finish();
}

void TaskGraph::setLevels() {
  static const char *const name = "TaskGraph::setLevels";
  VELTA_LOG(verbosity(), 1, name, "Entered");
  order_.clear();
  for (auto [v, end] = boost::vertices(graph_); v != end; ++v) {
    order_.push_back(*v);
    graph_[*v]->setLevel(0);
  }
  if (nVertices() > 0) {
    std::vector<boost::default_color_type> colors(nVertices());
    boost::depth_first_search(
        graph_, LevelSetter(),
        boost::make_iterator_property_map(colors.begin(), boost::get(boost::vertex_index, graph_)));
  }
  Graph::printDot("cpMisf.dot", 0);
  // Taken from the end: by decreasing level, ties by increasing index.
  std::sort(order_.begin(), order_.end(), [this](VertexDescriptor a, VertexDescriptor b) {
    const int la = graph_[a]->level(), lb = graph_[b]->level();
    return la != lb ? la < lb : a > b;
  });
  VELTA_LOG(verbosity(), 2, name, "Done");
}

bool TaskGraph::predecessorIsBusy(VertexDescriptor v) const {
  for (auto [e, end] = boost::in_edges(v, graph_); e != end; ++e) {
    const auto w = static_cast<int>(boost::source(*e, graph_));
    if (std::find(current_.begin(), current_.end(), w) != current_.end())
      return true;
  }
  return false;
}

void TaskGraph::advanceClock(double &clock) {
  double smallest = std::numeric_limits<double>::infinity();
  for (const int task : current_)
    if (task >= 0) {
      const VertexBase *unit = graph_[static_cast<VertexDescriptor>(task)];
      smallest = std::min(smallest, unit->cost() - (clock - unit->start()));
    }
  for (int &task : current_)
    if (task >= 0) {
      const VertexBase *unit = graph_[static_cast<VertexDescriptor>(task)];
      if (unit->cost() - (clock - unit->start()) == smallest)
        task = -1;
    }
  clock += smallest;
}

double TaskGraph::cpMisf() {
  static const char *const name = "TaskGraph::cpMisf";
  VELTA_LOG(verbosity(), 1, name, "Entered with m = " << current_.size());
  const auto idle = [this] {
    return std::find(current_.begin(), current_.end(), -1) != current_.end();
  };
  const auto busy = [this] {
    return std::any_of(current_.begin(), current_.end(), [](int task) { return task >= 0; });
  };
  double clock = 0.0;
  for (;;) {
    while (idle() && !order_.empty()) {
      const VertexDescriptor v = order_.back();
      if (predecessorIsBusy(v))
        break;
      double ready = 0.0;
      for (auto [e, end] = boost::in_edges(v, graph_); e != end; ++e)
        ready = std::max(ready, graph_[boost::source(*e, graph_)]->finish());
      int processor = -1;
      double start = 0.0;
      for (std::size_t p = 0; p < current_.size(); ++p) {
        const double candidate = std::max(ready, readyTime_[p]);
        if (current_[p] == -1 && (processor < 0 || candidate < start)) {
          processor = static_cast<int>(p);
          start = candidate;
        }
      }
      VELTA_ASSERT(processor >= 0);
      const auto p = static_cast<std::size_t>(processor);
      VertexBase *task = graph_[v];
      task->setProcessor(processor);
      taskLists_[p].push_back(v);
      readyTime_[p] = task->setStart(start);
      if (task->finish() > clock)
        current_[p] = static_cast<int>(v);
      VELTA_LOG(verbosity(), 2, name,
                "Scheduled task " << v << " to process " << processor << " at time = " << start);
      order_.pop_back();
    }
    if (order_.empty())
      break;
    while (!idle() || predecessorIsBusy(order_.back()))
      advanceClock(clock);
  }
  while (busy())
    advanceClock(clock);
  return clock;
}

bool TaskGraph::parallelize(int level) {
  static const char *const name = "TaskGraph::parallelize";
  VELTA_LOG(verbosity(), 1, name, "Entered");
  if (level > 0 || current_.size() < 2) {
    VELTA_LOG(verbosity(), 2, name, "Done (single core)");
    return false;
  }
  const double bound = totalCost() / static_cast<double>(current_.size()) * 1.01;
  // From the task of highest level towards the front, to the first task
  // that starts at or after the bound.
  std::size_t at = order_.size();
  while (at > 0 && graph_[order_[at - 1]]->start() < bound) {
    --at;
    if (at > 0) {
      const VertexBase *task = graph_[order_[at - 1]];
      VELTA_LOG(verbosity(), 2, name,
                "Examined task " << task->id() << " with level = " << task->level()
                                 << " and starting time " << task->start());
    }
  }
  // No task designated: every task starts before the bound, or the walk
  // never moved (only possible with tasks of cost 0).
  if (at == 0 || at == order_.size()) {
    VELTA_LOG(verbosity(), 2, name, "Done");
    return false;
  }
  const VertexDescriptor e = order_[at - 1];
  const VertexBase *task = graph_[e];
  auto [in, end] = boost::in_edges(e, graph_);
  if (in == end) {
    VELTA_LOG(verbosity(), 2, name, "Done");
    return false;
  }
  EdgeDescriptor arc = *in;
  for (; in != end; ++in) {
    arc = *in;
    if (graph_[boost::source(arc, graph_)]->finish() == task->start())
      break;
  }
  const VertexBase *predecessor = graph_[boost::source(arc, graph_)];
  VELTA_LOG(verbosity(), 2, name,
            "The suggested arc to tear to enhance parallelization is from "
                << predecessor->tag() << " to " << task->tag());
  if (predecessor->tag() == "source" || task->tag() == "sink") {
    VELTA_LOG(verbosity(), 2, name, "Done");
    return false;
  }
  cutStream(graph_[arc]->tag());
  VELTA_LOG(verbosity(), 2, name, "Done");
  return true;
}

// ------------------------------------------------------------------ passes

void TaskGraph::singlePass(int mode, int level) {
  static const char *const name = "TaskGraph::singlePass";
  VELTA_LOG(verbosity(), 1, name, "Entered");
  if (level > 0) {
    if (!taskLists_.empty())
      coreSinglePass(0, mode, level);
  } else {
    VELTA_LOG(verbosity(), 2, name, "=== set up locks");
    for (int p = 0; p < nProcessors(); ++p)
      setLocks_(p);
    VELTA_LOG(verbosity(), 2, name, "=== synch all threads");
    VELTA_LOG(verbosity(), 2, name, "=== start actual computation");
    for (int p = 0; p < nProcessors(); ++p)
      coreSinglePass(p, mode, 0);
  }
  VELTA_LOG(verbosity(), 1, name, "Done");
}

void TaskGraph::setLocks_(int processor) {
  static const char *const name = "TaskGraph::setLocks_";
  VELTA_LOG(verbosity(), 1, name, "Entered for TaskList " << processor);
  // The lock counter wraps around, so a long study never runs out of lock
  // numbers: a lock only matters during the pass that created it.
  for (const VertexDescriptor v : taskLists_[static_cast<std::size_t>(processor)]) {
    VELTA_LOG(verbosity(), 2, name,
              "Processing task " << graph_[v]->id() << " to run on core " << processor);
    for (auto [e, end] = boost::out_edges(v, graph_); e != end; ++e) {
      VELTA_LOG(verbosity(), 2, name, "  edge (" << v << "," << boost::target(*e, graph_) << ")");
      graph_[*e]->createLock();
      graph_[*e]->acquire();
    }
  }
}

void TaskGraph::coreSinglePass(int processor, int mode, int level) {
  static const char *const name = "TaskGraph::coreSinglePass";
  for (const VertexDescriptor v : taskLists_[static_cast<std::size_t>(processor)]) {
    if (level == 0)
      for (auto [e, end] = boost::in_edges(v, graph_); e != end; ++e)
        graph_[*e]->acquire();
    VELTA_LOG(verbosity(), 0, name,
              std::string(static_cast<std::size_t>(std::max(level + 1, 0)), '=')
                  << " " << graph_[v]->fullTag());
    runTask(v, mode, level);
    if (level == 0)
      for (auto [e, end] = boost::out_edges(v, graph_); e != end; ++e)
        graph_[*e]->release();
  }
}

void TaskGraph::runTask(VertexDescriptor v, int mode, int level) {
  VertexBase *unit = graph_[v];
  // Evaluating residuals, a unit only writes them (mode 2); a nested
  // flowsheet runs its own pass and its Assignments' residuals, which its
  // enclosing system then reads.
  const int unitMode = mode == 3 ? 2 : mode;
  if (mode == 3) {
    // Folding the inlets' derivatives keeps each unit's work local.
    for (auto [e, end] = boost::in_edges(v, graph_); e != end; ++e)
      graph_[*e]->foldDerivatives();
    if (auto *nested = dynamic_cast<ObjectiveNleAdFlowsheet *>(unit))
      nested->calculateResidualsLocal();
    else
      unit->go(2, level + 1);
    simultaneousIterations().addSample(simultaneousSamples++);
  } else {
    Timer timer;
    unit->go(mode, level + 1);
    unit->setElapsedTime(timer.elapsed());
    sequentialIterations().addSample(sequentialSamples++);
  }
  // The source flashes its own outlets, and a unit whose equation system
  // is its outlet's flash has solved that outlet already: flashing it
  // again would take the solved state for the specification and leave a
  // residual that no unknown moves. Other outlets are flashed here.
  ObjectiveNleAd *own = unit->objectiveFunction();
  if (unit->tag() != "source")
    for (auto [e, end] = boost::out_edges(v, graph_); e != end; ++e)
      if (own == nullptr || graph_[*e]->objectiveFunction() != own)
        graph_[*e]->go(unitMode, level + 1);
  unit->checkBalance();
}
