#include "velta/flowsheet/GreedyCycleRemover.h"

#include <iterator>

GreedyCycleRemover::GreedyCycleRemover(WeightedGraph &graph)
    : graph_(graph), out_(boost::num_vertices(graph), 0), in_(boost::num_vertices(graph), 0),
      removed_(boost::num_vertices(graph), false), order_(boost::num_vertices(graph), 0),
      place_(boost::num_vertices(graph), others_.end()) {
  for (auto [v, end] = boost::vertices(graph_); v != end; ++v) {
    for (auto [e, last] = boost::out_edges(*v, graph_); e != last; ++e)
      out_[*v] += graph_[*e];
    for (auto [e, last] = boost::in_edges(*v, graph_); e != last; ++e)
      in_[*v] += graph_[*e];
    if (out_[*v] == 0)
      sinks_.push_back(*v);
    else if (in_[*v] != 0)
      place_[*v] = others_.emplace(out_[*v] - in_[*v], *v);
    else
      sources_.push_back(*v);
  }
}

void GreedyCycleRemover::take(Vertex v, long number) {
  order_[v] = number;
  removed_[v] = true;
  remove(v);
}

void GreedyCycleRemover::run() {
  long low = 0;
  long high = static_cast<long>(boost::num_vertices(graph_)) - 1;
  while (!sinks_.empty() || !sources_.empty() || !others_.empty()) {
    while (!sinks_.empty()) {
      const Vertex v = sinks_.front();
      sinks_.pop_front();
      take(v, high--);
    }
    while (!sources_.empty()) {
      const Vertex v = sources_.front();
      sources_.pop_front();
      take(v, low++);
    }
    if (!others_.empty()) {
      const auto last = std::prev(others_.end());
      const Vertex v = last->second;
      others_.erase(last);
      place_[v] = others_.end();
      take(v, low++);
    }
  }
  std::vector<boost::graph_traits<WeightedGraph>::edge_descriptor> backward;
  for (auto [e, end] = boost::edges(graph_); e != end; ++e)
    if (order_[boost::target(*e, graph_)] < order_[boost::source(*e, graph_)])
      backward.push_back(*e);
  for (const auto e : backward) {
    const Vertex from = boost::source(e, graph_);
    const Vertex to = boost::target(e, graph_);
    const int weight = graph_[e];
    boost::remove_edge(e, graph_);
    boost::add_edge(to, from, weight, graph_);
  }
}

void GreedyCycleRemover::remove(Vertex v) {
  for (auto [e, end] = boost::in_edges(v, graph_); e != end; ++e) {
    const Vertex u = boost::source(*e, graph_);
    if (graph_[*e] > 0 && !removed_[u] && out_[u] > 0 && in_[u] > 0) {
      out_[u] -= graph_[*e];
      reclassify(u);
    }
  }
  for (auto [e, end] = boost::out_edges(v, graph_); e != end; ++e) {
    const Vertex u = boost::target(*e, graph_);
    if (graph_[*e] > 0 && !removed_[u] && out_[u] >= 1 && in_[u] > 0) {
      in_[u] -= graph_[*e];
      reclassify(u);
    }
  }
}

void GreedyCycleRemover::reclassify(Vertex u) {
  if (place_[u] != others_.end()) {
    others_.erase(place_[u]);
    place_[u] = others_.end();
  }
  if (out_[u] == 0)
    sinks_.push_back(u);
  else if (in_[u] == 0)
    sources_.push_back(u);
  else
    place_[u] = others_.emplace(out_[u] - in_[u], u);
}
