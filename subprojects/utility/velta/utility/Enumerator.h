#pragma once
// Smart enumerators: named, described lists of (option, description) pairs
// that list themselves as JSON.

#include <cstdint>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

struct EnumeratorOption {
  EnumeratorOption() = default;
  EnumeratorOption(std::string name, std::string description)
      : name(std::move(name)), description(std::move(description)) {}

  std::string name;
  std::string description;
};

namespace Velta::Utility {

class EnumeratorInterface {
public:
  virtual ~EnumeratorInterface();
  virtual const std::string &name() const = 0;
  virtual const std::string &description() const = 0;
  // The options as a contiguous range [begin, end).
  virtual const EnumeratorOption *begin() const = 0;
  virtual const EnumeratorOption *end() const = 0;
  virtual std::int64_t size() const = 0;

  // {"name":"N","description":"D","options":[{"name":"n","description":"d"},...]}
  // without blanks or line breaks; the texts are JSON-escaped, so text
  // without quotes, backslashes or control characters appears unchanged.
  std::string toJson() const;
};

} // namespace Velta::Utility

namespace Velta::Core {

class Enumerator : public Velta::Utility::EnumeratorInterface {
public:
  Enumerator(std::string name, std::string description);
  // The enumerator with its options in the order given.
  Enumerator(std::string name, std::string description,
             std::initializer_list<EnumeratorOption> options);

  // Appends a copy; duplicates are kept.
  void addOption(const EnumeratorOption &option);

  const std::string &name() const override { return name_; }
  const std::string &description() const override { return description_; }
  const EnumeratorOption *begin() const override { return options_.data(); }
  const EnumeratorOption *end() const override { return options_.data() + options_.size(); }
  std::int64_t size() const override { return static_cast<std::int64_t>(options_.size()); }

private:
  std::string name_;
  std::string description_;
  std::vector<EnumeratorOption> options_;
};

} // namespace Velta::Core
