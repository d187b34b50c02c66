#ifndef COGNEXA_EXAMPLE_TOKENS_H
#define COGNEXA_EXAMPLE_TOKENS_H

#include <cognexa/DynamicEnumConversionClass.h>
#include <cognexa/PerceptionTokenType.h>

#include <string>

// The example game's perception tokens. A token expression names a subject and what to ask
// about it ("Unit.Speed", "Enemy.Units_Of_Type{Type = UnitTypes[Heavy_Tank]}").
enum ExampleTokenType : PerceptionTokenType {
    // Subjects
    TOKEN_UNIT,
    TOKEN_ENEMY,
    TOKEN_PLAYER,
    TOKEN_GAME,
    // Attributes
    TOKEN_COUNT,
    TOKEN_STRENGTH,
    TOKEN_HEALTH,
    TOKEN_MAX_HEALTH,
    TOKEN_ATTACK,
    TOKEN_SPEED,
    TOKEN_DISTANCE,
    TOKEN_CREDITS,
    TOKEN_DIFFICULTY,
    TOKEN_UNITS_OF_TYPE,
    TOKEN_HAS_UPGRADE,
    // Parameters
    TOKEN_UNIT_TYPE,
    TOKEN_UPGRADE,
    TOKEN_COUNT_OF_TOKENS
};

// Token names to tokens. The library hands names over exactly as written, so "Unit.Speed + 1"
// asks for "Speed " with its blank; this converter ignores trailing blanks.
class ExampleTokenConverterClass : public DynamicEnumConversionClass<PerceptionTokenType> {
public:
    bool String_To_Enum(const std::string& name, PerceptionTokenType& token) const override;
    static const char* Token_Name(PerceptionTokenType token);
};

// The name without trailing blanks.
std::string Trim_Trailing_Blanks(const std::string& name);

#endif
