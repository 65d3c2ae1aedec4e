#include "velta/utility/Error.h"

Error::Error(const char *function) : message_("Error was thrown by function: ") {
  message_ += function;
  message_ += '\n';
}

void Error::addLine(const std::string &line) {
  message_ += line;
  message_ += '\n';
}

void Error::append(const char *function) {
  message_ += "Called from function: ";
  message_ += function;
  message_ += '\n';
}

ErrorBrowsing::ErrorBrowsing(const char *function, const char *model, const char *type,
                             const char *string, const char *option)
    : Error(function) {
  addLine(std::string("Model browsing error: Unsupported option ") + option + " for String " +
          string + " in model " + model + " of type " + type);
}

ErrorBrowsing::ErrorBrowsing(const char *function, const char *model, const char *type,
                             const char *object)
    : Error(function) {
  addLine(std::string("Model browsing error: Object ") + object + " not found in model " + model +
          " of type " + type);
}

ErrorConnectivity::ErrorConnectivity(const char *function, const char *vertex, const char *type,
                                     const char *port)
    : Error(function) {
  addLine(std::string("Flowsheet connectivity error: Impossible to attach port ") + port +
          " to Vertex " + vertex + " of type " + type);
}

ErrorConnectivity::ErrorConnectivity(const char *function, const char *subject,
                                     const char *message)
    : Error(function) {
  addLine(std::string("Flowsheet connectivity error: ") + subject + " " + message);
}

ErrorDynamicCast::ErrorDynamicCast(const char *function, const char *type, const char *target,
                                   const char *model)
    : Error(function) {
  addLine(std::string("Dynamic cast error: Unsupported conversion of model ") + model +
          " of type: " + type + " to type: " + target);
}

ErrorInvalidCharacter::ErrorInvalidCharacter(const char *function, const char *field,
                                             const char *value)
    : Error(function) {
  addLine(std::string("Invalid characters error: Field ") + field +
          " contains invalid characters or does not begin with an alphabetic element: \"" +
          value + "\"");
}

ErrorObjectFactory::ErrorObjectFactory(const char *function, const char *type) : Error(function) {
  addLine(std::string("Object factory error: Unsupported type: ") + type);
}

ErrorRunTime::ErrorRunTime(const char *function, const char *message) : Error(function) {
  addLine(std::string("Generic Run-Time error: ") + message);
}

ErrorSmartEnum::ErrorSmartEnum(const char *function, const char *model, const char *what,
                               const char *value)
    : Error(function) {
  addLine(std::string("Error type: Smart enumerator error: Unrecognized ") + what + " in model " +
          model + ": " + value);
}

ErrorSmartEnum::ErrorSmartEnum(const char *function, const char *what, const char *value)
    : Error(function) {
  addLine(std::string("Smart enumerator error: Unrecognized ") + what + ": " + value);
}

ErrorNoComponent::ErrorNoComponent(const char *function, const char *name) : Error(function) {
  addLine(std::string("Non-existing component error: Component ") + name +
          " not found in component list");
}

ErrorScaler::ErrorScaler(const char *function, const char *message) : Error(function) {
  addLine(std::string("Error type: Scaler error") + message);
}
