#include "equations/ConstantNodeClass.h"

#include "equations/PerceptionNodeArenaClass.h"
#include "equations/PerceptionStringTableClass.h"

ConstantNodeClass* ConstantNodeClass::Make(uint32_t bits, bool owns_string, PerceptionNodeArenaClass* arena)
{
    if (arena == nullptr) {
        return new ConstantNodeClass(bits, owns_string);
    }
    return new (arena->Allocate(sizeof(ConstantNodeClass))) ConstantNodeClass(bits, owns_string);
}

ConstantNodeClass* ConstantNodeClass::Make_Number(float value, PerceptionNodeArenaClass* arena)
{
    uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    return Make(bits, false, arena);
}

ConstantNodeClass* ConstantNodeClass::Make_Bits(uint32_t bits, PerceptionNodeArenaClass* arena)
{
    return Make(bits, false, arena);
}

ConstantNodeClass* ConstantNodeClass::Make_String(const char* text, std::size_t length, PerceptionNodeArenaClass* arena)
{
    // The node's storage comes first: once the handle is taken, nothing may throw.
    void* place = arena != nullptr ? arena->Allocate(sizeof(ConstantNodeClass)) : ::operator new(sizeof(ConstantNodeClass));
    const uint32_t handle = PerceptionStringTableClass::Acquire(std::string(text, length));
    if (handle == PerceptionStringTableClass::NO_HANDLE) {
        if (arena == nullptr) {
            ::operator delete(place);
        }
        return nullptr;
    }
    return new (place) ConstantNodeClass(handle, true);
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
