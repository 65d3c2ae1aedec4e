// Nested transactions of the ODBC store: commit at the outermost pop, roll
// back on failure, and failures to begin or to commit are errors.

#include "OdbcTestStore.h"

#include "velta/persistency/ErrorOdbc.h"
#include "velta/persistency/PersistencyOdbc.h"

#include <gtest/gtest.h>

using namespace odbctest;

class PersistencyOdbcTransactionTest : public StoreTest {};

TEST_P(PersistencyOdbcTransactionTest, NestedLevelsCommitOnceAtTheOutermostPop) {
  RawConnection observer(dsn_);
  PersistencyOdbc store(dsn_);
  TestNode root("Root", nullptr, 0, 2);
  TestNode child("Child", &root, 1, 1);

  store.push_transaction();
  store.push_transaction();
  EXPECT_EQ(store.transactionDepth(), 2);
  store.insertObject(root, 0);
  store.insertObject(child, 0);
  EXPECT_EQ(store.pop_transaction(), 1);
  // Still one open level: nothing is visible to another connection.
  EXPECT_EQ(observer.integer("SELECT COUNT(*) FROM N"), 0);
  EXPECT_EQ(store.pop_transaction(), 0);
  EXPECT_EQ(observer.integer("SELECT COUNT(*) FROM N"), 2);
  // A pop at depth 0 changes nothing.
  EXPECT_EQ(store.pop_transaction(), 0);
  EXPECT_EQ(store.transactionDepth(), 0);
}

TEST_P(PersistencyOdbcTransactionTest, RollbackDiscardsEverySinceTheOutermostPush) {
  PersistencyOdbc store(dsn_);
  TestNode root("Root", nullptr, 0, 1);
  store.push_transaction();
  store.push_transaction();
  store.insertObject(root, 0);
  store.rollback_transaction();
  EXPECT_EQ(store.transactionDepth(), 0);
  EXPECT_EQ(store.countRows("N", 0), 0);
  // Back to committing each statement.
  store.insertObject(root, 0);
  EXPECT_EQ(RawConnection(dsn_).integer("SELECT COUNT(*) FROM N"), 1);
}

TEST_P(PersistencyOdbcTransactionTest, AFailureRollsBackBeforeTheErrorLeaves) {
  RawConnection observer(dsn_);
  PersistencyOdbc store(dsn_);
  TestNode first("First", nullptr, 0, 1);
  TestNode second("Second", nullptr, 0, 1); // the same stored id

  store.push_transaction();
  store.insertObject(first, 0);
  EXPECT_THROW(store.insertObject(second, 0), ErrorOdbc);
  // Rolled back already, although the caller still holds its level.
  EXPECT_EQ(observer.integer("SELECT COUNT(*) FROM N"), 0);
  EXPECT_EQ(store.transactionDepth(), 1);
  // Nothing more goes into the lost transaction, and its pop cannot report
  // it as stored.
  try {
    store.getId();
    FAIL() << "ran a statement in a rolled-back transaction";
  } catch (ErrorOdbc &error) {
    EXPECT_NE(error.message().find("Transaction was rolled back after an earlier failure"),
              std::string::npos);
  }
  EXPECT_THROW(store.pop_transaction(), ErrorOdbc);
  EXPECT_EQ(store.transactionDepth(), 0);
  EXPECT_EQ(observer.integer("SELECT COUNT(*) FROM N"), 0);

  // The connection is usable again.
  store.push_transaction();
  store.insertObject(second, 0);
  EXPECT_EQ(store.pop_transaction(), 0);
  EXPECT_EQ(observer.integer("SELECT COUNT(*) FROM N"), 1);
}

TEST_P(PersistencyOdbcTransactionTest, ACallerRollbackEndsTheLostTransaction) {
  PersistencyOdbc store(dsn_);
  TestNode node("Node", nullptr, 0, 1);
  store.push_transaction();
  store.push_transaction();
  store.insertObject(node, 0);
  EXPECT_THROW(store.insertObject(node, 0), ErrorOdbc);
  store.rollback_transaction();
  EXPECT_EQ(store.transactionDepth(), 0);
  EXPECT_EQ(store.getId(), 0);
}

TEST_P(PersistencyOdbcTransactionTest, DestroyingTheConnectionRollsBackAnOpenTransaction) {
  {
    PersistencyOdbc store(dsn_);
    TestNode node("Node", nullptr, 0, 1);
    store.push_transaction();
    store.insertObject(node, 0);
  }
  EXPECT_EQ(RawConnection(dsn_).integer("SELECT COUNT(*) FROM N"), 0);
}

// The server ends the session under the open transaction: the commit fails,
// and so does the next begin.
TEST_P(PersistencyOdbcTransactionTest, FailedCommitAndFailedBeginAreErrors) {
  if (GetParam() != Database::postgresql)
    GTEST_SKIP() << "needs a server that can end a session from outside";
  RawConnection observer(dsn_);
  PersistencyOdbc store(dsn_);
  TestNode node("Node", nullptr, 0, 1);
  store.push_transaction();
  store.insertObject(node, 0);
  observer.execute("SELECT pg_terminate_backend(pid) FROM pg_stat_activity "
                   "WHERE usename = 'zq' AND pid <> pg_backend_pid()");
  try {
    store.pop_transaction();
    FAIL() << "a commit on a dead session succeeded";
  } catch (ErrorOdbc &error) {
    EXPECT_NE(
        error.message().find("Error in SQLEndTran(SQL_HANDLE_DBC, hConnection_, SQL_COMMIT) \n"
                             "ODBC error message: "),
        std::string::npos)
        << error.message();
  }
  EXPECT_EQ(store.transactionDepth(), 0);
  EXPECT_EQ(observer.integer("SELECT COUNT(*) FROM N"), 0);
  EXPECT_THROW(store.push_transaction(), ErrorOdbc);
  EXPECT_EQ(store.transactionDepth(), 0);
}

INSTANTIATE_TEST_SUITE_P(Databases, PersistencyOdbcTransactionTest,
                         ::testing::Values(Database::sqlite, Database::postgresql),
                         databaseParameterName);
