#pragma once
// Log lines of the ODBC store, written from its member functions. The store
// writes a line of level L when verbosityGlobal plus its own verbosity
// exceeds L (one more than the general rule allows).

#include "velta/utility/Diagnostic.h"

#define ODBC_LOG(level, name, ...) VELTA_LOG(verbosity() + 1, level, name, __VA_ARGS__)

#include "velta/utility/Error.h"

#include <string>

// The lines of an error after its opening, joined on one line: for an error
// of the store that names where the first one happened.
inline std::string errorLines(const Error &error) {
  std::string text = error.message();
  text.erase(0, text.find('\n') + 1);
  while (!text.empty() && text.back() == '\n')
    text.pop_back();
  for (char &c : text)
    if (c == '\n')
      c = ' ';
  return text;
}
