#include <cognexa/FileStreamClass.h>

#include <cognexa/MegaFileManagerClass.h>

#include "foundation/TheHostBinding.h"
#include "foundation/LibraryPlatformClass.h"

namespace {

MegaFileManagerClass* Installed_File_Manager()
{
    return TheHostBinding.File_Manager;
}

}  // namespace

FileStreamClass::FileStreamClass()
    : Access(ACCESS_NONE), System_File(nullptr), Member_Handle(-1)
{
}

FileStreamClass::FileStreamClass(const char* name) : FileStreamClass()
{
    if (name != nullptr) Name = name;
}

FileStreamClass::FileStreamClass(const std::string& name) : FileStreamClass()
{
    Name = name;
}

FileStreamClass::~FileStreamClass()
{
    FileStreamClass::Close();
}

bool FileStreamClass::Open(int mode, bool archives_only)
{
    return FileStreamClass::Open(std::string(Name), mode, archives_only);
}

bool FileStreamClass::Open(const char* name, int mode, bool archives_only)
{
    if (name == nullptr) return false;
    return FileStreamClass::Open(std::string(name), mode, archives_only);
}

bool FileStreamClass::Open(const std::string& name, int mode, bool archives_only)
{
    if (name.empty() || (mode != ACCESS_READ && mode != ACCESS_WRITE)) return false;
    if (Has_System_Handle() || Has_Member_Handle() || Access != ACCESS_NONE) return false;

    if (!archives_only) {
        std::unique_ptr<PlatformFileClass> file = mode == ACCESS_READ
                                                      ? TheLibraryPlatformPtr->Open_File_For_Reading(name.c_str())
                                                      : TheLibraryPlatformPtr->Create_File_For_Writing(name.c_str());
        System_File = file.release();
    }
    if (!Has_System_Handle()) {
        MegaFileManagerClass* manager = Installed_File_Manager();
        if (mode == ACCESS_WRITE || manager == nullptr) return false;
        Member_Handle = manager->Open_Sub_File(name);
        if (!Has_Member_Handle()) return false;
    }
    Access = mode;
    Name = name;
    return true;
}

bool FileStreamClass::Close()
{
    if ((!Has_System_Handle() && !Has_Member_Handle()) || Access == ACCESS_NONE) return false;
    bool closed;
    if (Has_System_Handle()) {
        closed = System_File->Close();
        delete System_File;
    } else {
        MegaFileManagerClass* manager = Installed_File_Manager();
        closed = manager != nullptr && manager->Close_Sub_File(Member_Handle);
    }
    Access = ACCESS_NONE;
    System_File = nullptr;
    Member_Handle = -1;
    return closed;
}

int FileStreamClass::Read(void* buffer, int count)
{
    if (buffer == nullptr || Access != ACCESS_READ) return -1;
    if (Has_System_Handle()) return System_File->Read(buffer, count);
    MegaFileManagerClass* manager = Installed_File_Manager();
    if (!Has_Member_Handle() || manager == nullptr) return -1;
    return manager->Read_Sub_File(Member_Handle, buffer, count);
}

int FileStreamClass::Write(const void* buffer, int count)
{
    if (buffer == nullptr || Access != ACCESS_WRITE || !Has_System_Handle()) return -1;
    return System_File->Write(buffer, count);
}

int FileStreamClass::Seek(int offset, int origin)
{
    if (origin < SEEK_FROM_BEGIN || origin > SEEK_FROM_END || Access == ACCESS_NONE) return -1;
    if (Has_System_Handle()) return System_File->Seek(offset, origin);
    MegaFileManagerClass* manager = Installed_File_Manager();
    if (!Has_Member_Handle() || manager == nullptr) return -1;
    return manager->Seek_Sub_File(Member_Handle, offset, origin);
}

int FileStreamClass::Tell()
{
    return Seek(0, SEEK_FROM_CURRENT);
}

int FileStreamClass::Size()
{
    if (Access == ACCESS_NONE) return -1;
    if (Has_System_Handle()) return System_File->Size();
    MegaFileManagerClass* manager = Installed_File_Manager();
    if (!Has_Member_Handle() || manager == nullptr) return -1;
    return manager->Get_Sub_File_Size(Member_Handle);
}

const char* FileStreamClass::Get_File_Name() const
{
    return Name.c_str();
}

bool FileStreamClass::Is_Open() const
{
    return Has_System_Handle() || Has_Member_Handle();
}

std::uint64_t FileStreamClass::Get_Time()
{
    if (!Has_System_Handle() || Access == ACCESS_NONE) return 0;
    return System_File->Last_Write_Time();
}
