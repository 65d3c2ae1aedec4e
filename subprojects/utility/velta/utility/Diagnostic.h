#pragma once
// Verbosity of objects and the one log rule and layout shared by every
// subsystem.
//
// A log line has a level L (-2 to 4 in use). It is written when
//     verbosityGlobal + localVerbosity - 1 > L
// where the local verbosity is the writing object's own (Diagnostic::verbosity)
// or 1 in a function without such an object. The line is the function's
// qualified name, a blank, L + 2 asterisks, a blank and the message, then a
// line end; standard output is flushed after every line.
//
// Usage:
//   VELTA_LOG(verbosity(), 1, "Object::clear", "Entered for " << fullTag());
//   VELTA_LOG_FREE(1, "Velta::User::purge", "Entered");
// The message is a stream expression (it may contain commas); it is not
// evaluated at all when the line is not written. A site that adds a fixed
// offset k to its local verbosity passes verbosity() + k; a family whose rule
// reads "- n in place of - 1" passes verbosity() + 1 - n.

#include <ostream>
#include <string>

// The process-wide verbosity: 0 until start-up, then 2.
extern int verbosityGlobal;

class Diagnostic {
public:
  Diagnostic() = default;
  Diagnostic(const Diagnostic &) = default;
  Diagnostic &operator=(const Diagnostic &) = default;
  virtual ~Diagnostic();

  void setVerbosity(int verbosity) { verbosity_ = verbosity; }
  int verbosity() const { return verbosity_; }

private:
  int verbosity_ = 0;
};

namespace Velta::Utility {

// The threshold rule, tested before anything of a line is formatted.
inline bool logEnabled(int localVerbosity, int level) {
  return verbosityGlobal + localVerbosity - 1 > level;
}

// Writes the complete line "name ***... message" and flushes stdout.
void writeLogLine(const char *name, int level, const std::string &message);

// Collects the message of one line (classic "C" locale, six significant
// digits unless the message sets another precision) and writes the whole
// line when it goes out of scope.
class LogLine {
public:
  LogLine(const char *name, int level);
  ~LogLine();
  LogLine(const LogLine &) = delete;
  LogLine &operator=(const LogLine &) = delete;

  template <class T> LogLine &operator<<(const T &value) {
    stream() << value;
    return *this;
  }
  LogLine &operator<<(std::ostream &(*manipulator)(std::ostream &)) {
    stream() << manipulator;
    return *this;
  }

private:
  std::ostream &stream();

  const char *name_;
  int level_;
  int uncaughtAtStart_;
  std::ostream *stream_;
};

} // namespace Velta::Utility

// One log line with an explicit local verbosity.
#define VELTA_LOG(localVerbosity, level, name, ...)                                                \
  do {                                                                                             \
    if (::Velta::Utility::logEnabled((localVerbosity), (level))) {                                 \
      ::Velta::Utility::LogLine(name, level) << __VA_ARGS__;                                       \
    }                                                                                              \
  } while (0)

// One log line of a function that works without an object (local verbosity 1).
#define VELTA_LOG_FREE(level, name, ...) VELTA_LOG(1, level, name, __VA_ARGS__)
