#pragma once
// The checked downcast through which all code turns a node of the object
// tree into a model class:
//
//   Model *model = my_cast<Model *>(node, "Model::reportMessages");
//   const Stream *s = my_cast<const Stream *>(node, caller);
//
// T is a pointer to a class (or to a const class). When the node is not of
// that class, ErrorDynamicCast names the caller, the node's tag (its own, not
// its full tag), its type name and the requested type as a readable C++ type
// name (demangled from the run-time type information).

#include "velta/persistency/Node.h"

#include <string>
#include <type_traits>
#include <typeinfo>

namespace Velta::Core {

// The readable form of a type name from std::type_info::name().
std::string demangle(const char *mangledName);

// Throws ErrorDynamicCast for a node that is not of the requested type.
[[noreturn]] void throwDynamicCast(const Node &node, const char *caller,
                                   const std::type_info &target);

// Fatal assertion: a null node is a programming error.
void requireNode(const void *node);

} // namespace Velta::Core

template <class T, class N> T my_cast(N *node, const char *caller) {
  static_assert(std::is_pointer_v<T>, "my_cast converts to a pointer type");
  static_assert(std::is_base_of_v<Node, std::remove_cv_t<N>>, "my_cast converts a Node");
  Velta::Core::requireNode(node);
  if (T result = dynamic_cast<T>(node))
    return result;
  Velta::Core::throwDynamicCast(*node, caller, typeid(T));
}

template <class T, class N> T my_cast(N *node, const std::string &caller) {
  return my_cast<T>(node, caller.c_str());
}
