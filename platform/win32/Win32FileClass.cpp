#include "platform/win32/Win32FileClass.h"

#include <climits>

Win32FileClass::Win32FileClass(HANDLE handle) : Handle(handle) {}

Win32FileClass::~Win32FileClass()
{
    Close();
}

bool Win32FileClass::Close()
{
    if (Handle == INVALID_HANDLE_VALUE) return true;
    const bool closed = CloseHandle(Handle);
    Handle = INVALID_HANDLE_VALUE;
    return closed;
}

std::unique_ptr<PlatformFileClass> Win32FileClass::Open(const char* name, DWORD access, DWORD disposition)
{
    if (name == nullptr || name[0] == '\0') return nullptr;
    HANDLE handle = CreateFileA(name, access, FILE_SHARE_READ, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return nullptr;
    // Device names ("CON", "NUL", "COM1") open as devices in any directory; a data file is
    // never one, and reading a console or a port could block the game.
    if (GetFileType(handle) != FILE_TYPE_DISK) {
        CloseHandle(handle);
        return nullptr;
    }
    return std::make_unique<Win32FileClass>(handle);
}

int Win32FileClass::Read(void* buffer, int count)
{
    if (buffer == nullptr || count < 0) return -1;
    char* cursor = static_cast<char*>(buffer);
    int total = 0;
    // ReadFile on a disk file stops short only at the end; the loop only guards against a
    // short read in the middle, so one call of ours reads everything up to the end.
    while (total < count) {
        DWORD got = 0;
        if (!ReadFile(Handle, cursor + total, static_cast<DWORD>(count - total), &got, nullptr)) return -1;
        if (got == 0) break;
        total += static_cast<int>(got);
    }
    return total;
}

int Win32FileClass::Write(const void* buffer, int count)
{
    if (buffer == nullptr || count < 0) return -1;
    const char* cursor = static_cast<const char*>(buffer);
    int total = 0;
    while (total < count) {
        DWORD put = 0;
        if (!WriteFile(Handle, cursor + total, static_cast<DWORD>(count - total), &put, nullptr) || put == 0) {
            return -1;
        }
        total += static_cast<int>(put);
    }
    return total;
}

int Win32FileClass::Seek(int offset, int origin)
{
    static const DWORD method_by_origin[] = {FILE_BEGIN, FILE_CURRENT, FILE_END};
    if (origin < 0 || origin > 2) return -1;
    LARGE_INTEGER distance;
    distance.QuadPart = offset;
    LARGE_INTEGER position;
    if (!SetFilePointerEx(Handle, distance, &position, method_by_origin[origin])) return -1;
    if (position.QuadPart > INT_MAX) return -1;
    return static_cast<int>(position.QuadPart);
}

int Win32FileClass::Size()
{
    LARGE_INTEGER size;
    if (!GetFileSizeEx(Handle, &size) || size.QuadPart > INT_MAX) return -1;
    return static_cast<int>(size.QuadPart);
}

std::uint64_t Win32FileClass::Last_Write_Time()
{
    FILETIME written;
    if (!GetFileTime(Handle, nullptr, nullptr, &written)) return 0;
    return (static_cast<std::uint64_t>(written.dwHighDateTime) << 32) | written.dwLowDateTime;
}
