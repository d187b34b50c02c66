#include "AllocationCounter.h"
#include "TestHost.h"
#include "equations/ConstantNodeClass.h"

#include <cognexa/PerceptionEvaluationStateClass.h>
#include <cognexa/PerceptionStringHandle.h>

#include <gtest/gtest.h>

#include <cfenv>
#include <clocale>
#include <cstdlib>
#include <string>

namespace {

struct ValueCase {
    const char* Name;
    const char* Text;
    float Value;
};

void PrintTo(const ValueCase& test_case, std::ostream* out)
{
    *out << test_case.Name;
}

class EquationValueTest : public testing::TestWithParam<ValueCase> {
protected:
    void SetUp() override { TestHost::Install(); }
};

TEST_P(EquationValueTest, BuildsAndEvaluatesTo)
{
    float result = -12345;
    ASSERT_TRUE(TestHost::Evaluate_Text(GetParam().Text, result)) << GetParam().Text;
    EXPECT_EQ(result, GetParam().Value) << GetParam().Text;
    EXPECT_EQ(TestHost::Record().Notice_Count, 0);
}

const ValueCase VALUES[] = {
    {"ProductBeforeSum", "1 + 2 * 3", 7},
    {"Parentheses", "(1 + 2) * 3", 9},
    {"SubtractionLeftToRight", "10 - 4 - 3", 3},
    {"ComparisonTrue", "2 < 3", 1},
    {"ComparisonsChainOnResults", "3 > 2 == 1", 1},
    {"NegationOfNegativeLiteral", "- -5", 5},
    {"ClampHigh", "clamp(7, 0, 5)", 5},
    {"ClampNameIgnoresCase", "CLAMP(7, 0, 5)", 5},
    {"ZeroDividedByZero", "0 / 0", 0},
    {"Token", "Unit.Speed* 2 + clamp(Unit.Health, 0, 1)", 8.25f},
    {"TokenNameWithoutBlank", "Unit.Speed+1", 5},
    {"RandomBetweenOperands", "2 # 4", 3},
    {"BoundValueBeforeToken", "Unit.Speed{P=1, Q=2 * 3} - 4", 0},
};

INSTANTIATE_TEST_SUITE_P(Equations, EquationValueTest, testing::ValuesIn(VALUES),
                         [](const testing::TestParamInfo<ValueCase>& info) { return info.param.Name; });

TEST(EquationText, EndsAtItsFirstNul)
{
    TestHost::Install();
    float result = 0;
    ASSERT_TRUE(TestHost::Evaluate_Text(std::string("1 + 2\0 garbage", 14), result));
    EXPECT_EQ(result, 3);
}

struct BuildFailureCase {
    const char* Name;
    const char* Text;
};

void PrintTo(const BuildFailureCase& test_case, std::ostream* out)
{
    *out << test_case.Name;
}

class BuildFailureTest : public testing::TestWithParam<BuildFailureCase> {
protected:
    void SetUp() override { TestHost::Install(); }
};

TEST_P(BuildFailureTest, ReturnsNullAndReports)
{
    EXPECT_EQ(TestHost::Build(GetParam().Text), nullptr);
    EXPECT_EQ(TestHost::Record().Notice_Count, 1);
}

const BuildFailureCase BUILD_FAILURES[] = {
    {"EmptyText", ""},
    {"MissingOperand", "1 +"},
    {"TwoNumbers", "1 2"},
    {"UnknownFunction", "max(1, 2)"},
    {"BlankBeforeCallParenthesis", "clamp (7, 0, 5)"},
    {"UnknownToken", "Unit.Mana"},
    {"TokenNameWithBlankIsUnknownToThisHost", "Unit.Speed + 1"},
    {"UnknownBoundParameter", "Unit.Speed{Z = 1}"},
    {"BoundValueUnknownToken", "Unit.Speed{P = Unit.Mana}"},
    {"UnknownDatabase", "Weapons[Tank]"},
    {"UnknownObject", "UnitType[Plane]"},
};

INSTANTIATE_TEST_SUITE_P(Equations, BuildFailureTest, testing::ValuesIn(BUILD_FAILURES),
                         [](const testing::TestParamInfo<BuildFailureCase>& info) { return info.param.Name; });

class EquationTest : public testing::Test {
protected:
    void SetUp() override { record = &TestHost::Install(); }
    TestHost::RecordStruct* record = nullptr;
    PerceptionContextClass context;
};

TEST_F(EquationTest, EvaluationFailuresLeaveResultUntouched)
{
    const char* const failing[] = {"5 / 0", "clamp(1, 2)", "clamp(1, 3, 2)", "Unit.Tag", "clamp(1, 2, 3, 4)"};
    for (const char* text : failing) {
        const auto equation = TestHost::Build(text);
        ASSERT_NE(equation, nullptr) << text;
        float result = 42;
        EXPECT_FALSE(equation->Evaluate(context, result)) << text;
        EXPECT_EQ(result, 42) << text;
    }
}

TEST_F(EquationTest, NotifiesOncePerEvaluationAlsoWhenItFails)
{
    const auto good = TestHost::Build("1");
    const auto bad = TestHost::Build("clamp(1, 2)");
    float result;
    good->Evaluate(context, result);
    bad->Evaluate(context, result);
    EXPECT_EQ(record->Notify_Count, 2);
}

TEST_F(EquationTest, RebuildKeepsBodyOnSyntaxErrorAndEmptiesItOnBuildError)
{
    const auto equation = TestHost::Build("1 + 1", "Keep");
    float result = 0;
    EXPECT_FALSE(equation->Rebuild("1 +"));
    ASSERT_TRUE(equation->Evaluate(context, result));
    EXPECT_EQ(result, 2);

    EXPECT_TRUE(equation->Rebuild("Unit.Speed"));
    ASSERT_TRUE(equation->Evaluate(context, result));
    EXPECT_EQ(result, 4);

    EXPECT_FALSE(equation->Rebuild("Unit.Mana"));
    EXPECT_FALSE(equation->Evaluate(context, result));
    EXPECT_EQ(equation->Get_Name(), "Keep");
}

// Built nodes share storage the equation owns: every way a body goes away must still release
// what its nodes hold (string handles here; the sanitizer build checks the memory).
TEST_F(EquationTest, DroppedBodiesReleaseTheirStrings)
{
    const struct {
        const char* Name;
        void (*Drop)(std::unique_ptr<PerceptionFunctionClass>& equation);
    } drops[] = {
        {"destroyed", [](std::unique_ptr<PerceptionFunctionClass>& equation) { equation.reset(); }},
        {"rebuilt", [](std::unique_ptr<PerceptionFunctionClass>& equation) { EXPECT_TRUE(equation->Rebuild("1")); }},
        {"emptied", [](std::unique_ptr<PerceptionFunctionClass>& equation) { EXPECT_FALSE(equation->Rebuild("Unit.Mana")); }},
    };
    for (const auto& drop : drops) {
        std::unique_ptr<PerceptionFunctionClass> literal = TestHost::Build("Unit.Speed{P=\"DROPPED\"}");
        ASSERT_NE(literal, nullptr);
        float result = 0;
        record->Token_Calls.clear();
        ASSERT_TRUE(literal->Evaluate(context, result));
        ASSERT_EQ(record->Token_Calls.size(), 1u);
        ASSERT_EQ(record->Token_Calls[0].Values.size(), 1u);
        const unsigned int handle = TestHost::Bits(record->Token_Calls[0].Values[0].second);
        ASSERT_STREQ(Resolve_Perception_String(handle), "DROPPED");
        // A node appended by hand is freed beside the built ones.
        literal->Add_Node(ConstantNodeClass::Make_Number(1));
        drop.Drop(literal);
        EXPECT_EQ(Resolve_Perception_String(handle), nullptr) << drop.Name;
    }
}

TEST_F(EquationTest, TokenStringIsSharedAndOverwritten)
{
    const auto speed = TestHost::Build("1", "Speed");
    const auto range = TestHost::Build("1", "Range");
    const std::string& first = speed->Get_Perception_Token_String();
    EXPECT_EQ(first, "Function_Speed");
    EXPECT_EQ(&range->Get_Perception_Token_String(), &first);
    EXPECT_EQ(first, "Function_Range");
}

TEST_F(EquationTest, TokenNamesReachTheConverterUntrimmedInPathOrder)
{
    EXPECT_EQ(TestHost::Build("a.b.Unit{P = 1}"), nullptr);
    EXPECT_EQ(record->Converted_Names, (std::vector<std::string>{"a", "b", "Unit", "P "}));
}

TEST_F(EquationTest, ObjectReferenceReachesHostBitForBit)
{
    record->Token_Values[{TestHost::UNIT, TestHost::TAG}] = 1;
    for (const unsigned int id : {7u, 0x7FC00001u, 0xFFFFFFFFu}) {
        const char* name = id == 7 ? "Tank" : id == 0xFFFFFFFFu ? "All" : "Nan";
        const auto equation = TestHost::Build(std::string("Unit.Tag{P=UnitType[") + name + "]}");
        ASSERT_NE(equation, nullptr);
        float result;
        record->Token_Calls.clear();
        ASSERT_TRUE(equation->Evaluate(context, result));
        EXPECT_EQ(TestHost::Bits(record->Token_Calls.at(0).Values.at(0).second), id);
    }
    EXPECT_EQ(record->Database_Requests.back(), "UnitType");
}

TEST_F(EquationTest, StringLiteralReachesHostAsUpperCaseHandle)
{
    record->Token_Values[{TestHost::UNIT, TestHost::TAG}] = 1;
    auto equation = TestHost::Build(R"(Unit.Tag{P="ab cd",Q=""})");
    ASSERT_NE(equation, nullptr);
    float result;
    ASSERT_TRUE(equation->Evaluate(context, result));
    const auto& values = record->Token_Calls.at(0).Values;
    const unsigned int text_handle = TestHost::Bits(values.at(1).second);
    ASSERT_NE(Resolve_Perception_String(text_handle), nullptr);
    EXPECT_STREQ(Resolve_Perception_String(text_handle), "AB CD");
    ASSERT_NE(Resolve_Perception_String(TestHost::Bits(values.at(0).second)), nullptr);
    EXPECT_STREQ(Resolve_Perception_String(TestHost::Bits(values.at(0).second)), "");
    equation.reset();
    EXPECT_EQ(Resolve_Perception_String(text_handle), nullptr);
}

TEST_F(EquationTest, TokenCallbackMayEvaluateAnotherEquation)
{
    const auto inner = TestHost::Build("10 - 3 * (1 + 1)");
    record->Inner_Equation = inner.get();
    const auto outer = TestHost::Build("1 + 2 * Unit.Inner+Unit.Inner");
    ASSERT_NE(outer, nullptr);
    float result = 0;
    ASSERT_TRUE(outer->Evaluate(context, result));
    EXPECT_EQ(result, 13);
}

TEST_F(EquationTest, WarmEvaluationAllocatesNothing)
{
    const auto equation = TestHost::Build("Unit.Speed{P=1, Q=2} * clamp(Unit.Health, 0, 1) + 1 + 2 + 3");
    ASSERT_NE(equation, nullptr);
    record->Record_Token_Calls = false;
    float result;
    ASSERT_TRUE(equation->Evaluate(context, result));
    AllocationCounter::Start();
    const bool evaluated = equation->Evaluate(context, result);
    const int allocations = AllocationCounter::Stop();
    EXPECT_TRUE(evaluated);
    EXPECT_EQ(allocations, 0);
}

TEST_F(EquationTest, EvaluationHonoursTheThreadRoundingMode)
{
    const auto third = TestHost::Build("1 / 3");
    const int saved = std::fegetround();
    float toward_zero = 0;
    float nearest = 0;
    std::fesetround(FE_TOWARDZERO);
    third->Evaluate(context, toward_zero);
    std::fesetround(FE_TONEAREST);
    third->Evaluate(context, nearest);
    std::fesetround(saved);
    EXPECT_EQ(TestHost::Bits(toward_zero), 0x3EAAAAAAu);
    EXPECT_EQ(TestHost::Bits(nearest), 0x3EAAAAABu);
}

// Short literals take a shorter path than atof; they must give exactly what atof gives, rounded
// to float under the thread's mode, up to the longest literal the shorter path takes and beyond.
TEST_F(EquationTest, NumberLiteralsAreWhatAtofGives)
{
    const char* const LITERALS[] = {"0", "-0", "+7", "16777217", "-16777219", "123456789012345", "1234567890123456",
                                    "99999999999999999999", "0.1", "-2.5", ".3", "5.", "0.000000000000001",
                                    "1234567.12345678", "1234567.123456789", "3.4028236e38", "1e10", "-0.0"};
    const int saved = std::fegetround();
    for (int mode : {FE_TONEAREST, FE_TOWARDZERO, FE_UPWARD, FE_DOWNWARD}) {
        std::fesetround(mode);
        for (const char* literal : LITERALS) {
            float result = 0;
            ASSERT_TRUE(TestHost::Evaluate_Text(literal, result)) << literal;
            EXPECT_EQ(TestHost::Bits(result), TestHost::Bits(static_cast<float>(std::atof(literal)))) << literal << " mode " << mode;
        }
    }
    std::fesetround(saved);
}

TEST_F(EquationTest, NumberLiteralsIgnoreTheNumericLocale)
{
    // Only meaningful where a comma locale is installed; harmless elsewhere.
    const std::string saved = std::setlocale(LC_NUMERIC, nullptr);
    const bool comma_locale = std::setlocale(LC_NUMERIC, "de_DE.UTF-8") != nullptr;
    float result = 0;
    const bool evaluated = TestHost::Evaluate_Text("1.5 * 2", result);
    std::setlocale(LC_NUMERIC, saved.c_str());
    EXPECT_TRUE(evaluated);
    EXPECT_EQ(result, 3) << (comma_locale ? "with" : "without") << " a comma locale";
}

// Shapes whose depth grows with the length of the text: built, evaluated and destroyed
// without deepening the stack.
TEST_F(EquationTest, LongFlatChainsBuildEvaluateAndDestroy)
{
    std::string sum = "1";
    std::string path = "a.b";
    std::string arguments = "clamp(1";
    std::string bindings = "a.b{P=1";
    for (int index = 1; index < 1000000; ++index) {
        sum += "+1";
    }
    for (int index = 1; index < 100000; ++index) {
        path += ".b";
        arguments += ",1";
        bindings += ",P=1";
    }
    arguments += ")";
    bindings += "}";
    float result = 0;
    ASSERT_TRUE(TestHost::Evaluate_Text(sum, result));
    EXPECT_EQ(result, 1000000);
    EXPECT_NE(TestHost::Build(path), nullptr);
    EXPECT_NE(TestHost::Build(arguments), nullptr);
    EXPECT_NE(TestHost::Build(bindings), nullptr);
}

TEST_F(EquationTest, DeepNestingIsRejectedWithOneNotice)
{
    EXPECT_EQ(TestHost::Build(std::string(100000, '(') + "1" + std::string(100000, ')')), nullptr);
    EXPECT_EQ(TestHost::Build(std::string(100000, '-') + "1"), nullptr);
    EXPECT_EQ(TestHost::Build("a.b{P=" + std::string(100000, '(') + "1"), nullptr);
    EXPECT_EQ(record->Notice_Count, 1);
}

}  // namespace
