#ifndef COGNEXA_PLATFORM_RECURSIVE_TIMED_LOCK_CLASS_H
#define COGNEXA_PLATFORM_RECURSIVE_TIMED_LOCK_CLASS_H

#include "foundation/LibraryPlatformClass.h"

#include <condition_variable>
#include <mutex>
#include <thread>

// The file system's lock on POSIX: recursive, with a bounded wait, and given up when the thread
// that holds it ends, however deeply it held it. The next waiter then takes it afresh, as a
// Windows mutex is taken when its holder is gone: a worker that dies holding the lock must not
// shut the game out of its files. A mutex and a condition variable, which every thread checker
// follows, so there is no polling. Must not be destroyed while another thread holds it.
class RecursiveTimedLockClass : public PlatformLockClass {
public:
    RecursiveTimedLockClass() = default;
    ~RecursiveTimedLockClass() override;
    RecursiveTimedLockClass(const RecursiveTimedLockClass&) = delete;
    RecursiveTimedLockClass& operator=(const RecursiveTimedLockClass&) = delete;

    bool Acquire(unsigned milliseconds) override;
    // A thread that does not hold the lock gives up nothing.
    void Release() override;

    // Run on the holder's own thread as it ends.
    void Give_Up_At_Thread_End();

private:
    std::mutex Guard;
    std::condition_variable Freed;
    std::thread::id Holder;
    unsigned Depth = 0;
};

#endif
