// What only Windows does, beyond the behaviour cases every platform shares: drive letters and
// full names in either separator, device names, and the notice as a message box.
#include "platform/win32/Win32LibraryPlatformClass.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// A fresh folder under the user's temporary folder, with its full name ("C:\...\").
class ScratchFolder {
public:
    ScratchFolder()
    {
        char temporary[MAX_PATH];
        GetTempPathA(MAX_PATH, temporary);
        char unique[MAX_PATH];
        GetTempFileNameA(temporary, "cgx", 0, unique);
        DeleteFileA(unique);
        CreateDirectoryA(unique, nullptr);
        Path = std::string(unique) + "\\";
    }
    ~ScratchFolder()
    {
        WIN32_FIND_DATAA entry;
        HANDLE search = FindFirstFileA((Path + "*").c_str(), &entry);
        if (search != INVALID_HANDLE_VALUE) {
            do {
                if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) DeleteFileA((Path + entry.cFileName).c_str());
            } while (FindNextFileA(search, &entry));
            FindClose(search);
        }
        RemoveDirectoryA(Path.c_str());
    }
    std::string Path;
};

std::string Read_All(LibraryPlatformClass& platform, const std::string& name)
{
    std::unique_ptr<PlatformFileClass> file = platform.Open_File_For_Reading(name.c_str());
    if (!file) return "<missing>";
    std::string bytes(64, '\0');
    const int got = file->Read(&bytes[0], static_cast<int>(bytes.size()));
    return got < 0 ? "<failed>" : bytes.substr(0, static_cast<std::size_t>(got));
}

void Write_All(LibraryPlatformClass& platform, const std::string& name, const std::string& bytes)
{
    std::unique_ptr<PlatformFileClass> file = platform.Create_File_For_Writing(name.c_str());
    ASSERT_TRUE(file) << name;
    ASSERT_EQ(file->Write(bytes.data(), static_cast<int>(bytes.size())), static_cast<int>(bytes.size()));
}

std::string Lower(std::string text)
{
    for (char& byte : text) {
        if (byte >= 'A' && byte <= 'Z') byte = static_cast<char>(byte - 'A' + 'a');
    }
    return text;
}

std::string Forward_Slashes(std::string text)
{
    for (char& byte : text) {
        if (byte == '\\') byte = '/';
    }
    return text;
}

TEST(Win32Names, OtherCasesSlashesAndDriveLettersReachTheSameFile)
{
    Win32LibraryPlatformClass platform;
    ScratchFolder folder;
    Write_All(platform, folder.Path + "Perception.XML", "bytes");
    ASSERT_EQ(folder.Path.substr(1, 2), ":\\") << "the scratch folder has a drive letter";
    const std::string drive_letter_lowered = Lower(folder.Path.substr(0, 1)) + folder.Path.substr(1);
    const std::string names[] = {
        folder.Path + "PERCEPTION.xml",
        Lower(folder.Path + "Perception.XML"),
        Forward_Slashes(folder.Path + "Perception.XML"),
        drive_letter_lowered + "perception.xml",
        folder.Path + ".\\Perception.XML",
    };
    for (const std::string& name : names) {
        EXPECT_EQ(Read_All(platform, name), "bytes") << name;
    }
}

TEST(Win32Files, DevicesAndFoldersDoNotOpenAsDataFiles)
{
    Win32LibraryPlatformClass platform;
    ScratchFolder folder;
    for (const std::string& name : {std::string("NUL"), std::string("CON"), folder.Path + "nul.xml", folder.Path}) {
        EXPECT_FALSE(platform.Open_File_For_Reading(name.c_str())) << name;
    }
}

struct RecordedBox {
    HWND Owner;
    std::string Text;
    std::string Caption;
    UINT Style;
};
std::vector<RecordedBox> Recorded_Boxes;

int WINAPI Record_Box(HWND owner, LPCSTR text, LPCSTR caption, UINT style)
{
    Recorded_Boxes.push_back({owner, text, caption, style});
    return IDOK;
}

TEST(Win32Notice, TheBoxIsOwnerlessWithTheErrorIconAndOneButton)
{
    Recorded_Boxes.clear();
    Win32LibraryPlatformClass(&Record_Box).Show_Notice("Caption", "Text");
    ASSERT_EQ(Recorded_Boxes.size(), 1u);
    EXPECT_EQ(Recorded_Boxes[0].Owner, nullptr);
    EXPECT_EQ(Recorded_Boxes[0].Caption, "Caption");
    EXPECT_EQ(Recorded_Boxes[0].Text, "Text");
    EXPECT_EQ(Recorded_Boxes[0].Style, static_cast<UINT>(MB_OK | MB_ICONERROR));
}

}  // namespace
