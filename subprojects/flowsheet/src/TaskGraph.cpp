#include "velta/flowsheet/TaskGraph.h"

#include "velta/core/EdgeBase.h"
#include "velta/core/VertexBase.h"
#include "velta/flowsheet/FlowSheet.h"
#include "velta/utility/Error.h"

#include <boost/graph/depth_first_search.hpp>

#include <algorithm>

namespace {

struct BackEdgeCollector : boost::default_dfs_visitor {
  std::vector<std::string> *tags;
  explicit BackEdgeCollector(std::vector<std::string> *found) : tags(found) {}
  template <class E, class G> void back_edge(E e, const G &g) { tags->push_back(g[e]->tag()); }
};

} // namespace

std::vector<std::string> TaskGraph::suggestedCuts() const {
  std::vector<std::string> tags;
  if (nVertices() == 0)
    return tags;
  std::vector<boost::default_color_type> colors(nVertices());
  boost::depth_first_search(
      graph_, BackEdgeCollector(&tags),
      boost::make_iterator_property_map(colors.begin(), boost::get(boost::vertex_index, graph_)));
  std::sort(tags.begin(), tags.end());
  return tags;
}

namespace {

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

void TaskGraph::setLevels() {
  for (auto [v, end] = boost::vertices(graph_); v != end; ++v)
    graph_[*v]->setLevel(0);
  std::vector<boost::default_color_type> colors(nVertices());
  boost::depth_first_search(
      graph_, LevelSetter(),
      boost::make_iterator_property_map(colors.begin(), boost::get(boost::vertex_index, graph_)));
}

void TaskGraph::doSchedule(int, int, Node *) {
  static const char *const name = "TaskGraph::doSchedule";
  VELTA_LOG(verbosity(), 1, name, "Entered");
  if (!isDag()) {
    std::string list;
    for (const std::string &tag : suggestedCuts())
      list += (list.empty() ? "" : ", ") + tag;
    throw ErrorConnectivity(name, "flowsheet",
                            ("is cyclic: cut the stream(s) " + list).c_str());
  }
  setLevels();
  // One processor: the tasks by decreasing level, ties by vertex index,
  // each starting when the one before it finishes.
  order_.clear();
  for (auto [v, end] = boost::vertices(graph_); v != end; ++v)
    order_.push_back(*v);
  std::stable_sort(order_.begin(), order_.end(), [this](VertexDescriptor a, VertexDescriptor b) {
    return graph_[a]->level() > graph_[b]->level();
  });
  double clock = 0.0;
  for (VertexDescriptor v : order_) {
    graph_[v]->setProcessor(0);
    clock = graph_[v]->setStart(clock);
  }
  scheduled_ = true;
}

double TaskGraph::makeSpan() const {
  const auto sink = vertexMap_.find("sink");
  return sink == vertexMap_.end() ? 0.0 : graph_[sink->second]->finish();
}

void TaskGraph::singlePass(int mode, int level) {
  static const char *const name = "TaskGraph::singlePass";
  VELTA_TRACE_BEGIN
  for (VertexDescriptor v : order_) {
    // A nested flowsheet evaluating residuals runs its own pass and its
    // Assignments' residuals, which its enclosing system then reads.
    auto *nested = dynamic_cast<FlowSheet *>(graph_[v]);
    if (mode == 3 && nested != nullptr)
      nested->calculateResidualsLocal();
    else
      graph_[v]->go(mode, level + 1);
    // The source flashes its own outlets.
    if (graph_[v]->tag() == "source")
      continue;
    // A unit whose equation system is its outlet's flash has solved that
    // outlet already; flashing it again would take the solved state for
    // the specification and leave a residual that no unknown moves.
    ObjectiveNleAd *own = graph_[v]->objectiveFunction();
    for (auto [e, end] = boost::out_edges(v, graph_); e != end; ++e)
      if (own == nullptr || graph_[*e]->objectiveFunction() != own)
        graph_[*e]->go(mode, level + 1);
  }
  VELTA_TRACE_END(name)
}
