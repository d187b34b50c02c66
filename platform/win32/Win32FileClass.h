#ifndef COGNEXA_WIN32_FILE_CLASS_H
#define COGNEXA_WIN32_FILE_CLASS_H

#include "foundation/LibraryPlatformClass.h"

#include <windows.h>

// A file opened with CreateFileA; the handle is closed when the object is destroyed.
class Win32FileClass : public PlatformFileClass {
public:
    // Takes over an open handle of a regular file.
    explicit Win32FileClass(HANDLE handle);
    ~Win32FileClass() override;
    Win32FileClass(const Win32FileClass&) = delete;
    Win32FileClass& operator=(const Win32FileClass&) = delete;

    // Null when the name does not open or names something other than a file on disk.
    static std::unique_ptr<PlatformFileClass> Open(const char* name, DWORD access, DWORD disposition);

    bool Close() override;
    int Read(void* buffer, int count) override;
    int Write(const void* buffer, int count) override;
    int Seek(int offset, int origin) override;
    int Size() override;
    std::uint64_t Last_Write_Time() override;

private:
    HANDLE Handle;
};

#endif
