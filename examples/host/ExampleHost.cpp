#include "ExampleHost.h"

#include "ExampleTokens.h"
#include "UnitTypeDatabaseClass.h"

#include <algorithm>
#include <cstdio>
#include <random>

namespace {

ExampleTokenConverterClass TheTokenConverter;
UnitTypeDatabaseClass TheUnitTypes;
std::mt19937 TheRandomSource(20260101);
bool TheHostFlag = false;

PerceptionTokenType Resolve_Subject(const PerceptionContextClass& context, PerceptionTokenType subject)
{
    const auto alias = context.Aliases.find(subject);
    return alias != context.Aliases.end() ? alias->second : subject;
}

// Units_Of_Type{Type = ...}: the Type value is a unit-type id carried in the float's bits.
bool Count_Units_Of_Type(const PerceptionContextClass& context, PerceptionTokenType subject,
                         const PerceptionEvaluationStateClass& state, float& result)
{
    float type_value;
    if (!state.Find_Value(TOKEN_UNIT_TYPE, type_value)) {
        return false;
    }
    const unsigned int type = PerceptionEvaluationStateClass::Value_Bits(type_value);
    const auto owned = context.Unit_Types.find(subject);
    result = owned == context.Unit_Types.end()
                 ? 0.0f
                 : static_cast<float>(std::count(owned->second.begin(), owned->second.end(), type));
    return true;
}

// Has_Upgrade{Upgrade = "name"}: the value is a string handle.
bool Has_Upgrade(const PerceptionContextClass& context, PerceptionTokenType subject,
                 const PerceptionEvaluationStateClass& state, float& result)
{
    float upgrade_value;
    if (!state.Find_Value(TOKEN_UPGRADE, upgrade_value)) {
        return false;
    }
    const char* upgrade = Resolve_Perception_String(PerceptionEvaluationStateClass::Value_Bits(upgrade_value));
    if (upgrade == nullptr) {
        return false;
    }
    const auto owned = context.Upgrades.find(subject);
    result = owned != context.Upgrades.end() &&
                     std::find(owned->second.begin(), owned->second.end(), upgrade) != owned->second.end()
                 ? 1.0f
                 : 0.0f;
    return true;
}

bool Evaluate_Token(const PerceptionContextClass* context, PerceptionEvaluationStateClass& state, float& result)
{
    const std::vector<PerceptionTokenType>& path = state.Get_Token_Path();
    if (path.size() != 2) {
        return false;
    }
    const PerceptionTokenType subject = Resolve_Subject(*context, path[0]);
    switch (path[1]) {
    case TOKEN_UNITS_OF_TYPE:
        return Count_Units_Of_Type(*context, subject, state, result);
    case TOKEN_HAS_UPGRADE:
        return Has_Upgrade(*context, subject, state, result);
    default: {
        const auto value = context->Values.find({subject, path[1]});
        if (value == context->Values.end()) {
            return false;
        }
        result = value->second;
        return true;
    }
    }
}

bool Bind_Token(PerceptionContextClass* context, PerceptionTokenType left, PerceptionTokenType right)
{
    context->Aliases[left] = right;
    return true;
}

void Notify_Evaluation(const PerceptionContextClass&, const PerceptionFunctionClass&) {}

float Random_Float(float low, float high)
{
    return std::uniform_real_distribution<float>(std::min(low, high), std::max(low, high))(TheRandomSource);
}

void* Allocate(unsigned int size)
{
    return ::operator new(size);
}

bool Skip_No_File(const std::string&)
{
    return false;
}

void File_Loaded(const std::string& name)
{
    std::printf("loaded %s\n", name.c_str());
}

const DatabaseUIntConversionClass* Find_Database(const std::string& name)
{
    return DatabaseUIntConversionClass::Find_Converter(Trim_Trailing_Blanks(name));
}

void Print_Notice(const char* caption, const char* text)
{
    std::printf("notice: %s: %s\n", caption, text);
}

}  // namespace

void Install_Example_Host(MegaFileManagerClass* file_manager)
{
    Init_Perception_DLL(&TheTokenConverter, &Bind_Token, &Evaluate_Token, &Notify_Evaluation, &Random_Float, &Allocate,
                        &Skip_No_File, &File_Loaded, &Find_Database, &PerceptionEvaluationStateClass::Set_Value,
                        &PerceptionEvaluationStateClass::Reset_Values, file_manager, &TheHostFlag);
    Set_Notice_Handler(&Print_Notice);
}

PerceptionContextClass Make_Example_Context()
{
    PerceptionContextClass context;
    context.Set(TOKEN_UNIT, TOKEN_SPEED, 6);
    context.Set(TOKEN_UNIT, TOKEN_HEALTH, 0.5f);
    context.Set(TOKEN_UNIT, TOKEN_MAX_HEALTH, 1);
    context.Set(TOKEN_UNIT, TOKEN_ATTACK, 4);
    context.Set(TOKEN_ENEMY, TOKEN_SPEED, 5);
    context.Set(TOKEN_ENEMY, TOKEN_COUNT, 3);
    context.Set(TOKEN_ENEMY, TOKEN_STRENGTH, 7);
    context.Set(TOKEN_ENEMY, TOKEN_DISTANCE, 120);
    context.Set(TOKEN_PLAYER, TOKEN_CREDITS, 2500);
    context.Set(TOKEN_GAME, TOKEN_DIFFICULTY, 2);
    context.Unit_Types[TOKEN_ENEMY] = {UnitTypeDatabaseClass::HEAVY_TANK, UnitTypeDatabaseClass::HEAVY_TANK,
                                       UnitTypeDatabaseClass::SCOUT_BIKE};
    context.Unit_Types[TOKEN_PLAYER] = {UnitTypeDatabaseClass::INFANTRY, UnitTypeDatabaseClass::HEAVY_TANK};
    context.Upgrades[TOKEN_PLAYER] = {"ARMOR_PLATING"};
    return context;
}
