#include "velta/value/ErrorUnit.h"

#include "velta/value/UnitArray.h"

namespace {
const char *const prefix = "Error type: Unit of measurement error - ";
}

ErrorUnit::ErrorUnit(const char *function, const char *message, const char *text)
    : Error(function) {
  addLine(std::string(prefix) + message + " <" + text + ">");
}

ErrorUnit::ErrorUnit(const char *function, const char *unit) : Error(function) {
  addLine(std::string(prefix) + "unsupported unit [" + unit + "]");
}

ErrorUnit::ErrorUnit(const char *function, const char *message, const UnitArray &a,
                     const UnitArray &b)
    : Error(function) {
  // Local texts: the shared string of UnitArray::toString could not hold both.
  std::string textA, textB;
  a.print(textA);
  b.print(textB);
  addLine(std::string(prefix) + message + " <" + textA + "> <" + textB + ">");
}
