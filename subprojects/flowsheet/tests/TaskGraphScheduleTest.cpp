// List scheduling on several virtual processors, the attempts that follow
// an arc suggested by parallelize, the schedule files of a two-processor
// schedule, and the passes over the processors' lists.

#include "TaskGraphTestSupport.h"

#include "velta/core/IterationHistory.h"
#include "velta/core/Precedence.h"
#include "velta/persistency/PrecedenceLocks.h"

#include <cstdio>

using namespace taskgraphtest;

namespace {

class Schedule : public TaskGraphFixture<> {
protected:
  void TearDown() override {
    for (const char *file : {"start4.dot", "tasks4.svg", "start5.dot", "tasks5.svg", "cpMisf.dot"})
      std::remove(file);
    TaskGraphFixture<>::TearDown();
  }
  // source feeds A and B, both feed sink.
  void diamond() {
    units({"source", "sink", "A", "B"});
    streams(
        {{"source", "A", "F1"}, {"source", "B", "F2"}, {"A", "sink", "P1"}, {"B", "sink", "P2"}});
  }
  std::vector<std::string> list(std::size_t processor) const {
    std::vector<std::string> tags;
    for (auto v : tasks_.taskLists()[processor])
      tags.push_back(tasks_.graph()[v]->tag());
    return tags;
  }
};

// One processor: A and B have the same level and run in increasing vertex
// index. Two processors, by hand: source on 0 at 0; A and B wait for it,
// then A takes processor 0 (first of the tie) at 1 and B processor 1 at 1;
// sink follows at 2 on processor 0. Make span 3, total cost 4: speedup
// 400 / 3 = 133.333 %, of an ideal 200 %.
TEST_F(Schedule, TwoProcessorsRunUnitsOfOneLevelSideBySide) {
  diamond();
  tasks_.setVerbosity(2);
  testing::internal::CaptureStdout();
  tasks_.doSchedule(0, 2, nullptr);
  const std::string log = testing::internal::GetCapturedStdout();
  EXPECT_EQ(list(0), (std::vector<std::string>{"source", "A", "sink"}));
  EXPECT_EQ(list(1), (std::vector<std::string>{"B"}));
  EXPECT_EQ(unit("A").start(), 1.0);
  EXPECT_EQ(unit("B").start(), 1.0);
  EXPECT_EQ(unit("B").processor(), 1);
  EXPECT_EQ(tasks_.makeSpan(), 3.0);
  for (const char *line :
       {"TaskGraph::doSchedule **** NTHREADS = 2\n", "TaskGraph::doSchedule **** ARCS/NODES = 1\n",
        "TaskGraph::cpMisf *** Entered with m = 2\n",
        "TaskGraph::cpMisf **** Scheduled task 3 to process 1 at time = 1\n",
        // Every task starts before 4 / 2 * 1.01: no arc is suggested.
        "TaskGraph::parallelize **** Examined task 102 with level = 0 and starting time 2\n",
        "TaskGraph::parallelize **** Done\n", "TaskGraph::doSchedule **** Make span = 3\n",
        "TaskGraph::doSchedule **** Speedup = 133.333 %\n",
        "TaskGraph::doSchedule **** Ideal speedup = 200 %\n",
        "TaskGraph::doSchedule **** Speedup/isIdeal speedup = 66.6667 %\n"})
    EXPECT_TRUE(contains(log, line)) << line << " in\n" << log;
  EXPECT_FALSE(contains(log, "start5")) << log;

  // The schedule files: processor 1 in the second colour and column.
  EXPECT_EQ(read("start4.dot"), "digraph Q {\n  rankdir = TB;\n"
                                "  \"source\" [style=filled,color=lightgray];\n"
                                "  \"sink\" [style=filled,color=lightgray];\n"
                                "  \"A\" [style=filled,color=lightgray];\n"
                                "  \"B\" [style=filled,color=lightpink];\n"
                                "  \"source\" -> \"A\";\n  \"source\" -> \"B\";\n"
                                "  \"A\" -> \"sink\";\n  \"B\" -> \"sink\";\n}\n");
  // Width 2 * 20 + 20, height 3 * 15 + 20; the ideal make span 2 leaves a
  // band 15 high at y 2 * 15 + 10.
  const auto task = [](int id, int x, int y) {
    return "  <g id=\"task" + std::to_string(id) +
           "\">\n    <rect width=\"20\" height=\"15\" x=\"" + std::to_string(x) + "\" y=\"" +
           std::to_string(y) +
           "\" style=\"fill:#ffffff;stroke:#000000;stroke-width:1;stroke-linecap:square;"
           "stroke-linejoin:miter;stroke-miterlimit:0\"/>\n    <text x=\"" +
           std::to_string(x + 5) + "\" y=\"" + std::to_string(y + 12) +
           "\" style=\"font-size:12px;fill:#000000;font-family:Arial\">" + std::to_string(id) +
           "</text>\n  </g>\n";
  };
  EXPECT_EQ(read("tasks4.svg"),
            "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"no\"?>\n"
            "<!DOCTYPE svg PUBLIC \"-//W3C//DTD SVG 1.0//EN\" "
            "\"http://www.w3.org/TR/2001/REC-SVG-20010904/DTD/svg10.dtd\" [\n"
            "  <!ATTLIST svg xmlns:svg CDATA #FIXED \"http://www.w3.org/2000/svg\">\n"
            "]>\n"
            "<svg xmlns:svg=\"http://www.w3.org/2000/svg\" xmlns=\"http://www.w3.org/2000/svg\" "
            "version=\"1.0\" width=\"60\" height=\"65\">\n"
            "  <rect\n     width=\"40\"\n     height=\"45\"\n     x=\"10\"\n     y=\"10\"\n"
            "     style=\"opacity:1;fill:#888888;fill-opacity:1.0;fill-rule:nonzero;"
            "stroke:#000000;stroke-width:1;stroke-linecap:round;stroke-linejoin:miter;"
            "stroke-miterlimit:0;stroke-dasharray:none;stroke-dashoffset:0;stroke-opacity:1\"/>\n"
            "  <rect\n     width=\"40\"\n     height=\"15\"\n     x=\"10\"\n     y=\"40\"\n"
            "     style=\"opacity:1;fill:#DDDDDD;fill-opacity:1.0;fill-rule:nonzero;"
            "stroke-width:0;\"/>\n" +
                task(101, 10, 10) + task(102, 10, 40) + task(103, 10, 25) + task(104, 30, 25) +
                "</svg>\n");

  // Processors beyond the ten colours start over.
  unit("B").setProcessor(10);
  unit("A").setProcessor(21);
  tasks_.printDot("start5.dot");
  const std::string dot = read("start5.dot");
  EXPECT_TRUE(contains(dot, "\"B\" [style=filled,color=lightgray]")) << dot;
  EXPECT_TRUE(contains(dot, "\"A\" [style=filled,color=lightpink]")) << dot;
}

TEST_F(Schedule, OneProcessorRunsUnitsOfOneLevelByVertexIndex) {
  diamond();
  testing::internal::CaptureStdout();
  tasks_.doSchedule(0, 1, nullptr);
  testing::internal::GetCapturedStdout();
  EXPECT_EQ(list(0), (std::vector<std::string>{"source", "A", "B", "sink"}));
  EXPECT_EQ(tasks_.makeSpan(), 4.0);
}

using ScheduleAttempts = TaskGraphFixture<TearingTaskGraph>;

// The chain source -> A -> B -> C -> sink on two processors takes 5 while
// the ideal is 2.5. parallelize walks from source up to C, the first task
// to start at or after 5 / 2 * 1.01, and suggests its in-arc B -> C (B ends
// when C starts). Torn, C and sink no longer wait: in the second attempt C
// runs on processor 1 from 0 and sink from 1, A on processor 0 at 1 and B
// at 2; the make span (the finish of sink) is 2, below 1.1 * 2.5, so the
// attempts stop after start5.dot and tasks5.svg. At a level above 0 no arc
// is suggested.
TEST_F(ScheduleAttempts, SuggestedArcIsTornAndTheScheduleTriedAgain) {
  units({"source", "sink", "A", "B", "C"});
  streams({{"source", "A", "F"}, {"A", "B", "S1"}, {"B", "C", "S2"}, {"C", "sink", "P"}});
  tasks_.setVerbosity(2);
  testing::internal::CaptureStdout();
  tasks_.doSchedule(0, 2, nullptr);
  const std::string log = testing::internal::GetCapturedStdout();
  EXPECT_EQ(tasks_.torn, std::vector<std::string>{"S2"});
  EXPECT_TRUE(contains(log, "TaskGraph::parallelize **** The suggested arc to tear to enhance "
                            "parallelization is from B to C\n"))
      << log;
  EXPECT_TRUE(contains(log, "TaskGraph::parallelize **** Examined task 105 with level = 1 and "
                            "starting time 3\n"))
      << log;
  std::vector<std::string> lists[2];
  for (std::size_t p = 0; p < 2; ++p)
    for (auto v : tasks_.taskLists()[p])
      lists[p].push_back(tasks_.graph()[v]->tag());
  EXPECT_EQ(lists[0], (std::vector<std::string>{"source", "A", "B"}));
  EXPECT_EQ(lists[1], (std::vector<std::string>{"C", "sink"}));
  EXPECT_EQ(unit("C").start(), 0.0);
  EXPECT_EQ(unit("B").start(), 2.0);
  EXPECT_EQ(tasks_.makeSpan(), 2.0);
  for (const char *file : {"start4.dot", "tasks4.svg", "start5.dot", "tasks5.svg"}) {
    std::FILE *f = std::fopen(file, "r");
    EXPECT_NE(f, nullptr) << file;
    if (f != nullptr)
      std::fclose(f);
    std::remove(file);
  }
  std::remove("cpMisf.dot");

  testing::internal::CaptureStdout();
  EXPECT_FALSE(tasks_.parallelize(1));
  EXPECT_TRUE(contains(testing::internal::GetCapturedStdout(),
                       "TaskGraph::parallelize **** Done (single core)\n"));
}

// A unit that only notes that it ran.
class Probe : public VertexBase {
public:
  Probe(const std::string &tag, int id, std::vector<std::string> *runs)
      : Object(Defaults(tag, "probe"), id, nullptr, nullptr, nullptr),
        Model(Defaults(tag, "probe"), id, nullptr, nullptr, nullptr),
        VertexBase(Defaults(tag, "probe"), id, nullptr, nullptr, nullptr), runs_(runs) {}
  void go(int mode, int level) override {
    runs_->push_back(tag() + " " + std::to_string(mode) + " " + std::to_string(level));
  }
  void check() override {}
  void calculateBalance() override { resetBalances(); }
  void calculate(int level) override { go(1, level); }
  void setup() override {}
  void initializeNonPersistents() override {}
  ObjectiveNleAd *objectiveFunction() override { return nullptr; }

private:
  std::vector<std::string> *runs_;
};

class Passes : public TaskGraphFixture<> {
protected:
  void SetUp() override {
    TaskGraphFixture<>::SetUp();
    for (const char *tag : {"source", "sink", "A", "B"}) {
      probes_.push_back(
          std::make_unique<Probe>(tag, 101 + static_cast<int>(probes_.size()), &runs_));
      tasks_.addVertex(probes_.back().get());
    }
    streams(
        {{"source", "A", "F1"}, {"source", "B", "F2"}, {"A", "sink", "P1"}, {"B", "sink", "P2"}});
    testing::internal::CaptureStdout();
    tasks_.doSchedule(0, 2, nullptr);
    testing::internal::GetCapturedStdout();
    for (const char *file : {"start4.dot", "tasks4.svg", "cpMisf.dot"})
      std::remove(file);
  }
  std::vector<std::string> runs_;
  std::vector<std::unique_ptr<Probe>> probes_;
};

// A pass at the outermost level runs processor 0's list (source, A, sink),
// then processor 1's (B), with one fresh lock per stream; every unit run
// adds one sample
// to the sequential history, or in mode 3 (where units run in mode 2) to
// the simultaneous one. A nested pass takes no locks and runs processor
// 0's list only (a nested flowsheet is scheduled on one processor).
TEST_F(Passes, EveryProcessorListRunsWithOneLockPerStream) {
  const int locks = Precedence::nextLock();
  const std::size_t sequential = sequentialIterations().sampleCount();
  const std::size_t simultaneous = simultaneousIterations().sampleCount();
  testing::internal::CaptureStdout();
  tasks_.singlePass(1, 0);
  const std::string log = testing::internal::GetCapturedStdout();
  EXPECT_EQ(runs_, (std::vector<std::string>{"source 1 1", "A 1 1", "sink 1 1", "B 1 1"}));
  EXPECT_EQ(Precedence::nextLock() - locks, 4);
  EXPECT_EQ(sequentialIterations().sampleCount() - sequential, 4u);
  EXPECT_EQ(simultaneousIterations().sampleCount(), simultaneous);
  EXPECT_TRUE(contains(log, "TaskGraph::coreSinglePass ** = source\n")) << log;
  // The processors run one after another on the calling thread, so sink
  // meets the lock of P2 still taken (B has not run): it is reported and
  // passed over. The flowsheet schedules on one processor, where every
  // producer runs before its consumers.
  EXPECT_EQ(stream("P2").lock(), locks + 3);
  EXPECT_TRUE(contains(log, "TaskGraph::coreSinglePass ** = A\n!!!!!!!!!!!! DEADLOCK on lock " +
                                std::to_string(locks + 3) +
                                "\nTaskGraph::coreSinglePass ** = sink\n"))
      << log;

  runs_.clear();
  testing::internal::CaptureStdout();
  tasks_.singlePass(3, 1);
  testing::internal::GetCapturedStdout();
  EXPECT_EQ(runs_, (std::vector<std::string>{"source 2 2", "A 2 2", "sink 2 2"}));
  EXPECT_EQ(Precedence::nextLock() - locks, 4);
  EXPECT_EQ(simultaneousIterations().sampleCount() - simultaneous, 3u);

  // At the end of the lock table the numbers start again from 0: a long
  // study never runs out of locks.
  const int saved = Precedence::nextLock();
  Precedence::setNextLock(MAXLOCKS - 2);
  testing::internal::CaptureStdout();
  tasks_.singlePass(1, 0);
  testing::internal::GetCapturedStdout();
  EXPECT_EQ(stream("F1").lock(), MAXLOCKS - 2);
  EXPECT_EQ(stream("P1").lock(), 0);
  EXPECT_EQ(stream("P2").lock(), 1);
  Precedence::setNextLock(saved);
}

} // namespace
