#include "tools/ToolTokenConverterClass.h"

#include <cctype>

std::string Trim_Trailing_Blanks(const std::string& name)
{
    std::size_t length = name.size();
    while (length > 0 && std::isspace(static_cast<unsigned char>(name[length - 1]))) {
        --length;
    }
    return name.substr(0, length);
}

bool ToolTokenConverterClass::String_To_Enum(const std::string& name, PerceptionTokenType& token) const
{
    const std::string key = Trim_Trailing_Blanks(name);
    const auto found = Tokens.find(key);
    if (found != Tokens.end()) {
        token = found->second;
        return true;
    }
    if (Restricted || key.empty()) {
        return false;
    }
    token = Add(key);
    return true;
}

void ToolTokenConverterClass::Restrict_To(const std::vector<std::string>& names)
{
    Restricted = true;
    for (const std::string& name : names) {
        Token_Of(name);
    }
}

PerceptionTokenType ToolTokenConverterClass::Token_Of(const std::string& name)
{
    const std::string key = Trim_Trailing_Blanks(name);
    if (key.empty()) {
        return -1;
    }
    const auto found = Tokens.find(key);
    return found != Tokens.end() ? found->second : Add(key);
}

const std::string& ToolTokenConverterClass::Name_Of(PerceptionTokenType token) const
{
    static const std::string unknown;
    return token >= 0 && static_cast<std::size_t>(token) < Names.size() ? Names[token] : unknown;
}

PerceptionTokenType ToolTokenConverterClass::Add(const std::string& name) const
{
    const PerceptionTokenType token = static_cast<PerceptionTokenType>(Names.size());
    Names.push_back(name);
    Tokens.emplace(name, token);
    return token;
}
