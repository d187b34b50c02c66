#include "platform/RecursiveTimedLockClass.h"

#include <algorithm>
#include <chrono>
#include <vector>

namespace {

// The locks this thread holds. Its destructor runs as the thread ends, on every way out a C++
// thread has (return, pthread_exit, cancellation), and frees what is still held.
class HeldLocksClass {
public:
    ~HeldLocksClass()
    {
        for (RecursiveTimedLockClass* lock : Locks) lock->Give_Up_At_Thread_End();
    }
    void Add(RecursiveTimedLockClass* lock) { Locks.push_back(lock); }
    void Remove(RecursiveTimedLockClass* lock)
    {
        // Locks are mostly released in the reverse order of taking them.
        const auto found = std::find(Locks.rbegin(), Locks.rend(), lock);
        if (found != Locks.rend()) Locks.erase(std::next(found).base());
    }

private:
    std::vector<RecursiveTimedLockClass*> Locks;
};

thread_local HeldLocksClass TheHeldLocks;

}  // namespace

RecursiveTimedLockClass::~RecursiveTimedLockClass()
{
    if (Depth > 0 && Holder == std::this_thread::get_id()) TheHeldLocks.Remove(this);
}

bool RecursiveTimedLockClass::Acquire(unsigned milliseconds)
{
    const std::thread::id me = std::this_thread::get_id();
    std::unique_lock<std::mutex> guard(Guard);
    if (Depth > 0 && Holder == me) {
        ++Depth;
        return true;
    }
    if (!Freed.wait_for(guard, std::chrono::milliseconds(milliseconds), [this] { return Depth == 0; })) {
        return false;
    }
    Holder = me;
    Depth = 1;
    TheHeldLocks.Add(this);
    return true;
}

void RecursiveTimedLockClass::Release()
{
    std::lock_guard<std::mutex> guard(Guard);
    if (Depth == 0 || Holder != std::this_thread::get_id() || --Depth > 0) return;
    Holder = std::thread::id();
    TheHeldLocks.Remove(this);
    // Under the guard: a waiter that takes the lock may destroy it as soon as the guard is free.
    Freed.notify_one();
}

void RecursiveTimedLockClass::Give_Up_At_Thread_End()
{
    std::lock_guard<std::mutex> guard(Guard);
    if (Depth == 0 || Holder != std::this_thread::get_id()) return;
    Depth = 0;
    Holder = std::thread::id();
    Freed.notify_one();
}
