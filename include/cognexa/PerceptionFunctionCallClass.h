#ifndef COGNEXA_PERCEPTION_FUNCTION_CALL_CLASS_H
#define COGNEXA_PERCEPTION_FUNCTION_CALL_CLASS_H

#include <cognexa/Export.h>
#include <cognexa/PerceptionTokenType.h>

#include <string>
#include <vector>

class PerceptionFunctionClass;

// A call of a registered equation with token bindings, written "Name{left = right, ...}". The
// name is resolved once, by Create; each evaluation hands every binding to the host's
// Bind_Token_Callback, in order, and then evaluates the equation. The call does not own its
// equation: removing the equation from the registry invalidates the call.
class COGNEXA_API PerceptionFunctionCallClass {
public:
    // Null when the text does not parse, names no registered equation or binds a token the host
    // does not know, and when no registry exists. The caller owns the result.
    static PerceptionFunctionCallClass* Create(const std::string& text);

    PerceptionFunctionCallClass(const PerceptionFunctionCallClass& other) = default;
    PerceptionFunctionCallClass& operator=(const PerceptionFunctionCallClass& other) = default;
    ~PerceptionFunctionCallClass();

    void Add_Binding(PerceptionTokenType left, PerceptionTokenType right);
    void Set_Function(PerceptionFunctionClass* function);

    // False without a function or when the equation fails; result is written only on success.
    bool Evaluate(PerceptionContextClass& context, float& result) const;

    // Evaluate for count contexts, as PerceptionFunctionClass::Evaluate_Many: each lane's bindings
    // reach Bind_Token_Callback before that lane's evaluation. -1 when count < 0 or an array is
    // null while count > 0.
    int Evaluate_Many(PerceptionContextClass* const* contexts, int count, float* results, bool* succeeded) const;

protected:
    PerceptionFunctionCallClass() = default;

private:
    struct BindingStruct {
        PerceptionTokenType Left;
        PerceptionTokenType Right;
    };

    PerceptionFunctionClass* Function = nullptr;
    std::vector<BindingStruct> Bindings;
};

#endif
