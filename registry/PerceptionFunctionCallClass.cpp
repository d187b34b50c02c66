#include <cognexa/PerceptionFunctionCallClass.h>

#include <cognexa/ThePerceptionFunctionManagerClass.h>

#include "foundation/TheHostBinding.h"
#include "registry/PerceptionFunctionCallGrammarClass.h"

#include <algorithm>
#include <memory>

namespace {

bool Convert_Token(const std::string& name, PerceptionTokenType& token)
{
    token = static_cast<PerceptionTokenType>(-1);
    return TheHostBinding.Token_Converter != nullptr && TheHostBinding.Token_Converter->String_To_Enum(name, token);
}

}  // namespace

PerceptionFunctionCallClass* PerceptionFunctionCallClass::Create(const std::string& text)
{
    if (ThePerceptionFunctionManagerPtr == nullptr) {
        return nullptr;
    }
    PerceptionFunctionCallGrammarClass::CallTextStruct parsed;
    if (!PerceptionFunctionCallGrammarClass::Parse(text, parsed)) {
        return nullptr;
    }
    std::unique_ptr<PerceptionFunctionCallClass> call(new PerceptionFunctionCallClass);

    // Every part is looked at, also after one has failed, so the host's converter sees each
    // binding; any failure discards the call.
    bool resolved = true;
    call->Function = ThePerceptionFunctionManagerPtr->Get_Managed_Object(parsed.Function_Name);
    if (call->Function == nullptr) {
        resolved = false;
    }
    for (const PerceptionFunctionCallGrammarClass::BindingTextStruct& binding : parsed.Bindings) {
        PerceptionTokenType left;
        PerceptionTokenType right;
        if (!Convert_Token(binding.Left, left) || !Convert_Token(binding.Right, right)) {
            resolved = false;
            continue;
        }
        call->Add_Binding(left, right);
    }
    return resolved ? call.release() : nullptr;
}

PerceptionFunctionCallClass::~PerceptionFunctionCallClass() = default;

void PerceptionFunctionCallClass::Add_Binding(PerceptionTokenType left, PerceptionTokenType right)
{
    Bindings.push_back(BindingStruct{left, right});
}

void PerceptionFunctionCallClass::Set_Function(PerceptionFunctionClass* function)
{
    Function = function;
}

bool PerceptionFunctionCallClass::Evaluate(PerceptionContextClass& context, float& result) const
{
    if (Function == nullptr) {
        return false;
    }
    if (const BindTokenCallbackType bind = TheHostBinding.Bind_Token_Callback) {
        for (const BindingStruct& binding : Bindings) {
            bind(&context, binding.Left, binding.Right);
        }
    }
    return Function->Evaluate(context, result);
}

int PerceptionFunctionCallClass::Evaluate_Many(PerceptionContextClass* const* contexts, int count, float* results,
                                               bool* succeeded) const
{
    if (count < 0 || (count > 0 && (contexts == nullptr || results == nullptr || succeeded == nullptr))) {
        return -1;
    }
    if (Function == nullptr) {
        std::fill(succeeded, succeeded + count, false);
        return 0;
    }
    // A block's lanes are bound and then evaluated together, so each lane's bindings come before
    // its evaluation, and the host's binding work stays near its evaluation.
    constexpr int BLOCK = 256;
    int succeeded_count = 0;
    for (int first = 0; first < count; first += BLOCK) {
        const int lanes = std::min(BLOCK, count - first);
        const BindTokenCallbackType bind = TheHostBinding.Bind_Token_Callback;
        for (int lane = first; lane < first + lanes; ++lane) {
            for (const BindingStruct& binding : Bindings) {
                if (contexts[lane] != nullptr && bind != nullptr) {
                    bind(contexts[lane], binding.Left, binding.Right);
                }
            }
        }
        succeeded_count += Function->Evaluate_Many(contexts + first, lanes, results + first, succeeded + first);
    }
    return succeeded_count;
}
