#ifndef COGNEXA_TOOLS_POSTFIX_LISTING_CLASS_H
#define COGNEXA_TOOLS_POSTFIX_LISTING_CLASS_H

#include <string>
#include <vector>

struct PerceptionParseNodeStruct;

// The postfix program an equation text compiles to, one step a line ("token Unit.Speed",
// "constant 2", "multiply"), in the order the equation runs them: operands before their
// operator, a token's bound values before the token.
class PostfixListingClass {
public:
    // Empty when the text does not parse.
    static std::vector<std::string> Steps_Of(const std::string& text);

private:
    explicit PostfixListingClass(std::vector<std::string>& steps) : Steps(steps) {}

    void List(const PerceptionParseNodeStruct* node);
    void List_Token(const PerceptionParseNodeStruct* node);
    void List_Chain(const PerceptionParseNodeStruct* node);
    void Gather_Path(const PerceptionParseNodeStruct* node, std::string& path, std::vector<std::string>& bound);

    std::vector<std::string>& Steps;
};

#endif
