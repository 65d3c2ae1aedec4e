#include "velta/core/SensitivityInput.h"

#include "StudyInputXml.h"
#include "velta/utility/Error.h"

#include <algorithm>

using namespace StudyInputXml;

double ControlledVariable::value(int digit) const {
  return (end - start) / static_cast<double>(std::max(points - 1, 1)) * digit + start;
}

bool SensitivityInput::isDefined() const {
  return !type.empty() && id >= 0 && startinground >= 0 && !controlled.empty();
}

namespace {

constexpr const char *readerName = "SensitivityInputXml::SensitivityInputXml";

} // namespace

SensitivityInputXml::SensitivityInputXml(const std::string &fileName) {
  const auto fail = [&fileName](const std::string &message) {
    throw ErrorRunTime(readerName, (message + ": " + fileName).c_str());
  };
  Document document;
  mxml_node_t *study = loadRoot(fileName, "sensitivity", readerName,
                                "invalid XML input file, could not opening sensitivity tree",
                                document);

  if (getElementText(study, "name", name) != 0)
    name.clear();
  std::string text;
  if (getElementText(study, "type", type) != 0)
    fail("invalid XML input file, could not read type field");
  if (getElementText(study, "id", text) != 0)
    fail("invalid XML input file, could not read id field");
  id = toInt(text);
  if (getElementText(study, "order", order) != 0)
    fail("invalid XML input file, could not read order field");
  if (getElementText(study, "timeout", text) != 0)
    fail("invalid XML input file, could not read timeout field");
  timeout = toDouble(text);
  if (getElementText(study, "startinground", text) != 0)
    fail("invalid XML input file, could not read startinground field");
  startinground = toInt(text);

  mxml_node_t *list = child(study, "controlled");
  if (!list)
    fail("invalid XML input file, could not open controlled variables tree");
  for (mxml_node_t *variable = firstVariable(list); variable;
       variable = nextVariable(variable, list)) {
    std::string start, end, points, unit, label, path;
    getAttribute(variable, "start", start);
    getAttribute(variable, "end", end);
    getAttribute(variable, "points", points);
    getAttribute(variable, "unit", unit);
    getAttribute(variable, "label", label);
    if (!firstWord(variable, path))
      fail("invalid XML input file, controlled variable without a tag path");
    const int count = toInt(points);
    if (count < 0 || count > 999)
      fail("invalid XML input file, controlled variable " + path + " has " + points +
           " points, outside 0 to 999");
    controlled.emplace_back(path, unit, label, toDouble(start), toDouble(end), count);
  }

  list = child(study, "monitored");
  if (!list)
    fail("invalid XML input file, could not open monitored variables tree");
  for (mxml_node_t *variable = firstVariable(list); variable;
       variable = nextVariable(variable, list)) {
    MonitoredVariable monitoredVariable;
    getAttribute(variable, "unit", monitoredVariable.unit);
    getAttribute(variable, "label", monitoredVariable.label);
    if (!firstWord(variable, monitoredVariable.path))
      fail("invalid XML input file, monitored variable without a tag path");
    monitored.push_back(std::move(monitoredVariable));
  }
}
