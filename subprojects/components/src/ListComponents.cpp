#include "velta/components/ListComponents.h"

#include "velta/components/ComponentGeneric.h"
#include "velta/utility/Error.h"

// Constant-initialised, so valid for any start-up initialiser.
constinit int NCOMPONENTS = 0;
ListComponents components;

ListComponents::~ListComponents() { clear(); }

void ListComponents::add(ComponentGeneric *component) {
  components_.push_back(component);
  component->setIndex(count_);
  byName_[component->name()] = count_;
  ++count_;
  NCOMPONENTS = count_;
}

void ListComponents::clear() {
  for (int i = 0; i < count_; ++i) {
    delete components_[i];
    components_[i] = nullptr;
  }
  count_ = 0;
  NCOMPONENTS = 0;
  components_.clear();
  byName_.clear();
}

ComponentGeneric *ListComponents::operator[](const std::string &name) const {
  return components_[lookup(name)];
}

int ListComponents::lookup(const std::string &name) const {
  const auto found = byName_.find(name);
  if (found == byName_.end())
    throw ErrorNoComponent("ListComponents::lookup", name.c_str());
  return found->second;
}
