// Updates that go to the store several rows per statement: runs that pass
// through every statement size (64 + 16 + 4 + 1 rows), or whose tail is
// padded with copies of its last row (16 + 14), must reach every row, each
// with its own value.

#include "NodeTestTypes.h"
#include "OdbcTestStore.h"

#include "velta/persistency/Integer.h"
#include "velta/persistency/IntegerVector.h"
#include "velta/persistency/PersistencyOdbc.h"
#include "velta/persistency/Quantity.h"
#include "velta/persistency/QuantityVector.h"
#include "velta/persistency/String.h"
#include "velta/persistency/StringVector.h"

#include <gtest/gtest.h>

#include <deque>
#include <string>
#include <vector>

using namespace odbctest;

namespace {

// Tags that sort like their numbers: "x00" .. "x84".
std::string tagOf(const char *prefix, int i) {
  return prefix + std::string(i < 10 ? "0" : "") + std::to_string(i);
}

class PersistencyOdbcUpdateTest : public StoreTest {};

} // namespace

TEST_P(PersistencyOdbcUpdateTest, RunsThroughEveryStatementSizeReachEveryRow) {
  PersistencyOdbc store(dsn_);
  for (const int kRows : {64 + 16 + 4 + 1, 30}) {
    SCOPED_TRACE(kRows);
    store.purgeAll();
    TestNode node("N", nullptr, 0, 1);
    std::deque<Quantity> quantities;
    std::deque<Integer> integers;
    std::deque<String> strings;
    QuantityRegistry quantityRegistry;
    IntegerRegistry integerRegistry;
    StringRegistry stringRegistry;
    for (int i = 0; i < kRows; ++i) {
      quantities.emplace_back(tagOf("q", i), "", 1.0, "K", &node);
      quantityRegistry[tagOf("q", i)] = &quantities.back();
      integers.emplace_back(tagOf("i", i), "", 1, &node);
      integerRegistry[tagOf("i", i)] = &integers.back();
      strings.emplace_back(tagOf("s", i), "", "old", &node);
      stringRegistry[tagOf("s", i)] = &strings.back();
    }
    // Same length: rewritten in place; 3 elements becoming kRows: replaced.
    QuantityVector inPlace("v", "", kRows, Value(1.0, "m"), &node);
    StringVector texts("t", "", kRows, "old", &node);
    IntegerVector replaced("r", "", 3, 1, &node);
    store.push_transaction();
    store.insertObject(node, 0);
    store.insert(quantityRegistry, 0);
    store.insert(integerRegistry, 0);
    store.insert(stringRegistry, 0);
    store.insert(QuantityVectorRegistry{{"v", &inPlace}}, 0);
    store.insert(StringVectorRegistry{{"t", &texts}}, 0);
    store.insert(IntegerVectorRegistry{{"r", &replaced}}, 0);
    store.pop_transaction();

    std::vector<int> expectedIntegers;
    std::vector<std::string> expectedTexts;
    for (int i = 0; i < kRows; ++i) {
      quantities[i] = Value(1000.5 + i, "K");
      integers[i] = -i;
      strings[i] = "new " + std::to_string(i);
      inPlace[i] = Value(0.25 * i, "m");
      expectedTexts.push_back("text " + std::to_string(i));
      expectedIntegers.push_back(7 * i);
    }
    texts.value() = expectedTexts;
    replaced.value() = expectedIntegers;
    store.push_transaction();
    store.update(0, quantityRegistry);
    store.update(0, integerRegistry);
    store.update(0, stringRegistry);
    store.updateVector(0, QuantityVectorRegistry{{"v", &inPlace}});
    store.updateVector(0, StringVectorRegistry{{"t", &texts}});
    store.updateVector(0, IntegerVectorRegistry{{"r", &replaced}});
    store.pop_transaction();

    RawConnection raw(dsn_);
    EXPECT_EQ(raw.integer("SELECT COUNT(*) FROM Q"), kRows);
    EXPECT_EQ(raw.integer("SELECT COUNT(*) FROM QVV"), kRows);
    // The replacement's elements keep consecutive ids.
    EXPECT_EQ(raw.integer("SELECT MAX(ID) - MIN(ID) + 1 FROM IVV"), kRows);

    for (int i = 0; i < kRows; ++i) {
      quantities[i] = Value(0.0, "K");
      integers[i] = 0;
      strings[i] = "";
    }
    store.read(0, quantityRegistry);
    store.read(0, integerRegistry);
    store.read(0, stringRegistry);
    QuantityVector readInPlace("v", "", 0, Value(), nullptr);
    StringVector readTexts("t", "", 0, "", nullptr);
    IntegerVector readReplaced("r", "", 0, 0, nullptr);
    store.read(0, QuantityVectorRegistry{{"v", &readInPlace}});
    store.read(0, StringVectorRegistry{{"t", &readTexts}});
    store.read(0, IntegerVectorRegistry{{"r", &readReplaced}});
    ASSERT_EQ(readInPlace.size(), static_cast<std::size_t>(kRows));
    for (int i = 0; i < kRows; ++i) {
      EXPECT_EQ(quantities[i].value(), 1000.5 + i) << i;
      EXPECT_EQ(integers[i].value(), -i) << i;
      EXPECT_EQ(strings[i].value(), "new " + std::to_string(i)) << i;
      EXPECT_EQ(readInPlace[i].value(), 0.25 * i) << i;
    }
    EXPECT_EQ(readTexts.value(), expectedTexts);
    EXPECT_EQ(readReplaced.value(), expectedIntegers);
  }
}

INSTANTIATE_TEST_SUITE_P(Databases, PersistencyOdbcUpdateTest,
                         ::testing::Values(Database::sqlite,
                                           Database::postgresql),
                         databaseParameterName);
