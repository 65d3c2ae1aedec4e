#pragma once
// The option set an object is created with: its tag, its description and its
// named integer and string options (keys in byte-wise order). A value type:
// copied, assigned and passed by value.

#include <iosfwd>
#include <map>
#include <set>
#include <string>

class Defaults {
public:
  explicit Defaults(std::string tag = std::string(), std::string description = std::string());

  const std::string &tag() const { return tag_; }
  const std::string &description() const { return description_; }

  // Add the option when the name is absent; a present option keeps its
  // value. Return the set itself for chaining.
  Defaults &setInteger(const std::string &name, int value);
  Defaults &setString(const std::string &name, const std::string &value);

  // The value, or -1 / "" when the name is absent.
  int getInteger(const std::string &name) const;
  std::string getString(const std::string &name) const;
  bool hasInteger(const std::string &name) const;
  bool hasString(const std::string &name) const;

  const std::map<std::string, int> &integers() const { return integers_; }
  const std::map<std::string, std::string> &strings() const { return strings_; }

  // Same tag and description, holding every option whose name begins with
  // prefix, under the name with the prefix removed.
  Defaults subset(const std::string &prefix) const;
  // The given tag and description with all options of this set.
  Defaults relay(std::string tag, std::string description) const;

  // "[ si [[ nOutlets, 2] ] ss [[ typeP, vapor] ]]"; empty: "[ si [] ss []]".
  std::ostream &print(std::ostream &stream) const;

private:
  std::string tag_;
  std::string description_;
  std::map<std::string, int> integers_;
  std::map<std::string, std::string> strings_;
};

std::ostream &operator<<(std::ostream &stream, const Defaults &defaults);

// While one lives, the names of the options that any option set is asked
// for (get, has; subset for every name it hands on) are recorded, so that
// whoever builds a model can tell which given options nothing read. One at
// a time, on the one thread; nested ones are not supported.
class OptionReads {
public:
  OptionReads();
  ~OptionReads();
  OptionReads(const OptionReads &) = delete;
  OptionReads &operator=(const OptionReads &) = delete;

  bool wasRead(const std::string &name) const;

  // Called by Defaults.
  static void record(const std::string &name);
  static void recordPrefix(const std::string &prefix);

private:
  std::set<std::string> names_;
  std::set<std::string> prefixes_;
};
