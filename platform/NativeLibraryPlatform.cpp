// The native platform of the build's OS, the same way on each: constant-initialised and never
// destroyed.
#if defined(_WIN32)
#include "platform/win32/Win32LibraryPlatformClass.h"
typedef Win32LibraryPlatformClass NativeLibraryPlatformClass;
#else
#include "platform/posix/PosixLibraryPlatformClass.h"
typedef PosixLibraryPlatformClass NativeLibraryPlatformClass;
#endif

namespace {

// Holds the native platform without ever destroying it: a notice or a file opened from a
// static destructor, in any order, still finds it.
union NativePlatformStorage {
    constexpr NativePlatformStorage() : Native() {}
    ~NativePlatformStorage() {}
    NativeLibraryPlatformClass Native;
};

// Constant-initialised: in place before any constructor of a static object runs.
NativePlatformStorage TheNativePlatform;

}  // namespace

LibraryPlatformClass* Native_Library_Platform()
{
    return &TheNativePlatform.Native;
}

LibraryPlatformClass* TheLibraryPlatformPtr = &TheNativePlatform.Native;
