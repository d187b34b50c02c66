#ifndef COGNEXA_VALUE_STACK_OPERATIONS_H
#define COGNEXA_VALUE_STACK_OPERATIONS_H

#include <cstddef>
#include <vector>

// The common shape of the binary nodes: pop right (the top), pop left, push one result. A stack
// too short for both operands is left as it was.
template <typename Operation>
inline bool Apply_Binary(std::vector<float>& stack, Operation operation)
{
    const std::size_t size = stack.size();
    if (size < 2) {
        return false;
    }
    const float right = stack[size - 1];
    const float left = stack[size - 2];
    stack.pop_back();
    stack.back() = operation(left, right);
    return true;
}

#endif
