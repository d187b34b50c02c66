#ifndef COGNEXA_TESTS_EQUATIONS_ALLOCATION_COUNTER_H
#define COGNEXA_TESTS_EQUATIONS_ALLOCATION_COUNTER_H

// Counts operator new calls of the calling thread between Start and Stop (the test binary
// replaces the global operator new).
namespace AllocationCounter {
void Start();
int Stop();
}  // namespace AllocationCounter

#endif
