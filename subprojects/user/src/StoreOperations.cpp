#include "velta/user/DataSource.h"
#include "velta/user/StoreConnection.h"
#include "velta/user/KernelDescriptor.h"
#include "velta/user/Operations.h"

#include "velta/core/Model.h"
#include "velta/persistency/NodeFactory.h"
#include "velta/persistency/PersistencyOdbc.h"
#include "velta/utility/Diagnostic.h"
#include "velta/utility/Error.h"

#include <iostream>

namespace Velta::User {

namespace {

void report(Error &error, const char *function) {
  error.append(function);
  std::cerr << error.message() << std::endl;
}

// Every stored id of the tree below id, found by following PARENT, so that
// children stored in blocks of their own are found too.
std::vector<int> descendants(Persistency &persistency, int id) {
  std::vector<int> found;
  std::vector<int> pending{id};
  while (!pending.empty()) {
    const int parent = pending.back();
    pending.pop_back();
    ChildList children;
    persistency.retrieveChildren(parent, children);
    for (const auto &[child, type] : children) {
      found.push_back(child);
      pending.push_back(child);
    }
  }
  return found;
}

} // namespace

Handle duplicate(Handle source, const std::string &tag, const std::string &description,
                 int &error) {
  const char *const name = "Velta::User::duplicate";
  const int id = source.id();
  try {
    VELTA_LOG_FREE(-1, name, "Retrieving " << id << " from persistent storage database");
    StoreConnection persistency;
    std::unique_ptr<Node> node =
        NodeFactory().create(source.type(), Defaults(), id, &*persistency, nullptr, nullptr);
    Model &model = *my_cast<Model *>(node.get(), name);
    model.setTag(tag);
    model.setDescription(description);
    VELTA_LOG_FREE(-1, name, "Inserting new object into persistent storage database");
    const int copy = model.insert(*persistency);
    VELTA_LOG_FREE(-1, name, "Saved to persistent storage");
    error = 0;
    return Handle(copy, model.uuid(), model.type(), model.tag(), model.description(), 0.0, 0.0);
  } catch (Error &failure) {
    report(failure, name);
    error = -93;
    return Handle::invalid();
  }
}

int remove(Handle handle) {
  const char *const name = "Velta::User::remove";
  const int id = handle.id();
  try {
    StoreConnection persistency;
    std::string uuid, tag, description, type;
    int parentId = 0;
    int rootId = 0;
    double createdAt = 0.0;
    double updatedAt = 0.0;
    // Throws "Not found" for an id without a row.
    persistency->retrieveObject(id, uuid, tag, description, type, parentId, rootId, createdAt,
                               updatedAt);
    if (parentId != id)
      throw ErrorRunTime(name, ("object " + std::to_string(id) + " is not the root of a case, "
                                "it belongs to the case at " + std::to_string(rootId))
                                   .c_str());
    persistency->push_transaction();
    try {
      const std::vector<int> below = descendants(*persistency, id);
      persistency->removeObject(id);
      // Blocks already removed with an ancestor's block delete nothing here.
      for (int child : below)
        persistency->removeObject(child);
      persistency->pop_transaction();
    } catch (...) {
      persistency->rollback_transaction();
      throw;
    }
    return 0;
  } catch (Error &failure) {
    report(failure, name);
    return -93;
  }
}

int purge() {
  const char *const name = "Velta::User::purge";
  try {
    VELTA_LOG_FREE(-1, name, "Clean up persistent storage database");
    StoreConnection persistency;
    persistency->purgeAll();
    return 0;
  } catch (Error &failure) {
    report(failure, name);
    return -93;
  }
}

std::string types(int &error) {
  std::string text = "{\"types\":[";
  const char *separator = "";
  for (const TypeDescriptor &descriptor : NodeFactory().descriptors()) {
    text += separator;
    text += descriptor.toJson();
    separator = ",";
  }
  error = 0;
  return text + "]}";
}

std::string enumerators(int &error) {
  std::string text = "{\"enumerators\":[";
  const char *separator = "";
  for (const auto &enumerator : kernelDescriptor.enumerators_) {
    text += separator;
    text += enumerator->toJson();
    separator = ",";
  }
  error = 0;
  return text + "]}";
}

} // namespace Velta::User
