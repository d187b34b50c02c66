#ifndef COGNEXA_WIN32_LOCK_CLASS_H
#define COGNEXA_WIN32_LOCK_CLASS_H

#include "foundation/LibraryPlatformClass.h"

#include <windows.h>

// An unnamed kernel mutex: recursive by nature, and WaitForSingleObject bounds the wait without
// polling. A thread that ends while holding it leaves it abandoned; the next waiter takes it
// afresh (the old depth is gone), as the lock of the other platforms does, since refusing the
// file system for the rest of the process would be worse.
class Win32LockClass : public PlatformLockClass {
public:
    Win32LockClass();
    ~Win32LockClass() override;
    Win32LockClass(const Win32LockClass&) = delete;
    Win32LockClass& operator=(const Win32LockClass&) = delete;

    bool Acquire(unsigned milliseconds) override;
    void Release() override;

private:
    HANDLE Mutex;
};

#endif
