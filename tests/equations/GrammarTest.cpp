#include "equations/PerceptionFunctionGrammarClass.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// kind"text"(children...), text only where the node has one.
std::string Render(const PerceptionParseNodeStruct* node)
{
    std::string out = std::to_string(node->Kind);
    if (node->Length != 0) {
        out += '"' + node->Copy_Text() + '"';
    }
    if (node->First_Child != nullptr) {
        out += '(';
        for (const PerceptionParseNodeStruct* child = node->First_Child; child != nullptr; child = child->Next_Sibling) {
            out += Render(child);
            if (child->Next_Sibling != nullptr) {
                out += ',';
            }
        }
        out += ')';
    }
    return out;
}

// The rendered tree, or "rejected".
std::string Parse(const std::string& text)
{
    PerceptionParseTreeClass tree;
    const PerceptionParseNodeStruct* root = PerceptionFunctionGrammarClass().Parse(text.data(), text.size(), tree);
    return root != nullptr ? Render(root) : "rejected";
}

struct ShapeCase {
    const char* Name;
    const char* Text;
    const char* Tree;
};

void PrintTo(const ShapeCase& test_case, std::ostream* out)
{
    *out << test_case.Name;
}

class TreeShapeTest : public testing::TestWithParam<ShapeCase> {};

TEST_P(TreeShapeTest, YieldsKindsChildOrderAndLeafTexts)
{
    EXPECT_EQ(Parse(GetParam().Text), GetParam().Tree) << "text: " << GetParam().Text;
}

const ShapeCase SHAPES[] = {
    {"NumberIsALeaf", "5", R"~(5"5")~"},
    {"ParenthesesLeaveNoNode", "(a.b)", R"~(6"."(7"a",7"b"))~"},
    {"SubtractionAssociatesLeft", "8 - 2 - 1", R"~(2"- "(2"- "(5"8",5"2"),5"1"))~"},
    {"MinusBeforeDigitAfterOperandSubtracts", "2 -3", R"~(2"-"(5"2",5"3"))~"},
    {"MinusAfterOperatorIsNegativeLiteral", "2 * -3", R"~(3"* "(5"2",5"-3"))~"},
    {"MinusBlankDigitIsNegation", "- 3", R"~(4"- "(5"3"))~"},
    {"MinusDigitIsLiteral", "-5", R"~(5"-5")~"},
    {"NegationOfParentheses", "-(5)", R"~(4"-"(5"5"))~"},
    {"NegationOfToken", "-a.x", R"~(4"-"(6"."(7"a",7"x")))~"},
    {"LessEqualIsOneUnit", "1 <= 2", R"~(1"<="(5"1",5"2"))~"},
    {"ComparisonsChainLeft", "1 < 2 < 3", R"~(1"< "(1"< "(5"1",5"2"),5"3"))~"},
    {"PrecedenceOfProductOverSum", "1 + 2 * 3", R"~(2"+ "(5"1",3"* "(5"2",5"3")))~"},
    {"ParenthesesOverridePrecedence", "(1 + 2) * 3", R"~(3"* "(2"+ "(5"1",5"2"),5"3"))~"},
    {"RandomOperatorIsMultiplicative", "1 # 2", R"~(3"# "(5"1",5"2"))~"},
    {"NameWithoutTrailingBlank", "Unit.Speed+1", R"~(2"+"(6"."(7"Unit",7"Speed"),5"1"))~"},
    {"NameKeepsTrailingBlank", "Unit.Speed + 1", R"~(2"+ "(6"."(7"Unit",7"Speed "),5"1"))~"},
    {"NameKeepsInnerBlank", "a.x y", R"~(6"."(7"a",7"x y"))~"},
    {"SurroundingLineBreaks", " \n x.y \n", "6\".\"(7\"x\",7\"y \n\")"},
    {"DotsNestLeft", "A.B.C", R"~(6"."(6"."(7"A",7"B"),7"C"))~"},
    {"BindingsAreLastChildOfTopDot", "A.B.C{P=1}", R"~(6"."(6"."(7"A",7"B"),7"C",8"="(7"P",5"1")))~"},
    {"SeveralBindingsAreGrouped", "a.b{P = 1, Q = 2}",
     R"~(6"."(7"a",7"b",9(8"= "(7"P ",5"1"),8"= "(7"Q ",5"2"))))~"},
    {"StringLiteralBinding", R"~(a.b{P = "x y"})~", R"~(6"."(7"a",7"b",8"= "(7"P ",12""x y"")))~"},
    {"EmptyStringLiteral", R"~(a.b{P=""})~", R"~(6"."(7"a",7"b",8"="(7"P",12"""")))~"},
    {"BoundValueIsAnExpression", "a.b{P=a.b{Q=1}+1}",
     R"~(6"."(7"a",7"b",8"="(7"P",2"+"(6"."(7"a",7"b",8"="(7"Q",5"1")),5"1"))))~"},
    {"ArgumentsNestRight", "clamp(x.y, 0, 1)",
     R"~(13"("(7"clamp",14", "(6"."(7"x",7"y"),14", "(5"0",5"1")),0")"))~"},
    {"CallWithoutArguments", "f()", R"~(13"("(7"f",0")"))~"},
    {"CallNameKeepsBlank", "clamp (1)", R"~(13"("(7"clamp ",5"1",0")"))~"},
    {"ObjectReferenceDropsBrackets", "Db[Some Object]", R"~(10(7"Db",11"Some Object"))~"},
    {"ObjectNameMayHoldBar", "Db[a|b_1]", R"~(10(7"Db",11"a|b_1"))~"},
    {"NumberForms", "5. + .5 + -2.5e-3 + +7 + 1E+5",
     R"~(2"+ "(2"+ "(2"+ "(2"+ "(5"5.",5".5"),5"-2.5e-3"),5"+7"),5"1E+5"))~"},
};

INSTANTIATE_TEST_SUITE_P(Grammar, TreeShapeTest, testing::ValuesIn(SHAPES),
                         [](const testing::TestParamInfo<ShapeCase>& info) { return info.param.Name; });

TEST(GrammarRejects, TextsOutsideTheLanguage)
{
    const char* const rejected[] = {
        "",          "  \t\n",       "1 +",         "1 2",          "3 4",         "1 < = 2",    "1 = 2",
        "Speed",     "Speed{P = 1}", "a.f(1)",      "a.x y(",       ";",           "1 && 2",     "(1",
        "1)",        "Db[x",         "Db[1x]",      "a.b{}",        "a.b{P=1",     "a.b{P}",     "a.b{P=1,}",
        "a.b{P=\"x-y\"}", "\"ab\"",  "1e",          "2.5e+",        ".",           "+ 5",        "a.",
        "Unit.5",    "f(1,)",        "f(,1)",       "!1",           "1 + +",       "a.b c.",     "5.x",
    };
    for (const char* text : rejected) {
        EXPECT_EQ(Parse(text), "rejected") << "text: \"" << text << '"';
    }
}

TEST(GrammarRejects, NestingBeyondTheLimitWithoutExhaustingTheStack)
{
    const int limit = PerceptionFunctionGrammarClass::MAX_NESTING;
    // n parentheses around a number nest n + 1 operands.
    const auto nested = [](int depth) { return std::string(depth, '(') + "1" + std::string(depth, ')'); };
    EXPECT_EQ(Parse(nested(limit - 1)), R"~(5"1")~");
    EXPECT_EQ(Parse(nested(limit)), "rejected");
    EXPECT_EQ(Parse(nested(100000)), "rejected");
    EXPECT_EQ(Parse(std::string(100000, '-') + "5"), "rejected");
    EXPECT_EQ(Parse(std::string(100000, '(')), "rejected");
    EXPECT_EQ(Parse(std::string(50000, 'a') + std::string(50000, '(')), "rejected");
}

}  // namespace
