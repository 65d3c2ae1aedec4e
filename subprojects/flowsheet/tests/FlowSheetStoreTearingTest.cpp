// An uncut recycle flowsheet read back from the real stores numbers its
// units in tag order (D before M), so tearing names the stream that runs
// from M back to D: S1, where the flowsheet as built names R.

#include "FlowsheetTestSupport.h"
#include "OdbcTestStore.h"

#include "velta/flowsheet/TaskGraph.h"
#include "velta/persistency/PersistencyOdbc.h"
#include "velta/utility/Error.h"

#include <gtest/gtest.h>

using namespace odbctest;
using namespace flowsheettest;

namespace {

class FlowSheetStoreTearing : public StoreTest {
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

TEST_P(FlowSheetStoreTearing, RestoredUncutRecycleIsTornInTagOrder) {
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

INSTANTIATE_TEST_SUITE_P(Odbc, FlowSheetStoreTearing,
                         testing::Values(Database::sqlite, Database::postgresql),
                         databaseParameterName);

} // namespace
