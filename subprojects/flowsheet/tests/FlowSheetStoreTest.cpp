// A converged recycle flowsheet written to the real stores and read back
// rebuilds its graph, ports and cuts, and recalculates simultaneously only,
// to the same state; an uncut one is torn in the order of the restored
// units.

#include "FlowsheetTestSupport.h"
#include "OdbcTestStore.h"

#include "velta/flowsheet/FlowSheetPrivate.h"
#include "velta/flowsheet/TaskGraph.h"
#include "velta/persistency/PersistencyOdbc.h"
#include "velta/units/Divider.h"
#include "velta/utility/Error.h"

#include <gtest/gtest.h>

using namespace odbctest;
using namespace flowsheettest;

namespace {

class FlowSheetStore : public StoreTest {
protected:
  void SetUp() override {
    StoreTest::SetUp();
    if (IsSkipped())
      return;
    components.clear();
    for (const auto &[name, data] : lightAndHeavy())
      components.add(new LinearComponent(name, data));
  }
  void TearDown() override { components.clear(); }
  static std::string refusal(FlowSheet &fs) {
    testing::internal::CaptureStdout();
    std::string message = "no error";
    try {
      fs.calculate(0);
    } catch (const ErrorConnectivity &e) {
      message = e.message();
    }
    testing::internal::GetCapturedStdout();
    return message;
  }
};

TEST_P(FlowSheetStore, RestoredRecycleRecalculatesToTheSameState) {
  PersistencyOdbc store(dsn_);
  auto fs = makeFlowSheet<FlowSheet>("RecycleFlowSheet");
  Stream &feed = streamOf(*fs, "F");
  setFeed(feed, {0.3, 0.7}, 350.0, 1e5, 1.0);
  feed.setFlash(static_cast<int>(Velta::Utility::FlashMode::PT));
  auto &divider = dynamic_cast<Divider &>(fs->child("D"));
  divider.outSplit[0] = Value(0.6);
  divider.outSplit[1] = Value(0.4);
  fs->addCut("R");
  testing::internal::CaptureStdout();
  fs->calculate(0);
  testing::internal::GetCapturedStdout();
  const int storedId = fs->insert(store);

  std::string uuid, tag, description, type;
  int parent = 0, root = 0;
  double createdAt = 0, updatedAt = 0;
  store.retrieveObject(storedId, uuid, tag, description, type, parent, root, createdAt,
                       updatedAt);
  EXPECT_EQ(type, "RecycleFlowSheet");
  std::unique_ptr<Node> node =
      NodeFactory().create(type, Defaults(), storedId, &store, nullptr, nullptr);
  auto &back = dynamic_cast<FlowSheet &>(*node);
  // Vertices in the byte order of the tags, the ports and their maps again.
  const auto &graph = back.taskGraph().graph();
  ASSERT_EQ(back.taskGraph().nVertices(), 4u);
  EXPECT_EQ(graph[0]->tag(), "D");
  EXPECT_EQ(graph[1]->tag(), "M");
  EXPECT_EQ(graph[2]->tag(), "sink");
  EXPECT_EQ(graph[3]->tag(), "source");
  EXPECT_EQ(back.taskGraph().nEdges(), 5u);
  // The "bis" stream leaves "source" and is mapped like a feed when restored.
  EXPECT_EQ(back.maxNIn.value(), 2);
  EXPECT_EQ(back.maxNOut.value(), 2);
  EXPECT_FALSE(back.checkFlowsheet());
  EXPECT_NE(back.NITER.value(), -1);
  EXPECT_EQ(back.enableAssignment.size(), 4u);
  EXPECT_TRUE(back.cuts().empty());
  back.restoreCuts();
  ASSERT_EQ(back.cuts().size(), 1u);
  EXPECT_EQ(back.cuts().at("R")->in->tag(), "Rbis");
  back.initializeNonPersistents();

  testing::internal::CaptureStdout();
  back.calculate(0);
  const std::string log = testing::internal::GetCapturedStdout();
  EXPECT_EQ(log.find("Starting sequential pre-computation"), std::string::npos);
  for (const std::string &e : back.errors.value())
    ADD_FAILURE() << e;
  for (const char *s : {"F", "S1", "R", "Rbis", "P"}) {
    const Stream &a = streamOf(*fs, s), &b = streamOf(back, s);
    EXPECT_NEAR(b.Tphase->mdot.value(), a.Tphase->mdot.value(), 1e-9) << s;
    EXPECT_NEAR(b.T.value(), a.T.value(), 1e-7) << s;
    EXPECT_NEAR(b.P.value(), a.P.value(), 1e-6) << s;
  }
}

// An uncut recycle read back numbers its units in tag order (D before M),
// so tearing names the stream that runs from M back to D: S1, where the
// flowsheet as built names R.
TEST_P(FlowSheetStore, RestoredUncutRecycleIsTornInTagOrder) {
  PersistencyOdbc store(dsn_);
  auto fs = makeFlowSheet<FlowSheet>("RecycleFlowSheet");
  setFeed(streamOf(*fs, "F"), {0.3, 0.7}, 350.0, 1e5, 1.0);
  const int storedId = fs->insert(store);
  EXPECT_NE(refusal(*fs).find("cut the stream(s) R"), std::string::npos);

  std::unique_ptr<Node> node =
      NodeFactory().create("RecycleFlowSheet", Defaults(), storedId, &store, nullptr, nullptr);
  auto &back = dynamic_cast<FlowSheet &>(*node);
  ASSERT_EQ(back.taskGraph().graph()[0]->tag(), "D");
  const std::string message = refusal(back);
  EXPECT_NE(message.find("is cyclic: cut the stream(s) S1"), std::string::npos) << message;
  EXPECT_FALSE(back.taskGraph().scheduled());
}

INSTANTIATE_TEST_SUITE_P(Odbc, FlowSheetStore,
                         testing::Values(Database::sqlite, Database::postgresql),
                         databaseParameterName);

} // namespace
