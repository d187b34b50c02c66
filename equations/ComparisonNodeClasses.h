#ifndef COGNEXA_COMPARISON_NODE_CLASSES_H
#define COGNEXA_COMPARISON_NODE_CLASSES_H

#include "equations/PerceptionFunctionNodeClass.h"

// The comparison operators: exact IEEE comparisons that push 1.0 or 0.0. A NaN operand makes
// every comparison false, so "!=" then pushes 1.0 and the others 0.0.

class EqualNodeClass final : public PerceptionFunctionNodeClass {
public:
    bool Evaluate(std::vector<float>& stack, const PerceptionContextClass& context) override;
};

class NotEqualNodeClass final : public PerceptionFunctionNodeClass {
public:
    bool Evaluate(std::vector<float>& stack, const PerceptionContextClass& context) override;
};

class LessNodeClass final : public PerceptionFunctionNodeClass {
public:
    bool Evaluate(std::vector<float>& stack, const PerceptionContextClass& context) override;
};

class GreaterNodeClass final : public PerceptionFunctionNodeClass {
public:
    bool Evaluate(std::vector<float>& stack, const PerceptionContextClass& context) override;
};

class LessEqualNodeClass final : public PerceptionFunctionNodeClass {
public:
    bool Evaluate(std::vector<float>& stack, const PerceptionContextClass& context) override;
};

class GreaterEqualNodeClass final : public PerceptionFunctionNodeClass {
public:
    bool Evaluate(std::vector<float>& stack, const PerceptionContextClass& context) override;
};

#endif
