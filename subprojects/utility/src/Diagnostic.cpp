#include "velta/utility/Diagnostic.h"

#include <exception>
#include <iostream>
#include <locale>
#include <sstream>

int verbosityGlobal = 0;

Diagnostic::~Diagnostic() = default;

namespace Velta::Utility {

void writeLogLine(const char *name, int level, const std::string &message) {
  std::string line(name);
  line += ' ';
  if (level + 2 > 0) {
    line.append(static_cast<std::size_t>(level + 2), '*');
  }
  line += ' ';
  line += message;
  line += '\n';
  std::cout << line << std::flush;
}

LogLine::LogLine(const char *name, int level)
    : name_(name), level_(level), uncaughtAtStart_(std::uncaught_exceptions()), stream_(nullptr) {}

LogLine::~LogLine() {
  // A message whose formatting threw is dropped rather than written half.
  if (std::uncaught_exceptions() == uncaughtAtStart_) {
    writeLogLine(name_, level_,
                 stream_ ? static_cast<std::ostringstream *>(stream_)->str() : std::string());
  }
  delete stream_;
}

std::ostream &LogLine::stream() {
  if (!stream_) {
    auto *buffer = new std::ostringstream;
    buffer->imbue(std::locale::classic());
    stream_ = buffer;
  }
  return *stream_;
}

} // namespace Velta::Utility
