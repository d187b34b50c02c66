#include "equations/ArithmeticNodeClasses.h"

#include "foundation/TheHostBinding.h"
#include "equations/ValueStackOperations.h"
#include "foundation/ReportParseError.h"

bool NegateNodeClass::Evaluate(std::vector<float>& stack, const PerceptionContextClass&)
{
    if (stack.empty()) {
        return false;
    }
    stack.back() = -stack.back();
    return true;
}

bool AddNodeClass::Evaluate(std::vector<float>& stack, const PerceptionContextClass&)
{
    return Apply_Binary(stack, [](float left, float right) { return Sum(left, right); });
}

bool SubtractNodeClass::Evaluate(std::vector<float>& stack, const PerceptionContextClass&)
{
    return Apply_Binary(stack, [](float left, float right) { return left - right; });
}

bool MultiplyNodeClass::Evaluate(std::vector<float>& stack, const PerceptionContextClass&)
{
    return Apply_Binary(stack, [](float left, float right) { return Product(left, right); });
}

bool DivideNodeClass::Evaluate(std::vector<float>& stack, const PerceptionContextClass&)
{
    bool divided = true;
    const bool applied = Apply_Binary(stack, [&divided](float left, float right) {
        float quotient;
        divided = Quotient(left, right, quotient);
        return quotient;
    });
    if (!applied) {
        return false;
    }
    if (!divided) {
        Report_Parse_Error();
    }
    return divided;
}

bool RandomNodeClass::Evaluate(std::vector<float>& stack, const PerceptionContextClass&)
{
    const RandomFloatCallbackType random = TheHostBinding.Random_Float_Callback;
    if (random == nullptr) {
        return false;
    }
    return Apply_Binary(stack, random);
}
