#ifndef COGNEXA_ARITHMETIC_NODE_CLASSES_H
#define COGNEXA_ARITHMETIC_NODE_CLASSES_H

#include "equations/PerceptionFunctionNodeClass.h"

// The arithmetic operators of the postfix program. Results are 32-bit floats rounded under the
// thread's current rounding mode (round toward zero once the library is loaded).

class NegateNodeClass final : public PerceptionFunctionNodeClass {
public:
    bool Evaluate(std::vector<float>& stack, const PerceptionContextClass& context) override;
};

class AddNodeClass final : public PerceptionFunctionNodeClass {
public:
    bool Evaluate(std::vector<float>& stack, const PerceptionContextClass& context) override;
};

class SubtractNodeClass final : public PerceptionFunctionNodeClass {
public:
    bool Evaluate(std::vector<float>& stack, const PerceptionContextClass& context) override;
};

class MultiplyNodeClass final : public PerceptionFunctionNodeClass {
public:
    bool Evaluate(std::vector<float>& stack, const PerceptionContextClass& context) override;
};

// 0 / anything is 0; anything else / 0 pushes 0, reports a parse error and fails.
class DivideNodeClass final : public PerceptionFunctionNodeClass {
public:
    bool Evaluate(std::vector<float>& stack, const PerceptionContextClass& context) override;
};

// "#": the host's random number between left and right.
class RandomNodeClass final : public PerceptionFunctionNodeClass {
public:
    bool Evaluate(std::vector<float>& stack, const PerceptionContextClass& context) override;
};

#endif
