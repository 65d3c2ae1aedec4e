// The readers of the sensitivity and homotopy input files, and the grid and
// path values of their variables.
#include "ScratchDirectory.h"
#include "velta/core/HomotopyInput.h"
#include "velta/core/SensitivityInput.h"
#include "velta/utility/Error.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

const std::string declaration = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";

std::string sensitivityFile(const std::string &fields, const std::string &lists) {
  return declaration + "<sensitivity>\n" + fields + lists + "</sensitivity>\n";
}

const std::string fields = "  <name>My study</name>\n  <type>Stadio</type>\n  <id> 7 </id>\n"
                           "  <order>quasi-spiral</order>\n  <timeout>3.5</timeout>\n"
                           "  <startinground>2</startinground>\n";
const std::string lists =
    "  <controlled>\n"
    "    <variable start=\"300\" end=\"350\" points=\"3\" unit=\"K\" label=\"T\">S01.T extra"
    "</variable>\n"
    "    <group><variable points=\"999\">S02.P</variable></group>\n"
    "  </controlled>\n"
    "  <monitored>\n    <variable unit=\"kPa\" label=\"p\">S01.P</variable>\n  </monitored>\n";

struct ReaderOutcome {
  std::string error; // empty on success
  std::string err;   // standard error
};

class StudyInputFiles : public ::testing::Test {
protected:
  std::string write(const std::string &text) {
    const std::string path = scratch_.file("input.xml");
    writeFile(path, text);
    return path;
  }

  template <class Reader, class Input>
  ReaderOutcome read(const std::string &text, Input &input) {
    const std::string path = write(text);
    ReaderOutcome outcome;
    ::testing::internal::CaptureStderr();
    try {
      input = Reader(path);
    } catch (const Error &error) {
      outcome.error = error.message();
    }
    outcome.err = ::testing::internal::GetCapturedStderr();
    return outcome;
  }

  ScratchDirectory scratch_;
};

TEST_F(StudyInputFiles, SensitivityReadsEveryField) {
  SensitivityInput input;
  const ReaderOutcome outcome = read<SensitivityInputXml>(sensitivityFile(fields, lists), input);
  ASSERT_EQ(outcome.error, "");
  EXPECT_EQ(outcome.err, "");
  EXPECT_EQ(input.name, "My");
  EXPECT_EQ(input.type, "Stadio");
  EXPECT_EQ(input.id, 7);
  EXPECT_EQ(input.order, "quasi-spiral");
  EXPECT_EQ(input.timeout, 3.5);
  EXPECT_EQ(input.startinground, 2);
  ASSERT_EQ(input.controlled.size(), 2u);
  const ControlledVariable &t = input.controlled[0];
  EXPECT_EQ(t.path, "S01.T");
  EXPECT_EQ(t.unit, "K");
  EXPECT_EQ(t.label, "T");
  EXPECT_EQ(t.start, 300);
  EXPECT_EQ(t.end, 350);
  EXPECT_EQ(t.points, 3);
  // The nested variable: no start, end or unit, 999 points accepted.
  const ControlledVariable &p = input.controlled[1];
  EXPECT_EQ(p.path, "S02.P");
  EXPECT_EQ(p.start, 0);
  EXPECT_EQ(p.end, 0);
  EXPECT_EQ(p.points, 999);
  EXPECT_EQ(p.unit, "");
  ASSERT_EQ(input.monitored.size(), 1u);
  EXPECT_EQ(input.monitored[0].path, "S01.P");
  EXPECT_EQ(input.monitored[0].unit, "kPa");
  EXPECT_EQ(input.monitored[0].label, "p");
  EXPECT_TRUE(input.isDefined());
}

TEST_F(StudyInputFiles, SensitivityAcceptedVariants) {
  SensitivityInput input;
  // Fields in another order and nested; id not a number; no name; an empty
  // monitored list; a variable without points.
  const std::string shuffled =
      "  <startinground>0</startinground>\n  <box><order>x</order><id>x</id></box>\n"
      "  <timeout>1</timeout>\n  <type>T</type>\n";
  const ReaderOutcome outcome = read<SensitivityInputXml>(
      sensitivityFile(shuffled, "<controlled><variable>A.x</variable></controlled>"
                                "<monitored/>"),
      input);
  ASSERT_EQ(outcome.error, "");
  EXPECT_EQ(outcome.err, "error retrieving name\n");
  EXPECT_EQ(input.name, "");
  EXPECT_EQ(input.id, 0);
  EXPECT_EQ(input.order, "x");
  ASSERT_EQ(input.controlled.size(), 1u);
  EXPECT_EQ(input.controlled[0].points, 0);
  EXPECT_TRUE(input.monitored.empty());
}

// Every refused file names the fault and the file; no assertion, no other
// exception.
TEST_F(StudyInputFiles, SensitivityRefusals) {
  const auto without = [](const std::string &element) {
    std::string text = fields;
    const std::size_t start = text.find("  <" + element + ">");
    const std::size_t end = text.find('\n', start);
    return text.erase(start, end - start + 1);
  };
  const struct {
    const char *name;
    std::string text;
    std::string message;
    std::string err;
  } cases[] = {
      {"no declaration", "<sensitivity>" + fields + lists + "</sensitivity>",
       "could not opening sensitivity tree", ""},
      {"malformed", declaration + "<sensitivity><type>a</typo></sensitivity>",
       "error opening tree", "mxml: "},
      {"no type", sensitivityFile(without("type"), lists), "could not read type field",
       "error retrieving type\n"},
      {"empty id", sensitivityFile(without("id") + "<id> </id>", lists), "could not read id field",
       "error retrieving id content\n"},
      {"no order", sensitivityFile(without("order"), lists), "could not read order field",
       "error retrieving order\n"},
      {"no timeout", sensitivityFile(without("timeout"), lists), "could not read timeout field",
       "error retrieving timeout\n"},
      {"no start round", sensitivityFile(without("startinground"), lists),
       "could not read startinground field", "error retrieving startinground\n"},
      {"comment before type", sensitivityFile(without("type") + "<type><!-- t -->T</type>", lists),
       "could not read type field", "error retrieving type content\n"},
      {"no controlled", sensitivityFile(fields, "<monitored/>"),
       "could not open controlled variables tree", ""},
      {"no monitored", sensitivityFile(fields, "<controlled/>"),
       "could not open monitored variables tree", ""},
      {"1000 points",
       sensitivityFile(fields, "<controlled><variable points=\"1000\">a.x</variable></controlled>"
                               "<monitored/>"),
       "controlled variable a.x has 1000 points, outside 0 to 999", ""},
      {"-1 points",
       sensitivityFile(fields, "<controlled><variable points=\"-1\">a.x</variable></controlled>"
                               "<monitored/>"),
       "has -1 points, outside 0 to 999", ""},
      {"huge points",
       sensitivityFile(fields, "<controlled><variable points=\"99999999999\">a.x</variable>"
                               "</controlled><monitored/>"),
       "has 99999999999 points, outside 0 to 999", ""},
      {"variable without path",
       sensitivityFile(fields, "<controlled><variable points=\"2\"/></controlled><monitored/>"),
       "controlled variable without a tag path", ""},
      {"monitored without path",
       sensitivityFile(fields, "<controlled/><monitored><variable><x/></variable></monitored>"),
       "monitored variable without a tag path", ""},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.name);
    SensitivityInput input;
    const ReaderOutcome outcome = read<SensitivityInputXml>(c.text, input);
    EXPECT_NE(outcome.error.find("Error was thrown by function: "
                                 "SensitivityInputXml::SensitivityInputXml\n"),
              std::string::npos)
        << outcome.error;
    EXPECT_NE(outcome.error.find(c.message + ": " + scratch_.file("input.xml")),
              std::string::npos)
        << outcome.error;
    EXPECT_EQ(outcome.err.substr(0, c.err.size()), c.err);
    EXPECT_FALSE(input.isDefined());
  }
  // A missing file.
  try {
    SensitivityInputXml input(scratch_.file("absent.xml"));
    ADD_FAILURE() << "no error";
  } catch (const Error &error) {
    EXPECT_NE(error.message().find("error opening file: " + scratch_.file("absent.xml")),
              std::string::npos);
  }
}

TEST_F(StudyInputFiles, HomotopyReadsAndRefuses) {
  HomotopyInput input;
  const ReaderOutcome good = read<HomotopyInputXml>(
      declaration + "<homotopy><controlled><variable start=\"300\" end=\"350\">S01.T</variable>"
                    "<variable>S01.P</variable></controlled>"
                    "<x><points>3</points></x><id>4</id><type>Stadio</type></homotopy>",
      input);
  ASSERT_EQ(good.error, "");
  EXPECT_EQ(input.type, "Stadio");
  EXPECT_EQ(input.id, 4);
  EXPECT_EQ(input.points, 3);
  ASSERT_EQ(input.controlled.size(), 2u);
  EXPECT_EQ(input.controlled[0].path, "S01.T");
  EXPECT_EQ(input.controlled[0].start, 300);
  EXPECT_EQ(input.controlled[0].end, 350);
  EXPECT_EQ(input.controlled[1].start, 0);
  EXPECT_EQ(input.controlled[1].end, 0);

  const std::string body = "<type>t</type><id>1</id><points>2</points>"
                           "<controlled><variable>a.T</variable></controlled>";
  const struct {
    const char *name;
    std::string text;
    std::string message;
  } cases[] = {
      {"no declaration", "<homotopy>" + body + "</homotopy>", "error opening homotopy"},
      {"malformed", declaration + "<homotopy><type>", "error opening tree"},
      {"no points", declaration + "<homotopy><type>t</type><id>1</id></homotopy>",
       "could not read points field"},
      {"no id", declaration + "<homotopy><type>t</type></homotopy>", "could not read id field"},
      {"no type", declaration + "<homotopy></homotopy>", "could not read type field"},
      {"no controlled", declaration + "<homotopy><type>t</type><id>1</id><points>2</points>"
                                      "</homotopy>",
       "could not open controlled variables tree"},
      {"no path", declaration + "<homotopy><type>t</type><id>1</id><points>2</points>"
                                "<controlled><variable start=\"1\"/></controlled></homotopy>",
       "controlled variable without a tag path"},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.name);
    HomotopyInput refused;
    const ReaderOutcome outcome = read<HomotopyInputXml>(c.text, refused);
    EXPECT_NE(outcome.error.find("Error was thrown by function: "
                                 "HomotopyInputXml::HomotopyInputXml\n"),
              std::string::npos)
        << outcome.error;
    EXPECT_NE(outcome.error.find(c.message + ": " + scratch_.file("input.xml")),
              std::string::npos)
        << outcome.error;
  }
  try {
    HomotopyInputXml absent(scratch_.file("Homotopy.xml"));
    ADD_FAILURE() << "no error";
  } catch (const Error &error) {
    EXPECT_NE(error.message().find("error opening file: " + scratch_.file("Homotopy.xml")),
              std::string::npos);
  }
}

TEST(StudyInputValues, GridAndPathValues) {
  // (350 - 300) / 2 * i + 300
  const HomotopyVariable t{"S01.T", 300, 350};
  EXPECT_EQ(t.value(0, 3), 300);
  EXPECT_EQ(t.value(1, 3), 325);
  EXPECT_EQ(t.value(2, 3), 350);
  EXPECT_EQ(t.value(0, 1), 300);

  const ControlledVariable b("B.x", "", "", 10, 30, 3);
  EXPECT_EQ(b.value(0), 10);
  EXPECT_EQ(b.value(1), 20);
  EXPECT_EQ(b.value(2), 30);
  const ControlledVariable single("A.x", "", "", 5, 9, 1);
  EXPECT_EQ(single.value(0), 5);
  // 0.1 to 0.7 in 4 points: 0.6 / 3 = 0.19999999999999998, times 3 plus 0.1
  // gives 0.7 exactly in double arithmetic (checked with Python's floats).
  const ControlledVariable fine("A.x", "", "", 0.1, 0.7, 4);
  EXPECT_EQ(fine.value(3), 0.7);
  EXPECT_EQ(fine.value(1), 0.3);

  SensitivityInput input;
  EXPECT_FALSE(input.isDefined());
  input.type = "T";
  input.id = 0;
  input.startinground = 0;
  EXPECT_FALSE(input.isDefined());
  input.controlled.push_back(single);
  EXPECT_TRUE(input.isDefined());
}

} // namespace
