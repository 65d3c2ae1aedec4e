#pragma once
// The family of exceptions of the system. An error is nothing but its message
// text: a header naming the throwing function, one line specific to the
// class, then one "Called from function: " line per function that passed it
// on (innermost first). Thrown by value, caught by reference to Error.

#include <string>

class Error {
public:
  void append(const char *function);
  const std::string &message() const { return message_; }

protected:
  explicit Error(const char *function);
  void addLine(const std::string &line);

private:
  std::string message_;
};

class ErrorBrowsing : public Error {
public:
  ErrorBrowsing(const char *function, const char *model, const char *type, const char *string,
                const char *option);
  ErrorBrowsing(const char *function, const char *model, const char *type, const char *object);
};

class ErrorConnectivity : public Error {
public:
  ErrorConnectivity(const char *function, const char *vertex, const char *type, const char *port);
  ErrorConnectivity(const char *function, const char *subject, const char *message);
};

class ErrorDynamicCast : public Error {
public:
  ErrorDynamicCast(const char *function, const char *type, const char *target, const char *model);
};

class ErrorInvalidCharacter : public Error {
public:
  ErrorInvalidCharacter(const char *function, const char *field, const char *value);
};

class ErrorObjectFactory : public Error {
public:
  ErrorObjectFactory(const char *function, const char *type);
};

class ErrorRunTime : public Error {
public:
  ErrorRunTime(const char *function, const char *message);
};

class ErrorSmartEnum : public Error {
public:
  ErrorSmartEnum(const char *function, const char *model, const char *what, const char *value);
  ErrorSmartEnum(const char *function, const char *what, const char *value);
};

class ErrorNoComponent : public Error {
public:
  ErrorNoComponent(const char *function, const char *name);
};

class ErrorScaler : public Error {
public:
  ErrorScaler(const char *function, const char *message);
};

// Wraps a function body so that an Error passing through gets the function's
// qualified name appended to its trace and is rethrown as the same object.
#define VELTA_TRACE_BEGIN try {
#define VELTA_TRACE_END(name)                                                                      \
  }                                                                                                \
  catch (Error & error_) {                                                                         \
    error_.append(name);                                                                           \
    throw;                                                                                         \
  }
