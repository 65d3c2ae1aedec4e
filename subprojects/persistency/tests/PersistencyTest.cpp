#include "velta/persistency/Integer.h"
#include "velta/persistency/Persistency.h"
#include "velta/persistency/String.h"
#include "velta/persistency/fstring.h"
#include "velta/utility/Error.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

namespace {

// A store that records the calls the helpers make, holds one stored
// integer and one stored string for node 7, and can fail a purge.
class RecordingStore : public Persistency {
public:
  std::vector<std::string> calls;
  std::string failingTable;

  void push_transaction() override {
    calls.push_back("push");
    ++depth_;
  }
  int pop_transaction() override {
    calls.push_back("pop");
    if (depth_ > 0)
      --depth_;
    return depth_;
  }
  void rollback_transaction() noexcept override {
    calls.push_back("rollback");
    depth_ = 0;
  }
  void purge(const std::string &table, int id) override {
    if (table == failingTable)
      throw ErrorRunTime("RecordingStore::purge", "failed");
    calls.push_back(table + " " + std::to_string(id));
  }
  void read(int nodeId, const IntegerRegistry &registry) override {
    for (auto &[tag, variable] : registry)
      if (nodeId == 7 && tag == "nStage")
        *variable = 4;
  }
  void read(int nodeId, const StringRegistry &registry) override {
    for (auto &[tag, variable] : registry)
      if (nodeId == 7 && tag == "typeP")
        *variable = "vapor";
  }

  int countRows(const std::string &, int) override { return 0; }
  int getId() override { return 0; }
  void remove(int, const std::string &) override {}
  int countCID(int, const std::string &) override { return 0; }
  int insertObject(const Persistent &, int) override { return 0; }
  void retrieveObject(const std::string &, int &, std::string &, std::string &, std::string &,
                      int &, int &, double &, double &) override {}
  void retrieveObject(int, std::string &, std::string &, std::string &, std::string &, int &,
                      int &, double &, double &) override {}
  void retrieveChildren(int, ChildList &) override {}
  void removeObject(int) override {}
  void updateVector(int, const StringVectorRegistry &) override {}
  void updateVector(int, const QuantityMatrixRegistry &) override {}
  void updateVector(int, const QuantityVectorRegistry &) override {}
  void updateVector(int, const IntegerVectorRegistry &) override {}
  void update(int, const StringRegistry &) override {}
  void update(int, const QuantityRegistry &) override {}
  void update(int, const IntegerRegistry &) override {}
  void update(int) override {}
  void insert(const StringVectorRegistry &, int) override {}
  void insert(const QuantityMatrixRegistry &, int) override {}
  void insert(const QuantityVectorRegistry &, int) override {}
  void insert(const IntegerVectorRegistry &, int) override {}
  void insert(const StringRegistry &, int) override {}
  void insert(const QuantityRegistry &, int) override {}
  void insert(const IntegerRegistry &, int) override {}
  void read(int, const StringVectorRegistry &) override {}
  void read(int, const QuantityMatrixRegistry &) override {}
  void read(int, const QuantityVectorRegistry &) override {}
  void read(int, const IntegerVectorRegistry &) override {}
  void read(int, const QuantityRegistry &) override {}
};

TEST(Persistency, PurgeAllEmptiesTablesInOneTransaction) {
  RecordingStore store;
  EXPECT_EQ(store.purgeAll(), 0);
  const std::vector<std::string> expected = {
      "push", "I -1",  "IVV -1", "IV -1", "Q -1",  "QMV -1", "QM -1",
      "QVV -1", "QV -1", "S -1",  "SVV -1", "SV -1", "N -1",   "pop"};
  EXPECT_EQ(store.calls, expected);
}

TEST(Persistency, FailedPurgeAllRollsBackAndReports) {
  RecordingStore store;
  store.failingTable = "QM";
  EXPECT_THROW(store.purgeAll(), ErrorRunTime);
  ASSERT_FALSE(store.calls.empty());
  EXPECT_EQ(store.calls.back(), "rollback"); // never committed by a pop
  EXPECT_EQ(store.transactionDepth(), 0);
}

TEST(Persistency, ReadIntegerAndString) {
  RecordingStore store;
  EXPECT_EQ(store.readInteger(7, "nStage"), 4);
  EXPECT_EQ(store.readInteger(7, "absent"), -1);
  EXPECT_EQ(store.readInteger(8, "nStage"), -1);
  EXPECT_EQ(store.readString(7, "typeP"), "vapor");
  EXPECT_EQ(store.readString(7, "absent"), "");
}

TEST(Persistency, Sanitize) {
  const double infinity = std::numeric_limits<double>::infinity();
  const struct {
    double in;
    double out;
  } cases[] = {
      {infinity, 8.988465674311579e307},
      {-infinity, -8.988465674311579e307},
      {std::nan(""), 0.0},
      {1e-309, 4.450147717014403e-308}, // 0 < x < 2^-1023 -> 2^-1021
      {-1e-309, -4.450147717014403e-308},
      {2e-308, 2e-308},                 // subnormal above 2^-1023 stays
      {std::ldexp(1.0, -1023), std::ldexp(1.0, -1023)},
      {std::numeric_limits<double>::denorm_min(), 4.450147717014403e-308},
      {0.0, 0.0},
      {-3.5, -3.5},
      {std::numeric_limits<double>::max(), std::numeric_limits<double>::max()},
  };
  for (const auto &c : cases) {
    double value = c.in;
    Persistency::sanitize(value);
    EXPECT_EQ(value, c.out) << c.in;
  }
  // 8.988465674311579e307 is the double just below 2^1023, i.e. 2^1023 - 2^970.
  EXPECT_EQ(8.988465674311579e307, std::ldexp(1.0, 1023) - std::ldexp(1.0, 970));
  EXPECT_EQ(4.450147717014403e-308, std::ldexp(1.0, -1021));
}

TEST(Fstring, FormatsAndGrows) {
  fstring text;
  EXPECT_EQ(text.format("DELETE FROM %s WHERE ID >= %d AND ID < %d", "N", 57, 60), 40);
  EXPECT_EQ(text, "DELETE FROM N WHERE ID >= 57 AND ID < 60");
  // Longer than the first buffer (format length + 256).
  const std::string long_(1000, 'x');
  EXPECT_EQ(text.format("<%s>", long_.c_str()), 1002);
  EXPECT_EQ(text, "<" + long_ + ">");
  EXPECT_EQ(text.format("%s", ""), 0);
  EXPECT_EQ(text, "");
}

} // namespace
