#include "velta/flowsheet/TaskGraph.h"

#include "velta/core/EdgeBase.h"
#include "velta/core/VertexBase.h"
#include "velta/flowsheet/FlowSheet.h"
#include "velta/utility/Error.h"

#include <boost/graph/depth_first_search.hpp>

#include <algorithm>
#include <fstream>
#include <sstream>

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
  // Inspection files, whatever the verbosity.
  Graph::printDot("cpMisf.dot", 0);
  printDot("start4.dot");
  printSvg("tasks4.svg");
  scheduled_ = true;
}

double TaskGraph::makeSpan() const {
  const auto sink = vertexMap_.find("sink");
  return sink == vertexMap_.end() ? 0.0 : graph_[sink->second]->finish();
}

void TaskGraph::singlePass(int mode, int level) {
  static const char *const name = "TaskGraph::singlePass";
  VELTA_LOG(verbosity(), 1, name, "Entered");
  // At the outermost level every stream leaving a unit gets a fresh lock,
  // taken until its producer has run (the lock numbers wrap around).
  const bool locks = level == 0;
  if (locks) {
    VELTA_LOG(verbosity(), 2, name, "=== set up locks");
    for (VertexDescriptor v : order_)
      for (auto [e, end] = boost::out_edges(v, graph_); e != end; ++e) {
        graph_[*e]->createLock();
        graph_[*e]->acquire();
      }
    VELTA_LOG(verbosity(), 2, name, "=== start actual computation");
  }
  for (VertexDescriptor v : order_) {
    VertexBase *unit = graph_[v];
    if (locks)
      for (auto [e, end] = boost::in_edges(v, graph_); e != end; ++e)
        graph_[*e]->acquire();
    VELTA_LOG(verbosity(), 0, name,
              std::string(static_cast<std::size_t>(std::max(level + 1, 0)), '=') << " "
                                                                               << unit->fullTag());
    // Evaluating residuals, a unit only writes them (mode 2); a nested
    // flowsheet runs its own pass and its Assignments' residuals, which its
    // enclosing system then reads.
    auto *nested = dynamic_cast<FlowSheet *>(unit);
    const int unitMode = mode == 3 ? 2 : mode;
    if (mode == 3 && nested != nullptr)
      nested->calculateResidualsLocal();
    else
      unit->go(unitMode, level + 1);
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
    if (locks)
      for (auto [e, end] = boost::out_edges(v, graph_); e != end; ++e)
        graph_[*e]->release();
  }
  VELTA_LOG(verbosity(), 1, name, "Done");
}

void TaskGraph::printDot(const std::string &fileName) const {
  static const char *const colors[] = {"lightgray", "lightpink", "khaki",     "orange", "yellow",
                                       "green",     "cyan",      "blue",      "lightblue", "violet"};
  std::ofstream out(fileName, std::ios::out | std::ios::trunc);
  if (!out)
    return;
  out << "digraph Q {" << std::endl;
  out << "  rankdir = TB;" << std::endl;
  for (auto [v, end] = boost::vertices(graph_); v != end; ++v)
    out << "  \"" << graph_[*v]->tag() << "\" [style=filled,color="
        << colors[graph_[*v]->processor() % 10] << "];" << std::endl;
  for (auto [e, end] = boost::edges(graph_); e != end; ++e)
    out << "  \"" << graph_[boost::source(*e, graph_)]->tag() << "\" -> \""
        << graph_[boost::target(*e, graph_)]->tag() << "\";" << std::endl;
  out << "}" << std::endl;
}

void TaskGraph::printSvg(const std::string &fileName) const {
  std::ofstream out(fileName, std::ios::out | std::ios::trunc);
  if (!out)
    return;
  const int m = 1;
  const double S = makeSpan();
  double C = 0.0;
  for (auto [v, end] = boost::vertices(graph_); v != end; ++v)
    C += graph_[*v]->cost();
  const double I = C / m;
  const auto q = [](const auto &value) {
    std::ostringstream text;
    text << '"' << value << '"';
    return text.str();
  };
  out << "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"no\"?>" << std::endl;
  out << "<svg xmlns:svg=\"http://www.w3.org/2000/svg\" xmlns=\"http://www.w3.org/2000/svg\" "
         "version=\"1.0\" width="
      << q(m * 20 + 20) << " height=" << q(S * 15 + 10 + 10) << ">" << std::endl;
  const auto bigRect = [&](double height, double y, const char *style) {
    out << "  <rect" << std::endl;
    out << "     width=" << q(m * 20) << std::endl;
    out << "     height=" << q(height) << std::endl;
    out << "     x=" << q(10) << std::endl;
    out << "     y=" << q(y) << std::endl;
    out << "     style=\"" << style << "\"/>" << std::endl;
  };
  bigRect(S * 15, 10, "opacity:1;fill:#888888;fill-opacity:1.0;fill-rule:nonzero;stroke:#000000;"
                      "stroke-width:1;stroke-linecap:round;stroke-linejoin:miter;"
                      "stroke-miterlimit:0;stroke-dasharray:none;stroke-dashoffset:0;"
                      "stroke-opacity:1");
  bigRect((S - I) * 15, I * 15 + 10,
          "opacity:1;fill:#DDDDDD;fill-opacity:1.0;fill-rule:nonzero;stroke-width:0;");
  for (auto [v, end] = boost::vertices(graph_); v != end; ++v) {
    const VertexBase *task = graph_[*v];
    if (!(task->cost() > 0.0))
      continue;
    const int p = task->processor();
    const double t = task->start();
    out << "  <g id=\"task" << task->id() << "\">" << std::endl;
    out << "    <rect width=" << q(20) << " height=" << q(task->cost() * 15)
        << " x=" << q(p * 20 + 10) << " y=" << q(t * 15 + 10)
        << " style=\"fill:#ffffff;stroke:#000000;stroke-width:1;stroke-linecap:square;"
           "stroke-linejoin:miter;stroke-miterlimit:0\"/>"
        << std::endl;
    out << "    <text x=" << q(p * 20 + 15) << " y=" << q(t * 15 + 22)
        << " style=\"font-size:12px;fill:#000000;font-family:Arial\">" << task->id() << "</text>"
        << std::endl;
    out << "  </g>" << std::endl;
  }
  out << "</svg>" << std::endl;
}
