#pragma once
// The description of a homotopy: quantities of a stored case moved along
// straight lines from start to end values (in SI units) in a number of
// equal steps, the start and the end included.

#include <string>
#include <vector>

struct HomotopyVariable {
  // Value of point i of n (0 <= i < n): start at 0, end at n - 1.
  double value(int point, int points) const;

  std::string path;
  double start = 0.0;
  double end = 0.0;
};

class HomotopyInput {
public:
  std::string type;
  int id = -1;
  int points = 10;
  std::vector<HomotopyVariable> controlled;
};

// HomotopyInput read from an XML file ("Homotopy.xml" for the program). A
// missing or unreadable file, or one without the "homotopy" element or a
// required element inside it, raises ErrorRunTime from
// "HomotopyInputXml::HomotopyInputXml" whose message ends with ": " + the
// file name: a run over unchanged defaults would only repeat one
// calculation.
class HomotopyInputXml : public HomotopyInput {
public:
  explicit HomotopyInputXml(const std::string &fileName);
};
