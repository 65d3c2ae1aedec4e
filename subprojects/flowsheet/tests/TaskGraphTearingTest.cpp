// Tearing of cyclic task graphs: the circuit weights of units and streams,
// the streams chosen to make the graph acyclic, the log lines, and the
// refusal of a graph that the (empty) tear hook leaves cyclic.

#include "TaskGraphTestSupport.h"

#include "velta/utility/Error.h"

using namespace taskgraphtest;

namespace {

struct TearCase {
  const char *name;
  std::vector<std::string> units;
  std::vector<std::vector<std::string>> streams; // from, to, tag
  // Circuit counts through each unit and stream of the whole graph (units
  // and streams not listed: 0).
  std::map<std::string, int> unitWeights;
  std::map<std::string, int> streamWeights;
  std::vector<std::string> chosen;
};

void PrintTo(const TearCase &c, std::ostream *os) { *os << c.name; }

class Tearing : public TaskGraphFixture<>, public testing::WithParamInterface<TearCase> {};

// The weights are the counts of an enumeration written apart from the
// code (every path from its lowest vertex back to it, each unit and stream
// of a circuit counted once; a parallel stream counts on the first of its
// kind): complete digraphs have 5 circuits on 3 vertices (3 of length 2,
// 2 of length 3: 4 through each unit, 2 through each stream) and 20 on 4
// (6 + 8 + 6: 15 through each unit, 5 through each stream).
TEST_P(Tearing, WeightsAndChosenStreams) {
  const TearCase &c = GetParam();
  units(c.units);
  streams(c.streams);
  testing::internal::CaptureStdout();
  tasks_.findCycles_(tasks_.graph());
  for (const auto &[tag, u] : units_)
    EXPECT_EQ(u->weight, c.unitWeights.count(tag) ? c.unitWeights.at(tag) : 0) << tag;
  for (const auto &[tag, s] : streams_)
    EXPECT_EQ(s->weight, c.streamWeights.count(tag) ? c.streamWeights.at(tag) : 0) << tag;

  std::vector<EdgeBase *> chosen;
  tasks_.makeDag_(tasks_.graph(), chosen);
  testing::internal::GetCapturedStdout();
  std::vector<std::string> tags;
  for (const EdgeBase *e : chosen)
    tags.push_back(e->tag());
  EXPECT_EQ(tags, c.chosen);
  // The task graph keeps its edges; without the chosen ones it is acyclic.
  EXPECT_EQ(tasks_.nEdges(), c.streams.size());
  for (const std::string &tag : tags)
    tasks_.removeEdge(tag);
  EXPECT_EQ(tasks_.isDag(), c.name != std::string("SelfLoop"));
}

std::vector<std::vector<std::string>> complete(const std::string &tags) {
  std::vector<std::vector<std::string>> edges;
  for (char from : tags)
    for (char to : tags)
      if (from != to)
        edges.push_back({std::string(1, from), std::string(1, to), std::string{from, to}});
  return edges;
}

std::map<std::string, int> each(const std::vector<std::string> &tags, int weight) {
  std::map<std::string, int> weights;
  for (const std::string &tag : tags)
    weights[tag] = weight;
  return weights;
}

// Choices, by hand:
// - OneCircuit: A and B both order at 0 (in and out weights 1), so the
//   candidate runs from the higher index to the lower one: R (B -> A).
// - Weighted: ordering A -1, B 1, C 0; only S (A -> B) runs upwards.
// - Parallel: A 2 - 1 = 1, B 1 - 2 = -1; R (B -> A) is the candidate.
// - RecycleInTagOrder is the recycle of a flowsheet restored from storage,
//   whose vertices and edges come in tag order: M is above D, so the
//   forward stream S1 (M -> D) is the one that runs backwards.
// - K3 (X, Y, Z, all ordered 0): of YX, ZX, ZY (weight 2) the last, ZY;
//   on what remains X 0, Y 1, Z -1: XY and ZX (weight 2) run upwards, ZX
//   is the last; then only the circuit X Y X is left and YX goes.
// - K4: one stream of each of the six opposite pairs must go, and six
//   steps suffice.
INSTANTIATE_TEST_SUITE_P(
    Cases, Tearing,
    testing::Values(
        TearCase{"OneCircuit",
                 {"source", "sink", "A", "B"},
                 {{"source", "A", "F"}, {"A", "B", "S"}, {"B", "A", "R"}, {"B", "sink", "P"}},
                 {{"A", 1}, {"B", 1}},
                 {{"S", 1}, {"R", 1}},
                 {"R"}},
        TearCase{"Weighted",
                 {"A", "B", "C"},
                 {{"A", "B", "S"}, {"B", "A", "R1"}, {"B", "C", "S2"}, {"C", "A", "S3"}},
                 {{"A", 2}, {"B", 2}, {"C", 1}},
                 {{"S", 2}, {"R1", 1}, {"S2", 1}, {"S3", 1}},
                 {"S"}},
        TearCase{"Parallel",
                 {"A", "B"},
                 {{"A", "B", "P1"}, {"A", "B", "P2"}, {"B", "A", "R"}},
                 {{"A", 2}, {"B", 2}},
                 {{"P1", 2}, {"R", 2}},
                 {"R"}},
        TearCase{"SelfLoop",
                 {"source", "sink", "A"},
                 {{"source", "A", "F"}, {"A", "A", "L"}, {"A", "sink", "P"}},
                 {{"A", 1}},
                 {{"L", 1}},
                 {}},
        TearCase{"RecycleInTagOrder",
                 {"D", "M", "sink", "source"},
                 {{"source", "M", "F"}, {"D", "sink", "P"}, {"D", "M", "R"}, {"M", "D", "S1"}},
                 {{"D", 1}, {"M", 1}},
                 {{"R", 1}, {"S1", 1}},
                 {"S1"}},
        TearCase{"Complete3",
                 {"X", "Y", "Z"},
                 complete("XYZ"),
                 each({"X", "Y", "Z"}, 4),
                 each({"XY", "XZ", "YX", "YZ", "ZX", "ZY"}, 2),
                 {"ZY", "ZX", "YX"}},
        TearCase{"Complete4",
                 {"W", "X", "Y", "Z"},
                 complete("WXYZ"),
                 each({"W", "X", "Y", "Z"}, 15),
                 each({"WX", "WY", "WZ", "XW", "XY", "XZ", "YW", "YX", "YZ", "ZW", "ZX", "ZY"}, 5),
                 {"ZY", "ZX", "ZW", "YX", "YW", "XW"}}),
    [](const testing::TestParamInfo<TearCase> &info) { return std::string(info.param.name); });

using TearingLog = TaskGraphFixture<>;

// At the default verbosity tearing writes the circuit weights of every
// component it examines, after an empty line; one level up it also reports
// the streams handed to the tear hook. The hook of the task graph changes
// nothing, so the schedule is refused naming the chosen stream.
TEST_F(TearingLog, WeightsAreAlwaysWrittenAndTheCyclicGraphIsRefused) {
  units({"source", "sink", "A", "B"});
  streams({{"source", "A", "F"}, {"A", "B", "S"}, {"B", "A", "R"}, {"B", "sink", "P"}});
  testing::internal::CaptureStdout();
  std::vector<EdgeBase *> chosen;
  tasks_.makeDag_(tasks_.graph(), chosen);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "\nTaskGraph::findCycles_ * Vertex weights:\n"
                                                    "TaskGraph::findCycles_ * weight[103] = 1\n"
                                                    "TaskGraph::findCycles_ * weight[104] = 1\n");

  tasks_.setVerbosity(2);
  testing::internal::CaptureStdout();
  try {
    tasks_.doSchedule(0, 1, nullptr);
    ADD_FAILURE() << "no error";
  } catch (const ErrorConnectivity &e) {
    EXPECT_TRUE(contains(e.message(), "is cyclic: cut the stream(s) R")) << e.message();
  }
  const std::string log = testing::internal::GetCapturedStdout();
  for (const char *line : {"TaskGraph::doSchedule **** TaskGraph is DAG ? False\n",
                           "TaskGraph::findStrongComponents **** Component 1 = [103 104 ] 2\n",
                           "TaskGraph::findStrongComponents **** Component 1 = [202 203 ] 2\n",
                           "TaskGraph::makeDag_ **** Component 1 = [2 3 ] 2\n",
                           "TaskGraph::makeDag_ **** Removing vertex: 1\n",
                           "TaskGraph::makeDag_ **** Vertex list:0  in: (1,0)   out: (0,1) \n"
                           "1  in: (0,1)   out: (1,0) \n\n",
                           "TaskGraph::makeDag_ **** Edge list: (0,1) (1,0)\n",
                           "TaskGraph::suggestCut **** Graph has 2 vertexes and 2 edges\n",
                           "TaskGraph::suggestCut **** vertexordering[104] = 0\n",
                           "TaskGraph::makeDag_ **** Select edge 203\n",
                           "TaskGraph::addCuts *** Entered, now cutting 1 streams\n",
                           "TaskGraph::addCuts **** Cutting stream: R with weight = 1\n"})
    EXPECT_TRUE(contains(log, line)) << line << " in\n" << log;
  EXPECT_FALSE(tasks_.scheduled());
}

using TearingRefusal = TaskGraphFixture<>;

// A stream from a unit to itself is no circuit that tearing can break
// (nothing is chosen), and the refusal names it.
TEST_F(TearingRefusal, SelfLoopIsNamed) {
  units({"source", "sink", "A"});
  streams({{"source", "A", "F"}, {"A", "A", "L"}, {"A", "sink", "P"}});
  testing::internal::CaptureStdout();
  try {
    tasks_.doSchedule(0, 1, nullptr);
    ADD_FAILURE() << "no error";
  } catch (const ErrorConnectivity &e) {
    EXPECT_TRUE(contains(e.message(), "is cyclic: cut the stream(s) L")) << e.message();
  }
  testing::internal::GetCapturedStdout();
}

// A hook that tears (removes) the chosen streams gets them last chosen
// first, and the schedule then goes on.

using TearingHook = TaskGraphFixture<TearingTaskGraph>;

TEST_F(TearingHook, ChosenStreamsReachTheHookLastFirst) {
  units({"source", "sink", "X", "Y", "Z"});
  streams({{"source", "X", "F"}, {"Z", "sink", "P"}});
  streams(complete("XYZ"));
  testing::internal::CaptureStdout();
  tasks_.doSchedule(0, 1, nullptr);
  testing::internal::GetCapturedStdout();
  EXPECT_EQ(tasks_.torn, (std::vector<std::string>{"YX", "ZX", "ZY"}));
  EXPECT_TRUE(tasks_.scheduled());
  // What is left runs X -> Y -> Z.
  EXPECT_EQ(tasks_.makeSpan(), 5.0);
  EXPECT_EQ(unit("Z").start(), 3.0);
  for (const char *file : {"start4.dot", "tasks4.svg", "cpMisf.dot"})
    std::remove(file);
}

} // namespace
