#pragma once
// A named recorder of sample rows: each row is an abscissa followed by the
// current SI values of the watched values. The flowsheet's task pass adds
// one sample per executed unit to one of the two process-wide histories.

#include "velta/value/Value.h"

#include <memory>
#include <string>
#include <vector>

class IterationHistory {
public:
  explicit IterationHistory(std::string name);

  // Appends the row [x, value of every watched value in list order].
  void addSample(double x);

  // Watches a value (not owned; it must outlive the history's samples).
  void watch(const Value *value, std::string label);

  const std::string &name() const { return name_; }
  std::size_t sampleCount() const { return samples_.size(); }
  // Row i, holding 1 + (number of watched values) numbers.
  const std::vector<double> &sample(std::size_t i) const { return samples_[i]; }

private:
  std::vector<const Value *> watched_;
  std::vector<std::string> labels_;
  std::vector<std::vector<double>> samples_;
  std::string name_;
};

// The two process-wide histories, "Sequential iterations" and "Simultaneous
// iterations"; they exist from start-up until the process ends.
IterationHistory &sequentialIterations();
IterationHistory &simultaneousIterations();
