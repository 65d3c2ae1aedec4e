// The results document of a sensitivity study: its exact lines, numbers that
// read back unchanged, and well-formedness by xmllint.
#include "ScratchDirectory.h"
#include "velta/core/SensitivityResult.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>

namespace {

const std::string head = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                         "<results xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\""
                         " xsi:noNamespaceSchemaLocation=\"SensitivityResult_schema.xsd\">\n";

std::string text(const SensitivityResult &result) {
  std::ostringstream stream;
  result.write(stream);
  return stream.str();
}

TEST(SensitivityResult, EmptyDocumentHasThreeLines) {
  EXPECT_EQ(text(SensitivityResult()), head + "</results>\n");
}

TEST(SensitivityResult, RowLinesAndNumbers) {
  SensitivityResult result;
  result.rows.emplace_back(3, 0.1234567, 1, 2, 17);
  result.rows.back().addControlled(101325);
  result.rows.back().addControlled(1234567.8);
  result.rows.back().addControlled(0.1 + 0.2);
  result.rows.emplace_back(4, 0, 0, 0, 0);
  EXPECT_EQ(text(result), head +
                              "  <result>\n"
                              "    <round>3</round>\n"
                              "    <time>0.1234567</time>\n"
                              "    <errors>1</errors>\n"
                              "    <warnings>2</warnings>\n"
                              "    <iterations>17</iterations>\n"
                              "    <controlled>\n"
                              "      <variable>101325</variable>\n"
                              "      <variable>1234567.8</variable>\n"
                              "      <variable>0.30000000000000004</variable>\n"
                              "    </controlled>\n"
                              "    <monitored>\n"
                              "    </monitored>\n"
                              "  </result>\n"
                              "  <result>\n"
                              "    <round>4</round>\n"
                              "    <time>0</time>\n"
                              "    <errors>0</errors>\n"
                              "    <warnings>0</warnings>\n"
                              "    <iterations>0</iterations>\n"
                              "    <controlled>\n"
                              "    </controlled>\n"
                              "    <monitored>\n"
                              "    </monitored>\n"
                              "  </result>\n"
                              "</results>\n");
}

// Flows of neighbouring grid points that differ in the 12th digit stay
// apart and read back exactly.
TEST(SensitivityResult, ValuesReadBackExactly) {
  const double values[] = {123456.78901234567, 123456.78901234568, 1e-300, -2.5e17,
                           1.0 / 3.0};
  SensitivityResult result;
  result.rows.emplace_back(0, 0, 0, 0, 0);
  for (double value : values)
    result.rows.back().addMonitored(value);
  const std::string document = text(result);
  std::size_t at = 0;
  for (double value : values) {
    at = document.find("<variable>", at) + 10;
    EXPECT_EQ(std::strtod(document.c_str() + at, nullptr), value);
  }
}

TEST(SensitivityResult, WellFormed) {
  ScratchDirectory scratch;
  SensitivityResult result;
  result.rows.emplace_back(0, 1.5, 0, 1, 3);
  result.rows.back().addControlled(300);
  result.rows.back().addMonitored(-1e-7);
  writeFile(scratch.file("SensitivityResults.xml"), text(result));
  EXPECT_EQ(xmllint("--noout " + scratch.file("SensitivityResults.xml")), 0);
  EXPECT_EQ(xpath(scratch.file("SensitivityResults.xml"),
                  "string(/results/result/monitored/variable)", scratch),
            "-1e-07");
}

} // namespace
