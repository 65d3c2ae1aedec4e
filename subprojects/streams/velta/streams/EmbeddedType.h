#pragma once
// What the streams with embedded phase types share: the check of the option
// that names an embedded phase type, before the phase is created (a blank
// type, the option missing from the option set of a bare type, fails with
// ErrorObjectFactory naming the option), the reading of the two types of a
// two-fluid stream, and the guarded change of its flash mode.

#include "velta/persistency/Object.h"
#include "velta/persistency/String.h"

#include <functional>
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

// The flash-mode change of the two-fluid streams: fm (0: the stored mode)
// is checked, stored in flashoption and handed to apply; when apply refuses
// it (throws), the previous mode is put back before the error goes on, so a
// refused mode never stays in the stored case.
void changeFlashMode(String &flashoption, int fm, const char *function,
                     const std::function<void(int)> &apply);
