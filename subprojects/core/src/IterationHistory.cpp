#include "velta/core/IterationHistory.h"

#include <utility>

IterationHistory::IterationHistory(std::string name) : name_(std::move(name)) {}

void IterationHistory::addSample(double x) {
  std::vector<double> row;
  row.reserve(1 + watched_.size());
  row.push_back(x);
  for (const Value *value : watched_)
    row.push_back(value->value());
  samples_.push_back(std::move(row));
}

void IterationHistory::watch(const Value *value, std::string label) {
  watched_.push_back(value);
  labels_.push_back(std::move(label));
}

// Built on first use (at the latest by the flowsheet's first pass) and kept
// until exit; no start-up order between source files can reach them early.
IterationHistory &sequentialIterations() {
  static IterationHistory history("Sequential iterations");
  return history;
}

IterationHistory &simultaneousIterations() {
  static IterationHistory history("Simultaneous iterations");
  return history;
}
