#ifndef COGNEXA_VALUE_STACK_OPERATIONS_H
#define COGNEXA_VALUE_STACK_OPERATIONS_H

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

// Sums and products whose operands are both NaN carry the left operand's NaN, quieted. The
// hardware returns the NaN of whichever operand its instruction takes first, and a compiler may
// put either first, so without this the payload would depend on how each piece of code that
// adds was compiled (the nodes and the compact program must agree bit for bit).
inline float Quieted_Left_Or(float left, float result)
{
    // Only a NaN result can carry the wrong payload; the test is one compare on the result.
    if (result != result && left != left) {
        uint32_t bits;
        std::memcpy(&bits, &left, sizeof bits);
        bits |= 0x00400000u;
        std::memcpy(&left, &bits, sizeof bits);
        return left;
    }
    return result;
}

inline float Sum(float left, float right)
{
    return Quieted_Left_Or(left, left + right);
}

inline float Product(float left, float right)
{
    return Quieted_Left_Or(left, left * right);
}

// The value of a comparison.
inline float Truth(bool value)
{
    return value ? 1.0f : 0.0f;
}

// The division rule: 0 divided by anything is 0 (so 0 / 0 too); anything else divided by 0
// fails, and the caller reports it. quotient is written either way.
inline bool Quotient(float left, float right, float& quotient)
{
    if (left == 0.0f) {
        quotient = 0.0f;
        return true;
    }
    if (right == 0.0f) {
        quotient = 0.0f;
        return false;
    }
    quotient = left / right;
    return true;
}

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
