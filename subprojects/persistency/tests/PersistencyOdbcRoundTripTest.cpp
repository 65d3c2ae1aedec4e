// The object-tree round trips run on the real stores: SQLite always,
// PostgreSQL when a test server is given (VELTA_TEST_POSTGRESQL_DSN).

#include "NodeStoreFixture.h"
#include "OdbcTestStore.h"

#include "velta/persistency/PersistencyOdbc.h"

#include <cstdlib>
#include <vector>

using namespace odbctest;

namespace {

// Takes the shared store for one test and empties it, before the
// connection under test is made.
struct StoreClaim {
  explicit StoreClaim(const std::string &dsn) : lock(dsn) { RawConnection(dsn).emptyAllTables(); }
  StoreLock lock;
};

class ClaimedStore : private StoreClaim, public PersistencyOdbc {
public:
  explicit ClaimedStore(const std::string &dsn) : StoreClaim(dsn), PersistencyOdbc(dsn) {}
};

std::vector<StoreMaker> realStores() {
  std::vector<StoreMaker> stores{
      {"SQLite", [] { return std::make_unique<ClaimedStore>(testDsn(Database::sqlite)); }}};
  const char *postgresql = std::getenv("VELTA_TEST_POSTGRESQL_DSN");
  if (postgresql && *postgresql)
    stores.push_back(
        {"PostgreSQL", [] { return std::make_unique<ClaimedStore>(testDsn(Database::postgresql)); }});
  return stores;
}

} // namespace

INSTANTIATE_TEST_SUITE_P(Odbc, NodeStoreRoundTrip, testing::ValuesIn(realStores()),
                         [](const auto &info) { return info.param.name; });
