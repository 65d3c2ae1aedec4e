// Writes that go to the store table by table, for all nodes of a
// transaction at once: runs longer than one statement carries, header ids
// reserved ahead of their rows, and updates of several nodes, checked on
// the rows and read back.

#include "OdbcTestStore.h"

#include "velta/persistency/ErrorOdbc.h"
#include "velta/persistency/IntegerVector.h"
#include "velta/persistency/PersistencyOdbc.h"
#include "velta/persistency/Quantity.h"
#include "velta/persistency/QuantityVector.h"
#include "velta/persistency/StringVector.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <deque>
#include <limits>
#include <string>
#include <vector>

using namespace odbctest;

namespace {

class PersistencyOdbcBulkTest : public StoreTest {};

// Values whose bits must come back unchanged: -0.0, the smallest normal
// double, one that needs all 17 digits, and values that differ in the last
// bit only.
double valueOf(int i) {
  switch (i % 5) {
  case 0:
    return -0.0;
  case 1:
    return std::numeric_limits<double>::min();
  case 2:
    return 0.1 + 0.2; // 0.30000000000000004
  case 3:
    return std::nextafter(1000.0 + i, 0.0);
  default:
    return -1.0e300 / (i + 1);
  }
}

bool sameBits(double a, double b) {
  return std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b);
}

} // namespace

// 1,100 scalars (more than one statement of 7 parameters a row carries)
// and a vector of 4,000 elements (more than one statement of 2 parameters
// a row carries) are stored, read inside and outside a read transaction,
// updated and read again, every value bit for bit.
TEST_P(PersistencyOdbcBulkTest, RunsLongerThanOneStatementComeBackBitForBit) {
  constexpr int scalars = 1100;
  constexpr int elements = 4000;
  PersistencyOdbc store(dsn_);
  TestNode node("N", nullptr, 0, 1);
  std::deque<Quantity> quantities;
  QuantityRegistry registry;
  for (int i = 0; i < scalars; ++i) {
    const std::string tag = "q" + std::to_string(10000 + i);
    quantities.emplace_back(tag, "", valueOf(i), "K", &node);
    registry[tag] = &quantities.back();
  }
  QuantityVector vector("v", "", elements, Value(0.0, "m"), &node);
  for (int i = 0; i < elements; ++i)
    vector[i] = Value(valueOf(i + 1), "m");
  store.push_transaction();
  store.insertObject(node, 0);
  store.insert(registry, 0);
  store.insert(QuantityVectorRegistry{{"v", &vector}}, 0);
  store.pop_transaction();

  RawConnection raw(dsn_);
  EXPECT_EQ(raw.integer("SELECT COUNT(*) FROM Q WHERE NID = 0"), scalars);
  EXPECT_EQ(raw.integer("SELECT COUNT(*) FROM QVV"), elements);
  EXPECT_EQ(raw.integer("SELECT MAX(ID) - MIN(ID) + 1 FROM QVV"), elements);

  // Compared with the values in memory, which were stored.
  auto readAndCheck = [&](bool inReadTransaction) {
    SCOPED_TRACE(inReadTransaction ? "read transaction" : "live statements");
    std::deque<Quantity> read;
    QuantityRegistry readRegistry;
    for (const auto &[tag, quantity] : registry) {
      read.emplace_back(tag, "", 1.0, "K", nullptr);
      readRegistry[tag] = &read.back();
    }
    QuantityVector readVector("v", "", 0, Value(), nullptr);
    if (inReadTransaction)
      store.push_read_transaction();
    store.read(0, readRegistry);
    store.read(0, QuantityVectorRegistry{{"v", &readVector}});
    if (inReadTransaction)
      store.pop_read_transaction();
    int wrong = 0;
    for (int i = 0; i < scalars; ++i)
      wrong += !sameBits(read[i].value(), quantities[i].value());
    ASSERT_EQ(readVector.size(), static_cast<std::size_t>(elements));
    for (int i = 0; i < elements; ++i)
      wrong += !sameBits(readVector[i].value(), vector[i].value());
    EXPECT_EQ(wrong, 0);
  };
  readAndCheck(true);
  readAndCheck(false);

  for (int i = 0; i < scalars; ++i)
    quantities[i] = Value(valueOf(i + 2), "K");
  for (int i = 0; i < elements; ++i)
    vector[i] = Value(valueOf(i + 3), "m");
  store.push_transaction();
  store.update(0);
  store.update(0, registry);
  store.updateVector(0, QuantityVectorRegistry{{"v", &vector}});
  store.pop_transaction();
  EXPECT_EQ(raw.integer("SELECT COUNT(*) FROM QVV"), elements);
  readAndCheck(true);
}

// A header's id is reserved from its table's autonumber before the row is
// written: ids of rows deleted since are not handed out again, and rows
// inserted later without an id go on after them.
TEST_P(PersistencyOdbcBulkTest, HeaderIdsAreNeverHandedOutTwice) {
  PersistencyOdbc store(dsn_);
  RawConnection raw(dsn_);
  TestNode first("A", nullptr, 0, 1);
  QuantityVector a("v", "", 2, Value(1.0, "m"), &first);
  store.push_transaction();
  store.insertObject(first, 0);
  store.insert(QuantityVectorRegistry{{"v", &a}, {"w", &a}}, 0);
  store.pop_transaction();
  const long firstIds = raw.integer("SELECT MAX(ID) FROM QV");
  store.removeObject(0);
  EXPECT_EQ(raw.integer("SELECT COUNT(*) FROM QV"), 0);

  TestNode second("B", nullptr, 1, 1);
  QuantityVector b("v", "", 3, Value(2.0, "m"), &second);
  store.push_transaction();
  store.insertObject(second, 0);
  store.insert(QuantityVectorRegistry{{"v", &b}}, 0);
  store.pop_transaction();
  EXPECT_GT(raw.integer("SELECT MIN(ID) FROM QV"), firstIds);
  // A vector that grows is written anew, its elements with the ids the
  // table hands out itself.
  b.resize(5);
  store.updateVector(1, QuantityVectorRegistry{{"v", &b}});
  EXPECT_EQ(raw.integer("SELECT COUNT(*) FROM QVV"), 5);
  EXPECT_EQ(raw.integer("SELECT MAX(ID) - MIN(ID) + 1 FROM QVV"), 5);
}

// Updates of several nodes in one transaction: the last value given for a
// variable is the one stored; a variable without its row is named with its
// node, tag and table when the transaction commits, and nothing is kept.
TEST_P(PersistencyOdbcBulkTest, UpdatesOfSeveralNodesGoTogether) {
  PersistencyOdbc store(dsn_);
  RawConnection raw(dsn_);
  TestNode root("R", nullptr, 0, 3);
  TestNode child("C", &root, 1, 1);
  TestNode other("D", &root, 2, 1);
  Quantity t0("T", "", 1.0, "K", &root);
  Quantity t1("T", "", 2.0, "K", &child);
  Quantity t2("T", "", 3.0, "K", &other);
  store.push_transaction();
  for (const TestNode *node : {&root, &child, &other})
    store.insertObject(*node, 0);
  store.insert(QuantityRegistry{{"T", &t0}}, 0);
  store.insert(QuantityRegistry{{"T", &t1}}, 0);
  store.insert(QuantityRegistry{{"T", &t2}}, 0);
  store.pop_transaction();

  store.push_transaction();
  t1 = Value(20.0, "K");
  store.update(1, QuantityRegistry{{"T", &t1}});
  t1 = Value(21.0, "K");
  store.update(1, QuantityRegistry{{"T", &t1}});
  t2 = Value(30.0, "K");
  store.update(2, QuantityRegistry{{"T", &t2}});
  store.pop_transaction();
  EXPECT_EQ(raw.integer("SELECT VALUE FROM Q WHERE NID = 1"), 21);
  EXPECT_EQ(raw.integer("SELECT VALUE FROM Q WHERE NID = 2"), 30);

  Quantity absent("P", "", 5.0, "Pa", &other);
  store.push_transaction();
  t1 = Value(40.0, "K");
  store.update(1, QuantityRegistry{{"T", &t1}});
  store.update(2, QuantityRegistry{{"P", &absent}, {"T", &t2}});
  try {
    store.pop_transaction();
    ADD_FAILURE() << "no error";
  } catch (const ErrorOdbc &error) {
    EXPECT_NE(error.message().find("node 2 has no row with tag \"P\" in table Q"),
              std::string::npos)
        << error.message();
  }
  EXPECT_EQ(store.transactionDepth(), 0);
  EXPECT_EQ(raw.integer("SELECT VALUE FROM Q WHERE NID = 1"), 21);
}

// Inside a read transaction the vectors of a kind are read for the whole
// case and joined with their headers in memory: empty vectors of every kind
// read after filled ones come back empty, the filled ones whole.
TEST_P(PersistencyOdbcBulkTest, EmptyAndFilledVectorsOfEveryKindInOneRead) {
  PersistencyOdbc store(dsn_);
  TestNode root("R", nullptr, 0, 2);
  TestNode child("C", &root, 1, 1);
  QuantityVector filled("a", "", 3, Value(2.5, "m"), &root);
  QuantityVector emptyQ("b", "", 0, Value(), &child);
  IntegerVector filledI("i", "", 2, 7, &root);
  IntegerVector emptyI("j", "", 0, 0, &child);
  StringVector filledS("s", "", 2, "x,y", &child);
  StringVector emptyS("t", "", 0, "", &root);
  store.push_transaction();
  store.insertObject(root, 0);
  store.insertObject(child, 0);
  store.insert(QuantityVectorRegistry{{"a", &filled}}, 0);
  store.insert(QuantityVectorRegistry{{"b", &emptyQ}}, 0);
  store.insert(IntegerVectorRegistry{{"i", &filledI}}, 0);
  store.insert(IntegerVectorRegistry{{"j", &emptyI}}, 0);
  store.insert(StringVectorRegistry{{"t", &emptyS}}, 0);
  store.insert(StringVectorRegistry{{"s", &filledS}}, 0);
  store.pop_transaction();

  QuantityVector a("a", "", 0, Value(), nullptr), b("b", "", 5, Value(1.0, "m"), nullptr);
  IntegerVector i("i", "", 0, 0, nullptr), j("j", "", 4, 1, nullptr);
  StringVector s("s", "", 0, "", nullptr), t("t", "", 3, "z", nullptr);
  store.push_read_transaction();
  store.read(0, QuantityVectorRegistry{{"a", &a}});
  store.read(1, QuantityVectorRegistry{{"b", &b}});
  store.read(1, IntegerVectorRegistry{{"j", &j}});
  store.read(0, IntegerVectorRegistry{{"i", &i}});
  store.read(0, StringVectorRegistry{{"t", &t}});
  store.read(1, StringVectorRegistry{{"s", &s}});
  store.pop_read_transaction();
  ASSERT_EQ(a.size(), 3u);
  EXPECT_EQ(a[2].value(), 2.5);
  EXPECT_EQ(b.size(), 0u);
  EXPECT_EQ(i.value(), (std::vector<int>{7, 7}));
  EXPECT_TRUE(j.value().empty());
  EXPECT_EQ(s.value(), (std::vector<std::string>{"x,y", "x,y"}));
  EXPECT_TRUE(t.value().empty());
}

INSTANTIATE_TEST_SUITE_P(Databases, PersistencyOdbcBulkTest,
                         ::testing::Values(Database::sqlite, Database::postgresql),
                         databaseParameterName);
