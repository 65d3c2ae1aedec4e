#pragma once
// The precedence lock inside every flowsheet edge. The flowsheet's task graph
// takes the lock of every edge leaving a unit before a pass, and releases it
// when that unit has run; a unit that meets a taken lock on one of its inlet
// edges runs before its feed. Locks are bits in one process-wide table, not
// operating-system locks: nothing ever waits on them.

class Precedence {
public:
  Precedence() = default;

  // Gives this edge the next lock number, in the released state. Numbers
  // run up to MAXLOCKS - 1 and then start again from 0: a lock is only
  // needed during the pass that created it.
  void createLock();
  // Takes the lock; a lock that is already taken is reported on standard
  // output ("!!!!!!!!!!!! DEADLOCK on lock " and the number) and left taken.
  void acquire();
  // Releases the lock, whatever its state.
  void release();

  int lock() const { return lock_; }
  bool isTaken() const;

  // The number the next createLock hands out.
  static int nextLock();
  // Moves the counter (0 .. MAXLOCKS - 1), e.g. to check the wrap-around.
  static void setNextLock(int lock);

  // Free scheduling weight of the task graph.
  int weight = 0;

private:
  int lock_ = 0;
};
