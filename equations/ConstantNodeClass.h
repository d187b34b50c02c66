#ifndef COGNEXA_CONSTANT_NODE_CLASS_H
#define COGNEXA_CONSTANT_NODE_CLASS_H

#include "equations/PerceptionFunctionNodeClass.h"

#include <cstdint>
#include <cstring>

class PerceptionNodeArenaClass;

// Pushes its 32 bits as a float: a number, an object id carried bit for bit, or the handle of a
// string it owns (released with the node).
class ConstantNodeClass final : public PerceptionFunctionNodeClass {
public:
    // With an arena the node is placed in it (its owner runs the destructor); without one it
    // comes from new.
    static ConstantNodeClass* Make_Number(float value, PerceptionNodeArenaClass* arena = nullptr);
    static ConstantNodeClass* Make_Bits(uint32_t bits, PerceptionNodeArenaClass* arena = nullptr);
    // Null when no string handle is left.
    static ConstantNodeClass* Make_String(const char* text, std::size_t length,
                                          PerceptionNodeArenaClass* arena = nullptr);

    ~ConstantNodeClass() override;

    bool Evaluate(std::vector<float>& stack, const PerceptionContextClass& context) override;

    uint32_t Get_Bits() const { return Value; }
    bool Get_Owns_String() const { return Owns_String; }

private:
    static ConstantNodeClass* Make(uint32_t bits, bool owns_string, PerceptionNodeArenaClass* arena);

    ConstantNodeClass(uint32_t bits, bool owns_string) : Value(bits), Owns_String(owns_string) {}

    uint32_t Value;
    bool Owns_String;
};

#endif
