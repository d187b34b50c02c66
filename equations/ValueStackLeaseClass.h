#ifndef COGNEXA_VALUE_STACK_LEASE_CLASS_H
#define COGNEXA_VALUE_STACK_LEASE_CLASS_H

#include <vector>

struct ValueStacksStruct;

// An empty value stack for one evaluation, taken from stacks all threads share and given back
// when the lease ends. A host's token callback may evaluate another equation while one is
// running, so each nesting level takes a stack of its own; a stack in use never moves. Once warm,
// taking a lease allocates nothing; a cold one may throw std::bad_alloc.
class ValueStackLeaseClass {
public:
    ValueStackLeaseClass();
    ~ValueStackLeaseClass();
    ValueStackLeaseClass(const ValueStackLeaseClass&) = delete;
    ValueStackLeaseClass& operator=(const ValueStackLeaseClass&) = delete;

    std::vector<float>& Get_Stack() { return *Stack; }

private:
    ValueStacksStruct& Stacks;
    std::vector<float>* Stack;
};

#endif
