// Several kernels on one store: writers storing at the same moment get
// disjoint id blocks, a stale id makes a writer fail without leaving rows,
// and a writer killed in the middle of storing leaves nothing behind.

#include "OdbcTestStore.h"

#include "velta/persistency/ErrorOdbc.h"
#include "velta/persistency/PersistencyOdbc.h"

#include <gtest/gtest.h>

#include <csignal>
#include <iostream>
#include <sys/wait.h>
#include <unistd.h>

using namespace odbctest;

namespace {

constexpr int treeSize = 6;

// Stores one tree of treeSize nodes from the first free id, the way the
// node tree does it: one transaction, the id taken inside it.
void storeTree(PersistencyOdbc &store, const std::string &name) {
  TestNode root(name, nullptr, 0, treeSize);
  std::vector<std::unique_ptr<TestNode>> children;
  for (int i = 1; i < treeSize; ++i)
    children.push_back(std::make_unique<TestNode>(name + std::to_string(i), &root, i, 1));
  store.push_transaction();
  const int offset = root.id() - store.getId();
  store.insertObject(root, offset);
  for (const auto &child : children)
    store.insertObject(*child, offset);
  store.pop_transaction();
}

// A pipe whose reading end blocks until the writing end sends or closes.
struct Pipe {
  Pipe() { EXPECT_EQ(pipe(ends), 0); }
  ~Pipe() {
    closeReading();
    closeWriting();
  }
  void closeReading() {
    if (ends[0] >= 0)
      close(ends[0]);
    ends[0] = -1;
  }
  void closeWriting() {
    if (ends[1] >= 0)
      close(ends[1]);
    ends[1] = -1;
  }
  bool wait() {
    char byte;
    return read(ends[0], &byte, 1) == 1;
  }
  void signal() {
    const char byte = 1;
    EXPECT_EQ(write(ends[1], &byte, 1), 1);
  }
  int ends[2] = {-1, -1};
};

int exitCode(pid_t child) {
  int status = 0;
  waitpid(child, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

} // namespace

class PersistencyOdbcConcurrencyTest : public StoreTest {};

TEST_P(PersistencyOdbcConcurrencyTest, SimultaneousWritersGetDisjointBlocks) {
  constexpr int writers = 4;
  Pipe start;
  std::vector<pid_t> children;
  for (int w = 0; w < writers; ++w) {
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      start.closeWriting();
      int code = 0;
      try {
        PersistencyOdbc store(dsn_);
        start.wait(); // all connected, then all write at once
        storeTree(store, "W" + std::to_string(w));
      } catch (Error &error) {
        std::cerr << error.message();
        code = 1;
      } catch (...) {
        code = 3;
      }
      _exit(code);
    }
    children.push_back(child);
  }
  start.closeReading();
  start.closeWriting(); // releases every writer at the same moment
  for (pid_t child : children)
    EXPECT_EQ(exitCode(child), 0);

  RawConnection raw(dsn_);
  EXPECT_EQ(raw.integer("SELECT COUNT(*) FROM N"), writers * treeSize);
  // Every tree fills its own block [ROOT, ROOT + RANGE) and nothing else.
  for (long root : raw.integers("SELECT ID FROM N WHERE PARENT = ID ORDER BY ID")) {
    const std::string id = std::to_string(root);
    EXPECT_EQ(raw.integer("SELECT RANGE FROM N WHERE ID = " + id), treeSize);
    EXPECT_EQ(raw.integer("SELECT COUNT(*) FROM N WHERE ROOT = " + id + " AND ID >= " + id +
                          " AND ID < " + id + " + " + std::to_string(treeSize)),
              treeSize);
  }
  EXPECT_EQ(raw.integer("SELECT COALESCE(MAX(ID + RANGE), 0) FROM N"), writers * treeSize);
}

// An id fetched outside a transaction can be taken by another writer before
// it is used: the late writer fails on its root id and stores nothing.
TEST_P(PersistencyOdbcConcurrencyTest, AStaleIdFailsCleanly) {
  PersistencyOdbc late(dsn_);
  const int staleId = late.getId();
  {
    PersistencyOdbc early(dsn_);
    storeTree(early, "Early");
  }
  TestNode root("Late", nullptr, staleId, 2);
  TestNode child("Late1", &root, staleId + 1, 1);
  late.push_transaction();
  EXPECT_THROW(late.insertObject(root, 0), ErrorOdbc);
  late.rollback_transaction();
  RawConnection raw(dsn_);
  EXPECT_EQ(raw.integer("SELECT COUNT(*) FROM N"), treeSize);
  EXPECT_EQ(raw.integer("SELECT COUNT(*) FROM N WHERE TAG LIKE 'Late%'"), 0);
}

TEST_P(PersistencyOdbcConcurrencyTest, AKilledWriterLeavesNoPartialCase) {
  Pipe midway;
  Pipe never;
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    midway.closeReading();
    never.closeWriting();
    try {
      PersistencyOdbc store(dsn_);
      TestNode root("Killed", nullptr, 0, 50);
      store.push_transaction();
      store.insertObject(root, 0);
      std::vector<std::unique_ptr<TestNode>> nodes;
      for (int i = 1; i < 50; ++i) {
        nodes.push_back(std::make_unique<TestNode>("K" + std::to_string(i), &root, i, 1));
        store.insertObject(*nodes.back(), 0);
      }
      midway.signal();
      never.wait(); // killed here, inside the open transaction
    } catch (Error &error) {
      std::cerr << error.message();
    }
    _exit(2);
  }
  midway.closeWriting();
  ASSERT_TRUE(midway.wait());
  kill(child, SIGKILL);
  int status = 0;
  waitpid(child, &status, 0);
  EXPECT_TRUE(WIFSIGNALED(status));

  // Nothing of it is stored, and the store takes the next case at once.
  PersistencyOdbc store(dsn_);
  EXPECT_EQ(store.countRows("N", 0), 0);
  storeTree(store, "Next");
  EXPECT_EQ(RawConnection(dsn_).integer("SELECT MIN(ID) FROM N"), 0);
}

INSTANTIATE_TEST_SUITE_P(Databases, PersistencyOdbcConcurrencyTest,
                         ::testing::Values(Database::sqlite, Database::postgresql),
                         databaseParameterName);
