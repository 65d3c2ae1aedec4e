// Single-phase cubic states of the kernel's components through the program:
// a StreamOne over each cubic phase type is created, calculated (a PT flash)
// and dumped as text, and its molar volume is the root of the same cubic to
// 1e-10 relative (the text shows twelve digits).
#include "KernelStore.h"

#include <cstdlib>
#include <sstream>
#include <string>

namespace {

using kerneltest::KernelRun;
using kerneltest::KernelStoreTest;

struct CubicState {
  const char *name;
  const char *phaseType; // registered phase type
  double T, P;           // K, Pa
  const char *x;         // the fractions of the kernel's 11 components
  double v;              // m3/kmol, CubicVolumesReference.py
};

std::ostream &operator<<(std::ostream &os, const CubicState &c) { return os << c.name; }

// The value of the first line "v = <number> ..." of the dump.
double molarVolume(const std::string &dump) {
  std::istringstream lines(dump);
  std::string line;
  while (std::getline(lines, line))
    if (line.rfind("v = ", 0) == 0)
      return std::strtod(line.c_str() + 4, nullptr);
  return 0.0;
}

class CubicStatesProgram : public KernelStoreTest {};

// Roots by CubicVolumesReference.py (mpmath, 40 digits, the engines'
// constants and the kernel's critical constants). Components in order: H2O,
// H2, Chemical1, Chemical2, then seven absent ones.
const CubicState states[] = {
    {"VanDerWaalsLiquidChemical1", "PhaseVanDerWaals<liquid>", 320, 5e5,
     R"("Tphase.x[2]":1)", 0.10367410067031763},
    {"VanDerWaalsVapourChemical1", "PhaseVanDerWaals<vapor>", 400, 1e5, R"("Tphase.x[2]":1)",
     33.042555014001395},
    {"SoaveLiquidWater", "PhaseKwongRedlichSoave<liquid>", 300, 1e5, R"("Tphase.x[0]":1)",
     0.023879990621914071},
    {"SoaveVapourWater", "PhaseKwongRedlichSoave<vapor>", 400, 1e5, R"("Tphase.x[0]":1)",
     33.028599661404782},
    {"PengRobinsonLiquidChemical2", "PhasePengRobinson<liquid>", 250, 2e6,
     R"("Tphase.x[3]":1)", 0.036801957347143081},
    {"PengRobinsonVapourHydrogenChemical2", "PhasePengRobinson<vapor>", 300, 2e6,
     R"("Tphase.x[1]":0.5,"Tphase.x[3]":0.5)", 1.2047815986478372},
};

} // namespace

TEST_P(CubicStatesProgram, MolarVolumesAreTheRootsOfTheCubic) {
  for (const CubicState &c : states) {
    SCOPED_TRACE(c.name);
    std::ostringstream json;
    json.imbue(std::locale::classic());
    json.precision(17);
    json << R"({"stringOptions":{"embeddedTypePhase":")" << c.phaseType
         << R"("},"quantities":{"T":)" << c.T << R"(,"P":)" << c.P << R"(,"Tphase.ndot":1,)";
    // Every fraction is given (absent ones 0) so that none keeps a default.
    std::string fractions;
    for (int i = 0; i < 11; ++i) {
      const std::string key = "\"Tphase.x[" + std::to_string(i) + "]\"";
      const std::string given = c.x;
      const std::size_t at = given.find(key);
      fractions += (i ? "," : "") + (at == std::string::npos
                                         ? key + ":0"
                                         : given.substr(at, given.find_first_of(",", at) - at));
    }
    json << fractions << "}}";
    const KernelRun created = kernel({"new", "StreamOne", "c1", "cubic state", json.str()});
    const std::string id = created.lastLine();
    ASSERT_EQ(created.status, 0) << created.err;
    const KernelRun calculated = kernel({"calculate", id});
    EXPECT_EQ(calculated.status, 0) << calculated.err;
    EXPECT_EQ(calculated.out.find("reportError"), std::string::npos) << calculated.out;
    ASSERT_EQ(kernel({"txt", id}).status, 0);
    const double v = molarVolume(readFile(workFile(id + ".txt")));
    EXPECT_NEAR(v / c.v, 1.0, 1e-10) << "v = " << v;
  }
}

INSTANTIATE_TEST_SUITE_P(Store, CubicStatesProgram, ::testing::Values(odbctest::Database::sqlite),
                         odbctest::databaseParameterName);
