#pragma once
// What the sensitivity and homotopy runs share.

#include "velta/utility/Diagnostic.h"

#include <locale>
#include <sstream>
#include <string>

namespace StudyRun {

// The calculation of one round or point runs with the process-wide
// verbosity lowered by 2, restored on every way out.
class QuietCalculation {
public:
  QuietCalculation() { verbosityGlobal -= 2; }
  ~QuietCalculation() { verbosityGlobal += 2; }
  QuietCalculation(const QuietCalculation &) = delete;
  QuietCalculation &operator=(const QuietCalculation &) = delete;
};

// Collects "path = value " items (SI values, six significant digits) into
// "[...]" and a line end.
class SetValues {
public:
  SetValues() {
    text_.imbue(std::locale::classic());
    text_ << "[";
  }
  void add(const std::string &path, double value) { text_ << path << " = " << value << " "; }
  std::string text() const { return text_.str() + "]\n"; }

private:
  std::ostringstream text_;
};

} // namespace StudyRun
