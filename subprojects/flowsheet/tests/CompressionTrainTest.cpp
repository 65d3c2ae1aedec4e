// The compression stage and the intercooled compressor trains: the stage's
// units and ports, the trains' stage pressures for one to three stages,
// their total electrical power and intercooler duty, and the options a
// train keeps for itself.

#include "FlowsheetTestSupport.h"

#include "velta/flowsheet/CompressionStage.h"
#include "velta/flowsheet/MultiCompressorIntercooled.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

using namespace flowsheettest;

namespace {

class CompressionTrain : public ComponentsFixture {
protected:
  // One ideal gas that never condenses here: psat 1e9 Pa.
  void SetUp() override {
    verbosityGlobal = 0;
    PureData gas;
    gas.mw = 29.0;
    gas.cpv = 30000.0;
    gas.psat = 1e9;
    use({{"Gas", gas}});
    registerFlowsheetTypes();
  }
  void TearDown() override {
    verbosityGlobal = 2;
    ComponentsFixture::TearDown();
  }

  // F (1 kmol/s of gas at 300 K and 1 bar) -> train "K" -> G (gas), W
  // (condensate), connected through the train's synonyms.
  std::unique_ptr<FlowSheet> plant(const std::string &type, Defaults options) {
    auto fs = makeFlowSheet<FlowSheet>("PlainFlowSheet", "PLANT");
    fs->addUnit(type, options);
    fs->addStream("StreamVapor", Defaults("F", "feed"), "source", "out", "K", "in1");
    fs->addStream("StreamVapor", Defaults("G", "compressed gas"), "K", "gasout", "sink", "in");
    fs->addStream("StreamLiquid", Defaults("W", "condensate"), "K", "liqout", "sink", "in");
    setFeed(streamOf(*fs, "F"), {1.0}, 300.0, 1e5, 1.0);
    return fs;
  }
};

// The series arrangement under a train: its variables with their defaults
// and the train's presets, its children and its log lines in the order it
// builds them.
TEST_F(CompressionTrain, ArrangementVariablesChildrenAndLog) {
  verbosityGlobal = 4;
  testing::internal::CaptureStdout();
  std::unique_ptr<Node> node = NodeFactory().create(
      "MultiCompressorIntercooled2", Defaults("K", "train"), 0, nullptr, nullptr, nullptr);
  const std::string log = testing::internal::GetCapturedStdout();
  verbosityGlobal = 0;
  auto &train = dynamic_cast<MultiStageOneTwo &>(*node);
  EXPECT_EQ(train.I("nStage"), 2);
  EXPECT_EQ(train.Q("deltaP[0]").value(), 0.0);
  EXPECT_EQ(train.deltaP[0].description(), "Pressure difference of item 0");
  EXPECT_EQ(train.S("pressureoption"), "equilibrium");
  EXPECT_EQ(train.S("typeT"), "CompressionStage");
  EXPECT_EQ(train.S("typeU"), "StreamVapor");
  EXPECT_EQ(train.S("typeV"), "StreamLiquid");
  for (const char *child : {"S[0]", "S[1]", "MIX", "A[0]", "B[0]", "B[1]", "FEED", "OUT1", "OUT2"})
    EXPECT_TRUE(train.hasChild(child)) << child;
  EXPECT_FALSE(train.hasChild("A[1]"));
  EXPECT_EQ(train.child("A[0]").description(), "stream from stage 0 to stage 1");
  EXPECT_EQ(train.child("OUT1").description(), "product from stage 1");
  EXPECT_EQ(MultiStageOneTwo::streamTag(1, 2), "B[2]");
  const char *const lines[] = {
      "MultiStageOneTwo::MultiStageOneTwo *** Entered for K with options = ",
      "MultiStageOneTwo::MultiStageOneTwo *** Define unit operations\n",
      "MultiStageOneTwo::MultiStageOneTwo **** Defining stage S[0]\n",
      "MultiStageOneTwo::MultiStageOneTwo **** Defining stage S[1]\n",
      "MultiStageOneTwo::MultiStageOneTwo *** Define stream objects and connect\n",
      "MultiStageOneTwo::MultiStageOneTwo **** Connecting stream A[0] from S[0] to S[1]\n",
      "MultiStageOneTwo::MultiStageOneTwo **** Connecting crossflow stream B[0] from S[0] to MIX\n",
      "MultiStageOneTwo::MultiStageOneTwo **** Connecting crossflow stream B[1] from S[1] to MIX\n",
      "MultiStageOneTwo::MultiStageOneTwo **** Setting input stream\n",
      "MultiStageOneTwo::MultiStageOneTwo **** Setting output streams\n"};
  std::size_t at = 0;
  for (const char *line : lines) {
    const std::size_t found = log.find(line, at);
    ASSERT_NE(found, std::string::npos) << line;
    at = found;
  }
}

TEST_F(CompressionTrain, StageHoldsCompressorAndIntercooler) {
  auto stage = makeFlowSheet<CompressionStage>("CompressionStage", "S");
  ASSERT_NE(stage, nullptr);
  EXPECT_EQ(stage->type(), "CompressionStage");
  EXPECT_EQ(stage->childCount(), 8u);
  EXPECT_EQ(stage->child("C").type(), "Compressor");
  EXPECT_EQ(stage->child("COOL").type(), "FlashDegasser");
  EXPECT_EQ(stage->inletConnection("S02"), 0);
  EXPECT_EQ(streamOf(*stage, "S04").fromPort.value(), "out1");
  EXPECT_EQ(streamOf(*stage, "S05").fromPort.value(), "out2");
  EXPECT_EQ(streamOf(*stage, "S04").toPort.value(), "in1");
  EXPECT_EQ(streamOf(*stage, "S05").toPort.value(), "in2");
  EXPECT_EQ(streamOf(*stage, "S03").toTAG.value(), "COOL");
  // Its set-up touches nothing.
  Value &T = stage->Q("COOL.T");
  const bool input = T.input();
  stage->setup();
  EXPECT_EQ(T.input(), input);
}

// Stage pressures, power and duty against the ideal-gas compression of
// each stage by r = cr^(1/N) from 300 K with theta 0.8, etaM = etaE = 0.9
// (python): Wfis = cpv T1 (r^(R/cpv) - 1) per stage with cpv 30000 and R
// 8314.4 J/(kmol K), Wf = Wfis / theta, We = N Wf / (etaM etaE), and the
// intercooler's duty N Wf brings the gas back to 300 K.
TEST_F(CompressionTrain, StagePressuresPowerAndDuty) {
  const struct {
    const char *type;
    int N;
    double P;
    std::vector<double> stages;
    double We, duty;
  } rows[] = {
      {"MultiCompressorIntercooled1", 1, 9e5, {9e5}, 11645921.3202039, 9433196.26936517},
      {"MultiCompressorIntercooled2", 2, 9e5, {3e5, 9e5}, 9886536.4622535, 8008094.53442533},
      {"MultiCompressorIntercooled3", 3, 8e5, {2e5, 4e5, 8e5}, 8824826.96903239, 7148109.84491624},
  };
  for (const auto &row : rows) {
    // The stage count and types are the train's own, whatever its options say.
    Defaults options("K", "train");
    options.setInteger("nStage", 7).setString("typeT", "Mixer");
    auto fs = plant(row.type, options);
    auto &train = dynamic_cast<MultiStageOneTwo &>(fs->child("K"));
    EXPECT_EQ(train.type(), row.type);
    EXPECT_FALSE(train.hasChild("S[" + std::to_string(row.N) + "]")) << row.type;
    EXPECT_EQ(train.child("S[0]").type(), "CompressionStage");
    // 10 barg by default.
    EXPECT_NEAR(train.Q("P").value(), 1101325.0, 1e-6);
    train.Q("P") = Value(row.P, "Pa");
    train.Q("T") = Value(300.0, "K");
    train.Q("theta") = Value(0.8);
    // Overwritten by every pre.
    train.S("S[0].C.option") = "D";
    fs->setup();
    // The series cascade draws itself at its set-up.
    EXPECT_EQ(std::remove("K_Q1.dot"), 0) << row.type;
    EXPECT_TRUE(train.Q("T").input());
    EXPECT_FALSE(train.Q("theta").input());
    EXPECT_TRUE(train.Q("theta").output());
    testing::internal::CaptureStdout();
    fs->calculate(0);
    const std::string out = testing::internal::GetCapturedStdout();
    EXPECT_NE(out.find("MultiStageOneTwo::sequential = 3\n"), std::string::npos) << row.type;
    for (const std::string &e : fs->errors.value())
      ADD_FAILURE() << row.type << ": " << e;
    EXPECT_NEAR(train.Q("cr").value(), row.P / 1e5, 1e-12) << row.type;
    for (int i = 0; i < row.N; ++i) {
      const std::string stage = "S[" + std::to_string(i) + "]";
      const double p = row.stages[static_cast<std::size_t>(i)];
      EXPECT_NEAR(train.Q(stage + ".C.P").value(), p, 1e-6) << row.type << " " << stage;
      EXPECT_NEAR(train.Q(stage + ".COOL.P").value(), p, 1e-6) << row.type << " " << stage;
      EXPECT_EQ(train.S(stage + ".C.option"), "P");
      EXPECT_EQ(train.Q(stage + ".C.theta").value(), 0.8);
    }
    EXPECT_NEAR(train.Q("We").value(), row.We, 1e-6 * row.We) << row.type;
    EXPECT_NEAR(train.Q("duty").value(), row.duty, 1e-6 * row.duty) << row.type;
    const Stream &gas = streamOf(*fs, "G");
    EXPECT_NEAR(gas.P.value(), row.P, 1e-6) << row.type;
    EXPECT_NEAR(gas.T.value(), 300.0, 1e-6) << row.type;
    EXPECT_NEAR(gas.Tphase->flow(0).value(), 1.0, 1e-9) << row.type;
    EXPECT_GT(train.nCalculations.value(), 1) << row.type;
  }
}

} // namespace
