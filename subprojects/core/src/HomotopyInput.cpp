#include "velta/core/HomotopyInput.h"

#include "StudyInputXml.h"
#include "velta/utility/Error.h"

#include <algorithm>

using namespace StudyInputXml;

double HomotopyVariable::value(int point, int points) const {
  return (end - start) / static_cast<double>(std::max(points - 1, 1)) * point + start;
}

namespace {

constexpr const char *readerName = "HomotopyInputXml::HomotopyInputXml";

} // namespace

HomotopyInputXml::HomotopyInputXml(const std::string &fileName) {
  const auto fail = [&fileName](const std::string &message) {
    throw ErrorRunTime(readerName, (message + ": " + fileName).c_str());
  };
  Document document;
  mxml_node_t *homotopy =
      loadRoot(fileName, "homotopy", readerName, "error opening homotopy", document);

  std::string text;
  if (getElementText(homotopy, "type", type) != 0)
    fail("invalid XML input file, could not read type field");
  if (getElementText(homotopy, "id", text) != 0)
    fail("invalid XML input file, could not read id field");
  id = toInt(text);
  if (getElementText(homotopy, "points", text) != 0)
    fail("invalid XML input file, could not read points field");
  points = toInt(text);

  mxml_node_t *list = child(homotopy, "controlled");
  if (!list)
    fail("invalid XML input file, could not open controlled variables tree");
  for (mxml_node_t *variable = firstVariable(list); variable;
       variable = nextVariable(variable, list)) {
    std::string start, end;
    HomotopyVariable controlledVariable;
    getAttribute(variable, "start", start);
    getAttribute(variable, "end", end);
    if (!firstWord(variable, controlledVariable.path))
      fail("invalid XML input file, controlled variable without a tag path");
    controlledVariable.start = toDouble(start);
    controlledVariable.end = toDouble(end);
    controlled.push_back(std::move(controlledVariable));
  }
}
