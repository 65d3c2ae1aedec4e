#include "CaseLoading.h"

#include "velta/user/CaseDescriptor.h"
#include "velta/user/DataSource.h"
#include "velta/user/StoreConnection.h"
#include "velta/user/Operations.h"

#include "velta/core/Model.h"
#include "velta/persistency/NodeFactory.h"
#include "velta/persistency/PersistencyOdbc.h"
#include "velta/utility/Diagnostic.h"
#include "velta/utility/Error.h"

#include <iostream>
#include <optional>
#include <sstream>

namespace Velta::User {

namespace {

std::string printed(const Defaults &defaults) {
  std::ostringstream text;
  defaults.print(text);
  return text.str();
}

Handle storedCase(int id, const Node &root) {
  return Handle(id, root.uuid(), root.type(), root.tag(), root.description(), root.createdAt(),
                root.updatedAt());
}

// Whether a case just stored can be read back as every verb on it reads it.
// One that cannot could never be calculated or exported: it is removed, and
// the reason is written to standard error.
bool loadsBack(const Handle &stored, const char *caller) {
  try {
    loadCase(stored, caller);
    return true;
  } catch (Error &failure) {
    failure.append(caller);
    std::cerr << failure.message() << "The new case of type " << stored.type()
              << " could not be read back as stored, so it was not kept" << std::endl;
    remove(stored);
    return false;
  }
}

} // namespace

Handle createCase(std::string type, std::string tag, std::string description,
                  std::string descriptorText, int &error) {
  CaseDescriptor descriptor(std::move(type), std::move(tag), std::move(description));
  try {
    if (!parseCaseDescriptor(descriptor, descriptorText)) {
      // Nothing is created from a text the reader could not follow.
      std::cerr << "Velta::User::createCase: the case descriptor is not valid JSON; nothing "
                   "was created"
                << std::endl;
      error = -93;
      return Handle::invalid();
    }
  } catch (const std::exception &exception) {
    std::cerr << "Velta::User::createCase: the case descriptor holds a value that cannot be "
                 "read: "
              << exception.what() << std::endl;
    error = -93;
    return Handle::invalid();
  }
  VELTA_LOG_FREE(-1, "Velta::User::createCase", "Creating a new model " << printed(descriptor));
  const OptionReads reads;
  Handle handle = createCase_(descriptor.type(), descriptor, descriptor.quantities(), error, true);
  if (error == 0)
    warnUnreadOptions(descriptor, reads);
  return handle;
}

Handle createCase_(const std::string &type, const Defaults &defaults,
                   const std::map<std::string, double> &quantities, int &error, bool drawings) {
  const char *const name = "createCase_";
  std::unique_ptr<Node> node;
  std::optional<int> storedId;
  try {
    VELTA_LOG_FREE(-1, name, "Instantiate flowsheet");
    node = NodeFactory().create(type, defaults, 0, nullptr, nullptr, nullptr);
    Model &model = *my_cast<Model *>(node.get(), name);
    VELTA_LOG_FREE(0, name, "Set user inputs");
    // Only the number changes: unit and flags stay as the model set them.
    for (const auto &[path, value] : quantities)
      model.Q(path).activeValue() = value;
    const DescriptorInputs inputs(model, quantities);
    VELTA_LOG_FREE(0, name, "Set up inputs and cuts");
    model.setup();
    // A set-up that fixes an input replaces what the descriptor gave: say so.
    inputs.reportSetUp();
    VELTA_LOG_FREE(-1, name, "Creation complete");
    model.reportMessages();
    VELTA_LOG_FREE(-1, name, "Saving to persistent storage");
    {
      StoreConnection persistency;
      storedId = model.insert(*persistency);
    }
    VELTA_LOG_FREE(-1, name, "Saved to persistent storage");
    if (!loadsBack(storedCase(*storedId, model), name)) {
      storedId.reset();
      error = -93;
      return Handle::invalid();
    }
    if (drawings) {
      VELTA_LOG_FREE(-1, name, "Dumping all flowheet objects as tiny SVGs");
      std::vector<std::string> files;
      model.printSvgAll(".", true, true, static_cast<unsigned>(*storedId), files);
    }
    error = 0;
    return storedCase(*storedId, model);
  } catch (Error &failure) {
    failure.append(name);
    std::cerr << failure.message() << std::endl;
    if (storedId && node) {
      // The case is stored: its id is reported, not hidden behind a failure.
      std::cerr << "Warning: case " << *storedId
                << " was stored, but its drawings could not all be written" << std::endl;
      error = 0;
      return storedCase(*storedId, *node);
    }
    error = -93;
    return Handle::invalid();
  }
}

} // namespace Velta::User
