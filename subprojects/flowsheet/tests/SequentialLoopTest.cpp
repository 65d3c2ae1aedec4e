// The stop rules of the sequential loop, driven by one design equation
// x := r_k whose right-hand side follows a script, one entry per pass:
// after the direct step of pass k, x = r_k and the error is
// |r_k - r_(k-1)| / (|r_k + r_(k-1)| / 2 + 1) with r_(-1) = 0.

#include "FlowsheetTestSupport.h"

#include <gtest/gtest.h>

#include <vector>

using namespace flowsheettest;

namespace {

class ScriptedFlowSheet : public PlainFlowSheet {
public:
  ScriptedFlowSheet(Defaults defaults, int id, Persistency *persistency, Node *parent, Node *root)
      : Object(defaults, id, persistency, parent, root),
        Model(defaults, id, persistency, parent, root),
        VertexBase(defaults, id, persistency, parent, root),
        PlainFlowSheet(defaults, id, persistency, parent, root) {
    addUnit("Mixer", Defaults("M", "mixer"));
    addStream("StreamOne", gasOptions("F"), "source", "out", "M", "in");
    addStream("StreamOne", gasOptions("P"), "M", "out", "sink", "in");
  }
  void post(int, int) override { ++pass_; }
  void makeUserEquations(Position &p) override {
    const double r = script[static_cast<std::size_t>(std::min<int>(
        std::max(pass_, 0), static_cast<int>(script.size()) - 1))];
    makeAssignment(p, &x_, Value(r), "x", "x", 0, Velta::Utility::ScalingMode::noscaling, 0.0,
                   1.0, Value(1.0));
  }
  int sequential() override { return limit; }

  std::vector<double> script;
  int limit = 5;
  Value x_{0.0};

private:
  int pass_ = -1;
};

struct LoopCase {
  const char *name;
  std::vector<double> script;
  int limit;
  int niter;
  const char *error; // "" for none
};

// Readable test names in CTest.
void PrintTo(const LoopCase &c, std::ostream *os) { *os << c.name; }

class SequentialLoop : public ComponentsFixture, public testing::WithParamInterface<LoopCase> {
protected:
  void SetUp() override { use(lightAndHeavy()); }
};

std::vector<double> alternating(int n) {
  std::vector<double> r;
  for (int i = 0; i < n; ++i)
    r.push_back(i % 2 == 0 ? 0.5 : -0.5);
  return r;
}

TEST_P(SequentialLoop, StopsByItsRules) {
  const LoopCase &c = GetParam();
  registerFlowsheetTypes();
  ScriptedFlowSheet fs(Defaults("FS", "scripted"), 0, nullptr, nullptr, nullptr);
  fs.script = c.script;
  fs.limit = c.limit;
  setFeed(streamOf(fs, "F"), {0.5, 0.5}, 300.0, 1e5, 1.0);
  streamOf(fs, "F").setFlash(static_cast<int>(Velta::Utility::FlashMode::PT));
  testing::internal::CaptureStdout();
  fs.go(1, 0);
  testing::internal::GetCapturedStdout();
  EXPECT_EQ(fs.NITER.value(), c.niter);
  const auto &errors = fs.errors.value();
  const std::string prefix = "flowsheet sequential convergence failure: ";
  for (const char *message : {"maximum iterations reached;", "non decreasing residues;"})
    EXPECT_EQ(has(fs.errors, prefix + message), std::string(c.error) == message)
        << message << " among " << errors.size();
  EXPECT_EQ(fs.nCalculations.value(), 1);
}

// converges: errors 0.5 / 1.25 = 0.4, 0.4 / 1.3 = 0.31, 1e-8 / 1.1 < 1e-6,
//   so the loop stops in its third pass (NITER 2);
// alternating +-0.5: every error is 1 / 1 = 1, never below 0.99 of the one
//   before: the eleventh such pass (k = 10) stops the loop when the limit
//   allows it, else the limit of 5 passes ends it first.
INSTANTIATE_TEST_SUITE_P(
    Cases, SequentialLoop,
    testing::Values(LoopCase{"Converges", {0.5, 0.1, 0.1 + 1e-8}, 5, 2, ""},
                    LoopCase{"NonDecreasing", alternating(40), 20, 10, "non decreasing residues;"},
                    LoopCase{"LimitOfFive", alternating(40), 5, 5,
                             "maximum iterations reached;"}),
    [](const testing::TestParamInfo<LoopCase> &info) { return std::string(info.param.name); });

} // namespace
