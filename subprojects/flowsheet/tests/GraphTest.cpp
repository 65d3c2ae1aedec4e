// The graph of a flowsheet: vertices and edges by tag, parallel edges,
// removal by ends and by stream, reversal, the cycle test and the DOT file.

#include "PrivateWorkingDirectory.h"
#include "UnitTestSupport.h"

#include "velta/flowsheet/Graph.h"
#include "velta/flowsheet/TaskGraph.h"
#include "velta/utility/Error.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>

using namespace unittest;

namespace {

class GraphFixture : public ComponentsFixture {
protected:
  PrivateWorkingDirectory workingDirectory_;
  void SetUp() override {
    use(lightAndHeavy());
    for (const char *tag : {"source", "sink", "A", "B"}) {
      units_.push_back(makeUnit<Mixer>("Mixer", Defaults(tag, "test unit")));
      graph_.addVertex(units_.back().get());
    }
  }
  Stream &stream(const std::string &tag) {
    streams_.push_back(makeStreamOne("PhaseIdeal<vapor>", tag));
    return *streams_.back();
  }
  void edge(const std::string &from, const std::string &to, const std::string &tag) {
    graph_.addEdge(from, to, &stream(tag));
  }
  static std::string read(const std::string &file) {
    std::ifstream in(file);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
  }
  template <class E, class F> static std::string errorOf(F &&f) {
    try {
      f();
    } catch (const E &e) {
      return e.message();
    }
    return "no error";
  }
  static bool contains(const std::string &text, const std::string &part) {
    return text.find(part) != std::string::npos;
  }

  std::vector<std::unique_ptr<Mixer>> units_;
  std::vector<std::unique_ptr<Stream>> streams_;
  Graph graph_;
};

TEST_F(GraphFixture, TerminatorsOnlyGiveTheHeaderTwoVerticesAndNoEdges) {
  Graph bare;
  EXPECT_TRUE(bare.isDag());
  bare.addVertex(units_[0].get());
  bare.addVertex(units_[1].get());
  EXPECT_EQ(bare.nVertices(), 2u);
  EXPECT_EQ(bare.nEdges(), 0u);
  EXPECT_TRUE(bare.isDag());
  const std::string file = "graph_terminators.dot";
  bare.printDot(file, 0);
  const std::string id0 = std::to_string(units_[0]->id()), id1 = std::to_string(units_[1]->id());
  EXPECT_EQ(read(file), "digraph Q {\n  rankdir = LR;\n  \"source\" [URL=\"" + id0 +
                            "\"];\n  \"sink\" [URL=\"" + id1 + "\"];\n}\n");
  std::remove(file.c_str());
}

TEST_F(GraphFixture, DuplicateAndUnknownTagsAreRejectedAndChangeNothing) {
  edge("A", "B", "S1");
  EXPECT_EQ(errorOf<ErrorConnectivity>([&] { graph_.addVertex(units_[2].get()); }),
            "Error was thrown by function: Graph::addVertex\n"
            "Flowsheet connectivity error: A Duplicate vertex tag\n");
  EXPECT_TRUE(contains(errorOf<ErrorConnectivity>([&] { edge("B", "A", "S1"); }),
                       "Flowsheet connectivity error: S1 Duplicate edge tag"));
  // An unknown unit tag must not hang the edge on vertex 0.
  EXPECT_TRUE(contains(errorOf<ErrorConnectivity>([&] { edge("A", "nowhere", "S2"); }),
                       "nowhere Unknown vertex tag"));
  EXPECT_TRUE(contains(errorOf<ErrorConnectivity>([&] { graph_.removeEdge("nowhere", "A"); }),
                       "nowhere Unknown vertex tag"));
  EXPECT_FALSE(graph_.hasVertex("nowhere"));
  EXPECT_FALSE(graph_.hasEdge("S2"));
  EXPECT_EQ(graph_.nVertices(), 4u);
  EXPECT_EQ(graph_.nEdges(), 1u);
  for (auto f : {+[](Graph &g) { g.removeEdge("S9"); }, +[](Graph &g) { g.revertEdge("S9"); }})
    EXPECT_TRUE(contains(errorOf<ErrorBrowsing>([&] { f(graph_); }),
                         "Model browsing error: Object S9 not found in model  of type Graph"));
  EXPECT_TRUE(contains(errorOf<ErrorBrowsing>([&] { graph_.removeEdge("B", "A"); }),
                       "Object B->A not found in model  of type Graph"));
  EXPECT_EQ(graph_.nEdges(), 1u);
  EXPECT_EQ(graph_.sourceOf("S1"), "A");
}

TEST_F(GraphFixture, ParallelEdgesAreRemovedOneByStreamOrAllByEnds) {
  edge("A", "B", "S1");
  edge("A", "B", "S2");
  EXPECT_EQ(graph_.nEdges(), 2u);
  graph_.removeEdge("S1");
  EXPECT_FALSE(graph_.hasEdge("S1"));
  EXPECT_TRUE(graph_.hasEdge("S2"));
  EXPECT_EQ(graph_.targetOf("S2"), "B");
  edge("A", "B", "S3");
  testing::internal::CaptureStdout();
  graph_.setVerbosity(4 - verbosityGlobal); // level-2 lines on
  graph_.removeEdge("A", "B");
  const std::string log = testing::internal::GetCapturedStdout();
  EXPECT_EQ(graph_.nEdges(), 0u);
  EXPECT_FALSE(graph_.hasEdge("S2"));
  EXPECT_FALSE(graph_.hasEdge("S3"));
  // Both lines show the counts from before the removal.
  EXPECT_TRUE(contains(log, "About to remove edge S2: nodes = 4, arcs = 2"));
  EXPECT_TRUE(contains(log, "About to remove edge S3: nodes = 4, arcs = 2"));
  EXPECT_TRUE(contains(log, "Done: nodes = 4, arcs = 0"));
}

TEST_F(GraphFixture, CyclesAreFoundAnywhereIncludingSelfLoops) {
  edge("source", "A", "F");
  edge("A", "B", "S1");
  edge("B", "A", "R");
  EXPECT_FALSE(graph_.isDag());
  graph_.removeEdge("R");
  EXPECT_TRUE(graph_.isDag());
  // A cycle that "source" does not lead to.
  Graph other;
  for (auto &u : units_)
    other.addVertex(u.get());
  other.addEdge("sink", "B", &stream("X1"));
  other.addEdge("B", "sink", &stream("X2"));
  EXPECT_FALSE(other.isDag());
  Graph loop;
  loop.addVertex(units_[2].get());
  loop.addEdge("A", "A", &stream("L"));
  EXPECT_FALSE(loop.isDag());
}

TEST_F(GraphFixture, RevertedEdgeCarriesTheStreamBackwardsLastInTheDotFile) {
  edge("source", "A", "F");
  edge("A", "B", "S1");
  edge("B", "sink", "P");
  graph_.revertEdge("S1");
  EXPECT_EQ(graph_.sourceOf("S1"), "B");
  EXPECT_EQ(graph_.targetOf("S1"), "A");
  const std::string file = "graph_reverted.dot";
  const unsigned offset = static_cast<unsigned>(units_[0]->id());
  graph_.printDot(file, offset);
  const std::string text = read(file);
  std::remove(file.c_str());
  const auto rel = [&](const Node &n) { return std::to_string(n.id() - units_[0]->id()); };
  EXPECT_TRUE(text.ends_with("  \"B\" -> \"A\"[label=\"S1\", URL=\"" + rel(*streams_[1]) +
                             "\"];\n}\n"))
      << text;
  EXPECT_TRUE(contains(text, "  \"source\" [URL=\"0\"];\n"));
  graph_.revertEdge("S1");
  EXPECT_EQ(graph_.sourceOf("S1"), "A");
  EXPECT_TRUE(graph_.isDag());
}

} // namespace

namespace {

// The chain source -> A -> B -> sink: levels 3, 2, 1, 0 (edges to the end
// of the longest path), one processor with unit costs: starts 0, 1, 2, 3 and
// make span 4. A second edge source -> B does not change the levels.
TEST_F(GraphFixture, ChainLevelsStartsAndMakeSpan) {
  TaskGraph tasks;
  for (auto &u : units_)
    tasks.addVertex(u.get());
  tasks.addEdge("source", "A", &stream("F"));
  tasks.addEdge("A", "B", &stream("S"));
  tasks.addEdge("B", "sink", &stream("P"));
  tasks.addEdge("source", "B", &stream("G"));
  tasks.doSchedule(0, 1, nullptr);
  ASSERT_TRUE(tasks.scheduled());
  const std::vector<std::pair<const char *, int>> expected{
      {"source", 3}, {"A", 2}, {"B", 1}, {"sink", 0}};
  ASSERT_EQ(tasks.taskLists().size(), 1u);
  ASSERT_EQ(tasks.taskLists()[0].size(), 4u);
  for (std::size_t i = 0; i < expected.size(); ++i) {
    const VertexBase *v = tasks.graph()[tasks.taskLists()[0][i]];
    EXPECT_EQ(v->tag(), expected[i].first);
    EXPECT_EQ(v->level(), expected[i].second);
    EXPECT_EQ(v->start(), static_cast<double>(i));
  }
  EXPECT_EQ(tasks.makeSpan(), 4.0);

  // The schedule files as written at scheduling, byte for byte.
  EXPECT_EQ(read("start4.dot"), "digraph Q {\n  rankdir = TB;\n"
                                "  \"source\" [style=filled,color=lightgray];\n"
                                "  \"sink\" [style=filled,color=lightgray];\n"
                                "  \"A\" [style=filled,color=lightgray];\n"
                                "  \"B\" [style=filled,color=lightgray];\n"
                                "  \"source\" -> \"A\";\n  \"A\" -> \"B\";\n"
                                "  \"B\" -> \"sink\";\n  \"source\" -> \"B\";\n}\n");
  std::string gantt =
      "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"no\"?>\n"
      "<!DOCTYPE svg PUBLIC \"-//W3C//DTD SVG 1.0//EN\" "
      "\"http://www.w3.org/TR/2001/REC-SVG-20010904/DTD/svg10.dtd\" [\n"
      "  <!ATTLIST svg xmlns:svg CDATA #FIXED \"http://www.w3.org/2000/svg\">\n"
      "]>\n"
      "<svg xmlns:svg=\"http://www.w3.org/2000/svg\" xmlns=\"http://www.w3.org/2000/svg\" "
      "version=\"1.0\" width=\"40\" height=\"80\">\n"
      "  <rect\n     width=\"20\"\n     height=\"60\"\n     x=\"10\"\n     y=\"10\"\n"
      "     style=\"opacity:1;fill:#888888;fill-opacity:1.0;fill-rule:nonzero;stroke:#000000;"
      "stroke-width:1;stroke-linecap:round;stroke-linejoin:miter;stroke-miterlimit:0;"
      "stroke-dasharray:none;stroke-dashoffset:0;stroke-opacity:1\"/>\n"
      "  <rect\n     width=\"20\"\n     height=\"0\"\n     x=\"10\"\n     y=\"70\"\n"
      "     style=\"opacity:1;fill:#DDDDDD;fill-opacity:1.0;fill-rule:nonzero;stroke-width:0;\"/>\n";
  // Vertices in index order: source (start 0), sink (3), A (1), B (2).
  const std::vector<std::pair<int, int>> slots{{0, 0}, {1, 3}, {2, 1}, {3, 2}};
  for (const auto &[unit, start] : slots) {
    const std::string id = std::to_string(units_[static_cast<std::size_t>(unit)]->id());
    gantt += "  <g id=\"task" + id + "\">\n    <rect width=\"20\" height=\"15\" x=\"10\" y=\"" +
             std::to_string(start * 15 + 10) +
             "\" style=\"fill:#ffffff;stroke:#000000;stroke-width:1;stroke-linecap:square;"
             "stroke-linejoin:miter;stroke-miterlimit:0\"/>\n    <text x=\"15\" y=\"" +
             std::to_string(start * 15 + 22) +
             "\" style=\"font-size:12px;fill:#000000;font-family:Arial\">" + id +
             "</text>\n  </g>\n";
  }
  gantt += "</svg>\n";
  EXPECT_EQ(read("tasks4.svg"), gantt);
  EXPECT_EQ(read("cpMisf.dot").substr(0, 27), "digraph Q {\n  rankdir = LR;");
  for (const char *file : {"start4.dot", "tasks4.svg", "cpMisf.dot"})
    std::remove(file);
}

} // namespace
