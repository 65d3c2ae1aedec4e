#pragma once
// A fresh directory under the system's temporary directory, removed with
// everything in it when the object goes; and the XML checks of the output
// tests, which run xmllint (package libxml2-utils).

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>

class ScratchDirectory {
public:
  ScratchDirectory() {
    std::string pattern = (std::filesystem::temp_directory_path() / "velta-model-XXXXXX").string();
    if (!mkdtemp(pattern.data()))
      throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
  }
  ~ScratchDirectory() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  ScratchDirectory(const ScratchDirectory &) = delete;
  ScratchDirectory &operator=(const ScratchDirectory &) = delete;

  const std::filesystem::path &path() const { return path_; }
  std::string file(const std::string &name) const { return (path_ / name).string(); }

private:
  std::filesystem::path path_;
};

inline std::string readFile(const std::string &path) {
  std::ifstream file(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

inline void writeFile(const std::string &path, const std::string &text) {
  std::ofstream(path, std::ios::binary) << text;
}

// Exit status of xmllint with the given arguments (0: the documents parse).
inline int xmllint(const std::string &arguments) {
  return std::system(("xmllint " + arguments + " >/dev/null 2>&1").c_str());
}

// The text that an XPath expression selects from a document, as xmllint
// prints it (without the line end that some versions add).
inline std::string xpath(const std::string &file, const std::string &expression,
                         const ScratchDirectory &scratch) {
  const std::string out = scratch.file("xpath.out");
  [[maybe_unused]] const int status = std::system(
      ("xmllint --xpath '" + expression + "' " + file + " >" + out + " 2>/dev/null").c_str());
  std::string text = readFile(out);
  if (!text.empty() && text.back() == '\n')
    text.pop_back();
  return text;
}
