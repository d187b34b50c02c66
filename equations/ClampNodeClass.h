#ifndef COGNEXA_CLAMP_NODE_CLASS_H
#define COGNEXA_CLAMP_NODE_CLASS_H

#include "equations/PerceptionFunctionNodeClass.h"

// clamp(value, low, high): fails when low > high; a NaN value passes through unchanged.
class ClampNodeClass final : public PerceptionFunctionNodeClass {
public:
    bool Evaluate(std::vector<float>& stack, const PerceptionContextClass& context) override;
};

#endif
