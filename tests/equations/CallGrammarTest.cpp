#include "registry/PerceptionFunctionCallGrammarClass.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// "name|left=right|..." with every text as it was read, or "rejected".
std::string Parse(const std::string& text)
{
    PerceptionFunctionCallGrammarClass::CallTextStruct call;
    if (!PerceptionFunctionCallGrammarClass::Parse(text, call)) {
        return "rejected";
    }
    std::string out = "[" + call.Function_Name + "]";
    for (const auto& binding : call.Bindings) {
        out += "[" + binding.Left + "=" + binding.Right + "]";
    }
    return out;
}

struct CallCase {
    const char* Name;
    std::string Text;
    const char* Expected;
};

void PrintTo(const CallCase& test_case, std::ostream* out)
{
    *out << test_case.Name;
}

class CallGrammarTest : public testing::TestWithParam<CallCase> {};

TEST_P(CallGrammarTest, ReadsNameAndBindingsWithTheirBlanks)
{
    EXPECT_EQ(Parse(GetParam().Text), GetParam().Expected) << GetParam().Text;
}

const CallCase CALLS[] = {
    {"EmptyBindingList", "Name{}", "[Name]"},
    {"BindingsInOrder", "name{a=b,c=d}", "[name][a=b][c=d]"},
    {"DuplicatesKept", "n{a=b,a=b}", "[n][a=b][a=b]"},
    {"BlankBeforeBraceStaysInName", "name {a=b}", "[name ][a=b]"},
    {"BlankBeforeEqualsStaysInTokenName", "n{a =b}", "[n][a =b]"},
    {"BlankInsideName", "Na me{}", "[Na me]"},
    {"LeadingAndTrailingBlanks", " \tName{ a = b , c=d }\r\n", "[Name][a =b ][c=d ]"},
    {"DigitsAndUnderscores", "F_1{t_2=x9}", "[F_1][t_2=x9]"},
    {"EndsAtFirstNul", std::string("Name{}\0 junk", 12), "[Name]"},
    {"NoBraces", "Name", "rejected"},
    {"TrailingComma", "Name{a=b,}", "rejected"},
    {"MissingComma", "Name{a=b c=d}", "rejected"},
    {"MissingEquals", "Name{a}", "rejected"},
    {"LeadingDigit", "1Name{}", "rejected"},
    {"LeadingUnderscore", "_Name{}", "rejected"},
    {"TextAfterBrace", "Name{} x", "rejected"},
    {"UnclosedBrace", "Name{a=b", "rejected"},
    {"Empty", "", "rejected"},
    {"HighBytesAreNotLetters", "N\xc3\xa4me{}", "rejected"},
};

INSTANTIATE_TEST_SUITE_P(Calls, CallGrammarTest, testing::ValuesIn(CALLS),
                         [](const testing::TestParamInfo<CallCase>& info) { return info.param.Name; });

}  // namespace
