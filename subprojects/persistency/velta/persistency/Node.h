#pragma once
// Member of the object tree: owns its children (keyed by tag, byte-wise
// order), knows its root and its type name, and takes part in one id scheme.
//
// Ids: the subtree of a node occupies the ids id() .. maxId(), its own id
// first; the children's blocks follow one another in creation order. A new
// id is reserved with newId, which shifts every later block up by one.
//
// Storage: a tree is written with insert as one block of stored ids. Every
// node remembers the stored id of its own row (set when it is written or read
// back), so that update, restore and remove keep addressing the right rows
// after ids have shifted in memory. A node without a stored row (one added
// after its tree was stored) is written by update as a block of its own.

#include "velta/persistency/Defaults.h"
#include "velta/persistency/Persistent.h"
#include "velta/utility/Diagnostic.h"

#include <cstddef>
#include <iosfwd>
#include <map>
#include <memory>
#include <string>

class Icon;
class Persistency;
class Node;

using NodeChildren = std::map<std::string, std::unique_ptr<Node>>;

class Node : public Persistent, public virtual Diagnostic {
public:
  // Without a persistency connection the node is built fresh with the given
  // id. With one, id is the stored id of a node to read back: its row and its
  // whole subtree are read, and it gets the next id of its parent's block (a
  // root gets 0). Only the tag and description of the option set are used.
  // A fresh node's tag must fit the store's TAG column whole
  // (Item::requireTagFitsStore; ErrorRunTime from "Node::Node").
  Node(Defaults defaults, int id, Persistency *persistency, Node *parent, Node *root);
  // Deep copy keeping all ids; the copy has no stored row.
  Node(const Node &other);
  ~Node() override;

  std::string type() const override;
  // Item::setTag, refusing a tag that the store cannot hold whole
  // (ErrorRunTime from "Node::setTag"; the old tag stays).
  void setTag(const std::string &tag);

  // --- ids
  void shiftIds(int after) override;
  int rootId() const override;
  int range() const override;
  int newId() override;
  int maxId() const { return maxId_; }
  // The node of this subtree with the given id; ErrorRunTime from
  // "Node::search" ("id not found") when no child range holds it.
  Node &search(int id);

  // --- storage
  // Writes the subtree as a new stored tree at the store's first free id;
  // returns the stored id of this node. A subtree that is not a root is
  // stored as the root of its own stored tree.
  int insert(Persistency &persistency) override;
  // The recursive worker of insert: every node of the subtree is written with
  // stored id = in-memory id - offset.
  void insert(Persistency &persistency, int offset);
  // Writes the current values of the subtree over its stored rows; nodes
  // without a stored row are inserted. Returns the stored id of this node.
  int update(Persistency &persistency) override;
  // Rereads the quantities of every stored node of the subtree.
  void restore(Persistency &persistency) override;
  // Removes the stored rows of the subtree; the tree in memory then has no
  // stored rows (a later update inserts it anew).
  void remove(Persistency &persistency) override;
  virtual void insertStuff(Persistency &persistency, int offset);
  virtual void updateStuff(Persistency &persistency, int offset);

  bool hasStoredRow() const { return storedId_ >= 0; }
  // Stored id of this node's row, -1 when it has none.
  int storedId() const { return storedId_; }
  // In-memory id minus stored id when the row was written or read back.
  int offset() const { return offset_; }

  // --- copies
  virtual std::unique_ptr<Node> clone() const;
  // Takes over tag, description, parent, maxId, root, type, icon and stored
  // row of other; namesake children are move-assigned; other is emptied.
  virtual Node &operator=(Node &&other);
  // Takes icon of other, its type only when this node has none yet (and
  // its parent, when other is a root);
  // namesake children are copy-assigned. Ids and tags stay.
  virtual Node &operator=(const Node &other);

  // --- output
  // JSON dump of the subtree; level is the indentation level (2 x level
  // blanks). The opening brace continues the current line; no line end
  // follows the closing brace.
  virtual std::ostream &printJson(std::ostream &stream, int level) const;

  // --- reading back (Object fills these in)
  virtual void retrieveQuantities(Persistency &persistency);
  virtual void retrieveIntegersAndStrings(Persistency *persistency);
  // True when the integer and string variables have been read back since
  // any of them was registered (a constructor read them last).
  virtual bool integersAndStringsRead() const { return false; }

  // --- children
  // Copy form: adds a clone of child under its tag (ids kept).
  Node &addChild(const Node &child);
  // Move form: takes ownership; on a duplicate tag the node is destroyed.
  Node &addChild(std::unique_ptr<Node> child);
  // Creates a child of a registered type under the option set's tag, with
  // the next id of this node's block.
  Node &addChild(const std::string &type, const Defaults &defaults);
  // The child at a path of tags joined by ":"; ErrorRunTime from
  // "Node::child" ("non-existant tag " + tag) when a tag is missing.
  Node &child(const std::string &path);
  const Node &child(const std::string &path) const;
  bool hasChild(const std::string &tag) const;
  // Hands the child with this tag out of the tree; its ids stay reserved.
  std::unique_ptr<Node> prune(const std::string &tag);
  std::size_t childCount() const { return children_.size(); }
  const NodeChildren &children() const { return children_; }

  // The parent node; none for a root (its own parent) or a detached node.
  Node *parentNode() const;
  Node *root() const { return root_; }
  bool isRoot() const { return parent() == this; }

  // --- icons: the node's own, else the one registered for its type
  const Icon &icon() const;
  std::string iconFile(bool raster) const;
  double iconWidth() const;
  double iconHeight() const;
  void setIcon(std::string stem, double width, double height);

protected:
  void setNodeType(std::string type) { type_ = std::move(type); }
  // Pieces of the JSON dump: the opening brace and the members fullTag,
  // type, id and parent (no line end after parent); and, when there are
  // children, the children member closed by indent + closing.
  void printJsonHead(std::ostream &stream, const std::string &indent) const;
  void printJsonChildren(std::ostream &stream, int level, const char *closing) const;

private:
  class StoredIdBackup;
  class PresentedIds;

  void restoreFrom(Persistency &persistency, int storedId);
  Node &adopt(std::unique_ptr<Node> child);
  void setRootOfSubtree(Node *root);
  void updateSubtree(Persistency &persistency);
  void insertAsOwnBlock(Persistency &persistency);
  int maxId_;
  Node *root_;
  std::string type_;
  int offset_ = 0;
  int storedId_ = -1;
  std::unique_ptr<Icon> icon_;
  NodeChildren children_;
};

// printJson(stream, 0).
std::ostream &operator<<(std::ostream &stream, const Node &node);
