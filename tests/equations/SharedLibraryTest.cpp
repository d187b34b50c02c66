// Linked against the shared library only: what a host gets by loading it.
#include <cognexa/cognexa.h>

#include <gtest/gtest.h>

#include <cfenv>
#include <cstring>
#include <memory>

class PerceptionContextClass {};

namespace {

TEST(SharedLibrary, LoadingSetsRoundTowardZero)
{
    EXPECT_EQ(std::fegetround(), FE_TOWARDZERO);
}

TEST(SharedLibrary, OneThirdIsRoundedDownInItsLastBit)
{
    std::unique_ptr<PerceptionFunctionClass> third(PerceptionFunctionClass::Build("1 / 3", "Third"));
    ASSERT_NE(third, nullptr);
    PerceptionContextClass context;
    float result = 0;
    ASSERT_TRUE(third->Evaluate(context, result));
    unsigned int bits;
    std::memcpy(&bits, &result, sizeof bits);
    EXPECT_EQ(bits, 0x3EAAAAAAu);  // round to nearest would give ...AB
}

TEST(SharedLibrary, StringHandlesResolveThroughTheInterface)
{
    EXPECT_EQ(Resolve_Perception_String(0), nullptr);
}

}  // namespace
