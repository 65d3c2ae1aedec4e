// Throughput of the ODBC store: a tree of 1,000 objects with every kind of
// variable (per object: 30 scalar quantities, 3 quantity vectors of 20
// elements, one 4 x 5 quantity matrix, 4 integers, one integer vector of 10,
// 4 strings and 2 string vectors of 5: 146 rows with its node row), stored,
// read back, updated and removed. Each step reports rows per second
// ("rows/s").
//
// SQLite always runs, on a private database made from the schema script in
// a temporary folder; PostgreSQL runs when VELTA_TEST_POSTGRESQL_DSN names a
// prepared test database (scripts/test-databases.sh start sets it). The
// user's own data source is never touched.
//
// In the same iterations as the store and read steps, the same rows are
// stored and read through the databases' own APIs as the reference (each
// right after the store's own step, so that both meet the same load of the
// machine): for SQLite the sqlite3 C API with prepared inserts in one
// transaction, for PostgreSQL libpq with COPY (under the store's table lock)
// to store and one query per table to read; the values read are checked one
// by one. At the end the ratios store / reference are printed.

#include "velta/persistency/Integer.h"
#include "velta/persistency/IntegerVector.h"
#include "velta/persistency/NodeFactory.h"
#include "velta/persistency/Object.h"
#include "velta/persistency/PersistencyOdbc.h"
#include "velta/persistency/Quantity.h"
#include "velta/persistency/QuantityMatrix.h"
#include "velta/persistency/QuantityVector.h"
#include "velta/persistency/String.h"
#include "velta/persistency/StringVector.h"

#include <benchmark/benchmark.h>
#include <libpq-fe.h>
#include <sqlite3.h>

#include <sql.h>
#include <sqlext.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

constexpr int objectCount = 1000;
constexpr int scalarCount = 30;
constexpr int vectorCount = 3;
constexpr int vectorLength = 20;
constexpr int matrixRows = 4;
constexpr int matrixColumns = 5;
constexpr int integerCount = 4;
constexpr int integerVectorLength = 10;
constexpr int stringCount = 4;
constexpr int stringVectorCount = 2;
constexpr int stringVectorLength = 5;
constexpr double rowsPerObject = 1 + scalarCount + vectorCount * (1 + vectorLength) +
                                 (1 + matrixRows * matrixColumns) + integerCount +
                                 (1 + integerVectorLength) + stringCount +
                                 stringVectorCount * (1 + stringVectorLength);
constexpr double treeRows = 1 + objectCount * rowsPerObject;

std::string numbered(const char *prefix, int i) { return prefix + std::to_string(i); }

// The stored value of string i (and of every element of string vector i).
std::string text(int i) { return "text of " + std::to_string(i); }

class BenchObject : public Object {
public:
  BenchObject(Defaults defaults, int id, Persistency *persistency, Node *parent, Node *root)
      : Object(defaults, id, persistency, parent, root),
        matrix_("m", "Matrix", matrixRows, matrixColumns, Value(2.5, "Pa"), this),
        integerVector_("iv", "Integer vector", integerVectorLength, 7, this) {
    setType("BenchObject");
    scalars_.reserve(scalarCount);
    for (int i = 0; i < scalarCount; ++i)
      scalars_.emplace_back(numbered("q", i), "Scalar", 300.0 + i, "K", this);
    vectors_.reserve(vectorCount);
    for (int i = 0; i < vectorCount; ++i)
      vectors_.emplace_back(numbered("v", i), "Vector", vectorLength, Value(0.5, "kg/s"), this);
    integers_.reserve(integerCount);
    for (int i = 0; i < integerCount; ++i)
      integers_.emplace_back(numbered("i", i), "Integer", i, this);
    strings_.reserve(stringCount);
    for (int i = 0; i < stringCount; ++i)
      strings_.emplace_back(numbered("s", i), "String", text(i), this);
    stringVectors_.reserve(stringVectorCount);
    for (int i = 0; i < stringVectorCount; ++i)
      stringVectors_.emplace_back(numbered("sv", i), "String vector", stringVectorLength, text(i),
                                  this);
    registerAll(scalars_, vectors_, integers_, strings_, stringVectors_);
    addVariable(matrix_);
    addVariable(integerVector_);
    retrieveIntegersAndStrings(persistency);
  }

private:
  template <class... Lists> void registerAll(Lists &...lists) {
    (..., [&](auto &list) {
      for (auto &variable : list)
        addVariable(variable);
    }(lists));
  }

  std::vector<Quantity> scalars_;
  std::vector<QuantityVector> vectors_;
  std::vector<Integer> integers_;
  std::vector<String> strings_;
  std::vector<StringVector> stringVectors_;
  QuantityMatrix matrix_;
  IntegerVector integerVector_;
};

class BenchCase : public Object {
public:
  BenchCase(Defaults defaults, int id, Persistency *persistency, Node *parent, Node *root)
      : Object(defaults, id, persistency, parent, root) {
    setType("BenchCase");
    retrieveIntegersAndStrings(persistency);
    if (persistency)
      return;
    for (int i = 0; i < objectCount; ++i)
      addChild("BenchObject", Defaults(numbered("O", i), "Object"));
  }
};

void registerTypes() {
  static const bool registered = [] {
    NodeFactory factory;
    factory.registerType<BenchObject>("BenchObject", "Object of the benchmark", "unit", true, {},
                                      {}, {}, "", 60, 40);
    factory.registerType<BenchCase>("BenchCase", "Case of the benchmark", "flowsheet", true, {},
                                    {}, {}, "", 200, 100);
    return true;
  }();
  (void)registered;
}

std::unique_ptr<Node> freshCase() {
  registerTypes();
  return NodeFactory().create("BenchCase", Defaults("CASE", "Benchmark case"), 0, nullptr, nullptr,
                              nullptr);
}

std::unique_ptr<Node> storedCase(Persistency &store, int storedId) {
  registerTypes();
  return NodeFactory().create("BenchCase", Defaults(), storedId, &store, nullptr, nullptr);
}

// Runs a script of statements separated by ";" on a data source.
void runScript(const std::string &dsn, const std::string &file) {
  std::ifstream input(file);
  if (!input)
    throw std::runtime_error("cannot read " + file);
  std::string text, line;
  while (std::getline(input, line))
    text += line.substr(0, line.find("--")) + "\n";
  SQLHENV environment = SQL_NULL_HENV;
  SQLHDBC connection = SQL_NULL_HDBC;
  SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &environment);
  SQLSetEnvAttr(environment, SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0);
  SQLAllocHandle(SQL_HANDLE_DBC, environment, &connection);
  auto sql = [](const std::string &s) {
    return reinterpret_cast<SQLCHAR *>(const_cast<char *>(s.c_str()));
  };
  const std::string login = "zq";
  const SQLRETURN rc =
      SQLConnect(connection, sql(dsn), SQL_NTS, sql(login), SQL_NTS, sql(login), SQL_NTS);
  if (rc != SQL_SUCCESS && rc != SQL_SUCCESS_WITH_INFO)
    throw std::runtime_error("cannot connect to " + dsn);
  std::istringstream statements(text);
  std::string statement;
  while (std::getline(statements, statement, ';')) {
    if (statement.find_first_not_of(" \t\r\n") == std::string::npos)
      continue;
    SQLHSTMT handle = SQL_NULL_HSTMT;
    SQLAllocHandle(SQL_HANDLE_STMT, connection, &handle);
    SQLExecDirect(handle, sql(statement), SQL_NTS);
    SQLFreeHandle(SQL_HANDLE_STMT, handle);
  }
  SQLDisconnect(connection);
  SQLFreeHandle(SQL_HANDLE_DBC, connection);
  SQLFreeHandle(SQL_HANDLE_ENV, environment);
}

// The file of the private SQLite database (set by sqliteDsn).
std::string sqliteFile;

// A private SQLite database for this run, made from the schema script.
std::string sqliteDsn() {
  static const std::string dsn = [] {
    std::string folder = std::filesystem::temp_directory_path().string() + "/velta-bench.XXXXXX";
    if (!mkdtemp(folder.data()))
      throw std::runtime_error("cannot make a temporary folder");
    const std::string ini = folder + "/odbc.ini";
    std::ofstream(ini) << "[velta_bench_sqlite]\nDriver=SQLite3\nDatabase=" << folder
                       << "/bench.sqlite\nTimeout=60000\n";
    sqliteFile = folder + "/bench.sqlite";
    setenv("ODBCINI", ini.c_str(), 1);
    const std::filesystem::path source = VELTA_SOURCE_DIR;
    runScript("velta_bench_sqlite",
              (source / "subprojects/persistency/sql/schema-sqlite.sql").string());
    return std::string("velta_bench_sqlite");
  }();
  return dsn;
}

// The stores of the run, by the benchmark argument: 0 SQLite, 1 PostgreSQL.
std::string dsnOf(int database) {
  if (database == 0)
    return sqliteDsn();
  return std::getenv("VELTA_TEST_POSTGRESQL_DSN");
}

// Rows per second of each benchmark, by name, for the ratios at the end.
std::map<std::string, double> &rates() {
  static std::map<std::string, double> measured;
  return measured;
}

// Times the body (the measured part of one iteration) and adds it up.
template <class Body> void timed(double &seconds, Body &&body) {
  const auto begin = std::chrono::steady_clock::now();
  body();
  seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count();
}

void record(benchmark::State &state, const std::string &name, double seconds) {
  state.counters["rows/s"] = benchmark::Counter(
      treeRows * static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
  if (seconds > 0)
    rates()[name] = treeRows * static_cast<double>(state.iterations()) / seconds;
}

// The reference: the rows the store writes for the benchmark case (node
// rows, every variable table, with the same texts and values), written and
// read through the database's own API.
constexpr int firstId = 1;
constexpr int lastId = firstId + objectCount;

// One table of the reference: its columns, the column that holds doubles
// (-1: none), and the query of the case's rows (parameters: the id block).
struct ReferenceTable {
  const char *name;
  const char *columns;
  int doubleColumn;
  const char *query;
};

const ReferenceTable referenceTables[] = {
    {"N", "ID, UUID, TAG, DESCRIPTION, TYPE, FULLTAG, PARENT, ROOT, RANGE, UPDATED_AT", 9,
     "SELECT ID, UUID, TAG, DESCRIPTION, TYPE, FULLTAG, PARENT, ROOT, RANGE, UPDATED_AT FROM N "
     "WHERE ID BETWEEN $1 AND $2"},
    {"I", "NID, TAG, DESCRIPTION, VALUE", -1,
     "SELECT NID, TAG, DESCRIPTION, VALUE FROM I WHERE NID BETWEEN $1 AND $2"},
    {"IV", "ID, NID, TAG, DESCRIPTION", -1,
     "SELECT ID, NID, TAG, DESCRIPTION FROM IV WHERE NID BETWEEN $1 AND $2"},
    {"IVV", "ID, VID, VALUE", -1,
     "SELECT e.ID, e.VID, e.VALUE FROM IVV e JOIN IV h ON h.ID = e.VID WHERE h.NID BETWEEN $1 "
     "AND $2"},
    {"S", "NID, TAG, DESCRIPTION, VALUE", -1,
     "SELECT NID, TAG, DESCRIPTION, VALUE FROM S WHERE NID BETWEEN $1 AND $2"},
    {"SV", "ID, NID, TAG, DESCRIPTION", -1,
     "SELECT ID, NID, TAG, DESCRIPTION FROM SV WHERE NID BETWEEN $1 AND $2"},
    {"SVV", "ID, VID, VALUE", -1,
     "SELECT e.ID, e.VID, e.VALUE FROM SVV e JOIN SV h ON h.ID = e.VID WHERE h.NID BETWEEN $1 "
     "AND $2"},
    {"Q", "NID, TAG, DESCRIPTION, VALUE, UNIT, INPUT, OUTPUT", 3,
     "SELECT NID, TAG, DESCRIPTION, VALUE, UNIT, INPUT, OUTPUT FROM Q WHERE NID BETWEEN $1 AND "
     "$2"},
    {"QV", "ID, NID, TAG, DESCRIPTION, UNIT, INPUT, OUTPUT", -1,
     "SELECT ID, NID, TAG, DESCRIPTION, UNIT, INPUT, OUTPUT FROM QV WHERE NID BETWEEN $1 AND $2"},
    {"QVV", "ID, VID, VALUE", 2,
     "SELECT e.ID, e.VID, e.VALUE FROM QVV e JOIN QV h ON h.ID = e.VID WHERE h.NID BETWEEN $1 "
     "AND $2"},
    {"QM", "ID, NID, TAG, DESCRIPTION, UNIT, INPUT, OUTPUT", -1,
     "SELECT ID, NID, TAG, DESCRIPTION, UNIT, INPUT, OUTPUT FROM QM WHERE NID BETWEEN $1 AND $2"},
    {"QMV", "ID, MID, VALUE", 2,
     "SELECT e.ID, e.MID, e.VALUE FROM QMV e JOIN QM h ON h.ID = e.MID WHERE h.NID BETWEEN $1 "
     "AND $2"},
};
constexpr int tableCount = static_cast<int>(std::size(referenceTables));

// Texts of each table's rows, in the order of its columns.
using TableRows = std::vector<std::vector<std::string>>;

std::string exact(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.17g", value);
  return text;
}

int tableIndex(const std::string &name) {
  for (int t = 0; t < tableCount; ++t)
    if (name == referenceTables[t].name)
      return t;
  throw std::logic_error("no reference table " + name);
}

// A vector's header row and its element rows, with ids counted per table.
struct VectorTables {
  std::vector<TableRows> &rows;
  std::map<std::string, int> nextId;

  void add(const std::string &header, std::vector<std::string> headerColumns,
           const std::string &elements, const std::vector<std::string> &values) {
    const int vid = ++nextId[header];
    headerColumns.insert(headerColumns.begin(), std::to_string(vid));
    rows[tableIndex(header)].push_back(std::move(headerColumns));
    for (const std::string &value : values)
      rows[tableIndex(elements)].push_back(
          {std::to_string(++nextId[elements]), std::to_string(vid), value});
  }
};

const std::vector<TableRows> &referenceRows() {
  static const std::vector<TableRows> rows = [] {
    std::vector<TableRows> r(tableCount);
    VectorTables vectors{r, {}};
    char uuid[40];
    for (int id = firstId; id <= lastId; ++id) {
      std::snprintf(uuid, sizeof uuid, "00000000-0000-4000-8000-%012d", id);
      const bool root = id == firstId;
      const std::string tag = root ? "CASE" : numbered("O", id - firstId - 1);
      r[tableIndex("N")].push_back(
          {std::to_string(id), uuid, tag, root ? "Benchmark case" : "Object",
           root ? "BenchCase" : "BenchObject", root ? tag : "CASE:" + tag,
           root ? "0" : std::to_string(firstId), std::to_string(firstId),
           root ? std::to_string(objectCount + 1) : "1", "1700000000.5"});
      if (root)
        continue;
      const std::string nid = std::to_string(id);
      for (int i = 0; i < scalarCount; ++i)
        r[tableIndex("Q")].push_back(
            {nid, numbered("q", i), "Scalar", exact(300.0 + i), "K", "0", "0"});
      for (int v = 0; v < vectorCount; ++v)
        vectors.add("QV", {nid, numbered("v", v), "Vector", "kg/s", "0", "0"}, "QVV",
                    std::vector<std::string>(vectorLength, exact(0.5)));
      vectors.add("QM", {nid, "m", "Matrix", "Pa", "0", "0"}, "QMV",
                  std::vector<std::string>(matrixRows * matrixColumns, exact(2.5)));
      for (int i = 0; i < integerCount; ++i)
        r[tableIndex("I")].push_back({nid, numbered("i", i), "Integer", std::to_string(i)});
      vectors.add("IV", {nid, "iv", "Integer vector"}, "IVV",
                  std::vector<std::string>(integerVectorLength, "7"));
      for (int i = 0; i < stringCount; ++i)
        r[tableIndex("S")].push_back({nid, numbered("s", i), "String", text(i)});
      for (int v = 0; v < stringVectorCount; ++v)
        vectors.add("SV", {nid, numbered("sv", v), "String vector"}, "SVV",
                    std::vector<std::string>(stringVectorLength, text(v)));
    }
    return r;
  }();
  return rows;
}

std::string insertStatement(const ReferenceTable &table) {
  std::string markers = "?";
  for (const char *c = table.columns; *c; ++c)
    if (*c == ',')
      markers += ", ?";
  return std::string("INSERT INTO ") + table.name + "(" + table.columns + ") VALUES (" + markers +
         ")";
}

std::string copyStatement(const ReferenceTable &table) {
  return std::string("COPY ") + table.name + "(" + table.columns + ") FROM STDIN";
}

const TableRows &tableRows(int table) { return referenceRows()[table]; }

// Checks the rows read of one table, value by value, whatever their order:
// the key is the first two columns.
class ReadCheck {
public:
  explicit ReadCheck(int table) : table_(table) {
    for (const auto &row : tableRows(table))
      expected_[row[0] + "/" + row[1]] = &row;
  }
  void row(const std::vector<std::string> &values) {
    const auto found = expected_.find(values[0] + "/" + values[1]);
    if (found == expected_.end())
      throw std::runtime_error("reference read: unexpected row");
    const std::vector<std::string> &want = *found->second;
    for (std::size_t c = 0; c < want.size(); ++c) {
      const bool same = static_cast<int>(c) == referenceTables[table_].doubleColumn
                            ? std::strtod(values[c].c_str(), nullptr) ==
                                  std::strtod(want[c].c_str(), nullptr)
                            : values[c] == want[c];
      if (!same)
        throw std::runtime_error("reference read: " + values[c] + " instead of " + want[c]);
    }
    expected_.erase(found);
  }
  void done() const {
    if (!expected_.empty())
      throw std::runtime_error("reference read: rows missing");
  }

private:
  int table_;
  std::map<std::string, const std::vector<std::string> *> expected_;
};

void sqliteCheck(int rc, sqlite3 *db) {
  if (rc != SQLITE_OK && rc != SQLITE_DONE && rc != SQLITE_ROW)
    throw std::runtime_error(std::string("sqlite3: ") + sqlite3_errmsg(db));
}

void sqliteStoreReference(sqlite3 *db) {
  sqliteCheck(sqlite3_exec(db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr), db);
  for (int table = 0; table < tableCount; ++table) {
    sqlite3_stmt *insert = nullptr;
    const std::string statement = insertStatement(referenceTables[table]);
    sqliteCheck(sqlite3_prepare_v2(db, statement.c_str(), -1, &insert, nullptr), db);
    for (const auto &row : tableRows(table)) {
      for (std::size_t c = 0; c < row.size(); ++c) {
        if (static_cast<int>(c) == referenceTables[table].doubleColumn)
          sqlite3_bind_double(insert, static_cast<int>(c) + 1, std::strtod(row[c].c_str(), nullptr));
        else
          sqlite3_bind_text(insert, static_cast<int>(c) + 1, row[c].c_str(),
                            static_cast<int>(row[c].size()), SQLITE_STATIC);
      }
      sqliteCheck(sqlite3_step(insert), db);
      sqlite3_reset(insert);
    }
    sqlite3_finalize(insert);
  }
  sqliteCheck(sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr), db);
}

void sqliteReadReference(sqlite3 *db) {
  sqliteCheck(sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr), db);
  for (int table = 0; table < tableCount; ++table) {
    ReadCheck check(table);
    sqlite3_stmt *query = nullptr;
    sqliteCheck(sqlite3_prepare_v2(db, referenceTables[table].query, -1, &query, nullptr), db);
    sqlite3_bind_int(query, 1, firstId);
    sqlite3_bind_int(query, 2, lastId);
    std::vector<std::string> values;
    int rc;
    while ((rc = sqlite3_step(query)) == SQLITE_ROW) {
      const int columns = sqlite3_column_count(query);
      values.resize(columns);
      for (int c = 0; c < columns; ++c)
        values[c] = c == referenceTables[table].doubleColumn
                        ? exact(sqlite3_column_double(query, c))
                        : reinterpret_cast<const char *>(sqlite3_column_text(query, c));
      check.row(values);
    }
    sqliteCheck(rc, db);
    sqlite3_finalize(query);
    check.done();
  }
  sqliteCheck(sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr), db);
}

// libpq's connection to the data source that VELTA_TEST_POSTGRESQL_DSN
// names, from its entry in the system's ODBC list of data sources (the run
// points ODBCINI at its own SQLite entry).
std::string postgresqlConninfo() {
  const char *folder = std::getenv("ODBCSYSINI");
  std::ifstream input(std::string(folder ? folder : "/etc") + "/odbc.ini");
  const std::string section = std::string("[") + std::getenv("VELTA_TEST_POSTGRESQL_DSN") + "]";
  std::map<std::string, std::string> keys;
  std::string line;
  bool inside = false;
  while (std::getline(input, line)) {
    if (!line.empty() && line[0] == '[')
      inside = line == section;
    else if (inside && line.find('=') != std::string::npos)
      keys[line.substr(0, line.find('='))] = line.substr(line.find('=') + 1);
  }
  return "host=" + keys["Servername"] + " port=" + keys["Port"] + " dbname=" + keys["Database"] +
         " user=" + keys["Username"] + " password=" + keys["Password"];
}

void pgCheck(PGresult *result, PGconn *connection) {
  const ExecStatusType status = PQresultStatus(result);
  PQclear(result);
  if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK && status != PGRES_COPY_IN)
    throw std::runtime_error(std::string("libpq: ") + PQerrorMessage(connection));
}

void postgresqlStoreReference(PGconn *connection) {
  pgCheck(PQexec(connection, "BEGIN"), connection);
  pgCheck(PQexec(connection, "LOCK TABLE N IN SHARE ROW EXCLUSIVE MODE"), connection);
  std::string buffer;
  for (int table = 0; table < tableCount; ++table) {
    pgCheck(PQexec(connection, copyStatement(referenceTables[table]).c_str()), connection);
    buffer.clear();
    for (const auto &row : tableRows(table)) {
      for (std::size_t c = 0; c < row.size(); ++c)
        buffer.append(c ? "\t" : "").append(row[c]);
      buffer += '\n';
    }
    if (PQputCopyData(connection, buffer.data(), static_cast<int>(buffer.size())) != 1 ||
        PQputCopyEnd(connection, nullptr) != 1)
      throw std::runtime_error(std::string("libpq: ") + PQerrorMessage(connection));
    pgCheck(PQgetResult(connection), connection);
  }
  pgCheck(PQexec(connection, "COMMIT"), connection);
}

void postgresqlReadReference(PGconn *connection) {
  pgCheck(PQexec(connection, "BEGIN ISOLATION LEVEL REPEATABLE READ"), connection);
  const std::string first = std::to_string(firstId), last = std::to_string(lastId);
  const char *parameters[] = {first.c_str(), last.c_str()};
  for (int table = 0; table < tableCount; ++table) {
    ReadCheck check(table);
    PGresult *result =
        PQexecParams(connection, referenceTables[table].query, 2, nullptr, parameters, nullptr, nullptr, 0);
    if (PQresultStatus(result) != PGRES_TUPLES_OK) {
      PQclear(result);
      throw std::runtime_error(std::string("libpq: ") + PQerrorMessage(connection));
    }
    std::vector<std::string> values(PQnfields(result));
    for (int r = 0; r < PQntuples(result); ++r) {
      for (int c = 0; c < PQnfields(result); ++c)
        values[c] = PQgetvalue(result, r, c);
      check.row(values);
    }
    PQclear(result);
    check.done();
  }
  pgCheck(PQexec(connection, "COMMIT"), connection);
}

// The database's own connection for the reference.
class Reference {
public:
  explicit Reference(int database) {
    referenceRows();
    if (database == 0) {
      if (sqlite3_open(sqliteFile.c_str(), &db_) != SQLITE_OK)
        throw std::runtime_error("cannot open " + sqliteFile);
      sqlite3_busy_timeout(db_, 60000);
    } else {
      connection_ = PQconnectdb(postgresqlConninfo().c_str());
      if (PQstatus(connection_) != CONNECTION_OK)
        throw std::runtime_error(std::string("libpq: ") + PQerrorMessage(connection_));
    }
  }
  ~Reference() {
    sqlite3_close(db_);
    PQfinish(connection_);
  }
  Reference(const Reference &) = delete;
  Reference &operator=(const Reference &) = delete;

  void store() { db_ ? sqliteStoreReference(db_) : postgresqlStoreReference(connection_); }
  void read() { db_ ? sqliteReadReference(db_) : postgresqlReadReference(connection_); }

private:
  sqlite3 *db_ = nullptr;
  PGconn *connection_ = nullptr;
};

enum class Step { store, read, update, remove };

// One step of the store. Storing and reading are compared with the
// reference, which runs in the same iterations, right after the store's
// own step, so that both see the same load of the machine.
void persistencyStep(benchmark::State &state, const std::string &name, Step step,
                     int database) try {
  PersistencyOdbc store(dsnOf(database));
  const bool compared = step == Step::store || step == Step::read;
  std::unique_ptr<Reference> reference;
  if (compared)
    reference = std::make_unique<Reference>(database);
  double seconds = 0, referenceSeconds = 0;
  for (auto _ : state) {
    state.PauseTiming();
    store.purgeAll();
    std::unique_ptr<Node> tree = freshCase();
    if (step != Step::store)
      tree->insert(store);
    if (step == Step::update)
      for (const auto &[childTag, child] : tree->children())
        for (const auto &[tag, vector] : dynamic_cast<Object &>(*child).quantityVectors())
          for (std::size_t i = 0; i < vector->size(); ++i)
            (*vector)[i] = Value(1.0 + i, "kg/s");
    state.ResumeTiming();
    timed(seconds, [&] {
      switch (step) {
      case Step::store:
        tree->insert(store);
        break;
      case Step::read:
        benchmark::DoNotOptimize(storedCase(store, 0));
        break;
      case Step::update:
        tree->update(store);
        break;
      case Step::remove:
        tree->remove(store);
        break;
      }
    });
    if (!compared)
      continue;
    state.PauseTiming();
    store.purgeAll();
    if (step == Step::read)
      reference->store();
    timed(referenceSeconds, [&] { step == Step::read ? reference->read() : reference->store(); });
    state.ResumeTiming();
  }
  store.purgeAll();
  record(state, name, seconds);
  if (compared)
    record(state, name + "/reference", referenceSeconds);
} catch (const std::exception &error) {
  state.SkipWithError(error.what());
} catch (const Error &error) {
  state.SkipWithError(error.message().c_str());
}

struct Registration {
  Registration() {
    const char *postgresql = std::getenv("VELTA_TEST_POSTGRESQL_DSN");
    const bool withPostgresql = postgresql && *postgresql;
    const std::pair<const char *, Step> steps[] = {
        {"store", Step::store}, {"read", Step::read}, {"update", Step::update},
        {"remove", Step::remove}};
    for (int database = 0; database < (withPostgresql ? 2 : 1); ++database) {
      const std::string prefix = database == 0 ? "SQLite/" : "PostgreSQL/";
      for (const auto &[step, kind] : steps)
        benchmark::RegisterBenchmark((prefix + step).c_str(),
                                     [name = prefix + step, kind = kind,
                                      database](benchmark::State &state) {
                                       persistencyStep(state, name, kind, database);
                                     })
            ->Iterations(kind == Step::store || kind == Step::read ? 8 : 2)
            ->UseRealTime()
            ->Unit(benchmark::kMillisecond);
    }
  }
} registration;

} // namespace

int main(int argc, char **argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv))
    return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  // This store against the reference, where both ran.
  for (const char *database : {"SQLite/", "PostgreSQL/"})
    for (const char *step : {"store", "read"}) {
      const auto own = rates().find(std::string(database) + step);
      const auto reference = rates().find(std::string(database) + step + "/reference");
      if (own != rates().end() && reference != rates().end())
        std::printf("%s%s: %.0f rows/s, reference %.0f rows/s, ratio %.3f\n", database, step,
                    own->second, reference->second, own->second / reference->second);
    }
  return 0;
}
