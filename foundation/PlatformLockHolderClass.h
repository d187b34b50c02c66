#ifndef COGNEXA_FOUNDATION_PLATFORM_LOCK_HOLDER_CLASS_H
#define COGNEXA_FOUNDATION_PLATFORM_LOCK_HOLDER_CLASS_H

#include "foundation/LibraryPlatformClass.h"

// Holds a platform lock for its scope, when the bounded wait for it succeeded.
class PlatformLockHolderClass {
public:
    PlatformLockHolderClass(PlatformLockClass& lock, unsigned milliseconds)
        : Lock(lock), Owned(lock.Acquire(milliseconds))
    {
    }
    ~PlatformLockHolderClass()
    {
        if (Owned) Lock.Release();
    }
    PlatformLockHolderClass(const PlatformLockHolderClass&) = delete;
    PlatformLockHolderClass& operator=(const PlatformLockHolderClass&) = delete;

    bool Owns_Lock() const { return Owned; }

private:
    PlatformLockClass& Lock;
    const bool Owned;
};

#endif
