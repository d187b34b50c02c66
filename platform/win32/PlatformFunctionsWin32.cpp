// Bridges the free functions that data/ still calls to the Win32 classes.
#include "platform/Platform.h"
#include "platform/win32/Win32LibraryPlatformClass.h"

struct Platform::FindSearchStruct {
    std::unique_ptr<PlatformSearchClass> Search;
};

namespace Platform {

namespace {

Win32LibraryPlatformClass& Native()
{
    static Win32LibraryPlatformClass platform;
    return platform;
}

PlatformFileClass* File_Of(FileHandle file)
{
    return file == Invalid_File_Handle ? nullptr : reinterpret_cast<PlatformFileClass*>(file);
}

FileHandle Handle_Of(std::unique_ptr<PlatformFileClass> file)
{
    return file ? reinterpret_cast<FileHandle>(file.release()) : Invalid_File_Handle;
}

}  // namespace

FileHandle Open_File_For_Reading(const char* name) { return Handle_Of(Native().Open_File_For_Reading(name)); }
FileHandle Create_File_For_Writing(const char* name) { return Handle_Of(Native().Create_File_For_Writing(name)); }
int Read_File(FileHandle file, void* buffer, int count) { return File_Of(file) ? File_Of(file)->Read(buffer, count) : -1; }
int Write_File(FileHandle file, const void* buffer, int count) { return File_Of(file) ? File_Of(file)->Write(buffer, count) : -1; }
int Seek_File(FileHandle file, int offset, int origin) { return File_Of(file) ? File_Of(file)->Seek(offset, origin) : -1; }
int Get_File_Size(FileHandle file) { return File_Of(file) ? File_Of(file)->Size() : -1; }
std::uint64_t Get_File_Time(FileHandle file) { return File_Of(file) ? File_Of(file)->Last_Write_Time() : 0; }
bool Close_File(FileHandle file)
{
    delete File_Of(file);
    return File_Of(file) != nullptr;
}

FindHandle Find_First_File(const char* path, WIN32_FIND_DATAA* data)
{
    std::unique_ptr<PlatformSearchClass> search = Native().Find_First_File(path, data);
    return search ? new FindSearchStruct{std::move(search)} : nullptr;
}
bool Find_Next_File(FindHandle search, WIN32_FIND_DATAA* data) { return search && search->Search->Next(data); }
bool Find_Close(FindHandle search)
{
    delete search;
    return search != nullptr;
}

}  // namespace Platform
