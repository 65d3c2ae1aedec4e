#pragma once
// Test support of the flowsheets: the flowsheet types registered for the
// tests, and a feed -> mixer -> divider flowsheet whose divider returns
// part of its flow to the mixer (the recycle R).

#include "UnitTestSupport.h"

#include "velta/flowsheet/FlowSheet.h"
#include "velta/flowsheet/FlowsheetTypes.h"
#include "velta/flowsheet/Terminator.h"

#include <memory>
#include <string>

namespace flowsheettest {

using namespace unittest;

inline Defaults gasOptions(const std::string &tag) {
  Defaults options(tag, "test stream");
  options.setString("embeddedTypePhase", "PhaseIdeal<vapor>");
  return options;
}

// Only the structure: no design equations.
class PlainFlowSheet : public FlowSheet {
public:
  PlainFlowSheet(Defaults defaults, int id, Persistency *persistency, Node *parent, Node *root)
      : Object(defaults, id, persistency, parent, root),
        Model(defaults, id, persistency, parent, root),
        VertexBase(defaults, id, persistency, parent, root),
        FlowSheet(defaults, id, persistency, parent, root) {
    setType("PlainFlowSheet");
  }
  void pre(int, int) override {}
  void post(int, int) override {}
  void makeUserEquations(Position &) override {}
};

// F (source -> M), S1 (M -> D), P (D -> sink), R (D out2 -> M in2); the
// divider sends recycleShare of its inlet back.
class RecycleFlowSheet : public PlainFlowSheet {
public:
  RecycleFlowSheet(Defaults defaults, int id, Persistency *persistency, Node *parent, Node *root)
      : Object(defaults, id, persistency, parent, root),
        Model(defaults, id, persistency, parent, root),
        VertexBase(defaults, id, persistency, parent, root),
        PlainFlowSheet(defaults, id, persistency, parent, root) {
    setType("RecycleFlowSheet");
    if (persistency != nullptr)
      return;
    addUnit("Mixer", Defaults("M", "mixer"));
    addUnit("Divider", Defaults("D", "divider"));
    addStream("StreamOne", gasOptions("F"), "source", "out", "M", "in");
    addStream("StreamOne", gasOptions("S1"), "M", "out", "D", "in");
    addStream("StreamOne", gasOptions("P"), "D", "out", "sink", "in");
    addStream("StreamOne", gasOptions("R"), "D", "out", "M", "in");
  }
};

// F (source -> IN), P (IN -> sink) around a RecycleFlowSheet "IN".
class NestedFlowSheet : public PlainFlowSheet {
public:
  NestedFlowSheet(Defaults defaults, int id, Persistency *persistency, Node *parent, Node *root)
      : Object(defaults, id, persistency, parent, root),
        Model(defaults, id, persistency, parent, root),
        VertexBase(defaults, id, persistency, parent, root),
        PlainFlowSheet(defaults, id, persistency, parent, root) {
    setType("NestedFlowSheet");
    if (persistency != nullptr)
      return;
    addUnit("RecycleFlowSheet", Defaults("IN", "inner flowsheet"));
    addStream("StreamOne", gasOptions("F"), "source", "out", "IN", "in");
    addStream("StreamOne", gasOptions("P"), "IN", "out", "sink", "in");
  }
};

inline void registerFlowsheetTypes() {
  static const bool registered = [] {
    registerUnitTypes();
    registerStreamTypes();
    Velta::Flowsheet::registerFlowsheetTypes();
    NodeFactory f;
    f.registerType<PlainFlowSheet>("PlainFlowSheet", "Flowsheet of the tests", "flowsheet",
                                   true, {}, {}, {}, "", 100, 100);
    f.registerType<RecycleFlowSheet>("RecycleFlowSheet", "Recycle flowsheet of the tests",
                                     "flowsheet", true, {}, {}, {}, "", 100, 100);
    f.registerType<NestedFlowSheet>("NestedFlowSheet", "Nested flowsheet of the tests",
                                    "flowsheet", true, {}, {}, {}, "", 100, 100);
    return true;
  }();
  (void)registered;
}

template <class F> std::unique_ptr<F> makeFlowSheet(const std::string &type,
                                                    const std::string &tag = "FS") {
  registerFlowsheetTypes();
  std::unique_ptr<Node> node =
      NodeFactory().create(type, Defaults(tag, "test flowsheet"), 0, nullptr, nullptr, nullptr);
  return std::unique_ptr<F>(dynamic_cast<F *>(node.release()));
}

inline Stream &streamOf(FlowSheet &fs, const std::string &tag) {
  return dynamic_cast<Stream &>(fs.child(tag));
}

} // namespace flowsheettest
