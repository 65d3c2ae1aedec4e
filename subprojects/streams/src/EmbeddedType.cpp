#include "velta/streams/EmbeddedType.h"

#include "velta/utility/Error.h"
#include "velta/utility/SharedEnumerations.h"

void requireEmbeddedType(const std::string &type, const char *option, const char *function) {
  if (type.find_first_not_of(' ') == std::string::npos)
    throw ErrorObjectFactory(function, ("\"" + type + "\": the option \"" + option +
                                        "\" that names the embedded phase type is not set")
                                           .c_str());
}

namespace {

std::string pairOption(int i) { return "embeddedTypePhase[" + std::to_string(i) + "]"; }

} // namespace

void readEmbeddedTypePair(Object &stream, std::vector<String> &types, const Defaults &defaults,
                          int id, Persistency *persistency) {
  for (int i = 0; i < 2; ++i) {
    const std::string type = stream.retrieveString(defaults, id, persistency, pairOption(i), " ");
    types[static_cast<std::size_t>(i)] = type.empty() ? " " : type;
  }
}

void requireEmbeddedTypePair(const std::vector<String> &types, const char *function) {
  for (int i = 0; i < 2; ++i)
    requireEmbeddedType(types[static_cast<std::size_t>(i)].value(), pairOption(i).c_str(),
                        function);
}

void changeFlashMode(String &flashoption, int fm, const char *function,
                     const std::function<void(int)> &apply) {
  if (fm != 0 && (fm < 1 || fm > 7))
    throw ErrorSmartEnum(function, "Flash mode", Velta::Utility::flashModeName(fm).c_str());
  const std::string previous = flashoption.value();
  if (fm != 0)
    flashoption = Velta::Utility::flashModeName(fm);
  else
    fm = Velta::Utility::flashModeIndex(flashoption.value());
  try {
    apply(fm);
  } catch (Error &) {
    flashoption = previous;
    throw;
  }
}
