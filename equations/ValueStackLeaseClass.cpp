#include "equations/ValueStackLeaseClass.h"

#include <cstddef>
#include <mutex>

// Stacks not in use, shared by all threads. Not thread_local: a thread-local object with a
// destructor is destroyed after its storage is freed when a thread ends under mingw-w64's
// emulated thread-local storage. Only programs too deep for the evaluating frame and equations
// that run their nodes one by one take a stack, so the lock is rarely taken. The pool keeps what
// it has made: a warm lease allocates nothing.
struct ValueStacksStruct {
    std::mutex Lock;
    std::vector<std::vector<float>*> Free;
    std::size_t Made = 0;
};

namespace {

constexpr std::size_t INITIAL_CAPACITY = 32;

// Never destroyed: threads may still give stacks back while the process exits.
ValueStacksStruct& The_Value_Stacks()
{
    static ValueStacksStruct* stacks = new ValueStacksStruct();
    return *stacks;
}

}  // namespace

ValueStackLeaseClass::ValueStackLeaseClass() : Stacks(The_Value_Stacks())
{
    {
        const std::lock_guard<std::mutex> hold(Stacks.Lock);
        if (!Stacks.Free.empty()) {
            Stack = Stacks.Free.back();
            Stacks.Free.pop_back();
        } else {
            // Room to take every stack back, so giving one back never allocates.
            Stacks.Free.reserve(Stacks.Made + 1);
            Stack = new std::vector<float>();
            ++Stacks.Made;
        }
    }
    Stack->clear();
    if (Stack->capacity() == 0) {
        try {
            Stack->reserve(INITIAL_CAPACITY);
        } catch (...) {
            const std::lock_guard<std::mutex> hold(Stacks.Lock);
            Stacks.Free.push_back(Stack);
            throw;
        }
    }
}

ValueStackLeaseClass::~ValueStackLeaseClass()
{
    const std::lock_guard<std::mutex> hold(Stacks.Lock);
    Stacks.Free.push_back(Stack);
}
