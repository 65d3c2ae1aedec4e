// Throughput of the ODBC store: a tree of 1,000 objects, each with 30 scalar
// quantities and 3 quantity vectors of 20 elements (94 rows per object: its
// node row, 30 Q rows, 3 QV headers and 60 QVV elements), stored, read back,
// updated and removed. Each step reports rows per second ("rows/s").
//
// SQLite always runs, on a private database made from the schema script in
// a temporary folder; PostgreSQL runs when VELTA_TEST_POSTGRESQL_DSN names a
// prepared test database (scripts/test-databases.sh start sets it). The
// user's own data source is never touched.

#include "velta/persistency/NodeFactory.h"
#include "velta/persistency/Object.h"
#include "velta/persistency/PersistencyOdbc.h"
#include "velta/persistency/Quantity.h"
#include "velta/persistency/QuantityVector.h"

#include <benchmark/benchmark.h>

#include <sql.h>
#include <sqlext.h>
#include <unistd.h>

#include <cstdlib>
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
constexpr double rowsPerObject = 1 + scalarCount + vectorCount * (1 + vectorLength);
constexpr double treeRows = 1 + objectCount * rowsPerObject;

class BenchObject : public Object {
public:
  BenchObject(Defaults defaults, int id, Persistency *persistency, Node *parent, Node *root)
      : Object(defaults, id, persistency, parent, root) {
    setType("BenchObject");
    scalars_.reserve(scalarCount);
    for (int i = 0; i < scalarCount; ++i)
      scalars_.emplace_back(std::string("q").append(std::to_string(i)), "Scalar", 300.0 + i, "K", this);
    for (auto &scalar : scalars_)
      addVariable(scalar);
    vectors_.reserve(vectorCount);
    for (int i = 0; i < vectorCount; ++i)
      vectors_.emplace_back(std::string("v").append(std::to_string(i)), "Vector", vectorLength, Value(0.5, "kg/s"),
                            this);
    for (auto &vector : vectors_)
      addVariable(vector);
    retrieveIntegersAndStrings(persistency);
  }

private:
  std::vector<Quantity> scalars_;
  std::vector<QuantityVector> vectors_;
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
      addChild("BenchObject", Defaults(std::string("O").append(std::to_string(i)), "Object"));
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

// A private SQLite database for this run, made from the schema script.
std::string sqliteDsn() {
  static const std::string dsn = [] {
    std::string folder = std::filesystem::temp_directory_path().string() + "/velta-bench.XXXXXX";
    if (!mkdtemp(folder.data()))
      throw std::runtime_error("cannot make a temporary folder");
    const std::string ini = folder + "/odbc.ini";
    std::ofstream(ini) << "[velta_bench_sqlite]\nDriver=SQLite3\nDatabase=" << folder
                       << "/bench.sqlite\nTimeout=60000\n";
    setenv("ODBCINI", ini.c_str(), 1);
    const std::filesystem::path source = std::filesystem::path(__FILE__).parent_path().parent_path();
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

enum class Step { store, read, update, remove };

void persistencyStep(benchmark::State &state, Step step, int database) try {
  PersistencyOdbc store(dsnOf(database));
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
  }
  state.counters["rows/s"] =
      benchmark::Counter(treeRows * static_cast<double>(state.iterations()),
                         benchmark::Counter::kIsRate);
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
    for (int database = 0; database < (withPostgresql ? 2 : 1); ++database)
      for (const auto &[name, step] : steps)
        benchmark::RegisterBenchmark(
            (std::string(database == 0 ? "SQLite/" : "PostgreSQL/") + name).c_str(),
            [step = step, database](benchmark::State &state) {
              persistencyStep(state, step, database);
            })
            ->Iterations(2)
            ->UseRealTime()
            ->Unit(benchmark::kMillisecond);
  }
} registration;

} // namespace
