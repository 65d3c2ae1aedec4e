#pragma once
// The store connection of the user-level operations. Within a kernel run
// (a StoreRun scope, which the command line opens around its verb) all
// operations share one connection: the first that needs the store opens
// it, and it closes when the run ends, so that a calculation reads and
// writes its case over one connection instead of opening one per step.
// Outside a run each operation opens its own connection and closes it when
// it is done.

#include "velta/persistency/PersistencyOdbc.h"

#include <memory>

namespace Velta::User {

class StoreRun {
public:
  StoreRun();
  ~StoreRun();
  StoreRun(const StoreRun &) = delete;
  StoreRun &operator=(const StoreRun &) = delete;
};

// One operation's use of the store: the run's connection, or one of its
// own. Whatever transaction the operation left open is rolled back when
// the use ends, so that the next operation finds the connection idle.
class StoreConnection {
public:
  StoreConnection();
  ~StoreConnection();
  StoreConnection(const StoreConnection &) = delete;
  StoreConnection &operator=(const StoreConnection &) = delete;

  PersistencyOdbc &operator*() const { return *store_; }
  PersistencyOdbc *operator->() const { return store_; }

private:
  std::unique_ptr<PersistencyOdbc> own_;
  PersistencyOdbc *store_ = nullptr;
};

} // namespace Velta::User
