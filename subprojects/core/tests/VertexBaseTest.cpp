#include "velta/core/VertexBase.h"

#include "velta/components/ListComponents.h"
#include "velta/components/PureComponents.h"
#include "velta/core/EdgeBase.h"
#include "velta/persistency/Icon.h"
#include "velta/utility/Error.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <limits>
#include <sstream>
#include <string>

namespace {

const double nan = std::numeric_limits<double>::quiet_NaN();

// A unit whose streams are given directly: inlet and outlet mass flows and
// the enthalpy flow in minus out.
class TestUnit : public VertexBase {
public:
  explicit TestUnit(const Defaults &defaults)
      : Object(defaults, 0, nullptr, nullptr, nullptr),
        Model(defaults, 0, nullptr, nullptr, nullptr),
        VertexBase(defaults, 0, nullptr, nullptr, nullptr) {}

  void go(int, int) override {}
  void check() override {}
  void calculate(int) override {}
  void setup() override {}
  void initializeNonPersistents() override {}
  ObjectiveNleAd *objectiveFunction() override { return nullptr; }

  void calculateBalance() override {
    if (failing)
      throw ErrorRunTime("TestUnit::calculateBalance", "no streams");
    resetBalances();
    mdotin = Value(in, "kg/s");
    mdotout = Value(out, "kg/s");
    cmdot = mdotin - mdotout;
    cduty = Value(duty, "W");
  }
  Value energyBalance() override { return Value(power, "W"); }

  double in = 0, out = 0, duty = 0, power = 0;
  bool failing = false;
};

class TestStream : public EdgeBase {
public:
  explicit TestStream(const std::string &tag)
      : Object(Defaults(tag), 0, nullptr, nullptr, nullptr),
        Model(Defaults(tag), 0, nullptr, nullptr, nullptr),
        EdgeBase(Defaults(tag), 0, nullptr, nullptr, nullptr) {}
  void go(int, int) override {}
  void calculate(int) override {}
  void setup() override {}
  void initializeNonPersistents() override {}
  ObjectiveNleAd *objectiveFunction() override { return nullptr; }
};

class Vertex : public testing::Test {
protected:
  void SetUp() override {
    components.clear();
    components.add(new purecomps::water("H2O"));
    components.add(new purecomps::H2("H2", false));
  }
  void TearDown() override { components.clear(); }
};

TEST_F(Vertex, BalanceQuantitiesAreRegistered) {
  TestUnit unit(Defaults("U1"));
  for (const char *tag : {"cmdot", "mdotin", "mdotout", "cduty", "mdotcomps[0]", "mdotcomps[1]"})
    EXPECT_EQ(unit.quantities().count(tag), 1u) << tag;
  EXPECT_EQ(unit.mdotcomps[1].description(), "mass flow of H2");
  EXPECT_EQ(unit.mdotcomps[1].uom(), unit.cmdot.uom());
  EXPECT_EQ(unit.cmdot.value(), 1.0);
  EXPECT_TRUE(unit.cmdot.output());
  EXPECT_TRUE(unit.cduty.output());
  EXPECT_FALSE(unit.mdotin.output());
  EXPECT_EQ(unit.category(), 3);
  EXPECT_EQ(unit.cost(), 1.0);

  unit.resetBalances();
  EXPECT_EQ(unit.cmdot.value(), 0.0);
  EXPECT_EQ(unit.cduty.uom(), Value(1.0, "W").uom());

  components.clear();
  try {
    TestUnit empty(Defaults("U2"));
    FAIL() << "built without components";
  } catch (const Error &error) {
    EXPECT_EQ(error.message(), "Error was thrown by function: VertexBase::VertexBase\n"
                               "Generic Run-Time error: no components defined\n");
  }
}

TEST_F(Vertex, CheckBalanceFilesByTolerance) {
  // Inlets of 1 + 1 kg/s.
  struct Case {
    double out, dutyDifference;
    std::vector<std::string> errors, warnings;
  };
  const Case cases[] = {
      {2.0, 5, {}, {}},
      {1.998, 0, {}, {"mass flow unbalance"}},
      {1.99, 0, {"mass flow unbalance"}, {}},
      {2.0, 500, {}, {"energy flow unbalance"}},
      {2.0, 1000, {}, {"energy flow unbalance"}},
      {2.0, 2000, {"energy flow unbalance"}, {}},
      {1.99, 2000, {"mass flow unbalance", "energy flow unbalance"}, {}},
      {nan, nan, {"mass flow unbalance", "energy flow unbalance"}, {}},
  };
  for (const Case &c : cases) {
    TestUnit unit(Defaults("U1"));
    unit.in = 2.0;
    unit.out = c.out;
    unit.power = 3e5;
    unit.duty = 3e5 + c.dutyDifference;
    unit.checkBalance();
    EXPECT_EQ(unit.errors.value(), c.errors) << c.out << " " << c.dutyDifference;
    EXPECT_EQ(unit.warnings.value(), c.warnings) << c.out << " " << c.dutyDifference;
  }
}

TEST_F(Vertex, CheckBalanceTracesErrors) {
  TestUnit unit(Defaults("U1"));
  unit.failing = true;
  try {
    unit.checkBalance();
    FAIL() << "no error";
  } catch (const Error &error) {
    EXPECT_EQ(error.message(), "Error was thrown by function: TestUnit::calculateBalance\n"
                               "Generic Run-Time error: no streams\n"
                               "Called from function: VertexBase::checkBalance\n");
  }
}

TEST_F(Vertex, PortsSynonymsAndSides) {
  TestUnit unit(Defaults("U1"));
  TestStream feed("S01"), product("S02");
  unit.registerSynonym("vapor", "out1");
  std::string port = "vapor";
  unit.translate(port);
  unit.attach(&feed, "in1");
  unit.attach(&product, port);
  EXPECT_EQ(unit.edgeFromPort("out1"), "S02");
  EXPECT_EQ(unit.portFromEdge("S01"), "in1");
  EXPECT_EQ(unit.locationFromEdge("S01"), 3);
  EXPECT_EQ(unit.locationFromEdge("S02"), 2);

  const auto messageOf = [](auto action) -> std::string {
    try {
      action();
    } catch (const Error &error) {
      return error.message();
    }
    return "no error";
  };
  EXPECT_EQ(messageOf([&] { unit.attach(&feed, "in2"); }),
            "Error was thrown by function: VertexBase::attach\n"
            "Flowsheet connectivity error: U1 Duplicate connected edge\n");
  EXPECT_EQ(messageOf([&] { unit.locationFromEdge("S09"); }),
            "Error was thrown by function: VertexBase::locationFromEdge\n"
            "Flowsheet connectivity error: U1 Edge not connected\n");
  EXPECT_EQ(messageOf([&] { unit.registerSynonym("inlet", "in1"); }),
            "Error was thrown by function: VertexBase::registerSynonym\n"
            "Flowsheet connectivity error: U1 synonyms are not allowed to start with 'in'\n");

  unit.detach("in1");
  EXPECT_EQ(messageOf([&] { unit.detach("in1"); }),
            "Error was thrown by function: VertexBase::detach\n"
            "Flowsheet connectivity error: U1 Port not connected\n");
  EXPECT_EQ(unit.connections().size(), 1u);
}

TEST_F(Vertex, IconDrawingEmbedsTheIconArtwork) {
  TestUnit unit(Defaults("U1"));
  unit.setIcon("Mixer", 40, 30);
  const std::string path = testing::TempDir() + "vertex-icon.svg";
  unit.printSvg(path.c_str(), true, false, 0);
  std::ifstream file(path);
  std::stringstream text;
  text << file.rdbuf();
  std::ostringstream expected;
  Model::printSvgIcon(expected, Icon("Mixer", 40, 30), true);
  EXPECT_EQ(text.str(), expected.str());
  // The mixer's triangle, drawn in the 40 x 30 box; no image file.
  EXPECT_NE(text.str().find("<polygon points=\"3.2,2.4 36.8,15 3.2,27.6\" />"), std::string::npos)
      << text.str();
  EXPECT_EQ(text.str().find("<image"), std::string::npos);
  std::remove(path.c_str());

  // An icon that cannot be written is an error naming the file.
  const std::string missing = testing::TempDir() + "no-such-directory/vertex-icon.svg";
  try {
    unit.printSvg(missing.c_str(), true, false, 0);
    FAIL() << "no error";
  } catch (const ErrorRunTime &error) {
    EXPECT_EQ(error.message(), "Error was thrown by function: VertexBase::printSvg\n"
                               "Generic Run-Time error: can not write to " +
                                   missing + "\n");
  }
}

} // namespace
