#pragma once
// The user-level operations on stored cases, one per verb of the kernel.
// Each opens its own connection on the data source "persistency" and closes
// it before it returns. Failures of the kind Error are caught here: the
// message with the operation's call-trace line goes to standard error and
// the result is a negative code (-93 for the store operations).

#include "velta/user/Handle.h"

#include <map>
#include <string>

class Defaults;

namespace Velta::User {

// Creates a case of the registered type from the descriptor text (see
// CaseDescriptor.h), stores it and draws its SVG files into the working
// directory. error: 0, or -93 with the invalid handle (an unregistered type,
// a descriptor with a syntax error or values that cannot be converted, a
// failure of the setup or of the store). A case stored but not drawn is
// reported with a warning on standard error and keeps error 0.
Handle createCase(std::string type, std::string tag, std::string description,
                  std::string descriptor, int &error);

// The worker of createCase for a parsed descriptor; drawings selects the SVG
// step.
Handle createCase_(const std::string &type, const Defaults &defaults,
                   const std::map<std::string, double> &quantities, int &error, bool drawings);

// Stores a copy of the stored tree under a new tag and description; the copy
// gets a new block of ids and a new UUID. error: 0 or -93.
Handle duplicate(Handle source, const std::string &tag, const std::string &description,
                 int &error);

// Removes the stored case whose root is the handle's id: every row of the
// case, children stored in blocks of their own included, in one
// transaction. An id that names no stored object, or an object inside a case
// rather than its root, removes nothing. 0 or -93.
int remove(Handle handle);

// Empties every table of the store. 0 or -93.
int purge();

// {"types":[..]} with one record per registered type and alias, in
// registration order. error is always 0.
std::string types(int &error);
// {"enumerators":[..]} from the kernel descriptor. error is always 0.
std::string enumerators(int &error);

} // namespace Velta::User
