// Removal of stored trees and of rows of the ODBC store.

#include "velta/persistency/PersistencyOdbc.h"

#include "PersistencyOdbcLog.h"
#include "velta/persistency/ErrorOdbc.h"
#include "velta/persistency/fstring.h"

#include <string>

namespace {

const char *const closeFailed = "Error in SQLFreeStmt(hStatement_, SQL_CLOSE) ";

// The rows of the block [id, id + range) of node id, element rows through
// their headers first, node rows last: every clause reads the range from the
// node's own N row, which must therefore go last.
const char *const removalClauses[] = {
    "from ivv where exists(select 1 from iv where ivv.vid = iv.id and iv.nid >= %d and iv.nid < "
    "%d + (select range from n where id = %d))",
    "from svv where exists(select 1 from sv where svv.vid = sv.id and sv.nid >= %d and sv.nid < "
    "%d + (select range from n where id = %d))",
    "from qvv where exists(select 1 from qv where qvv.vid = qv.id and qv.nid >= %d and qv.nid < "
    "%d + (select range from n where id = %d))",
    "from qmv where exists(select 1 from qm where qmv.mid = qm.id and qm.nid >= %d and qm.nid < "
    "%d + (select range from n where id = %d))",
    "from i where nid >= %d and nid < %d + (select range from n where id = %d)",
    "from iv where nid >= %d and nid < %d + (select range from n where id = %d)",
    "from s where nid >= %d and nid < %d + (select range from n where id = %d)",
    "from sv where nid >= %d and nid < %d + (select range from n where id = %d)",
    "from q where nid >= %d and nid < %d + (select range from n where id = %d)",
    "from qv where nid >= %d and nid < %d + (select range from n where id = %d)",
    "from qm where nid >= %d and nid < %d + (select range from n where id = %d)",
    "from n where id >= %d and id < %d + (select range from n where id = %d)",
};

} // namespace

void PersistencyOdbc::removeObject(int id) {
  const char *const function = "PersistencyOdbc::removeObject";
  ODBC_LOG(1, function, "Entered");
  const int depthBefore = depth_;
  refuseAfterRollback(function);
  push_transaction();
  try {
    for (const char *clause : removalClauses) {
      // Deletion statements only for tables that hold rows of the block.
      fstring query;
      query.format((std::string("select count(*) ") + clause).c_str(), id, id, id);
      const char *const execFailed =
          "Error in SQLEXECDIRECT(hStatement_, (SQLCHAR*)query.c_str(), SQL_NTS) ";
      statement_.execDirect(query, function, execFailed);
      int count = 0;
      if (statement_.fetch(function, "Error in SQLFetch(hStatement_) "))
        count = statement_
                    .getInteger(1, function,
                                "Error in SQLGetData(hStatement_, 1, SQL_C_LONG, &RowCount, 0, "
                                "&ValueLen) ")
                    .value_or(0);
      statement_.close(function, closeFailed);
      if (count > 0) {
        query.format((std::string("delete ") + clause).c_str(), id, id, id);
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
