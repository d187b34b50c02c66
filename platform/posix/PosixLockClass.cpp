#include "platform/posix/PosixLockClass.h"

#include <chrono>
#include <thread>

bool PosixLockClass::Acquire(unsigned milliseconds)
{
#if defined(__SANITIZE_THREAD__)
    // The thread checker does not follow glibc's clock-based timed lock, so checked builds
    // poll with try_lock, which it does follow, under the same deadline.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    while (!Mutex.try_lock()) {
        if (std::chrono::steady_clock::now() >= deadline) return false;
        std::this_thread::sleep_for(std::chrono::microseconds(50));
    }
    return true;
#else
    return Mutex.try_lock_for(std::chrono::milliseconds(milliseconds));
#endif
}

void PosixLockClass::Release()
{
    Mutex.unlock();
}
