#ifndef COGNEXA_TESTS_EQUATIONS_TEST_HOST_H
#define COGNEXA_TESTS_EQUATIONS_TEST_HOST_H

#include <cognexa/HostBinding.h>
#include <cognexa/Notice.h>
#include <cognexa/PerceptionFunctionClass.h>

#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

// A host for the equation tests: tokens are looked up by their exact text (trailing blanks
// included), token values come from a table keyed by path, and every callback is recorded.
class PerceptionContextClass {
public:
    int Id = 0;
};

namespace TestHost {

enum TestTokenType : PerceptionTokenType { UNIT = 1, SPEED, HEALTH, INNER, TAG, P, Q, A, B };

struct TokenCallStruct {
    std::vector<PerceptionTokenType> Path;
    std::vector<std::pair<PerceptionTokenType, float>> Values;  // in the order they were set
};

struct RecordStruct {
    std::map<std::string, PerceptionTokenType> Token_Names;
    std::map<std::vector<PerceptionTokenType>, float> Token_Values;
    std::vector<TokenCallStruct> Token_Calls;
    std::vector<std::string> Converted_Names;
    std::vector<std::string> Database_Requests;
    std::vector<std::pair<float, float>> Random_Calls;
    bool Record_Token_Calls = true;  // off where the host must not allocate
    int Notify_Count = 0;
    int Notice_Count = 0;
    // Evaluated by the INNER token, to show that evaluations nest.
    PerceptionFunctionClass* Inner_Equation = nullptr;
};

// Installs the host with a fresh record: tokens Unit, Speed, Health, Inner, Tag, P, Q, a, b;
// Unit.Speed = 4, Unit.Health = 0.25; database "UnitType" with Tank = 7, Nan = 0x7FC00001 and
// All = 0xFFFFFFFF; a notice handler that counts.
RecordStruct& Install();
RecordStruct& Record();

// Builds an equation, owned by the caller.
std::unique_ptr<PerceptionFunctionClass> Build(const std::string& text, const std::string& name = "Test");

// Builds and evaluates; false when either fails.
bool Evaluate_Text(const std::string& text, float& result);

unsigned int Bits(float value);
// Inline: on 32-bit x86 a float returned from a call comes back in an x87 register, which
// quiets a signalling NaN.
inline float From_Bits(unsigned int bits)
{
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

}  // namespace TestHost

#endif
