// Mega archives: the input is written as an archive file and opened streamed and in memory;
// every member is found by its stored name, read, sought and loaded. Then the same file goes
// through the file system: added, enumerated, members opened through the file object, and
// removed while members are still open.
#include "FuzzHost.h"
#include "FuzzScratchFile.h"

#include <cstddef>
#include <cstdint>
#include <set>
#include <string>

namespace {

// Enough members to reach every part of a crafted table without making each run slow.
constexpr int Max_Members_Visited = 64;
constexpr int Max_Entries_Enumerated = 256;

void Read_Through(FileStreamClass& stream)
{
    char buffer[512];
    for (int reads = 0; reads < 16 && stream.Read(buffer, sizeof buffer) > 0; ++reads) {
    }
}

void Exercise_Member(MegaArchiveClass& archive, int index)
{
    std::string name;
    archive.Get_Sub_File_Name(index, name);
    archive.Find_Sub_File(name);
    const std::uint32_t size = archive.Get_Sub_File_Size(index);
    archive.Get_Sub_File_CRC(index);

    char buffer[256];
    FileStreamClass* stream = archive.Open_Sub_File_Stream(index);
    for (FileStreamClass* member : {static_cast<FileStreamClass*>(nullptr), stream}) {
        archive.Read_Sub_File(index, member, buffer, sizeof buffer);
        archive.Seek_Sub_File(index, member, -1, 0);
        archive.Seek_Sub_File(index, member, 7, 1);
        archive.Read_Sub_File(index, member, buffer, sizeof buffer);
        archive.Seek_Sub_File(index, member, -3, 2);
        archive.Read_Sub_File(index, member, buffer, sizeof buffer);
        archive.Seek_Sub_File(index, member, static_cast<int>(size / 2), 0);
        archive.Read_Sub_File(index, member, buffer, sizeof buffer);
        archive.Seek_Sub_File(index, member, 0, 5);
    }
    delete stream;

    const void* whole = archive.Load_Sub_File_Data(index);
    if (whole != nullptr) {
        volatile unsigned char first = size != 0 ? static_cast<const unsigned char*>(whole)[0] : 0;
        volatile unsigned char last = size != 0 ? static_cast<const unsigned char*>(whole)[size - 1] : 0;
        (void)first;
        (void)last;
        archive.Release_Sub_File_Data(whole);
    }
}

void Exercise_Archive(const std::string& path, int mode)
{
    MegaArchiveClass archive;
    if (!archive.Open(path, mode)) return;
    const int count = static_cast<int>(archive.Get_Record_Count());
    for (int index = 0; index < count && index < Max_Members_Visited; ++index) {
        Exercise_Member(archive, index);
    }
    archive.Find_Sub_File("missing\\member.xml");
    // A view handed out and not released is dropped by Close.
    if (count > 0) archive.Load_Sub_File_Data(0);
    archive.Close();
    if (archive.Open(mode)) archive.Close();
}

// Enumerates a pattern and opens every file entry through the file object, as the equation
// loader does; one member of each enumeration is left open for the removal to close.
void Enumerate_And_Open(MegaFileManagerClass& files, const std::string& pattern, FileStreamClass& kept_open)
{
    WIN32_FIND_DATAA found;
    const int find = files.Find_First(pattern.c_str(), &found);
    if (find == -1) return;
    const std::string directory = pattern.substr(0, pattern.find_last_of("\\/") + 1);
    int entries = 0;
    do {
        if ((found.dwFileAttributes & 16) != 0) continue;
        FileStreamClass file;
        if (!file.Open(directory + found.cFileName, 0, true)) continue;
        file.Size();
        Read_Through(file);
        file.Seek(0, 0);
        file.Seek(-1, 2);
        file.Tell();
        if (!kept_open.Is_Open()) kept_open.Open(directory + found.cFileName, 0, true);
    } while (++entries < Max_Entries_Enumerated && files.Find_Next(find, &found));
    files.Find_Close(find);
}

void Exercise_File_System(const std::string& path, int mode)
{
    MegaFileManagerClass files;
    FuzzHost::Install(&files);
    const int id = files.Add_Mega_File(path, mode, false);
    if (id != -1) {
        const unsigned int count = files.Get_Sub_File_Count(id);
        std::set<std::string> directories = {""};
        for (unsigned int index = 0; index < count && index < Max_Members_Visited; ++index) {
            std::string name;
            files.Get_Sub_File_Name(id, static_cast<int>(index), name);
            directories.insert(name.substr(0, name.find_last_of('\\') + 1));
            files.Get_Sub_File_CRC(id, static_cast<int>(index));
            unsigned int size = 0;
            int found_index = -1;
            const void* block = files.Load_Sub_File_Data(id, name, size, found_index);
            if (block != nullptr) files.Release_Sub_File_Data(id, block);
            block = files.Load_Sub_File_Data(id, static_cast<int>(index), size);
            if (block != nullptr) files.Release_Sub_File_Data(id, block);
        }
        FileStreamClass first_open;
        FileStreamClass second_open;
        for (const std::string& directory : directories) {
            Enumerate_And_Open(files, directory + "*", first_open);
            Enumerate_And_Open(files, directory + "*.XML", second_open);
        }
        files.Remove_Mega_File(id);
        // The members were closed with their archive; the file objects still think they are open.
        char buffer[16];
        first_open.Read(buffer, sizeof buffer);
        second_open.Seek(0, 2);
    }
    FuzzHost::Install(nullptr);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string path = FuzzScratchFile::Write("Archive.meg", data, size);
    for (int mode : {MegaArchiveClass::MODE_STREAMED, MegaArchiveClass::MODE_IN_MEMORY}) {
        Exercise_Archive(path, mode);
        Exercise_File_System(path, mode);
    }
    return 0;
}
