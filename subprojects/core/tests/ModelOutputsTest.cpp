#include "ModelTestTypes.h"
#include "ScratchDirectory.h"

#include "velta/utility/Banner.h"
#include "velta/utility/Error.h"

#include <gtest/gtest.h>

#include <cmath>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

namespace {

Model &model(Object &root, const std::string &path) {
  return *my_cast<Model *>(&root.at(path), "test");
}

// The version and the time stamp of an XML export vary with the build and
// the clock; both are replaced by fixed words once their form is checked.
std::string withoutBuildAndTime(std::string text) {
  const std::string version = std::string("<version>") + libraryVersion + "</version>";
  const std::size_t at = text.find(version);
  EXPECT_NE(at, std::string::npos) << text;
  if (at != std::string::npos)
    text.replace(at, version.size(), "<version>VERSION</version>");
  const std::regex stamp("<timestamp>[0-9]{8}-[0-9]{4}</timestamp>");
  EXPECT_TRUE(std::regex_search(text, stamp)) << text;
  return std::regex_replace(text, stamp, "<timestamp>TIME</timestamp>");
}

const char *const odsHead = R"(<?xml version="1.0" encoding="UTF-8"?>
<office:document-content 
    xmlns:office="urn:oasis:names:tc:opendocument:xmlns:office:1.0"
    xmlns:text="urn:oasis:names:tc:opendocument:xmlns:text:1.0"
    xmlns:table="urn:oasis:names:tc:opendocument:xmlns:table:1.0"
    office:version="1.1">
 <office:body>
  <office:spreadsheet>
   <table:table table:name="Tabella1" table:print="false">
)";

const char *const odsTail = R"(   </table:table>
  </office:spreadsheet>
 </office:body>
</office:document-content>
)";

} // namespace

TEST(ModelOutputs, TextDump) {
  auto root = makeTestCase();
  Model &stream = model(*root, "U1:S02");
  model(*root, "U1:S02:Tphase").setError("a");
  model(*root, "U1:S02:Tphase").setError("b");
  std::ostringstream text;
  stream.print(text, true, true, true, true);
  // Quantities with twelve significant digits and the unit text of their
  // exponents; string vectors with ", " after every element.
  EXPECT_EQ(text.str(), R"(****** type = StreamModelTest TAG = S02 << DESCRIPTION Product stream
*** Begin String attributes
*** Begin StringVector attributes
errors = [] Errors from the last computation
warnings = [] Warnings from the last computation
*** Begin Quantity attributes
P = 1234567 m^-1 kg s^-2 Pressure
T = 310.123456 K Temperature
*** Begin Integer  attributes
nCalculations = 0 Number of times the model has been calculated
*** Begin Tphase Total phase
****** type = ModelTestPhase TAG = Tphase << DESCRIPTION Total phase
*** Begin String attributes
*** Begin StringVector attributes
errors = [a, b, ] Errors from the last computation
warnings = [] Warnings from the last computation
*** Begin Quantity attributes
T = 310.123456 K Temperature
mdot = 1.5 kg s^-1 Mass flow
*** Begin Integer  attributes
nCalculations = 0 Number of times the model has been calculated

*** End Tphase Total phase
*** Begin Vphase Vapor phase
****** type = ModelTestPhase TAG = Vphase << DESCRIPTION Vapor phase
*** Begin String attributes
*** Begin StringVector attributes
errors = [] Errors from the last computation
warnings = [] Warnings from the last computation
*** Begin Quantity attributes
T = 350 K Temperature
mdot = 0.000123456789 kg s^-1 Mass flow
*** Begin Integer  attributes
nCalculations = 0 Number of times the model has been calculated

*** End Vphase Vapor phase

)");

  std::ostringstream bare;
  stream.print(bare, false, false, false, false);
  EXPECT_EQ(bare.str(),
            "****** type = StreamModelTest TAG = S02 << DESCRIPTION Product stream\n\n");
}

TEST(ModelOutputs, TextDumpTracesEveryLevelAndNamesAFileItCannotWrite) {
  auto root = makeTestCase();
  Node &stream = root->child("U1:S01");
  stream.addChild(std::make_unique<Node>(Defaults("N1", "Plain node"), stream.newId(), nullptr,
                                         &stream, root.get()));
  std::ostringstream text;
  try {
    root->print(text, true, true, true, true);
    FAIL() << "no error";
  } catch (const ErrorDynamicCast &error) {
    EXPECT_NE(error.message().find("Called from function: Model::print\n"
                                   "Called from function: Model::print\n"
                                   "Called from function: Model::print\n"),
              std::string::npos)
        << error.message();
  }

  ScratchDirectory scratch;
  const std::string path = scratch.file("missing/case.txt");
  try {
    model(*root, "U1:S02").printToFile(path, true, true, true, true);
    FAIL() << "no error";
  } catch (const ErrorRunTime &error) {
    EXPECT_EQ(error.message(), "Error was thrown by function: Model::printToFile\n"
                               "Generic Run-Time error: can not write to " +
                                   path + "\n");
  }
  const std::string written = scratch.file("case.txt");
  model(*root, "U1:S02").printToFile(written, true, true, true, false);
  EXPECT_EQ(readFile(written).substr(0, 30), "****** type = StreamModelTest ");
}

TEST(ModelOutputs, SpreadsheetContent) {
  auto root = makeTestCase();
  std::ostringstream ods;
  root->printOds(ods);
  // Rows 1 to 4: S01, its vapour phase, S02, its vapour phase; values with
  // six significant digits (1234567 Pa as 1.23457e+06).
  EXPECT_EQ(ods.str(), std::string(odsHead) + R"(    <table:table-row>
      <table:table-cell><text:p>Id</text:p></table:table-cell>
      <table:table-cell><text:p>Row</text:p></table:table-cell>
      <table:table-cell><text:p>Complete tag</text:p></table:table-cell>
      <table:table-cell><text:p>Description</text:p></table:table-cell>
      <table:table-cell><text:p>Type</text:p></table:table-cell>
      <table:table-cell><text:p>Pressure [Pa]</text:p></table:table-cell>
      <table:table-cell><text:p>Temperature [K]</text:p></table:table-cell>
      <table:table-cell><text:p>Phase tag</text:p></table:table-cell>
      <table:table-cell><text:p>T [K]</text:p></table:table-cell>
      <table:table-cell><text:p>mdot [kg s^-1]</text:p></table:table-cell>
    </table:table-row>
    <table:table-row>
      <table:table-cell office:value-type="float" office:value="2"/>
      <table:table-cell office:value-type="float" office:value="1"/>
      <table:table-cell><text:p>CASE:U1:S01</text:p></table:table-cell>
      <table:table-cell><text:p>Feed stream</text:p></table:table-cell>
      <table:table-cell><text:p>StreamModelTest</text:p></table:table-cell>
      <table:table-cell office:value-type="float" office:value="200000"/>
      <table:table-cell office:value-type="float" office:value="298.15"/>
      <table:table-cell><text:p>Tphase</text:p></table:table-cell>
      <table:table-cell office:value-type="float" office:value="350"/>
      <table:table-cell office:value-type="float" office:value="1.5"/>
    </table:table-row>
    <table:table-row>
      <table:table-cell office:value-type="float" office:value="4"/>
      <table:table-cell office:value-type="float" office:value="2"/>
      <table:table-cell><text:p>CASE:U1:S01:Vphase</text:p></table:table-cell>
      <table:table-cell/>
      <table:table-cell/>
      <table:table-cell/>
      <table:table-cell/>
      <table:table-cell><text:p>Vphase</text:p></table:table-cell>
      <table:table-cell office:value-type="float" office:value="350"/>
      <table:table-cell office:value-type="float" office:value="1.5"/>
    </table:table-row>
    <table:table-row>
      <table:table-cell office:value-type="float" office:value="5"/>
      <table:table-cell office:value-type="float" office:value="3"/>
      <table:table-cell><text:p>CASE:U1:S02</text:p></table:table-cell>
      <table:table-cell><text:p>Product stream</text:p></table:table-cell>
      <table:table-cell><text:p>StreamModelTest</text:p></table:table-cell>
      <table:table-cell office:value-type="float" office:value="1.23457e+06"/>
      <table:table-cell office:value-type="float" office:value="310.123"/>
      <table:table-cell><text:p>Tphase</text:p></table:table-cell>
      <table:table-cell office:value-type="float" office:value="310.123"/>
      <table:table-cell office:value-type="float" office:value="1.5"/>
    </table:table-row>
    <table:table-row>
      <table:table-cell office:value-type="float" office:value="7"/>
      <table:table-cell office:value-type="float" office:value="4"/>
      <table:table-cell><text:p>CASE:U1:S02:Vphase</text:p></table:table-cell>
      <table:table-cell/>
      <table:table-cell/>
      <table:table-cell/>
      <table:table-cell/>
      <table:table-cell><text:p>Vphase</text:p></table:table-cell>
      <table:table-cell office:value-type="float" office:value="350"/>
      <table:table-cell office:value-type="float" office:value="0.000123457"/>
    </table:table-row>
)" + odsTail);
}

TEST(ModelOutputs, SpreadsheetContentEdgeCases) {
  // Without streams: head and tail only.
  auto leaf = createModel<ModelTestLeaf>("ModelTestLeaf", Defaults("L", "Leaf"));
  std::ostringstream empty;
  leaf->printOds(empty);
  EXPECT_EQ(empty.str(), std::string(odsHead) + odsTail);

  // A stream without its total phase.
  auto root = makeTestCase();
  root->child("U1:S02").prune("Tphase");
  std::ostringstream ods;
  try {
    root->printOds(ods);
    FAIL() << "no error";
  } catch (const ErrorRunTime &error) {
    EXPECT_NE(error.message().find("non-existant tag Tphase"), std::string::npos);
  }

  // A stream that cannot be written is an error, not a silent success.
  std::ostringstream broken;
  broken.setstate(std::ios::badbit);
  EXPECT_THROW(leaf->printOds(broken), ErrorRunTime);

  ScratchDirectory scratch;
  const std::string path = scratch.file("missing/content.xml");
  try {
    leaf->printOdsToFile(path);
    FAIL() << "no error";
  } catch (const ErrorRunTime &error) {
    EXPECT_NE(error.message().find("can not write to " + path + "\n"), std::string::npos);
  }
}

TEST(ModelOutputs, XmlExportWritesOneFilePerModel) {
  auto root = makeTestCase();
  ScratchDirectory scratch;
  root->printXml(scratch.path().c_str(), nullptr, nullptr);
  for (int id = 0; id <= 7; ++id)
    EXPECT_TRUE(std::filesystem::exists(scratch.file(std::to_string(id) + ".xml"))) << id;

  EXPECT_EQ(withoutBuildAndTime(readFile(scratch.file("2.xml"))),
            R"(<?xml version="1.0" encoding="UTF-8"?>
<?xml-stylesheet type="text/xsl" href="model.xsl"?>
<model xmlns:xsi="http://www.w3.org/2001/XMLSchema-instance" xsi:noNamespaceSchemaLocation="model_new.xsd" tag="S01" description="Feed stream" type ="StreamModelTest" id ="2" fullpath ="CASE:U1:S01">
  <breadcrumbs>
    <breadcrumb tag="U1" description="Heater unit" type ="ModelTestUnit" id ="1" fullpath ="CASE:U1"/>
    <breadcrumb tag="CASE" description="Test case" type ="ModelTestCase" id ="0" fullpath ="CASE"/>
  </breadcrumbs>
  <following-sibling tag="S02" description="Product stream" type ="StreamModelTest" id ="5" fullpath ="CASE:U1:S02"/>
  <strings>
  </strings>
  <integers>
    <integer tag="nCalculations" description="Number of times the model has been calculated" value="0"/>
  </integers>
  <quantities>
    <quantity tag="P" description="Pressure" value="200000" unit="m^-1 kg s^-2" input="false" output="false" />
    <quantity tag="T" description="Temperature" value="298.15" unit="K" input="false" output="false" />
  </quantities>
  <submodels>
    <submodel tag="Tphase" description="Total phase" type ="ModelTestPhase" id ="3" fullpath ="CASE:U1:S01:Tphase"/>
    <submodel tag="Vphase" description="Vapor phase" type ="ModelTestPhase" id ="4" fullpath ="CASE:U1:S01:Vphase"/>
  </submodels>
  <version>VERSION</version>
  <timestamp>TIME</timestamp>
</model>
)");

  // The root has no breadcrumbs; the last child names only its predecessor.
  const std::string rootFile = readFile(scratch.file("0.xml"));
  EXPECT_NE(rootFile.find("  <breadcrumbs>\n  </breadcrumbs>\n  <strings>\n"), std::string::npos);
  const std::string last = readFile(scratch.file("7.xml"));
  EXPECT_NE(last.find("  <preceding-sibling tag=\"Tphase\""), std::string::npos);
  EXPECT_EQ(last.find("following-sibling"), std::string::npos);
  EXPECT_NE(readFile(scratch.file("1.xml"))
                .find(R"(<string tag="option" description="Pressure option" value="D"/>)"),
            std::string::npos);

  const std::string missing = scratch.file("missing");
  try {
    root->printXml(missing.c_str(), nullptr, nullptr);
    FAIL() << "no error";
  } catch (const ErrorRunTime &error) {
    EXPECT_EQ(error.message(), "Error was thrown by function: Model::printXml\n"
                               "Generic Run-Time error: can not write to " +
                                   missing + "/0.xml\n");
  }
}

TEST(ModelOutputs, TableOfContentsEntries) {
  auto root = makeTestCase();
  std::ostringstream toc;
  root->printXmlToc(toc, 2);
  EXPECT_EQ(
      toc.str(),
      R"(  <flowsheet tag="CASE" description="Test case" type ="ModelTestCase" id ="0" fullpath ="CASE">
    <unit tag="U1" description="Heater unit" type ="ModelTestUnit" id ="1" fullpath ="CASE:U1">
      <stream tag="S01" description="Feed stream" type ="StreamModelTest" id ="2" fullpath ="CASE:U1:S01">
        <phase tag="Tphase" description="Total phase" type ="ModelTestPhase" id ="3" fullpath ="CASE:U1:S01:Tphase"/>
        <phase tag="Vphase" description="Vapor phase" type ="ModelTestPhase" id ="4" fullpath ="CASE:U1:S01:Vphase"/>
      </stream>
      <stream tag="S02" description="Product stream" type ="StreamModelTest" id ="5" fullpath ="CASE:U1:S02">
        <phase tag="Tphase" description="Total phase" type ="ModelTestPhase" id ="6" fullpath ="CASE:U1:S02:Tphase"/>
        <phase tag="Vphase" description="Vapor phase" type ="ModelTestPhase" id ="7" fullpath ="CASE:U1:S02:Vphase"/>
      </stream>
    </unit>
  </flowsheet>
)");

  // Streams first, then flowsheets, then every other model, each group in
  // tag order.
  auto flowsheet = createModel<ModelTestLeaf>(
      "ModelTestLeaf", Defaults("FS", "Flowsheet").setInteger("category", 4));
  for (const auto &[tag, category] :
       std::vector<std::pair<std::string, int>>{{"A", 3}, {"B", 4}, {"C", 2}, {"D", 5}, {"E", 2}})
    flowsheet->addChild("ModelTestLeaf", Defaults(tag, "").setInteger("category", category));
  std::ostringstream groups;
  flowsheet->printXmlToc(groups, 0);
  const std::regex entry("\n *<([a-z]+) tag=\"([A-Z]+)\"");
  std::string order;
  const std::string text = groups.str();
  for (auto it = std::sregex_iterator(text.begin(), text.end(), entry);
       it != std::sregex_iterator(); ++it)
    order += (*it)[2].str() + "(" + (*it)[1].str() + ") ";
  EXPECT_EQ(order, "C(stream) E(stream) B(flowsheet) A(unit) D(option) ");
  EXPECT_EQ(text.substr(0, 14), "<flowsheet tag");
  EXPECT_NE(text.find("\n  <stream tag=\"C\""), std::string::npos);
  EXPECT_EQ(text.substr(text.size() - 13), "</flowsheet>\n");
}

TEST(ModelOutputs, XmlOutputsStayWellFormedWithMarkupInTheTexts) {
  auto root = makeTestCase();
  auto &feed = *my_cast<ModelTestModel *>(&root->at("U1:S01"), "test");
  feed.setStoredDescription("Feed & <recycle> \"A\" 'B'");
  my_cast<ModelTestUnit *>(&root->at("U1"), "test")->option = "x & \"y\" <z>";

  ScratchDirectory scratch;
  root->printOdsToFile(scratch.file("content.xml"));
  root->printXml(scratch.path().c_str(), nullptr, nullptr);
  std::ostringstream toc;
  toc << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<toc>\n";
  root->printXmlToc(toc, 2);
  toc << "</toc>\n";
  writeFile(scratch.file("toc.xml"), toc.str());
  std::vector<std::string> names;
  root->printSvgAll(scratch.path().c_str(), true, true, 0, names);

  std::string files;
  for (const char *name : {"content.xml", "toc.xml", "0.xml", "1.xml", "2.xml", "3.xml", "2.svg"})
    files += " " + scratch.file(name);
  ASSERT_EQ(xmllint("--version"), 0) << "xmllint (libxml2-utils) is needed";
  EXPECT_EQ(xmllint("--noout" + files), 0) << readFile(scratch.file("content.xml"));

  // Parsed back, the texts are what the model holds: the spreadsheet keeps
  // the description as it is, the XML export with its angle brackets
  // replaced.
  EXPECT_EQ(xpath(scratch.file("content.xml"),
                  "string(//*[local-name()=\"p\"][.=\"CASE:U1:S01\"]/../following-sibling::*[1])",
                  scratch),
            "Feed & <recycle> \"A\" 'B'");
  EXPECT_EQ(xpath(scratch.file("2.xml"), "string(/model/@description)", scratch),
            "Feed & (recycle) \"A\" 'B'");
  EXPECT_EQ(xpath(scratch.file("1.xml"), "string(//string[@tag=\"option\"]/@value)", scratch),
            "x & \"y\" (z)");
  EXPECT_EQ(xpath(scratch.file("toc.xml"), "string(//stream[@tag=\"S01\"]/@description)", scratch),
            "Feed & (recycle) \"A\" 'B'");
}

// A quantity left NaN by a calculation is reported as a warning of its model
// (counted with the others once gathered) and every output marks it as not
// computed; so does a model read back, whose store keeps 0 in its place and
// whose warning is what remains of the NaN.
TEST(ModelOutputs, ValuesNotComputedAreReportedAndMarked) {
  auto root = makeTestCase();
  StreamModelTest &s02 = dynamic_cast<StreamModelTest &>(model(*root, "U1:S02"));
  static_cast<Value &>(s02.T) = Value(std::nan(""), "K");
  root->reportMessages();
  EXPECT_EQ(s02.warnings.value(),
            std::vector<std::string>{"value not computed (NaN), stored as 0: T"});
  EXPECT_EQ(root->warnings.value(),
            (std::vector<std::string>{"value not computed (NaN), stored as 0: T @ U1:S02"}));
  EXPECT_TRUE(s02.notComputed(s02.T));
  EXPECT_FALSE(s02.notComputed(s02.P));

  std::ostringstream text;
  s02.print(text, false, true, false, false);
  EXPECT_NE(text.str().find("\nT = not computed K Temperature\n"), std::string::npos) << text.str();
  std::ostringstream ods;
  root->printOds(ods);
  EXPECT_NE(ods.str().find("<text:p>Product stream</text:p></table:table-cell>\n"
                           "      <table:table-cell><text:p>StreamModelTest</text:p>"
                           "</table:table-cell>\n"
                           "      <table:table-cell office:value-type=\"float\" "
                           "office:value=\"1.23457e+06\"/>\n"
                           "      <table:table-cell><text:p>not computed</text:p>"
                           "</table:table-cell>\n"),
            std::string::npos)
      << ods.str();
  ScratchDirectory scratch;
  root->printXml(scratch.path().c_str(), nullptr, nullptr);
  EXPECT_NE(readFile(scratch.file("5.xml"))
                .find(R"(<quantity tag="T" description="Temperature" value="NaN" unit="K")"),
            std::string::npos);

  // As read back: 0 in the store, the warning kept.
  static_cast<Value &>(s02.T) = Value(0.0, "K");
  EXPECT_TRUE(s02.notComputed(s02.T));
  std::ostringstream stored;
  s02.print(stored, false, true, false, false);
  EXPECT_NE(stored.str().find("\nT = not computed K Temperature\n"), std::string::npos);
}
