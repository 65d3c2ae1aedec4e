#pragma once
// The check of the option that names a stream's embedded phase type,
// before the phase is created: a blank type (the option missing from the
// option set of a bare type) fails with ErrorObjectFactory naming the
// option, not only the blank type.

#include <string>

void requireEmbeddedType(const std::string &type, const char *option, const char *function);
