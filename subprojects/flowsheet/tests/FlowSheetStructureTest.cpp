// Building a flowsheet: terminators, units and streams, the port maps of
// feed and product streams, port ids, the connectivity check, cuts and the
// terminator's own rules.

#include "FlowsheetTestSupport.h"

#include "velta/flowsheet/FlowSheetPrivate.h"
#include "velta/flowsheet/TaskGraph.h"
#include "velta/utility/Error.h"

#include <gtest/gtest.h>

using namespace flowsheettest;

namespace {

class Structure : public ComponentsFixture {
protected:
  void SetUp() override { use(lightAndHeavy()); }
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
};

TEST_F(Structure, NewFlowSheetHoldsOnlyItsTerminators) {
  auto fs = makeFlowSheet<FlowSheet>("PlainFlowSheet");
  ASSERT_NE(fs, nullptr);
  EXPECT_EQ(fs->childCount(), 2u);
  EXPECT_EQ(fs->child("source").type(), "Terminator");
  EXPECT_EQ(fs->taskGraph().nVertices(), 2u);
  EXPECT_EQ(fs->taskGraph().graph()[0]->tag(), "source");
  EXPECT_EQ(fs->taskGraph().graph()[1]->tag(), "sink");
  EXPECT_EQ(fs->NITER.value(), -1);
  EXPECT_EQ(fs->seqTol.value(), 1e-6);
  EXPECT_EQ(fs->seqErr.value(), 1e-6);
  EXPECT_EQ(fs->enableAssignment.size(), 0u);
  EXPECT_EQ(fs->maxNIn.value(), 0);
  EXPECT_EQ(fs->maxNOut.value(), 0);
  EXPECT_EQ(fs->category(), 4);
  EXPECT_EQ(fs->ObjectiveNleAdFlowsheet::name(), "FlowSheet/" + fs->fullTag());
  // Nothing to calculate.
  fs->go(1, 0);
  EXPECT_TRUE(has(fs->errors, "flowsheet contains no unis, bypassing"));
  EXPECT_EQ(fs->nCalculations.value(), 0);
  EXPECT_FALSE(fs->taskGraph().scheduled());
}

TEST_F(Structure, PortIdsOfTheFlowSheet) {
  auto fs = makeFlowSheet<FlowSheet>("PlainFlowSheet");
  EXPECT_EQ(fs->inletIdFromPort("in2"), 1);
  EXPECT_EQ(fs->inletIdFromPort("in2x"), 1);
  EXPECT_EQ(fs->outletIdFromPort("out10"), 9);
  struct Bad {
    const char *port;
    const char *message;
  };
  for (const Bad &bad : {Bad{"in", "port name is invalid"}, Bad{"inlet", "port id is invalid"},
                         Bad{"in0", "port id is invalid"}, Bad{"out1", "port name is invalid"}})
    EXPECT_TRUE(contains(errorOf<ErrorConnectivity>([&] { fs->inletIdFromPort(bad.port); }),
                         std::string("FS ") + bad.message))
        << bad.port;
  EXPECT_TRUE(contains(errorOf<ErrorConnectivity>([&] { fs->outletIdFromPort("out"); }),
                       "port name is invalid"));
}

TEST_F(Structure, StreamsConnectUnitsAndMapFeedsAndProducts) {
  auto fs = makeFlowSheet<FlowSheet>("RecycleFlowSheet");
  EXPECT_EQ(fs->taskGraph().nVertices(), 4u);
  EXPECT_EQ(fs->taskGraph().nEdges(), 4u);
  const Stream &r = streamOf(*fs, "R");
  EXPECT_EQ(r.fromTAG.value(), "D");
  EXPECT_EQ(r.fromPort.value(), "out2");
  EXPECT_EQ(r.toTAG.value(), "M");
  EXPECT_EQ(r.toPort.value(), "in2");
  EXPECT_EQ(streamOf(*fs, "F").fromPort.value(), "out1");
  EXPECT_EQ(fs->maxNIn.value(), 1);
  EXPECT_EQ(fs->maxNOut.value(), 1);
  EXPECT_EQ(fs->inletConnection("F"), 0);
  EXPECT_TRUE(contains(errorOf<ErrorConnectivity>([&] { fs->inletConnection("R"); }),
                       "the supplied tag does not correspond to an inlet stream"));
  EXPECT_FALSE(fs->checkFlowsheet());
  EXPECT_FALSE(fs->isDag());
  // Faults of the wiring.
  EXPECT_TRUE(contains(errorOf<ErrorConnectivity>([&] {
                         fs->addStream("StreamOne", gasOptions("X"), "M", "out", "M", "in");
                       }),
                       "FS can not attach to self"));
  EXPECT_FALSE(fs->hasChild("X"));
  EXPECT_TRUE(contains(errorOf<ErrorRunTime>([&] { fs->setInputConnection("in1", "F"); }),
                       "port in1 already connected"));
  EXPECT_TRUE(contains(errorOf<ErrorRunTime>([&] { fs->setInputConnection("in5", "F"); }),
                       "stream F already connected"));
  EXPECT_TRUE(contains(errorOf<ErrorRunTime>([&] { fs->setInputConnection("in5", "R"); }),
                       "stream R is not coming from source"));
  EXPECT_TRUE(contains(errorOf<ErrorRunTime>([&] { fs->setOutputConnection("out5", "R"); }),
                       "stream R is not going to sink"));
  // A stream whose strings disagree with the ports.
  streamOf(*fs, "R").toPort = std::string("in1");
  EXPECT_TRUE(contains(errorOf<ErrorConnectivity>([&] { fs->checkFlowsheet(); }),
                       "R connectivity mismatch"));
}

TEST_F(Structure, CutTearsTheRecycleThroughTheTerminatorsAndRemovingItRestoresIt) {
  auto fs = makeFlowSheet<FlowSheet>("RecycleFlowSheet");
  fs->addCut("R");
  const Stream &r = streamOf(*fs, "R");
  const Stream &bis = streamOf(*fs, "Rbis");
  EXPECT_EQ(r.fromTAG.value(), "D");
  EXPECT_EQ(r.fromPort.value(), "out2");
  EXPECT_EQ(r.toTAG.value(), "sink");
  EXPECT_EQ(r.toPort.value(), "in2");
  EXPECT_EQ(r.cutdest.value(), "Rbis");
  EXPECT_EQ(r.cutsource.value(), "");
  EXPECT_EQ(bis.fromTAG.value(), "source");
  EXPECT_EQ(bis.fromPort.value(), "out2");
  EXPECT_EQ(bis.toTAG.value(), "M");
  EXPECT_EQ(bis.toPort.value(), "in2");
  EXPECT_EQ(bis.cutsource.value(), "R");
  EXPECT_EQ(bis.description(), "test stream cut");
  EXPECT_EQ(fs->cuts().size(), 1u);
  EXPECT_EQ(fs->cuts().at("R")->in, &bis);
  EXPECT_EQ(fs->taskGraph().sourceOf("Rbis"), "source");
  EXPECT_EQ(fs->taskGraph().targetOf("R"), "sink");
  EXPECT_TRUE(fs->isDag());
  EXPECT_FALSE(fs->checkFlowsheet());
  // A new flowsheet does not map the "bis" stream to an inlet port.
  EXPECT_EQ(fs->maxNIn.value(), 1);

  fs->removeCut("R");
  EXPECT_FALSE(fs->hasChild("Rbis"));
  EXPECT_TRUE(fs->cuts().empty());
  const Stream &back = streamOf(*fs, "R");
  EXPECT_EQ(back.toTAG.value(), "M");
  EXPECT_EQ(back.toPort.value(), "in2");
  EXPECT_EQ(back.cutdest.value(), "");
  EXPECT_EQ(fs->taskGraph().sourceOf("R"), "D");
  EXPECT_FALSE(fs->isDag());
  EXPECT_FALSE(fs->checkFlowsheet());
  // Undoing a cut that does not exist changes nothing.
  EXPECT_TRUE(contains(errorOf<ErrorConnectivity>([&] { fs->removeCut("S1"); }), "S1 is not cut"));
  EXPECT_EQ(fs->taskGraph().nEdges(), 4u);
}

TEST_F(Structure, CuttingOneOfTwoParallelStreamsKeepsTheOther) {
  auto fs = makeFlowSheet<FlowSheet>("PlainFlowSheet");
  fs->addUnit("Mixer", Defaults("M", "mixer"));
  fs->addUnit("Divider", Defaults("D", "divider").setInteger("nOutlets", 3));
  fs->addStream("StreamOne", gasOptions("F"), "source", "out", "M", "in");
  fs->addStream("StreamOne", gasOptions("S1"), "M", "out", "D", "in");
  fs->addStream("StreamOne", gasOptions("P"), "D", "out", "sink", "in");
  fs->addStream("StreamOne", gasOptions("R"), "D", "out", "M", "in");
  fs->addStream("StreamOne", gasOptions("R2"), "D", "out", "M", "in");
  fs->addCut("R");
  EXPECT_TRUE(fs->taskGraph().hasEdge("R2"));
  EXPECT_EQ(fs->taskGraph().sourceOf("R2"), "D");
  EXPECT_EQ(fs->taskGraph().nEdges(), 6u);
  // R2 still closes a cycle.
  EXPECT_FALSE(fs->isDag());
}

TEST_F(Structure, CopyingPortsWithoutMappedStreamsFails) {
  auto fs = makeFlowSheet<FlowSheet>("PlainFlowSheet");
  EXPECT_TRUE(contains(errorOf<ErrorRunTime>([&] { fs->privatePart().copyInlets(); }),
                       "no inlets connected"));
  EXPECT_TRUE(contains(errorOf<ErrorRunTime>([&] { fs->privatePart().copyOutlets(); }),
                       "no outlets connected"));
  // A flowsheet whose inlet port holds no stream warns about its feed.
  auto recycle = makeFlowSheet<FlowSheet>("RecycleFlowSheet");
  recycle->privatePart().copyInlets();
  EXPECT_TRUE(has(recycle->warnings, "source stream F is not connected to any external inlet "
                                     "stream nor is it a cut stream"));
}

TEST_F(Structure, TerminatorTagsAreExactlySourceOrSink) {
  registerFlowsheetTypes();
  for (const char *tag : {"Source", "sinks", "sourc", "SINK"})
    EXPECT_TRUE(contains(errorOf<ErrorConnectivity>([&] {
                           NodeFactory().create("Terminator", Defaults(tag, "t"), 0, nullptr,
                                                nullptr, nullptr);
                         }),
                         std::string(tag) +
                             " invalid tag for Terminator: only source or sink allowed"))
        << tag;
  auto fs = makeFlowSheet<FlowSheet>("RecycleFlowSheet");
  auto &source = dynamic_cast<Terminator &>(fs->child("source"));
  auto &sink = dynamic_cast<Terminator &>(fs->child("sink"));
  EXPECT_EQ(source.maxNIn.value(), 0);
  EXPECT_EQ(source.maxNOut.value(), -1);
  EXPECT_EQ(sink.maxNIn.value(), -1);
  EXPECT_EQ(sink.maxNOut.value(), 0);
}

} // namespace
