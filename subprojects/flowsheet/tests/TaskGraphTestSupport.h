#pragma once
// A task graph over mixers and streams made for the test alone, with
// distinct ids (units from 101, streams from 201) so that log lines and
// Gantt charts tell them apart.

#include "PrivateWorkingDirectory.h"
#include "UnitTestSupport.h"

#include "velta/flowsheet/TaskGraph.h"

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace taskgraphtest {

using namespace unittest;

// A tear hook that removes the stream's edge and notes its tag.
class TearingTaskGraph : public TaskGraph {
public:
  void cutStream(std::string tag) override {
    torn.push_back(tag);
    removeEdge(tag);
  }
  std::vector<std::string> torn;
};

template <class T = TaskGraph> class TaskGraphFixture : public ComponentsFixture {
protected:
  PrivateWorkingDirectory workingDirectory_;
  void SetUp() override {
    use(lightAndHeavy());
    registerUnitTypes();
    savedVerbosity_ = verbosityGlobal;
    verbosityGlobal = 2;
  }
  void TearDown() override {
    verbosityGlobal = savedVerbosity_;
    ComponentsFixture::TearDown();
  }
  // Vertices in the order given (their vertex indices).
  void units(const std::vector<std::string> &tags) {
    for (const std::string &tag : tags) {
      std::unique_ptr<Node> node =
          NodeFactory().create("Mixer", Defaults(tag, "test unit"),
                               101 + static_cast<int>(units_.size()), nullptr, nullptr, nullptr);
      units_[tag].reset(dynamic_cast<Mixer *>(node.release()));
      tasks_.addVertex(units_[tag].get());
    }
  }
  // Edges in the order given (the edge list).
  void streams(const std::vector<std::vector<std::string>> &edges) {
    for (const auto &e : edges) {
      Defaults options(e[2], "test stream");
      options.setString("embeddedTypePhase", "PhaseIdeal<vapor>");
      std::unique_ptr<Node> node = NodeFactory().create(
          "StreamOne", options, 201 + static_cast<int>(streams_.size()), nullptr, nullptr, nullptr);
      streams_[e[2]].reset(dynamic_cast<Stream *>(node.release()));
      tasks_.addEdge(e[0], e[1], streams_[e[2]].get());
    }
  }
  Mixer &unit(const std::string &tag) { return *units_.at(tag); }
  Stream &stream(const std::string &tag) { return *streams_.at(tag); }
  static std::string read(const std::string &file) {
    std::ifstream in(file);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
  }
  static bool contains(const std::string &text, const std::string &part) {
    return text.find(part) != std::string::npos;
  }

  std::map<std::string, std::unique_ptr<Mixer>> units_;
  std::map<std::string, std::unique_ptr<Stream>> streams_;
  T tasks_;

private:
  int savedVerbosity_ = 0;
};

} // namespace taskgraphtest
