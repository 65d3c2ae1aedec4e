// The task graph inside a flowsheet's calculation: the refusal of an uncut
// recycle (tearing names the stream, the flowsheet stays unscheduled and
// calculates once the cut is declared), and the Wegstein steps of the
// sequential loop on the cut recycle.

#include "FlowsheetTestSupport.h"

#include "velta/flowsheet/TaskGraph.h"
#include "velta/units/Divider.h"
#include "velta/utility/Error.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

using namespace flowsheettest;

namespace {

// The recycle flowsheet with a longer sequential loop.
class LongLoopRecycle : public RecycleFlowSheet {
public:
  LongLoopRecycle(Defaults defaults, int id, Persistency *persistency, Node *parent, Node *root)
      : Object(defaults, id, persistency, parent, root),
        Model(defaults, id, persistency, parent, root),
        VertexBase(defaults, id, persistency, parent, root),
        RecycleFlowSheet(defaults, id, persistency, parent, root) {}
  int sequential() override { return 40; }
};

class FlowSheetSchedule : public ComponentsFixture {
protected:
  void SetUp() override { use(lightAndHeavy()); }
  // 1 kmol/s of 30 % light gas at 350 K and 1 bar; 40 % returns.
  static void feed(FlowSheet &fs) {
    Stream &f = streamOf(fs, "F");
    setFeed(f, {0.3, 0.7}, 350.0, 1e5, 1.0);
    f.setFlash(static_cast<int>(Velta::Utility::FlashMode::PT));
    auto &divider = dynamic_cast<Divider &>(fs.child("D"));
    divider.outSplit[0] = Value(0.6);
    divider.outSplit[1] = Value(0.4);
  }
  static std::vector<double> iterationErrors(const std::string &log) {
    std::vector<double> errors;
    for (auto at = log.find(" Error = "); at != std::string::npos;
         at = log.find(" Error = ", at + 1))
      errors.push_back(std::stod(log.substr(at + 9)));
    return errors;
  }
};

// Tearing examines the component {M, D} (written at the default verbosity)
// and names R, the stream from the higher vertex index back to the lower.
TEST_F(FlowSheetSchedule, UncutRecycleIsRefusedUntilItsCutIsDeclared) {
  auto fs = makeFlowSheet<FlowSheet>("RecycleFlowSheet");
  feed(*fs);
  testing::internal::CaptureStdout();
  try {
    fs->calculate(0);
    ADD_FAILURE() << "no error";
  } catch (const ErrorConnectivity &e) {
    EXPECT_NE(e.message().find("is cyclic: cut the stream(s) R"), std::string::npos) << e.message();
  }
  const std::string log = testing::internal::GetCapturedStdout();
  const std::string weight = "TaskGraph::findCycles_ * weight[";
  EXPECT_NE(log.find("\nTaskGraph::findCycles_ * Vertex weights:\n" + weight +
                     std::to_string(fs->child("M").id()) + "] = 1\n" + weight +
                     std::to_string(fs->child("D").id()) + "] = 1\n"),
            std::string::npos)
      << log;
  EXPECT_FALSE(fs->taskGraph().scheduled());
  EXPECT_EQ(fs->nCalculations.value(), 0);

  fs->addCut("R");
  testing::internal::CaptureStdout();
  fs->calculate(0);
  testing::internal::GetCapturedStdout();
  for (const std::string &e : fs->errors.value())
    ADD_FAILURE() << e;
  EXPECT_TRUE(fs->taskGraph().scheduled());
  EXPECT_NEAR(streamOf(*fs, "R").Tphase->mdot.value(), 8.8, 1e-8);
}

// Direct steps shrink the recycle's error by the split fraction 0.4 per
// pass, so 10 passes leave it near 4e-5, above the tolerance 1e-6; from
// the eleventh pass Wegstein steps extrapolate the (nearly linear) recycle
// from the slope of the last two steps and reach the tolerance at once. The recycle then carries
// 0.4 / 0.6 * 13.2 = 8.8 kg/s.
TEST_F(FlowSheetSchedule, WegsteinStepsFromTheEleventhPassConvergeSooner) {
  registerFlowsheetTypes();
  int niter[2] = {0, 0};
  const Velta::Utility::CutsSolution methods[2] = {Velta::Utility::CutsSolution::direct,
                                                   Velta::Utility::CutsSolution::wegstein};
  for (int i = 0; i < 2; ++i) {
    LongLoopRecycle fs(Defaults("FS", "long loop"), 0, nullptr, nullptr, nullptr);
    feed(fs);
    fs.addCut("R");
    fs.setCutsSolution(methods[i]);
    testing::internal::CaptureStdout();
    fs.go(1, 0);
    const std::string log = testing::internal::GetCapturedStdout();
    for (const std::string &e : fs.errors.value())
      ADD_FAILURE() << e;
    niter[i] = fs.NITER.value();
    const std::vector<double> errors = iterationErrors(log);
    ASSERT_EQ(errors.size(), static_cast<std::size_t>(niter[i] + 1)) << log;
    ASSERT_GT(niter[i], 10) << log;
    EXPECT_GT(errors[10], 1e-6);
    EXPECT_LT(errors.back(), i == 0 ? 1e-6 : 1e-8);
    EXPECT_NEAR(streamOf(fs, "R").Tphase->mdot.value(), 8.8, 1e-4);
    EXPECT_NE(log.find("FlowSheet::go * = Iter = 10 Error = "), std::string::npos) << log;
  }
  // Direct steps need 14 passes (3.8e-5 at pass 10, then 0.4 times less
  // per pass); the first Wegstein step brings the error to about 1e-9.
  EXPECT_EQ(niter[0], 14);
  EXPECT_EQ(niter[1], 11);
}

} // namespace
