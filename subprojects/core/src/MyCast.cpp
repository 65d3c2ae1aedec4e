#include "velta/core/MyCast.h"

#include "velta/utility/Assert.h"
#include "velta/utility/Error.h"

#include <cxxabi.h>

#include <cstdlib>
#include <memory>

namespace Velta::Core {

std::string demangle(const char *mangledName) {
  int status = 0;
  std::unique_ptr<char, void (*)(void *)> readable(
      abi::__cxa_demangle(mangledName, nullptr, nullptr, &status), std::free);
  if (status != 0 || !readable)
    return mangledName;
  return readable.get();
}

void throwDynamicCast(const Node &node, const char *caller, const std::type_info &target) {
  throw ErrorDynamicCast(caller, node.type().c_str(), demangle(target.name()).c_str(),
                         node.tag().c_str());
}

void requireNode(const void *node) { VELTA_ASSERT(node != nullptr); }

} // namespace Velta::Core
