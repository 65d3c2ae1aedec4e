// Node rows (table N), id allocation and row counts of the ODBC store.

#include "velta/persistency/PersistencyOdbc.h"

#include "PersistencyOdbcBlock.h"
#include "PersistencyOdbcElements.h"
#include "PersistencyOdbcLog.h"
#include "PersistencyOdbcPending.h"
#include "velta/persistency/ErrorOdbc.h"
#include "velta/persistency/OdbcText.h"
#include "velta/persistency/Persistent.h"

#include <limits>
#include <string>

namespace {

const char *const execDirectFailed =
    "Error in SQLEXECDIRECT(hStatement_, (SQLCHAR*)sqlcommand.c_str(), SQL_NTS) ";
const char *const prepareFailed =
    "Error in SQLPREPARE(hStatement_, (SQLCHAR*)sqlcommand.c_str(), SQL_NTS) ";
const char *const executeFailed = "Error in SQLExecute(hStatement_) ";
const char *const fetchFailed = "Error in SQLFetch(hStatement_) ";
const char *const closeFailed = "Error in SQLFreeStmt(hStatement_, SQL_CLOSE) ";

// The advisory lock of id allocation on PostgreSQL ("VELTAIDS" in ASCII),
// the same for every kernel on the server.
constexpr long long idLockKey = 0x56454C5441494453LL;

// The columns of an N row after its first one (the id or the UUID).
using NodeColumns = odbcBlock::NodeRow;

NodeColumns readNodeColumns(OdbcStatement &statement, const char *function) {
  NodeColumns row;
  row.tag = statement
                .getText(2, function,
                         "Error in SQLGetData(hStatement_, 2, SQL_C_WCHAR, szData, sizeof(szData), "
                         "&ValueLen) ")
                .value_or("");
  row.description = statement
                        .getText(3, function,
                                 "Error in SQLGetData(hStatement_, 3, SQL_C_WCHAR, szData, "
                                 "sizeof(szData), &ValueLen) ")
                        .value_or("");
  row.type = statement.getText(4, function,
                               "Error in SQLGetData(hStatement_, 4, SQL_C_WCHAR, szData, "
                               "sizeof(szData), &ValueLen) ");
  row.parent =
      statement
          .getInteger(5, function,
                      "Error in SQLGetData(hStatement_, 5, SQL_C_LONG, &parentId, 0, &ValueLen) ")
          .value_or(-1);
  row.root =
      statement
          .getInteger(6, function,
                      "Error in SQLGetData(hStatement_, 6, SQL_C_LONG, &rootId, 0, &ValueLen) ")
          .value_or(-1);
  row.createdAt =
      statement
          .getDouble(
              7, function,
              "Error in SQLGetData(hStatement_, 7, SQL_C_DOUBLE, &created_at, 15, &ValueLen) ")
          .value_or(0);
  row.updatedAt =
      statement
          .getDouble(
              8, function,
              "Error in SQLGetData(hStatement_, 8, SQL_C_DOUBLE, &modified_at, 15, &ValueLen) ")
          .value_or(0);
  return row;
}

} // namespace

int PersistencyOdbc::getId() {
  const char *const function = "PersistencyOdbc::getId";
  return guarded(function, [&] {
    // Inside a write on PostgreSQL, allocations wait for one another until
    // the allocating transaction ends: the block handed out is not in N for
    // the others before the commit. The query runs as a statement of its
    // own after the lock, so that it sees what the previous holder stored.
    if (dialect_ == Dialect::postgresql && depth_ > 0 && !reading_) {
      const std::string lock = "SELECT pg_advisory_xact_lock(" + std::to_string(idLockKey) + ")";
      ODBC_LOG(2, function, "sqlcommand = " << lock);
      statement_.execDirect(lock, function,
                            "Error in SQLEXECDIRECT(hStatement_, (SQLCHAR*)sqlcommand.c_str(), "
                            "SQL_NTS) ");
      statement_.close(function, closeFailed);
    }
    // Summed in 64 bits: past the largest id the next id must not wrap.
    const std::string sqlcommand = "SELECT COALESCE(MAX(CAST(ID AS BIGINT) + RANGE), 0) FROM N";
    ODBC_LOG(2, function, "sqlcommand = " << sqlcommand);
    statement_.execDirect(
        sqlcommand, function,
        "Error in SQLEXECDIRECT(hStatement_, (SQLCHAR*)sqlcommand.c_str(), SQL_NTS) ");
    long long value = -1;
    if (statement_.fetch(function, fetchFailed))
      value = statement_
                  .getBigInteger(
                      1, function,
                      "Error in SQLGetData(hStatement_,1,SQL_C_SBIGINT,&long_buffer,0,&ValueLen) ")
                  .value_or(-1);
    ODBC_LOG(2, function, "The maximum ID is " << value);
    statement_.close(function, closeFailed);
    ODBC_LOG(2, function, "Freed hStatement_ parameters");
    if (value > std::numeric_limits<int>::max())
      throw ErrorOdbc(function, "The store has no free id left: the next one, " +
                                    std::to_string(value) + ", is beyond the largest id " +
                                    std::to_string(std::numeric_limits<int>::max()));
    return static_cast<int>(value);
  });
}

int PersistencyOdbc::insertObject(const Persistent &node, int offset) {
  const char *const function = "PersistencyOdbc::insertObject";
  return guarded<true>(function, [&] {
    // Every text is converted when the row is kept, so that a text that is
    // not UTF-8 fails before anything of the row is written.
    odbcPending::NodeRow row;
    row.id = node.id() - offset;
    row.uuid = OdbcUuidText::units(node.uuid());
    row.tag = OdbcTagText::units(node.tag());
    row.description = OdbcLongText::units(node.description());
    row.type = OdbcTagText::units(node.type());
    row.fullTag = OdbcLongText::units(node.fullTag());
    row.parent = node.parentId() - offset;
    row.root = node.rootId() - offset;
    row.range = node.range();
    // The block [id, id + range) must not pass the largest id.
    if (row.range < 1 ||
        static_cast<long long>(row.id) + row.range - 1 > std::numeric_limits<int>::max())
      throw ErrorOdbc(function, "Block of " + std::to_string(row.range) + " ids from id " +
                                    std::to_string(row.id) + " passes the largest id " +
                                    std::to_string(std::numeric_limits<int>::max()));
    const int id = row.id;
    const long long end = static_cast<long long>(id) + row.range;
    pending().nodes.push_back(std::move(row));
    if (id > blockFirst_ && id < blockEnd_ && blockIds_.insert(id).second)
      return id;
    sendPending();
    blockFirst_ = id;
    blockEnd_ = end;
    blockIds_.clear();
    return id;
  });
}

// Logs the columns of the node row just handed out and makes sure the query
// matched that one row only (an N row read with its block has the one id).
template <class Row> void PersistencyOdbc::endNodeRead(const char *function, const Row &row) {
  logNodeRow(function, row);
  if (statement_.fetch(function, fetchFailed)) {
    statement_.close(function, closeFailed);
    throw ErrorOdbc(function, "Duplicate ID");
  }
  statement_.close(function, closeFailed);
  ODBC_LOG(2, function, "Freed hStatement_ parameters");
}

template <class Row> void PersistencyOdbc::logNodeRow(const char *function, const Row &row) {
  ODBC_LOG(2, function, "tag = " << row.tag);
  ODBC_LOG(2, function, "description = " << row.description);
  ODBC_LOG(2, function, "type = " << row.type.value_or(""));
  ODBC_LOG(2, function, "parentId = " << row.parent);
  ODBC_LOG(2, function, "rootId = " << row.root);
  ODBC_LOG(2, function, "created_at = " << row.createdAt);
  ODBC_LOG(2, function, "modified_at = " << row.updatedAt);
}

void PersistencyOdbc::retrieveObject(const std::string &uuid, int &id, std::string &tag,
                                     std::string &description, std::string &type, int &parentId,
                                     int &rootId, double &createdAt, double &updatedAt) {
  const char *const function = "PersistencyOdbc::retrieveObject";
  guarded(function, [&] {
    // No stored UUID is longer than its column; a longer text, cut to the
    // column, could otherwise match another node's UUID.
    if (UtfConverter::utf8ToWide(uuid).size() > static_cast<std::size_t>(OdbcUuidText::columnSize))
      throw ErrorOdbcNotFound(function);
    OdbcUuidText uuidBuffer;
    uuidBuffer.assign(uuid);
    const std::string sqlcommand = "SELECT id, TAG, DESCRIPTION, TYPE, PARENT, ROOT, CREATED_AT, "
                                   "UPDATED_AT FROM N WHERE UUID = ?";
    ODBC_LOG(2, function, "sqlcommand = " << sqlcommand);
    statement_.prepare(sqlcommand, function, prepareFailed);
    statement_.bindText(1, uuidBuffer.data(), uuidBuffer.columnSize, function,
                        "Error in SQLBindParameter(hStatement_, 1, SQL_PARAM_INPUT, SQL_C_WCHAR, "
                        "SQL_WCHAR, uuidBufferSize, 0, uuidBuffer, 0, nullptr) ");
    statement_.execute(function, executeFailed);
    if (!statement_.fetch(function, fetchFailed)) {
      statement_.close(function, closeFailed);
      throw ErrorOdbcNotFound(function);
    }
    const int rowId =
        statement_
            .getInteger(1, function,
                        "Error in SQLGetData(hStatement_, 1, SQL_C_LONG, &id, 0, &ValueLen) ")
            .value_or(-1);
    const NodeColumns row = readNodeColumns(statement_, function);
    id = rowId;
    row.handOut(tag, description, type, parentId, rootId, createdAt, updatedAt);
    ODBC_LOG(2, function, "id = " << id);
    endNodeRead(function, row);
  });
}

void PersistencyOdbc::retrieveObject(int id, std::string &uuid, std::string &tag,
                                     std::string &description, std::string &type, int &parentId,
                                     int &rootId, double &createdAt, double &updatedAt) {
  const char *const function = "PersistencyOdbc::retrieveObject";
  guarded(function, [&] {
    if (const odbcBlock::Nodes *nodes = blockNodes(id)) {
      const auto found = nodes->byId.find(id);
      if (found != nodes->byId.end()) {
        const NodeColumns &row = found->second;
        uuid = row.uuid;
        row.handOut(tag, description, type, parentId, rootId, createdAt, updatedAt);
        ODBC_LOG(2, function, "uuid = " << uuid);
        logNodeRow(function, row);
        if (row.parent == id)
          checkCaseRows(id);
        return;
      }
    }
    const std::string sqlcommand = "SELECT UUID, TAG, DESCRIPTION, TYPE, PARENT, ROOT, CREATED_AT, "
                                   "UPDATED_AT FROM N WHERE ID = " +
                                   std::to_string(id);
    ODBC_LOG(2, function, "sqlcommand = " << sqlcommand);
    statement_.execDirect(
        sqlcommand, function,
        "Error in SQLEXECDIRECT(hStatement_,(SQLCHAR*)sqlcommand.c_str(),SQL_NTS) ");
    if (!statement_.fetch(function, fetchFailed)) {
      statement_.close(function, closeFailed);
      throw ErrorOdbcNotFound(function);
    }
    std::string rowUuid =
        statement_
            .getText(1, function,
                     "Error in SQLGetData(hStatement_, 1, SQL_C_WCHAR, szData, sizeof(szData), "
                     "&ValueLen) ")
            .value_or("");
    const NodeColumns row = readNodeColumns(statement_, function);
    uuid = std::move(rowUuid);
    row.handOut(tag, description, type, parentId, rootId, createdAt, updatedAt);
    ODBC_LOG(2, function, "uuid = " << uuid);
    endNodeRead(function, row);
    if (row.parent == id)
      checkCaseRows(id);
  });
}

// Every row of a case's block but the root's must have its parent in the
// block, with a lower id: a row whose parent row is missing, or that names
// itself as its parent, would be left out of the case without a word.
void PersistencyOdbc::checkCaseRows(int rootId) {
  const char *const function = "PersistencyOdbc::retrieveObject";
  const std::string root = std::to_string(rootId);
  const std::string sqlcommand =
      "SELECT c.ID, c.TAG FROM N c WHERE c.ID > " + root + " AND c.ID < " + root +
      " + (SELECT RANGE FROM N WHERE ID = " + root +
      ") AND NOT EXISTS (SELECT 1 FROM N p WHERE p.ID = c.PARENT AND p.ID < c.ID AND p.ID >= " +
      root + ") ORDER BY c.ID";
  ODBC_LOG(2, function, "sqlcommand = " << sqlcommand);
  statement_.execDirect(sqlcommand, function, execDirectFailed);
  if (!statement_.fetch(function, fetchFailed)) {
    statement_.close(function, closeFailed);
    return;
  }
  const int orphan =
      statement_
          .getInteger(1, function,
                      "Error in SQLGetData(hStatement_, 1, SQL_C_LONG, &id, 0, &ValueLen) ")
          .value_or(-1);
  const std::string tag =
      statement_
          .getText(2, function,
                   "Error in SQLGetData(hStatement_, 2, SQL_C_WCHAR, szData, sizeof(szData), "
                   "&ValueLen) ")
          .value_or("");
  statement_.close(function, closeFailed);
  throw ErrorOdbc(function, "Stored case " + root + " is damaged: node " + std::to_string(orphan) +
                                ", tag \"" + tag +
                                "\" in table N: its parent row is missing or is the row itself");
}

void PersistencyOdbc::retrieveChildren(int id, ChildList &children) {
  const char *const function = "PersistencyOdbc::retrieveChildren";
  guarded(function, [&] {
    if (const odbcBlock::Nodes *nodes = blockNodes(id)) {
      ChildList found;
      const auto childIds = nodes->children.find(id);
      if (childIds != nodes->children.end())
        for (const int childId : childIds->second) {
          ODBC_LOG(2, function, "childId = " << childId);
          const std::optional<std::string> &childType = nodes->byId.at(childId).type;
          if (!childType)
            throw ErrorOdbc(function, "Stored case " + std::to_string(block_->first) +
                                          " is damaged: node " + std::to_string(childId) +
                                          ", child of node " + std::to_string(id) +
                                          " in table N: Could not read TYPE field in N table");
          ODBC_LOG(2, function, "childType = " << *childType);
          if (childId != id)
            found.emplace_back(childId, *childType);
        }
      children.insert(children.end(), found.begin(), found.end());
      return;
    }
    const std::string sqlcommand =
        "SELECT ID, TYPE FROM N WHERE PARENT = " + std::to_string(id) + " ORDER BY ID";
    ODBC_LOG(2, function, "sqlcommand = " << sqlcommand);
    statement_.execDirect(sqlcommand, function, execDirectFailed);
    ChildList found;
    while (statement_.fetch(function, fetchFailed)) {
      const std::optional<int> childId = statement_.getInteger(
          1, function, "Error in SQLGetData(hStatement_, 1, SQL_C_LONG, &childId, 10, &ValueLen) ");
      if (!childId)
        throw ErrorOdbc(function, "Could not read ID field in N table");
      ODBC_LOG(2, function, "childId = " << *childId);
      std::optional<std::string> childType = statement_.getText(
          2, function,
          "Error in SQLGetData(hStatement_, 2, SQL_C_WCHAR, szData, sizeof(szData), &ValueLen) ");
      if (!childType)
        throw ErrorOdbc(function, "Stored node " + std::to_string(*childId) + ", child of node " +
                                      std::to_string(id) +
                                      " is damaged: Could not read TYPE field in N table");
      ODBC_LOG(2, function, "childType = " << *childType);
      // A root is its own parent: its own row is not one of its children.
      if (*childId != id)
        found.emplace_back(*childId, std::move(*childType));
    }
    statement_.close(function, closeFailed);
    children.insert(children.end(), found.begin(), found.end());
  });
}

int PersistencyOdbc::countRows(const std::string &table, int id) {
  const char *const function = "PersistencyOdbc::countRows";
  return guarded(function, [&] {
    checkTable(function, table);
    std::string sqlcommand = "SELECT COUNT(*) FROM " + table;
    if (id > 0)
      sqlcommand += " WHERE ID = " + std::to_string(id);
    ODBC_LOG(2, function, "sqlcommand = " << sqlcommand);
    statement_.execDirect(sqlcommand, function, execDirectFailed);
    int count = 0;
    if (statement_.fetch(function, fetchFailed))
      count =
          statement_
              .getInteger(1, function,
                          "Error in SQLGetData(hStatement_,1,SQL_C_LONG,&RowCount,0,&ValueLen) ")
              .value_or(0);
    ODBC_LOG(2, function, "Table currently has " << count << " rows");
    statement_.close(function, closeFailed);
    ODBC_LOG(2, function, "Freed hStatement_ parameters");
    return count;
  });
}

int PersistencyOdbc::countCID(int nodeId, const std::string &table) {
  const char *const function = "PersistencyOdbc::countCID";
  return guarded(function, [&] {
    checkTable(function, table);
    std::string sqlcommand = "SELECT COUNT(*) FROM " + table;
    if (nodeId >= 0)
      sqlcommand += " WHERE NID = " + std::to_string(nodeId);
    ODBC_LOG(2, function, "sqlcommand = " << sqlcommand);
    statement_.execDirect(sqlcommand, function, execDirectFailed);
    int count = 0;
    if (statement_.fetch(function, fetchFailed))
      count =
          statement_
              .getInteger(1, function,
                          "Error in SQLGetData(hStatement_,1,SQL_C_LONG,&RowCount,0,&ValueLen) ")
              .value_or(0);
    ODBC_LOG(2, function, "Table currently has " << count << " rows with NID = " << nodeId);
    statement_.close(function, closeFailed);
    ODBC_LOG(2, function, "Freed hStatement_ parameters");
    return count;
  });
}

const odbcBlock::Nodes *PersistencyOdbc::blockNodes(int nodeId) {
  const char *const function = "PersistencyOdbc::retrieveObject";
  if (!coverBlock(nodeId))
    return nullptr;
  odbcBlock::Nodes &nodes = block_->nodes;
  if (nodes.loaded)
    return &nodes;
  // The rows of the block, and the children of its nodes that were stored
  // later as blocks of their own.
  const std::string sqlcommand = "SELECT ID, TAG, DESCRIPTION, TYPE, PARENT, ROOT, CREATED_AT, "
                                 "UPDATED_AT, UUID, RANGE FROM N WHERE ID BETWEEN ? AND ? OR PARENT "
                                 "BETWEEN ? AND ? ORDER BY ID";
  ODBC_LOG(2, function, "sqlcommand = " << sqlcommand);
  odbcElements::KeptStatement &kept = statements().get(sqlcommand);
  OdbcStatement &statement = kept.statement;
  const char *const bindFailed =
      "Error in SQLBindParameter(hStatement_, 1, SQL_PARAM_INPUT, SQL_C_LONG, SQL_INTEGER, 10, "
      "0, &IDbuffer, 0, nullptr) ";
  statements().run(
      kept, false, true,
      [&] {
        for (int marker : {1, 3})
          statement.bindInteger(marker, &block_->first, function, bindFailed);
        for (int marker : {2, 4})
          statement.bindInteger(marker, &block_->last, function, bindFailed);
      },
      function);
  while (statement.fetch(function, fetchFailed)) {
    const std::optional<int> id = statement.getInteger(
        1, function, "Error in SQLGetData(hStatement_, 1, SQL_C_LONG, &id, 0, &ValueLen) ");
    if (!id)
      throw ErrorOdbc(function, "Could not read ID field in N table");
    NodeColumns row;
    try {
      row = readNodeColumns(statement, function);
      row.uuid = statement
                     .getText(9, function,
                              "Error in SQLGetData(hStatement_, 9, SQL_C_WCHAR, szData, "
                              "sizeof(szData), &ValueLen) ")
                     .value_or("");
      row.range = statement
                      .getInteger(10, function,
                                  "Error in SQLGetData(hStatement_, 10, SQL_C_LONG, &range, 0, "
                                  "&ValueLen) ")
                      .value_or(1);
    } catch (Error &error) {
      throw ErrorOdbc(function, "Stored case " + std::to_string(block_->first) +
                                    " cannot be read: node " + std::to_string(*id) +
                                    " in table N: " + errorLines(error));
    }
    if (block_->holds(row.parent))
      nodes.children[row.parent].push_back(*id);
    nodes.byId.emplace(*id, std::move(row));
  }
  statement.close(function, closeFailed);
  nodes.loaded = true;
  return &nodes;
}
