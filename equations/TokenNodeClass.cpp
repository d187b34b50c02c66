#include "equations/TokenNodeClass.h"

#include "foundation/TheHostBinding.h"

#include <cognexa/PerceptionEvaluationStateClass.h>

bool TokenNodeClass::Evaluate(std::vector<float>& stack, const PerceptionContextClass& context)
{
    const EvaluateTokenCallbackType evaluate_token = TheHostBinding.Evaluate_Token_Callback;
    // A clamp with too few arguments inside a bound value can leave fewer values than
    // parameters; such an equation cannot be evaluated.
    if (evaluate_token == nullptr || stack.size() < Bound_Parameters.size()) {
        return false;
    }

    PerceptionEvaluationStateClass state(&context, Token_Path);
    const SetStateValueMethodType set_value = TheHostBinding.Set_State_Value_Method;
    // The last parameter's value is on top.
    for (std::size_t index = Bound_Parameters.size(); index-- > 0;) {
        const float value = stack.back();
        stack.pop_back();
        if (set_value != nullptr) {
            (state.*set_value)(Bound_Parameters[index], value);
        }
    }

    float result = 0.0f;
    const bool evaluated = evaluate_token(&context, state, result);
    if (evaluated) {
        stack.push_back(result);
    }
    if (const ResetStateMethodType reset = TheHostBinding.Reset_State_Method) {
        (state.*reset)();
    }
    return evaluated;
}
