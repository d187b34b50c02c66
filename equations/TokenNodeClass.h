#ifndef COGNEXA_TOKEN_NODE_CLASS_H
#define COGNEXA_TOKEN_NODE_CLASS_H

#include "equations/PerceptionFunctionNodeClass.h"
#include "foundation/TheHostBinding.h"

#include <cognexa/PerceptionEvaluationStateClass.h>

#include <cstddef>
#include <vector>

// A token expression: the host computes its value from the token path and the values bound to
// its parameters, which the program pushed just before this node in binding order.
class TokenNodeClass final : public PerceptionFunctionNodeClass {
public:
    bool Evaluate(std::vector<float>& stack, const PerceptionContextClass& context) override;

    // The host's protocol for one token, the same on every path: a state for the context and the
    // path, the bound values set from the last parameter to the first, the value preset to 0 and
    // asked for, then the reset. The first parameter's value is at bound[0], the next at
    // bound[stride]; has_parameters says whether there are bound parameters (a constant where the
    // caller knows, so the compiler drops what it does not need). The hand-ins are read when the
    // token is read, since a callback may replace them.
    bool Read(const PerceptionContextClass& context, const float* bound, std::ptrdiff_t stride, bool has_parameters,
              float& value) const;
    // Its first and last part, for the bulk hand-in that answers many states at once.
    void Set_Bound_Values(PerceptionEvaluationStateClass& state, const float* bound, std::ptrdiff_t stride) const;
    static void Reset_State(PerceptionEvaluationStateClass& state);
    // Whether Reset_State calls anything: the library's own Reset_Values is skipped, since the
    // state is destroyed right after it and nobody can see the difference.
    static bool Reset_Is_Visible()
    {
        const ResetStateMethodType reset = TheHostBinding.Reset_State_Method;
        return reset != nullptr && reset != &PerceptionEvaluationStateClass::Reset_Values;
    }

    std::vector<PerceptionTokenType> Token_Path;
    std::vector<PerceptionTokenType> Bound_Parameters;
};

// Inline: both evaluation paths read a token in their innermost loop, and a call per token is a
// measurable share of an evaluation.
#if defined(__GNUC__)
#define COGNEXA_TOKEN_INLINE inline __attribute__((always_inline))
#else
#define COGNEXA_TOKEN_INLINE inline
#endif
COGNEXA_TOKEN_INLINE void TokenNodeClass::Set_Bound_Values(PerceptionEvaluationStateClass& state, const float* bound,
                                      std::ptrdiff_t stride) const
{
    const SetStateValueMethodType set_value = TheHostBinding.Set_State_Value_Method;
    if (set_value == nullptr) {
        return;
    }
    // The last parameter's value is on top.
    for (std::size_t index = Bound_Parameters.size(); index-- > 0;) {
        (state.*set_value)(Bound_Parameters[index], bound[static_cast<std::ptrdiff_t>(index) * stride]);
    }
}

COGNEXA_TOKEN_INLINE void TokenNodeClass::Reset_State(PerceptionEvaluationStateClass& state)
{
    // The library's own Reset_Values is skipped: the state is destroyed right after it, so nobody
    // can see the difference.
    const ResetStateMethodType reset = TheHostBinding.Reset_State_Method;
    if (reset != nullptr && reset != &PerceptionEvaluationStateClass::Reset_Values) {
        (state.*reset)();
    }
}

COGNEXA_TOKEN_INLINE bool TokenNodeClass::Read(const PerceptionContextClass& context, const float* bound,
                                               std::ptrdiff_t stride, bool has_parameters, float& value) const
{
    const EvaluateTokenCallbackType evaluate_token = TheHostBinding.Evaluate_Token_Callback;
    if (evaluate_token == nullptr) {
        return false;
    }
    PerceptionEvaluationStateClass state(&context, Token_Path);
    if (has_parameters) {
        Set_Bound_Values(state, bound, stride);
    }
    value = 0.0f;
    const bool evaluated = evaluate_token(&context, state, value);
    Reset_State(state);
    return evaluated;
}

#endif
