// Variables of object trees in the real stores: insertion, reading back into
// freshly built objects, and updates in place and by replacement.

#include "NodeTestTypes.h"
#include "OdbcTestStore.h"

#include "velta/persistency/ErrorOdbc.h"
#include "velta/persistency/NodeFactory.h"
#include "velta/persistency/PersistencyOdbc.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <limits>

using namespace odbctest;

namespace {

// A case of two units: U1 with two stages, U2 with three. In-memory ids:
// CASE 0, U1 1, U1:Sphase[0] 2, U1:Sphase[1] 3, U2 4, U2:Sphase[0..2] 5..7.
std::unique_ptr<Node> createCase() {
  registerTestTypes();
  Defaults options("CASE", "Test case");
  options.setInteger("nUnits", 2).setInteger("U2.nStages", 3).setString("title", "first");
  return NodeFactory().create("TestFlowsheet", options, 0, nullptr, nullptr, nullptr);
}

std::unique_ptr<Node> readCase(Persistency &store, int storedId) {
  return NodeFactory().create("TestFlowsheet", Defaults(), storedId, &store, nullptr, nullptr);
}

Object &object(Node &node) { return dynamic_cast<Object &>(node); }

std::string at(int nid) { return std::to_string(nid); }

// Element rows of a node's vector, in id order.
std::vector<long> elementIds(RawConnection &raw, const std::string &header, int nid,
                             const std::string &tag) {
  const std::string elements = header + "V";
  const std::string key = header == "QM" ? "MID" : "VID";
  return raw.integers("SELECT ID FROM " + elements + " WHERE " + key + " IN (SELECT ID FROM " +
                      header + " WHERE NID = " + at(nid) + " AND TAG = '" + tag +
                      "') ORDER BY ID");
}

std::vector<long> elementValues(RawConnection &raw, const std::string &header, int nid,
                                const std::string &tag, const std::string &expression = "VALUE") {
  const std::string elements = header + "V";
  const std::string key = header == "QM" ? "MID" : "VID";
  return raw.integers("SELECT " + expression + " FROM " + elements + " WHERE " + key +
                      " IN (SELECT ID FROM " + header + " WHERE NID = " + at(nid) +
                      " AND TAG = '" + tag + "') ORDER BY ID");
}

class PersistencyOdbcVariablesTest : public StoreTest {};

} // namespace

TEST_P(PersistencyOdbcVariablesTest, TreeIsStoredInOneTransactionFromTheFirstFreeId) {
  PersistencyOdbc store(dsn_);
  // Ids 0 .. 2 are taken by another tree.
  TestNode other("OTHER", nullptr, 0, 3);
  store.insertObject(other, 0);
  auto tree = createCase();
  Object &root = object(*tree);
  root.Q("U1.T").setInput();
  root.Q("U1:Sphase[1].mdot").setOutput();
  root.element<QuantityVector>("U2:Sphase[2].mdotcomps").input() = true;
  root.element<IntegerVector>("U1:Sphase[0].counts").value() = {};

  RawConnection observer(dsn_);
  store.push_transaction();
  EXPECT_EQ(tree->insert(store), 3);
  // Nothing is visible before the outermost commit.
  EXPECT_EQ(observer.totalRows(), 1);
  store.pop_transaction();

  // ID, PARENT, ROOT, RANGE of every node, stored from id 3.
  const std::vector<std::vector<long>> nodes = {{3, 3, 3, 8}, {4, 3, 3, 3}, {5, 4, 3, 1},
                                                {6, 4, 3, 1}, {7, 3, 3, 4}, {8, 7, 3, 1},
                                                {9, 7, 3, 1}, {10, 7, 3, 1}};
  for (const auto &node : nodes) {
    const std::string where = " FROM N WHERE ID = " + at(node[0]);
    EXPECT_EQ(observer.integer("SELECT PARENT" + where), node[1]) << node[0];
    EXPECT_EQ(observer.integer("SELECT ROOT" + where), node[2]) << node[0];
    EXPECT_EQ(observer.integer("SELECT RANGE" + where), node[3]) << node[0];
  }
  EXPECT_EQ(store.getId(), 11);

  // One row per variable, under its owner's stored id: nUnits, 2 x nStages.
  EXPECT_EQ(observer.integers("SELECT NID FROM I ORDER BY NID"), (std::vector<long>{3, 4, 7}));
  EXPECT_EQ(observer.integer("SELECT VALUE FROM I WHERE NID = 7 AND TAG = 'nStages'"), 3);
  // Scalars: T and stageT[i] of the units, mdot of the five phases.
  EXPECT_EQ(observer.integer("SELECT COUNT(*) FROM Q"), (1 + 2) + (1 + 3) + 5);
  EXPECT_EQ(observer.integer("SELECT INPUT FROM Q WHERE NID = 4 AND TAG = 'T'"), 1);
  EXPECT_EQ(observer.integer("SELECT OUTPUT FROM Q WHERE NID = 4 AND TAG = 'T'"), 0);
  EXPECT_EQ(observer.integer("SELECT OUTPUT FROM Q WHERE NID = 6 AND TAG = 'mdot'"), 1);
  EXPECT_EQ(observer.integer("SELECT INPUT FROM QV WHERE NID = 10"), 1);
  EXPECT_EQ(observer.integer("SELECT INPUT FROM QV WHERE NID = 9"), 0);
  const std::string massFlow = Value(1.0, "kg/s").uom();
  EXPECT_EQ(observer.integer("SELECT COUNT(*) FROM QV WHERE UNIT = '" + massFlow + "'"), 5);

  // k(i, j) = 10 i + j, a 2 x 3 matrix, stored column by column.
  EXPECT_EQ(elementValues(observer, "QM", 9, "k"), (std::vector<long>{0, 10, 1, 11, 2, 12}));
  // Elements of one vector hold consecutive ids.
  const std::vector<long> ids = elementIds(observer, "QM", 9, "k");
  ASSERT_EQ(ids.size(), 6u);
  EXPECT_EQ(ids.back() - ids.front(), 5);
  // 0.5 kg/s three times, in thousandths.
  EXPECT_EQ(elementValues(observer, "QV", 8, "mdotcomps", "CAST(VALUE * 1000 AS INTEGER)"),
            (std::vector<long>{500, 500, 500}));
  // An empty vector has its header and no elements.
  EXPECT_EQ(observer.integer("SELECT COUNT(*) FROM IV WHERE NID = 5"), 1);
  EXPECT_TRUE(elementIds(observer, "IV", 5, "counts").empty());
  EXPECT_EQ(elementValues(observer, "IV", 6, "counts"), (std::vector<long>{7, 7}));
  EXPECT_EQ(observer.integer("SELECT COUNT(*) FROM SVV"), 5 * 2);
}

TEST_P(PersistencyOdbcVariablesTest, TreeIsReadBackIntoFreshlyBuiltObjects) {
  auto tree = createCase();
  Object &original = object(*tree);
  original.S("title") = "read back";
  original.Q("U1.T") = Value(75.0, "\u00b0C");
  original.Q("U1.T").setInput();
  original.Q("U2:Sphase[1].mdot").setOutput();
  original.Q("U2:Sphase[2].mdot") = Value(1.0 / 3.0, "kg/s");
  auto &mdotcomps = original.element<QuantityVector>("U2:Sphase[1].mdotcomps");
  mdotcomps.value() = {Value(1.0, "kg/s"), Value(2.0, "kg/s"), Value(3.0, "kg/s"),
                       Value(4.0, "kg/s"), Value(5.0, "kg/s")};
  mdotcomps.input() = true;
  original.element<StringVector>("U1:Sphase[0].names").value() = {"x", "y", "z"};
  original.element<IntegerVector>("U2:Sphase[2].counts").value() = {};
  original.Q("U2:Sphase[0].k[1][2]") = 99.0;
  // Not storable as they are: stored as the nearest storable numbers.
  original.Q("U2.T") = Value(std::numeric_limits<double>::infinity(), "K");
  original.element<QuantityVector>("U1:Sphase[1].mdotcomps")[1] =
      Value(std::numeric_limits<double>::quiet_NaN(), "kg/s");

  PersistencyOdbc store(dsn_);
  ASSERT_EQ(tree->insert(store), 0);

  std::unique_ptr<Node> restored;
  try {
    restored = readCase(store, 0);
  } catch (const Error &error) {
    FAIL() << error.message();
  }
  Object &back = object(*restored);
  EXPECT_EQ(back.S("title"), "read back");
  EXPECT_EQ(back.I("U2.nStages"), 3);
  EXPECT_DOUBLE_EQ(back.Q("U1.T").value(), 348.15); // 75 degC in K
  EXPECT_EQ(back.Q("U1.T").uom(), original.Q("U1.T").uom());
  EXPECT_TRUE(back.Q("U1.T").input());
  EXPECT_FALSE(back.Q("U1.T").output());
  EXPECT_TRUE(back.Q("U2:Sphase[1].mdot").output());
  EXPECT_EQ(back.Q("U2.T").value(), 8.988465674311579e307);
  // Doubles come back bit for bit.
  EXPECT_EQ(back.Q("U2:Sphase[2].mdot").value(), 1.0 / 3.0);

  const auto &readComps = back.element<QuantityVector>("U2:Sphase[1].mdotcomps");
  ASSERT_EQ(readComps.size(), 5u);
  for (std::size_t i = 0; i < 5; ++i) {
    EXPECT_EQ(readComps[i].value(), 1.0 + i);
    EXPECT_EQ(readComps[i].uom(), mdotcomps[0].uom());
  }
  EXPECT_TRUE(readComps.input());
  EXPECT_FALSE(readComps.output());
  EXPECT_EQ(back.element<QuantityVector>("U1:Sphase[1].mdotcomps")[1].value(), 0.0);
  EXPECT_EQ(back.element<StringVector>("U1:Sphase[0].names").value(),
            (std::vector<std::string>{"x", "y", "z"}));
  EXPECT_TRUE(back.element<IntegerVector>("U2:Sphase[2].counts").value().empty());
  EXPECT_EQ(back.element<IntegerVector>("U2:Sphase[1].counts").value(),
            (std::vector<int>{7, 7}));
  const auto &k = back.element<QuantityMatrix>("U2:Sphase[0].k");
  EXPECT_EQ(k.rows(), 2u);
  EXPECT_EQ(k(1, 2).value(), 99.0);
  EXPECT_EQ(k(0, 1).value(), 1.0);
}

TEST_P(PersistencyOdbcVariablesTest, UpdatesRewriteValuesInPlaceOrByReplacement) {
  auto tree = createCase();
  PersistencyOdbc store(dsn_);
  tree->insert(store);
  RawConnection raw(dsn_);
  // Stored ids: U1 1, U1:Sphase[0] 2, U1:Sphase[1] 3.
  const std::vector<long> kIds = elementIds(raw, "QM", 3, "k");
  const std::vector<long> namesIds = elementIds(raw, "SV", 2, "names");

  Object &root = object(*tree);
  // Same length: rewritten in place; another length: replaced.
  root.element<QuantityMatrix>("U1:Sphase[1].k")(0, 2) = 42.0;
  root.element<StringVector>("U1:Sphase[0].names").value() = {"p", "q", "r"};
  root.element<IntegerVector>("U1:Sphase[1].counts").value() = {};
  root.Q("U1.T") = Value(std::numeric_limits<double>::quiet_NaN(), "K");
  root.S("title") = "updated";
  root.I("U1.nStages") = 5;

  const double before =
      std::chrono::duration<double>(std::chrono::system_clock::now().time_since_epoch()).count();
  EXPECT_EQ(tree->update(store), 0);
  const double after =
      std::chrono::duration<double>(std::chrono::system_clock::now().time_since_epoch()).count();

  EXPECT_EQ(elementIds(raw, "QM", 3, "k"), kIds);
  EXPECT_EQ(elementValues(raw, "QM", 3, "k"), (std::vector<long>{0, 10, 1, 11, 42, 12}));
  const std::vector<long> newNames = elementIds(raw, "SV", 2, "names");
  ASSERT_EQ(newNames.size(), 3u);
  EXPECT_GT(newNames.front(), namesIds.back());
  EXPECT_EQ(newNames.back() - newNames.front(), 2);
  EXPECT_TRUE(elementIds(raw, "IV", 3, "counts").empty());
  EXPECT_EQ(raw.integer("SELECT COUNT(*) FROM IV WHERE NID = 3"), 1);
  EXPECT_EQ(raw.integer("SELECT VALUE FROM Q WHERE NID = 1 AND TAG = 'T'"), 0);
  EXPECT_EQ(raw.integer("SELECT VALUE FROM I WHERE NID = 1 AND TAG = 'nStages'"), 5);
  // Only values change: no row is added.
  EXPECT_EQ(raw.integer("SELECT COUNT(*) FROM I"), 3);

  auto back = readCase(store, 0);
  EXPECT_EQ(object(*back).S("title"), "updated");
  EXPECT_EQ(object(*back).element<StringVector>("U1:Sphase[0].names").value(),
            (std::vector<std::string>{"p", "q", "r"}));

  // Every node's update time is the client's time of the update.
  for (int id = 0; id < 8; ++id) {
    std::string uuid, tag, description, type;
    int parent = 0, rootId = 0;
    double createdAt = 0, updatedAt = 0;
    store.retrieveObject(id, uuid, tag, description, type, parent, rootId, createdAt, updatedAt);
    EXPECT_GE(updatedAt, std::floor(before)) << id;
    EXPECT_LE(updatedAt, after + 1) << id;
  }
}

TEST_P(PersistencyOdbcVariablesTest, ScalarUpdateMatchesTagsExactlyAndRefusesVariablesWithoutRows) {
  auto tree = createCase();
  PersistencyOdbc store(dsn_);
  tree->insert(store);
  Quantity absent("absent", "", 1.0, "K", nullptr);
  Quantity lowerCase("t", "", 2.0, "K", nullptr);
  Quantity temperature("T", "", 3.0, "K", nullptr);
  store.push_transaction();
  store.update(1, QuantityRegistry{{"T", &temperature}});
  EXPECT_EQ(store.transactionDepth(), 1);
  store.pop_transaction();
  RawConnection raw(dsn_);
  EXPECT_EQ(raw.integer("SELECT VALUE FROM Q WHERE NID = 1 AND TAG = 'T'"), 3);
  EXPECT_EQ(raw.integer("SELECT COUNT(*) FROM Q WHERE NID = 1"), 3);
  // A variable that matches no row (also by case only) is an error, and
  // nothing of the update is kept. Updates go to the store together when
  // the transaction commits: the error leaves the commit, which rolls back.
  for (Quantity *unmatched : {&absent, &lowerCase}) {
    temperature = Value(4.0, "K");
    store.push_transaction();
    try {
      store.update(1, QuantityRegistry{{unmatched->tag(), unmatched}, {"T", &temperature}});
      store.pop_transaction();
      ADD_FAILURE() << "no error for " << unmatched->tag();
    } catch (const ErrorOdbc &error) {
      EXPECT_NE(error.message().find("no row with tag \"" + unmatched->tag() + "\" in table Q"),
                std::string::npos)
          << error.message();
    }
    store.rollback_transaction();
    EXPECT_EQ(raw.integer("SELECT VALUE FROM Q WHERE NID = 1 AND TAG = 'T'"), 3);
  }
  // So is touching a node without a row.
  EXPECT_THROW(store.update(999), ErrorOdbc);
}

TEST_P(PersistencyOdbcVariablesTest, VariableWithoutOwnerIsRefusedAndNothingIsCommitted) {
  PersistencyOdbc store(dsn_);
  TestNode node("N", nullptr, 0, 1);
  Integer owned("a", "", 1, &node);
  Integer orphan("b", "", 2, nullptr);
  store.push_transaction();
  store.insertObject(node, 0);
  try {
    store.insert(IntegerRegistry{{"a", &owned}, {"b", &orphan}}, 0);
    FAIL() << "no error";
  } catch (const ErrorOdbc &error) {
    EXPECT_NE(error.message().find("element has no parent"), std::string::npos);
  }
  store.rollback_transaction();
  EXPECT_EQ(RawConnection(dsn_).totalRows(), 0);
}

TEST_P(PersistencyOdbcVariablesTest, SeveralVectorsOfOneNodeKeepTheirOwnElements) {
  PersistencyOdbc store(dsn_);
  TestNode node("N", nullptr, 0, 1);
  // Created out of tag order: stored in tag order all the same.
  QuantityVector b("b", "", 2, Value(2.0, "m"), &node);
  QuantityVector a("a", "", 3, Value(1.0, "m"), &node);
  QuantityVector c("c", "", 0, Value(), &node);
  StringVector s1("s1", "", 1, "one", &node);
  StringVector s2("s2", "", 2, "two", &node);
  IntegerVector i1("i1", "", 2, 1, &node);
  IntegerVector i2("i2", "", 1, 2, &node);
  store.push_transaction();
  store.insertObject(node, 0);
  store.insert(QuantityVectorRegistry{{"b", &b}, {"a", &a}, {"c", &c}}, 0);
  store.insert(StringVectorRegistry{{"s1", &s1}, {"s2", &s2}}, 0);
  store.insert(IntegerVectorRegistry{{"i1", &i1}, {"i2", &i2}}, 0);
  store.pop_transaction();
  RawConnection raw(dsn_);
  EXPECT_LT(elementIds(raw, "QV", 0, "a").back(), elementIds(raw, "QV", 0, "b").front());
  EXPECT_EQ(raw.integer("SELECT COUNT(*) FROM QV WHERE TAG = 'c' AND UNIT = ''"), 1);

  a.value() = {Value(5.0, "m")};
  b[1] = Value(7.0, "m");
  i2.value() = {8, 9};
  store.push_transaction();
  store.updateVector(0, QuantityVectorRegistry{{"a", &a}, {"b", &b}});
  store.updateVector(0, IntegerVectorRegistry{{"i1", &i1}, {"i2", &i2}});
  store.pop_transaction();

  QuantityVector readA("a", "", 0, Value(), nullptr);
  QuantityVector readB("b", "", 0, Value(), nullptr);
  QuantityVector readC("c", "", 4, Value(1.0, "m"), nullptr);
  store.read(0, QuantityVectorRegistry{{"a", &readA}, {"b", &readB}, {"c", &readC}});
  ASSERT_EQ(readA.size(), 1u);
  EXPECT_EQ(readA[0].value(), 5.0);
  EXPECT_EQ(readA[0].uom(), Value(1.0, "m").uom());
  ASSERT_EQ(readB.size(), 2u);
  EXPECT_EQ(readB[0].value(), 2.0);
  EXPECT_EQ(readB[1].value(), 7.0);
  EXPECT_EQ(readC.size(), 0u);
  IntegerVector readI1("i1", "", 0, 0, nullptr);
  IntegerVector readI2("i2", "", 0, 0, nullptr);
  store.read(0, IntegerVectorRegistry{{"i1", &readI1}, {"i2", &readI2}});
  EXPECT_EQ(readI1.value(), (std::vector<int>{1, 1}));
  EXPECT_EQ(readI2.value(), (std::vector<int>{8, 9}));
  StringVector readS2("s2", "", 0, "", nullptr);
  store.read(0, StringVectorRegistry{{"s2", &readS2}});
  EXPECT_EQ(readS2.value(), (std::vector<std::string>{"two", "two"}));
}

INSTANTIATE_TEST_SUITE_P(Databases, PersistencyOdbcVariablesTest,
                         ::testing::Values(Database::sqlite, Database::postgresql),
                         databaseParameterName);
