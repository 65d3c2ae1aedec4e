#pragma once
// Reading an odbc.ini: the kernel's tests and benchmark copy the entry of a
// test store into an odbc.ini of their own under the name "persistency".

#include <sstream>
#include <string>

namespace kerneltest {

// The section [name] of an odbc.ini text, without its header line.
inline std::string iniSection(const std::string &ini, const std::string &name) {
  std::istringstream lines(ini);
  std::string line;
  std::string body;
  bool inside = false;
  while (std::getline(lines, line)) {
    if (!line.empty() && line.front() == '[') {
      inside = line == "[" + name + "]";
      continue;
    }
    if (inside)
      body += line + "\n";
  }
  return body;
}

} // namespace kerneltest
