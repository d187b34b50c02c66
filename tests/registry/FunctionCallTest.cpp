#include <cognexa/cognexa.h>
#include <cognexa/MegaFileManagerClass.h>
#include <cognexa/PerceptionFunctionCallClass.h>
#include <cognexa/ThePerceptionFunctionManagerClass.h>

#include "RegistryTestHost.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

class FunctionCalls : public ::testing::Test {
protected:
    void SetUp() override
    {
        Host.Install(&Files);
        Host.Values["a.b"] = 3;
        Root.Write_Equations("Calls.xml", {{"Name", "a.b * 2"}, {"Fails", "1 / 0 + 1"}});
        ThePerceptionFunctionManagerClass::Create();
        ASSERT_TRUE(ThePerceptionFunctionManagerPtr->System_Initialize(&Files, false));
    }
    void TearDown() override
    {
        delete ThePerceptionFunctionManagerPtr;
        ThePerceptionFunctionManagerPtr = nullptr;
    }
    PerceptionContextClass& Context() { return *reinterpret_cast<PerceptionContextClass*>(&Host); }

    ScratchGameRoot Root;
    RegistryTestHost Host;
    MegaFileManagerClass Files;
};

TEST_F(FunctionCalls, TextsThatDoNotMakeACallGiveNull)
{
    const char* rejected[] = {
        "Name",            // no braces
        "Name{a=b,}",      // trailing comma
        "Name{a=b c=d}",   // missing comma
        "Name{a}",         // missing "="
        "1Name{}",         // a name starts with a letter
        "_Name{}",
        "Name{} x",        // text after the call
        "name {a=b}",      // the blank stays in the name, which names no equation
        "Missing{}",       // no such equation
        "Name{a=Unknown}", // a token the host does not know
        "Name{Unknown=b,c=d}",
        "",
    };
    for (const char* text : rejected) {
        std::unique_ptr<PerceptionFunctionCallClass> call(PerceptionFunctionCallClass::Create(text));
        EXPECT_EQ(call, nullptr) << "«" << text << "»";
    }
}

TEST_F(FunctionCalls, BindingsAreHandedToTheHostInOrderAtEveryEvaluation)
{
    std::unique_ptr<PerceptionFunctionCallClass> call(PerceptionFunctionCallClass::Create("  name{a=b,c=d}\n"));
    ASSERT_NE(call, nullptr);
    float result = 0;
    ASSERT_TRUE(call->Evaluate(Context(), result));
    EXPECT_EQ(result, 6);
    ASSERT_TRUE(call->Evaluate(Context(), result));
    const std::vector<std::pair<std::string, std::string>> expected = {{"a", "b"}, {"c", "d"}, {"a", "b"}, {"c", "d"}};
    EXPECT_EQ(Host.Bound, expected);
}

TEST_F(FunctionCalls, AnEmptyBindingListBindsNothing)
{
    std::unique_ptr<PerceptionFunctionCallClass> call(PerceptionFunctionCallClass::Create("Name{}"));
    ASSERT_NE(call, nullptr);
    float result = 0;
    ASSERT_TRUE(call->Evaluate(Context(), result));
    EXPECT_EQ(result, 6);
    EXPECT_TRUE(Host.Bound.empty());
}

TEST_F(FunctionCalls, ANameWithABlankResolvesOnlyAnEquationNamedWithIt)
{
    EXPECT_EQ(std::unique_ptr<PerceptionFunctionCallClass>(PerceptionFunctionCallClass::Create("Na me{}")), nullptr);
}

TEST_F(FunctionCalls, FailuresLeaveTheResultUntouched)
{
    std::unique_ptr<PerceptionFunctionCallClass> call(PerceptionFunctionCallClass::Create("Fails{a=b}"));
    ASSERT_NE(call, nullptr);
    float result = 123;
    EXPECT_FALSE(call->Evaluate(Context(), result));
    EXPECT_EQ(result, 123);
    EXPECT_EQ(Host.Bound.size(), 1u) << "bindings are made before the equation runs";

    call->Set_Function(nullptr);
    Host.Bound.clear();
    EXPECT_FALSE(call->Evaluate(Context(), result));
    EXPECT_TRUE(Host.Bound.empty()) << "no function: no callback at all";
}

TEST_F(FunctionCalls, ACopyCallsTheSameEquationWithTheSameBindings)
{
    std::unique_ptr<PerceptionFunctionCallClass> bound(PerceptionFunctionCallClass::Create("Name{a=b}"));
    ASSERT_NE(bound, nullptr);
    PerceptionFunctionCallClass copy(*bound);
    bound.reset();
    float result = 0;
    ASSERT_TRUE(copy.Evaluate(Context(), result));
    EXPECT_EQ(result, 6);
    EXPECT_EQ(Host.Bound, (std::vector<std::pair<std::string, std::string>>{{"a", "b"}}));
}

// Every lane is bound and evaluated as Evaluate does it; a lane without context binds nothing.
TEST_F(FunctionCalls, ManyContextsBindEachLaneAndEvaluateItAsEvaluateDoes)
{
    std::unique_ptr<PerceptionFunctionCallClass> call(PerceptionFunctionCallClass::Create("name{a=b,c=d}"));
    std::unique_ptr<PerceptionFunctionCallClass> failing(PerceptionFunctionCallClass::Create("Fails{a=b}"));
    ASSERT_NE(call, nullptr);
    ASSERT_NE(failing, nullptr);
    PerceptionContextClass* contexts[] = {&Context(), nullptr, &Context()};
    float results[] = {-1, -1, -1};
    bool succeeded[] = {false, true, false};
    EXPECT_EQ(call->Evaluate_Many(contexts, 3, results, succeeded), 2);
    EXPECT_EQ(std::vector<float>(results, results + 3), (std::vector<float>{6, -1, 6}));
    EXPECT_EQ(std::vector<bool>(succeeded, succeeded + 3), (std::vector<bool>{true, false, true}));
    EXPECT_EQ(Host.Bound, (std::vector<std::pair<std::string, std::string>>{{"a", "b"}, {"c", "d"}, {"a", "b"}, {"c", "d"}}));

    Host.Bound.clear();
    EXPECT_EQ(failing->Evaluate_Many(contexts, 3, results, succeeded), 0);
    EXPECT_EQ(std::vector<float>(results, results + 3), (std::vector<float>{6, -1, 6})) << "failed lanes keep their result";
    EXPECT_EQ(Host.Bound.size(), 2u);

    failing->Set_Function(nullptr);
    Host.Bound.clear();
    EXPECT_EQ(failing->Evaluate_Many(contexts, 3, results, succeeded), 0);
    EXPECT_TRUE(Host.Bound.empty()) << "no function: no callback at all";
    EXPECT_EQ(call->Evaluate_Many(contexts, -1, results, succeeded), -1);
    EXPECT_EQ(call->Evaluate_Many(nullptr, 3, results, succeeded), -1);
}

TEST(FunctionCallsWithoutRegistry, CreateGivesNull)
{
    ASSERT_EQ(ThePerceptionFunctionManagerPtr, nullptr);
    EXPECT_EQ(PerceptionFunctionCallClass::Create("Name{}"), nullptr);
}

}  // namespace
