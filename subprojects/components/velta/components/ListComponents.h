#pragma once
// The process-wide list of pure components. Models refer to a component by
// its position (index) or by its name and size every per-component vector
// from NCOMPONENTS, which always equals the number of components listed.

#include <map>
#include <string>
#include <vector>

class ComponentGeneric;

class ListComponents {
public:
  ListComponents() = default;
  ListComponents(const ListComponents &) = delete;
  ListComponents &operator=(const ListComponents &) = delete;
  ~ListComponents();

  // Takes ownership of a newly created component and appends it; its index
  // becomes its position. A repeated name then resolves to the newer
  // component, the older one stays reachable by its index.
  void add(ComponentGeneric *component);
  // Deletes every component; the list and NCOMPONENTS become empty.
  void clear();

  // The component at position i; the caller guarantees 0 <= i < count.
  ComponentGeneric *operator[](int i) const { return components_[i]; }
  // The component registered under name; ErrorNoComponent when absent.
  ComponentGeneric *operator[](const std::string &name) const;
  // Position of the component registered under name; ErrorNoComponent when absent.
  int lookup(const std::string &name) const;

  int count() const { return count_; }

private:
  int count_ = 0;
  std::map<std::string, int> byName_;
  std::vector<ComponentGeneric *> components_; // owned
};

// The process-wide component list, empty at start-up.
extern ListComponents components;
// Number of components in the list; the size of every per-component vector.
extern int NCOMPONENTS;
