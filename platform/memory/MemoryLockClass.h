#ifndef COGNEXA_PLATFORM_MEMORY_LOCK_CLASS_H
#define COGNEXA_PLATFORM_MEMORY_LOCK_CLASS_H

#include "foundation/LibraryPlatformClass.h"

#include <mutex>

// A recursive lock whose bounded wait polls, which every thread checker follows.
class MemoryLockClass : public PlatformLockClass {
public:
    bool Acquire(unsigned milliseconds) override;
    void Release() override;

private:
    std::recursive_mutex Mutex;
};

#endif
