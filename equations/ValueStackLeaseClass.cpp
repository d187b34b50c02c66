#include "equations/ValueStackLeaseClass.h"

#include <cstddef>
#include <deque>

// The outermost level, by far the most common, has its stack at hand; deeper levels live in a
// deque, so a stack in use does not move when a deeper level is added.
struct ValueStacksStruct {
    std::size_t Depth = 0;
    std::vector<float> Outermost;
    std::deque<std::vector<float>> Nested;
};

namespace {

constexpr std::size_t INITIAL_CAPACITY = 32;

// Internal linkage lets the compiler reach it with one lookup of the module's thread block
// (local-dynamic), which also works in a library loaded late with dlopen.
thread_local ValueStacksStruct TheValueStacks;

std::vector<float>& Nested_Stack(ValueStacksStruct& stacks, std::size_t level)
{
    if (level == stacks.Nested.size()) {
        stacks.Nested.emplace_back();
    }
    return stacks.Nested[level];
}

}  // namespace

ValueStackLeaseClass::ValueStackLeaseClass() : Stacks(TheValueStacks)
{
    Stack = Stacks.Depth == 0 ? &Stacks.Outermost : &Nested_Stack(Stacks, Stacks.Depth - 1);
    if (Stack->capacity() == 0) {
        Stack->reserve(INITIAL_CAPACITY);
    }
    ++Stacks.Depth;
    Stack->clear();
}

ValueStackLeaseClass::~ValueStackLeaseClass()
{
    --Stacks.Depth;
}
