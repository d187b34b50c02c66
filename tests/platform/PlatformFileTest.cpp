#include "platform/Platform.h"

#include "../data/DataTestSupport.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>

#include <string>
#include <vector>

using DataTest::TempDirectory;
using DataTest::Write_File;

namespace {

std::string Read_Through_Layer(const std::string& name)
{
    Platform::FileHandle file = Platform::Open_File_For_Reading(name.c_str());
    if (file == Platform::Invalid_File_Handle) return "<missing>";
    std::string bytes(64, '\0');
    const int got = Platform::Read_File(file, &bytes[0], static_cast<int>(bytes.size()));
    Platform::Close_File(file);
    return got < 0 ? "<failed>" : bytes.substr(0, static_cast<std::size_t>(got));
}

std::vector<std::string> Find_All(const std::string& path)
{
    std::vector<std::string> names;
    WIN32_FIND_DATAA data;
    Platform::FindHandle search = Platform::Find_First_File(path.c_str(), &data);
    if (search == nullptr) return names;
    do {
        names.push_back(data.cFileName);
    } while (Platform::Find_Next_File(search, &data));
    EXPECT_FALSE(Platform::Find_Next_File(search, &data));
    EXPECT_TRUE(Platform::Find_Close(search));
    return names;
}

}  // namespace

TEST(PlatformNameResolution, NamesWrittenForACaseInsensitiveFileSystemOpen)
{
    TempDirectory dir;
    Write_File(dir / "Data/Xml/File.TXT", "exact");
    struct Case {
        const char* name;
        const char* expected;
    } cases[] = {
        {"Data/Xml/File.TXT", "exact"},    {"data/xml/file.txt", "exact"},  {"DATA\\XML\\FILE.TXT", "exact"},
        {"Data\\Xml/file.Txt", "exact"},   {"Data/./Xml/File.TXT", "exact"}, {"data/nope/File.TXT", "<missing>"},
        {"Data/Xml/File.TXT2", "<missing>"}, {"Data/Xml", "<missing>"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Read_Through_Layer(dir.Path() + "/" + c.name), c.expected) << c.name;
    }
}

TEST(PlatformNameResolution, AmbiguousCaseResolvesToTheFirstEntryInByteOrder)
{
    TempDirectory dir;
    Write_File(dir / "dir/name.txt", "lower");
    Write_File(dir / "dir/NAME.TXT", "upper");
    Write_File(dir / "dir/Name.txt", "mixed");
    EXPECT_EQ(Read_Through_Layer(dir / "DIR/nAmE.tXt"), "upper");
    EXPECT_EQ(Read_Through_Layer(dir / "dir/name.txt"), "lower");
}

TEST(PlatformFiles, CreateAlwaysTruncatesAndResolvesTheExistingDirectory)
{
    TempDirectory dir;
    Write_File(dir / "Save/Game.dat", "a long earlier content");
    Platform::FileHandle file = Platform::Create_File_For_Writing((dir / "SAVE\\game.DAT").c_str());
    ASSERT_NE(file, Platform::Invalid_File_Handle);
    EXPECT_EQ(Platform::Write_File(file, "new", 3), 3);
    EXPECT_TRUE(Platform::Close_File(file));
    EXPECT_EQ(DataTest::Read_File(dir / "Save/Game.dat"), "new");

    file = Platform::Create_File_For_Writing((dir / "save/Other.dat").c_str());
    ASSERT_NE(file, Platform::Invalid_File_Handle);
    Platform::Close_File(file);
    EXPECT_TRUE(std::filesystem::exists(dir / "Save/Other.dat"));
}

TEST(PlatformFiles, SeekSizeAndReadReportTheirResults)
{
    TempDirectory dir;
    Write_File(dir / "ten.bin", "0123456789");
    Platform::FileHandle file = Platform::Open_File_For_Reading((dir / "ten.bin").c_str());
    ASSERT_NE(file, Platform::Invalid_File_Handle);
    EXPECT_EQ(Platform::Get_File_Size(file), 10);
    struct Case {
        int offset, origin, expected;
    } seeks[] = {{4, 0, 4}, {2, 1, 6}, {-3, 2, 7}, {0, 2, 10}, {5, 2, 15}, {-20, 0, -1}, {0, 3, -1}, {0, -1, -1}};
    for (const Case& seek : seeks) {
        EXPECT_EQ(Platform::Seek_File(file, seek.offset, seek.origin), seek.expected)
            << seek.offset << " from " << seek.origin;
    }
    Platform::Seek_File(file, 8, 0);
    char bytes[8];
    EXPECT_EQ(Platform::Read_File(file, bytes, 8), 2);
    EXPECT_EQ(Platform::Read_File(file, bytes, 8), 0);
    EXPECT_EQ(Platform::Read_File(file, nullptr, 8), -1);
    EXPECT_EQ(Platform::Write_File(file, "x", 1), -1);
    EXPECT_TRUE(Platform::Close_File(file));

    EXPECT_EQ(Platform::Read_File(Platform::Invalid_File_Handle, bytes, 1), -1);
    EXPECT_EQ(Platform::Get_File_Size(Platform::Invalid_File_Handle), -1);
    EXPECT_EQ(Platform::Get_File_Time(Platform::Invalid_File_Handle), 0u);
    EXPECT_FALSE(Platform::Close_File(Platform::Invalid_File_Handle));
    EXPECT_EQ(Platform::Open_File_For_Reading(dir.Path().c_str()), Platform::Invalid_File_Handle);
}

TEST(PlatformFiles, OnlyRegularFilesOpenSoNothingBlocks)
{
    TempDirectory dir;
    ASSERT_EQ(::mkfifo((dir / "pipe").c_str(), 0600), 0);
    EXPECT_EQ(Platform::Open_File_For_Reading((dir / "pipe").c_str()), Platform::Invalid_File_Handle);
    EXPECT_EQ(Platform::Create_File_For_Writing((dir / "pipe").c_str()), Platform::Invalid_File_Handle);
    EXPECT_EQ(Platform::Create_File_For_Writing(dir.Path().c_str()), Platform::Invalid_File_Handle);
    EXPECT_EQ(Platform::Open_File_For_Reading("/dev/null"), Platform::Invalid_File_Handle);
}

TEST(PlatformFiles, LastWriteTimeCountsHundredNanosecondTicksFrom1601)
{
    TempDirectory dir;
    Write_File(dir / "stamp", "x");
    const struct timespec times[2] = {{0, UTIME_OMIT}, {1, 500}};
    ASSERT_EQ(::utimensat(AT_FDCWD, (dir / "stamp").c_str(), times, 0), 0);
    Platform::FileHandle file = Platform::Open_File_For_Reading((dir / "stamp").c_str());
    EXPECT_EQ(Platform::Get_File_Time(file), 116444736000000000ULL + 10000000ULL + 5ULL);
    Platform::Close_File(file);
}

TEST(PlatformFind, WildcardsMatchIgnoringCaseAndComeSortedByName)
{
    TempDirectory dir;
    for (const char* name : {"b.xml", "A.XML", "c.txt", "a.xmlx", "ab.XmL", "Sub/x.xml"}) Write_File(dir / name, "");
    struct Case {
        const char* pattern;
        std::vector<std::string> expected;
    } cases[] = {
        {"*.xml", {"A.XML", "ab.XmL", "b.xml"}},
        {"?.XML", {"A.XML", "b.xml"}},
        {"*", {".", "..", "A.XML", "Sub", "a.xmlx", "ab.XmL", "b.xml", "c.txt"}},
        {"*.*", {".", "..", "A.XML", "Sub", "a.xmlx", "ab.XmL", "b.xml", "c.txt"}},
        {"a*x*", {"A.XML", "a.xmlx", "ab.XmL"}},
        {"*.none", {}},
        {"SUB", {"Sub"}},
    };
    for (const Case& c : cases) EXPECT_EQ(Find_All(dir.Path() + "\\" + c.pattern), c.expected) << c.pattern;
}

TEST(PlatformFind, DirectoryPartIsResolvedIgnoringCaseAndEntriesCarryAttributes)
{
    TempDirectory dir;
    Write_File(dir / "Data/Equations/One.xml", "12345");
    std::filesystem::create_directories(dir / "Data/Equations/Deeper");
    WIN32_FIND_DATAA data;
    Platform::FindHandle search = Platform::Find_First_File((dir / "DATA\\equations\\O*").c_str(), &data);
    ASSERT_NE(search, nullptr);
    EXPECT_STREQ(data.cFileName, "One.xml");
    EXPECT_EQ(data.nFileSizeLow, 5u);
    EXPECT_EQ(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY, 0u);
    EXPECT_NE(data.ftLastWriteTime.dwHighDateTime, 0u);
    Platform::Find_Close(search);

    search = Platform::Find_First_File((dir / "data/EQUATIONS/deep*").c_str(), &data);
    ASSERT_NE(search, nullptr);
    EXPECT_EQ(data.dwFileAttributes, static_cast<std::uint32_t>(FILE_ATTRIBUTE_DIRECTORY));
    Platform::Find_Close(search);

    EXPECT_EQ(Platform::Find_First_File((dir / "missing/*").c_str(), &data), nullptr);
    EXPECT_EQ(Platform::Find_First_File((dir / "Data/").c_str(), &data), nullptr);
    EXPECT_EQ(Platform::Find_First_File(nullptr, &data), nullptr);
    EXPECT_FALSE(Platform::Find_Next_File(nullptr, &data));
    EXPECT_FALSE(Platform::Find_Close(nullptr));
}
