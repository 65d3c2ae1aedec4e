// Removal of stored trees and of rows of the ODBC store.

#include "velta/persistency/PersistencyOdbc.h"

#include "PersistencyOdbcLog.h"
#include "velta/persistency/ErrorOdbc.h"
#include "velta/persistency/fstring.h"

#include <optional>
#include <string>

namespace {

const char *const closeFailed = "Error in SQLFreeStmt(hStatement_, SQL_CLOSE) ";

// The rows of the block [first, last) of ids, element rows through their
// headers first, node rows last. The bounds are read once from the root's N
// row; plain IN sub-selects let every database hash-join them, where a
// correlated EXISTS was planned as nested scans on freshly filled tables.
const char *const removalStatements[] = {
    "delete from ivv where vid in (select id from iv where nid >= %d and nid < %d)",
    "delete from svv where vid in (select id from sv where nid >= %d and nid < %d)",
    "delete from qvv where vid in (select id from qv where nid >= %d and nid < %d)",
    "delete from qmv where mid in (select id from qm where nid >= %d and nid < %d)",
    "delete from i where nid >= %d and nid < %d",
    "delete from iv where nid >= %d and nid < %d",
    "delete from s where nid >= %d and nid < %d",
    "delete from sv where nid >= %d and nid < %d",
    "delete from q where nid >= %d and nid < %d",
    "delete from qv where nid >= %d and nid < %d",
    "delete from qm where nid >= %d and nid < %d",
    "delete from n where id >= %d and id < %d",
};

} // namespace

void PersistencyOdbc::removeObject(int id) {
  const char *const function = "PersistencyOdbc::removeObject";
  ODBC_LOG(1, function, "Entered");
  const int depthBefore = depth_;
  refuseAfterRollback(function);
  push_transaction();
  try {
    const char *const execFailed =
        "Error in SQLEXECDIRECT(hStatement_, (SQLCHAR*)query.c_str(), SQL_NTS) ";
    fstring query;
    query.format("select range from n where id = %d", id);
    statement_.execDirect(query, function, execFailed);
    std::optional<int> range;
    if (statement_.fetch(function, "Error in SQLFetch(hStatement_) "))
      range = statement_.getInteger(
          1, function, "Error in SQLGetData(hStatement_, 1, SQL_C_LONG, &RowCount, 0, &ValueLen) ");
    statement_.close(function, closeFailed);
    // A missing node leaves nothing to delete.
    if (range) {
      for (const char *statement : removalStatements) {
        query.format(statement, id, id + *range);
        ODBC_LOG(2, function, "Now performing query: " << query);
        statement_.execDirect(query, function, execFailed);
        statement_.close(function, closeFailed);
      }
    }
  } catch (...) {
    abandonTransaction(depthBefore);
    throw;
  }
  pop_transaction();
  ODBC_LOG(2, function, "Done");
}

void PersistencyOdbc::purge(const std::string &table, int id) {
  const char *const function = "PersistencyOdbc::purge";
  guarded(function, [&] {
    checkTable(function, table);
    std::string sqlcommand = "DELETE FROM " + table;
    if (id != -1)
      sqlcommand += (table == "N" ? " WHERE ID = " : " WHERE NID = ") + std::to_string(id);
    ODBC_LOG(2, function, "sqlcommand = " << sqlcommand);
    if (!statement_.execDirect(sqlcommand, function, "Error while DELETing ")) {
      ODBC_LOG(2, function, "No rows deleted");
    } else {
      const long count =
          statement_.rowCount(function, "Error in SQLRowCount(hStatement_, &RowCount) ");
      ODBC_LOG(2, function, "Deleted " << count << " items from " << table);
    }
    statement_.close(function, closeFailed);
    ODBC_LOG(2, function, "Freed hStatement_ parameters");
  });
}

void PersistencyOdbc::remove(int id, const std::string &table) {
  const char *const function = "PersistencyOdbc::remove";
  guarded(function, [&] {
    checkTable(function, table);
    const std::string sqlcommand = "DELETE FROM " + table + " WHERE ID = " + std::to_string(id);
    ODBC_LOG(2, function, "sqlcommand = " << sqlcommand);
    const char *const failed =
        "Error in SQLEXECDIRECT(hStatement_,(SQLCHAR*)sqlcommand.c_str(),SQL_NTS) ";
    // A deletion that matches no row is a failure here.
    if (!statement_.execDirect(sqlcommand, function, failed))
      throw ErrorOdbc(function, failed);
    statement_.close(function, closeFailed);
    ODBC_LOG(2, function, "Freed hStatement_ parameters");
  });
}
