// What may run beside what: evaluations reporting divisions by zero, and threads building and
// destroying equations of their own while others resolve string handles. Run under
// ThreadSanitizer to see races; natively they catch a notice shown twice or a wrong string.
#include "TestHost.h"
#include "TestHostBindingStruct.h"

#include "foundation/ReportParseError.h"

#include <cognexa/PerceptionEvaluationStateClass.h>
#include <cognexa/PerceptionStringHandle.h>

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace {

std::atomic<int> TheNoticeCount{0};

void Count_Notice(const char*, const char*)
{
    ++TheNoticeCount;
}

// Every name is token 1; the token's value is its first bound value, bit for bit.
class AnyNameConverterClass final : public DynamicEnumConversionClass<PerceptionTokenType> {
public:
    bool String_To_Enum(const std::string&, PerceptionTokenType& value) const override
    {
        value = 1;
        return true;
    }
};

bool First_Bound_Value(const PerceptionContextClass*, PerceptionEvaluationStateClass& state, float& result)
{
    if (state.Get_Value_Count() == 0) {
        return false;
    }
    result = state.Get_Value(0).Value;
    return true;
}

constexpr int THREAD_COUNT = 8;

// Starts every thread's work at once, so the threads really meet.
template <typename Work>
void Run_Together(Work work)
{
    std::atomic<int> ready{0};
    std::vector<std::thread> threads;
    for (int index = 0; index < THREAD_COUNT; ++index) {
        threads.emplace_back([&, index] {
            ++ready;
            while (ready.load() < THREAD_COUNT) {
                std::this_thread::yield();
            }
            work(index);
        });
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
}

TEST(ThreadContract, DivisionsByZeroOnManyThreadsShowTheNoticeOnce)
{
    // No callbacks: the threads share nothing of the test's own.
    TestHostBindingStruct host;
    host.Notice_Handler = &Count_Notice;
    host.Install();
    Forget_Parse_Error_Announcement();
    TheNoticeCount = 0;
    const std::unique_ptr<PerceptionFunctionClass> equation(PerceptionFunctionClass::Build("5 / 0", "Divide"));
    // Deeper than an evaluation keeps in its frame: it takes a stack of its thread's.
    std::string deep_text = "1";
    for (int level = 0; level < 80; ++level) {
        deep_text = "1 - (" + deep_text + ")";
    }
    const std::unique_ptr<PerceptionFunctionClass> deep(PerceptionFunctionClass::Build("(" + deep_text + " + 2) / 0", "Deep"));
    ASSERT_NE(equation, nullptr);
    ASSERT_NE(deep, nullptr);
    std::atomic<int> failures{0};
    Run_Together([&](int) {
        const PerceptionContextClass context;
        const PerceptionContextClass* contexts[] = {&context, &context, &context};
        for (int round = 0; round < 200; ++round) {
            float result = 0;
            failures += !equation->Evaluate(context, result);
            float results[3];
            bool succeeded[3];
            failures += 3 - equation->Evaluate_Many(contexts, 3, results, succeeded);
            failures += !deep->Evaluate(context, result);
            deep->Get_Perception_Token_String();
        }
    });
    EXPECT_EQ(failures.load(), THREAD_COUNT * 200 * 5);
    EXPECT_EQ(TheNoticeCount.load(), 1);
    EXPECT_TRUE(Parse_Error_Announced());
    TestHostBindingStruct::Uninstall();
}

TEST(ThreadContract, StringHandlesResolveWhileOtherThreadsBuildAndDestroyEquations)
{
    AnyNameConverterClass converter;
    TestHostBindingStruct host;
    host.Token_Converter = &converter;
    host.Evaluate_Token_Callback = &First_Bound_Value;
    host.Install();
    std::atomic<int> wrong{0};
    Run_Together([&](int index) {
        const PerceptionContextClass context;
        const std::string text = "s" + std::to_string(index);
        const std::string expected = "S" + std::to_string(index);
        for (int round = 0; round < 200; ++round) {
            const std::unique_ptr<PerceptionFunctionClass> equation(
                PerceptionFunctionClass::Build("Unit.Name{P=\"" + text + "\"}", "String"));
            float handle = 0;
            const char* resolved = equation != nullptr && equation->Evaluate(context, handle)
                                       ? Resolve_Perception_String(PerceptionEvaluationStateClass::Value_Bits(handle))
                                       : nullptr;
            wrong += resolved == nullptr || expected != resolved;
        }
    });
    EXPECT_EQ(wrong.load(), 0);
    TestHostBindingStruct::Uninstall();
}

}  // namespace
