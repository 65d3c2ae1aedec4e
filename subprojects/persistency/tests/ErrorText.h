#pragma once
// Error texts for the tests of the object model: what an action throws, and
// the text of a run-time error as its thrower writes it.

#include "velta/utility/Error.h"

#include <functional>
#include <string>

// The message of the Error that action throws, or "no error".
inline std::string messageOf(const std::function<void()> &action) {
  try {
    action();
  } catch (const Error &error) {
    return error.message();
  }
  return "no error";
}

inline std::string runTimeError(const std::string &function, const std::string &message) {
  return "Error was thrown by function: " + function + "\nGeneric Run-Time error: " + message +
         "\n";
}
