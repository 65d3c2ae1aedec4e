#pragma once
// A fresh working directory for one test, removed with its files afterwards.
// Flowsheets that schedule their tasks write their schedule files
// ("start4.dot", "tasks4.svg", ...) into the working directory; tests that
// read those files back must not see the files of other tests that CTest
// runs at the same time in the same folder.

#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <string>

class PrivateWorkingDirectory {
public:
  PrivateWorkingDirectory() : previous_(std::filesystem::current_path()) {
    std::string pattern = (std::filesystem::temp_directory_path() / "velta-cwd-XXXXXX").string();
    if (!mkdtemp(pattern.data()))
      throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
    std::filesystem::current_path(path_);
  }
  ~PrivateWorkingDirectory() {
    std::error_code ignored;
    std::filesystem::current_path(previous_, ignored);
    std::filesystem::remove_all(path_, ignored);
  }
  PrivateWorkingDirectory(const PrivateWorkingDirectory &) = delete;
  PrivateWorkingDirectory &operator=(const PrivateWorkingDirectory &) = delete;

private:
  std::filesystem::path previous_;
  std::filesystem::path path_;
};
