#include "velta/streams/EmbeddedType.h"

#include "velta/utility/Error.h"

void requireEmbeddedType(const std::string &type, const char *option, const char *function) {
  if (type.find_first_not_of(' ') == std::string::npos)
    throw ErrorObjectFactory(function, ("\"" + type + "\": the option \"" + option +
                                        "\" that names the embedded phase type is not set")
                                           .c_str());
}
