// What the program makes of faulty input: case descriptors whose faults are
// named in a warning or refused, tags that the store cannot hold, and cases
// or stores that cannot be read, which fail the verb (status 172 or 163)
// rather than pass for an id that names no case (175).
#include "KernelStore.h"

#include <algorithm>
#include <filesystem>

namespace {

using kerneltest::KernelStoreTest;
namespace fs = std::filesystem;

const std::string tag51(51, 't');

int occurrences(const std::string &text, const std::string &part) {
  int count = 0;
  for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
    ++count;
  return count;
}

class KernelInput : public KernelStoreTest {};

TEST_P(KernelInput, DescriptorFaultsAreNamedOrRefused) {
  struct Row {
    const char *name;
    std::vector<std::string> arguments;
    int status;
    // Each must appear on standard error exactly once.
    std::vector<std::string> named;
  };
  const std::string tooLong = "tag \"" + tag51 +
                              "\" cannot be stored: it is longer than the 50 characters that the "
                              "store holds";
  const Row rows[] = {
      {"Text after the JSON",
       {"new", "StreamIapwsVapor", "S", "", R"({"quantities":{"T":400}} xyz)"},
       163,
       {"Failed to parse Case descriptor: "}},
      {"Tag argument too long", {"new", "StreamIapwsVapor", tag51, "d", "{}"}, 163, {tooLong}},
      {"Tag in the JSON too long",
       {"new", "StreamIapwsVapor", "S", "d", R"({"tag":")" + tag51 + R"("})"},
       163,
       {tooLong}},
      {"Unknown keys",
       {"new", "StreamIapwsVapor", "S", "", R"({"quantitiez":{"T":400},"Tag":"x"})"},
       0,
       {R"(Warning: the case descriptor's keys "Tag" and "quantitiez" are unknown and ignored)"}},
      {"Options that nothing reads",
       {"new", "StreamIapwsVapor", "S", "",
        R"({"integerOptions":{"stagez":3},"stringOptions":{"typeQ":"x","typeZ":"y"}})"},
       0,
       {R"(Warning: StreamIapwsVapor and its parts read no integer option "stagez" and no string )"
        R"(options "typeQ" and "typeZ" of the case descriptor; they are ignored)"}},
      {"Quantities that are no object",
       {"new", "StreamIapwsVapor", "S", "", R"({"quantities":5})"},
       0,
       {R"(Warning: the case descriptor's "quantities" is not an object of names and values; )"
        "it is ignored"}},
      {"One entry of a vector",
       {"new", "StreamIapwsVapor", "S", "", R"({"quantities":{"Tphase.x[2]":1}})"},
       0,
       {R"(Warning: the case descriptor gives "Tphase.x[2]" but not the other entries of )"
        "Tphase.x, which keep their defaults: Tphase.x[0] = ",
        "Warning: the entries of Tphase.x sum to 1.90909, not 1; the calculation normalises "
        "them to Tphase.x[0] = 0.047619, Tphase.x[1] = 0.047619, Tphase.x[2] = 0.52381, "}},
      {"A composition that does not sum to 1",
       {"new", "StreamIapwsVapor", "S", "",
        R"({"quantities":{"Tphase.x[0]":1,"Tphase.x[1]":1,"Tphase.x[2]":0,"Tphase.x[3]":0,)"
        R"("Tphase.x[4]":0,"Tphase.x[5]":0,"Tphase.x[6]":0,"Tphase.x[7]":0,"Tphase.x[8]":0,)"
        R"("Tphase.x[9]":0,"Tphase.x[10]":0}})"},
       0,
       {"Warning: the entries of Tphase.x sum to 2, not 1; the calculation normalises them to "
        "Tphase.x[0] = 0.5, Tphase.x[1] = 0.5, Tphase.x[2] = 0, "}},
  };
  for (const Row &row : rows) {
    SCOPED_TRACE(row.name);
    const long before = nodes();
    const kerneltest::KernelRun run = kernel(row.arguments);
    EXPECT_EQ(run.status, row.status) << run.err;
    for (const std::string &named : row.named)
      EXPECT_EQ(occurrences(run.err, named), 1) << named << "\n" << run.err;
    if (row.status != 0)
      EXPECT_EQ(nodes(), before) << "a refused case was stored";
    else
      EXPECT_GT(nodes(), before);
  }
}

TEST_P(KernelInput, CasesThatCannotBeReadFailTheVerb) {
  ASSERT_EQ(kernel({"new", "PhaseSimple<liquid>", "L1"}).status, 0);
  fs::create_directory(workFile("xml"));
  const std::vector<std::vector<std::string>> verbs = {
      {"calculate"}, {"check"}, {"txt"}, {"xml", "xml"}};
  const auto run = [&](const std::vector<std::string> &verb, const std::string &id) {
    std::vector<std::string> arguments = {verb[0], id};
    arguments.insert(arguments.end(), verb.begin() + 1, verb.end());
    return kernel(arguments);
  };
  for (const auto &verb : verbs) {
    SCOPED_TRACE(verb[0]);
    EXPECT_EQ(run(verb, "7").status, 175) << "an id that names no case";
  }
  // A damaged row, then a root of a type that is not registered: the case
  // exists, its loading fails and names it.
  odbctest::RawConnection raw(dsn_);
  for (const char *damage : {"UPDATE Q SET VALUE = NULL WHERE NID = 0 AND TAG = 'mdot'",
                             "UPDATE N SET TYPE = 'NoSuchType' WHERE ID = 0"}) {
    SCOPED_TRACE(damage);
    raw.execute(damage);
    for (const auto &verb : verbs) {
      SCOPED_TRACE(verb[0]);
      const kerneltest::KernelRun failed = run(verb, "0");
      EXPECT_EQ(failed.status, 172) << failed.err;
      EXPECT_NE(failed.err.find("case 0 could not be loaded"), std::string::npos) << failed.err;
    }
  }
}

TEST_P(KernelInput, AStoreWhoseFileIsMissingFailsTheVerbAndStaysMissing) {
  const std::string missing = workFile("missing.sqlite");
  writeFile(ini_, "[persistency]\nDriver=SQLite3\nDatabase=" + missing + "\n");
  const std::pair<std::vector<std::string>, int> verbs[] = {{{"calculate", "0"}, 172},
                                                            {{"txt", "0"}, 172},
                                                            {{"new", "PhaseSimple<liquid>"}, 163},
                                                            {{"remove", "0"}, 163},
                                                            {{"purge"}, 163}};
  for (const auto &[arguments, status] : verbs) {
    SCOPED_TRACE(arguments[0]);
    const kerneltest::KernelRun run = kernel(arguments);
    EXPECT_EQ(run.status, status) << run.err;
    EXPECT_NE(run.err.find("the database file \"" + missing + "\" of the data source "
                           "\"persistency\" does not exist"),
              std::string::npos)
        << run.err;
    EXPECT_FALSE(fs::exists(missing));
  }
}

INSTANTIATE_TEST_SUITE_P(Store, KernelInput, ::testing::Values(odbctest::Database::sqlite),
                         odbctest::databaseParameterName);

} // namespace
