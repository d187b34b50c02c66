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
    0x1F7E732B8F1ABB63u,
    0xEDE0F19DBCD71F53u,
    0x273B2A74878CBDBBu,
    0x57FF658CBE1ACBEBu,
    0x00CEC9501E783CBBu,
    0x8A05280E1F537661u,
    0x032181803F0B0377u,
    0x59E028E472347B35u,
    0xD9847CF6D9C290D7u,
    0x62ABE4782C89595Cu,
    0x483EDE147C8EEB95u,
    0x2E8197D7C62F9902u,
    0xD15E68042F84B92Au,
    0x2C7BDCF46EAAB891u,
    0x3BED9EDA9BB542A3u,
    0x13F9897E93BCA6FCu,
    0xFFA3809BCD6EEEACu,
    0x082EC53DF4B125F6u,
    0x008195EF71B77CCBu,
    0xE9200475AF1C04DEu,
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
    std::string Literal()
    {
        char text[48];
        switch (Draw(4)) {
        case 0:
            std::snprintf(text, sizeof text, "%u", static_cast<unsigned>(Draw(1000)));
            break;
        case 1:
            std::snprintf(text, sizeof text, "%u.%04u", static_cast<unsigned>(Draw(100)),
                          static_cast<unsigned>(Draw(10000)));
            break;
        case 2:
            std::snprintf(text, sizeof text, "%u.%06u", static_cast<unsigned>(Draw(10)),
                          static_cast<unsigned>(Draw(1000000)));
            break;
        default:
            std::snprintf(text, sizeof text, "%u.%03ue%s%u", static_cast<unsigned>(1 + Draw(9)),
                          static_cast<unsigned>(Draw(1000)), Draw(2) != 0 ? "-" : "",
                          static_cast<unsigned>(Draw(20)));
            break;
        }
        return text;
    }

    std::string Expression(int depth)
    {
        if (depth >= 4 || Draw(10) < static_cast<uint32_t>(2 + 2 * depth)) {
            return Draw(8) == 0 ? "-" + Literal() : Literal();
        }
        // Mostly arithmetic, whose last bits are at stake; comparisons and clamps now and then.
        static const char* const ARITHMETIC[] = {" + ", " - ", " * ", " / "};
        static const char* const COMPARISONS[] = {" < ", " > ", " <= ", " >= ", " == ", " != "};
        const uint32_t choice = Draw(20);
        if (choice == 19) {
            return "clamp(" + Expression(depth + 1) + ", " + Expression(depth + 1) + ", " + Expression(depth + 1) +
                   ")";
        }
        const std::string left = Expression(depth + 1);
        const std::string right = Expression(depth + 1);
        const char* const operation = choice < 16 ? ARITHMETIC[choice % 4] : COMPARISONS[Draw(6)];
        return "(" + left + operation + right + ")";
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
