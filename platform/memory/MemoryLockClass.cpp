#include "platform/memory/MemoryLockClass.h"

#include <chrono>
#include <thread>

bool MemoryLockClass::Acquire(unsigned milliseconds)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    while (!Mutex.try_lock()) {
        if (std::chrono::steady_clock::now() >= deadline) return false;
        std::this_thread::sleep_for(std::chrono::microseconds(50));
    }
    return true;
}

void MemoryLockClass::Release()
{
    Mutex.unlock();
}
