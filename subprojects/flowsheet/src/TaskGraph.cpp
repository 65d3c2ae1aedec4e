#include "velta/flowsheet/TaskGraph.h"

#include "velta/core/EdgeBase.h"
#include "velta/core/VertexBase.h"
#include "velta/flowsheet/FlowSheet.h"
#include "velta/utility/Error.h"

#include <boost/graph/depth_first_search.hpp>
#include <boost/graph/topological_sort.hpp>

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

void TaskGraph::doSchedule(int, int, Node *) {
  static const char *const name = "TaskGraph::doSchedule";
  if (!isDag()) {
    std::string list;
    for (const std::string &tag : suggestedCuts())
      list += (list.empty() ? "" : ", ") + tag;
    throw ErrorConnectivity(name, "flowsheet",
                            ("is cyclic: cut the stream(s) " + list).c_str());
  }
  order_.clear();
  boost::topological_sort(graph_, std::back_inserter(order_));
  std::reverse(order_.begin(), order_.end());
  for (std::size_t i = 0; i < order_.size(); ++i)
    graph_[order_[i]]->setLevel(static_cast<int>(i));
  scheduled_ = true;
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
