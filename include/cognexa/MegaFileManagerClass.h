#ifndef COGNEXA_MEGA_FILE_MANAGER_CLASS_H
#define COGNEXA_MEGA_FILE_MANAGER_CLASS_H

#include <cognexa/Export.h>
#include <cognexa/FindData.h>

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

struct MegaFileSlotStruct;
struct OpenSubFileStruct;
class FileFindStateClass;
class PlatformLockClass;

// The game's file system: an ordered set of mega files (searched in the order they were
// added), the members opened from them, and a directory enumeration that merges loose files
// with members. The host creates and fills one and hands it to Init_Perception_DLL. Any thread
// may call any operation; one recursive lock, waited for at most Lock_Wait_Milliseconds,
// guards the lists (a wait that times out fails the operation with its failure result).
// Open members and enumerations are 32-bit handles; -1 is never one.
class COGNEXA_API MegaFileManagerClass {
public:
    static constexpr int Lock_Wait_Milliseconds = 10000;

    MegaFileManagerClass();
    // Closes every open member and every archive still loaded, and ends open enumerations.
    ~MegaFileManagerClass();
    MegaFileManagerClass(const MegaFileManagerClass&) = delete;
    MegaFileManagerClass& operator=(const MegaFileManagerClass&) = delete;

    // Archive set. mode 0 streams members from disk, mode 1 holds the archive in memory; a
    // hidden archive is reached only through its id. Returns the archive id, or -1.
    int Add_Mega_File(const std::string& path, int mode, bool hidden);
    int Add_Mega_File(const char* path, int mode, bool hidden);
    // Adds every archive named in prefix + "Data\MegaFiles.xml" (streamed, not hidden), in
    // list order. A null prefix does nothing.
    void Load_Mega_File_List(const char* prefix);
    bool Remove_Mega_File(int id);
    bool Remove_Mega_File(const std::string& path);
    bool Remove_All_Mega_Files();
    bool Is_Mega_File_Loaded(const std::string& path);
    bool Is_Valid_Mega_File_ID(int id);

    // Open members, for the file object. The first visible archive holding the name wins.
    int Open_Sub_File(const std::string& name);
    int Open_Sub_File(const char* name);
    int Read_Sub_File(int handle, void* buffer, int count);
    int Seek_Sub_File(int handle, int offset, int origin);
    // The member's size, or 0 for an unknown handle.
    int Get_Sub_File_Size(int handle);
    bool Close_Sub_File(int handle);
    bool Is_Sub_File_Open(int handle);

    // Enumeration of a directory with a wildcard in the last component: loose files first
    // (sorted by name), then archive members and subdirectories not yet reported, each once.
    // Find_First returns an enumeration handle, or -1 when nothing matches.
    int Find_First(const char* path, WIN32_FIND_DATAA* data);
    bool Find_Next(int find_handle, WIN32_FIND_DATAA* data);
    bool Find_Close(int find_handle);

    // Members by archive id, for the host.
    const void* Load_Sub_File_Data(int id, const std::string& name, unsigned int& size, int& index);
    const void* Load_Sub_File_Data(int id, int index, unsigned int& size);
    bool Release_Sub_File_Data(int id, const void* block);
    unsigned int Get_Sub_File_Size(int id, int index);
    unsigned int Get_Sub_File_CRC(int id, int index);
    unsigned int Get_Sub_File_Count(int id);
    void Get_Sub_File_Name(int id, int index, std::string& name);

private:
    MegaFileSlotStruct* Find_Slot(int id);
    OpenSubFileStruct* Find_Open_Member(int handle);
    FileFindStateClass* Find_State(int find_handle);
    void Close_Members_Of(const MegaFileSlotStruct* slot);
    void Remove_Slot(std::size_t position);
    bool Scan_Archives(FileFindStateClass& state, WIN32_FIND_DATAA* data);

    std::vector<std::unique_ptr<MegaFileSlotStruct>> Archives;
    std::unordered_map<int, std::unique_ptr<OpenSubFileStruct>> Open_Members;
    int Next_Id;
    std::uint32_t Next_Member_Handle;
    std::unordered_map<int, std::unique_ptr<FileFindStateClass>> Find_States;
    std::uint32_t Next_Find_Handle;
    // The platform's lock, owned. A pointer, so this header needs no OS's lock type.
    PlatformLockClass* Lock;
};

#endif
