#include "ExampleTokens.h"

namespace {

const char* const TOKEN_NAMES[TOKEN_COUNT_OF_TOKENS] = {
    "Unit",     "Enemy",      "Player",        "Game",        "Count", "Strength", "Health",  "Max_Health", "Attack",
    "Speed",    "Distance",   "Credits",       "Difficulty",  "Units_Of_Type",   "Has_Upgrade", "Type", "Upgrade",
};

}  // namespace

std::string Trim_Trailing_Blanks(const std::string& name)
{
    const std::size_t end = name.find_last_not_of(" \t\r\n\v\f");
    return end == std::string::npos ? std::string() : name.substr(0, end + 1);
}

bool ExampleTokenConverterClass::String_To_Enum(const std::string& name, PerceptionTokenType& token) const
{
    const std::string trimmed = Trim_Trailing_Blanks(name);
    for (int index = 0; index < TOKEN_COUNT_OF_TOKENS; ++index) {
        if (trimmed == TOKEN_NAMES[index]) {
            token = index;
            return true;
        }
    }
    return false;
}

const char* ExampleTokenConverterClass::Token_Name(PerceptionTokenType token)
{
    return token >= 0 && token < TOKEN_COUNT_OF_TOKENS ? TOKEN_NAMES[token] : "?";
}
