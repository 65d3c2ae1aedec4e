#pragma once
// The kernel's tests run on the private test stores, never on the user's
// own data source: a scratch folder per test holds the working directory of
// the program and an odbc.ini whose data source "persistency" is a copy of
// the test store's entry (the other entries kept, so that the checks of
// the test reach the store under its own name).
//
// The program is run as a separate process; in-process tests of the
// user-level operations use the same odbc.ini through ODBCINI.

#include "OdbcIni.h"
#include "../../core/tests/ScratchDirectory.h"
#include "../../persistency/tests/OdbcTestStore.h"

#include <sys/wait.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace kerneltest {

struct KernelRun {
  int status = -1;
  std::string out;
  std::string err;

  // The last line of standard output (without its line end).
  std::string lastLine() const {
    std::string text = out;
    while (!text.empty() && text.back() == '\n')
      text.pop_back();
    const std::size_t end = text.rfind('\n');
    return end == std::string::npos ? text : text.substr(end + 1);
  }
};

inline std::string shellQuoted(const std::string &text) {
  std::string quoted = "'";
  for (char c : text)
    quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

class KernelStoreTest : public odbctest::StoreTest {
protected:
  void SetUp() override {
    odbctest::StoreTest::SetUp();
    if (IsSkipped())
      return;
    const char *ini = std::getenv("ODBCINI");
    ASSERT_NE(ini, nullptr) << "the test store has no odbc.ini";
    originalIni_ = ini;
    const std::string original = readFile(originalIni_);
    const std::string section = iniSection(original, dsn_);
    ASSERT_FALSE(section.empty()) << "no entry " << dsn_ << " in " << originalIni_;
    ini_ = scratch_.file("odbc.ini");
    writeFile(ini_, original + "\n[persistency]\n" + section);
    std::filesystem::create_directory(workDirectory());
  }

  void TearDown() override {
    if (!originalIni_.empty())
      setenv("ODBCINI", originalIni_.c_str(), 1);
  }

  // Points this process's connections on "persistency" at the test store.
  // The driver manager keeps what it first read of a data source for the
  // rest of the process, so "persistency" can name one test store per
  // process only: a test on the other store is skipped here (CTest runs
  // every test in a process of its own).
  bool useStoreInProcess() {
    static std::string boundTo;
    if (!boundTo.empty() && boundTo != dsn_)
      return false;
    boundTo = dsn_;
    setenv("ODBCINI", ini_.c_str(), 1);
    return true;
  }

  std::string workDirectory() const { return scratch_.file("work"); }
  std::string workFile(const std::string &name) const { return workDirectory() + "/" + name; }

  KernelRun kernel(const std::vector<std::string> &arguments,
                   const std::string &program = VELTA_KERNEL_PROGRAM) {
    std::string command = "cd " + shellQuoted(workDirectory()) + " && ODBCINI=" + shellQuoted(ini_);
#ifdef VELTA_TEST_PRELOAD
    // The drivers unload libodbcinst, so the leak checker could not name
    // (and suppress) what the driver manager leaves there; preloaded, it
    // stays. The sanitizer's runtime must come first.
    command += " LD_PRELOAD=" + shellQuoted(VELTA_TEST_PRELOAD);
#endif
    command += " " + shellQuoted(program);
    for (const std::string &argument : arguments)
      command += " " + shellQuoted(argument);
    command += " >" + shellQuoted(scratch_.file("out")) + " 2>" + shellQuoted(scratch_.file("err"));
    const int status = std::system(command.c_str());
    KernelRun run;
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.out = readFile(scratch_.file("out"));
    run.err = readFile(scratch_.file("err"));
    return run;
  }

  long count(const std::string &sql) { return odbctest::RawConnection(dsn_).integer(sql); }
  long nodes() { return count("SELECT COUNT(*) FROM N"); }

  ScratchDirectory scratch_;
  std::string originalIni_;
  std::string ini_;
};

} // namespace kerneltest
