#pragma once
// The abstract store through which the object tree keeps itself: node rows
// (table N), the scalar variables (I, S, Q), the vector and matrix headers
// (IV, SV, QV, QM) and their element rows (IVV, SVV, QVV, QMV).
//
// Ids: a node's stored id is its in-memory id minus its tree's offset.
// Operations that name a node take the stored id; the variable inserts take
// the offset and compute each variable's node id from the variable's parent.
//
// Transactions nest: only the outermost push_transaction / pop_transaction
// pair touches the store. Every caller that pushes must, on its failure path,
// call rollback_transaction so that a half-written tree is never committed
// by a later pop.
//
// Every failing operation throws an Error (the implementation's own class).

#include "velta/persistency/Registries.h"
#include "velta/utility/Diagnostic.h"

#include <string>
#include <utility>
#include <vector>

class Node;
class Persistent;

// (stored id, type name) of the children of a stored node.
using ChildList = std::vector<std::pair<int, std::string>>;

class Persistency : public Diagnostic {
public:
  Persistency() = default;
  Persistency(const Persistency &) = delete;
  Persistency &operator=(const Persistency &) = delete;
  ~Persistency() override = default;

  // Depth 0: begin a transaction (statements are no longer committed one by
  // one); then depth + 1. A failure to begin throws and leaves the depth.
  virtual void push_transaction() = 0;
  // Depth 1: commit and go back to committing each statement; then depth - 1
  // unless already 0. Returns the depth after the pop. A failed commit rolls
  // the transaction back, leaves the depth at 0 and throws: what was not
  // stored is never reported as stored.
  virtual int pop_transaction() = 0;
  // Discards everything written since the outermost push and sets the depth
  // to 0 (nothing happens at depth 0). Meant for failure paths, so it never
  // throws: a failure to roll back is only logged.
  virtual void rollback_transaction() noexcept = 0;
  // Depth 0: begin a read of one consistent state of the store, so that a
  // case read while another kernel updates it is one version of it (writers
  // are not held up meanwhile); then depth + 1. Inside an open transaction
  // only the depth changes. A store that reads consistently anyway does
  // nothing (the default).
  virtual void push_read_transaction() {}
  // Ends what the matching push_read_transaction began; never throws.
  virtual void pop_read_transaction() noexcept {}

  // id -1: delete every row of the table; else the N row with this id, or,
  // for any other table, the rows whose node-id column equals id.
  virtual void purge(const std::string &table, int id) = 0;
  // Rows of the table; with id > 0 only those with this row id.
  virtual int countRows(const std::string &table, int id) = 0;
  // First free stored node id: max(id + range) over N, 0 when N is empty;
  // an error when that is beyond the largest int.
  virtual int getId() = 0;
  // Deletes the rows of the table whose row id is id.
  virtual void remove(int id, const std::string &table) = 0;
  // Rows of the table whose node-id column is nodeId; all rows when negative.
  virtual int countCID(int nodeId, const std::string &table) = 0;

  // Writes the node's N row with id, parent id and root id minus offset;
  // returns the stored id.
  virtual int insertObject(const Persistent &node, int offset) = 0;
  // Read the N row with this UUID / this stored id.
  virtual void retrieveObject(const std::string &uuid, int &id, std::string &tag,
                              std::string &description, std::string &type, int &parentId,
                              int &rootId, double &createdAt, double &updatedAt) = 0;
  virtual void retrieveObject(int id, std::string &uuid, std::string &tag,
                              std::string &description, std::string &type, int &parentId,
                              int &rootId, double &createdAt, double &updatedAt) = 0;
  // Appends (id, type) of every N row whose parent is id, ascending id,
  // leaving out the row id itself (a root is its own parent).
  virtual void retrieveChildren(int id, ChildList &children) = 0;
  // Deletes the node's whole block [id, id + range) from all twelve tables.
  virtual void removeObject(int id) = 0;

  // Vector update: for every stored header of the node whose trimmed tag is
  // registered, overwrite its elements (same count) or replace them. A
  // registered vector without exactly one stored header is an error.
  virtual void updateVector(int nodeId, const StringVectorRegistry &registry) = 0;
  virtual void updateVector(int nodeId, const QuantityMatrixRegistry &registry) = 0;
  virtual void updateVector(int nodeId, const QuantityVectorRegistry &registry) = 0;
  virtual void updateVector(int nodeId, const IntegerVectorRegistry &registry) = 0;
  // Scalar update: the row of the node with exactly the variable's tag gets
  // the current value; nothing is inserted, nothing else rewritten. A
  // variable without exactly one stored row is an error.
  virtual void update(int nodeId, const StringRegistry &registry) = 0;
  virtual void update(int nodeId, const QuantityRegistry &registry) = 0;
  virtual void update(int nodeId, const IntegerRegistry &registry) = 0;
  // Sets the node's stored update time to the store's current time; an id
  // without a row is an error.
  virtual void update(int id) = 0;

  // Variable insert, in key order: one row per scalar, or a header row and
  // one element row per element, node id = the variable's parent's id -
  // offset. A variable without a parent is an error.
  virtual void insert(const StringVectorRegistry &registry, int offset) = 0;
  virtual void insert(const QuantityMatrixRegistry &registry, int offset) = 0;
  virtual void insert(const QuantityVectorRegistry &registry, int offset) = 0;
  virtual void insert(const IntegerVectorRegistry &registry, int offset) = 0;
  virtual void insert(const StringRegistry &registry, int offset) = 0;
  virtual void insert(const QuantityRegistry &registry, int offset) = 0;
  virtual void insert(const IntegerRegistry &registry, int offset) = 0;

  // Variable read: every stored row of the node whose tag is registered sets
  // that variable; other rows are skipped. Vectors are resized to the stored
  // element count.
  virtual void read(int nodeId, const StringVectorRegistry &registry) = 0;
  virtual void read(int nodeId, const QuantityMatrixRegistry &registry) = 0;
  virtual void read(int nodeId, const QuantityVectorRegistry &registry) = 0;
  virtual void read(int nodeId, const IntegerVectorRegistry &registry) = 0;
  virtual void read(int nodeId, const StringRegistry &registry) = 0;
  virtual void read(int nodeId, const QuantityRegistry &registry) = 0;
  virtual void read(int nodeId, const IntegerRegistry &registry) = 0;

  // After a stored tree was read into root (its objects built and their
  // variables read): refuses stored rows that the tree does not account
  // for, that is variable rows of a node without a row in N (a child row
  // that went missing) and rows of a variable that the node's object does
  // not register (a node read as another type than it was stored as). A
  // store that cannot tell does nothing (the default).
  virtual void checkReadTree(const Node &) {}

  // Empties every table in one transaction; returns the depth after the pop.
  // On failure the transaction is rolled back and the error passed on.
  int purgeAll();
  // The node's stored integer variable with this tag, -1 when there is none.
  int readInteger(int nodeId, const std::string &tag);
  // The node's stored string variable with this tag, "" when there is none.
  std::string readString(int nodeId, const std::string &tag);

  // Makes a double storable: +-infinity -> +-8.988465674311579e307, NaN -> 0,
  // 0 < |x| < 2^-1023 -> +-2^-1021; everything else unchanged.
  static void sanitize(double &value);

  int transactionDepth() const { return depth_; }

protected:
  // Maintained by push_transaction, pop_transaction and rollback_transaction.
  int depth_ = 0;
};

// One consistent read of a store for the lifetime of the object (nests).
class PersistencyRead {
public:
  explicit PersistencyRead(Persistency *persistency) : persistency_(persistency) {
    if (persistency_)
      persistency_->push_read_transaction();
  }
  ~PersistencyRead() {
    if (persistency_)
      persistency_->pop_read_transaction();
  }
  PersistencyRead(const PersistencyRead &) = delete;
  PersistencyRead &operator=(const PersistencyRead &) = delete;

private:
  Persistency *persistency_;
};
