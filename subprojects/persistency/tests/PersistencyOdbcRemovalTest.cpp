// Removal of stored trees by id block, and purging of tables.

#include "OdbcTestStore.h"

#include "velta/persistency/ErrorOdbc.h"
#include "velta/persistency/PersistencyOdbc.h"

#include <gtest/gtest.h>

using namespace odbctest;

namespace {

// Per node: one row in each scalar table, one header in each vector table
// with two element rows each: 3 + 4 + 8 = 15 variable rows.
constexpr long rowsPerNode = 1 + 15;

void addVariables(RawConnection &raw, int nid) {
  const std::string id = std::to_string(nid);
  raw.execute("INSERT INTO I (NID, TAG, DESCRIPTION, VALUE) VALUES (" + id + ", 'i', '', 1)");
  raw.execute("INSERT INTO S (NID, TAG, DESCRIPTION, VALUE) VALUES (" + id + ", 's', '', 'x')");
  raw.execute("INSERT INTO Q (NID, TAG, DESCRIPTION, VALUE, UNIT, INPUT, OUTPUT) VALUES (" + id +
              ", 'q', '', 1.5, 'K', 1, 0)");
  struct Vector {
    const char *header;
    const char *elements;
    const char *key;
    const char *values;
  };
  for (const Vector &vector :
       {Vector{"IV", "IVV", "VID", "1"}, Vector{"SV", "SVV", "VID", "'a'"},
        Vector{"QV", "QVV", "VID", "2.5"}, Vector{"QM", "QMV", "MID", "3.5"}}) {
    raw.execute(std::string("INSERT INTO ") + vector.header + " (NID, TAG, DESCRIPTION) VALUES (" +
                id + ", 'v', '')");
    const std::string header =
        std::to_string(raw.integer(std::string("SELECT MAX(ID) FROM ") + vector.header));
    raw.execute(std::string("INSERT INTO ") + vector.elements + " (" + vector.key +
                ", VALUE) VALUES (" + header + ", " + vector.values + "), (" + header + ", " +
                vector.values + ")");
  }
}

// Rows anywhere in the store that belong to the nodes [first, last].
long rowsOfNodes(RawConnection &raw, int first, int last) {
  const std::string range = " BETWEEN " + std::to_string(first) + " AND " + std::to_string(last);
  long rows = raw.integer("SELECT COUNT(*) FROM N WHERE ID" + range);
  for (const char *table : {"I", "S", "Q", "IV", "SV", "QV", "QM"})
    rows += raw.integer(std::string("SELECT COUNT(*) FROM ") + table + " WHERE NID" + range);
  rows += raw.integer("SELECT COUNT(*) FROM IVV WHERE VID IN (SELECT ID FROM IV WHERE NID" + range +
                      ")");
  rows += raw.integer("SELECT COUNT(*) FROM SVV WHERE VID IN (SELECT ID FROM SV WHERE NID" + range +
                      ")");
  rows += raw.integer("SELECT COUNT(*) FROM QVV WHERE VID IN (SELECT ID FROM QV WHERE NID" + range +
                      ")");
  rows += raw.integer("SELECT COUNT(*) FROM QMV WHERE MID IN (SELECT ID FROM QM WHERE NID" + range +
                      ")");
  return rows;
}

} // namespace

// Tree A: root 0 (range 5) with children 1 (range 2, child 2), 3 and 4.
// Tree B: root 5 (range 3) with children 6 and 7.
class PersistencyOdbcRemovalTest : public StoreTest {
protected:
  void SetUp() override {
    StoreTest::SetUp();
    if (IsSkipped())
      return;
    PersistencyOdbc store(dsn_);
    TestNode a("A", nullptr, 0, 5);
    TestNode a1("A1", &a, 1, 2);
    TestNode a2("A2", &a1, 2, 1);
    TestNode a3("A3", &a, 3, 1);
    TestNode a4("A4", &a, 4, 1);
    TestNode b("B", nullptr, 5, 3);
    TestNode b1("B1", &b, 6, 1);
    TestNode b2("B2", &b, 7, 1);
    store.push_transaction();
    for (TestNode *node : {&a, &a1, &a2, &a3, &a4, &b, &b1, &b2})
      store.insertObject(*node, 0);
    store.pop_transaction();
    RawConnection raw(dsn_);
    for (int nid = 0; nid < 8; ++nid)
      addVariables(raw, nid);
    ASSERT_EQ(raw.totalRows(), 8 * rowsPerNode);
  }
};

TEST_P(PersistencyOdbcRemovalTest, RemovingARootDeletesItsWholeBlockFromAllTables) {
  PersistencyOdbc store(dsn_);
  store.removeObject(0);
  RawConnection raw(dsn_);
  EXPECT_EQ(rowsOfNodes(raw, 0, 4), 0);
  EXPECT_EQ(rowsOfNodes(raw, 5, 7), 3 * rowsPerNode);
  EXPECT_EQ(raw.totalRows(), 3 * rowsPerNode);
  EXPECT_EQ(store.transactionDepth(), 0);
}

TEST_P(PersistencyOdbcRemovalTest, RemovingAnInnerNodeKeepsTheRootsRange) {
  PersistencyOdbc store(dsn_);
  store.removeObject(1);
  RawConnection raw(dsn_);
  EXPECT_EQ(rowsOfNodes(raw, 1, 2), 0);
  EXPECT_EQ(raw.totalRows(), 6 * rowsPerNode);
  EXPECT_EQ(raw.integer("SELECT RANGE FROM N WHERE ID = 0"), 5);
  // The ids stay reserved.
  EXPECT_EQ(store.getId(), 8);
}

TEST_P(PersistencyOdbcRemovalTest, RemovingAnIdWithoutRowChangesNothing) {
  PersistencyOdbc store(dsn_);
  store.removeObject(999);
  EXPECT_EQ(RawConnection(dsn_).totalRows(), 8 * rowsPerNode);
}

TEST_P(PersistencyOdbcRemovalTest, RemovalInsideAnOuterTransactionCommitsWithIt) {
  RawConnection observer(dsn_);
  PersistencyOdbc store(dsn_);
  store.push_transaction();
  store.removeObject(5);
  EXPECT_EQ(store.transactionDepth(), 1);
  EXPECT_EQ(observer.totalRows(), 8 * rowsPerNode);
  store.pop_transaction();
  EXPECT_EQ(observer.totalRows(), 5 * rowsPerNode);
}

TEST_P(PersistencyOdbcRemovalTest, PurgeDeletesByNodeOrWholeTables) {
  PersistencyOdbc store(dsn_);
  RawConnection raw(dsn_);
  store.purge("N", 3);
  EXPECT_EQ(raw.integer("SELECT COUNT(*) FROM N"), 7);
  EXPECT_EQ(raw.integer("SELECT COUNT(*) FROM Q WHERE NID = 3"), 1);
  store.purge("Q", 3);
  EXPECT_EQ(raw.integer("SELECT COUNT(*) FROM Q WHERE NID = 3"), 0);
  EXPECT_EQ(raw.integer("SELECT COUNT(*) FROM Q"), 7);
  store.purge("QVV", -1);
  EXPECT_EQ(raw.integer("SELECT COUNT(*) FROM QVV"), 0);
  // A purge that matches nothing is no failure.
  store.purge("QVV", -1);
  store.purge("S", 42);
  EXPECT_EQ(raw.integer("SELECT COUNT(*) FROM S"), 8);
}

TEST_P(PersistencyOdbcRemovalTest, RemoveOfAMissingRowFailsWithoutRecords) {
  PersistencyOdbc store(dsn_);
  store.remove(4, "N");
  EXPECT_EQ(RawConnection(dsn_).integer("SELECT COUNT(*) FROM N WHERE ID = 4"), 0);
  try {
    store.remove(4, "N");
    FAIL() << "removed a row that does not exist";
  } catch (ErrorOdbc &error) {
    EXPECT_EQ(error.message(),
              "Error was thrown by function: PersistencyOdbc::remove\n"
              "Odbc database driver Error: error in call to Error in "
              "SQLEXECDIRECT(hStatement_,(SQLCHAR*)sqlcommand.c_str(),SQL_NTS) \n");
  }
}

TEST_P(PersistencyOdbcRemovalTest, PurgeAllEmptiesTheStore) {
  PersistencyOdbc store(dsn_);
  EXPECT_EQ(store.purgeAll(), 0);
  EXPECT_EQ(RawConnection(dsn_).totalRows(), 0);
  EXPECT_EQ(store.getId(), 0);
}

INSTANTIATE_TEST_SUITE_P(Databases, PersistencyOdbcRemovalTest,
                         ::testing::Values(Database::sqlite, Database::postgresql),
                         databaseParameterName);
