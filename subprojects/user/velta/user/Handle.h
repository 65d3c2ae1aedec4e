#pragma once
// The front end's light reference to one stored object, as a rule the root
// of a case: its database id and the identifying fields of its row in N. A
// handle holds no model and keeps no connection open; a copy is independent.

#include <memory>
#include <string>

class Error;

namespace Velta::User {

class Handle {
public:
  // Reads the row of the stored object id from the data source
  // "persistency". Never throws an Error: a failure is written to standard
  // error and leaves the handle with the UUID "invalid".
  explicit Handle(int id);
  Handle(int id, std::string uuid, std::string type, std::string tag, std::string description,
         double created, double updated);
  Handle(const Handle &other);
  Handle &operator=(const Handle &other);
  ~Handle();

  // The handle of a failed creation or duplication.
  static Handle invalid();

  int id() const;
  std::string uuid() const;
  std::string type() const;
  std::string tag() const;
  std::string description() const;
  // The UUID is 36 characters of lower-case hexadecimal digits with "-" at
  // positions 8, 13, 18 and 23.
  bool isValid() const;
  // The store was read and holds no object of this id (as against a store
  // that could not be read, which also leaves the handle invalid).
  bool namesNoObject() const;

  static bool isValidUuid(const std::string &uuid);

private:
  // After a failed reading: the error reported, the UUID "invalid".
  void invalidate(Error &error);

  struct Record;
  std::unique_ptr<Record> record_;
};

} // namespace Velta::User
