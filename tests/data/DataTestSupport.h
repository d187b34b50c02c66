#ifndef COGNEXA_TESTS_DATA_TEST_SUPPORT_H
#define COGNEXA_TESTS_DATA_TEST_SUPPORT_H

#include <cognexa/Notice.h>

#include "data/MegaArchiveWriterClass.h"
#include "foundation/TheHostBinding.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <unistd.h>
#include <utility>
#include <vector>

namespace DataTest {

// A fresh directory per test, removed with everything in it.
class TempDirectory {
public:
    TempDirectory()
    {
        char pattern[] = "/tmp/cognexa-data-XXXXXX";
        const char* made = ::mkdtemp(pattern);
        Root = made != nullptr ? made : "";
    }
    ~TempDirectory()
    {
        std::error_code ignored;
        std::filesystem::remove_all(Root, ignored);
    }
    TempDirectory(const TempDirectory&) = delete;
    TempDirectory& operator=(const TempDirectory&) = delete;

    const std::string& Path() const { return Root; }
    std::string operator/(const std::string& relative) const { return Root + "/" + relative; }

private:
    std::string Root;
};

inline void Write_File(const std::string& path, const std::string& bytes)
{
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

inline std::string Read_File(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
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

// Runs in another current directory for the life of the object.
class CurrentDirectory {
public:
    explicit CurrentDirectory(const std::string& path) : Previous(std::filesystem::current_path())
    {
        std::filesystem::current_path(path);
    }
    ~CurrentDirectory() { std::filesystem::current_path(Previous); }
    CurrentDirectory(const CurrentDirectory&) = delete;
    CurrentDirectory& operator=(const CurrentDirectory&) = delete;

private:
    std::filesystem::path Previous;
};

}  // namespace DataTest

#endif
