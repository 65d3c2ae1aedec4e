#pragma once
// The description of a sensitivity study: a stored case (type and id), the
// controlled quantities varied over a rectangular grid, the monitored ones
// recorded at every grid point, the order in which the points are visited
// ("boustrophedon", "quasi-spiral", anything else lexicographical) and the
// first round to calculate.

#include <string>
#include <vector>

struct MonitoredVariable {
  // Tag path of a quantity of the case's model.
  std::string path;
  // Unit of the values set and reported; empty: the quantity's own unit.
  std::string unit;
  std::string label;
};

struct ControlledVariable : MonitoredVariable {
  ControlledVariable() = default;
  ControlledVariable(std::string path, std::string unit, std::string label, double start,
                     double end, int points)
      : MonitoredVariable{std::move(path), std::move(unit), std::move(label)}, start(start),
        end(end), points(points) {}

  // Grid value of digit d (0 <= d < points): start at 0, end at the last.
  double value(int digit) const;

  double start = 0.0;
  double end = 0.0;
  int points = 0;
};

class SensitivityInput {
public:
  // A type, an id and a start round of 0 or more, and a controlled variable.
  bool isDefined() const;

  std::string name;
  std::string type;
  int id = -1;
  std::string order;
  double timeout = 0.0;
  int startinground = -1;
  std::vector<ControlledVariable> controlled;
  std::vector<MonitoredVariable> monitored;
};

// SensitivityInput read from an XML file ("SensitivityInput.xml" for the
// program). Any fault of the file raises ErrorRunTime from
// "SensitivityInputXml::SensitivityInputXml" whose message ends with
// ": " + the file name.
class SensitivityInputXml : public SensitivityInput {
public:
  explicit SensitivityInputXml(const std::string &fileName);
};
