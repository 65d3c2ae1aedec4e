#pragma once
// The process-wide table of precedence locks of the flowsheet graph: one bit
// per lock number, 1 when the lock is taken. Nothing waits on a lock; the
// table only records which ones are taken. Every bit is clear at start.

#include <cstdint>
#include <vector>

// Number of lock numbers the table holds.
constexpr int MAXLOCKS = 100000000;

class PrecedenceLockTable {
public:
  PrecedenceLockTable();

  int capacity() const { return MAXLOCKS; }
  // A lock number outside 0 .. MAXLOCKS - 1 is a broken invariant.
  bool isTaken(int lock) const;
  void take(int lock);
  void release(int lock);

private:
  std::vector<std::uint32_t> words_;
};

// The one table of the process, allocated on first use and released at exit.
PrecedenceLockTable &precedenceLocks();
