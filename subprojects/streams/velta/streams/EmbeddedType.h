#pragma once
// The check of the option that names a stream's embedded phase type,
// before the phase is created: a blank type (the option missing from the
// option set of a bare type) fails with ErrorObjectFactory naming the
// option, not only the blank type.

#include "velta/persistency/Object.h"
#include "velta/persistency/String.h"

#include <string>
#include <vector>

void requireEmbeddedType(const std::string &type, const char *option, const char *function);

// The two phase types of a two-fluid stream: the options
// "embeddedTypePhase[0]" and "embeddedTypePhase[1]" of defaults (stored
// values read for id; a blank where neither has one) into types.
void readEmbeddedTypePair(Object &stream, std::vector<String> &types, const Defaults &defaults,
                          int id, Persistency *persistency);

// Both types of the pair name a phase type (requireEmbeddedType).
void requireEmbeddedTypePair(const std::vector<String> &types, const char *function);
