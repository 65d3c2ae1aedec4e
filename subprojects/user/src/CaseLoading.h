#pragma once
// Reading a stored case back into memory, as every verb on a stored case
// does: the model tree through the type factory, the cuts of a flowsheet
// restored, the state that is not stored initialised. Creation reads a new
// case back the same way, so that it never stores one that cannot load.

#include "velta/user/Handle.h"

#include <memory>

class Model;

namespace Velta::User {

// The loaded model of the case of a valid handle. Errors pass on with the
// call-trace line of caller (whose name also heads the log lines).
std::unique_ptr<Model> loadCase(const Handle &handle, const char *caller);

} // namespace Velta::User
