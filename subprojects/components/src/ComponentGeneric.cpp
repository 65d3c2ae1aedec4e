#include "velta/components/ComponentGeneric.h"

#include "velta/utility/CharacterRules.h"
#include "velta/utility/Error.h"

ComponentGeneric::ComponentGeneric(const std::string &name) : name_(name), index_(-1) {
  if (!checkTag(name_))
    throw ErrorInvalidCharacter("ComponentGeneric::ComponentGeneric", "NAME", name_.c_str());
}

Value ComponentGeneric::kvli(const Value &T, const Value &P) const {
  VELTA_TRACE_BEGIN
  // Components log with the common rule shifted to "- 5".
  VELTA_LOG(verbosity() - 4, 1, "ComponentGeneric::kvli", "Entered for " << name_);
  return psat(T) / P;
  VELTA_TRACE_END("ComponentGeneric::kvli")
}
