#include "equations/ComparisonNodeClasses.h"

#include "equations/ValueStackOperations.h"

bool EqualNodeClass::Evaluate(std::vector<float>& stack, const PerceptionContextClass&)
{
    return Apply_Binary(stack, [](float left, float right) { return Truth(left == right); });
}

bool NotEqualNodeClass::Evaluate(std::vector<float>& stack, const PerceptionContextClass&)
{
    return Apply_Binary(stack, [](float left, float right) { return Truth(left != right); });
}

bool LessNodeClass::Evaluate(std::vector<float>& stack, const PerceptionContextClass&)
{
    return Apply_Binary(stack, [](float left, float right) { return Truth(left < right); });
}

bool GreaterNodeClass::Evaluate(std::vector<float>& stack, const PerceptionContextClass&)
{
    return Apply_Binary(stack, [](float left, float right) { return Truth(left > right); });
}

bool LessEqualNodeClass::Evaluate(std::vector<float>& stack, const PerceptionContextClass&)
{
    return Apply_Binary(stack, [](float left, float right) { return Truth(left <= right); });
}

bool GreaterEqualNodeClass::Evaluate(std::vector<float>& stack, const PerceptionContextClass&)
{
    return Apply_Binary(stack, [](float left, float right) { return Truth(left >= right); });
}
