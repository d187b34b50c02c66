#ifndef COGNEXA_FILE_STREAM_CLASS_H
#define COGNEXA_FILE_STREAM_CLASS_H

#include <cognexa/Export.h>

#include <cstdint>
#include <string>

class PlatformFileClass;

// The library's file object: a loose file on disk or, for reading, a member of one of the
// archives of the installed file manager. The loose file wins over a member of the same name.
class COGNEXA_API FileStreamClass {
public:
    enum { ACCESS_NONE = -1, ACCESS_READ = 0, ACCESS_WRITE = 1 };
    enum { SEEK_FROM_BEGIN = 0, SEEK_FROM_CURRENT = 1, SEEK_FROM_END = 2 };

    FileStreamClass();
    explicit FileStreamClass(const char* name);
    explicit FileStreamClass(const std::string& name);
    FileStreamClass(const FileStreamClass&) = delete;
    FileStreamClass& operator=(const FileStreamClass&) = delete;

    virtual ~FileStreamClass();
    // mode 0 reads, mode 1 creates or truncates a loose file. With archives_only the disk is
    // not consulted.
    virtual bool Open(int mode, bool archives_only);
    virtual bool Open(const char* name, int mode, bool archives_only);
    virtual bool Open(const std::string& name, int mode, bool archives_only);
    virtual bool Close();
    // Bytes transferred, or -1.
    virtual int Read(void* buffer, int count);
    virtual int Write(const void* buffer, int count);
    // New position, or -1.
    virtual int Seek(int offset, int origin);
    virtual int Tell();
    virtual int Size();
    virtual const char* Get_File_Name() const;
    virtual bool Is_Open() const;
    // Last-write time of a loose file as 100 ns ticks since 1601-01-01 UTC; 0 otherwise.
    virtual std::uint64_t Get_Time();

private:
    bool Has_System_Handle() const { return System_File != nullptr; }
    bool Has_Member_Handle() const { return Member_Handle != -1; }

    int Access;
    // A loose file, owned; the size of the handle it replaces, so the layout hosts see stays.
    PlatformFileClass* System_File;
    std::string Name;
    int Member_Handle;
};

#endif
