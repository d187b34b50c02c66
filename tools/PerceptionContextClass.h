#ifndef COGNEXA_TOOLS_PERCEPTION_CONTEXT_CLASS_H
#define COGNEXA_TOOLS_PERCEPTION_CONTEXT_CLASS_H

#include <cognexa/PerceptionTokenType.h>

#include <map>
#include <string>

// The tool's context: token values keyed by their dotted path ("Unit.Speed"), given with
// --set, and the aliases that a call's bindings make (token -> token).
class PerceptionContextClass {
public:
    std::map<std::string, float> Values;
    std::map<PerceptionTokenType, PerceptionTokenType> Aliases;
};

#endif
