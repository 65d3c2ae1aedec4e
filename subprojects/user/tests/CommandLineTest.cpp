// The kernel program run as a user runs it, one verb per process, on both
// test stores: exit statuses, the id on the last line of standard output,
// and what the store holds afterwards.
#include "KernelStore.h"

#include <string>
#include <vector>

namespace {

using kerneltest::KernelStoreTest;

struct Step {
  std::vector<std::string> arguments;
  int status;
  // Expected last line of standard output; "-" when it is not checked.
  std::string lastLine;
  // Rows of N after the step.
  long nodes;
  // Steps whose road does not depend on the database run on SQLite alone.
  bool everyStore = true;
};

// A liquid of water and Chemical1, 2 kg/s; the other fractions zero.
const std::string liquid = R"({"quantities":{"mdot":2,"w[0]":0.25,"w[1]":0,"w[2]":0.75,)"
                           R"("w[3]":0,"w[4]":0,"w[5]":0,"w[6]":0,"w[7]":0,"w[8]":0,)"
                           R"("w[9]":0,"w[10]":0}})";

// Steam at 400 K and 1 bar, 0.1 kmol/s of water alone.
const std::string steam =
    R"({"quantities":{"T":400,"P":100000,"Tphase.ndot":0.1,"Tphase.x[0]":1,"Tphase.x[1]":0,)"
    R"("Tphase.x[2]":0,"Tphase.x[3]":0,"Tphase.x[4]":0,"Tphase.x[5]":0,"Tphase.x[6]":0,)"
    R"("Tphase.x[7]":0,"Tphase.x[8]":0,"Tphase.x[9]":0,"Tphase.x[10]":0}})";

class KernelCommandLine : public KernelStoreTest {
protected:
  // A stored quantity of the node tagged Tphase, times scale, as an integer.
  long storedTphase(const std::string &tag, double scale) {
    return count("SELECT CAST(Q.VALUE * " + std::to_string(scale) +
                 " AS INTEGER) FROM Q JOIN N ON Q.NID = N.ID WHERE N.TAG = 'Tphase' AND "
                 "Q.TAG = '" +
                 tag + "'");
  }
};

TEST_P(KernelCommandLine, VerbsInSequence) {
  // Statuses: failures keep their codes modulo 256 (-1 255, -81 175,
  // -84 172, -93 163); success is 0 with the id on the last line.
  const std::vector<Step> steps = {
      // An empty store gives the root id 0; the next case starts after the
      // first block (one node).
      {{"new", "PhaseSimple<liquid>", "L1", "demo liquid", liquid}, 0, "0", 1},
      {{"new", "PhaseSimple<vapor>"}, 0, "1", 2},
      {{"calculate", "0"}, 0, "0", 2},
      {{"calculatetest", "0"}, 0, "0", 2, false},
      {{"calculatecheck", "1"}, 0, "1", 2},
      {{"check", "0"}, 0, "0", 2},
      {{"duplicate", "0", "L2", "copy"}, 0, "2", 3},
      {{"txt", "2"}, 0, "2", 3},
      {{"remove", "2"}, 0, "2", 2},
      // Nothing left to remove: a failure, not a silent success.
      {{"remove", "2"}, 163, "-", 2},
      // Ids are non-negative decimal numbers.
      {{"remove", "abc"}, 255, "-", 2, false},
      {{"calculate", "-3"}, 255, "-", 2, false},
      {{"check", "12x"}, 255, "-", 2, false},
      // The store-wide verbs match their word exactly.
      {{"purgeX"}, 255, "-", 2, false},
      {{"removeall", "0"}, 255, "-", 2, false},
      {{"purge", "0"}, 255, "-", 2, false},
      {{"xml", "0"}, 255, "-", 2, false},
      {{"types", "x"}, 255, "-", 2, false},
      {{"frobnicate"}, 255, "-", 2, false},
      // A type name without a class (the default type's "new" is in the
      // tests of the example models).
      {{"new", "Attacco<2>"}, 163, "-", 2, false},
      {{"new", "PhaseSimple<liquid>", "L3", "", R"({"tag":"X",)"}, 163, "-", 2, false},
      {{"new", "PhaseSimple<liquid>", "L3", "", R"({"quantities":{"nosuch":1}})"}, 163, "-", 2},
      {{"new", "PhaseSimple<liquid>", "L3", "", R"({"integerOptions":[1]})"}, 163, "-", 2, false},
      {{"new", "PhaseSimple<liquid>", "L3", "", R"({"tag":{"a":1}})"}, 163, "-", 2, false},
      {{"new", "PhaseSimple<liquid>", "L3", "", R"([1,2])"}, 163, "-", 2, false},
      {{"new", "PhaseSimple<liquid>", "bad tag!"}, 163, "-", 2, false},
      // No such case: no model.
      {{"calculate", "99"}, 175, "-", 2},
      {{"check"}, 0, "0", 2},
      {{"txt", "99"}, 175, "-", 2, false},
      {{"duplicate", "99"}, 163, "-", 2},
      {{"enumerators"}, 0, R"({"enumerators":[]})", 2, false},
      {{"purge"}, 0, "-", 0},
      // After a purge ids start again at 0.
      {{"new", "PhaseSimple<liquid>", "L4", "", liquid}, 0, "0", 1},
      // A stream case (the stream and its phase): created, then flashed.
      {{"new", "StreamIapwsVapor", "S1", "steam", steam}, 0, "1", 3},
      {{"calculate", "1"}, 0, "1", 3},
  };
  for (const Step &step : steps) {
    if (!step.everyStore && GetParam() != odbctest::Database::sqlite)
      continue;
    std::string line;
    for (const std::string &argument : step.arguments)
      line += argument + " ";
    SCOPED_TRACE(line);
    const kerneltest::KernelRun run = kernel(step.arguments);
    EXPECT_EQ(run.status, step.status) << run.err;
    if (step.lastLine != "-") {
      EXPECT_EQ(run.lastLine(), step.lastLine);
    }
    EXPECT_EQ(nodes(), step.nodes);
    // A failure never leaves an id behind as if it had succeeded.
    if (step.status != 0) {
      const std::string last = run.lastLine();
      EXPECT_TRUE(last.empty() || last.find_first_not_of("0123456789") != std::string::npos)
          << last;
    }
  }
  // The stored state of the steam is the flash's: python3-iapws 1.5,
  // IAPWS95(P=0.1, T=400) gives h = 2730.4271568 kJ/kg and
  // rho = 0.54760541523 kg/m3, so with M = 18.015268 kg/kmol
  // H = 49189376.98 J/kmol and v = 32.898264880 m3/kmol (molar, so the
  // kernel's own molar mass of water does not enter).
  EXPECT_NEAR(storedTphase("H", 1.0), 49189377, 2);
  EXPECT_NEAR(storedTphase("v", 1e6), 32898265, 2);
}

INSTANTIATE_TEST_SUITE_P(Stores, KernelCommandLine,
                         ::testing::Values(odbctest::Database::sqlite,
                                           odbctest::Database::postgresql),
                         odbctest::databaseParameterName);

} // namespace
