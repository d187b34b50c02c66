#include "TestHost.h"

#include "equations/ArithmeticNodeClasses.h"
#include "equations/ClampNodeClass.h"
#include "equations/ComparisonNodeClasses.h"
#include "equations/ConstantNodeClass.h"
#include "equations/TokenNodeClass.h"

#include <cognexa/PerceptionStringHandle.h>

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <memory>

namespace {

const float NaN = std::numeric_limits<float>::quiet_NaN();

struct StackCase {
    const char* Name;
    std::function<PerceptionFunctionNodeClass*()> Make;
    std::vector<float> Before;
    bool Succeeds;
    std::vector<float> After;
};

void PrintTo(const StackCase& test_case, std::ostream* out)
{
    *out << test_case.Name;
}

template <typename NodeType>
std::function<PerceptionFunctionNodeClass*()> Make()
{
    return [] { return new NodeType(); };
}

void Expect_Same_Stack(const std::vector<float>& actual, const std::vector<float>& expected)
{
    ASSERT_EQ(actual.size(), expected.size());
    for (std::size_t index = 0; index < actual.size(); ++index) {
        EXPECT_EQ(TestHost::Bits(actual[index]), TestHost::Bits(expected[index])) << "slot " << index;
    }
}

class NodeStackTest : public testing::TestWithParam<StackCase> {
protected:
    void SetUp() override { TestHost::Install(); }
};

TEST_P(NodeStackTest, PopsOperandsAndPushesResultOrFails)
{
    const StackCase& test = GetParam();
    std::unique_ptr<PerceptionFunctionNodeClass> node(test.Make());
    std::vector<float> stack = test.Before;
    PerceptionContextClass context;
    EXPECT_EQ(node->Evaluate(stack, context), test.Succeeds);
    Expect_Same_Stack(stack, test.After);
}

const StackCase STACK_CASES[] = {
    {"ZeroOverZeroIsZero", Make<DivideNodeClass>(), {0, 0}, true, {0}},
    {"NegativeZeroOverZeroIsZero", Make<DivideNodeClass>(), {-0.0f, 0}, true, {0}},
    {"ZeroOverFiveIsZero", Make<DivideNodeClass>(), {0, 5}, true, {0}},
    {"FiveOverZeroPushesZeroAndFails", Make<DivideNodeClass>(), {5, 0}, false, {0}},
    {"DivisionKeepsDeeperValues", Make<DivideNodeClass>(), {9, 6, 3}, true, {9, 2}},
    {"OperandOrderOfSubtraction", Make<SubtractNodeClass>(), {8, 2}, true, {6}},
    {"Negation", Make<NegateNodeClass>(), {1, 3}, true, {1, -3}},
    {"NegationOfEmptyStackFails", Make<NegateNodeClass>(), {}, false, {}},
    {"LessTrue", Make<LessNodeClass>(), {2, 3}, true, {1}},
    {"LessFalse", Make<LessNodeClass>(), {3, 2}, true, {0}},
    {"GreaterEqualOnEqual", Make<GreaterEqualNodeClass>(), {2, 2}, true, {1}},
    {"LessEqualOnGreater", Make<LessEqualNodeClass>(), {3, 2}, true, {0}},
    {"NaNEqualsNothing", Make<EqualNodeClass>(), {NaN, NaN}, true, {0}},
    {"NaNDiffersFromEverything", Make<NotEqualNodeClass>(), {NaN, 1}, true, {1}},
    {"NaNIsNotGreater", Make<GreaterNodeClass>(), {NaN, 1}, true, {0}},
    {"RandomGetsLeftAndRight", Make<RandomNodeClass>(), {2, 4}, true, {3}},
    {"AddOnOneValueLeavesIt", Make<AddNodeClass>(), {7}, false, {7}},
    {"MultiplyOnOneValueLeavesIt", Make<MultiplyNodeClass>(), {7}, false, {7}},
    {"DivideOnOneValueLeavesIt", Make<DivideNodeClass>(), {7}, false, {7}},
    {"RandomOnOneValueLeavesIt", Make<RandomNodeClass>(), {7}, false, {7}},
    {"CompareOnOneValueLeavesIt", Make<EqualNodeClass>(), {7}, false, {7}},
    {"ClampAboveHigh", Make<ClampNodeClass>(), {5, 0, 1}, true, {1}},
    {"ClampBelowLow", Make<ClampNodeClass>(), {-2, 0, 1}, true, {0}},
    {"ClampInside", Make<ClampNodeClass>(), {0.5f, 0, 1}, true, {0.5f}},
    {"ClampToEmptyRange", Make<ClampNodeClass>(), {1, 2, 2}, true, {2}},
    {"ClampWithLowAboveHighFails", Make<ClampNodeClass>(), {1, 3, 2}, false, {1}},
    {"ClampPassesNaN", Make<ClampNodeClass>(), {NaN, 0, 1}, true, {NaN}},
    {"ClampOnTwoValuesLeavesThem", Make<ClampNodeClass>(), {0, 1}, false, {0, 1}},
    {"ObjectIdTravelsBitForBit", [] { return ConstantNodeClass::Make_Bits(0x7F800001u); }, {}, true,
     {TestHost::From_Bits(0x7F800001u)}},
};

INSTANTIATE_TEST_SUITE_P(Nodes, NodeStackTest, testing::ValuesIn(STACK_CASES),
                         [](const testing::TestParamInfo<StackCase>& info) { return info.param.Name; });

class TokenNodeTest : public testing::Test {
protected:
    void SetUp() override
    {
        TestHost::Install();
        node.Token_Path = {TestHost::UNIT, TestHost::SPEED};
    }
    TokenNodeClass node;
    PerceptionContextClass context;
};

TEST_F(TokenNodeTest, LastParameterTakesTheTopValue)
{
    node.Bound_Parameters = {TestHost::P, TestHost::Q};
    std::vector<float> stack{9, 1, 2};
    ASSERT_TRUE(node.Evaluate(stack, context));
    Expect_Same_Stack(stack, {9, 4});
    const TestHost::TokenCallStruct& call = TestHost::Record().Token_Calls.at(0);
    EXPECT_EQ(call.Path, (std::vector<PerceptionTokenType>{TestHost::UNIT, TestHost::SPEED}));
    // Set last to first: Q gets 2 before P gets 1.
    using Value = std::pair<PerceptionTokenType, float>;
    EXPECT_EQ(call.Values, (std::vector<Value>{{TestHost::Q, 2.0f}, {TestHost::P, 1.0f}}));
}

TEST_F(TokenNodeTest, HostFailurePushesNothing)
{
    node.Token_Path = {TestHost::UNIT, TestHost::TAG};
    node.Bound_Parameters = {TestHost::P};
    std::vector<float> stack{9, 1};
    EXPECT_FALSE(node.Evaluate(stack, context));
    Expect_Same_Stack(stack, {9});
}

TEST_F(TokenNodeTest, FewerValuesThanParametersFailsWithoutAskingTheHost)
{
    node.Bound_Parameters = {TestHost::P, TestHost::Q};
    std::vector<float> stack{1};
    EXPECT_FALSE(node.Evaluate(stack, context));
    EXPECT_TRUE(TestHost::Record().Token_Calls.empty());
}

TEST(ConstantNode, StringHandleResolvesWhileTheNodeLives)
{
    std::unique_ptr<ConstantNodeClass> node(ConstantNodeClass::Make_String("AB CD", 5));
    const unsigned int handle = node->Get_Bits();
    ASSERT_NE(handle, 0u);
    ASSERT_NE(Resolve_Perception_String(handle), nullptr);
    EXPECT_STREQ(Resolve_Perception_String(handle), "AB CD");

    std::unique_ptr<ConstantNodeClass> other(ConstantNodeClass::Make_String("X", 1));
    EXPECT_NE(other->Get_Bits(), handle);
    node.reset();
    EXPECT_EQ(Resolve_Perception_String(handle), nullptr);
    // The freed slot is reused, but the old handle still resolves to nothing.
    std::unique_ptr<ConstantNodeClass> reuse(ConstantNodeClass::Make_String("Y", 1));
    EXPECT_NE(reuse->Get_Bits(), handle);
    EXPECT_EQ(Resolve_Perception_String(handle), nullptr);
    EXPECT_EQ(Resolve_Perception_String(0), nullptr);
}

}  // namespace
