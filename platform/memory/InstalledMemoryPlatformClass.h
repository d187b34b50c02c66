#ifndef COGNEXA_PLATFORM_MEMORY_INSTALLED_MEMORY_PLATFORM_CLASS_H
#define COGNEXA_PLATFORM_MEMORY_INSTALLED_MEMORY_PLATFORM_CLASS_H

#include "platform/memory/MemoryLibraryPlatformClass.h"

// An in-memory platform that the library uses for the life of this object; the platform in
// use before comes back when it ends. Files and searches opened through it must end first.
class InstalledMemoryPlatformClass : public MemoryLibraryPlatformClass {
public:
    InstalledMemoryPlatformClass() : Previous(TheLibraryPlatformPtr) { TheLibraryPlatformPtr = this; }
    ~InstalledMemoryPlatformClass() override { TheLibraryPlatformPtr = Previous; }

private:
    LibraryPlatformClass* const Previous;
};

#endif
