#include "velta/utility/Timer.h"

#include <chrono>
#include <cstdio>

Timer::Timer() : start_(now()) {}

double Timer::now() {
  const auto sinceEpoch = std::chrono::steady_clock::now().time_since_epoch();
  return std::chrono::duration<double>(sinceEpoch).count();
}

double Timer::elapsed() const { return now() - start_; }

double Timer::reset() {
  start_ = now();
  return start_;
}

std::string Timer::timestamp() const {
  const std::time_t calendarTime = std::time(nullptr);
  std::tm local{};
  localtime_r(&calendarTime, &local);
  return formatTimestamp(local);
}

std::string Timer::formatTimestamp(const std::tm &local) {
  char text[32];
  std::snprintf(text, sizeof text, "%04d%02d%02d-%02d%02d", local.tm_year + 1900, local.tm_mon + 1,
                local.tm_mday, local.tm_hour, local.tm_min);
  return text;
}
