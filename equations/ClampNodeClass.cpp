#include "equations/ClampNodeClass.h"

bool ClampNodeClass::Evaluate(std::vector<float>& stack, const PerceptionContextClass&)
{
    if (stack.size() < 3) {
        return false;
    }
    const float high = stack.back();
    stack.pop_back();
    const float low = stack.back();
    stack.pop_back();
    if (low > high) {
        return false;  // the evaluation ends, so what stays on the stack no longer matters
    }
    float& value = stack.back();
    if (value < low) {
        value = low;
    } else if (value > high) {
        value = high;
    }
    return true;
}
