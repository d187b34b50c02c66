#ifndef COGNEXA_PLATFORM_POSIX_LIBRARY_PLATFORM_CLASS_H
#define COGNEXA_PLATFORM_POSIX_LIBRARY_PLATFORM_CLASS_H

#include "foundation/LibraryPlatformClass.h"

// The library's platform on POSIX systems. It has no state, so one object serves the whole
// process and its constructor can run at compile time.
class PosixLibraryPlatformClass : public LibraryPlatformClass {
public:
    constexpr PosixLibraryPlatformClass() = default;

    std::unique_ptr<PlatformFileClass> Open_File_For_Reading(const char* name) override;
    std::unique_ptr<PlatformFileClass> Create_File_For_Writing(const char* name) override;
    std::unique_ptr<PlatformSearchClass> Find_First_File(const char* path, WIN32_FIND_DATAA* data) override;
    std::unique_ptr<PlatformLockClass> Create_Lock() override;
    // Written to stderr as "caption: text".
    void Show_Notice(const char* caption, const char* text) override;
};

#endif
