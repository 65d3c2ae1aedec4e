#pragma once
// The process-wide registry of object types by name, and the only way the
// system creates the objects of a model tree. Per type it keeps the creator,
// the option set that creation completes a caller's options from (empty for
// a type, the preset options for an alias), the descriptor that the types
// listing writes (registration order) and the icon record. The defaults the
// descriptor lists are the ones a new node takes for the options its caller
// omits.
//
// NodeFactory has no members of its own: any instance serves.
//
// Start-up registration: a module registers its types through a Registrar,
// a static object naming the module and a registration function. Queued
// registrations run before the factory is first used, ordered by rank and
// then by module name, so the types listing does not depend on the order in
// which object files were linked or their initialisers ran.

#include "velta/persistency/Defaults.h"
#include "velta/persistency/Icon.h"
#include "velta/persistency/Node.h"
#include "velta/persistency/Persistency.h"
#include "velta/persistency/TypeDescriptor.h"

#include <memory>
#include <string>
#include <vector>

class Persistency;

// Builds a node of one registered class: (options, id, persistency or none,
// parent or none, root or none). The caller owns the result.
using NodeCreator = std::unique_ptr<Node> (*)(Defaults, int, Persistency *, Node *, Node *);

class NodeFactory {
public:
  // Registers class T under the name type. Throws ErrorObjectFactory from
  // "NodeFactory::registerType" with the name when it is taken, and with the
  // category when it is not one of "phase", "stream", "unit", "flowsheet",
  // "option". An empty icon stands for the category's icon.
  template <class T>
  void registerType(std::string type, std::string description, std::string category,
                    bool instantiable, std::vector<IntegerOption> integerOptions,
                    std::vector<StringOption> stringOptions,
                    std::vector<QuantityDescriptor> quantities, std::string icon, double width,
                    double height) {
    registerCreator(&creator<T>, std::move(type), std::move(description), std::move(category),
                    instantiable, std::move(integerOptions), std::move(stringOptions),
                    std::move(quantities), std::move(icon), width, height);
  }

  // Registers alias as a further name of baseType whose options preset the
  // given ones (a caller may override them); the alias's descriptor lists the
  // base's options minus the preset ones.
  void registerAlias(const std::string &baseType, const std::string &alias, std::string description,
                     const Defaults &options, std::string icon, double width, double height);

  // A new node of the registered type; options the caller omits are taken
  // from the type's registered option set. Without a persistency connection
  // the node is built fresh with the given id, and options still missing
  // take the defaults of the type's descriptor; with one, id is the stored
  // id of the node to read back, which keeps its stored options.
  std::unique_ptr<Node> create(const std::string &type, Defaults defaults, int id,
                               Persistency *persistency, Node *parent, Node *root) const;

  bool isRegistered(const std::string &type) const;
  const TypeDescriptor &typeDescriptor(const std::string &type) const;
  const Icon &icon(const std::string &type) const;
  // Every descriptor, aliases included, in registration order.
  const std::vector<TypeDescriptor> &descriptors() const;
  // Every registered name, aliases included, in byte-wise order.
  std::vector<std::string> typeNames() const;

  // Per-file counter: the first initialize creates the tables, the last
  // finalize releases them.
  static void initialize();
  static void finalize();

  // Queues a module's registration function (see above).
  class Registrar {
  public:
    Registrar(int rank, const char *module, void (*registerTypes)());
  };
  // Runs the queued registrations that have not run yet. Called by every
  // operation of the factory; callable explicitly at start-up.
  static void runRegistrars();

private:
  template <class T>
  static std::unique_ptr<Node> creator(Defaults defaults, int id, Persistency *persistency,
                                       Node *parent, Node *root) {
    // A node read back, with its subtree and variables, is one version of it.
    PersistencyRead read(persistency);
    std::unique_ptr<Node> node =
        std::make_unique<T>(std::move(defaults), id, persistency, parent, root);
    if (persistency) {
      node->retrieveQuantities(*persistency);
      // Constructors read their integers and strings (they need them to
      // build themselves); read again only what they registered afterwards.
      if (!node->integersAndStringsRead())
        node->retrieveIntegersAndStrings(persistency);
      // The whole tree is read: its stored rows must all have found a place.
      if (!parent)
        persistency->checkReadTree(*node);
    }
    return node;
  }

  void registerCreator(NodeCreator creator, std::string type, std::string description,
                       std::string category, bool instantiable,
                       std::vector<IntegerOption> integerOptions,
                       std::vector<StringOption> stringOptions,
                       std::vector<QuantityDescriptor> quantities, std::string icon, double width,
                       double height);
};

// One counter object per source file that includes this header, so the
// tables exist before any registrar of that file runs and outlive its uses.
namespace {
struct NodeFactoryInitializer {
  NodeFactoryInitializer() { NodeFactory::initialize(); }
  ~NodeFactoryInitializer() { NodeFactory::finalize(); }
  NodeFactoryInitializer(const NodeFactoryInitializer &) = delete;
  NodeFactoryInitializer &operator=(const NodeFactoryInitializer &) = delete;
};
[[maybe_unused]] NodeFactoryInitializer nodeFactoryInitializer;
} // namespace
