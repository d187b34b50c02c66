// An independent host, built only on the public interface: it evaluates a fixed table of constant
// equations and compares their result bits with digests recorded on x86-64 Linux. Run natively,
// under Wine and under qemu, it shows every target computes the same bits.
//   same_bits_host            compare with the recorded digests
//   same_bits_host --print    each equation with its outcome, to compare two targets line by line
//   same_bits_host --record   the digests of this target, as source for the table below
#include <cognexa/cognexa.h>

#include <cfenv>
#include <cinttypes>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

class PerceptionContextClass {};

namespace {

constexpr int EQUATION_COUNT = 20000;
constexpr int BLOCK_SIZE = 1000;

// One FNV-1a digest per block of equations, over each outcome (evaluated or not, result bits).
const uint64_t RECORDED[EQUATION_COUNT / BLOCK_SIZE] = {
    0x073DBA36DF339904u,
    0x59C9388D8CD2703Du,
    0x7AC6D4D48ED8E738u,
    0xBA927B46417BC425u,
    0x09C2D4926CB37911u,
    0x56735E6A91B1266Bu,
    0xF4CFD9B022455766u,
    0xBAD630E0B65D18C7u,
    0x4CEC9F292C652176u,
    0xDB4EDAA5D7BB1B5Fu,
    0xBE8D0D4E5F3881D9u,
    0x7E8F058967D5F90Au,
    0x3E86048551E084C3u,
    0x6ACE1BAC734CAF5Cu,
    0x9083E0C5B71C6585u,
    0xC620C2FD71B9373Eu,
    0x0784C0F13A37CE61u,
    0x2BB4C638D5EFBD5Du,
    0x100535A173B90897u,
    0xC6CC9B2B1575DA23u,
};

// A generator of its own, so the table is the same whatever the C++ library.
class EquationSourceClass {
public:
    std::string Next() { return Expression(0); }

private:
    uint32_t State = 0x2545F491u;

    uint32_t Draw(uint32_t bound)
    {
        State ^= State << 13;
        State ^= State >> 17;
        State ^= State << 5;
        return State % bound;
    }

    // Integers, decimals and exponents, so both the literal reader's fast path and atof are used.
    // Each draw is a statement of its own: the order in which a call's arguments are evaluated
    // is unspecified, and compilers for different targets do choose differently.
    std::string Literal()
    {
        const uint32_t form = Draw(4);
        const unsigned whole = Draw(form == 0 ? 1000 : form == 1 ? 100 : 10);
        const unsigned fraction = Draw(form == 1 ? 10000 : form == 2 ? 1000000 : 1000);
        const bool negative_exponent = Draw(2) != 0;
        const unsigned exponent = Draw(20);
        char text[48];
        if (form == 0) {
            std::snprintf(text, sizeof text, "%u", whole);
        } else if (form == 1) {
            std::snprintf(text, sizeof text, "%u.%04u", whole, fraction);
        } else if (form == 2) {
            std::snprintf(text, sizeof text, "%u.%06u", whole, fraction);
        } else {
            std::snprintf(text, sizeof text, "%u.%03ue%s%u", 1 + whole % 9, fraction, negative_exponent ? "-" : "",
                          exponent);
        }
        return text;
    }

    std::string Expression(int depth)
    {
        if (depth >= 4 || Draw(10) < static_cast<uint32_t>(2 + 2 * depth)) {
            const bool negated = Draw(8) == 0;
            return negated ? "-" + Literal() : Literal();
        }
        // Mostly arithmetic, whose last bits are at stake; comparisons and clamps now and then.
        static const char* const ARITHMETIC[] = {" + ", " - ", " * ", " / "};
        static const char* const COMPARISONS[] = {" < ", " > ", " <= ", " >= ", " == ", " != "};
        const uint32_t choice = Draw(20);
        const std::string first = Expression(depth + 1);
        const std::string second = Expression(depth + 1);
        if (choice == 19) {
            const std::string third = Expression(depth + 1);
            return "clamp(" + first + ", " + second + ", " + third + ")";
        }
        const char* const operation = choice < 16 ? ARITHMETIC[choice % 4] : COMPARISONS[Draw(6)];
        return "(" + first + operation + second + ")";
    }
};

struct OutcomeStruct {
    bool Evaluated;
    uint32_t Bits;
};

OutcomeStruct Evaluate(const std::string& text)
{
    std::unique_ptr<PerceptionFunctionClass> equation(PerceptionFunctionClass::Build(text.c_str(), "Table"));
    PerceptionContextClass context;
    float result = 0;
    OutcomeStruct outcome = {equation != nullptr && equation->Evaluate(context, result), 0};
    if (outcome.Evaluated) {
        std::memcpy(&outcome.Bits, &result, sizeof outcome.Bits);
    }
    return outcome;
}

void Digest(uint64_t& digest, const OutcomeStruct& outcome)
{
    const uint8_t bytes[] = {static_cast<uint8_t>(outcome.Evaluated), static_cast<uint8_t>(outcome.Bits),
                             static_cast<uint8_t>(outcome.Bits >> 8), static_cast<uint8_t>(outcome.Bits >> 16),
                             static_cast<uint8_t>(outcome.Bits >> 24)};
    for (const uint8_t byte : bytes) {
        digest = (digest ^ byte) * 0x100000001B3u;
    }
}

// The table's digests under the thread's rounding mode; with print, each equation as well.
std::vector<uint64_t> Table_Digests(bool print)
{
    EquationSourceClass source;
    std::vector<uint64_t> digests(EQUATION_COUNT / BLOCK_SIZE, 0xCBF29CE484222325u);
    for (int index = 0; index < EQUATION_COUNT; ++index) {
        const std::string text = source.Next();
        const OutcomeStruct outcome = Evaluate(text);
        Digest(digests[index / BLOCK_SIZE], outcome);
        if (print) {
            std::printf("%s %08" PRIX32 " %s\n", outcome.Evaluated ? "ok  " : "fail", outcome.Bits, text.c_str());
        }
    }
    return digests;
}

void Quiet_Notice(const char*, const char*) {}

}  // namespace

int main(int argc, char** argv)
{
    const std::string mode = argc > 1 ? argv[1] : "";
    // Division by zero in the table fails its equation; its notice would only fill the output.
    Set_Notice_Handler(&Quiet_Notice);
    Init_Perception_DLL(nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                        nullptr, nullptr, nullptr);
    const std::vector<uint64_t> digests = Table_Digests(mode == "--print");
    if (mode == "--print") {
        return 0;
    }
    if (mode == "--record") {
        for (const uint64_t digest : digests) {
            std::printf("    0x%016" PRIX64 "u,\n", digest);
        }
        return 0;
    }

    int differing = 0;
    for (std::size_t block = 0; block < digests.size(); ++block) {
        if (digests[block] != RECORDED[block]) {
            std::printf("equations %zu to %zu: other bits than recorded\n", block * BLOCK_SIZE,
                        (block + 1) * BLOCK_SIZE - 1);
            ++differing;
        }
    }
    // The table must see a last bit: under round to nearest every block differs.
    std::fesetround(FE_TONEAREST);
    const std::vector<uint64_t> nearest = Table_Digests(false);
    for (std::size_t block = 0; block < nearest.size(); ++block) {
        if (nearest[block] == RECORDED[block]) {
            std::printf("equations %zu to %zu: the same bits under round to nearest\n", block * BLOCK_SIZE,
                        (block + 1) * BLOCK_SIZE - 1);
            ++differing;
        }
    }
    if (differing != 0) {
        return 1;
    }
    std::printf("%d equations: the recorded bits\n", EQUATION_COUNT);
    return 0;
}
