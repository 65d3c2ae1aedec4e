#pragma once
// The verbs of the kernel program. One run performs one verb:
//
//   calculate [id]                 (also calculatetest, calculatecheck)
//   check [id]
//   duplicate [id [tag [description]]]
//   homotopy [id]                  (input "Homotopy.xml")
//   new [type [tag [description [descriptor]]]]
//   purge
//   remove id
//   sensitivity [id]               (input "SensitivityInput.xml", results
//                                   "SensitivityResults.xml")
//   txt id [file]
//   xml id directory
//   types
//   enumerators
//
// An id is a non-negative decimal number; an absent optional id means 0.

#include <optional>
#include <string>
#include <vector>

namespace Velta::User {

struct Outcome {
  // 0 or a negative failure code (-1 usage, -81 the id names no case, -84 calculation
  // or export, -93 store).
  int code = 0;
  // On success, the id to report (new id for "new" and "duplicate", the
  // case's id otherwise); none for the listings and "purge".
  std::optional<int> id;
};

// Runs the verb of the arguments (argument 0 is the program's name).
Outcome runVerb(const std::vector<std::string> &arguments);

// The failure code of the verb that the arguments name, for failures that
// escape the verb itself: -93 for the store verbs, -84 for calculations and
// exports, -1 otherwise.
int failureCode(const std::vector<std::string> &arguments);

// The usage text for the arguments, every line ended.
std::string usageText(const std::vector<std::string> &arguments);

// A non-negative decimal number that fits an int, digits only.
std::optional<int> parseId(const std::string &text);

// The text dump's file name: the name with ".txt" appended unless it
// contains ".txt" already.
std::string txtFileName(const std::string &name);

} // namespace Velta::User
