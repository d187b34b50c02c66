#include "platform/posix/PosixLibraryPlatformClass.h"

#include "platform/RecursiveTimedLockClass.h"
#include "platform/posix/PosixFileClass.h"
#include "platform/posix/PosixSearchClass.h"

#include <cstdio>
#include <fcntl.h>

std::unique_ptr<PlatformFileClass> PosixLibraryPlatformClass::Open_File_For_Reading(const char* name)
{
    return PosixFileClass::Open(name, O_RDONLY);
}

std::unique_ptr<PlatformFileClass> PosixLibraryPlatformClass::Create_File_For_Writing(const char* name)
{
    return PosixFileClass::Open(name, O_WRONLY | O_CREAT | O_TRUNC);
}

std::unique_ptr<PlatformSearchClass> PosixLibraryPlatformClass::Find_First_File(const char* path,
                                                                                WIN32_FIND_DATAA* data)
{
    return PosixSearchClass::Start(path, data);
}

std::unique_ptr<PlatformLockClass> PosixLibraryPlatformClass::Create_Lock()
{
    return std::unique_ptr<PlatformLockClass>(new RecursiveTimedLockClass);
}

void PosixLibraryPlatformClass::Show_Notice(const char* caption, const char* text)
{
    std::fprintf(stderr, "%s: %s", caption, text);
    std::fflush(stderr);
}
