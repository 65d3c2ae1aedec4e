#include "velta/user/StoreConnection.h"

#include "velta/user/DataSource.h"

namespace Velta::User {

namespace {

// The run's connection, and whether a run is open (the process runs one
// verb on one thread).
struct Run {
  bool open = false;
  std::unique_ptr<PersistencyOdbc> connection;
};

Run &run() {
  static Run current;
  return current;
}

} // namespace

StoreRun::StoreRun() { run().open = true; }

StoreRun::~StoreRun() {
  run().connection.reset();
  run().open = false;
}

StoreConnection::StoreConnection() {
  if (!run().open) {
    own_ = std::make_unique<PersistencyOdbc>(dataSourceName);
    store_ = own_.get();
    return;
  }
  // A connection that could not be opened is not kept: the next use tries
  // again, as a connection of its own would.
  if (!run().connection)
    run().connection = std::make_unique<PersistencyOdbc>(dataSourceName);
  store_ = run().connection.get();
}

StoreConnection::~StoreConnection() { store_->rollback_transaction(); }

} // namespace Velta::User
