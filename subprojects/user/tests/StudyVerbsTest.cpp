// The verbs "sensitivity" and "homotopy" end to end: the kernel program
// (its test build, with the small study model registered) on the SQLite
// test store, with the input files in its working directory.
#include "KernelStore.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <regex>
#include <sstream>

namespace {

using kerneltest::KernelRun;
namespace fs = std::filesystem;

const std::string declaration = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";

// T over 2 points (300, 310 K) and P over 3 (10, 20, 30 kPa), h and P in
// kPa monitored.
std::string sensitivityInput(const std::string &order, const std::string &pPoints = "3") {
  return declaration + "<sensitivity>\n  <name>grid</name>\n  <type>StudyTestModel</type>\n"
                       "  <id>0</id>\n  <order>" +
         order +
         "</order>\n  <timeout>60</timeout>\n  <startinground>0</startinground>\n"
         "  <controlled>\n"
         "    <variable start=\"300\" end=\"310\" points=\"2\" label=\"T\">T</variable>\n"
         "    <variable start=\"10\" end=\"30\" points=\"" +
         pPoints +
         "\" unit=\"kPa\">P</variable>\n"
         "  </controlled>\n"
         "  <monitored>\n    <variable>h</variable>\n"
         "    <variable unit=\"kPa\">P</variable>\n  </monitored>\n"
         "</sensitivity>\n";
}

std::string homotopyInput(const std::string &points, const std::string &start,
                          const std::string &end, const std::string &path = "T") {
  return declaration + "<homotopy>\n  <type>StudyTestModel</type>\n  <id>0</id>\n  <points>" +
         points + "</points>\n  <controlled>\n    <variable start=\"" + start + "\" end=\"" + end +
         "\">" + path + "</variable>\n  </controlled>\n</homotopy>\n";
}

class StudyVerbs : public kerneltest::KernelStoreTest {
protected:
  KernelRun study(const std::vector<std::string> &arguments) {
    return kernel(arguments, VELTA_KERNEL_STUDY_PROGRAM);
  }

  // A new study model with the given quantities; its id.
  std::string newCase(const std::string &quantities) {
    const KernelRun run =
        study({"new", "StudyTestModel", "CASE", "", "{\"quantities\":{" + quantities + "}}"});
    EXPECT_EQ(run.status, 0) << run.err;
    return run.lastLine();
  }

  // The stored temperature of the case, in mK.
  long storedMilliKelvin(const std::string &id) {
    return count("SELECT CAST(ROUND(VALUE * 1000) AS INTEGER) FROM Q WHERE TAG = 'T' AND NID = " +
                 id);
  }

  std::string results() const { return workFile("SensitivityResults.xml"); }
  std::string resultsXpath(const std::string &expression) {
    return xpath(results(), expression, scratch_);
  }

  // The cake liquid fraction of a stored Stadio case, from its text dump.
  double cakeLiquidFraction(const std::string &id) {
    EXPECT_EQ(kernel({"txt", id, "cake"}).status, 0);
    const std::string dump = readFile(workFile("cake.txt"));
    const std::size_t cake = dump.find("*** Begin S05 ");
    const std::size_t liquid = dump.find("*** Begin Lphase[0] ", cake);
    const std::size_t fraction = dump.find("\nfraction = ", liquid);
    EXPECT_NE(fraction, std::string::npos) << dump;
    return std::strtod(dump.c_str() + fraction + 12, nullptr);
  }

  static bool has(const std::string &text, const std::string &part) {
    return text.find(part) != std::string::npos;
  }
};

TEST_P(StudyVerbs, Sensitivity) {
  const std::string id = newCase("");
  writeFile(workFile("SensitivityInput.xml"), sensitivityInput("boustrophedon"));
  const KernelRun run = study({"sensitivity", id});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.lastLine(), id);
  EXPECT_TRUE(has(run.out, "Velta::User::Case::sensitivitySync * Entering sensitivity mode\n"));
  EXPECT_TRUE(has(run.out, "Velta::User::Case::sensitivitySync * Launch sensitivity\n"));
  EXPECT_TRUE(has(run.out, "Sensitivity::execute * Performing round 3: [T = 310 P = 30000 ]\n\n"));
  EXPECT_TRUE(has(run.out, "Sensitivity::execute * Errorfree rows = 6 / 6 = 100 %\n"));
  EXPECT_EQ(xmllint("--noout " + results()), 0);
  EXPECT_EQ(resultsXpath("count(/results/result)"), "6");
  // Round 3 of the Gray order: T 310 K, P 30 kPa; h = 3100 + 30; NITER 4.
  EXPECT_EQ(resultsXpath("string(/results/result[4]/controlled/variable[2])"), "30");
  EXPECT_EQ(resultsXpath("string(/results/result[4]/monitored/variable[1])"), "3130");
  EXPECT_EQ(resultsXpath("string(/results/result[4]/iterations)"), "4");
  // Nothing stored.
  EXPECT_EQ(storedMilliKelvin(id), 300000);
}

// A failure in round 3 keeps rounds 0 to 2 in the results file; input
// faults stop the verb before any round.
TEST_P(StudyVerbs, SensitivityFailures) {
  const std::string id = newCase("\"throwAbove\":305");
  writeFile(workFile("SensitivityInput.xml"), sensitivityInput("lexicographical"));
  const KernelRun failed = study({"sensitivity", id});
  EXPECT_EQ(failed.status, 172);
  EXPECT_TRUE(has(failed.err, "T beyond reach\n"));
  EXPECT_TRUE(has(failed.err, "Called from function: Sensitivity::execute\n"
                              "Called from function: Velta::User::Case::sensitivitySync\n"))
      << failed.err;
  EXPECT_EQ(xmllint("--noout " + results()), 0);
  EXPECT_EQ(resultsXpath("count(/results/result)"), "3");

  const struct {
    const char *name;
    std::string input; // empty: no file
    std::string message;
  } cases[] = {
      {"no file", "", "error opening file: SensitivityInput.xml"},
      {"malformed", declaration + "<sensitivity><type>", "error opening tree: SensitivityInput.xml"},
      {"no type", declaration + "<sensitivity/>",
       "could not read type field: SensitivityInput.xml"},
      {"radix 0", sensitivityInput("lexicographical", "0"), "Controlled variable P has 0 points, not 1 to 999"},
      {"no such monitored quantity",
       std::regex_replace(sensitivityInput("lexicographical"),
                          std::regex("<variable>h</variable>"), "<variable>S:h</variable>"),
       "no quantity at the monitored path S:h of StudyTestModel CASE"},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.name);
    fs::remove(workFile("SensitivityInput.xml"));
    fs::remove(results());
    if (!c.input.empty())
      writeFile(workFile("SensitivityInput.xml"), c.input);
    const KernelRun run = study({"sensitivity", id});
    EXPECT_EQ(run.status, 172);
    EXPECT_TRUE(has(run.err, c.message)) << run.err;
    EXPECT_FALSE(has(run.out, "Performing round"));
  }
  // The run refused the grid: the verb still writes the empty document;
  // likewise for a case that does not exist (no model, -81).
  const std::string empty = readFile(results());
  EXPECT_EQ(std::count(empty.begin(), empty.end(), '\n'), 3);
  fs::remove(results());
  writeFile(workFile("SensitivityInput.xml"), sensitivityInput("lexicographical"));
  EXPECT_EQ(study({"sensitivity", "99"}).status, 175);
  EXPECT_EQ(resultsXpath("count(/results/result)"), "0");
}

TEST_P(StudyVerbs, Homotopy) {
  const std::string id = newCase("\"limit\":335");
  writeFile(workFile("Homotopy.xml"), homotopyInput("3", "300", "330"));
  const KernelRun run = study({"homotopy", id});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.lastLine(), id);
  for (const char *line : {"Velta::User::Case::homotopySync * Entering homotopy mode\n",
                           "Velta::User::Case::homotopySync * Launch homotopy\n",
                           "Homotopy::execute * Performing point 1: [T = 315 ]\n\n",
                           "Homotopy::execute * Performed point 2 in ",
                           "Velta::User::Case::homotopySync * Updated results to persistent "
                           "storage\n"})
    EXPECT_TRUE(has(run.out, line)) << line;
  EXPECT_EQ(storedMilliKelvin(id), 330000);

  // 330 to 350 in 5 points: 335 is fine, 340 fails; 335 K is stored and
  // the verb fails.
  writeFile(workFile("Homotopy.xml"), homotopyInput("5", "330", "350"));
  const KernelRun failed = study({"homotopy", id});
  EXPECT_EQ(failed.status, 172);
  EXPECT_TRUE(has(failed.out, "Homotopy::execute * Failed point 2 in ")) << failed.out;
  EXPECT_TRUE(has(failed.err, "point 2 of 5 ended with errors; the case is stored at point 1"))
      << failed.err;
  EXPECT_EQ(storedMilliKelvin(id), 335000);

  // Faults before any point leave the store as it was.
  const struct {
    const char *name;
    std::string input;
    std::string message;
  } cases[] = {
      {"no file", "", "error opening file: Homotopy.xml"},
      {"no homotopy", declaration + "<other/>", "error opening homotopy: Homotopy.xml"},
      {"no such quantity", homotopyInput("2", "300", "310", "X"),
       "no quantity at the controlled path X of StudyTestModel CASE\n"
       "Called from function: Homotopy::execute\n"
       "Called from function: Velta::User::Case::homotopySync\n"},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.name);
    fs::remove(workFile("Homotopy.xml"));
    if (!c.input.empty())
      writeFile(workFile("Homotopy.xml"), c.input);
    const KernelRun refused = study({"homotopy", id});
    EXPECT_EQ(refused.status, 172);
    EXPECT_TRUE(has(refused.err, c.message)) << refused.err;
    EXPECT_EQ(storedMilliKelvin(id), 335000);
  }
}

TEST_P(StudyVerbs, HomotopyOverAStreamTemperature) {
  // Steam at 1 bar, walked from 400 K to 450 K in 3 points by the kernel
  // program itself; every point flashes the stream.
  const std::string steam =
      R"({"quantities":{"T":400,"P":100000,"Tphase.ndot":0.1,"Tphase.x[0]":1,"Tphase.x[1]":0,)"
      R"("Tphase.x[2]":0,"Tphase.x[3]":0,"Tphase.x[4]":0,"Tphase.x[5]":0,"Tphase.x[6]":0,)"
      R"("Tphase.x[7]":0,"Tphase.x[8]":0,"Tphase.x[9]":0,"Tphase.x[10]":0}})";
  const KernelRun created = kernel({"new", "StreamIapwsVapor", "S1", "steam", steam});
  ASSERT_EQ(created.status, 0) << created.err;
  const std::string id = created.lastLine();
  writeFile(workFile("Homotopy.xml"),
            declaration +
                "<homotopy>\n  <type>StreamIapwsVapor</type>\n  <id>" + id +
                "</id>\n  <points>3</points>\n  <controlled>\n"
                "    <variable start=\"400\" end=\"450\">T</variable>\n"
                "  </controlled>\n</homotopy>\n");
  const KernelRun run = kernel({"homotopy", id});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.lastLine(), id);
  EXPECT_TRUE(has(run.out, "Homotopy::execute * Performing point 1: [T = 425 ]\n")) << run.out;
  EXPECT_EQ(storedMilliKelvin(id), 450000);
}

// A study point reports, and a homotopy stores, the state converged at that
// point: Stadio's cake liquid fraction over its cake humidity equals, row
// for row, a fresh "new" and "calculate" at that humidity; and a misspelt
// monitored path stops the study before its first point.
TEST_P(StudyVerbs, StadioStudiesGiveTheStateOfFreshCalculations) {
  // The grid values as the study computes them, 0.2 to 0.4 in 5 points.
  std::vector<double> humidities;
  for (int digit = 0; digit < 5; ++digit)
    humidities.push_back((0.4 - 0.2) / 4.0 * digit + 0.2);
  std::vector<double> fresh;
  for (const double hum : humidities) {
    std::ostringstream descriptor;
    descriptor.precision(17);
    descriptor << "{\"quantities\":{\"hum\":" << hum << "}}";
    const KernelRun created = kernel({"new", "Stadio", "s", "d", descriptor.str()});
    ASSERT_EQ(created.status, 0) << created.err;
    ASSERT_EQ(kernel({"calculate", created.lastLine()}).status, 0);
    fresh.push_back(cakeLiquidFraction(created.lastLine()));
    // The filter leaves the cake about as humid as asked.
    EXPECT_NEAR(fresh.back(), hum, 1e-3);
  }

  const KernelRun created = kernel({"new", "Stadio", "s", "d", "{}"});
  ASSERT_EQ(created.status, 0) << created.err;
  const std::string id = created.lastLine();
  const auto input = [&id](const std::string &monitored) {
    return declaration + "<sensitivity>\n  <name>cake</name> <type>Stadio</type> <id>" + id +
           "</id>\n  <order>lexicographical</order> <timeout>0</timeout>\n"
           "  <startinground>0</startinground>\n  <controlled>\n"
           "    <variable start=\"0.2\" end=\"0.4\" points=\"5\">hum</variable>\n"
           "  </controlled>\n  <monitored>\n    <variable>" +
           monitored + "</variable>\n  </monitored>\n</sensitivity>\n";
  };
  writeFile(workFile("SensitivityInput.xml"), input("S05:Lphase[0].fraction"));
  const KernelRun run = kernel({"sensitivity", id});
  ASSERT_EQ(run.status, 0) << run.err;
  ASSERT_EQ(resultsXpath("count(/results/result)"), "5");
  for (std::size_t i = 0; i < fresh.size(); ++i) {
    const std::string row = "/results/result[" + std::to_string(i + 1) + "]";
    EXPECT_EQ(std::stod(resultsXpath("string(" + row + "/controlled/variable)")), humidities[i]);
    EXPECT_NEAR(std::stod(resultsXpath("string(" + row + "/monitored/variable)")), fresh[i], 1e-9)
        << "row " << i;
  }

  writeFile(workFile("SensitivityInput.xml"), input("S05:Lphase[0].fractio"));
  const KernelRun misspelt = kernel({"sensitivity", id});
  EXPECT_EQ(misspelt.status, 172);
  EXPECT_TRUE(has(misspelt.err, "no quantity at the monitored path S05:Lphase[0].fractio of "
                                "Stadio s\n"))
      << misspelt.err;
  EXPECT_FALSE(has(misspelt.out, "Performing round"));

  writeFile(workFile("Homotopy.xml"),
            declaration + "<homotopy>\n  <type>Stadio</type> <id>" + id +
                "</id> <points>3</points>\n  <controlled>\n"
                "    <variable start=\"0.2\" end=\"0.4\">hum</variable>\n"
                "  </controlled>\n</homotopy>\n");
  const KernelRun walked = kernel({"homotopy", id});
  ASSERT_EQ(walked.status, 0) << walked.err;
  EXPECT_NEAR(cakeLiquidFraction(id), fresh.back(), 1e-9);
}

INSTANTIATE_TEST_SUITE_P(Store, StudyVerbs, ::testing::Values(odbctest::Database::sqlite),
                         odbctest::databaseParameterName);

} // namespace
