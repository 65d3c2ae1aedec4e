// Heat exchangers inside a flowsheet: a two-stream exchanger whose hot
// outlet feeds one couple of a multi-stream exchanger, solved sequentially
// and then simultaneously, where the flowsheet's Newton system carries both
// units' unknowns; stored, read back and recalculated simultaneously.

#include "FlowsheetTestSupport.h"
#include "OdbcTestStore.h"

#include "velta/units/Exchanger.h"
#include "velta/persistency/PersistencyOdbc.h"
#include "velta/units/MultiExchanger.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace flowsheettest;
using namespace odbctest;

namespace {

// H, C (sources) -> X; X out1 (HO) -> M in1; W (source) -> M in2; the
// other outlets go to the sink.
class ExchangerFlowSheet : public PlainFlowSheet {
public:
  ExchangerFlowSheet(Defaults defaults, int id, Persistency *persistency, Node *parent,
                     Node *root)
      : Object(defaults, id, persistency, parent, root),
        Model(defaults, id, persistency, parent, root),
        VertexBase(defaults, id, persistency, parent, root),
        PlainFlowSheet(defaults, id, persistency, parent, root) {
    setType("ExchangerFlowSheet");
    if (persistency != nullptr)
      return;
    addUnit("Exchanger", Defaults("X", "exchanger"));
    addUnit("MultiExchanger", Defaults("M", "multi-stream exchanger"));
    addStream("StreamOne", gasOptions("H"), "source", "out", "X", "in1");
    addStream("StreamOne", gasOptions("C"), "source", "out", "X", "in2");
    addStream("StreamOne", gasOptions("HO"), "X", "out1", "M", "in1");
    addStream("StreamOne", gasOptions("CO"), "X", "out2", "sink", "in");
    addStream("StreamOne", gasOptions("W"), "source", "out", "M", "in2");
    addStream("StreamOne", gasOptions("MO1"), "M", "out1", "sink", "in");
    addStream("StreamOne", gasOptions("MO2"), "M", "out2", "sink", "in");
  }
};

void registerExchangerFlowSheet() {
  static const bool registered = [] {
    registerFlowsheetTypes();
    NodeFactory().registerType<ExchangerFlowSheet>("ExchangerFlowSheet",
                                                   "Exchanger flowsheet of the tests", "flowsheet",
                                                   true, {}, {}, {}, "", 100, 100);
    return true;
  }();
  (void)registered;
}

void feed(FlowSheet &fs, const char *tag, double T, double ndot) {
  Stream &s = streamOf(fs, tag);
  setFeed(s, {0.5, 0.5}, T, 1e5, ndot);
  s.setFlash(static_cast<int>(Velta::Utility::FlashMode::PT));
}

// Feeds H 400 K 1 kmol/s, C 300 K 2 kmol/s, W 250 K 1 kmol/s; X with
// A = 300 m2 (components of 30 kJ/(kmol*K) in the ideal-gas phase).
std::unique_ptr<FlowSheet> exchangerFlowSheet() {
  registerExchangerFlowSheet();
  std::unique_ptr<Node> node = NodeFactory().create(
      "ExchangerFlowSheet", Defaults("FS", "test flowsheet"), 0, nullptr, nullptr, nullptr);
  std::unique_ptr<FlowSheet> fs(dynamic_cast<FlowSheet *>(node.release()));
  feed(*fs, "H", 400.0, 1.0);
  feed(*fs, "C", 300.0, 2.0);
  feed(*fs, "W", 250.0, 1.0);
  dynamic_cast<Exchanger &>(fs->child("X")).A = Value(300.0, "m2");
  return fs;
}

class ExchangerSolution : public ComponentsFixture {
protected:
  void SetUp() override { use(lightAndHeavy()); }
};

// X is the textbook exchanger of the unit tests (C_hot 30 kW/K, C_cold
// 60 kW/K, UA 30 kW/K, counter-current): Tho = 343.526659839358 K, Tco =
// 328.236670080321 K, duty 1694200.20481925 W. M's two couples have equal
// heat capacity flows (30 kW/K) and UA = 100 W/(m2*K) * 10 m2 = 1 kW/K, so
// the adiabatic solid sits at the mean inlet temperature and each approach
// decays as d_out = d_in * exp(-UA / C) (from C (d_in - d_out) = UA LMTD).
TEST_F(ExchangerSolution, ExchangersSolveInTheSimultaneousSystem) {
  auto owner = exchangerFlowSheet();
  FlowSheet &fs = *owner;
  auto &x = dynamic_cast<Exchanger &>(fs.child("X"));
  auto &m = dynamic_cast<MultiExchanger &>(fs.child("M"));

  const double Tho = 343.526659839358, Tco = 328.236670080321;
  const double Ts = (Tho + 250.0) / 2.0, d = (Tho - 250.0) / 2.0 * std::exp(-1.0 / 30.0);
  for (int pass = 0; pass < 2; ++pass) {
    if (pass == 1) {
      // The second calculation is simultaneous only: from a disturbed
      // duty and solid temperature, Newton must bring both units back.
      x.dutyhot = Value(1.2e6, "W");
      m.Ts = Value(320.0, "K");
    }
    testing::internal::CaptureStdout();
    fs.calculate(0);
    const std::string log = testing::internal::GetCapturedStdout();
    if (pass == 0) {
      EXPECT_NE(log.find("Switch to simultaneous computation"), std::string::npos) << log;
    }
    for (const std::string &e : fs.errors.value())
      ADD_FAILURE() << "pass " << pass << ": " << e;
    // The flowsheet's unknowns include the exchangers' own.
    EXPECT_GE(fs.size(), x.size() + m.size());
    if (pass == 1) {
      EXPECT_GT(fs.NITER.value(), 0);
    }
    EXPECT_NEAR(x.dutyhot.value(), 1694200.20481925, 1e-3) << pass;
    EXPECT_NEAR(streamOf(fs, "HO").T.value(), Tho, 1e-6) << pass;
    EXPECT_NEAR(streamOf(fs, "CO").T.value(), Tco, 1e-6) << pass;
    EXPECT_NEAR(m.Ts.value(), Ts, 1e-6) << pass;
    EXPECT_NEAR(streamOf(fs, "MO1").T.value(), Ts + d, 1e-6) << pass;
    EXPECT_NEAR(streamOf(fs, "MO2").T.value(), Ts - d, 1e-6) << pass;
    EXPECT_NEAR(m.duty[0].value() + m.duty[1].value(), 0.0, 1e-3) << pass;
    for (const char *unit : {"X", "M"}) {
      auto &vertex = dynamic_cast<VertexBase &>(fs.child(unit));
      vertex.checkBalance();
      for (const std::string &w : vertex.warnings.value())
        EXPECT_EQ(w.find("unbalance"), std::string::npos) << unit << ": " << w;
    }
  }
}

class ExchangerFlowSheetStore : public StoreTest {
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
};

TEST_P(ExchangerFlowSheetStore, RestoredExchangersRecalculateToTheSameState) {
  PersistencyOdbc store(dsn_);
  auto fs = exchangerFlowSheet();
  testing::internal::CaptureStdout();
  fs->calculate(0);
  testing::internal::GetCapturedStdout();
  const char *streams[] = {"HO", "CO", "MO1", "MO2"};
  std::vector<double> solved;
  for (const char *tag : streams)
    solved.push_back(streamOf(*fs, tag).T.value());
  const int storedId = fs->insert(store);

  std::string uuid, tag, description, type;
  int parent = 0, root = 0;
  double createdAt = 0, updatedAt = 0;
  store.retrieveObject(storedId, uuid, tag, description, type, parent, root, createdAt,
                       updatedAt);
  EXPECT_EQ(type, "ExchangerFlowSheet");
  std::unique_ptr<Node> node =
      NodeFactory().create(type, Defaults(), storedId, &store, nullptr, nullptr);
  auto &back = dynamic_cast<FlowSheet &>(*node);
  back.restoreCuts();
  back.initializeNonPersistents();
  auto &x = dynamic_cast<Exchanger &>(back.child("X"));
  auto &m = dynamic_cast<MultiExchanger &>(back.child("M"));
  EXPECT_EQ(x.A.value(), 300.0);
  EXPECT_EQ(m.nStreams.value(), 2);
  EXPECT_FALSE(x.isPristine());

  testing::internal::CaptureStdout();
  back.calculate(0);
  const std::string log = testing::internal::GetCapturedStdout();
  EXPECT_EQ(log.find("Starting sequential pre-computation"), std::string::npos);
  for (const std::string &e : back.errors.value())
    ADD_FAILURE() << e;
  for (std::size_t k = 0; k < solved.size(); ++k)
    EXPECT_NEAR(streamOf(back, streams[k]).T.value(), solved[k], 1e-6) << streams[k];
  EXPECT_NEAR(x.dutyhot.value(), 1694200.20481925, 1e-3);
  EXPECT_NEAR(m.duty[0].value() + m.duty[1].value(), 0.0, 1e-3);
}

INSTANTIATE_TEST_SUITE_P(Odbc, ExchangerFlowSheetStore,
                         testing::Values(Database::sqlite, Database::postgresql),
                         databaseParameterName);

} // namespace
