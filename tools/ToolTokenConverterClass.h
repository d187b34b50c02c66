#ifndef COGNEXA_TOOLS_TOOL_TOKEN_CONVERTER_CLASS_H
#define COGNEXA_TOOLS_TOOL_TOKEN_CONVERTER_CLASS_H

#include <cognexa/DynamicEnumConversionClass.h>
#include <cognexa/PerceptionTokenType.h>

#include <map>
#include <string>
#include <vector>

// Token names to tokens for the tool. The library hands names over with the blanks that
// follow them ("Unit.Speed + 1" asks for "Speed "), so trailing blanks are ignored, as a game
// does. Open (the default), every name gets a token of its own on first sight; restricted to a
// list of names, any other name is unknown.
class ToolTokenConverterClass : public DynamicEnumConversionClass<PerceptionTokenType> {
public:
    bool String_To_Enum(const std::string& name, PerceptionTokenType& token) const override;

    // From now on only these names (and those added before) are known.
    void Restrict_To(const std::vector<std::string>& names);
    // The token of a name, added even when restricted; -1 for an empty name.
    PerceptionTokenType Token_Of(const std::string& name);
    // The name of a token, or "" for one never handed out.
    const std::string& Name_Of(PerceptionTokenType token) const;

private:
    PerceptionTokenType Add(const std::string& name) const;

    bool Restricted = false;
    mutable std::map<std::string, PerceptionTokenType> Tokens;
    mutable std::vector<std::string> Names;
};

// The name without trailing whitespace.
std::string Trim_Trailing_Blanks(const std::string& name);

#endif
