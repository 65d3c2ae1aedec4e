#pragma once
// Unit-of-measurement errors: unknown unit strings, incompatible exponent
// sets and failed unit registrations.

#include "velta/utility/Error.h"

class UnitArray;

class ErrorUnit : public Error {
public:
  // "... - " + message + " <" + text + ">"
  ErrorUnit(const char *function, const char *message, const char *text);
  // "... - unsupported unit [" + unit + "]"
  ErrorUnit(const char *function, const char *unit);
  // "... - " + message + " <" + text of a + "> <" + text of b + ">"
  ErrorUnit(const char *function, const char *message, const UnitArray &a, const UnitArray &b);
};
