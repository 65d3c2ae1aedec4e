#pragma once
// Elapsed-time measurement and the local time stamp of output files.

#include <ctime>
#include <string>

class Timer {
public:
  // Takes the first reading as the start.
  Timer();
  Timer(const Timer &) = delete;
  Timer &operator=(const Timer &) = delete;

  // Seconds since the start (or the last reset); never negative.
  double elapsed() const;

  // Takes a new reading, makes it the start and returns it.
  double reset();

  // The current local time as "YYYYMMDD-HHMM" (hour 00 to 23).
  std::string timestamp() const;

  // The time-stamp text of a broken-down local time.
  static std::string formatTimestamp(const std::tm &local);

private:
  // Seconds on a monotonic clock, so that readings never jump with changes
  // of the wall clock or the calendar.
  static double now();

  double start_;
};
