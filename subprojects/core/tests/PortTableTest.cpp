#include "velta/core/PortTable.h"

#include "velta/utility/Error.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace {

std::string messageOf(const std::function<void()> &action) {
  try {
    action();
  } catch (const Error &error) {
    return error.message();
  }
  return "no error";
}

std::string connectivity(const std::string &function, const std::string &message) {
  return "Error was thrown by function: " + function +
         "\nFlowsheet connectivity error: U1 " + message + "\n";
}

TEST(PortTable, AttachDetachAndLookups) {
  PortTable ports;
  ports.attach("S01", "in1", "U1");
  ports.attach("S02", "out1", "U1");
  EXPECT_EQ(ports.edgeFromPort("out1", "U1"), "S02");
  EXPECT_EQ(ports.portFromEdge("S01", "U1"), "in1");

  // A taken port refuses a second edge without an error.
  ports.attach("S03", "in1", "U1");
  EXPECT_EQ(ports.edgeFromPort("in1", "U1"), "S01");
  EXPECT_FALSE(ports.findPort("S03"));

  ports.detach("in1", "U1");
  EXPECT_FALSE(ports.findPort("S01"));
  EXPECT_EQ(ports.connections(),
            (std::vector<std::pair<std::string, std::string>>{{"S02", "out1"}}));
  ports.attach("S01", "in2", "U1");
  EXPECT_EQ(ports.portFromEdge("S01", "U1"), "in2");
}

TEST(PortTable, ConnectivityErrorTexts) {
  PortTable ports;
  ports.attach("S01", "in1", "U1");
  const struct {
    std::function<void()> action;
    std::string expected;
  } cases[] = {
      {[&] { ports.attach("S01", "in2", "U1"); },
       connectivity("VertexBase::attach", "Duplicate connected edge")},
      {[&] { ports.detach("in2", "U1"); }, connectivity("VertexBase::detach", "Port not connected")},
      {[&] { ports.edgeFromPort("out1", "U1"); },
       connectivity("VertexBase::edgeFromPort", "port not connected")},
      {[&] { ports.portFromEdge("S09", "U1"); },
       connectivity("VertexBase::portFromEdge", "edge not connected")},
      {[&] { ports.registerSynonym("inlet", "in1", "U1"); },
       connectivity("VertexBase::registerSynonym", "synonyms are not allowed to start with 'in'")},
      {[&] { ports.registerSynonym("outer", "out1", "U1"); },
       connectivity("VertexBase::registerSynonym", "synonyms are not allowed to start with 'out'")},
  };
  for (const auto &c : cases)
    EXPECT_EQ(messageOf(c.action), c.expected);
  EXPECT_EQ(ports.connections().size(), 1u);
}

TEST(PortTable, SynonymsAndDefaultSides) {
  PortTable ports;
  for (const char *synonym : {"Inlet", "vapor", "liquid"})
    ports.registerSynonym(synonym, "out1", "U1");
  ports.registerSynonym("liquid", "out2", "U1");

  std::string name = "liquid";
  EXPECT_TRUE(ports.translate(name));
  EXPECT_EQ(name, "out2");
  name = "Inlet";
  EXPECT_TRUE(ports.translate(name));
  EXPECT_EQ(name, "out1");
  name = "in3";
  EXPECT_FALSE(ports.translate(name));
  EXPECT_EQ(name, "in3");

  for (const char *port : {"out", "out2", "outlet"})
    EXPECT_EQ(PortTable::defaultLocation(port), PortTable::east) << port;
  for (const char *port : {"in1", "vapor", "", "Out"})
    EXPECT_EQ(PortTable::defaultLocation(port), PortTable::west) << port;
}

} // namespace
