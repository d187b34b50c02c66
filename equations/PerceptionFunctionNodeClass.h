#ifndef COGNEXA_PERCEPTION_FUNCTION_NODE_CLASS_H
#define COGNEXA_PERCEPTION_FUNCTION_NODE_CLASS_H

#include <cognexa/PerceptionTokenType.h>

#include <vector>

// One instruction of an equation's postfix program. It works on the value stack, whose last
// element is the top, and returns false to end the evaluation of the whole equation.
class PerceptionFunctionNodeClass {
public:
    PerceptionFunctionNodeClass() = default;
    PerceptionFunctionNodeClass(const PerceptionFunctionNodeClass&) = delete;
    PerceptionFunctionNodeClass& operator=(const PerceptionFunctionNodeClass&) = delete;
    virtual ~PerceptionFunctionNodeClass();

    virtual bool Evaluate(std::vector<float>& stack, const PerceptionContextClass& context) = 0;
};

#endif
