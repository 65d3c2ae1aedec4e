#pragma once
// The process-wide registry of flow-pattern creators by type name (such as
// "FlowPatternUp<2,1>"). It is created empty by the first BannerInitializer
// (velta/utility/Banner.h) and destroyed by the last one; the modelling core
// defines FlowPattern and registers its patterns here during start-up.

#include <map>
#include <string>

class FlowPattern;

// Returns a newly allocated pattern, owned by the caller.
using FlowPatternCreator = FlowPattern *(*)();

extern std::map<std::string, FlowPatternCreator> *flowPatternRegistry;
