// Linked against the shared library only: what a host gets by loading it.
#include <cognexa/cognexa.h>

#include <gtest/gtest.h>

#include <cfenv>
#include <cstring>
#include <memory>

class PerceptionContextClass {};

namespace {

// The host's first call, with nothing handed in that these tests use.
void Bind_As_A_Host()
{
    Init_Perception_DLL(nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                        nullptr, nullptr, nullptr);
}

// The rounding mode as the program found it, taken before any test runs: a test that binds
// changes the mode, so whatever order the tests run in, they look at this one.
int Mode_Before_Any_Test = -1;

class ModeBeforeAnyTestEnvironment : public ::testing::Environment {
public:
    void SetUp() override { Mode_Before_Any_Test = std::fegetround(); }
};

const ::testing::Environment* const TheModeEnvironment =
    ::testing::AddGlobalTestEnvironment(new ModeBeforeAnyTestEnvironment);

#if defined(_WIN32)
// mingw-w64's program start-up resets the floating-point control after the DLLs have loaded, so
// the mode set at load is gone by main; the host's first call sets it again.
TEST(SharedLibrary, ProgramStartUpResetsTheModeAndTheHostsFirstCallRestoresIt)
{
    EXPECT_EQ(Mode_Before_Any_Test, FE_TONEAREST);
    Bind_As_A_Host();
    EXPECT_EQ(std::fegetround(), FE_TOWARDZERO);
}
#else
TEST(SharedLibrary, LoadingSetsRoundTowardZero)
{
    EXPECT_EQ(Mode_Before_Any_Test, FE_TOWARDZERO);
}
#endif

TEST(SharedLibrary, OneThirdIsRoundedDownInItsLastBit)
{
    Bind_As_A_Host();
    std::unique_ptr<PerceptionFunctionClass> third(PerceptionFunctionClass::Build("1 / 3", "Third"));
    ASSERT_NE(third, nullptr);
    PerceptionContextClass context;
    float result = 0;
    ASSERT_TRUE(third->Evaluate(context, result));
    unsigned int bits;
    std::memcpy(&bits, &result, sizeof bits);
    EXPECT_EQ(bits, 0x3EAAAAAAu);  // round to nearest would give ...AB
}

// (1 + 2^-12)^2 - 1 is 2^-11 + 2^-24 exactly. Rounding the product first drops its 2^-24 in
// either rounding mode; a multiply fused with the subtraction would keep it (0x3A000400).
TEST(SharedLibrary, MultiplyAndAddAreRoundedEachOnTheirOwn)
{
    Bind_As_A_Host();
    const struct {
        const char* Text;
        unsigned int Bits;
    } cases[] = {
        {"1.000244140625 * 1.000244140625 - 1", 0x3A000000u},
        {"1.000244140625 * 1.000244140625 + -1", 0x3A000000u},
        {"-1 + 1.000244140625 * 1.000244140625", 0x3A000000u},
    };
    for (const auto& square : cases) {
        std::unique_ptr<PerceptionFunctionClass> equation(PerceptionFunctionClass::Build(square.Text, "Square"));
        ASSERT_NE(equation, nullptr) << square.Text;
        PerceptionContextClass context;
        float result = 0;
        ASSERT_TRUE(equation->Evaluate(context, result)) << square.Text;
        unsigned int bits;
        std::memcpy(&bits, &result, sizeof bits);
        EXPECT_EQ(bits, square.Bits) << square.Text;
    }
}

TEST(SharedLibrary, StringHandlesResolveThroughTheInterface)
{
    EXPECT_EQ(Resolve_Perception_String(0), nullptr);
}

}  // namespace
