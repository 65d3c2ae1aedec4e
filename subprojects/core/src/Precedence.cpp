#include "velta/core/Precedence.h"

#include "velta/persistency/PrecedenceLocks.h"
#include "velta/utility/Assert.h"

#include <cstdio>

namespace {

// The next lock number to hand out; never reset, wraps at MAXLOCKS.
int lockcount = 0;

} // namespace

void Precedence::createLock() {
  if (lockcount >= MAXLOCKS)
    lockcount = 0;
  precedenceLocks().release(lockcount);
  lock_ = lockcount;
  ++lockcount;
}

void Precedence::acquire() {
  PrecedenceLockTable &table = precedenceLocks();
  if (table.isTaken(lock_)) {
    std::printf("!!!!!!!!!!!! DEADLOCK on lock %d\n", lock_);
    std::fflush(stdout);
    return;
  }
  table.take(lock_);
}

void Precedence::release() { precedenceLocks().release(lock_); }

bool Precedence::isTaken() const { return precedenceLocks().isTaken(lock_); }

int Precedence::nextLock() { return lockcount; }

void Precedence::setNextLock(int lock) {
  VELTA_ASSERT(lock >= 0 && lock < MAXLOCKS);
  lockcount = lock;
}
