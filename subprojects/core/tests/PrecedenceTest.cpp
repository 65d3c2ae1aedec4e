#include "velta/core/Precedence.h"
#include "velta/core/Task.h"

#include "velta/persistency/PrecedenceLocks.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(Precedence, LocksAreHandedOutReleasedAndReportASecondAcquire) {
  const int first = Precedence::nextLock();
  Precedence a, b;
  a.createLock();
  b.createLock();
  EXPECT_EQ(a.lock(), first);
  EXPECT_EQ(b.lock(), first + 1);
  EXPECT_FALSE(a.isTaken());

  testing::internal::CaptureStdout();
  a.acquire();
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
  EXPECT_TRUE(a.isTaken());
  EXPECT_FALSE(b.isTaken());

  testing::internal::CaptureStdout();
  a.acquire();
  EXPECT_EQ(testing::internal::GetCapturedStdout(),
            "!!!!!!!!!!!! DEADLOCK on lock " + std::to_string(first) + "\n");
  EXPECT_TRUE(a.isTaken());

  a.release();
  EXPECT_FALSE(a.isTaken());
  a.release();
  EXPECT_FALSE(a.isTaken());

  // A fresh lock on a number that was left taken starts released.
  b.acquire();
  Precedence::setNextLock(b.lock());
  Precedence c;
  c.createLock();
  EXPECT_EQ(c.lock(), b.lock());
  EXPECT_FALSE(c.isTaken());
}

// A long run does not exhaust the table: the numbers start again from 0.
TEST(Precedence, CounterWrapsAtTheEndOfTheTable) {
  const int saved = Precedence::nextLock();
  Precedence::setNextLock(MAXLOCKS - 1);
  Precedence last, wrapped;
  last.createLock();
  wrapped.createLock();
  EXPECT_EQ(last.lock(), MAXLOCKS - 1);
  EXPECT_EQ(wrapped.lock(), 0);
  EXPECT_EQ(Precedence::nextLock(), 1);
  Precedence::setNextLock(saved);
}

TEST(Task, ScheduleRecord) {
  Task task;
  EXPECT_EQ(task.cost(), 1.0);
  EXPECT_EQ(task.setStart(5.0), 6.0);
  EXPECT_EQ(task.start(), 5.0);
  EXPECT_EQ(task.finish(), 6.0);
  task.setLevel(3);
  task.setProcessor(2);
  EXPECT_EQ(task.level(), 3);
  EXPECT_EQ(task.processor(), 2);
}

} // namespace
