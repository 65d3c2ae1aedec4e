// The kernel's default case, the Inorganic demonstration process: the time
// of "new" (build, set up, store) and of its first "calculate" (load,
// sequential passes, simultaneous solution, store), on SQLite and on
// PostgreSQL, with the share of the calculation spent in flashes, in the
// store and in the linear algebra of the Newton steps.
//
// Each iteration runs in a child process of its own, as the program does:
// the ODBC driver manager keeps the first data source a process reads, so
// one process cannot serve both stores. The shares come from sampling the
// child's call stacks every millisecond of CPU time while it calculates;
// a sample counts for every category one of its frames belongs to (a flash
// solves its own small linear systems: those count as flash only).
//
// SQLite always runs, on a private database made from the schema script;
// PostgreSQL when VELTA_TEST_POSTGRESQL_DSN names a prepared test database
// (scripts/test-databases.sh start). The user's data source is never used.

#include "BenchStore.h"

#include "velta/user/Case.h"
#include "velta/user/KernelInitialization.h"
#include "velta/user/Operations.h"
#include "velta/utility/Diagnostic.h"

#include <benchmark/benchmark.h>

#include <cxxabi.h>
#include <dlfcn.h>
#include <execinfo.h>
#include <signal.h>
#include <sys/time.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

class Store : public benchstore::BenchStore {
public:
  explicit Store(bool postgresql) : BenchStore(postgresql, "velta-inorganic-bench") {}
};

// ---------------------------------------------------------------- sampling

constexpr int maxDepth = 64;
constexpr int maxSamples = 200000;

struct Sample {
  int depth;
  std::array<void *, maxDepth> frames;
};

Sample *samples = nullptr;
volatile sig_atomic_t sampleCount = 0;

void onProfileSignal(int) {
  if (sampleCount >= maxSamples)
    return;
  Sample &sample = samples[sampleCount];
  sample.depth = backtrace(sample.frames.data(), maxDepth);
  sampleCount = sampleCount + 1;
}

void startSampling() {
  void *warmUp[4];
  backtrace(warmUp, 4); // loads the unwinder outside the signal handler
  samples = new Sample[maxSamples];
  sampleCount = 0;
  struct sigaction action {};
  action.sa_handler = &onProfileSignal;
  action.sa_flags = SA_RESTART;
  sigaction(SIGPROF, &action, nullptr);
  const itimerval every{{0, 1000}, {0, 1000}};
  setitimer(ITIMER_PROF, &every, nullptr);
}

void stopSampling() {
  const itimerval off{};
  setitimer(ITIMER_PROF, &off, nullptr);
}

std::string functionName(void *address) {
  Dl_info info{};
  if (dladdr(address, &info) == 0 || info.dli_sname == nullptr)
    return {};
  int status = 0;
  std::unique_ptr<char, void (*)(void *)> demangled(
      abi::__cxa_demangle(info.dli_sname, nullptr, nullptr, &status), std::free);
  return status == 0 ? demangled.get() : info.dli_sname;
}

bool contains(const std::string &name, std::initializer_list<const char *> parts) {
  for (const char *part : parts)
    if (name.find(part) != std::string::npos)
      return true;
  return false;
}

// Shares of the samples: flash, store, linear algebra.
std::array<double, 3> shares() {
  std::array<long, 3> counts{};
  for (int s = 0; s < sampleCount; ++s) {
    bool flash = false, store = false, linear = false;
    for (int f = 0; f < samples[s].depth; ++f) {
      const std::string name = functionName(samples[s].frames[static_cast<std::size_t>(f)]);
      flash = flash || contains(name, {"solveFlash", "Flash"});
      store = store || contains(name, {"Persistency", "Odbc", "SQL"});
      linear = linear || contains(name, {"Jacobian::solve", "Jacobian::multiplyTransposed",
                                         "cs_di_"});
    }
    counts[0] += flash;
    counts[1] += store;
    counts[2] += linear && !flash;
  }
  std::array<double, 3> result{};
  for (std::size_t i = 0; i < 3; ++i)
    result[i] = sampleCount > 0 ? 100.0 * static_cast<double>(counts[i]) / sampleCount : 0.0;
  return result;
}

// ---------------------------------------------------------------- one case

struct Timings {
  double newSeconds;
  double calculateSeconds;
  double flash, store, linear; // percent of the calculation
  int code;
};

double seconds(std::chrono::steady_clock::time_point since) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

// In the child: new, then the first calculate, sampled.
Timings createAndCalculate() {
  Timings t{};
  initializeKernel();
  auto start = std::chrono::steady_clock::now();
  int error = 0;
  const Velta::User::Handle handle =
      Velta::User::createCase("Inorganic", "Inorganic", "", "", error);
  t.newSeconds = seconds(start);
  if (error != 0) {
    t.code = error;
    return t;
  }
  start = std::chrono::steady_clock::now();
  startSampling();
  Velta::User::Case kase(handle);
  t.code = kase.calculateSync();
  stopSampling();
  t.calculateSeconds = seconds(start);
  const std::array<double, 3> s = shares();
  t.flash = s[0];
  t.store = s[1];
  t.linear = s[2];
  return t;
}

Timings inChild(const Store &store) {
  int channel[2];
  if (pipe(channel) != 0)
    throw std::runtime_error("pipe failed");
  const pid_t pid = fork();
  if (pid == 0) {
    close(channel[0]);
    setenv("ODBCINI", (store.folder() + "/odbc.ini").c_str(), 1);
    if (chdir(store.folder().c_str()) != 0)
      _exit(2);
    // The program's log lines would swamp the benchmark's table.
    if (!freopen("/dev/null", "w", stdout) || !freopen("/dev/null", "w", stderr))
      _exit(2);
    const Timings t = createAndCalculate();
    const ssize_t written = write(channel[1], &t, sizeof t);
    _exit(written == static_cast<ssize_t>(sizeof t) ? 0 : 3);
  }
  close(channel[1]);
  Timings t{};
  t.code = -1;
  const ssize_t got = read(channel[0], &t, sizeof t);
  close(channel[0]);
  int status = 0;
  waitpid(pid, &status, 0);
  if (got != static_cast<ssize_t>(sizeof t))
    t.code = -1;
  return t;
}

void inorganic(benchmark::State &state) {
  const bool postgresql = state.range(0) == 1;
  const Store store(postgresql);
  if (!store.available()) {
    state.SkipWithError("no PostgreSQL test store (VELTA_TEST_POSTGRESQL_DSN)");
    return;
  }
  state.SetLabel(postgresql ? "PostgreSQL" : "SQLite");
  double newTotal = 0, calculateTotal = 0, flash = 0, storeShare = 0, linear = 0;
  for (auto _ : state) {
    const Timings t = inChild(store);
    if (t.code < 0) {
      state.SkipWithError("new or calculate failed");
      return;
    }
    state.SetIterationTime(t.newSeconds + t.calculateSeconds);
    newTotal += t.newSeconds;
    calculateTotal += t.calculateSeconds;
    flash += t.flash;
    storeShare += t.store;
    linear += t.linear;
  }
  const double n = static_cast<double>(state.iterations());
  state.counters["new_ms"] = 1000.0 * newTotal / n;
  state.counters["calculate_ms"] = 1000.0 * calculateTotal / n;
  state.counters["flash_%"] = flash / n;
  state.counters["store_%"] = storeShare / n;
  state.counters["linear_algebra_%"] = linear / n;
}

BENCHMARK(inorganic)->Arg(0)->Arg(1)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);

} // namespace
