#include "FuzzHost.h"

#include "TestHandInsStruct.h"

#include <cmath>
#include <cstring>
#include <limits>

namespace {

unsigned int Name_Hash(const std::string& name)
{
    unsigned int hash = 2166136261u;
    for (unsigned char byte : name) {
        hash = (hash ^ byte) * 16777619u;
    }
    return hash;
}

class AnyTokenConverter : public DynamicEnumConversionClass<PerceptionTokenType> {
public:
    bool String_To_Enum(const std::string& name, PerceptionTokenType& value) const override
    {
        value = static_cast<PerceptionTokenType>(Name_Hash(name) % 64);
        return true;
    }
};

// Object ids cover every bit pattern, NaNs and infinities among them, because the id travels in
// the float slot of the value stack.
class AnyObjectDatabase : public DatabaseUIntConversionClass {
public:
    AnyObjectDatabase() : DatabaseUIntConversionClass("FuzzObjects") {}
    bool String_To_UInt(const std::string& name, unsigned int& id) const override
    {
        id = Name_Hash(name);
        return true;
    }
    std::string UInt_To_String(unsigned int) const override { return std::string(); }
};

AnyTokenConverter TheConverter;
PerceptionContextClass TheContext;

const DatabaseUIntConversionClass* Any_Database(const std::string&)
{
    static const AnyObjectDatabase database;
    return &database;
}

// Reads every bound value the way a host would (string handles resolved) and answers from a
// small table of awkward values; token 13 fails, to exercise the failure path.
bool Evaluate_Token(const PerceptionContextClass*, PerceptionEvaluationStateClass& state, float& result)
{
    static const float Values[] = {0.0f, -0.0f, 1.0f, -1.0f, 0.5f, 1e30f, -1e-30f,
                                   std::numeric_limits<float>::infinity(),
                                   -std::numeric_limits<float>::infinity(),
                                   std::numeric_limits<float>::quiet_NaN()};
    unsigned int sum = 0;
    for (int index = 0; index < state.Get_Value_Count(); ++index) {
        const PerceptionEvaluationStateClass::TokenValueStruct& bound = state.Get_Value(index);
        const char* text = Resolve_Perception_String(PerceptionEvaluationStateClass::Value_Bits(bound.Value));
        sum += text != nullptr ? static_cast<unsigned int>(std::strlen(text)) : 0u;
    }
    for (PerceptionTokenType token : state.Get_Token_Path()) {
        if (token == 13) return false;
        sum += static_cast<unsigned int>(token);
    }
    result = Values[sum % (sizeof Values / sizeof Values[0])];
    return true;
}

float Random_Low(float low, float)
{
    return low;
}

}  // namespace

namespace FuzzHost {

void Install(MegaFileManagerClass* files)
{
    TestHandInsStruct binding;
    binding.Token_Converter = &TheConverter;
    binding.Evaluate_Token_Callback = Evaluate_Token;
    binding.Random_Float_Callback = Random_Low;
    binding.Find_Database_Callback = Any_Database;
    binding.Fill_Harmless_Callbacks();
    binding.File_Manager = files;
    binding.Install();
}

PerceptionContextClass& Context()
{
    return TheContext;
}

}  // namespace FuzzHost
