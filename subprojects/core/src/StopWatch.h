#pragma once
// Adds the wall-clock time of a scope to a counter of seconds, also when the
// scope is left by an exception.

#include <chrono>

class StopWatch {
public:
  explicit StopWatch(double &seconds) : seconds_(seconds) {}
  ~StopWatch() {
    seconds_ += std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
  }
  StopWatch(const StopWatch &) = delete;
  StopWatch &operator=(const StopWatch &) = delete;

private:
  double &seconds_;
  const std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
};
