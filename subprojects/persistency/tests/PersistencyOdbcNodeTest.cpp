// Node rows of table N: id allocation, insertion, reading back by id and by
// UUID, children and row counts.

#include "OdbcTestStore.h"

#include "velta/persistency/ErrorOdbc.h"
#include "velta/persistency/PersistencyOdbc.h"

#include <gtest/gtest.h>

#include <ctime>

using namespace odbctest;

class PersistencyOdbcNodeTest : public StoreTest {};

TEST_P(PersistencyOdbcNodeTest, SchemaIsPresentAndEmpty) {
  PersistencyOdbc store(dsn_);
  EXPECT_EQ(store.dialect(), GetParam() == Database::sqlite ? PersistencyOdbc::Dialect::sqlite
                                                            : PersistencyOdbc::Dialect::postgresql);
  for (const char *table : allTables)
    EXPECT_EQ(store.countCID(-1, table), 0) << table;
}

TEST_P(PersistencyOdbcNodeTest, FirstFreeIdIsTheEndOfTheHighestBlock) {
  PersistencyOdbc store(dsn_);
  EXPECT_EQ(store.getId(), 0);
  RawConnection raw(dsn_);
  raw.execute("INSERT INTO N (ID, UUID, PARENT, ROOT, RANGE) VALUES (0, 'a', 0, 0, 7)");
  raw.execute("INSERT INTO N (ID, UUID, PARENT, ROOT, RANGE) VALUES (7, 'b', 7, 7, 3)");
  EXPECT_EQ(store.getId(), 10);
}

// A root with in-memory id 3 stored when the first free id is 10: offset -7.
TEST_P(PersistencyOdbcNodeTest, TreeIsStoredFromTheFirstFreeIdAndReadBack) {
  RawConnection(dsn_).execute(
      "INSERT INTO N (ID, UUID, PARENT, ROOT, RANGE) VALUES (0, 'older-tree', 0, 0, 10)");
  TestNode root("Flowsheet", nullptr, 3, 3, "FlowSheet");
  TestNode child("S01", &root, 4, 1, "StreamTwo");
  TestNode leaf("U\u00e4", &root, 5, 1, "Mixer");

  const double before = static_cast<double>(std::time(nullptr));
  PersistencyOdbc store(dsn_);
  store.push_transaction();
  const int offset = root.id() - store.getId();
  EXPECT_EQ(offset, -7);
  EXPECT_EQ(store.insertObject(root, offset), 10);
  EXPECT_EQ(store.insertObject(child, offset), 11);
  EXPECT_EQ(store.insertObject(leaf, offset), 12);
  EXPECT_EQ(store.pop_transaction(), 0);
  const double after = static_cast<double>(std::time(nullptr));

  std::string uuid, tag, description, type;
  int parent = 0, rootId = 0;
  double createdAt = -1, updatedAt = -1;
  store.retrieveObject(11, uuid, tag, description, type, parent, rootId, createdAt, updatedAt);
  EXPECT_EQ(uuid, child.uuid());
  EXPECT_EQ(tag, "S01");
  EXPECT_EQ(description, "Node S01");
  EXPECT_EQ(type, "StreamTwo");
  EXPECT_EQ(parent, 10);
  EXPECT_EQ(rootId, 10);
  // The store stamps the creation in seconds since 1970; no update yet.
  EXPECT_GE(createdAt, before - 2);
  EXPECT_LE(createdAt, after + 2);
  EXPECT_EQ(updatedAt, 0);

  int id = 0;
  store.retrieveObject(root.uuid(), id, tag, description, type, parent, rootId, createdAt,
                       updatedAt);
  EXPECT_EQ(id, 10);
  EXPECT_EQ(tag, "Flowsheet");
  EXPECT_EQ(type, "FlowSheet");
  EXPECT_EQ(parent, 10); // a root is its own parent
  EXPECT_EQ(rootId, 10);

  store.retrieveObject(12, uuid, tag, description, type, parent, rootId, createdAt, updatedAt);
  EXPECT_EQ(tag, "U\u00e4");
  EXPECT_EQ(description, "Node U\u00e4");

  RawConnection raw(dsn_);
  EXPECT_EQ(raw.integer("SELECT RANGE FROM N WHERE ID = 10"), 3);
  EXPECT_EQ(raw.integer("SELECT RANGE FROM N WHERE ID = 11"), 1);
  EXPECT_EQ(store.getId(), 13);
}

TEST_P(PersistencyOdbcNodeTest, ChildrenInIdOrderWithoutTheRootItself) {
  TestNode root("Root", nullptr, 0, 4);
  TestNode second("A", &root, 3, 1);
  TestNode first("B", &root, 1, 2);
  TestNode grandchild("C", &first, 2, 1);
  PersistencyOdbc store(dsn_);
  for (TestNode *node : {&root, &second, &first, &grandchild})
    store.insertObject(*node, 0);

  ChildList children{{99, "kept"}};
  store.retrieveChildren(0, children);
  EXPECT_EQ(children, (ChildList{{99, "kept"}, {1, "TestNode"}, {3, "TestNode"}}));
  children.clear();
  store.retrieveChildren(1, children);
  EXPECT_EQ(children, (ChildList{{2, "TestNode"}}));
  children.clear();
  store.retrieveChildren(3, children);
  EXPECT_TRUE(children.empty());
}

TEST_P(PersistencyOdbcNodeTest, MissingRowsAreNotFound) {
  TestNode root("Root", nullptr, 0, 1);
  PersistencyOdbc store(dsn_);
  store.insertObject(root, 0);
  std::string uuid, tag = "unchanged", description, type;
  int id = -5, parent = 0, rootId = 0;
  double createdAt = 0, updatedAt = 0;
  // The UUID is bound as a parameter: quotes in it are no SQL, and a text
  // that begins with a stored UUID is not that UUID.
  for (const std::string &missing :
       {std::string("00000000-0000-4000-8000-000000000000"), std::string("x' OR '1'='1"),
        root.uuid() + "0", std::string()}) {
    try {
      store.retrieveObject(missing, id, tag, description, type, parent, rootId, createdAt,
                           updatedAt);
      FAIL() << "found " << missing;
    } catch (ErrorOdbc &error) {
      EXPECT_EQ(error.message(), "Error was thrown by function: PersistencyOdbc::retrieveObject\n"
                                 "Odbc database driver Error: error in call to Not found\n");
    }
  }
  EXPECT_EQ(id, -5);
  EXPECT_EQ(tag, "unchanged");
  EXPECT_THROW(
      store.retrieveObject(1, uuid, tag, description, type, parent, rootId, createdAt, updatedAt),
      ErrorOdbc);
}

TEST_P(PersistencyOdbcNodeTest, LongTextsAreCutToTheirColumns) {
  // 60 two-byte characters: the tag keeps 50 UTF-16 units.
  std::string tag = "T";
  for (int i = 0; i < 59; ++i)
    tag += "\u00e9";
  TestNode root(tag, nullptr, 0, 1);
  PersistencyOdbc store(dsn_);
  store.insertObject(root, 0);
  std::string uuid, storedTag, description, type;
  int parent = 0, rootId = 0;
  double createdAt = 0, updatedAt = 0;
  store.retrieveObject(0, uuid, storedTag, description, type, parent, rootId, createdAt, updatedAt);
  EXPECT_EQ(storedTag, tag.substr(0, 1 + 49 * 2));
}

TEST_P(PersistencyOdbcNodeTest, RowCountsByIdAndByNodeId) {
  TestNode root("Root", nullptr, 0, 2);
  TestNode child("Child", &root, 1, 1);
  PersistencyOdbc store(dsn_);
  store.insertObject(root, 0);
  store.insertObject(child, 0);
  RawConnection raw(dsn_);
  raw.execute("INSERT INTO I (NID, TAG, DESCRIPTION, VALUE) VALUES (0, 'a', '', 1)");
  raw.execute("INSERT INTO I (NID, TAG, DESCRIPTION, VALUE) VALUES (1, 'b', '', 2)");
  raw.execute("INSERT INTO I (NID, TAG, DESCRIPTION, VALUE) VALUES (1, 'c', '', 3)");

  EXPECT_EQ(store.countRows("N", 0), 2); // id 0 counts the whole table
  EXPECT_EQ(store.countRows("N", 1), 1);
  EXPECT_EQ(store.countRows("N", 7), 0);
  EXPECT_EQ(store.countCID(0, "I"), 1); // nid 0 counts only node 0
  EXPECT_EQ(store.countCID(1, "I"), 2);
  EXPECT_EQ(store.countCID(-1, "I"), 3);
}

INSTANTIATE_TEST_SUITE_P(Databases, PersistencyOdbcNodeTest,
                         ::testing::Values(Database::sqlite, Database::postgresql),
                         databaseParameterName);
