// Wall time of whole kernel runs, one process per iteration: the usage text
// (start-up and shutdown alone), "types", and "new" and "calculate" of the
// demonstration case on SQLite and on PostgreSQL.
//
// SQLite always runs, on a private database made from the schema script in
// a temporary folder; PostgreSQL runs when VELTA_TEST_POSTGRESQL_DSN names a
// prepared test database (scripts/test-databases.sh start sets it). The
// user's own data source is never touched: every run gets an odbc.ini of its
// own whose "persistency" names the benchmark's store.

#include "../subprojects/user/tests/OdbcIni.h"

#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

extern char **environ;

namespace {

// The case that "new" creates and "calculate" calculates (as in
// scripts/run.sh).
// Steam at 400 K and 1 bar, 0.1 kmol/s of water alone, flashed by IAPWS-95.
const char *const demoType = "StreamIapwsVapor";
const char *const demoDescriptor =
    R"({"quantities":{"T":400,"P":100000,"Tphase.ndot":0.1,"Tphase.x[0]":1,"Tphase.x[1]":0,)"
    R"("Tphase.x[2]":0,"Tphase.x[3]":0,"Tphase.x[4]":0,"Tphase.x[5]":0,"Tphase.x[6]":0,)"
    R"("Tphase.x[7]":0,"Tphase.x[8]":0,"Tphase.x[9]":0,"Tphase.x[10]":0}})";

std::string readFile(const std::string &path) {
  std::ifstream file(path);
  std::stringstream text;
  text << file.rdbuf();
  return text.str();
}

// A working folder with an odbc.ini whose "persistency" is one store.
class Store {
public:
  explicit Store(bool postgresql) {
    std::string folder = (std::filesystem::temp_directory_path() / "velta-kernel-bench.XXXXXX");
    if (!mkdtemp(folder.data()))
      throw std::runtime_error("mkdtemp failed");
    folder_ = folder;
    std::string entry;
    if (postgresql) {
      const char *dsn = std::getenv("VELTA_TEST_POSTGRESQL_DSN");
      const char *ini = std::getenv("ODBCINI");
      if (dsn && *dsn && ini)
        entry = kerneltest::iniSection(readFile(ini), dsn);
    } else {
      const std::string schema =
          std::string(VELTA_SOURCE_DIR) + "/subprojects/persistency/sql/schema-sqlite.sql";
      const std::string database = folder_ + "/bench.sqlite";
      if (std::system(("sqlite3 '" + database + "' < '" + schema + "' >/dev/null").c_str()) == 0)
        entry = "Driver=SQLite3\nDatabase=" + database + "\nTimeout=60000\n";
    }
    available_ = !entry.empty();
    std::ofstream(folder_ + "/odbc.ini") << "[persistency]\n" << entry;
  }
  ~Store() {
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
  }

  bool available() const { return available_; }

  // Runs the kernel in the folder; returns its exit status and keeps the
  // last line of its standard output.
  int run(const std::vector<std::string> &arguments, std::string *lastLine = nullptr) const {
    std::vector<std::string> environment;
    for (char **variable = environ; *variable; ++variable)
      if (std::string(*variable).rfind("ODBCINI=", 0) != 0)
        environment.emplace_back(*variable);
    environment.push_back("ODBCINI=" + folder_ + "/odbc.ini");
    std::vector<char *> envp;
    for (std::string &variable : environment)
      envp.push_back(variable.data());
    envp.push_back(nullptr);

    std::vector<std::string> args{VELTA_KERNEL_PROGRAM};
    args.insert(args.end(), arguments.begin(), arguments.end());
    std::vector<char *> argv;
    for (std::string &argument : args)
      argv.push_back(argument.data());
    argv.push_back(nullptr);

    const std::string out = folder_ + "/out";
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addchdir_np(&actions, folder_.c_str());
    posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0644);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0)
      throw std::runtime_error("cannot start the kernel");
    int status = 0;
    waitpid(pid, &status, 0);
    if (lastLine) {
      std::istringstream lines(readFile(out));
      std::string line;
      while (std::getline(lines, line))
        if (!line.empty())
          *lastLine = line;
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }

private:
  std::string folder_;
  bool available_ = false;
};

const char *storeName(int store) { return store ? "PostgreSQL" : "SQLite"; }

void usage(benchmark::State &state) {
  const Store store(false);
  for (auto _ : state)
    if (store.run({}) != 255)
      state.SkipWithError("the usage text did not exit with 255");
}

void types(benchmark::State &state) {
  const Store store(false);
  for (auto _ : state)
    if (store.run({"types"}) != 0)
      state.SkipWithError("types failed");
}

void newCase(benchmark::State &state) {
  const Store store(state.range(0) == 1);
  if (!store.available()) {
    state.SkipWithError("no PostgreSQL test store (VELTA_TEST_POSTGRESQL_DSN)");
    return;
  }
  state.SetLabel(storeName(static_cast<int>(state.range(0))));
  for (auto _ : state)
    if (store.run({"new", demoType, "Demo", "", demoDescriptor}) != 0)
      state.SkipWithError("new failed");
}

void calculateCase(benchmark::State &state) {
  const Store store(state.range(0) == 1);
  if (!store.available()) {
    state.SkipWithError("no PostgreSQL test store (VELTA_TEST_POSTGRESQL_DSN)");
    return;
  }
  state.SetLabel(storeName(static_cast<int>(state.range(0))));
  std::string id;
  if (store.run({"new", demoType, "Demo", "", demoDescriptor}, &id) != 0) {
    state.SkipWithError("new failed");
    return;
  }
  for (auto _ : state)
    if (store.run({"calculate", id}) != 0)
      state.SkipWithError("calculate failed");
}

BENCHMARK(usage)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(types)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(newCase)->Arg(0)->Arg(1)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(calculateCase)->Arg(0)->Arg(1)->UseRealTime()->Unit(benchmark::kMillisecond);

} // namespace
