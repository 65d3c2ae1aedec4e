#include "velta/persistency/Node.h"

#include "velta/persistency/Icon.h"
#include "velta/persistency/NodeFactory.h"
#include "velta/persistency/Persistency.h"
#include "velta/utility/Assert.h"
#include "velta/utility/Error.h"
#include "velta/utility/Json.h"

#include <cstdint>
#include <ostream>
#include <utility>
#include <vector>

namespace {

constexpr const char *sourceFile = "subprojects/persistency/src/Node";

// Ids are written and compared as unsigned 32-bit numbers.
std::uint32_t asUnsigned(int id) { return static_cast<std::uint32_t>(id); }

// One nested transaction: rolled back unless committed, so that a failure
// never leaves a half-written tree for a later pop to commit.
class Transaction {
public:
  explicit Transaction(Persistency &persistency) : persistency_(persistency) {
    persistency_.push_transaction();
  }
  ~Transaction() {
    if (!committed_)
      persistency_.rollback_transaction();
  }
  Transaction(const Transaction &) = delete;
  Transaction &operator=(const Transaction &) = delete;

  void commit() {
    persistency_.pop_transaction();
    committed_ = true;
  }

private:
  Persistency &persistency_;
  bool committed_ = false;
};

void visitSubtree(Node &node, const auto &visit) {
  visit(node);
  for (auto &entry : node.children())
    visitSubtree(*entry.second, visit);
}

} // namespace

// Stored ids of a subtree as they were before a write; put back when the
// write fails, since its rows were rolled back.
class Node::StoredIdBackup {
public:
  explicit StoredIdBackup(Node &node) {
    visitSubtree(node, [this](Node &n) { saved_.emplace_back(&n, n.storedId_); });
  }
  ~StoredIdBackup() {
    if (!released_)
      for (auto &[node, storedId] : saved_)
        node->storedId_ = storedId;
  }
  StoredIdBackup(const StoredIdBackup &) = delete;
  StoredIdBackup &operator=(const StoredIdBackup &) = delete;
  void release() { released_ = true; }

private:
  std::vector<std::pair<Node *, int>> saved_;
  bool released_ = false;
};

// The store derives PARENT and ROOT of the rows it writes from the in-memory
// ids of parent and root and the one offset of the block. While a subtree is
// written as a block of its own, those ids outside the subtree are presented
// in the block's frame, so that PARENT and ROOT name the intended stored
// rows; they are put back when the write ends, also by an exception.
class Node::PresentedIds {
public:
  explicit PresentedIds(const Node &subtree) : subtree_(subtree) {}
  ~PresentedIds() {
    for (auto it = saved_.rbegin(); it != saved_.rend(); ++it)
      it->first->id_ = it->second;
  }
  PresentedIds(const PresentedIds &) = delete;
  PresentedIds &operator=(const PresentedIds &) = delete;

  // Makes node show the id presented; the subtree's own nodes and nodes
  // already presented are left as they are.
  void present(Node *node, int presented) {
    if (!node || node == &subtree_)
      return;
    for (const auto &entry : saved_)
      if (entry.first == node)
        return;
    saved_.emplace_back(node, node->id_);
    node->id_ = presented;
  }

private:
  const Node &subtree_;
  std::vector<std::pair<Node *, int>> saved_;
};

// ---------------------------------------------------------------- lifetime

Node::Node(Defaults defaults, int id, Persistency *persistency, Node *parent, Node *root)
    : Persistent(defaults.tag(), defaults.description(), parent, persistency ? -1 : id),
      maxId_(persistency ? -1 : id), root_(root ? root : this), type_("Node") {
  if (persistency)
    restoreFrom(*persistency, id);
  else
    requireTagFitsStore(tag(), "Node::Node");
}

Node::Node(const Node &other)
    : Diagnostic(other), Persistent(other), maxId_(other.maxId_),
      root_(other.root_ == &other ? this : nullptr), type_(other.type()) {
  if (other.icon_)
    icon_ = std::make_unique<Icon>(*other.icon_);
  for (const auto &entry : other.children_)
    addChild(*entry.second);
}

Node::~Node() {
  icon_.reset();
  children_.clear();
}

std::string Node::type() const { return type_; }

void Node::setTag(const std::string &tag) {
  requireTagFitsStore(tag, "Node::setTag");
  Item::setTag(tag);
}

void Node::restoreFrom(Persistency &persistency, int storedId) {
  PersistencyRead read(&persistency);
  std::string uuid, tag, description, type;
  int storedParent = 0, storedRoot = 0;
  double createdAt = 0, updatedAt = 0;
  persistency.retrieveObject(storedId, uuid, tag, description, type, storedParent, storedRoot,
                             createdAt, updatedAt);
  // Stored texts are taken as they stand.
  setTagUnchecked(std::move(tag));
  setDescriptionUnchecked(std::move(description));
  type_ = std::move(type);

  // A stored tree whose parent links loop would otherwise be read forever.
  for (const Node *ancestor = parentNode(); ancestor; ancestor = ancestor->parentNode())
    if (ancestor->storedId_ == storedId)
      throw ErrorRunTime("Node::Node",
                         ("stored tree loops back to id " + std::to_string(storedId)).c_str());

  Node *parent = parentNode();
  id_ = maxId_ = parent ? parent->newId() : newId();
  storedId_ = storedId;
  offset_ = id_ - storedId;

  ChildList stored;
  persistency.retrieveChildren(storedId, stored);
  NodeFactory factory;
  for (const auto &[childId, childType] : stored) {
    if (!factory.isRegistered(childType))
      throw ErrorRunTime(
          "Node::Node",
          ("Stored case " + std::to_string(root_->storedId_) + " is damaged: node " +
           std::to_string(childId) + ", child of node " + std::to_string(storedId) + " (tag \"" +
           this->tag() + "\") in table N: its TYPE \"" + childType + "\" is not a registered type")
              .c_str());
    addChild(factory.create(childType, Defaults(), childId, &persistency, this, root_));
  }
}

// ---------------------------------------------------------------- ids

void Node::shiftIds(int after) {
  ++maxId_;
  for (auto &entry : children_) {
    Node &c = *entry.second;
    if (asUnsigned(c.id_) > asUnsigned(after))
      visitSubtree(c, [](Node &n) {
        ++n.id_;
        ++n.maxId_;
      });
  }
  if (Node *parent = parentNode())
    parent->shiftIds(id_);
}

int Node::rootId() const { return root_ ? root_->id_ : id_; }

int Node::range() const {
  VELTA_ASSERT_AS(1 + maxId_ >= id_, "1 + maxId_ >= id_", sourceFile, __LINE__);
  return maxId_ - id_ + 1;
}

int Node::newId() {
  ++maxId_;
  if (Node *parent = parentNode())
    parent->shiftIds(id_);
  return maxId_;
}

Node &Node::search(int id) {
  Node *current = this;
  const std::uint32_t wanted = asUnsigned(id);
  while (asUnsigned(current->id_) != wanted) {
    Node *next = nullptr;
    for (auto &entry : current->children_) {
      Node &c = *entry.second;
      const std::uint32_t first = asUnsigned(c.id_);
      if (first <= wanted && wanted < first + asUnsigned(c.range())) {
        next = &c;
        break;
      }
    }
    if (!next)
      throw ErrorRunTime("Node::search", "id not found");
    current = next;
  }
  return *current;
}

// ---------------------------------------------------------------- storage

int Node::insert(Persistency &persistency) {
  StoredIdBackup backup(*this);
  // The first free id is taken inside the transaction, so that a store that
  // serialises writers hands it to no one else.
  Transaction transaction(persistency);
  const int stored = persistency.getId();
  {
    // A subtree written as a tree of its own is stored as a root: its PARENT
    // and ROOT name its own row. Taken from the tree in memory, they would
    // name whatever stored row the parent's id maps to, and reading that
    // other case back would adopt this subtree.
    PresentedIds presented(*this);
    presented.present(parentNode(), id_);
    presented.present(root_, id_);
    insert(persistency, id_ - stored);
  }
  transaction.commit();
  backup.release();
  return stored;
}

void Node::insert(Persistency &persistency, int offset) {
  VELTA_TRACE_BEGIN
  VELTA_LOG(verbosity(), 1, "Node::insert",
            "Entered for " << fullTag() << " with id = " << asUnsigned(id_));
  Transaction transaction(persistency);
  const int stored = persistency.insertObject(*this, offset);
  storedId_ = stored;
  offset_ = id_ - stored;
  VELTA_ASSERT_AS(offset_ == offset, "offset_ == offset", sourceFile, __LINE__);
  insertStuff(persistency, offset);
  VELTA_LOG(verbosity(), 2, "Node::insert",
            "Inserting children for " << fullTag() << " with offset = " << offset_);
  for (auto &entry : children_) {
    Node &c = *entry.second;
    VELTA_LOG(verbosity(), 2, "Node::insert",
              "Inserting " << c.fullTag() << " of type " << c.type());
    c.insert(persistency, offset);
    VELTA_LOG(verbosity(), 2, "Node::insert", "Done with " << c.fullTag());
  }
  VELTA_LOG(verbosity(), 2, "Node::insert", "Done with inserting children " << fullTag());
  transaction.commit();
  VELTA_TRACE_END("Node::insert")
}

int Node::update(Persistency &persistency) {
  StoredIdBackup backup(*this);
  updateSubtree(persistency);
  backup.release();
  return storedId_;
}

void Node::updateSubtree(Persistency &persistency) {
  VELTA_TRACE_BEGIN
  Transaction transaction(persistency);
  if (hasStoredRow()) {
    updateStuff(persistency, id_ - storedId_);
    for (auto &entry : children_)
      entry.second->updateSubtree(persistency);
  } else {
    insertAsOwnBlock(persistency);
  }
  transaction.commit();
  VELTA_TRACE_END("Node::update")
}

// A subtree added after its tree was stored cannot take the stored ids that
// its in-memory ids map to (they belong to the nodes it shifted), so it is
// written as a block of its own at the store's first free id, with PARENT
// and ROOT naming the stored rows of its parent and root.
void Node::insertAsOwnBlock(Persistency &persistency) {
  Node *parent = parentNode();
  if (parent && !parent->hasStoredRow())
    throw ErrorRunTime("Node::update", ("parent of " + fullTag() + " has no stored row").c_str());
  const int stored = persistency.getId();
  const int offset = id_ - stored;
  PresentedIds presented(*this);
  if (parent)
    presented.present(parent, parent->storedId_ + offset);
  if (root_->hasStoredRow())
    presented.present(root_, root_->storedId_ + offset);
  insert(persistency, offset);
}

void Node::restore(Persistency &persistency) {
  VELTA_TRACE_BEGIN
  PersistencyRead read(&persistency);
  if (hasStoredRow())
    retrieveQuantities(persistency);
  for (auto &entry : children_)
    entry.second->restore(persistency);
  VELTA_TRACE_END("Node::restore")
}

void Node::remove(Persistency &persistency) {
  Transaction transaction(persistency);
  // The block of this node goes at once; subtrees that were stored later as
  // blocks of their own still have their rows and go one by one.
  visitSubtree(*this, [&](Node &n) {
    if (!n.hasStoredRow())
      return;
    if (&n != this && n.storedId_ > 0 && persistency.countRows("N", n.storedId_) == 0)
      return;
    persistency.removeObject(n.storedId_);
  });
  transaction.commit();
  visitSubtree(*this, [](Node &n) { n.storedId_ = -1; });
}

void Node::insertStuff(Persistency &, int) {}

void Node::updateStuff(Persistency &, int) {}

void Node::retrieveQuantities(Persistency &) {}

void Node::retrieveIntegersAndStrings(Persistency *) {}

// ---------------------------------------------------------------- copies

std::unique_ptr<Node> Node::clone() const { return std::make_unique<Node>(*this); }

Node &Node::operator=(const Node &other) {
  if (this == &other)
    return *this;
  if (other.isRoot())
    setParent(this);
  // An object keeps the type it was built as: a copy between two types
  // (an external stream into a flowsheet's internal one of another type)
  // must not store it under the other's type name.
  if (type_.empty())
    type_ = other.type();
  icon_ = other.icon_ ? std::make_unique<Icon>(*other.icon_) : nullptr;
  for (auto &entry : children_) {
    auto namesake = other.children_.find(entry.first);
    if (namesake == other.children_.end())
      continue;
    *entry.second = *namesake->second;
    entry.second->setParent(this);
    entry.second->setRootOfSubtree(root_);
  }
  return *this;
}

Node &Node::operator=(Node &&other) {
  if (this == &other)
    return *this;
  setParent(other.isRoot() ? this : other.parent());
  assignName(other);
  other.id_ = 0;
  other.setParent(nullptr);

  maxId_ = other.maxId_;
  root_ = other.root_ == &other ? this : other.root_;
  type_ = other.type();
  offset_ = other.offset_;
  storedId_ = other.storedId_;
  icon_ = std::move(other.icon_);
  for (auto &entry : children_) {
    auto namesake = other.children_.find(entry.first);
    if (namesake == other.children_.end())
      continue;
    *entry.second = std::move(*namesake->second);
    // The namesake's parent is other, which is emptied below.
    entry.second->setParent(this);
    entry.second->setRootOfSubtree(root_);
  }

  other.maxId_ = 0;
  other.offset_ = 0;
  other.storedId_ = -1;
  other.root_ = nullptr;
  other.icon_.reset();
  other.children_.clear();
  return *this;
}

// ---------------------------------------------------------------- output

std::ostream &Node::printJson(std::ostream &stream, int level) const {
  VELTA_ASSERT_AS(level >= 0, "level >= 0", sourceFile, __LINE__);
  const std::string indent(2 * static_cast<std::size_t>(level), ' ');
  printJsonHead(stream, indent);
  printJsonChildren(stream, level, "  } ");
  return stream << std::endl << indent << "}";
}

void Node::printJsonHead(std::ostream &stream, const std::string &indent) const {
  using Velta::Utility::jsonQuote;
  const Node *parent = parentNode();
  stream << "{" << std::endl;
  stream << indent << "  \"fullTag\": " << jsonQuote(fullTag()) << "," << std::endl;
  stream << indent << "  \"type\": " << jsonQuote(type()) << "," << std::endl;
  stream << indent << "  \"id\": " << asUnsigned(id_) << "," << std::endl;
  stream << indent << "  \"parent\": " << asUnsigned(parent ? parent->id_ : id_);
}

void Node::printJsonChildren(std::ostream &stream, int level, const char *closing) const {
  if (children_.empty())
    return;
  const std::string indent(2 * static_cast<std::size_t>(level), ' ');
  stream << "," << std::endl << indent << "  \"children\": {" << std::endl;
  bool first = true;
  for (const auto &entry : children_) {
    if (!first)
      stream << "," << std::endl;
    first = false;
    stream << indent << "    " << Velta::Utility::jsonQuote(entry.first) << ": ";
    entry.second->printJson(stream, level + 2);
  }
  stream << std::endl << indent << closing;
}

std::ostream &operator<<(std::ostream &stream, const Node &node) {
  return node.printJson(stream, 0);
}

// ---------------------------------------------------------------- children

Node &Node::adopt(std::unique_ptr<Node> child) {
  Node &added = *child;
  added.setParent(this);
  added.setRootOfSubtree(root_);
  children_.emplace(added.tag(), std::move(child));
  return added;
}

void Node::setRootOfSubtree(Node *root) {
  visitSubtree(*this, [root](Node &n) { n.root_ = root; });
}

Node &Node::addChild(const Node &child) {
  if (children_.count(child.tag()))
    throw ErrorRunTime("Node::addChild copy", ("duplicate tag: " + child.tag()).c_str());
  return adopt(child.clone());
}

Node &Node::addChild(std::unique_ptr<Node> child) {
  if (children_.count(child->tag()))
    throw ErrorRunTime("Node::addChild move", ("duplicate tag: " + child->tag()).c_str());
  return adopt(std::move(child));
}

Node &Node::addChild(const std::string &type, const Defaults &defaults) {
  if (children_.count(defaults.tag()))
    throw ErrorRunTime("Node::addChild(type, defaults)",
                       ("duplicate tag: " + defaults.tag()).c_str());
  const int id = newId();
  return adopt(NodeFactory().create(type, defaults, id, nullptr, this, root_));
}

Node &Node::child(const std::string &path) {
  return const_cast<Node &>(static_cast<const Node &>(*this).child(path));
}

const Node &Node::child(const std::string &path) const {
  const std::size_t colon = path.find(':');
  if (colon != std::string::npos)
    return child(path.substr(0, colon)).child(path.substr(colon + 1));
  auto found = children_.find(path);
  if (found == children_.end())
    throw ErrorRunTime("Node::child", ("non-existant tag " + path).c_str());
  return *found->second;
}

bool Node::hasChild(const std::string &tag) const { return children_.count(tag) != 0; }

std::unique_ptr<Node> Node::prune(const std::string &tag) {
  auto found = children_.find(tag);
  if (found == children_.end())
    throw ErrorRunTime("Node::prune", "error removing child");
  std::unique_ptr<Node> pruned = std::move(found->second);
  children_.erase(found);
  return pruned;
}

Node *Node::parentNode() const {
  Item *parent = this->parent();
  if (parent == nullptr || parent == this)
    return nullptr;
  return dynamic_cast<Node *>(parent);
}

// ---------------------------------------------------------------- icons

const Icon &Node::icon() const { return icon_ ? *icon_ : NodeFactory().icon(type()); }

std::string Node::iconFile(bool raster) const {
  return icon().stem() + (raster ? ".png" : ".svg");
}

double Node::iconWidth() const { return icon().width(); }

double Node::iconHeight() const { return icon().height(); }

void Node::setIcon(std::string stem, double width, double height) {
  icon_ = std::make_unique<Icon>(std::move(stem), width, height);
}
