#ifndef COGNEXA_TOKEN_NODE_CLASS_H
#define COGNEXA_TOKEN_NODE_CLASS_H

#include "equations/PerceptionFunctionNodeClass.h"

#include <vector>

// A token expression: the host computes its value from the token path and the values bound to
// its parameters, which the program pushed just before this node in binding order.
class TokenNodeClass final : public PerceptionFunctionNodeClass {
public:
    bool Evaluate(std::vector<float>& stack, const PerceptionContextClass& context) override;

    std::vector<PerceptionTokenType> Token_Path;
    std::vector<PerceptionTokenType> Bound_Parameters;
};

#endif
