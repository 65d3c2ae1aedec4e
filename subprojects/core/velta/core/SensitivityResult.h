#pragma once
// The rows of a sensitivity study, one per calculated grid point, and their
// XML document ("SensitivityResults.xml"). Doubles are written as the
// shortest text that reads back as the same number, so that neighbouring
// grid points and large flows keep every digit.

#include <ostream>
#include <vector>

class SensitivityResultRow {
public:
  SensitivityResultRow(int round, double time, int errors, int warnings, int iterations)
      : round(round), time(time), errors(errors), warnings(warnings), iterations(iterations) {}

  void addControlled(double value) { controlled.push_back(value); }
  void addMonitored(double value) { monitored.push_back(value); }

  // The lines from "  <result>" to "  </result>".
  std::ostream &write(std::ostream &stream) const;

  int round;
  double time;
  int errors;
  int warnings;
  // The model's "NITER" after the round.
  int iterations;
  // In the order and the units of the study's variables.
  std::vector<double> controlled;
  std::vector<double> monitored;
};

class SensitivityResult {
public:
  // The whole document; every line is flushed.
  std::ostream &write(std::ostream &stream) const;

  std::vector<SensitivityResultRow> rows;
};
