#pragma once
// The schedule record inside every flowsheet vertex: the flowsheet's task
// graph gives it a level and a processor when it levels the units, and a
// start (and with it a finish) time when it schedules them.

class Task {
public:
  Task() = default;

  double cost() const { return cost_; }
  int level() const { return level_; }
  void setLevel(int level) { level_ = level; }
  int processor() const { return processor_; }
  void setProcessor(int processor) { processor_ = processor; }
  double start() const { return start_; }
  double finish() const { return finish_; }

  // Stores start, sets finish = start + cost and returns finish.
  double setStart(double start) {
    start_ = start;
    finish_ = start + cost_;
    return finish_;
  }

  // Free scheduling weight of the task graph.
  int weight = 0;

private:
  double cost_ = 1.0;
  int level_ = 0;
  int processor_ = 0;
  double start_ = 0.0;
  double finish_ = 0.0;
};
