// The counter-current cascade: its children, ports and cuts for several
// option sets, its drawings, the start of the torn streams, its option
// errors, and a three-stage cascade solved sequentially and then
// simultaneously.

#include "FlashDrumTestSupport.h"
#include "FlowsheetTestSupport.h"

#include "velta/flowsheet/FlowSheetPrivate.h"
#include "velta/flowsheet/MultiStage.h"
#include "velta/flowsheet/TaskGraph.h"
#include "velta/utility/Error.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

using namespace flowsheettest;

namespace {

struct Connection {
  const char *stream, *from, *fromPort, *to, *toPort;
};

struct Topology {
  const char *name;
  int nStage;
  const char *option1; // direction of couple 1 ("" for the default)
  int referenceStream;
  std::vector<const char *> stages;
  std::vector<Connection> streams; // before the set-up
  std::vector<Connection> cuts;    // the "bis" halves the set-up adds
};

const Topology topologies[] = {
    {"Defaults",
     1,
     "",
     0,
     {"S[0]"},
     {{"FA", "source", "out1", "S[0]", "in1"},
      {"A", "S[0]", "out1", "sink", "in1"},
      {"FB", "source", "out2", "S[0]", "in2"},
      {"B", "S[0]", "out2", "sink", "in2"}},
     {}},
    {"BottomTopTorn",
     3,
     "bottomtop",
     0,
     {"S[0]", "S[1]", "S[2]"},
     {{"A[0]", "S[0]", "out1", "S[1]", "in1"},
      {"A[1]", "S[1]", "out1", "S[2]", "in1"},
      {"B[1]", "S[1]", "out2", "S[0]", "in2"},
      {"B[2]", "S[2]", "out2", "S[1]", "in2"},
      {"FA", "source", "out1", "S[0]", "in1"},
      {"A", "S[2]", "out1", "sink", "in1"},
      {"B", "S[0]", "out2", "sink", "in2"},
      {"FB", "source", "out2", "S[2]", "in2"}},
     {{"B[1]bis", "source", "out3", "S[0]", "in2"}, {"B[2]bis", "source", "out4", "S[1]", "in2"}}},
    {"TopBottomTorn",
     3,
     "bottomtop",
     1,
     {"S[0]", "S[1]", "S[2]"},
     {{"A[0]", "S[0]", "out1", "S[1]", "in1"},
      {"A[1]", "S[1]", "out1", "S[2]", "in1"},
      {"B[1]", "S[1]", "out2", "S[0]", "in2"},
      {"B[2]", "S[2]", "out2", "S[1]", "in2"}},
     {{"A[0]bis", "source", "out3", "S[1]", "in1"}, {"A[1]bis", "source", "out4", "S[2]", "in1"}}},
};

class MultiStageTest : public ComponentsFixture {
protected:
  void SetUp() override {
    verbosityGlobal = 0;
    flashdrumtest::useClausiusPair();
    flashdrumtest::registerDrumTypes();
    registerFlowsheetTypes();
  }
  void TearDown() override {
    verbosityGlobal = 2;
    ComponentsFixture::TearDown();
  }

  static std::unique_ptr<MultiStage> cascade(const std::string &tag, int nStage,
                                             const std::string &option1, int reference) {
    Defaults options(tag, "cascade");
    options.setInteger("nStage", nStage).setInteger("referenceStream", reference);
    options.setString("typeT", "FlashDegasser<StreamIdealLiquidVapor>");
    if (!option1.empty())
      options.setString("option[1]", option1);
    // Ignored: the cascade has two couples.
    options.setString("option[5]", "sideways");
    std::unique_ptr<Node> node =
        NodeFactory().create("MultiStage", options, 0, nullptr, nullptr, nullptr);
    return std::unique_ptr<MultiStage>(dynamic_cast<MultiStage *>(node.release()));
  }
  static void expectConnection(FlowSheet &fs, const Connection &c, const std::string &row) {
    const Stream &s = streamOf(fs, c.stream);
    EXPECT_EQ(s.fromTAG.value(), c.from) << row << " " << c.stream;
    EXPECT_EQ(s.fromPort.value(), c.fromPort) << row << " " << c.stream;
    EXPECT_EQ(s.toTAG.value(), c.to) << row << " " << c.stream;
    EXPECT_EQ(s.toPort.value(), c.toPort) << row << " " << c.stream;
  }
  static bool exists(const std::string &file) { return std::ifstream(file).good(); }
  static std::string read(const std::string &file) {
    std::ifstream in(file);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
  }
};

TEST_F(MultiStageTest, ChildrenPortsAndCutsOfEveryOptionSet) {
  for (const Topology &row : topologies) {
    const std::string tag = std::string("MS") + row.name;
    auto ms = cascade(tag, row.nStage, row.option1, row.referenceStream);
    ASSERT_NE(ms, nullptr) << row.name;
    EXPECT_EQ(ms->type(), "MultiStage");
    EXPECT_EQ(ms->option.size(), 2u) << row.name;
    EXPECT_FALSE(ms->hasChild("option[5]"));
    EXPECT_EQ(ms->pressureoption.value(), "equilibrium");
    // Terminators, stages, every stream; nothing else.
    const std::size_t streams = row.nStage == 1 ? 4 : 8;
    EXPECT_EQ(ms->childCount(), 2 + row.stages.size() + streams) << row.name;
    for (const char *stage : row.stages)
      EXPECT_EQ(ms->child(stage).type(), "FlashDegasser") << row.name << " " << stage;
    for (const Connection &c : row.streams)
      expectConnection(*ms, c, row.name);
    EXPECT_EQ(ms->child("FA").description(), "TB feed to stage 00");
    EXPECT_EQ(ms->inletConnection("FA"), 0) << row.name;
    EXPECT_EQ(ms->inletConnection("FB"), 1) << row.name;

    EXPECT_EQ(ms->isDag(), row.cuts.empty()) << row.name;
    ms->setup();
    EXPECT_TRUE(ms->isDag()) << row.name;
    EXPECT_EQ(ms->cuts().size(), row.cuts.size()) << row.name;
    for (const Connection &c : row.cuts) {
      expectConnection(*ms, c, row.name);
      const std::string torn = std::string(c.stream).substr(0, std::string(c.stream).size() - 3);
      EXPECT_EQ(streamOf(*ms, torn.c_str()).toTAG.value(), "sink") << row.name << " " << torn;
    }
    // The drawings before and after the cuts, only where there is a cycle.
    for (const char *suffix : {"_Q1.dot", "_Q2.dot"}) {
      const std::string file = tag + suffix;
      EXPECT_EQ(exists(file), !row.cuts.empty()) << file;
      if (exists(file))
        EXPECT_EQ(read(file).rfind("digraph Q {", 0), 0u) << file;
      std::remove(file.c_str());
    }
    // A second set-up finds no cycle: no new cut, no drawing.
    ms->setup();
    EXPECT_EQ(ms->cuts().size(), row.cuts.size()) << row.name;
    EXPECT_FALSE(exists(tag + "_Q1.dot")) << row.name;
  }
}

TEST_F(MultiStageTest, DescriptionsTagsAndIterationLimits) {
  auto ms = cascade("L", 3, "bottomtop", 0);
  EXPECT_EQ(ms->child("A").description(), "TB product from stage 2");
  EXPECT_EQ(ms->child("B").description(), "BT product from stage 00");
  EXPECT_EQ(ms->child("FB").description(), "BT feed to stage 2");
  EXPECT_EQ(ms->child("A[1]").description(), "TB stream from stage 1 to stage 2");
  EXPECT_EQ(ms->child("B[2]").description(), "BT stream from stage 2 to stage 1");
  EXPECT_EQ(ms->streamTag(0, 2), "A");
  EXPECT_EQ(ms->streamTag(1, 0), "B");
  EXPECT_EQ(ms->cutTag(1, 2), "B[2]bis");
  EXPECT_EQ(ms->sequential(), 10);
  EXPECT_EQ(cascade("L6", 6, "", 0)->sequential(), 12);
  Defaults many("Q", "cascade");
  // A stage type with 17 inlets and outlets.
  many.setInteger("nStreams", 17).setInteger("nOutlets", 17).setString("typeT", "Separator");
  auto seventeen = NodeFactory().create("MultiStage", many, 0, nullptr, nullptr, nullptr);
  EXPECT_TRUE(seventeen->hasChild("FQ"));
  EXPECT_TRUE(seventeen->hasChild("Q"));
}

// The Part's start: the torn streams copy their couple's feed, the pressure
// raised by i deltaP / nStage.
TEST_F(MultiStageTest, FirstSequentialPassStartsTheTornStreamsFromTheFeed) {
  for (const int reference : {0, 1}) {
    auto ms = cascade("L", 3, "bottomtop", reference);
    ms->setup();
    ms->deltaP[0] = Value(900.0, "Pa");
    ms->deltaP[1] = Value(3000.0, "Pa");
    const std::string feed = reference == 0 ? "FB" : "FA";
    setFeed(streamOf(*ms, feed), {0.25, 0.75}, 310.0, 1e5, 2.0);
    const double step = reference == 0 ? 1000.0 : 300.0;
    const std::vector<std::pair<std::string, double>> starts =
        reference == 0
            ? std::vector<std::pair<std::string, double>>{{"B[1]bis", 1}, {"B[2]bis", 2}}
            : std::vector<std::pair<std::string, double>>{{"A[0]bis", 0}, {"A[1]bis", 1}};
    ms->pre(1, 0);
    for (const auto &[tag, i] : starts) {
      const Stream &s = streamOf(*ms, tag);
      EXPECT_DOUBLE_EQ(s.P.value(), 1e5 + i * step) << tag;
      EXPECT_DOUBLE_EQ(s.T.value(), 310.0) << tag;
      EXPECT_DOUBLE_EQ(s.Tphase->flow(1).value(), 1.5) << tag;
    }
    // Once a pass is counted, pre leaves the torn streams alone.
    ms->post(1, 0);
    streamOf(*ms, starts[0].first).P = Value(5e4, "Pa");
    ms->pre(1, 0);
    EXPECT_EQ(streamOf(*ms, starts[0].first).P.value(), 5e4);
  }
}

TEST_F(MultiStageTest, OptionErrors) {
  struct Bad {
    const char *name;
    Defaults options;
    const char *message;
  };
  const Bad rows[] = {
      {"nStage 0", Defaults("M").setInteger("nStage", 0),
       "Integer parameter nStage = 0 must be stricly greater than 0"},
      {"nStreams 18", Defaults("M").setInteger("nStreams", 18),
       "Integer parameter nStreams = 18 must be stricly smaller than 18"},
      // Would index the couple options out of range in set-up and pre.
      {"referenceStream 2", Defaults("M").setInteger("referenceStream", 2),
       "Integer parameter referenceStream = 2 must be stricly smaller than nStreams = 2"},
      {"sideways", Defaults("M").setString("option[1]", "sideways"),
       "Model browsing error: Object sideways not found in model M of type option[1]"},
  };
  for (const Bad &row : rows) {
    std::string message = "no error";
    try {
      NodeFactory().create("MultiStage", row.options, 0, nullptr, nullptr, nullptr);
    } catch (const Error &e) {
      message = e.message();
    }
    EXPECT_NE(message.find(row.message), std::string::npos) << row.name << ": " << message;
  }
  // A couple turned into something else after the build is refused by the
  // set-up.
  auto ms = cascade("M", 2, "bottomtop", 0);
  ms->option[1] = "sideways";
  std::string setupMessage = "no error";
  try {
    ms->setup();
  } catch (const Error &e) {
    setupMessage = e.message();
  }
  EXPECT_NE(setupMessage.find("Object sideways not found in model M of type option[1]"),
            std::string::npos)
      << setupMessage;
  EXPECT_NE(setupMessage.find("MultiStage::setup"), std::string::npos) << setupMessage;
  std::remove("M_Q1.dot");
  // Absent or negative: one stage.
  auto one = NodeFactory().create("MultiStage", Defaults("M").setInteger("nStage", -5), 0, nullptr,
                                  nullptr, nullptr);
  EXPECT_EQ(dynamic_cast<MultiStage &>(*one).nStage.value(), 1);
}

// The drawing lines name no company.
TEST_F(MultiStageTest, DrawingLogLines) {
  auto ms = cascade("D", 2, "bottomtop", 0);
  verbosityGlobal = 2;
  testing::internal::CaptureStdout();
  ms->setup();
  const std::string out = testing::internal::GetCapturedStdout();
  EXPECT_NE(out.find("MultiStage::setup ** Output graph in DOT format before cuts"),
            std::string::npos)
      << out;
  EXPECT_NE(out.find("Output graph in DOT format after cuts"), std::string::npos) << out;
  EXPECT_EQ(out.find("AT&T"), std::string::npos) << out;
  std::remove("D_Q1.dot");
  std::remove("D_Q2.dot");
}

// Three equilibrium stages at 298.15 K and 1 bar, so that K = psat / P is 3
// for "A" and 0.2 for "B": the vapour couple runs from stage 0 to stage 2,
// the liquid couple back. FA is 0.8/0.2 kmol/s of vapour into stage 0, FB
// 0.2/1.8 kmol/s of liquid into stage 2. Rachford-Rice flashes of the
// stages in the cascade's order, the liquids substituted after every pass
// from FB as start (scipy brentq), reach the fixed point in 6 passes, every
// stage two-phase: products A = (3/14, 1/28) and B = (11/14, 55/28) kmol/s,
// B[1] = (0.757142857142857, 1.89285714285714).
TEST_F(MultiStageTest, ThreeStagesConvergeSequentiallyThenSimultaneously) {
  auto root = makeFlowSheet<FlowSheet>("PlainFlowSheet", "ROOT");
  Defaults options("L", "washing");
  // Single-phase streams between the stages: a stream flashed on its own
  // at its dew or bubble point would be a degenerate flash.
  options.setInteger("nStage", 3).setString("option[1]", "bottomtop");
  options.setString("typeU", "StreamVapor");
  root->addUnit("MultiStage", options);
  root->addStream("StreamVapor", Defaults("F1", "vapour feed"), "source", "out", "L", "in1");
  root->addStream("StreamLiquid", Defaults("F2", "liquid feed"), "source", "out", "L", "in2");
  root->addStream("StreamVapor", Defaults("P1", "vapour product"), "L", "out1", "sink", "in");
  root->addStream("StreamLiquid", Defaults("P2", "liquid product"), "L", "out2", "sink", "in");
  auto &ms = dynamic_cast<MultiStage &>(root->child("L"));
  for (int i = 0; i < 3; ++i) {
    ms.Q(ms.stageTag(i) + ".T") = Value(298.15, "K");
    ms.Q(ms.stageTag(i) + ".P") = Value(1e5, "Pa");
  }
  setFeed(streamOf(*root, "F1"), {0.8, 0.2}, 298.15, 1e5, 1.0);
  setFeed(streamOf(*root, "F2"), {0.1, 0.9}, 298.15, 1e5, 2.0);
  root->setup();
  std::remove("L_Q1.dot");
  std::remove("L_Q2.dot");

  auto expectSolution = [&](const char *when) {
    const struct {
      const char *stream;
      double a, b;
    } rows[] = {{"P1", 3.0 / 14.0, 1.0 / 28.0},
                {"P2", 11.0 / 14.0, 55.0 / 28.0},
                {"L:B[1]", 0.757142857142857, 1.89285714285714},
                {"L:B[1]bis", 0.757142857142857, 1.89285714285714}};
    for (const auto &row : rows) {
      const auto &s = dynamic_cast<Stream &>(root->child(row.stream));
      EXPECT_NEAR(s.Tphase->flow(0).value(), row.a, 1e-9) << when << " " << row.stream;
      EXPECT_NEAR(s.Tphase->flow(1).value(), row.b, 1e-9) << when << " " << row.stream;
    }
  };
  root->go(1, 0);
  EXPECT_LT(ms.seqErr.value(), 1e-6);
  EXPECT_TRUE(ms.errors.value().empty()) << ms.errors.value().front();
  expectSolution("sequential");
  // The flowsheet's Newton solution from there keeps the solution.
  root->go(2, 0);
  EXPECT_TRUE(root->errors.value().empty()) << root->errors.value().front();
  EXPECT_TRUE(ms.errors.value().empty()) << ms.errors.value().front();
  expectSolution("simultaneous");
}

} // namespace
