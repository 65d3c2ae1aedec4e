#pragma once
// What the sensitivity and homotopy runs share.

#include "velta/core/Model.h"
#include "velta/utility/Diagnostic.h"
#include "velta/utility/Error.h"

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

// Fails from function, naming the path, when path leads to no quantity of
// the model; run for every variable before the first point, so that a
// misspelt path stops the study before anything is calculated.
inline void requireQuantity(Model &model, const std::string &path, const char *kind,
                            const char *function) {
  try {
    model.Q(path);
  } catch (Error &) {
    throw ErrorRunTime(function, (std::string("no quantity at the ") + kind + " path " + path +
                                  " of " + model.type() + " " + model.tag())
                                     .c_str());
  }
}

} // namespace StudyRun
