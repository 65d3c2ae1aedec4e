#include "velta/user/Handle.h"

#include "velta/persistency/ErrorOdbc.h"
#include "velta/persistency/PersistencyOdbc.h"
#include "velta/user/DataSource.h"
#include "velta/user/StoreConnection.h"
#include "velta/utility/Error.h"

#include <iostream>

namespace Velta::User {

struct Handle::Record {
  int id = -1;
  std::string uuid;
  std::string type;
  std::string tag;
  std::string description;
  double created = 0.0;
  double updated = 0.0;
  // The store answered that no object has the id.
  bool missing = false;
};

Handle::Handle(int id) : record_(std::make_unique<Record>()) {
  record_->id = id;
  try {
    StoreConnection persistency;
    int parentId = 0;
    int rootId = 0;
    persistency->retrieveObject(id, record_->uuid, record_->tag, record_->description,
                               record_->type, parentId, rootId, record_->created,
                               record_->updated);
  } catch (ErrorOdbcNotFound &error) {
    record_->missing = true;
    invalidate(error);
  } catch (Error &error) {
    invalidate(error);
  }
}

void Handle::invalidate(Error &error) {
  error.append("Velta::User::Handle::Handle");
  std::cerr << error.message() << std::endl;
  record_->uuid = "invalid";
}

Handle::Handle(int id, std::string uuid, std::string type, std::string tag,
               std::string description, double created, double updated)
    : record_(std::make_unique<Record>(Record{id, std::move(uuid), std::move(type),
                                              std::move(tag), std::move(description), created,
                                              updated, false})) {}

Handle::Handle(const Handle &other) : record_(std::make_unique<Record>(*other.record_)) {}

Handle &Handle::operator=(const Handle &other) {
  if (this != &other)
    *record_ = *other.record_;
  return *this;
}

Handle::~Handle() = default;

Handle Handle::invalid() { return Handle(-1, "invalid", "", "", "", 0.0, 0.0); }

int Handle::id() const { return record_->id; }
std::string Handle::uuid() const { return record_->uuid; }
std::string Handle::type() const { return record_->type; }
std::string Handle::tag() const { return record_->tag; }
std::string Handle::description() const { return record_->description; }
bool Handle::isValid() const { return isValidUuid(record_->uuid); }
bool Handle::namesNoObject() const { return record_->missing; }

bool Handle::isValidUuid(const std::string &uuid) {
  if (uuid.size() != 36)
    return false;
  for (std::size_t i = 0; i < uuid.size(); ++i) {
    const char c = uuid[i];
    const bool dash = i == 8 || i == 13 || i == 18 || i == 23;
    if (dash ? c != '-' : !((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f')))
      return false;
  }
  return true;
}

} // namespace Velta::User
