#ifndef COGNEXA_LIBRARY_PLATFORM_CLASS_H
#define COGNEXA_LIBRARY_PLATFORM_CLASS_H

// Everything the library asks of an operating system, behind one interface: files, directory
// search, the file system's lock and the default form of a notice. One implementation per OS
// in platform/ (posix/, win32/) and an in-memory one for tests (platform/memory/). The interface
// lives here, beneath the subsystems, so they depend on it and not on any OS; the implementations
// depend on it in turn, as the launcher's do on LauncherPlatformClass. Subsystem code reaches the OS only
// through TheLibraryPlatformPtr.

#include <cognexa/FindData.h>

#include <cstdint>
#include <memory>

// An open file. Closed when destroyed.
class PlatformFileClass {
public:
    virtual ~PlatformFileClass() = default;

    // Bytes transferred (short only at the end of the file), or -1.
    // False when the OS reports an error, for example written data it could not store; the file
    // is released either way. A file not closed is closed when destroyed.
    virtual bool Close() = 0;
    virtual int Read(void* buffer, int count) = 0;
    virtual int Write(const void* buffer, int count) = 0;
    // origin 0 begin, 1 current, 2 end; the new position, or -1.
    virtual int Seek(int offset, int origin) = 0;
    // Size in bytes, or -1 (also for a file of 2 GiB or more).
    virtual int Size() = 0;
    // Last-write time as 100 ns ticks since 1601-01-01 UTC, or 0.
    virtual std::uint64_t Last_Write_Time() = 0;
};

// A directory search under way. Ended when destroyed.
class PlatformSearchClass {
public:
    virtual ~PlatformSearchClass() = default;

    // The next match written to data; false when there is none.
    virtual bool Next(WIN32_FIND_DATAA* data) = 0;
};

// A recursive lock with a bounded wait: the thread that holds it may take it again. A thread that
// ends while holding it leaves it free, and the next thread to take it starts at depth one.
class PlatformLockClass {
public:
    virtual ~PlatformLockClass() = default;

    // False when the wait runs out before the lock is free.
    virtual bool Acquire(unsigned milliseconds) = 0;
    virtual void Release() = 0;
};

class LibraryPlatformClass {
public:
    virtual ~LibraryPlatformClass() = default;

    // Names take a backslash or "/" as separators. Game data is written for a file system that
    // ignores case: where the OS's does not, a name that does not exist as written is resolved
    // one component at a time against directory entries, ignoring ASCII case.

    // An existing regular file, for reading; null when it cannot be opened.
    virtual std::unique_ptr<PlatformFileClass> Open_File_For_Reading(const char* name) = 0;
    // A file for writing, created or truncated; null on failure.
    virtual std::unique_ptr<PlatformFileClass> Create_File_For_Writing(const char* name) = 0;

    // The last component of path is a wildcard ("*", "?", ASCII case ignored); "." and ".." are
    // reported when it matches them. The first match is written to data; null when nothing
    // matches. Entries come sorted by name (bytewise), so an enumeration is the same on every
    // run. Names longer than COGNEXA_MAX_PATH - 1 bytes cannot be reported and are left out.
    virtual std::unique_ptr<PlatformSearchClass> Find_First_File(const char* path, WIN32_FIND_DATAA* data) = 0;

    virtual std::unique_ptr<PlatformLockClass> Create_Lock() = 0;

    // A notice in the platform's own form, used when the host has installed no handler of its
    // own. Returns when the notice has been shown.
    virtual void Show_Notice(const char* caption, const char* text) = 0;
};

// The platform of the OS the library was built for. It is constant-initialised and never
// destroyed, so static constructors and destructors of any translation unit may use it.
LibraryPlatformClass* Native_Library_Platform();

// The platform the library uses: the native one unless a test has installed another. Points
// at the native platform from before any dynamic initialisation runs.
extern LibraryPlatformClass* TheLibraryPlatformPtr;

#endif
