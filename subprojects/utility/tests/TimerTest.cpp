#include "velta/utility/Timer.h"

#include <gtest/gtest.h>

#include <chrono>
#include <regex>
#include <vector>

namespace {

TEST(Timer, ElapsedFollowsAMonotonicClock) {
  const auto before = std::chrono::steady_clock::now();
  Timer timer;
  double previous = 0.0;
  // Busy-wait for a few milliseconds; readings never go backwards.
  while (timer.elapsed() < 0.003) {
    const double reading = timer.elapsed();
    ASSERT_GE(reading, previous);
    previous = reading;
  }
  const double elapsed = timer.elapsed();
  const double reference =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - before).count();
  EXPECT_GE(elapsed, 0.003);
  EXPECT_LE(elapsed, reference);

  timer.reset();
  EXPECT_LT(timer.elapsed(), elapsed);
  EXPECT_GE(timer.elapsed(), 0.0);
}

TEST(Timer, ResetReturnsTheNewStart) {
  Timer timer;
  const double first = timer.reset();
  const double second = timer.reset();
  EXPECT_GE(second, first);
}

struct StampCase {
  int year, month, day, hour, minute;
  const char *expected;
};

TEST(Timer, TimestampFormat) {
  const std::vector<StampCase> cases = {
      {2024, 3, 14, 9, 5, "20240314-0905"},
      {2024, 12, 31, 23, 59, "20241231-2359"}, // hour field stays below 24
      {2025, 1, 1, 0, 5, "20250101-0005"},
      {2025, 10, 9, 12, 30, "20251009-1230"},
  };
  for (const auto &c : cases) {
    std::tm local{};
    local.tm_year = c.year - 1900;
    local.tm_mon = c.month - 1;
    local.tm_mday = c.day;
    local.tm_hour = c.hour;
    local.tm_min = c.minute;
    EXPECT_EQ(Timer::formatTimestamp(local), c.expected);
  }
  Timer timer;
  EXPECT_TRUE(std::regex_match(timer.timestamp(),
                               std::regex("[0-9]{4}(0[1-9]|1[0-2])[0-3][0-9]-([01][0-9]|2[0-3])"
                                          "[0-5][0-9]")))
      << timer.timestamp();
}

} // namespace
