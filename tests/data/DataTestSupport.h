#ifndef COGNEXA_TESTS_DATA_TEST_SUPPORT_H
#define COGNEXA_TESTS_DATA_TEST_SUPPORT_H

#include <cognexa/Notice.h>

#include "data/MegaArchiveWriterClass.h"
#include "foundation/TheHostBinding.h"
#include "platform/memory/InstalledMemoryPlatformClass.h"

#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

namespace DataTest {

// A fresh, empty in-memory file system that the library uses for the life of the object; the
// one in use before comes back afterwards, so scratch directories nest. Its root is the
// current directory: names relative to it and names under Path() reach the same files.
class ScratchDirectory {
public:
    ScratchDirectory() = default;
    ScratchDirectory(const ScratchDirectory&) = delete;
    ScratchDirectory& operator=(const ScratchDirectory&) = delete;

    const std::string& Path() const { return Root; }
    std::string operator/(const std::string& relative) const { return Root + "/" + relative; }

private:
    InstalledMemoryPlatformClass Files;
    const std::string Root = ".";
};

// The in-memory file system of the innermost scratch directory.
inline MemoryLibraryPlatformClass& Scratch_Files()
{
    MemoryLibraryPlatformClass* files = dynamic_cast<MemoryLibraryPlatformClass*>(TheLibraryPlatformPtr);
    if (files == nullptr) std::abort();  // a test writes files without a scratch directory
    return *files;
}

inline void Write_File(const std::string& path, const std::string& bytes)
{
    Scratch_Files().Add_File(path, bytes);
}

inline std::string Read_File(const std::string& path)
{
    std::string bytes;
    Scratch_Files().Read_File(path, bytes);
    return bytes;
}

inline bool File_Exists(const std::string& path)
{
    std::string ignored;
    return Scratch_Files().Read_File(path, ignored);
}

typedef std::vector<std::pair<std::string, std::string>> MemberListType;

// The archive image of the given members, built by the writer.
inline std::vector<unsigned char> Archive_Image(const MemberListType& members)
{
    MegaArchiveWriterClass writer;
    for (const auto& member : members) writer.Add_File(member.first, member.second);
    std::vector<unsigned char> image;
    writer.Write_To_Memory(image);
    return image;
}

inline void Write_Archive(const std::string& path, const MemberListType& members)
{
    std::vector<unsigned char> image = Archive_Image(members);
    Write_File(path, std::string(image.begin(), image.end()));
}

// Collects notices instead of printing them.
class NoticeCapture {
public:
    NoticeCapture()
    {
        Notices().clear();
        Set_Notice_Handler(&NoticeCapture::Record);
    }
    ~NoticeCapture() { Set_Notice_Handler(nullptr); }
    NoticeCapture(const NoticeCapture&) = delete;
    NoticeCapture& operator=(const NoticeCapture&) = delete;

    static std::vector<std::pair<std::string, std::string>>& Notices()
    {
        static std::vector<std::pair<std::string, std::string>> notices;
        return notices;
    }

private:
    static void Record(const char* caption, const char* text) { Notices().emplace_back(caption, text); }
};

// Installs a file manager as the host's hand-in for the life of the object.
class FileManagerBinding {
public:
    explicit FileManagerBinding(MegaFileManagerClass* manager) : Previous(TheHostBinding.File_Manager)
    {
        TheHostBinding.File_Manager = manager;
    }
    ~FileManagerBinding() { TheHostBinding.File_Manager = Previous; }
    FileManagerBinding(const FileManagerBinding&) = delete;
    FileManagerBinding& operator=(const FileManagerBinding&) = delete;

private:
    MegaFileManagerClass* Previous;
};

}  // namespace DataTest

#endif
