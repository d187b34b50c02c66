#include "equations/ConstantNodeClass.h"

#include "equations/PerceptionStringTableClass.h"

ConstantNodeClass* ConstantNodeClass::Make_Number(float value)
{
    uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    return new ConstantNodeClass(bits, false);
}

ConstantNodeClass* ConstantNodeClass::Make_Bits(uint32_t bits)
{
    return new ConstantNodeClass(bits, false);
}

ConstantNodeClass* ConstantNodeClass::Make_String(const char* text, std::size_t length)
{
    const uint32_t handle = PerceptionStringTableClass::Acquire(std::string(text, length));
    if (handle == PerceptionStringTableClass::NO_HANDLE) {
        return nullptr;
    }
    return new ConstantNodeClass(handle, true);
}

ConstantNodeClass::~ConstantNodeClass()
{
    if (Owns_String) {
        PerceptionStringTableClass::Release(Value);
    }
}

bool ConstantNodeClass::Evaluate(std::vector<float>& stack, const PerceptionContextClass&)
{
    float value;
    std::memcpy(&value, &Value, sizeof value);
    stack.push_back(value);
    return true;
}
