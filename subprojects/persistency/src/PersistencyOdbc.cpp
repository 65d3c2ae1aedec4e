// Connection, transactions and the write lock of the ODBC store.

#include "velta/persistency/PersistencyOdbc.h"

#include "PersistencyOdbcBlock.h"
#include "PersistencyOdbcElements.h"
#include "PersistencyOdbcLog.h"
#include "PersistencyOdbcPending.h"
#include "velta/persistency/ErrorOdbc.h"

#include <odbcinst.h>
#include <sql.h>
#include <sqlext.h>

#include <array>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <strings.h>

namespace {

bool succeeded(SQLRETURN rc) { return rc == SQL_SUCCESS || rc == SQL_SUCCESS_WITH_INFO; }

// The one fixed login of every data source.
const char *const login = "zq";

const char *const tables[] = {"N",   "I", "IV", "IVV", "S",  "SV",
                              "SVV", "Q", "QV", "QVV", "QM", "QMV"};

std::string dataSourceEntry(const std::string &dsn, const char *key) {
  std::array<char, 4096> value{};
  SQLGetPrivateProfileString(dsn.c_str(), key, "", value.data(), static_cast<int>(value.size()),
                             "odbc.ini");
  return value.data();
}

// The SQLite driver makes the database file of its data source when the file
// is missing, and connects to it: the store would then fail on tables that
// are not there and leave an empty file behind. Such a data source is
// refused before anything is connected.
void requireDatabaseFile(const std::string &dsn, const char *function) {
  if (!strcasestr(dataSourceEntry(dsn, "Driver").c_str(), "sqlite"))
    return;
  const std::string database = dataSourceEntry(dsn, "Database");
  if (database.empty() || database == ":memory:" || database.starts_with("file:"))
    return;
  std::error_code error;
  if (!std::filesystem::exists(database, error) && !error)
    throw ErrorOdbc(function, "Error while connecting to database: the database file \"" +
                                  database + "\" of the data source \"" + dsn +
                                  "\" does not exist");
}

} // namespace

PersistencyOdbc::PersistencyOdbc(const std::string &dsn) : dsn_(dsn) {
  const char *const function = "PersistencyOdbc::PersistencyOdbc";
  try {
    if (!succeeded(environment_.allocate(nullptr)))
      throw ErrorOdbc(function, "Unable to allocate an environment handle");
    ODBC_LOG(2, function, "Allocated hEnvironment");

    SQLRETURN rc = SQLSetEnvAttr(environment_.get(), SQL_ATTR_ODBC_VERSION,
                                 reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0);
    if (!succeeded(rc))
      throw ErrorOdbc(function,
                      "Error in SQLSetEnvAttr(hEnvironment_,SQL_ATTR_ODBC_VERSION, "
                      "(SQLPOINTER)SQL_OV_ODBC3,0) ",
                      environment_.get(), SQL_HANDLE_ENV, rc);
    ODBC_LOG(2, function, "Set hEnvironment_ to ODBC 3.0");

    rc = connection_.allocate(environment_.get());
    if (!succeeded(rc))
      throw ErrorOdbc(function,
                      "Error in SQLAllocHandle(SQL_HANDLE_DBC, hEnvironment_, &hConnection_) ",
                      environment_.get(), SQL_HANDLE_ENV, rc);
    ODBC_LOG(2, function, "Allocated hConnection");

    requireDatabaseFile(dsn_, function);
    auto text = [](const char *s) { return reinterpret_cast<SQLCHAR *>(const_cast<char *>(s)); };
    rc = SQLConnect(connection_.get(), text(dsn_.c_str()), SQL_NTS, text(login), SQL_NTS,
                    text(login), SQL_NTS);
    if (!succeeded(rc))
      // The driver's records tell why (unknown data source, refused login...).
      throw ErrorOdbc(function, "Error while connecting to database", connection_.get(),
                      SQL_HANDLE_DBC, rc);
    connected_ = true;
    ODBC_LOG(2, function, "Connected to DB");

    statement_.allocate(connection_.get(), function,
                        "Error in SQLAllocHandle(SQL_HANDLE_STMT, hConnection_, &hStatement_) ");
    ODBC_LOG(2, function, "Allocated hStatement");

    std::array<SQLCHAR, 128> name{};
    SQLSMALLINT length = 0;
    if (succeeded(SQLGetInfo(connection_.get(), SQL_DBMS_NAME, name.data(),
                             static_cast<SQLSMALLINT>(name.size()), &length))) {
      const char *dbms = reinterpret_cast<const char *>(name.data());
      if (strcasecmp(dbms, "SQLite") == 0)
        dialect_ = Dialect::sqlite;
      else if (strcasecmp(dbms, "PostgreSQL") == 0)
        dialect_ = Dialect::postgresql;
      ODBC_LOG(2, function, "Database is " << dbms);
    }
  } catch (...) {
    statement_.release();
    if (connected_)
      SQLDisconnect(connection_.get());
    connected_ = false;
    connection_.release();
    environment_.release();
    throw;
  }
}

PersistencyOdbc::~PersistencyOdbc() {
  const char *const function = "PersistencyOdbc::~PersistencyOdbc";
  if (depth_ > 0 || rolledBack_) {
    ODBC_LOG(2, function, "Rolling back the transaction left open");
    abandonTransaction(0);
  }
  // Statements first: disconnecting releases them on its own, and a handle
  // must never be released twice.
  statements_.reset();
  statement_.release();
  if (connected_) {
    const SQLRETURN rc = SQLDisconnect(connection_.get());
    connected_ = false;
    if (!succeeded(rc))
      ODBC_LOG(-1, function,
               ErrorOdbc(function, "Error in SQLDisconnect(hConnection_) ", connection_.get(),
                         SQL_HANDLE_DBC, rc)
                   .message());
    else
      ODBC_LOG(2, function, "Disconnected hConnection");
  }
  if (connection_) {
    const SQLRETURN rc = connection_.release();
    if (!succeeded(rc))
      ODBC_LOG(-1, function, "Error in SQLFreeHandle(SQL_HANDLE_DBC,hConnection_) ");
    else
      ODBC_LOG(2, function, "Freed hConnection");
  }
  if (environment_) {
    const SQLRETURN rc = environment_.release();
    if (!succeeded(rc))
      ODBC_LOG(-1, function, "Error in SQLFreeHandle(SQL_HANDLE_ENV,hEnvironment_) ");
    else
      ODBC_LOG(2, function, "Freed hEnvironment");
  }
}

odbcElements::StatementCache &PersistencyOdbc::statements() {
  if (!statements_)
    statements_ = std::make_unique<odbcElements::StatementCache>(
        connection_.get(), dialect_ == Dialect::postgresql);
  return *statements_;
}

void PersistencyOdbc::setAutocommit(bool on, const char *function) {
  const SQLRETURN rc = SQLSetConnectAttr(connection_.get(), SQL_ATTR_AUTOCOMMIT,
                                         reinterpret_cast<SQLPOINTER>(static_cast<SQLULEN>(
                                             on ? SQL_AUTOCOMMIT_ON : SQL_AUTOCOMMIT_OFF)),
                                         SQL_IS_UINTEGER);
  if (!succeeded(rc))
    throw ErrorOdbc(function,
                    on ? "Error in SQLSetConnectAttr(hConnection_, SQL_ATTR_AUTOCOMMIT, "
                         "(SQLPOINTER)SQL_AUTOCOMMIT_ON, SQL_IS_UINTEGER) "
                       : "Error in SQLSetConnectAttr(hConnection_, SQL_ATTR_AUTOCOMMIT, "
                         "(SQLPOINTER)SQL_AUTOCOMMIT_OFF, SQL_IS_UINTEGER) ",
                    connection_.get(), SQL_HANDLE_DBC, rc);
}

void PersistencyOdbc::push_transaction() {
  const char *const function = "PersistencyOdbc::push_transaction";
  refuseAfterRollback(function);
  // The write lock is taken when the transaction begins; a read's snapshot
  // could not take it later without losing what others committed since.
  if (reading_)
    throw ErrorOdbc(function, "A store cannot be written inside a read of it");
  if (depth_ > 0) {
    ++depth_;
    return;
  }
  try {
    setAutocommit(false, function);
  } catch (Error &) {
    ODBC_LOG(-1, function, "Error in starting transactions");
    throw;
  }
  depth_ = 1;
  // Ids handed out before this transaction are checked anew.
  blockEnd_ = blockFirst_ = 0;
  blockIds_.clear();
  try {
    lockStore();
  } catch (...) {
    abandonTransaction(0);
    throw;
  }
}

void PersistencyOdbc::lockStore() {
  // PostgreSQL: no lock; writers of different cases run side by side under
  // the rows' own locks, and only id allocation is serialised (see getId).
  // The write runs at READ COMMITTED whatever the server's default, so that
  // each statement after a wait for a lock sees what the other writer
  // committed; the statement also begins the transaction at the server, so
  // that a lost session fails here. SQLite keeps its single writer: a write
  // that matches nothing takes the database's write lock at once (as BEGIN
  // IMMEDIATE would).
  const char *const function = "PersistencyOdbc::push_transaction";
  const std::string sqlcommand = dialect_ == Dialect::postgresql
                                     ? "SET TRANSACTION ISOLATION LEVEL READ COMMITTED"
                                     : "UPDATE N SET RANGE = RANGE WHERE ID IS NULL";
  ODBC_LOG(2, function, "sqlcommand = " << sqlcommand);
  statement_.execDirect(
      sqlcommand, function,
      "Error in SQLEXECDIRECT(hStatement_, (SQLCHAR*)sqlcommand.c_str(), SQL_NTS) ");
  statement_.close(function, "Error in SQLFreeStmt(hStatement_, SQL_CLOSE) ");
}

int PersistencyOdbc::pop_transaction() {
  const char *const function = "PersistencyOdbc::pop_transaction";
  if (depth_ == 0)
    return 0;
  if (depth_ > 1)
    return --depth_;
  if (rolledBack_) {
    abandonTransaction(0);
    throw ErrorOdbc(function, "Transaction was rolled back after an earlier failure; "
                              "nothing of it was stored");
  }
  try {
    sendPending();
  } catch (Error &error) {
    abandonTransaction(0);
    error.append(function);
    throw;
  } catch (...) {
    abandonTransaction(0);
    throw;
  }
  const SQLRETURN rc = SQLEndTran(SQL_HANDLE_DBC, connection_.get(), SQL_COMMIT);
  if (!succeeded(rc)) {
    ODBC_LOG(-1, function, "Error in committing transactions");
    // The records are read before the rollback clears them.
    ErrorOdbc error(function, "Error in SQLEndTran(SQL_HANDLE_DBC, hConnection_, SQL_COMMIT) ",
                    connection_.get(), SQL_HANDLE_DBC, rc);
    abandonTransaction(0);
    throw error;
  }
  depth_ = 0;
  reading_ = false;
  setAutocommit(true, function);
  reportReplaced();
  return 0;
}

void PersistencyOdbc::reportReplaced() {
  if (replaced_.count == 0)
    return;
  std::cerr << "PersistencyOdbc: " << replaced_.count
            << (replaced_.count == 1 ? " value was" : " values were")
            << " stored replaced (NaN as 0, infinities as +-8.988465674311579e307, magnitudes "
               "below 2^-1023 as +-2^-1021), the first in "
            << replaced_.first << '\n';
  replaced_ = ReplacedValues();
}

void PersistencyOdbc::rollback_transaction() noexcept { abandonTransaction(0); }

void PersistencyOdbc::push_read_transaction() {
  const char *const function = "PersistencyOdbc::push_read_transaction";
  refuseAfterRollback(function);
  if (depth_ > 0) {
    ++depth_;
    return;
  }
  setAutocommit(false, function);
  depth_ = 1;
  reading_ = true;
  block_.reset();
  if (dialect_ != Dialect::postgresql)
    return;
  try {
    // The first statement of the transaction, before any query.
    const std::string sqlcommand = "SET TRANSACTION ISOLATION LEVEL REPEATABLE READ, READ ONLY";
    ODBC_LOG(2, function, "sqlcommand = " << sqlcommand);
    statement_.execDirect(
        sqlcommand, function,
        "Error in SQLEXECDIRECT(hStatement_, (SQLCHAR*)sqlcommand.c_str(), SQL_NTS) ");
    statement_.close(function, "Error in SQLFreeStmt(hStatement_, SQL_CLOSE) ");
  } catch (...) {
    abandonTransaction(0);
    throw;
  }
}

void PersistencyOdbc::pop_read_transaction() noexcept {
  if (depth_ > 1) {
    --depth_;
    return;
  }
  // Nothing was written: ending the read only lets its snapshot go.
  abandonTransaction(0);
}

void PersistencyOdbc::abandonTransaction(int depthToKeep) noexcept {
  const char *const function = "PersistencyOdbc::rollback_transaction";
  statement_.closeQuietly();
  if (statements_)
    statements_->closeCursors();
  // Kept rows belong to the write that fails.
  pending_.reset();
  blockEnd_ = blockFirst_ = 0;
  blockIds_.clear();
  if (depth_ == 0 && !rolledBack_)
    return;
  if (!rolledBack_) {
    const SQLRETURN rc = SQLEndTran(SQL_HANDLE_DBC, connection_.get(), SQL_ROLLBACK);
    if (!succeeded(rc))
      ODBC_LOG(-1, function, "Error in rolling back transactions");
    else
      ODBC_LOG(2, function, "Rolled back");
    SQLSetConnectAttr(connection_.get(), SQL_ATTR_AUTOCOMMIT,
                      reinterpret_cast<SQLPOINTER>(static_cast<SQLULEN>(SQL_AUTOCOMMIT_ON)),
                      SQL_IS_UINTEGER);
  }
  depth_ = depthToKeep > 0 ? depthToKeep : 0;
  rolledBack_ = depth_ > 0;
  replaced_ = ReplacedValues();
  if (depth_ == 0) {
    reading_ = false;
    block_.reset();
  }
}

void PersistencyOdbc::refuseAfterRollback(const char *function) const {
  if (rolledBack_)
    throw ErrorOdbc(function, "Transaction was rolled back after an earlier failure");
}

void PersistencyOdbc::checkTable(const char *function, const std::string &table) {
  for (const char *name : tables)
    if (strcasecmp(name, table.c_str()) == 0)
      return;
  throw ErrorOdbc(function, "Unknown table " + table);
}
