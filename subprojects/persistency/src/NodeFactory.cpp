#include "velta/persistency/NodeFactory.h"

#include "velta/utility/Assert.h"
#include "velta/utility/Error.h"

#include <algorithm>
#include <map>
#include <tuple>

namespace {

struct PendingRegistrar {
  int rank;
  std::string module;
  std::size_t sequence; // queueing order, for registrars of one module
  void (*registerTypes)();
};

struct Tables {
  std::map<std::string, NodeCreator> creators;
  std::map<std::string, Defaults> options;
  // The option values that the types listing shows as defaults.
  std::map<std::string, Defaults> listed;
  std::vector<TypeDescriptor> descriptors;
  std::map<std::string, Icon> icons;
  std::vector<PendingRegistrar> pending;
  std::size_t queued = 0;
};

// Not atomic: initialisers run on one thread.
int counter = 0;
Tables *tables = nullptr;

Tables &theTables() {
  VELTA_ASSERT(tables != nullptr);
  return *tables;
}

// The tables after every queued registration has run.
Tables &readyTables() {
  NodeFactory::runRegistrars();
  return theTables();
}

bool isCategory(const std::string &category) {
  return category == "phase" || category == "stream" || category == "unit" ||
         category == "flowsheet" || category == "option";
}

// Removes the descriptor of a preset option; the base must declare it.
template <class Option>
void removePreset(std::vector<Option> &remaining, const std::string &name, const char *kind) {
  auto found = std::find_if(remaining.begin(), remaining.end(),
                            [&](const Option &option) { return option.name == name; });
  if (found == remaining.end())
    throw ErrorRunTime(
        "NodeFactory::registerAlias",
        (std::string(kind) + " option " + name + " unsupported by base type").c_str());
  remaining.erase(found);
}

// The defaults that a descriptor lists for its options.
Defaults listedDefaults(const TypeDescriptor &descriptor) {
  Defaults defaults;
  for (const IntegerOption &option : descriptor.integerOptions)
    defaults.setInteger(option.name, option.value);
  for (const StringOption &option : descriptor.stringOptions)
    defaults.setString(option.name, option.value);
  return defaults;
}

// Adds to defaults every option of from that it lacks; options already given
// are never changed.
void complete(Defaults &defaults, const Defaults &from) {
  for (const auto &[name, value] : from.integers())
    defaults.setInteger(name, value);
  for (const auto &[name, value] : from.strings())
    defaults.setString(name, value);
}

} // namespace

void NodeFactory::initialize() {
  if (counter++ == 0)
    tables = new Tables;
}

void NodeFactory::finalize() {
  if (--counter == 0) {
    delete tables;
    tables = nullptr;
  }
}

NodeFactory::Registrar::Registrar(int rank, const char *module, void (*registerTypes)()) {
  Tables &t = theTables();
  t.pending.push_back({rank, module, t.queued++, registerTypes});
}

void NodeFactory::runRegistrars() {
  Tables &t = theTables();
  // A registration function that itself uses the factory finds the queue
  // empty and does not recurse; registrars it queues run in the next round.
  while (!t.pending.empty()) {
    std::vector<PendingRegistrar> batch;
    batch.swap(t.pending);
    std::sort(batch.begin(), batch.end(), [](const auto &a, const auto &b) {
      return std::tie(a.rank, a.module, a.sequence) < std::tie(b.rank, b.module, b.sequence);
    });
    for (const PendingRegistrar &registrar : batch)
      registrar.registerTypes();
  }
}

void NodeFactory::registerCreator(NodeCreator creator, std::string type, std::string description,
                                  std::string category, bool instantiable,
                                  std::vector<IntegerOption> integerOptions,
                                  std::vector<StringOption> stringOptions,
                                  std::vector<QuantityDescriptor> quantities, std::string icon,
                                  double width, double height) {
  Tables &t = readyTables();
  if (t.creators.count(type))
    throw ErrorObjectFactory("NodeFactory::registerType", type.c_str());
  if (!isCategory(category))
    throw ErrorObjectFactory("NodeFactory::registerType", category.c_str());
  if (icon.empty())
    icon = category;
  t.creators[type] = creator;
  t.options[type] = Defaults();
  t.descriptors.emplace_back(type, std::move(description), std::move(category), instantiable,
                             std::move(integerOptions), std::move(stringOptions),
                             std::move(quantities), icon);
  t.listed[type] = listedDefaults(t.descriptors.back());
  t.icons.try_emplace(type, std::move(icon), width, height);
}

void NodeFactory::registerAlias(const std::string &baseType, const std::string &alias,
                                std::string description, const Defaults &options, std::string icon,
                                double width, double height) {
  Tables &t = readyTables();
  if (t.creators.count(alias))
    throw ErrorObjectFactory("NodeFactory::registerAlias",
                             ("type " + alias + " already registered").c_str());
  auto base = t.creators.find(baseType);
  if (base == t.creators.end())
    throw ErrorObjectFactory("NodeFactory::registerAlias",
                             ("base type " + baseType + " not found").c_str());

  // Everything is checked before anything is registered, so a refused
  // alias leaves no creator without a descriptor behind.
  const TypeDescriptor &baseDescriptor = typeDescriptor(baseType);
  if (icon.empty())
    icon = baseDescriptor.icon;
  std::vector<IntegerOption> integerOptions = baseDescriptor.integerOptions;
  for (const auto &entry : options.integers())
    removePreset(integerOptions, entry.first, "integer");
  std::vector<StringOption> stringOptions = baseDescriptor.stringOptions;
  for (const auto &entry : options.strings())
    removePreset(stringOptions, entry.first, "string");

  TypeDescriptor descriptor(alias, std::move(description), baseDescriptor.category,
                            baseDescriptor.instantiable, std::move(integerOptions),
                            std::move(stringOptions), baseDescriptor.quantities, icon);
  t.creators[alias] = base->second;
  t.options[alias] = options;
  t.listed[alias] = listedDefaults(descriptor);
  t.descriptors.push_back(std::move(descriptor));
  t.icons.try_emplace(alias, std::move(icon), width, height);
}

std::unique_ptr<Node> NodeFactory::create(const std::string &type, Defaults defaults, int id,
                                          Persistency *persistency, Node *parent,
                                          Node *root) const {
  Tables &t = readyTables();
  auto creator = t.creators.find(type);
  if (creator == t.creators.end())
    throw ErrorObjectFactory("NodeFactory::create", ("type " + type + " not found").c_str());
  auto registered = t.options.find(type);
  if (registered != t.options.end())
    complete(defaults, registered->second);
  // A new node takes the defaults that the types listing shows for what the
  // caller omits. A node read back is left to its stored options: its
  // constructor reads them from the store, as it did when it was stored.
  auto listed = t.listed.find(type);
  if (persistency == nullptr && listed != t.listed.end())
    complete(defaults, listed->second);
  return creator->second(std::move(defaults), id, persistency, parent, root);
}

bool NodeFactory::isRegistered(const std::string &type) const {
  return readyTables().creators.count(type) != 0;
}

const TypeDescriptor &NodeFactory::typeDescriptor(const std::string &type) const {
  for (const TypeDescriptor &descriptor : readyTables().descriptors)
    if (descriptor.name == type)
      return descriptor;
  throw ErrorObjectFactory("NodeFactory::typeDescriptor", ("type " + type + " not found").c_str());
}

const Icon &NodeFactory::icon(const std::string &type) const {
  Tables &t = readyTables();
  auto found = t.icons.find(type);
  if (found == t.icons.end())
    throw ErrorObjectFactory("NodeFactory::icon", ("icon for type " + type + " not found").c_str());
  return found->second;
}

const std::vector<TypeDescriptor> &NodeFactory::descriptors() const {
  return readyTables().descriptors;
}

std::vector<std::string> NodeFactory::typeNames() const {
  std::vector<std::string> names;
  for (const auto &entry : readyTables().creators)
    names.push_back(entry.first);
  return names;
}
