#ifndef COGNEXA_PLATFORM_POSIX_LOCK_CLASS_H
#define COGNEXA_PLATFORM_POSIX_LOCK_CLASS_H

#include "foundation/LibraryPlatformClass.h"

#include <mutex>

class PosixLockClass : public PlatformLockClass {
public:
    bool Acquire(unsigned milliseconds) override;
    void Release() override;

private:
    std::recursive_timed_mutex Mutex;
};

#endif
