#pragma once
// Test stores for the ODBC persistency, never the user's own data source.
//
// SQLite: the data source named by VELTA_TEST_SQLITE_DSN (scripts/test.sh
// prepares one), or else a store of this test process, built from the schema
// script in a temporary folder with its own odbc.ini. PostgreSQL: the data
// source named by VELTA_TEST_POSTGRESQL_DSN, or the test is skipped.
//
// A shared store is used by one test at a time (an advisory file lock held
// from SetUp to TearDown, as CTest runs tests in parallel processes), and
// every table is emptied before each test.

#include <gtest/gtest.h>

#include <dlfcn.h>
#include <fcntl.h>
#include <sql.h>
#include <sqlext.h>
#include <sys/file.h>
#include <unistd.h>

#include "velta/persistency/Persistent.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace odbctest {

enum class Database { sqlite, postgresql };

inline const char *databaseName(Database database) {
  return database == Database::sqlite ? "SQLite" : "PostgreSQL";
}

inline void PrintTo(Database database, std::ostream *stream) { *stream << databaseName(database); }

inline const char *const allTables[] = {"IVV", "SVV", "QVV", "QMV", "I",  "IV",
                                        "S",   "SV",  "Q",   "QV",  "QM", "N"};

// A plain connection for preparing and checking the store independently of
// the code under test. Autocommit throughout.
class RawConnection {
public:
  explicit RawConnection(const std::string &dsn) {
    SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &environment_);
    SQLSetEnvAttr(environment_, SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3),
                  0);
    SQLAllocHandle(SQL_HANDLE_DBC, environment_, &connection_);
    auto text = [](const std::string &s) {
      return reinterpret_cast<SQLCHAR *>(const_cast<char *>(s.c_str()));
    };
    const std::string login = "zq";
    const SQLRETURN rc =
        SQLConnect(connection_, text(dsn), SQL_NTS, text(login), SQL_NTS, text(login), SQL_NTS);
    if (rc != SQL_SUCCESS && rc != SQL_SUCCESS_WITH_INFO) {
      SQLFreeHandle(SQL_HANDLE_DBC, connection_);
      SQLFreeHandle(SQL_HANDLE_ENV, environment_);
      throw std::runtime_error("test store: cannot connect to " + dsn);
    }
  }
  ~RawConnection() {
    SQLDisconnect(connection_);
    SQLFreeHandle(SQL_HANDLE_DBC, connection_);
    SQLFreeHandle(SQL_HANDLE_ENV, environment_);
  }
  RawConnection(const RawConnection &) = delete;
  RawConnection &operator=(const RawConnection &) = delete;

  // Runs a statement; a statement that changes no row is fine.
  void execute(const std::string &sql) {
    SQLHSTMT statement = allocate();
    const SQLRETURN rc = SQLExecDirect(
        statement, reinterpret_cast<SQLCHAR *>(const_cast<char *>(sql.c_str())), SQL_NTS);
    const std::string diagnostics = diagnose(statement);
    SQLFreeHandle(SQL_HANDLE_STMT, statement);
    if (rc != SQL_SUCCESS && rc != SQL_SUCCESS_WITH_INFO && rc != SQL_NO_DATA)
      throw std::runtime_error("test store: failed: " + sql + ": " + diagnostics);
  }

  // The integers of the first column of every row (NULL as -999).
  std::vector<long> integers(const std::string &sql) {
    SQLHSTMT statement = allocate();
    SQLRETURN rc = SQLExecDirect(
        statement, reinterpret_cast<SQLCHAR *>(const_cast<char *>(sql.c_str())), SQL_NTS);
    if (rc != SQL_SUCCESS && rc != SQL_SUCCESS_WITH_INFO) {
      const std::string diagnostics = diagnose(statement);
      SQLFreeHandle(SQL_HANDLE_STMT, statement);
      throw std::runtime_error("test store: failed: " + sql + ": " + diagnostics);
    }
    std::vector<long> values;
    while (SQLFetch(statement) == SQL_SUCCESS) {
      SQLBIGINT value = 0;
      SQLLEN indicator = 0;
      SQLGetData(statement, 1, SQL_C_SBIGINT, &value, 0, &indicator);
      values.push_back(indicator == SQL_NULL_DATA ? -999 : static_cast<long>(value));
    }
    SQLFreeHandle(SQL_HANDLE_STMT, statement);
    return values;
  }

  long integer(const std::string &sql) {
    const std::vector<long> values = integers(sql);
    if (values.size() != 1)
      throw std::runtime_error("test store: expected one row from " + sql);
    return values.front();
  }

  // Rows of all twelve tables.
  long totalRows() {
    long total = 0;
    for (const char *table : allTables)
      total += integer(std::string("SELECT COUNT(*) FROM ") + table);
    return total;
  }

  void emptyAllTables() {
    for (const char *table : allTables)
      execute(std::string("DELETE FROM ") + table);
  }

private:
  SQLHSTMT allocate() {
    SQLHSTMT statement = SQL_NULL_HSTMT;
    SQLAllocHandle(SQL_HANDLE_STMT, connection_, &statement);
    return statement;
  }
  static std::string diagnose(SQLHSTMT statement) {
    SQLCHAR state[6] = {0};
    SQLCHAR message[1024] = {0};
    SQLINTEGER native = 0;
    SQLSMALLINT length = 0;
    if (SQLGetDiagRec(SQL_HANDLE_STMT, statement, 1, state, &native, message, sizeof(message),
                      &length) == SQL_SUCCESS)
      return std::string(reinterpret_cast<char *>(state)) + " " + reinterpret_cast<char *>(message);
    return "";
  }

  SQLHENV environment_ = SQL_NULL_HENV;
  SQLHDBC connection_ = SQL_NULL_HDBC;
};

// The statements of a schema script, comments left out.
inline std::vector<std::string> schemaStatements(const std::string &file) {
  std::ifstream input(file);
  if (!input)
    throw std::runtime_error("test store: cannot read " + file);
  std::string line;
  std::string text;
  while (std::getline(input, line)) {
    const std::size_t comment = line.find("--");
    text += line.substr(0, comment) + "\n";
  }
  std::vector<std::string> statements;
  std::istringstream stream(text);
  std::string statement;
  while (std::getline(stream, statement, ';'))
    if (statement.find_first_not_of(" \t\r\n") != std::string::npos)
      statements.push_back(statement);
  return statements;
}

// A private SQLite store for this process, made once: a temporary folder
// holding the database built from the schema script and an odbc.ini that
// names it "velta_sqlite". Driver definitions stay the system's.
// The folder goes when the test process ends (forked children leave by
// _exit and keep it).
struct PrivateFolder {
  std::string path;
  ~PrivateFolder() {
    std::error_code ignored;
    if (!path.empty())
      std::filesystem::remove_all(path, ignored);
  }
};

inline std::string privateSqliteDsn() {
  static PrivateFolder privateFolder;
  static const std::string dsn = [] {
    std::string folder = (std::getenv("TMPDIR") ? std::getenv("TMPDIR") : "/tmp");
    folder += "/velta-odbc-test.XXXXXX";
    if (!mkdtemp(folder.data()))
      throw std::runtime_error("test store: cannot make a temporary folder");
    privateFolder.path = folder;
    const std::string ini = folder + "/odbc.ini";
    std::ofstream(ini) << "[velta_sqlite]\nDriver=SQLite3\nDatabase=" << folder
                       << "/test.sqlite\nTimeout=60000\n";
    setenv("ODBCINI", ini.c_str(), 1);
    RawConnection connection("velta_sqlite");
    for (const std::string &statement :
         schemaStatements(std::string(VELTA_PERSISTENCY_SQL_DIR) + "/schema-sqlite.sql"))
      connection.execute(statement);
    return std::string("velta_sqlite");
  }();
  return dsn;
}

// The SQLite driver loads and unloads libodbcinst on each connection, and
// what it leaves allocated there cannot be named once the library is gone;
// keeping the library mapped lets the leak checker suppress it by name.
inline void keepDriversLoaded() {
  static void *const library = dlopen("libodbcinst.so.2", RTLD_NOW | RTLD_NODELETE);
  (void)library;
}

// The data source of a test database; empty when there is none.
inline std::string testDsn(Database database) {
  keepDriversLoaded();
  const char *variable = std::getenv(database == Database::sqlite ? "VELTA_TEST_SQLITE_DSN"
                                                                  : "VELTA_TEST_POSTGRESQL_DSN");
  if (variable && *variable)
    return variable;
  return database == Database::sqlite ? privateSqliteDsn() : std::string();
}

// Holds the store for one test: locks a shared store against the other test
// processes and empties it.
class StoreLock {
public:
  explicit StoreLock(const std::string &dsn) {
    // Beside the odbc.ini that names the store.
    const char *ini = std::getenv("ODBCINI");
    const std::string folder =
        ini ? std::filesystem::path(ini).parent_path().string() : std::string("/tmp");
    const std::string path = folder + "/" + dsn + ".lock";
    descriptor_ = open(path.c_str(), O_CREAT | O_RDWR, 0644);
    if (descriptor_ >= 0)
      flock(descriptor_, LOCK_EX);
  }
  ~StoreLock() {
    if (descriptor_ >= 0) {
      flock(descriptor_, LOCK_UN);
      close(descriptor_);
    }
  }
  StoreLock(const StoreLock &) = delete;
  StoreLock &operator=(const StoreLock &) = delete;

private:
  int descriptor_ = -1;
};

// A stored node as the store sees it: fixed id, root id, range and type
// name; the parent is the owning node (none for a root).
class TestNode : public Persistent {
public:
  TestNode(const std::string &tag, TestNode *parent, int id, int range,
           const std::string &typeName = "TestNode")
      : Persistent(tag, "Node " + tag, parent, id), range_(range), typeName_(typeName),
        rootId_(parent ? parent->rootId() : id) {}

  std::string type() const override { return typeName_; }
  int rootId() const override { return rootId_; }
  int range() const override { return range_; }
  void shiftIds(int) override {}
  int newId() override { return id_ + range_; }
  int insert(Persistency &) override { return id_; }
  int update(Persistency &) override { return id_; }
  void restore(Persistency &) override {}
  void remove(Persistency &) override {}

private:
  int range_;
  std::string typeName_;
  int rootId_;
};

// Fixture of the tests that run on each test database.
class StoreTest : public ::testing::TestWithParam<Database> {
protected:
  void SetUp() override {
    dsn_ = testDsn(GetParam());
    if (dsn_.empty())
      GTEST_SKIP() << "no PostgreSQL test store: set VELTA_TEST_POSTGRESQL_DSN "
                      "(scripts/test.sh starts a private server and sets it)";
    lock_ = std::make_unique<StoreLock>(dsn_);
    RawConnection(dsn_).emptyAllTables();
  }

  std::string dsn_;
  std::unique_ptr<StoreLock> lock_;
};

inline std::string databaseParameterName(const ::testing::TestParamInfo<Database> &info) {
  return databaseName(info.param);
}

} // namespace odbctest
