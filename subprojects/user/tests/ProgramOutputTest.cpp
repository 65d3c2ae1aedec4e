// What the program writes: the usage text, and the files of a case (SVG
// drawings, content.xml, the text dump and the XML export), the XML ones
// checked with xmllint, the drawings also in headless Chromium.
#include "KernelStore.h"

#include <filesystem>
#include <regex>

namespace {

using kerneltest::KernelStoreTest;
namespace fs = std::filesystem;

// A liquid of water and Chemical1, 2 kg/s; the other fractions zero, so the
// dump shows 0.75 * 2 kg/s = 1.5 kg/s of Chemical1.
const std::string liquid = R"({"quantities":{"mdot":2,"w[0]":0.25,"w[1]":0,"w[2]":0.75,)"
                           R"("w[3]":0,"w[4]":0,"w[5]":0,"w[6]":0,"w[7]":0,"w[8]":0,)"
                           R"("w[9]":0,"w[10]":0}})";

class KernelOutput : public KernelStoreTest {};

TEST_P(KernelOutput, UsageText) {
  const kerneltest::KernelRun run = kernel({"purge", "0"});
  EXPECT_EQ(run.status, 255);
  const std::string expected =
      std::string("Incorrect command line parameters: ") + VELTA_KERNEL_PROGRAM + " purge 0\n" +
      "Correct synthax command line parameters are:\n"
      "  calculate id       : retrieve, calculate and update the object at id\n"
      "  duplicate id ta de : retrieve the object at id and save it with tag ta and and "
      "description de\n"
      "  enumerators        : list supported enumerators\n"
      "  homotopy id        : perform homotopy run of case id\n"
      "  new ty ta de "
      R"('{"stringOptions":{"a":"b","c":"d","e":"f"},"integerOptions":{"g":1,"h":2}}')"
      "\n"
      "                     : create a new object of type ty with tag ta and description de and "
      "the supplied options\n"
      "  purge              : clean up completely the persistent storage database\n"
      "  remove id          : retrieve and remove the object at id\n"
      "  sensitivity id     : perform sensitivity run of case id\n"
      "  txt id             : retrieve the object at id and recursively print all Q, S and I to "
      "id.txt file\n"
      "  types              : list supported types\n"
      "  xml id dir         : retrieve the object at id and recursively print all Q, S and I to "
      "xml files in the directory dir\n";
  EXPECT_EQ(run.err, expected);
  // The banner comes first, once.
  EXPECT_EQ(run.out.find(" * "), 0u);
  EXPECT_EQ(run.out.find("*** Inorganic ***"), run.out.rfind("*** Inorganic ***"));
}

TEST_P(KernelOutput, CaseFiles) {
  ASSERT_EQ(kernel({"new", "PhaseSimple<liquid>", "L1", "", liquid}).status, 0);
  EXPECT_TRUE(fs::exists(workFile("0.svg")));
  EXPECT_EQ(xmllint("--noout " + workFile("0.svg")), 0);

  // A drawing that cannot be written does not hide the stored case.
  fs::create_directory(workFile("1.svg"));
  const kerneltest::KernelRun drawn = kernel({"new", "PhaseSimple<vapor>"});
  EXPECT_EQ(drawn.status, 0);
  EXPECT_EQ(drawn.lastLine(), "1");
  EXPECT_NE(drawn.err.find("Warning: case 1 was stored"), std::string::npos) << drawn.err;
  EXPECT_EQ(nodes(), 2);

  // content.xml after every calculation, replaced with a notice.
  ASSERT_EQ(kernel({"calculate", "0"}).status, 0);
  EXPECT_EQ(xmllint("--noout " + workFile("content.xml")), 0);
  EXPECT_EQ(xpath(workFile("content.xml"), "name(/*)", scratch_), "office:document-content");
  const kerneltest::KernelRun again = kernel({"calculate", "0"});
  EXPECT_NE(again.out.find("The content.xml file exists and will be overwritten"),
            std::string::npos);

  // Text dumps: the name gets ".txt" unless it holds it.
  for (const auto &[arguments, file] :
       std::vector<std::pair<std::vector<std::string>, std::string>>{
           {{"txt", "0"}, "0.txt"},
           {{"txt", "0", "dump"}, "dump.txt"},
           {{"txt", "0", "a.txt.bak"}, "a.txt.bak"}}) {
    SCOPED_TRACE(file);
    const kerneltest::KernelRun run = kernel(arguments);
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.lastLine(), "0");
    EXPECT_NE(readFile(workFile(file)).find("mdotcomps[2] = 1.5 kg s^-1"), std::string::npos);
  }
  EXPECT_EQ(kernel({"txt", "0", "missing/dump"}).status, 172);

  // XML export: one file per object and the table of contents.
  fs::create_directory(workFile("xml"));
  const kerneltest::KernelRun exported = kernel({"xml", "0", "xml"});
  EXPECT_EQ(exported.status, 0);
  EXPECT_EQ(exported.lastLine(), "0");
  EXPECT_EQ(xmllint("--noout " + workFile("xml/0.xml") + " " + workFile("xml/toc.xml")), 0);
  const std::string toc = readFile(workFile("xml/toc.xml"));
  EXPECT_EQ(toc.rfind("<?xml version='1.0' encoding='UTF-8'?>\n", 0), 0u);
  EXPECT_EQ(toc.substr(toc.size() - 7), "</toc>\n");
  EXPECT_EQ(xpath(workFile("xml/toc.xml"), "string(/toc/phase/@tag)", scratch_), "L1");

  EXPECT_EQ(kernel({"xml", "0", "missing"}).status, 172);
  // A table of contents that cannot be written fails the export.
  fs::create_directories(workFile("blocked/toc.xml"));
  EXPECT_EQ(kernel({"xml", "0", "blocked"}).status, 172);
}

bool hasTool(const std::string &name) {
  return std::system(("command -v " + name + " >/dev/null 2>&1").c_str()) == 0;
}

// The drawings of the demonstration process, a flowsheet of nested
// flowsheets with recycles, as its user opens them: every drawing that
// "new" and "calculate" write is valid against its W3C DTD and refers to
// nothing outside itself (no image can be missing), and the main drawing
// renders in headless Chromium.
TEST_P(KernelOutput, DemonstrationDrawingsAreValidAndRender) {
  const kerneltest::KernelRun created = kernel({"new"});
  ASSERT_EQ(created.status, 0) << created.err;
  const std::string id = created.lastLine();
  ASSERT_EQ(kernel({"calculate", id}).status, 0);

  std::string drawings;
  int count = 0;
  for (const auto &entry : fs::directory_iterator(workDirectory())) {
    if (entry.path().extension() != ".svg")
      continue;
    ++count;
    drawings += " " + entry.path().string();
    EXPECT_FALSE(std::regex_search(readFile(entry.path()), std::regex("href=\"[^#]")))
        << entry.path();
  }
  EXPECT_GT(count, 100);
  EXPECT_TRUE(fs::exists(workFile("tasks4.svg")));
  ASSERT_TRUE(
      fs::exists("/usr/share/xml/w3c-sgml-lib/schema/dtd/REC-SVG11-20110816/svg11-tiny.dtd"))
      << "the W3C DTDs (w3c-sgml-lib) are needed";
  EXPECT_EQ(xmllint("--noout --valid --nonet" + drawings), 0);

  if (!hasTool("chromium-headless-shell"))
    GTEST_SKIP() << "no headless Chromium installed";
  const std::string main = workFile(id + ".svg");
  const std::string browser = "chromium-headless-shell --no-sandbox --disable-gpu ";
  // A document that does not parse comes back as an error page.
  const std::string dom = scratch_.file("dom.html");
  ASSERT_EQ(std::system((browser + "--dump-dom file://" + main + " >" + dom + " 2>/dev/null").c_str()),
            0);
  const std::string parsed = readFile(dom);
  EXPECT_NE(parsed.find("<svg"), std::string::npos) << parsed.substr(0, 400);
  EXPECT_EQ(parsed.find("parsererror"), std::string::npos) << parsed.substr(0, 400);
  EXPECT_NE(parsed.find("data-type=\"Attacco&lt;1&gt;\""), std::string::npos);
  const std::string png = scratch_.file("main.png");
  ASSERT_EQ(std::system((browser + "--hide-scrollbars --window-size=1200,500 --screenshot=" + png +
                         " file://" + main + " >/dev/null 2>&1")
                            .c_str()),
            0);
  EXPECT_EQ(readFile(png).substr(1, 3), "PNG");
}

// The column from its listed defaults and the default feed: its start-up
// passes meet failures (flashes, unbalanced units) that later passes clear.
// The run logs the errors and warnings it counts, once at the case's root,
// and none of those of the passes it recovered from.
TEST_P(KernelOutput, LoggedMessagesAreTheCountedOnes) {
  const kerneltest::KernelRun created =
      kernel({"new", "Column", "c1", "d", R"({"integerOptions":{"stages":6,"feedStage":3}})"});
  ASSERT_EQ(created.status, 0) << created.err;
  const kerneltest::KernelRun run = kernel({"calculate", created.lastLine()});
  EXPECT_EQ(run.status, 0) << run.err;
  std::smatch complete;
  ASSERT_TRUE(std::regex_search(
      run.out, complete, std::regex("Computation complete with (\\d+) errors and (\\d+) warnings")))
      << run.err;
  EXPECT_EQ(complete[1], "0");
  EXPECT_EQ(run.out.find("===== Logging error"), std::string::npos);
  const std::regex warning("===== Logging warning [^\\n]* in c1\\n");
  const auto logged = std::distance(
      std::sregex_iterator(run.out.begin(), run.out.end(), warning), std::sregex_iterator());
  EXPECT_EQ(std::to_string(logged), complete[2].str());
  EXPECT_EQ(run.out.find("Recording provisional"), std::string::npos)
      << "the passes' messages stay below the default log level";
}

INSTANTIATE_TEST_SUITE_P(Store, KernelOutput, ::testing::Values(odbctest::Database::sqlite),
                         odbctest::databaseParameterName);

} // namespace
