#include "platform/win32/Win32LibraryPlatformClass.h"

#include "platform/win32/Win32FileClass.h"
#include "platform/win32/Win32LockClass.h"
#include "platform/win32/Win32SearchClass.h"

std::unique_ptr<PlatformFileClass> Win32LibraryPlatformClass::Open_File_For_Reading(const char* name)
{
    return Win32FileClass::Open(name, GENERIC_READ, OPEN_EXISTING);
}

std::unique_ptr<PlatformFileClass> Win32LibraryPlatformClass::Create_File_For_Writing(const char* name)
{
    return Win32FileClass::Open(name, GENERIC_WRITE, CREATE_ALWAYS);
}

std::unique_ptr<PlatformSearchClass> Win32LibraryPlatformClass::Find_First_File(const char* path,
                                                                                WIN32_FIND_DATAA* data)
{
    return Win32SearchClass::Start(path, data);
}

std::unique_ptr<PlatformLockClass> Win32LibraryPlatformClass::Create_Lock()
{
    return std::make_unique<Win32LockClass>();
}

void Win32LibraryPlatformClass::Show_Notice(const char* caption, const char* text)
{
    Notice_Box()(nullptr, text, caption, MB_OK | MB_ICONERROR);
}
