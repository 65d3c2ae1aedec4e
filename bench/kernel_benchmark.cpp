// Wall time of whole kernel runs, one process per iteration: the usage text
// (start-up and shutdown alone), "types", and "new" and "calculate" of the
// kernel's default case (the Inorganic process, as scripts/run.sh runs it)
// on SQLite and on PostgreSQL: the first calculation of a new case, and a
// calculation of a case already converged.
//
// SQLite always runs, on a private database made from the schema script in
// a temporary folder; PostgreSQL runs when VELTA_TEST_POSTGRESQL_DSN names a
// prepared test database (scripts/test-databases.sh start sets it). The
// user's own data source is never touched: every run gets an odbc.ini of its
// own whose "persistency" names the benchmark's store.

#include "BenchStore.h"

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

using benchstore::readFile;

// Runs the kernel in a store's folder.
class Store : public benchstore::BenchStore {
public:
  explicit Store(bool postgresql) : BenchStore(postgresql, "velta-kernel-bench") {}

  // Runs the kernel in the folder; returns its exit status and keeps the
  // last line of its standard output.
  int run(const std::vector<std::string> &arguments, std::string *lastLine = nullptr) const {
    std::vector<std::string> environment;
    for (char **variable = environ; *variable; ++variable)
      if (std::string(*variable).rfind("ODBCINI=", 0) != 0)
        environment.emplace_back(*variable);
    environment.push_back("ODBCINI=" + folder() + "/odbc.ini");
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

    const std::string out = folder() + "/out";
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addchdir_np(&actions, folder().c_str());
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
    if (store.run({"new"}) != 0)
      state.SkipWithError("new failed");
}

void calculateCase(benchmark::State &state) {
  const Store store(state.range(0) == 1);
  if (!store.available()) {
    state.SkipWithError("no PostgreSQL test store (VELTA_TEST_POSTGRESQL_DSN)");
    return;
  }
  // Arg 2: 0 the first calculation of a new case, 1 a converged one.
  const bool converged = state.range(1) == 1;
  state.SetLabel(std::string(storeName(static_cast<int>(state.range(0)))) +
                 (converged ? ", converged" : ", first"));
  std::string id;
  if (converged && (store.run({"new"}, &id) != 0 || store.run({"calculate", id}) != 0)) {
    state.SkipWithError("new or calculate failed");
    return;
  }
  for (auto _ : state) {
    if (!converged) {
      state.PauseTiming();
      const int created = store.run({"new"}, &id);
      state.ResumeTiming();
      if (created != 0) {
        state.SkipWithError("new failed");
        break;
      }
    }
    if (store.run({"calculate", id}) != 0)
      state.SkipWithError("calculate failed");
  }
}

BENCHMARK(usage)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(types)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(newCase)->Arg(0)->Arg(1)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(calculateCase)
    ->Args({0, 0})
    ->Args({1, 0})
    ->Args({0, 1})
    ->Args({1, 1})
    ->UseRealTime()->Unit(benchmark::kMillisecond);

} // namespace
