#pragma once
// The store over ODBC: one connection to a data source (login "zq", password
// "zq") for the object's whole lifetime, on which every operation runs its
// statements one after another. The data source must already hold the twelve
// tables (subprojects/persistency/sql); nothing here creates tables.
//
// The statements are written in SQL that SQLite and PostgreSQL both accept;
// every text that comes from a user or from stored data is a bound parameter.
// The lock that serialises writers differs by database, and so do the bulk
// forms below (arrays unnested by PostgreSQL, packed texts from SQLite).
//
// Writes: the rows that insertions and updates write inside a transaction
// are kept (checked and converted) and go to the database table by table,
// for all nodes at once, before any other operation runs and when the
// outermost transaction commits; outside a transaction at the end of the
// call. A failure of a kept row (a variable without its row, say) therefore
// leaves the commit, names the variable, node, tag and table as before and
// rolls the transaction back. The first node row of a block of ids goes out
// at once, so that an id that another writer took fails its insertion.
//
// Transactions: the outermost push_transaction begins a transaction. On
// SQLite it takes the database's write lock, so that writers are serialised.
// On PostgreSQL writers run in parallel: getId inside a transaction takes a
// lock held to the end of the transaction that only other allocations wait
// for, so that id blocks never overlap while updates of stored cases go on;
// writing updates first locks the node rows touched, in id order, so that
// two writers of one case leave it as one or the other whole write. A stale
// id, from a getId outside any transaction, makes the insertion fail on the
// unique N.ID. The outermost pop_transaction commits. Any failure
// of an operation inside a transaction rolls the transaction back before the
// error leaves; until the caller's outermost pop or rollback_transaction the
// connection then refuses further statements, so nothing written before the
// failure can be committed by accident. A connection is never closed with a
// transaction open: the destructor rolls it back.
//
// Reads: the outermost push_read_transaction begins a transaction that sees
// one state of the store until the matching pop, whatever other kernels
// commit meanwhile, and takes no lock that holds writers up: PostgreSQL runs
// it at REPEATABLE READ; SQLite gets its snapshot from the write-ahead log
// that the schema switches on (journal_mode WAL, kept in the database file),
// the read transaction starting at its first statement.

#include "velta/persistency/OdbcHandle.h"
#include "velta/persistency/OdbcStatement.h"
#include "velta/persistency/Persistency.h"

#include <exception>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

struct PersistencyOdbcReadBlock;
struct PersistencyOdbcPending;
namespace odbcBlock {
struct Place;
struct Nodes;
struct NodeRows;
struct Query;
}
namespace odbcElements {
class StatementCache;
}
namespace odbcPending {
template <class T> struct VectorRows;
template <class T> struct ScalarUpdate;
template <class T> struct VectorUpdate;
struct NegativeZero;
}

class PersistencyOdbc : public Persistency {
public:
  // Database families whose lock statement differs.
  enum class Dialect { generic, sqlite, postgresql };

  // Connects to the data source; throws ErrorOdbc ("Error while connecting to
  // database" when the data source cannot be reached) and then leaves nothing
  // allocated.
  explicit PersistencyOdbc(const std::string &dsn);
  ~PersistencyOdbc() override;

  void push_transaction() override;
  int pop_transaction() override;
  void rollback_transaction() noexcept override;
  void push_read_transaction() override;
  void pop_read_transaction() noexcept override;

  void purge(const std::string &table, int id) override;
  int countRows(const std::string &table, int id) override;
  int getId() override;
  void remove(int id, const std::string &table) override;
  int countCID(int nodeId, const std::string &table) override;

  int insertObject(const Persistent &node, int offset) override;
  void retrieveObject(const std::string &uuid, int &id, std::string &tag, std::string &description,
                      std::string &type, int &parentId, int &rootId, double &createdAt,
                      double &updatedAt) override;
  void retrieveObject(int id, std::string &uuid, std::string &tag, std::string &description,
                      std::string &type, int &parentId, int &rootId, double &createdAt,
                      double &updatedAt) override;
  void retrieveChildren(int id, ChildList &children) override;
  void removeObject(int id) override;

  void updateVector(int nodeId, const StringVectorRegistry &registry) override;
  void updateVector(int nodeId, const QuantityMatrixRegistry &registry) override;
  void updateVector(int nodeId, const QuantityVectorRegistry &registry) override;
  void updateVector(int nodeId, const IntegerVectorRegistry &registry) override;
  void update(int nodeId, const StringRegistry &registry) override;
  void update(int nodeId, const QuantityRegistry &registry) override;
  void update(int nodeId, const IntegerRegistry &registry) override;
  void update(int id) override;

  void insert(const StringVectorRegistry &registry, int offset) override;
  void insert(const QuantityMatrixRegistry &registry, int offset) override;
  void insert(const QuantityVectorRegistry &registry, int offset) override;
  void insert(const IntegerVectorRegistry &registry, int offset) override;
  void insert(const StringRegistry &registry, int offset) override;
  void insert(const QuantityRegistry &registry, int offset) override;
  void insert(const IntegerRegistry &registry, int offset) override;

  void read(int nodeId, const StringVectorRegistry &registry) override;
  void read(int nodeId, const QuantityMatrixRegistry &registry) override;
  void read(int nodeId, const QuantityVectorRegistry &registry) override;
  void read(int nodeId, const IntegerVectorRegistry &registry) override;
  void read(int nodeId, const StringRegistry &registry) override;
  void read(int nodeId, const QuantityRegistry &registry) override;
  void read(int nodeId, const IntegerRegistry &registry) override;

  void checkReadTree(const Node &root) override;

  // Values that the store changed on the way in (Persistency::sanitize: NaN,
  // infinities, magnitudes below 2^-1023) since the write began. When the
  // write is committed, one line on standard error gives their count and
  // the first of them, so that a failed result is never read back unnoticed
  // as a plausible number.
  struct ReplacedValues {
    long count = 0;
    std::string first;
  };

  const std::string &dsn() const { return dsn_; }
  Dialect dialect() const { return dialect_; }

private:
  // Runs an operation's body; when it throws, the statement is closed and an
  // open transaction rolled back (see abandonTransaction), keeping the levels
  // the caller holds, before the error leaves. The rows kept by insertions
  // are sent first; an insertion (keeps) adds to them instead, and sends
  // them at its end outside a transaction.
  template <bool keeps = false, class Body>
  auto guarded(const char *function, Body &&body) -> decltype(body());
  // The rows that insertions keep until they are sent (see
  // PersistencyOdbcPending.h), made on first use.
  PersistencyOdbcPending &pending();
  // The statements kept for later runs on this connection (see
  // PersistencyOdbcElements.h), made on first use.
  odbcElements::StatementCache &statements();
  // Writes the kept rows, table by table, and forgets them.
  void sendPending();
  // The insertions kept: on PostgreSQL one statement per table, the rows
  // as arrays; elsewhere statements of many rows.
  void sendUnnested(PersistencyOdbcPending &pending);
  void sendInserts(PersistencyOdbcPending &pending);
  // The updates kept (see PersistencyOdbcUpdate.cpp).
  void sendUpdates(PersistencyOdbcPending &pending);
  void sendTouches(const std::vector<std::pair<int, double>> &touched);
  template <class T>
  void sendScalarUpdates(const std::vector<odbcPending::ScalarUpdate<T>> &kept,
                         const std::string &table);
  template <class T>
  void sendVectorUpdates(const std::vector<odbcPending::VectorUpdate<T>> &kept,
                         const std::string &table, const std::string &key);
  template <class Value, class Extras, class T>
  void sendVectors(odbcPending::VectorRows<T> &rows, const char *header, const char *elements,
                   const char *key, const std::vector<odbcPending::NegativeZero> &negativeZeros);
  // count new ids of a table's autonumber, in the order they are to be used.
  std::vector<int> reserveIds(const std::string &table, std::size_t count);
  void refuseAfterRollback(const char *function) const;
  // Rolls back at the database (once) and keeps depthToKeep levels open but
  // refused; depth 0 ends the transaction altogether. Never throws.
  void abandonTransaction(int depthToKeep) noexcept;
  // Takes the store's write lock inside the transaction just begun.
  void lockStore();
  // Ends the read of one node row (logs its columns, refuses a second row).
  template <class Row> void endNodeRead(const char *function, const Row &row);
  template <class Row> void logNodeRow(const char *function, const Row &row);
  // Inside a read transaction: the rows that query gives for node nodeId,
  // read with the rows of its whole case at the table's first use (see
  // PersistencyOdbcBlock.h); null outside one, when the live statement
  // serves.
  odbcBlock::Place blockRows(int nodeId, const odbcBlock::Query &query);
  // Runs one query of the block's rows (see PersistencyOdbcRead.cpp).
  template <class Take>
  void fetchBlock(const std::string &sqlcommand, const std::string &kinds, Take &&take);
  // Inside a read transaction: makes sure that block_ is the block of the
  // case that holds node nodeId (see blockRows); false outside one, or when
  // there is no such node.
  bool coverBlock(int nodeId);
  // Inside a read transaction: the N rows of the block that holds nodeId,
  // read at their first use; null outside one.
  const odbcBlock::Nodes *blockNodes(int nodeId);
  // Refuses a case whose rows do not form one tree.
  void checkCaseRows(int rootId);
  // Runs a read of node nodeId's variables (guarded); a fault of a row
  // leaves as an ErrorOdbc naming the case, the node, the tag and the table.
  template <class Body> void readRows(int nodeId, Body &&body);
  // The stored id of the case that holds the node, "?" when unknown.
  std::string caseOf(int nodeId) noexcept;
  // For the error of a node without its row: the node of the tree read
  // whose stored block holds id, and the stored range of a node read.
  std::string parentOf(int id, const std::map<int, const Node *> &nodes) const;
  int blockRange(int id) const;
  // Throws unless table is one of the twelve tables (table names are put
  // into statement texts).
  static void checkTable(const char *function, const std::string &table);
  void setAutocommit(bool on, const char *function);
  // Writes the line about replaced values, if any, and forgets them.
  void reportReplaced();
  // Reports when the operation that is ending was a write of its own.
  struct ReportUnlessInTransaction {
    PersistencyOdbc &store;
    int exceptions = std::uncaught_exceptions();
    ~ReportUnlessInTransaction() {
      if (store.depth_ == 0 && std::uncaught_exceptions() == exceptions)
        store.reportReplaced();
    }
  };

  std::string dsn_;
  OdbcHandle environment_{OdbcHandleType::environment};
  OdbcHandle connection_{OdbcHandleType::connection};
  bool connected_ = false;
  OdbcStatement statement_;
  Dialect dialect_ = Dialect::generic;
  // The transaction was rolled back after a failure while the caller still
  // holds levels of it.
  bool rolledBack_ = false;
  // The open transaction is a read (push_read_transaction at depth 0).
  bool reading_ = false;
  ReplacedValues replaced_;
  // The rows of the case being read (see blockRows).
  std::unique_ptr<PersistencyOdbcReadBlock> block_;
  // Rows of the open write kept for sending.
  std::unique_ptr<PersistencyOdbcPending> pending_;
  std::unique_ptr<odbcElements::StatementCache> statements_;
  // The block of ids of the last node row written at once, and the ids of
  // the rows kept since inside it. A node row outside that block, or with
  // an id used already, is written at once (with the rows kept before it):
  // an id that another writer took, or that was used twice, fails the
  // insertion that uses it, while the other rows of a tree wait.
  long long blockFirst_ = 0;
  long long blockEnd_ = 0;
  std::set<int> blockIds_;
};

template <bool keeps, class Body>
auto PersistencyOdbc::guarded(const char *function, Body &&body) -> decltype(body()) {
  const int depth = depth_;
  try {
    refuseAfterRollback(function);
    ReportUnlessInTransaction report{*this};
    if constexpr (keeps) {
      if constexpr (std::is_void_v<decltype(body())>) {
        body();
        if (depth_ == 0)
          sendPending();
      } else {
        auto result = body();
        if (depth_ == 0)
          sendPending();
        return result;
      }
    } else {
      sendPending();
      return body();
    }
  } catch (...) {
    abandonTransaction(depth);
    throw;
  }
}
