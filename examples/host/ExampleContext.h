#ifndef COGNEXA_EXAMPLE_CONTEXT_H
#define COGNEXA_EXAMPLE_CONTEXT_H

#include <cognexa/PerceptionTokenType.h>

#include <map>
#include <string>
#include <utility>
#include <vector>

// The library treats the context as opaque; the host defines it. Here: what one unit knows about
// itself, the enemy it faces, its player and the game.
class PerceptionContextClass {
public:
    void Set(PerceptionTokenType subject, PerceptionTokenType attribute, float value)
    {
        Values[{subject, attribute}] = value;
    }

    // Plain values by (subject, attribute).
    std::map<std::pair<PerceptionTokenType, PerceptionTokenType>, float> Values;
    // Unit-type ids each subject owns, asked for with Units_Of_Type{Type = UnitTypes[...]}.
    std::map<PerceptionTokenType, std::vector<unsigned int>> Unit_Types;
    // Upgrades each subject owns, upper case (string literals arrive upper-cased).
    std::map<PerceptionTokenType, std::vector<std::string>> Upgrades;
    // Subject substitutions made by function-call bindings ("Threat{Enemy = Player}").
    std::map<PerceptionTokenType, PerceptionTokenType> Aliases;
};

// A context with example values.
PerceptionContextClass Make_Example_Context();

#endif
