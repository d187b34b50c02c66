#include "AllocationCounter.h"

#include <cstdlib>
#include <new>

namespace {
thread_local bool Counting = false;
thread_local int Count = 0;
}  // namespace

void AllocationCounter::Start()
{
    Count = 0;
    Counting = true;
}

int AllocationCounter::Stop()
{
    Counting = false;
    return Count;
}

void* operator new(std::size_t size)
{
    if (Counting) {
        ++Count;
    }
    if (void* memory = std::malloc(size == 0 ? 1 : size)) {
        return memory;
    }
    throw std::bad_alloc();
}

void operator delete(void* memory) noexcept
{
    std::free(memory);
}

void operator delete(void* memory, std::size_t) noexcept
{
    std::free(memory);
}

// The nothrow form must pair with the delete above too, or a sanitizer build sees a mismatch
// (and its allocations would go uncounted).
void* operator new(std::size_t size, const std::nothrow_t&) noexcept
{
    if (Counting) {
        ++Count;
    }
    return std::malloc(size == 0 ? 1 : size);
}
