#include "equations/TokenNodeClass.h"

#include "foundation/TheHostBinding.h"

#include <cognexa/PerceptionEvaluationStateClass.h>

bool TokenNodeClass::Evaluate(std::vector<float>& stack, const PerceptionContextClass& context)
{
    // A clamp with too few arguments inside a bound value can leave fewer values than
    // parameters; such an equation cannot be evaluated.
    const std::size_t parameters = Bound_Parameters.size();
    if (stack.size() < parameters) {
        return false;
    }
    float value;
    const bool evaluated = Read(context, stack.data() + (stack.size() - parameters), 1, parameters != 0, value);
    stack.resize(stack.size() - parameters);
    if (evaluated) {
        stack.emplace_back();
        stack.back() = value;
    }
    return evaluated;
}
